#pragma once
// The built-in course: 36 levels of blocks of exercise entries, kept in the editable data file
// curso.txt embedded as ":/curso.txt".

#include <QString>
#include <QStringList>
#include <vector>

namespace tz {

// The number of levels of the course.
inline constexpr int LastLevel = 36;

// A place in the course: exercise `exercise` of block `block` of level `level`, each from 1.
struct CoursePlace {
    int level = 1;
    int block = 1;
    int exercise = 1;
    bool operator==(const CoursePlace&) const = default;
};

struct CourseBlock {
    int linesPerExercise = 0;  // lines of a word exercise of this block
    QStringList entries;       // word groups or lesson text references, in order
};

struct CourseLevel {
    int speed = 0;  // keystrokes per minute asked before the difficulty mode is applied
    std::vector<CourseBlock> blocks;
};

struct CourseTable {
    std::vector<CourseLevel> levels;  // levels[0] is level 1
    QString error;                    // empty when the whole text was understood
};

// Reads course text: "#" comment lines and empty lines are skipped; "NIVEL <n> <speed>" starts
// level n (levels come in order from 1), "BLOQUE <lines>" a block of the level, and "=<entry>"
// adds everything after the "=" as an entry of the block. Reading stops at the first line that
// breaks these rules, with `error` saying which line and why.
CourseTable ParseCourseText(const QString& text);

// The built-in course, read from ":/curso.txt" on first use.
const CourseTable& CourseData();

// One block of the course as a run or the lesson viewer types it.
struct LoadedBlock {
    bool found = false;        // the place lies in the course
    QStringList entries;       // the block's entries; exercise n is entries[n - 1]
    int linesPerExercise = 0;  // lines of a word exercise
    int blockCount = 0;        // blocks of the level (known whenever the level is)
    int levelSpeed = 0;        // the level's speed before the difficulty mode is applied

    int EntryCount() const { return static_cast<int>(entries.size()); }
    // Exercise n's entry, empty outside the block.
    QString Entry(int exercise) const {
        return exercise >= 1 && exercise <= EntryCount() ? entries[exercise - 1] : QString();
    }
};

// Block `block` of level `level`. Outside the course nothing is found; a block outside a level
// of the course still tells the level's block count and speed.
LoadedBlock LoadBlock(int level, int block);

}  // namespace tz
