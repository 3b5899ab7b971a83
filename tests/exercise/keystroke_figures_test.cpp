// Every keystroke of an attempt is logged by the session and turns into per-character,
// per-finger and confusion figures; the weakest keys and what is typed instead come from them.

#include <gtest/gtest.h>

#include "exercise/exercise_session.h"
#include "exercise/keystroke_figures.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace tz {
namespace {

class KeystrokeLogTest : public ::testing::Test {
  protected:
    void SetUp() override { SetClock(&clock_); }
    void TearDown() override { SetClock(nullptr); }

    // Types `typed` character by character, `gapMs` before each.
    void TypeAll(ExerciseSession& session, const QString& typed, qint64 gapMs = 200) {
        for (const QChar c : typed) {
            clock_.Advance(gapMs);
            session.Type(QString(c));
        }
    }

    ManualClock clock_;
    SessionDisplay display_;  // shows nothing
    int finger_ = kNoFinger;
};

TEST_F(KeystrokeLogTest, EveryKeystrokeIsLoggedWithWhatWasDueTypedAndTheGap) {
    ExerciseSession session(display_, finger_);
    session.Begin(QStringLiteral("tarde sol"), QStringLiteral("ANA"), 1, 10);
    // Three known mistakes: R for T, W for E, K for L; a long pause before the "s".
    TypeAll(session, QStringLiteral("rardw "));
    clock_.Advance(7000);
    session.Type(QStringLiteral("s"));
    TypeAll(session, QStringLiteral("ok"));
    ASSERT_TRUE(session.Ended());
    ASSERT_EQ(session.Outcome(), SessionOutcome::Finished);

    const KeystrokeLog& log = session.Keystrokes();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0].expected, QStringLiteral("t"));
    EXPECT_EQ(log[0].typed, QStringLiteral("r"));
    EXPECT_EQ(log[0].sincePrevious, -1) << "the first keystroke has none before it";
    EXPECT_EQ(log[1].sincePrevious, 200);
    EXPECT_EQ(log[6].expected, QStringLiteral("s"));
    EXPECT_EQ(log[6].sincePrevious, 7000);
    EXPECT_EQ(log[8].expected, QStringLiteral("l"));
    EXPECT_EQ(log[8].typed, QStringLiteral("k"));
    // Touch typing: T and R left index (4), E and D left middle (3), S left ring (2), O and L
    // right ring (9), the space a thumb.
    EXPECT_EQ(log[0].finger, 4);
    EXPECT_EQ(log[2].finger, 4);
    EXPECT_EQ(log[3].finger, 3);
    EXPECT_EQ(log[4].finger, 3);
    EXPECT_TRUE(log[5].finger == 5 || log[5].finger == 6);
    EXPECT_EQ(log[6].finger, 2);
    EXPECT_EQ(log[7].finger, 9);
    EXPECT_EQ(log[8].finger, 9);

    const QDateTime when(QDate(2024, 3, 5), QTime(9, 0));
    const PupilFigures figures = FiguresOfAttempt(log, when);
    const KeyFigures t = figures.characters.at(U't');
    EXPECT_EQ(t.keystrokes, 1);
    EXPECT_EQ(t.errors, 1);
    EXPECT_EQ(t.timed, 0);
    const KeyFigures s = figures.characters.at(U's');
    EXPECT_EQ(s.errors, 0);
    EXPECT_EQ(s.timed, 0) << "a 7 s gap is a pause, not typing time";
    EXPECT_EQ(figures.characters.at(U'a').totalMs, 200);
    EXPECT_EQ(figures.characters.size(), 9u);  // t a r d e, the space, s o l
    const std::map<std::pair<char32_t, char32_t>, qint64> confusions{
        {{U't', U'r'}, 1}, {{U'e', U'w'}, 1}, {{U'l', U'k'}, 1}};
    EXPECT_EQ(figures.confusions, confusions);
    EXPECT_EQ(figures.fingers[4].keystrokes, 2);
    EXPECT_EQ(figures.fingers[4].errors, 1);
    EXPECT_EQ(figures.fingers[3].keystrokes, 2);
    EXPECT_EQ(figures.fingers[3].errors, 1);
    EXPECT_EQ(figures.fingers[9].keystrokes, 2);
    EXPECT_EQ(figures.fingers[9].errors, 1);
    EXPECT_EQ(figures.fingers[2].keystrokes, 1);
    EXPECT_EQ(figures.fingers[2].errors, 0);
    EXPECT_EQ(figures.fingers[5].keystrokes + figures.fingers[6].keystrokes, 1);
    ASSERT_EQ(figures.attempts.size(), 1u);
    EXPECT_EQ(figures.attempts[0].when, when);
    EXPECT_EQ(figures.attempts[0].figures.keystrokes, 9);
    EXPECT_EQ(figures.attempts[0].figures.errors, 3);
    EXPECT_EQ(figures.attempts[0].figures.timed, 7);
    EXPECT_EQ(figures.attempts[0].figures.totalMs, 7 * 200);
}

