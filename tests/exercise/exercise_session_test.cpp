// The session as a function: characters, the window's commands and seconds in; counts,
// judgements, pages, the figures shown and the outcome out.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "exercise/exercise_session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "support.h"

namespace tz {
namespace {

const QString kIdle = QStringLiteral("TIEMPO INACTIVO");

// What the session showed, as values.
class RecordingDisplay : public SessionDisplay {
  public:
    QString title;
    std::map<SessionField, QString> fields;
    std::vector<std::pair<QStringList, bool>> pages;
    std::vector<JudgedKeystroke> keystrokes;
    std::vector<std::pair<QString, int>> hints;  // the character due and its finger

    void SetTitle(const QString& text) override { title = text; }
    void SetFieldText(SessionField field, const QString& text) override { fields[field] = text; }
    void ShowPage(const QStringList& lines, bool more) override { pages.emplace_back(lines, more); }
    void ShowKeystroke(const JudgedKeystroke& keystroke) override {
        keystrokes.push_back(keystroke);
    }
    void ShowHint(const QString& ch, const KeyHint& hint) override {
        hints.emplace_back(ch, hint.finger);
    }
    bool AskYesNo(const QString& title, const QString& text) override {
        return tz::AskYesNo(title, text, DialogIcon::Exclamation);
    }

    // "correct|speed|errors|time", as the four live displays show them.
    QString Shown() {
        return fields[SessionField::Correct] + u'|' + fields[SessionField::Speed] + u'|' +
               fields[SessionField::Errors] + u'|' + fields[SessionField::Time];
    }
};

// One thing the pupil does, or the time that passes.
struct Act {
    enum Kind { Keys, Commit, Seconds, Pause, RestartNo, RestartYes, Cancel, Again } kind;
    QString text;
    int seconds = 0;
};
Act Keys(const QString& keys) {
    return {Act::Keys, keys};
}
Act Seconds(int seconds) {
    return {Act::Seconds, QString(), seconds};
}
const Act kPause{Act::Pause, {}};
const Act kRestartNo{Act::RestartNo, {}};
const Act kRestartYes{Act::RestartYes, {}};
const Act kCancel{Act::Cancel, {}};
const Act kAgain{Act::Again, {}};  // a new attempt at the same text in the same window

QString Lines(int count, const QString& separator = QStringLiteral("\r")) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines << QStringLiteral("linea %1").arg(i);
    return lines.join(separator);
}

class ExerciseSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetClock(&clock_);
        ClearDialogs();
    }
    void TearDown() override {
        ClearDialogs();
        SetClock(nullptr);
    }

    // Begins `text` and plays the acts, the clock ticking after each event as the window's loop
    // ticks it.
    void Play(const QString& text, const std::vector<Act>& acts) {
        session_.Begin(text, QStringLiteral("ANA"), 1, 10);
        for (const Act& act : acts) {
            switch (act.kind) {
                case Act::Keys:
                    for (const QChar c : act.text) {
                        session_.Type(QString(c));
                        session_.Tick();
                    }
                    continue;
                case Act::Commit:
                    session_.Type(act.text);
                    break;
                case Act::Seconds:
                    clock_.Advance(act.seconds * 1000LL);
                    break;
                case Act::Pause:
                    session_.PressPause();
                    break;
                case Act::RestartNo:
                case Act::RestartYes:
                    QueueAnswer(act.kind == Act::RestartYes ? Answer::Yes : Answer::No);
                    session_.PressRestart();
                    break;
                case Act::Cancel:
                    session_.Cancel();
                    break;
                case Act::Again:
                    session_.Begin(text, QStringLiteral("ANA"), 1, 10);
                    break;
            }
            session_.Tick();
        }
    }

    ManualClock clock_;
    RecordingDisplay display_;
    int finger_ = kNoFinger;
    ExerciseSession session_{display_, finger_};
};

