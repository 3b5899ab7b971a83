// The drill of the difficult keys: only course entries that hold the pupil's weakest keys, the
// richest first, none above her level, lines as long as the course's and nothing outside the
// four key rows.

#include <gtest/gtest.h>

#include <QSet>

#include "content/analysis_pictures.h"
#include "content/course_data.h"
#include "content/difficult_keys_drill.h"
#include "content/exercise_text.h"
#include "exercise/keyboard_picture.h"
#include "platform/pictures.h"

namespace tz {
namespace {

std::vector<WeakKey> Weak(std::initializer_list<const char*> labels) {
    std::vector<WeakKey> keys;
    for (const char* label : labels) {
        WeakKey key;
        key.label = QString::fromUtf8(label);
        key.keystrokes = 10;
        key.errors = 5;
        key.rate = 0.5;
        keys.push_back(key);
    }
    return keys;
}

// The pupil's figures with errors on these characters only.
PupilFigures MissedOn(const QString& characters) {
    KeystrokeLog log;
    for (const QChar c : characters) {
        for (int i = 0; i < 4; ++i) log.push_back({QString(c), QString(c), 4, 150});
        log.push_back({QString(c), QStringLiteral("x"), 4, 150});
    }
    for (const QChar c : QStringLiteral("asdfjklm")) {
        for (int i = 0; i < 10; ++i) log.push_back({QString(c), QString(c), 1, 150});
    }
    return FiguresOfAttempt(log, QDateTime());
}

TEST(DifficultKeysDrill, OnlyEntriesRichestInTheWeakestKeysUpToThePupilsLevel) {
    const CourseTable& course = CourseData();
    ASSERT_GE(course.levels.size(), 10u);
    const std::vector<WeakKey> weakest = WeakestKeys(MissedOn(QStringLiteral("tr")), 5);
    ASSERT_EQ(weakest.size(), 2u);
    const int level = 10;
    const Drill drill = BuildDifficultKeysDrill(course, level, weakest);
    ASSERT_EQ(drill.entries.size(), kDrillLines);

    // Every entry the pupil's level reaches, with its share of weak keys.
    QSet<QString> reachable;
    double lowestChosen = 1.0;
    for (const QString& entry : drill.entries) {
        EXPECT_GT(WeakKeyShare(entry, weakest), 0.0) << entry.toStdString();
        EXPECT_TRUE(entry.contains(u't') || entry.contains(u'r') || entry.contains(u'T') ||
                    entry.contains(u'R'))
            << entry.toStdString();
        lowestChosen = std::min(lowestChosen, WeakKeyShare(entry, weakest));
    }
    for (int l = 0; l < level; ++l) {
        for (const CourseBlock& block : course.levels[static_cast<std::size_t>(l)].blocks) {
            for (const QString& entry : block.entries) {
                if (IsLessonTextRef(entry)) continue;
                reachable.insert(entry);
                // Nothing left out is richer than what was taken.
                if (!drill.entries.contains(entry)) {
                    EXPECT_LE(WeakKeyShare(entry, weakest), lowestChosen) << entry.toStdString();
                }
            }
        }
    }
    for (const QString& entry : drill.entries) {
        EXPECT_TRUE(reachable.contains(entry))
            << "above the pupil's level: " << entry.toStdString();
        EXPECT_EQ(drill.entries.count(entry), 1);
    }

    // Lines as the course builds them, and only characters of the key rows.
    const QStringList lines = drill.text.split(u'\r');
    ASSERT_EQ(lines.size(), kDrillLines);
    const KeyboardTables& tables = KeyboardTablesFor(kSpanishLayout);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], WordExerciseLine(drill.entries[i]));
        EXPECT_LT(lines[i].size(), kExerciseLineLimit);
        for (const QChar c : lines[i]) {
            bool onRows = c == u' ';
            for (int row = 1; row <= 4; ++row) onRows = onRows || tables.keyRows[row].contains(c);
            EXPECT_TRUE(onRows) << QString(c).toStdString();
        }
    }
}

TEST(DifficultKeysDrill, LowLevelsLimitTheChoiceAndNothingWeakGivesNoDrill) {
    const CourseTable& course = CourseData();
    // Level 1 is the home row: the T key is nowhere in it.
    EXPECT_TRUE(BuildDifficultKeysDrill(course, 1, Weak({"T"})).text.isEmpty());
    const Drill home = BuildDifficultKeysDrill(course, 1, Weak({"Ñ"}));
    ASSERT_FALSE(home.entries.isEmpty());
    for (const QString& entry : home.entries) {
        EXPECT_TRUE(course.levels[0].blocks.size() > 0);
        EXPECT_TRUE(entry.contains(QStringLiteral("ñ"))) << entry.toStdString();
    }
    EXPECT_TRUE(BuildDifficultKeysDrill(course, 36, {}).text.isEmpty());
    // A level beyond the course reads as the last one, below it as the first.
    EXPECT_EQ(BuildDifficultKeysDrill(course, 99, Weak({"Z"})).entries,
              BuildDifficultKeysDrill(course, 36, Weak({"Z"})).entries);
    EXPECT_EQ(BuildDifficultKeysDrill(course, -3, Weak({"Ñ"})).entries, home.entries);
    EXPECT_DOUBLE_EQ(WeakKeyShare(QStringLiteral("tata tt"), Weak({"T"})), 4.0 / 6.0);

    // Among entries as rich in weak keys as each other, the later one (of the higher level)
    // comes first.
    CourseTable tie;
    tie.levels = {{100, {{2, {QStringLiteral("tata")}}}}, {110, {{2, {QStringLiteral("atat")}}}}};
    EXPECT_EQ(BuildDifficultKeysDrill(tie, 2, Weak({"T"}), 1).entries, QStringList{"atat"});
    EXPECT_EQ(BuildDifficultKeysDrill(tie, 2, Weak({"T"}), 2).entries,
              (QStringList{"atat", "tata"}));
}

TEST(AnalysisPictures, KeysAndFingersAreTintedByTheirErrorRate) {
    const PupilFigures figures = MissedOn(QStringLiteral("t"));
    const std::vector<KeyCap> caps = KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout));
    bool sawT = false;
    for (const KeyCap& cap : caps) {
        const KeyFigures key = FiguresOfKey(figures, cap);
        if (cap.types.contains(u't')) {
            sawT = true;
            EXPECT_EQ(key.keystrokes, 5);
            EXPECT_EQ(key.errors, 1);
        } else if (cap.types.contains(u'q')) {
            EXPECT_EQ(key.keystrokes, 0);
        }
    }
    EXPECT_TRUE(sawT);
    // The bands grow darker as the rate grows, so a grey print keeps them apart.
    const double rates[] = {0.0, 0.04, 0.08, 0.15, 0.5};
    for (std::size_t i = 1; i < std::size(rates); ++i) {
        EXPECT_LT(ErrorRateColour(rates[i]).lightness(), ErrorRateColour(rates[i - 1]).lightness());
    }
    EXPECT_NE(ErrorRateColour(std::nullopt), ErrorRateColour(0.0));
    EXPECT_EQ(FormatPercent(0.125), QStringLiteral("12,5 %"));
    EXPECT_EQ(LogicalSize(DrawErrorKeyboard(figures, KeyboardTablesFor(kSpanishLayout))),
              QSize(599, 202));
    EXPECT_EQ(LogicalSize(DrawWeakestKeys(PupilFigures())), QSize(460, 190));
}

}  // namespace
}  // namespace tz
