#pragma once
// What a pupil types, keystroke by keystroke, and the running figures made of it: per
// character, per finger and per confusion, plus one summary line per attempt. No file and no
// window code: the figures file and the analysis window build on these.

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>
#include <map>
#include <utility>
#include <vector>

#include "exercise/keyboard_tables.h"

namespace tz {

// One keystroke of an attempt, as the session judged it.
struct Keystroke {
    QString expected;           // the character due
    QString typed;              // what the pupil typed
    qint8 finger = kNoFinger;   // of the hint shown for the character due
    qint32 sincePrevious = -1;  // milliseconds since the keystroke before; -1 when none counts
};
using KeystrokeLog = std::vector<Keystroke>;

// A gap longer than this is a pause, not typing: it does not count for the mean time.
inline constexpr qint32 kLongestTimedGapMs = 5000;
// Attempts whose summary the figures keep (the oldest go first).
inline constexpr int kKeptAttempts = 200;

struct KeyFigures {
    qint64 keystrokes = 0;
    qint64 errors = 0;
    qint64 timed = 0;    // keystrokes whose time counts
    qint64 totalMs = 0;  // their time
    void Add(const KeyFigures& more);
    double ErrorRate() const;  // 0..1; 0 for no keystrokes
    double MeanMs() const;     // 0 for none timed
    bool operator==(const KeyFigures&) const = default;
};

struct AttemptSummary {
    QDateTime when;  // local time, whole seconds
    KeyFigures figures;
    bool operator==(const AttemptSummary&) const = default;
};

struct PupilFigures {
    std::map<char32_t, KeyFigures> characters;                   // by the character due
    std::array<KeyFigures, 11> fingers{};                        // 1..10
    std::map<std::pair<char32_t, char32_t>, qint64> confusions;  // (due, typed) -> times
    std::vector<AttemptSummary> attempts;                        // oldest first
    bool Empty() const { return characters.empty() && attempts.empty(); }
    KeyFigures Total() const;
    bool operator==(const PupilFigures&) const = default;
};

// The first code point of a text (a typed character may be two UTF-16 units); 0 for none.
char32_t FirstCodePoint(const QString& text);

// The figures of one attempt, stamped `when`.
PupilFigures FiguresOfAttempt(const KeystrokeLog& log, const QDateTime& when);
// Adds `more` to `total`; the attempts are appended and only the last kKeptAttempts kept.
void AddFigures(PupilFigures& total, const PupilFigures& more);

// The key a character is struck on, as the keyboard labels it: a letter's capital, "Espacio",
// "Intro", other characters as they are.
QString KeyLabel(char32_t character);

// A key the pupil misses often, and what she types most often in its place.
struct WeakKey {
    QString label;
    QString characters;  // every character of this key the pupil was asked for
    qint64 keystrokes = 0;
    qint64 errors = 0;
    double rate = 0;       // errors / keystrokes
    QString typedInstead;  // empty when nothing stands out
    qint64 typedTimes = 0;
};

// Keys with at least one error, the worst first: by their rate, as if each had also been struck
// five more times without error, so a key seen only a few times does not go first on one slip
// (more errors first among equals).
std::vector<WeakKey> WeakestKeys(const PupilFigures& figures, int count);

// "Pulsas R en lugar de T: 7 veces" (or "1 vez"); empty when nothing stands out.
QString ConfusionText(const WeakKey& key);

}  // namespace tz
