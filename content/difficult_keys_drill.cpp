#include "content/difficult_keys_drill.h"

#include <QSet>
#include <algorithm>

#include "content/editor_text.h"
#include "content/exercise_text.h"

namespace tz {

namespace {

// Only what the editor would keep of a text: the characters of the key rows and the space.
bool TypedOnKeyRows(const QString& line, const QString& allowed) {
    return std::all_of(line.begin(), line.end(), [&](QChar c) { return allowed.contains(c); });
}

}  // namespace

double WeakKeyShare(const QString& entry, const std::vector<WeakKey>& weakest) {
    QSet<QString> labels;
    for (const WeakKey& key : weakest) labels.insert(key.label);
    qsizetype weak = 0;
    qsizetype counted = 0;
    for (const QChar c : entry) {
        if (c == u' ') continue;
        ++counted;
        if (labels.contains(KeyLabel(c.unicode()))) ++weak;
    }
    return counted > 0 ? static_cast<double>(weak) / static_cast<double>(counted) : 0.0;
}

Drill BuildDifficultKeysDrill(const CourseTable& course, int level,
                              const std::vector<WeakKey>& weakest, int lines) {
    Drill drill;
    if (weakest.empty() || lines <= 0) return drill;
    struct Candidate {
        QString entry;
        double share = 0;
        int order = 0;
    };
    std::vector<Candidate> candidates;
    QSet<QString> seen;
    const QString allowed = EditorAllowedCharacters();
    const int lastLevel = std::clamp(level, 1, static_cast<int>(course.levels.size()));
    for (int l = 0; l < lastLevel; ++l) {
        for (const CourseBlock& block : course.levels[static_cast<std::size_t>(l)].blocks) {
            for (const QString& entry : block.entries) {
                if (IsLessonTextRef(entry) || seen.contains(entry)) continue;
                seen.insert(entry);
                const QString line = WordExerciseLine(entry);
                if (line.isEmpty() || !TypedOnKeyRows(line, allowed)) continue;
                const double share = WeakKeyShare(line, weakest);
                if (share <= 0) continue;
                candidates.push_back({entry, share, static_cast<int>(candidates.size())});
            }
        }
    }
    // The richest first; among equals the later entry, which belongs to a higher level and so
    // asks more of the pupil.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.share != b.share) return a.share > b.share;
        return a.order > b.order;
    });
    QStringList text;
    for (const Candidate& candidate : candidates) {
        if (drill.entries.size() >= lines) break;
        drill.entries << candidate.entry;
        text << WordExerciseLine(candidate.entry);
    }
    drill.text = text.join(u'\r');
    return drill;
}

}  // namespace tz
