#include "exercise/keystroke_figures.h"

#include <algorithm>

namespace tz {

void KeyFigures::Add(const KeyFigures& more) {
    keystrokes += more.keystrokes;
    errors += more.errors;
    timed += more.timed;
    totalMs += more.totalMs;
}

double KeyFigures::ErrorRate() const {
    return keystrokes > 0 ? static_cast<double>(errors) / static_cast<double>(keystrokes) : 0.0;
}

double KeyFigures::MeanMs() const {
    return timed > 0 ? static_cast<double>(totalMs) / static_cast<double>(timed) : 0.0;
}

KeyFigures PupilFigures::Total() const {
    KeyFigures total;
    for (const auto& entry : characters) total.Add(entry.second);
    return total;
}

char32_t FirstCodePoint(const QString& text) {
    if (text.isEmpty()) return 0;
    const QChar first = text[0];
    if (first.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate()) {
        return QChar::surrogateToUcs4(first, text[1]);
    }
    return first.unicode();
}

PupilFigures FiguresOfAttempt(const KeystrokeLog& log, const QDateTime& when) {
    PupilFigures figures;
    KeyFigures total;
    for (const Keystroke& stroke : log) {
        const char32_t due = FirstCodePoint(stroke.expected);
        const char32_t typed = FirstCodePoint(stroke.typed);
        KeyFigures one;
        one.keystrokes = 1;
        one.errors = stroke.typed == stroke.expected ? 0 : 1;
        if (stroke.sincePrevious >= 0 && stroke.sincePrevious <= kLongestTimedGapMs) {
            one.timed = 1;
            one.totalMs = stroke.sincePrevious;
        }
        figures.characters[due].Add(one);
        if (stroke.finger >= 1 && stroke.finger <= 10) figures.fingers[stroke.finger].Add(one);
        if (one.errors > 0) ++figures.confusions[{due, typed}];
        total.Add(one);
    }
    if (total.keystrokes > 0) figures.attempts.push_back({when, total});
    return figures;
}

void AddFigures(PupilFigures& total, const PupilFigures& more) {
    for (const auto& [character, key] : more.characters) total.characters[character].Add(key);
    for (std::size_t finger = 0; finger < total.fingers.size(); ++finger) {
        total.fingers[finger].Add(more.fingers[finger]);
    }
    for (const auto& [pair, times] : more.confusions) total.confusions[pair] += times;
    total.attempts.insert(total.attempts.end(), more.attempts.begin(), more.attempts.end());
    if (total.attempts.size() > static_cast<std::size_t>(kKeptAttempts)) {
        total.attempts.erase(total.attempts.begin(),
                             total.attempts.end() - static_cast<std::ptrdiff_t>(kKeptAttempts));
    }
}

QString KeyLabel(char32_t character) {
    if (character == U' ') return QStringLiteral("Espacio");
    if (character == U'\r' || character == U'\n') return QStringLiteral("Intro");
    if (character == U'\t') return QStringLiteral("Tab");
    if (character < 0x20 || character == 0x7f) return QStringLiteral("Control");
    const QString text = QString::fromUcs4(&character, 1);
    return text.toUpper();
}

namespace {
constexpr qint64 kRankDoubt = 5;
}  // namespace

std::vector<WeakKey> WeakestKeys(const PupilFigures& figures, int count) {
    // Upper and lower case share a key: their figures go together.
    std::map<QString, WeakKey> keys;
    for (const auto& [character, key] : figures.characters) {
        WeakKey& weak = keys[KeyLabel(character)];
        weak.label = KeyLabel(character);
        weak.characters += QString::fromUcs4(&character, 1);
        weak.keystrokes += key.keystrokes;
        weak.errors += key.errors;
    }
    std::vector<WeakKey> weakest;
    for (auto& [label, key] : keys) {
        if (key.errors <= 0 || key.keystrokes <= 0) continue;
        key.rate = static_cast<double>(key.errors) / static_cast<double>(key.keystrokes);
        // What stands in its place most often, counted per key typed.
        std::map<QString, qint64> instead;
        std::map<QString, QString> exactly;  // the characters, when the keys coincide
        for (const auto& [pair, times] : figures.confusions) {
            if (pair.second == 0 || KeyLabel(pair.first) != label) continue;
            QString typedLabel = KeyLabel(pair.second);
            // A capital missed for its small letter is the same key: name the characters.
            if (typedLabel == label) typedLabel = QString::fromUcs4(&pair.second, 1);
            instead[typedLabel] += times;
        }
        for (const auto& [typedLabel, times] : instead) {
            if (times > key.typedTimes) {
                key.typedTimes = times;
                key.typedInstead = typedLabel;
            }
        }
        weakest.push_back(key);
    }
    // Ranked as if each key had also been struck a few more times without error: one slip on a
    // key struck once is no weaker key than 48 misses in 120.
    const auto rank = [](const WeakKey& key) {
        return static_cast<double>(key.errors) / static_cast<double>(key.keystrokes + kRankDoubt);
    };
    std::stable_sort(weakest.begin(), weakest.end(), [&rank](const WeakKey& a, const WeakKey& b) {
        if (rank(a) != rank(b)) return rank(a) > rank(b);
        return a.errors > b.errors;
    });
    if (weakest.size() > static_cast<std::size_t>(std::max(count, 0))) {
        weakest.resize(static_cast<std::size_t>(std::max(count, 0)));
    }
    return weakest;
}

QString ConfusionText(const WeakKey& key) {
    if (key.typedInstead.isEmpty() || key.typedTimes <= 0) return QString();
    return QStringLiteral("Pulsas ") + key.typedInstead + QStringLiteral(" en lugar de ") +
           key.label + QStringLiteral(": ") + QString::number(key.typedTimes) +
           (key.typedTimes == 1 ? QStringLiteral(" vez") : QStringLiteral(" veces"));
}

}  // namespace tz