TEST_F(KeystrokeLogTest, CancelledAttemptKeepsItsKeystrokesAndAPauseBreaksTheTiming) {
    ExerciseSession session(display_, finger_);
    session.Begin(QStringLiteral("casa"), QStringLiteral("ANA"), 1, 10);
    TypeAll(session, QStringLiteral("ca"));
    session.PressPause();
    clock_.Advance(3000);
    session.Type(QStringLiteral("x"));
    session.Type(QStringLiteral("\x1b"));
    ASSERT_TRUE(session.Ended());
    EXPECT_EQ(session.Outcome(), SessionOutcome::Cancelled);
    const KeystrokeLog& log = session.Keystrokes();
    ASSERT_EQ(log.size(), 3u) << "Escape is no keystroke of the text";
    EXPECT_EQ(log[2].expected, QStringLiteral("s"));
    EXPECT_EQ(log[2].typed, QStringLiteral("x"));
    EXPECT_EQ(log[2].sincePrevious, -1) << "time spent paused is not typing time";

    // A new attempt starts an empty log.
    session.Begin(QStringLiteral("casa"), QStringLiteral("ANA"), 1, 10);
    EXPECT_TRUE(session.Keystrokes().empty());
}

TEST_F(KeystrokeLogTest, TheLineEndIsAKeystrokeOfTheEnterKey) {
    ExerciseSession session(display_, finger_);
    session.Begin(QStringLiteral("a\r\nb"), QStringLiteral("ANA"), 1, 10);
    TypeAll(session, QStringLiteral("a b"));
    ASSERT_TRUE(session.Ended());
    const PupilFigures figures = FiguresOfAttempt(session.Keystrokes(), QDateTime());
    EXPECT_EQ(figures.characters.at(U'\r').errors, 1);
    EXPECT_EQ((figures.confusions.at({U'\r', U' '})), 1);
    EXPECT_EQ(KeyLabel(U'\r'), QStringLiteral("Intro"));
}

PupilFigures FiguresOf(const std::vector<std::tuple<char32_t, char32_t, int>>& strokes) {
    KeystrokeLog log;
    for (const auto& [due, typed, times] : strokes) {
        for (int i = 0; i < times; ++i) {
            log.push_back({QString::fromUcs4(&due, 1), QString::fromUcs4(&typed, 1), 4, 150});
        }
    }
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 5), QTime(9, 0)));
}

