#pragma once
// "Practicar mis teclas difíciles": a drill made of the course's word entries, up to the pupil's
// level, that hold the most of her weakest keys. Each entry gives one line as the course builds
// a word line, so the lines are as long as the course's.

#include <QString>
#include <QStringList>
#include <vector>

#include "content/course_data.h"
#include "exercise/keystroke_figures.h"

namespace tz {

// Lines a drill holds.
inline constexpr int kDrillLines = 5;

struct Drill {
    QStringList entries;  // the entries chosen, the richest first
    QString text;         // their word lines joined by CR; empty when no entry fits
};

// How much of an entry is weak keys: their characters over all its characters but spaces.
double WeakKeyShare(const QString& entry, const std::vector<WeakKey>& weakest);

// The drill for these weakest keys from the word entries of levels 1 to `level` of `course`
// (entries typed only with the four key rows and the space; each entry at most once).
Drill BuildDifficultKeysDrill(const CourseTable& course, int level,
                              const std::vector<WeakKey>& weakest, int lines = kDrillLines);

}  // namespace tz