TEST(SessionFigures, WorkedSpeedsErrorsAndTimes) {
    const struct {
        int correct;
        qint64 seconds;
        int speed;
    } speeds[] = {
        {150, 75, 120}, {100, 47, 127},                     // 127.66 truncated
        {100, 0, 0},    {4, 125, 1},    {32000, 1, 32767},  // never wraps to a negative speed
    };
    for (const auto& c : speeds) {
        EXPECT_EQ(ComputeSpeed(c.correct, c.seconds), c.speed) << c.correct << " " << c.seconds;
    }
    EXPECT_EQ(FormatErrors(3, 3 * 100.0 / 66), "3 (4.55%)");
    EXPECT_EQ(FormatErrors(0, 0), "0 (0.00%)");
    EXPECT_EQ(FormatElapsed(0), "00:00:00");
    EXPECT_EQ(FormatElapsed(3725), "01:02:05");
    EXPECT_EQ(FormatElapsed(25 * 3600 + 1), "01:00:01");  // a time of day: hours wrap at 24
}

TEST_F(ExerciseSessionTest, Attempts) {
    const QString a66(66, QChar(u'a'));
    const struct {
        const char* story;
        QString text;
        std::vector<Act> acts;
        std::optional<SessionOutcome> outcome;  // none: still going on
        int correct, errors;
        qint64 elapsed;  // of a finished attempt
        int speed;
        double percentage;
        QString shown;  // correct|speed|errors|time
    } cases[] = {
        // clang-format off
        {"150 correct keystrokes in 75 s", QString(149, u'a') + "b",
         {Keys(QString(149, u'a')), Seconds(75), Keys("b")}, SessionOutcome::Finished, 150, 0, 75,
         120, 0, "149|119|0 (0.00%)|00:01:15"},
        {"a text typed within one second has no time and no speed", "abc",
         {Seconds(30), Keys("abc")}, SessionOutcome::Finished, 3, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"the displays refresh once a second, errors of the page", a66,
         {Keys("aaxaxxa"), Seconds(1)}, std::nullopt, 4, 3, 0, 0, 0, "4|240|3 (4.55%)|00:00:01"},
        {"and on", a66, {Keys("aaxaxxa"), Seconds(1), Seconds(124)}, std::nullopt, 4, 3, 0, 0, 0,
         "4|1|3 (4.55%)|00:02:05"},
        {"Enter at a line end is a correct keystroke", "ab\r\ncd", {Keys("ab\rcd")},
         SessionOutcome::Finished, 5, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"a wrong key at a line end is an error and goes to the next line", "ab\rcd",
         {Keys("abzcd")}, SessionOutcome::Finished, 4, 1, 0, 0, 20, "0|0|0 (0%)|" + kIdle},
        {"case and accents count", QString::fromUtf8("Ána"), {Keys("ana")},
         SessionOutcome::Finished, 2, 1, 0, 0, 100.0 / 3, "0|0|0 (0%)|" + kIdle},
        {"an eighth line is a second page; the return ending line 7 is never typed",
         Lines(8, "\r\n"), {Keys(Lines(7) + "linea 8")}, SessionOutcome::Finished,
         static_cast<int>(Lines(7).size()) + 7, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"the counts and the clock go on across pages; the percentage is of the last page",
         Lines(9), {Seconds(1), Keys(Lines(7)), Seconds(10), Keys("linea 8\rlinea"), Seconds(5),
         Keys(" !")}, SessionOutcome::Finished, static_cast<int>(Lines(9).size()) - 2, 1, 15,
         static_cast<int>((Lines(9).size() - 2) * 60 / 15), 100.0 / 15,
         "68|272|0 (0.00%)|00:00:15"},  // 55 + 13 typed in 15 s
        {"a pause does not count, and typing resumes", "abcdef",
         {Keys("a"), Seconds(3), kPause, Seconds(20), Keys("b"), Seconds(1)}, std::nullopt, 2, 0,
         0, 0, 0, "2|30|0 (0.00%)|00:00:04"},
        {"the pause button resumes once typing has begun", "abcdef",
         {Keys("a"), kPause, Seconds(7), kPause, Seconds(2)}, std::nullopt, 1, 0, 0, 0, 0,
         "1|30|0 (0.00%)|00:00:02"},
        {"No to the restart question goes on with the clock", "abcdef",
         {Keys("a"), Seconds(5), kRestartNo, Seconds(1)}, std::nullopt, 1, 0, 0, 0, 0,
         "1|10|0 (0.00%)|00:00:06"},
        {"Yes to the restart question ends the attempt", "abcdef", {Keys("a"), kRestartYes},
         SessionOutcome::Restart, 1, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"a new attempt counts nothing of the old one before its first keystroke", "abcdef",
         {Keys("a"), Seconds(50), kAgain, kRestartNo, Seconds(3), kPause, Seconds(3)},
         std::nullopt, 0, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"Escape ends at once, is not judged, and nothing follows", "abc", {Keys("a\x1b" "b")},
         SessionOutcome::Cancelled, 1, 0, 0, 0, 0, "0|0|0 (0%)|" + kIdle},
        {"the cancel button", "abc", {kCancel}, SessionOutcome::Cancelled, 0, 0, 0, 0, 0,
         "0|0|0 (0%)|" + kIdle},
        {"an input method's commit is one keystroke a character", "hola",
         {Keys("h"), {Act::Commit, "ol"}, Keys("a")}, SessionOutcome::Finished, 4, 0, 0, 0, 0,
         "0|0|0 (0%)|" + kIdle},
        {"an empty text ends on the first keystroke, an error of every keystroke", "", {Keys("a")},
         SessionOutcome::Finished, 0, 1, 0, 0, 100, "0|0|0 (0%)|" + kIdle},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        display_ = RecordingDisplay();
        ClearDialogs();
        Play(c.text, c.acts);
        EXPECT_EQ(session_.Ended(), c.outcome.has_value());
        EXPECT_EQ(c.outcome.value_or(session_.Outcome()), session_.Outcome());
        EXPECT_EQ(session_.Correct(), c.correct);
        EXPECT_EQ(session_.Errors(), c.errors);
        EXPECT_EQ(display_.Shown(), c.shown);
        const std::optional<ExerciseResult> result = session_.Result();
        ASSERT_EQ(result.has_value(), c.outcome == SessionOutcome::Finished);
        if (!result) continue;
        EXPECT_EQ(result->correct, c.correct);
        EXPECT_EQ(result->errors, c.errors);
        EXPECT_EQ(result->elapsed, c.elapsed);
        EXPECT_EQ(result->speed, c.speed);
        EXPECT_NEAR(result->errorPercentage, c.percentage, 1e-9);
    }
}