TEST(PupilFigures, AddingSumsEverythingAndKeepsTheLastAttempts) {
    PupilFigures total;
    const PupilFigures one = FiguresOf({{U't', U't', 3}, {U't', U'r', 1}});
    AddFigures(total, one);
    AddFigures(total, one);
    EXPECT_EQ(total.characters.at(U't').keystrokes, 8);
    EXPECT_EQ(total.characters.at(U't').errors, 2);
    EXPECT_EQ(total.characters.at(U't').totalMs, 8 * 150);
    EXPECT_DOUBLE_EQ(total.characters.at(U't').MeanMs(), 150.0);
    EXPECT_EQ((total.confusions.at({U't', U'r'})), 2);
    EXPECT_EQ(total.fingers[4].keystrokes, 8);
    EXPECT_EQ(total.attempts.size(), 2u);
    EXPECT_EQ(total.Total().errors, 2);

    for (int i = 0; i < kKeptAttempts + 5; ++i) AddFigures(total, one);
    EXPECT_EQ(total.attempts.size(), static_cast<std::size_t>(kKeptAttempts));
    // The characters keep counting all the same.
    EXPECT_EQ(total.characters.at(U't').keystrokes, 4 * (kKeptAttempts + 7));
}

TEST(PupilFigures, WeakestKeysComeWorstFirstWithWhatIsTypedInstead) {
    // T: 10 of 20 wrong, 7 times as R; E: 2 of 20; capital and small A share a key.
    const PupilFigures figures = FiguresOf({{U't', U't', 10},
                                            {U't', U'r', 7},
                                            {U'T', U'y', 3},
                                            {U'e', U'e', 18},
                                            {U'e', U'w', 2},
                                            {U'a', U'a', 5},
                                            {U'A', U'a', 5},
                                            {U'o', U'o', 30}});
    const std::vector<WeakKey> weakest = WeakestKeys(figures, 5);
    ASSERT_EQ(weakest.size(), 3u) << "O was never missed";
    EXPECT_EQ(weakest[0].label, QStringLiteral("T"));
    EXPECT_EQ(weakest[0].keystrokes, 20);
    EXPECT_EQ(weakest[0].errors, 10);
    EXPECT_DOUBLE_EQ(weakest[0].rate, 0.5);
    EXPECT_EQ(ConfusionText(weakest[0]), QStringLiteral("Pulsas R en lugar de T: 7 veces"));
    EXPECT_EQ(weakest[1].label, QStringLiteral("A"));
    EXPECT_EQ(weakest[1].characters, QStringLiteral("Aa"));
    // A small letter for its capital is the same key: the characters are named.
    EXPECT_EQ(ConfusionText(weakest[1]), QStringLiteral("Pulsas a en lugar de A: 5 veces"));
    EXPECT_EQ(weakest[2].label, QStringLiteral("E"));
    EXPECT_EQ(ConfusionText(weakest[2]), QStringLiteral("Pulsas W en lugar de E: 2 veces"));

    EXPECT_EQ(WeakestKeys(figures, 1).size(), 1u);
    EXPECT_TRUE(WeakestKeys(figures, 0).empty());
    // One slip on a key struck once does not go before keys missed again and again, but still
    // before a key missed seldom.
    PupilFigures slip = figures;
    AddFigures(slip, FiguresOf({{U'z', U'x', 1}}));
    const std::vector<WeakKey> withSlip = WeakestKeys(slip, 5);
    ASSERT_EQ(withSlip.size(), 4u);
    EXPECT_EQ(withSlip[0].label, QStringLiteral("T"));
    EXPECT_EQ(withSlip[1].label, QStringLiteral("A"));
    EXPECT_EQ(withSlip[2].label, QStringLiteral("Z"));
    EXPECT_DOUBLE_EQ(withSlip[2].rate, 1.0);
    EXPECT_EQ(withSlip[3].label, QStringLiteral("E"));
    EXPECT_TRUE(WeakestKeys(PupilFigures(), 5).empty());
    WeakKey once = weakest[2];
    once.typedTimes = 1;
    EXPECT_EQ(ConfusionText(once), QStringLiteral("Pulsas W en lugar de E: 1 vez"));
    EXPECT_EQ(KeyLabel(U' '), QStringLiteral("Espacio"));
    EXPECT_EQ(KeyLabel(U'ñ'), QStringLiteral("Ñ"));
    EXPECT_EQ(KeyLabel(U','), QStringLiteral(","));
}

}  // namespace
}  // namespace tz
