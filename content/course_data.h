#pragma once
// The built-in course: 36 levels of blocks of exercise entries, kept in the editable data file
// curso.txt embedded as ":/curso.txt", and the block of it loaded last.

#include <QString>
#include <QStringList>
#include <vector>

namespace tz {

// The number of levels of the course.
inline constexpr int LastLevel = 36;

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

// The block loaded last. BlockEntries holds positions 0 to EntryCount; position 0 stays empty.
extern QStringList BlockEntries;
extern int EntryCount;
extern int LinesPerExercise;
extern int BlockCount;  // blocks of the level of the block loaded last
extern int LevelSpeed;  // speed of that level

// Puts the course reader at the level of CurrentUser, or at the given level. Returns false
// (and leaves the reader at no level) for a level outside the course.
bool SeekLevel();
bool SeekLevel(int level);

// After SeekLevel: reads the level's block count and speed, then the block of CurrentUser (or
// the given block) into BlockEntries, EntryCount and LinesPerExercise. A block outside the level
// (or no level sought) loads an empty block (EntryCount 0) and returns false.
bool ReadBlock();
bool ReadBlock(int block);

// SeekLevel and ReadBlock for the CoursePosition of CurrentUser, or for the given place.
bool LoadBlock();
bool LoadBlock(int level, int block);

}  // namespace tz