TEST_F(ExerciseSessionTest, BeginShowsTheTitleZeroFiguresAndTheFirstPage) {
    session_.Begin(QStringLiteral("hola\r\nmundo"), QStringLiteral("ANA PÉREZ"), 7, 33);
    EXPECT_EQ(display_.title, QStringLiteral("ANA PÉREZ  |  NIVEL: 7"));
    EXPECT_EQ(display_.fields[SessionField::Target], "33");
    EXPECT_EQ(display_.Shown(), "0|0|0 (0%)|" + kIdle);
    ASSERT_EQ(display_.pages.size(), 1u);
    EXPECT_EQ(display_.pages[0], std::make_pair(QStringList{"hola", "mundo"}, false));
    ASSERT_EQ(display_.hints.size(), 1u);
    EXPECT_EQ(display_.hints[0], std::make_pair(QStringLiteral("h"), 7));
    EXPECT_FALSE(session_.NextTick().has_value()) << "nothing to wake for before the first key";
}

TEST_F(ExerciseSessionTest, PagesOfSevenLines) {
    const struct {
        QString text;
        std::vector<std::pair<QStringList, bool>> pages;  // after typing every line
    } cases[] = {
        {Lines(7), {{Lines(7).split(u'\r'), false}}},
        {Lines(7) + "\r\n", {{Lines(7).split(u'\r'), false}}},  // nothing remains after it
        {Lines(8, "\r\n"), {{Lines(7).split(u'\r'), true}, {{"linea 8"}, false}}},
        {Lines(15),
         {{Lines(7).split(u'\r'), true},
          {Lines(14).split(u'\r').mid(7), true},
          {{"linea 15"}, false}}},
        {"", {{{""}, false}}},
    };
    for (const auto& c : cases) {
        display_ = RecordingDisplay();
        session_.Begin(c.text, QStringLiteral("ANA"), 1, 10);
        while (!session_.Ended()) {
            session_.Type(session_.Expected().isEmpty() ? QStringLiteral("x")
                                                        : session_.Expected());
        }
        EXPECT_EQ(display_.pages, c.pages) << c.text.toStdString();
    }
}

TEST_F(ExerciseSessionTest, EachKeystrokeIsJudgedInItsCellAndTheCursorMovesOn) {
    session_.Begin(QStringLiteral("a b\rcd"), QStringLiteral("ANA"), 1, 10);
    for (const char* key : {"a", "x", " ", "z", "C"}) session_.Type(key);
    const std::vector<std::tuple<TextPlace, QString, bool, TextPlace>> judged = {
        {{0, 0}, "a", true, {0, 1}},  {{0, 1}, "x", false, {0, 2}},
        {{0, 2}, " ", false, {0, 3}},  // a space where "b" is due
        {{0, 3}, "z", false, {1, 0}},  // the line end: on to the next line anyway
        {{1, 0}, "C", false, {1, 1}},
    };
    ASSERT_EQ(display_.keystrokes.size(), judged.size());
    for (std::size_t i = 0; i < judged.size(); ++i) {
        const JudgedKeystroke& shown = display_.keystrokes[i];
        EXPECT_EQ(std::tie(shown.cell, shown.typed, shown.correct, shown.next), judged[i]) << i;
    }
    EXPECT_EQ(session_.Expected(), "d");
    EXPECT_EQ(display_.hints.back().first, "d");
}

TEST_F(ExerciseSessionTest, TheClockWakesTheWindowOnlyWhileItRuns) {
    session_.Begin(QStringLiteral("abcd"), QStringLiteral("ANA"), 1, 10);
    EXPECT_EQ(session_.NextTick(), std::nullopt);
    // On the first character the pause button pauses, but only typing resumes.
    session_.PressPause();
    session_.PressPause();
    EXPECT_FALSE(session_.Running());
    clock_.Advance(2300);
    session_.Type("a");  // the clock starts in second 2
    EXPECT_TRUE(session_.Running());
    EXPECT_EQ(session_.NextTick(), 3000);
    clock_.Advance(800);
    session_.Tick();
    EXPECT_EQ(session_.NextTick(), 4000);
    session_.PressPause();
    EXPECT_EQ(session_.NextTick(), std::nullopt);
    session_.Type("b");  // resumes
    EXPECT_EQ(session_.NextTick(), 4000);
    session_.Type(QStringLiteral("cd"));
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.NextTick(), std::nullopt);
}

TEST_F(ExerciseSessionTest, TheRestartQuestion) {
    session_.Begin(QStringLiteral("abc"), QStringLiteral("ANA"), 1, 10);
    QueueAnswer(Answer::No);
    session_.PressRestart();
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].title, QStringLiteral("Reiniciar el ejercicio"));
    EXPECT_EQ(
        AskedDialogs()[0].text,
        QStringLiteral("¿Seguro que quiere volver a empezar\nel ejercicio desde el principio?"));
    EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{true, DialogIcon::Exclamation}));
}

}  // namespace
}  // namespace tz
