#include <gtest/gtest.h>

#include <QFont>
#include <functional>
#include <map>

#include "exercise/exercise_session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "support.h"

namespace tz {
namespace {

const QColor kPage(20, 20, 20);
const QColor kRight(0, 206, 206);
const QColor kWrong(255, 0, 0);
const QColor kCursor(179, 30, 196);
const QColor kWhite(255, 255, 255);
const QString kIdle = QStringLiteral("TIEMPO INACTIVO");

// Control ids the test double gives the window's buttons and boxes.
constexpr int kCancelId = 1;
constexpr int kPauseId = 2;
constexpr int kRestartId = 3;
constexpr int kHideKeyId = 4;

struct DrawCall {
    enum Kind { Text, Box, Picture, Clear } kind = Clear;
    int x = 0;
    int y = 0;
    QString text;
    QColor colour;
    QRect box;
    int picture = 0;
};

// The exercise window as the tests see it: every call recorded. Canvas calls also draw on
// the display's real page when drawForReal is set.
class RecordingDisplay : public SessionDisplay {
  public:
    explicit RecordingDisplay(const QFont& font = QFont()) : SessionDisplay(font) {}
    bool drawForReal = false;
    QString title;
    std::map<SessionField, QString> fields;
    std::vector<std::pair<SessionField, QString>> fieldHistory;
    std::vector<DrawCall> draws;
    std::vector<std::pair<QString, KeyHint>> hints;
    std::vector<int> reapplied;
    int shows = 0;
    int focuses = 0;
    int windowShows = 0;
    int drains = 0;

    void SetTitle(const QString& text) override { title = text; }
    void SetFieldText(SessionField field, const QString& text) override {
        fields[field] = text;
        fieldHistory.emplace_back(field, text);
    }
    void ClearCanvas() override {
        draws.push_back(DrawCall());
        if (drawForReal) SessionDisplay::ClearCanvas();
    }
    void DrawCanvasText(int x, int y, const QString& text, const QColor& colour) override {
        draws.push_back({DrawCall::Text, x, y, text, colour, QRect(), 0});
        if (drawForReal) SessionDisplay::DrawCanvasText(x, y, text, colour);
    }
    void FillCanvasBox(const QRect& box, const QColor& colour) override {
        draws.push_back({DrawCall::Box, 0, 0, QString(), colour, box, 0});
        if (drawForReal) SessionDisplay::FillCanvasBox(box, colour);
    }
    void DrawCanvasPicture(int x, int y, int pictureNumber) override {
        draws.push_back({DrawCall::Picture, x, y, QString(), QColor(), QRect(), pictureNumber});
        if (drawForReal) SessionDisplay::DrawCanvasPicture(x, y, pictureNumber);
    }
    int CharacterWidth() const override {
        return drawForReal ? SessionDisplay::CharacterWidth() : 11;
    }
    void ShowCanvas() override { ++shows; }
    void FocusCanvas() override { ++focuses; }
    void ShowWindow() override { ++windowShows; }
    void ShowHint(const QString& ch, const KeyHint& hint) override { hints.emplace_back(ch, hint); }
    void ReapplyOptions(int option) override { reapplied.push_back(option); }
    void DrainEvents() override {
        ++drains;
        SessionDisplay::DrainEvents();
    }
    SessionCommand Interpret(const Event& event) override {
        SessionCommand command;
        if (event.type != EventType::Click) return SessionDisplay::Interpret(event);
        switch (event.id) {
            case kCancelId:
                command.kind = SessionCommand::Cancel;
                break;
            case kPauseId:
                command.kind = SessionCommand::Pause;
                break;
            case kRestartId:
                command.kind = SessionCommand::Restart;
                break;
            case kHideKeyId:
                command.kind = SessionCommand::HideOption;
                command.option = kHideKeyId;
                break;
        }
        return command;
    }

    std::vector<DrawCall> TextsDrawn() const {
        std::vector<DrawCall> texts;
        for (const auto& call : draws) {
            if (call.kind == DrawCall::Text) texts.push_back(call);
        }
        return texts;
    }
    int PicturesDrawn(int number) const {
        int count = 0;
        for (const auto& call : draws)
            count += call.kind == DrawCall::Picture && call.picture == number;
        return count;
    }
};

Event CharEvent(const QString& text) {
    Event event;
    event.type = EventType::Char;
    event.text = text;
    event.code = text.isEmpty() ? 0 : text[0].unicode();
    return event;
}

Event ClickEvent(int id) {
    Event event;
    event.type = EventType::Click;
    event.id = id;
    return event;
}

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
        ClearInputScript();
        session_.SetDrawPause(0);
    }
    void TearDown() override {
        ClearInputScript();
        ClearDialogs();
        SetClock(nullptr);
    }
    // Moves the clock on by whole seconds.
    void Wait(int seconds) { clock_.Advance(seconds * 1000LL); }
    void TypeAll(const QString& text) {
        for (QChar c : text) session_.Type(QString(c));
    }
    QString Field(SessionField field) { return display_.fields[field]; }

    ManualClock clock_;
    RecordingDisplay display_;
    int finger_ = kNoFinger;
    ExerciseSession session_{display_, finger_};
};

TEST_F(ExerciseSessionTest, BeginSetsTitleZeroFiguresAndTheFirstPage) {
    session_.Begin(QStringLiteral("hola\r\nmundo"), QStringLiteral("ANA PÉREZ"), 7, 33);
    EXPECT_EQ(display_.title, QStringLiteral("ANA PÉREZ  |  NIVEL: 7"));
    EXPECT_EQ(Field(SessionField::Correct), "0");
    EXPECT_EQ(Field(SessionField::Speed), "0");
    EXPECT_EQ(Field(SessionField::Target), "33");
    EXPECT_EQ(Field(SessionField::Errors), "0 (0%)");
    EXPECT_EQ(Field(SessionField::Time), kIdle);

    // Line feeds are dropped; the page is drawn once, line by line, on a white picture.
    EXPECT_EQ(session_.PageText(), QStringLiteral("hola\rmundo"));
    ASSERT_GE(display_.draws.size(), 3u);
    EXPECT_EQ(display_.draws[0].kind, DrawCall::Clear);
    const auto texts = display_.TextsDrawn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "hola");
    EXPECT_EQ(QPoint(texts[0].x, texts[0].y), QPoint(5, 5));
    EXPECT_EQ(texts[0].colour, kPage);
    EXPECT_EQ(texts[1].text, "mundo");
    EXPECT_EQ(QPoint(texts[1].x, texts[1].y), QPoint(5, 33));
    // The cursor under the first cell, the window shown, the hint for "h".
    EXPECT_EQ(display_.draws.back().kind, DrawCall::Box);
    EXPECT_EQ(display_.draws.back().box, QRect(6, 25, 9, 3));
    EXPECT_EQ(display_.draws.back().colour, kCursor);
    EXPECT_GE(display_.shows, 1);
    EXPECT_EQ(display_.windowShows, 1);
    ASSERT_EQ(display_.hints.size(), 1u);
    EXPECT_EQ(display_.hints[0].first, "h");
    EXPECT_EQ(display_.hints[0].second.finger, 7);
    EXPECT_EQ(session_.Index(), 1);
    EXPECT_EQ(session_.Expected(), "h");
    EXPECT_FALSE(session_.ClockStarted());
}

TEST_F(ExerciseSessionTest, WorkedSpeedsAndErrorFigures) {
    EXPECT_EQ(ComputeSpeed(150, 75), 120);
    EXPECT_EQ(ComputeSpeed(100, 47), 127);  // 127.66 truncated
    EXPECT_EQ(ComputeSpeed(100, 0), 0);
    EXPECT_EQ(ComputeSpeed(32000, 1), 32767);  // never wraps to a negative speed
    EXPECT_EQ(FormatErrors(3, 3 * 100.0 / 66), "3 (4.55%)");
    EXPECT_EQ(FormatErrors(0, 0), "0 (0.00%)");
    EXPECT_EQ(FormatElapsed(0), "00:00:00");
    EXPECT_EQ(FormatElapsed(3725), "01:02:05");

    // 150 correct keystrokes in 75 seconds, through a session.
    const QString text = QString(149, QChar(u'a')) + QStringLiteral("b");
    session_.Begin(text, "x", 1, 100);
    TypeAll(text.left(149));
    Wait(75);
    session_.Type("b");
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Outcome(), kSessionFinished);
    const auto result = session_.Result();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->correct, 150);
    EXPECT_EQ(result->errors, 0);
    EXPECT_EQ(result->elapsed, 75);
    EXPECT_EQ(result->speed, 120);
    EXPECT_EQ(result->errorPercentage, 0);
}

TEST_F(ExerciseSessionTest, DisplaysRefreshOnceASecondWithTheErrorsOfThePage) {
    const QString text = QString(66, QChar(u'a'));
    session_.Begin(text, "x", 1, 100);
    TypeAll("aaxaxxa");  // 4 right, 3 wrong
    session_.Poll();     // same second as the first keystroke: nothing changes
    EXPECT_EQ(Field(SessionField::Time), kIdle);
    Wait(1);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Correct), "4");
    EXPECT_EQ(Field(SessionField::Errors), "3 (4.55%)");
    EXPECT_EQ(Field(SessionField::Speed), "240");
    EXPECT_EQ(Field(SessionField::Time), "00:00:01");
    const size_t refreshes = display_.fieldHistory.size();
    session_.Poll();  // still the same second
    EXPECT_EQ(display_.fieldHistory.size(), refreshes);
    Wait(124);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:02:05");
    EXPECT_EQ(Field(SessionField::Speed), "1");  // 4 x 60 / 125 = 1.92
}

TEST_F(ExerciseSessionTest, SevenLinesAreOnePageAndAnEighthStartsASecond) {
    session_.Begin(Lines(7), "x", 1, 10);
    EXPECT_EQ(session_.PageText(), Lines(7));
    EXPECT_FALSE(session_.MorePages());
    EXPECT_EQ(display_.PicturesDrawn(12), 0);

    // Seven lines ending in a line break are still one page (nothing remains).
    RecordingDisplay other;
    ExerciseSession withBreak(other, finger_);
    withBreak.Begin(Lines(7) + "\r\n", "x", 1, 10);
    EXPECT_EQ(withBreak.PageText(), Lines(7));
    EXPECT_FALSE(withBreak.MorePages());

    RecordingDisplay display8;
    ExerciseSession eight(display8, finger_);
    eight.SetDrawPause(0);
    eight.Begin(Lines(8, "\r\n"), "x", 1, 10);
    EXPECT_EQ(eight.PageText(), Lines(7));
    EXPECT_TRUE(eight.MorePages());
    EXPECT_EQ(eight.RemainingText(), "linea 8");
    ASSERT_EQ(display8.PicturesDrawn(12), 1);
    for (const auto& call : display8.draws) {
        if (call.kind == DrawCall::Picture) {
            EXPECT_EQ(QPoint(call.x, call.y), QPoint(716, 188));
        }
    }

    // The last character of line 7 ends the page: its line break is never typed.
    const QString page = Lines(7);
    for (QChar c : page) eight.Type(QString(c));
    EXPECT_FALSE(eight.Ended());
    EXPECT_TRUE(eight.Continued());
    EXPECT_EQ(eight.PageText(), "linea 8");
    EXPECT_EQ(eight.Index(), 1);
    EXPECT_EQ(eight.Cursor(), QPoint(5, 5));
    EXPECT_FALSE(eight.MorePages());
    EXPECT_EQ(eight.Correct(), page.size());
    for (QChar c : QStringLiteral("linea 8")) eight.Type(QString(c));
    ASSERT_TRUE(eight.Ended());
    EXPECT_EQ(eight.Outcome(), kSessionFinished);
    EXPECT_EQ(eight.Result()->correct, page.size() + 7);
    EXPECT_EQ(eight.Result()->errors, 0);
}

TEST_F(ExerciseSessionTest, KeystrokesAreDrawnInTheirColoursAndTheCursorMovesOn) {
    session_.Begin(QStringLiteral("a b\rcd"), "x", 1, 10);
    display_.draws.clear();

    session_.Type("a");  // right
    ASSERT_EQ(display_.draws.size(), 3u);
    // The cell (and the pixel its neighbours' strokes may reach), cursor box included, is
    // cleared before the typed character is drawn in it: nothing of the page's character or of
    // the old cursor stays.
    EXPECT_EQ(display_.draws[0].box, QRect(4, 5, 13, 28));
    EXPECT_TRUE(display_.draws[0].box.contains(QRect(6, 25, 9, 3)));  // the old cursor
    EXPECT_EQ(display_.draws[0].colour, kWhite);
    EXPECT_EQ(display_.draws[1].text, "a");
    EXPECT_EQ(display_.draws[1].colour, kRight);
    EXPECT_EQ(QPoint(display_.draws[1].x, display_.draws[1].y), QPoint(5, 5));
    EXPECT_EQ(display_.draws[2].box, QRect(17, 25, 9, 3));  // new cursor one cell on
    EXPECT_EQ(display_.draws[2].colour, kCursor);

    display_.draws.clear();
    session_.Type("x");  // a space was due: the typed character is drawn, in red
    auto texts = display_.TextsDrawn();
    // The cell is repainted with its neighbours: the "a" typed before, the page's "b" after.
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "a");
    EXPECT_EQ(texts[0].colour, kRight);
    EXPECT_EQ(texts[0].x, 5);
    EXPECT_EQ(texts[1].text, "b");
    EXPECT_EQ(texts[1].colour, kPage);
    EXPECT_EQ(texts[1].x, 27);
    EXPECT_EQ(texts[2].text, "x");
    EXPECT_EQ(texts[2].colour, kWrong);
    EXPECT_EQ(texts[2].x, 16);

    display_.draws.clear();
    session_.Type(" ");  // a space where "b" was due shows the wrong-space mark
    texts = display_.TextsDrawn();
    ASSERT_EQ(texts.size(), 2u);  // the red "x" beside it, then the mark; the line ends here
    EXPECT_EQ(texts[1].text, QString(QChar(0x0085)));
    EXPECT_EQ(texts[1].colour, kWrong);

    // A wrong key at the line end is one error and still goes to the next line.
    display_.draws.clear();
    session_.Type("z");
    EXPECT_EQ(session_.Errors(), 3);
    EXPECT_EQ(session_.Correct(), 1);
    EXPECT_EQ(session_.Cursor(), QPoint(5, 33));
    EXPECT_EQ(display_.draws.back().box, QRect(6, 53, 9, 3));
    EXPECT_EQ(session_.Expected(), "c");
    EXPECT_EQ(display_.hints.back().first, "c");

    // The first cell of a line has no typed neighbour on its left.
    display_.draws.clear();
    session_.Type("C");  // case and accents count
    EXPECT_EQ(session_.Errors(), 4);
    texts = display_.TextsDrawn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "d");
    EXPECT_EQ(texts[1].text, "C");
    EXPECT_EQ(display_.focuses, 5);
}

TEST_F(ExerciseSessionTest, EnterAtALineEndIsACorrectKeystroke) {
    session_.Begin(QStringLiteral("ab\r\ncd"), "x", 1, 10);
    TypeAll("ab\rcd");
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Result()->correct, 5);
    EXPECT_EQ(session_.Result()->errors, 0);
}

TEST_F(ExerciseSessionTest, TheClockStartsWithTheFirstKeystroke) {
    session_.Begin(QStringLiteral("abc"), "x", 1, 10);
    Wait(30);  // looking at the page costs nothing
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), kIdle);
    // Typed within one wall-clock second: no time, no speed.
    TypeAll("abc");
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Result()->elapsed, 0);
    EXPECT_EQ(session_.Result()->speed, 0);
    EXPECT_EQ(session_.Result()->correct, 3);
}

TEST_F(ExerciseSessionTest, CountsAndClockGoOnAcrossPages) {
    session_.Begin(Lines(9), "x", 1, 10);
    Wait(1);
    TypeAll(Lines(7));
    Wait(10);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:10");
    TypeAll(QStringLiteral("linea 8\rlinea"));
    Wait(5);
    session_.Type(" ");
    session_.Type("!");  // wrong
    ASSERT_TRUE(session_.Ended());
    const auto result = session_.Result();
    EXPECT_EQ(result->elapsed, 15);
    EXPECT_EQ(result->errors, 1);
    // Everything but the wrong "9" and the line break after line 7, which is never typed.
    EXPECT_EQ(result->correct, Lines(9).size() - 2);
    // The percentage is of the last page: 1 of 15 characters.
    EXPECT_NEAR(result->errorPercentage, 100.0 / 15, 1e-9);
}

TEST_F(ExerciseSessionTest, TypingDuringPauseResumesWithoutLosingTime) {
    session_.Begin(QStringLiteral("abcdef"), "x", 1, 10);
    session_.Type("a");
    Wait(3);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:03");
    session_.PressPause();
    EXPECT_FALSE(session_.Running());
    EXPECT_EQ(Field(SessionField::Time), kIdle);
    Wait(20);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), kIdle);  // the pause does not count
    const int drainsBefore = display_.drains;
    session_.Type("b");
    EXPECT_TRUE(session_.Running());
    EXPECT_EQ(display_.drains, drainsBefore + 1);
    Wait(1);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:04");

    // The pause button resumes too, once typing has begun.
    session_.PressPause();
    Wait(7);
    session_.PressPause();
    EXPECT_TRUE(session_.Running());
    Wait(2);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:06");
}

TEST_F(ExerciseSessionTest, PauseOnTheFirstCharacterWaitsForTyping) {
    session_.Begin(QStringLiteral("abc"), "x", 1, 10);
    session_.PressPause();
    EXPECT_FALSE(session_.Running());
    session_.PressPause();  // index 1: the button does not resume
    EXPECT_FALSE(session_.Running());
    session_.Type("a");
    EXPECT_TRUE(session_.Running());
    EXPECT_TRUE(session_.ClockStarted());
}

TEST_F(ExerciseSessionTest, RestartAsksAndNoGoesOnWithTheClock) {
    session_.Begin(QStringLiteral("abcdef"), "x", 1, 10);
    session_.Type("a");
    Wait(5);
    session_.Poll();
    QueueAnswer(Answer::No);
    session_.PressRestart();
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].title, QStringLiteral("Reiniciar el ejercicio"));
    EXPECT_EQ(
        AskedDialogs()[0].text,
        QStringLiteral("¿Seguro que quiere volver a empezar\nel ejercicio desde el principio?"));
    EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{true, DialogIcon::Exclamation}));
    EXPECT_FALSE(session_.Ended());
    EXPECT_TRUE(session_.Running());
    EXPECT_EQ(Field(SessionField::Time), kIdle);  // until the next refresh
    Wait(1);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:06");

    QueueAnswer(Answer::Yes);
    session_.PressRestart();
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Outcome(), kSessionRestart);
    EXPECT_FALSE(session_.Result().has_value());
}

TEST_F(ExerciseSessionTest, ANewAttemptShowsIdleTimeAndZeroFiguresUntilItsFirstKeystroke) {
    // A first attempt that ran for a while.
    session_.Begin(QStringLiteral("abcdef"), "x", 1, 10);
    session_.Type("a");
    Wait(50);
    session_.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:50");

    // The next attempt in the same window: answering No to the restart question before the
    // first keystroke must not start counting from the old attempt's time.
    ExerciseSession next(display_, finger_);
    next.SetDrawPause(0);
    next.Begin(QStringLiteral("abcdef"), "x", 1, 10);
    QueueAnswer(Answer::No);
    next.PressRestart();
    Wait(3);
    next.Poll();
    next.PressPause();
    Wait(3);
    next.Poll();
    EXPECT_EQ(Field(SessionField::Time), kIdle);
    EXPECT_EQ(Field(SessionField::Correct), "0");
    EXPECT_EQ(Field(SessionField::Speed), "0");
    EXPECT_EQ(Field(SessionField::Errors), "0 (0%)");
    next.Type("a");
    Wait(2);
    next.Poll();
    EXPECT_EQ(Field(SessionField::Time), "00:00:02");
    EXPECT_EQ(Field(SessionField::Correct), "1");
}

TEST_F(ExerciseSessionTest, EscapeAndCancelEndWithoutResult) {
    session_.Begin(QStringLiteral("abc"), "x", 1, 10);
    session_.Type("a");
    session_.Type(QStringLiteral("\x1b"));
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Outcome(), kSessionCancelled);
    EXPECT_FALSE(session_.Result().has_value());
    EXPECT_EQ(session_.Errors(), 0);  // Escape is not judged
    session_.Type("b");               // nothing happens after the end
    EXPECT_EQ(session_.Correct(), 1);

    RecordingDisplay other;
    ExerciseSession cancelled(other, finger_);
    cancelled.Begin(QStringLiteral("abc"), "x", 1, 10);
    cancelled.Cancel();
    EXPECT_TRUE(cancelled.Ended());
    EXPECT_EQ(cancelled.Outcome(), kSessionCancelled);
}

TEST_F(ExerciseSessionTest, AnEmptyTextFinishesOnTheFirstKeystrokeWithOneError) {
    session_.Begin(QString(), "x", 1, 10);
    EXPECT_EQ(session_.PageLength(), 0);
    EXPECT_EQ(session_.Expected(), QString());
    session_.Type("a");
    ASSERT_TRUE(session_.Ended());
    EXPECT_EQ(session_.Outcome(), kSessionFinished);
    EXPECT_EQ(session_.Result()->errors, 1);
    EXPECT_EQ(session_.Result()->correct, 0);
    // No characters to relate the error to: every keystroke was wrong.
    EXPECT_EQ(session_.Result()->errorPercentage, 100.0);
}

TEST_F(ExerciseSessionTest, HideOptionChangeReappliesAndShowsTheSameHintAgain) {
    finger_ = kNoFinger;
    session_.Begin(QStringLiteral("f j"), "x", 1, 10);
    session_.Type("f");
    ASSERT_EQ(display_.hints.back().first, " ");
    EXPECT_EQ(display_.hints.back().second.finger, 6);
    session_.HideOptionChanged(kHideKeyId);
    EXPECT_EQ(display_.reapplied, std::vector<int>{kHideKeyId});
    EXPECT_EQ(display_.hints.back().first, " ");
    EXPECT_EQ(display_.hints.back().second.finger, 6);  // still the right thumb
}

TEST_F(ExerciseSessionTest, EachKeystrokeWaitsTheDrawPause) {
    session_.SetDrawPause(1);
    session_.Begin(QStringLiteral("abcd"), "x", 1, 10);
    const qint64 before = clock_.milliseconds;
    TypeAll("abc");
    EXPECT_EQ(clock_.milliseconds - before, 3);
}

TEST_F(ExerciseSessionTest, TheLoopTakesEventsAndDropsThoseQueuedBehindAResume) {
    AppendInputStep([] {
        PostEvent(CharEvent("a"));
        PostEvent(ClickEvent(kPauseId));
        PostEvent(CharEvent("b"));  // resumes: what follows is dropped
        PostEvent(CharEvent("c"));
    });
    AppendInputStep([] { PostEvent(CharEvent("\x1b")); });
    const qint64 before = clock_.milliseconds;
    const SessionOutcome outcome = session_.Run(QStringLiteral("abcd"), "x", 1, 10);
    EXPECT_EQ(outcome, kSessionCancelled);
    EXPECT_EQ(session_.Correct(), 2);
    EXPECT_EQ(session_.Index(), 3);
    // Only the turn that handled the pause slept (5 ms); typing turns do not.
    EXPECT_EQ(clock_.milliseconds - before, 5);
}

TEST_F(ExerciseSessionTest, TheLoopFinishesAndHandlesTheWindowCommands) {
    AppendInputStep([] {
        PostEvent(ClickEvent(kHideKeyId));
        PostEvent(CharEvent("h"));
    });
    AppendInputStep([] { PostEvent(CharEvent(QStringLiteral("ol"))); });  // one commit, two keys
    AppendInputStep([this] { clock_.Advance(2000); });
    AppendInputStep([] { PostEvent(CharEvent("a")); });
    const SessionOutcome outcome = session_.Run(QStringLiteral("hola"), "x", 1, 10);
    EXPECT_EQ(outcome, kSessionFinished);
    EXPECT_EQ(display_.reapplied, std::vector<int>{kHideKeyId});
    EXPECT_EQ(session_.Result()->correct, 4);
    EXPECT_EQ(session_.Result()->elapsed, 2);
    EXPECT_EQ(Field(SessionField::Correct), "3");  // refreshed by the poll after the wait
}

TEST_F(ExerciseSessionTest, ACloseRequestCancels) {
    AppendInputStep([] {
        Event close;
        close.type = EventType::CloseRequest;
        PostEvent(close);
    });
    EXPECT_EQ(session_.Run(QStringLiteral("abc"), "x", 1, 10), kSessionCancelled);
}

// The real picture and the real exercise font.
TEST_F(ExerciseSessionTest, DrawsOnTheExerciseCanvas) {
    RecordingDisplay display(MakeFont(QStringLiteral("Courier New"), 14, true));
    display.drawForReal = true;
    ExerciseSession session(display, finger_);
    session.SetDrawPause(0);

    session.Begin(QStringLiteral("Había una vez\r\nun niño"), "x", 1, 10);
    const int width = display.CharacterWidth();
    EXPECT_GE(width, 10);
    EXPECT_LE(width, 13);
    for (const QChar c : QStringLiteral("Ha")) session.Type(QString(c));
    session.Type("x");  // wrong

    const QImage& live = display.Canvas();
    EXPECT_EQ(live.size(), QSize(770, 200) * PictureScale());
    QImage canvas = test::Logical(live);
    EXPECT_EQ(canvas.size(), QSize(770, 200));
    const auto count = [&](const QRect& area, const std::function<bool(QColor)>& wanted) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) n += wanted(canvas.pixelColor(x, y));
        }
        return n;
    };
    const auto exactly = [](QColor colour) { return [colour](QColor c) { return c == colour; }; };
    // Antialiased edges blend into the page text below: count the pixels of the colour family.
    const auto cyan = [](QColor c) { return c.red() < 90 && c.green() > 150 && c.blue() > 150; };
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    // The cursor under the fourth cell, the first cells overdrawn in colour, red in the third.
    const int cell = width;
    EXPECT_EQ(count(QRect(5 + 3 * cell + 1, 25, 9, 3), exactly(kCursor)), 27);
    EXPECT_GT(count(QRect(5, 5, 2 * cell, 20), cyan), 20);
    EXPECT_EQ(count(QRect(5, 5, 2 * cell, 20), red), 0);
    EXPECT_GT(count(QRect(5 + 2 * cell, 5, cell, 20), red), 10);
    EXPECT_EQ(count(QRect(5 + 1, 25, 9, 3), exactly(kCursor)), 0);  // the first cursor erased
    // The rest of the page is untouched page text on white.
    EXPECT_EQ(count(QRect(5 + 3 * cell, 5, 10 * cell, 20), cyan), 0);
    EXPECT_GT(count(QRect(5 + 3 * cell, 5, 10 * cell, 20), exactly(kPage)), 20);
    EXPECT_GT(count(QRect(5, 33, 7 * cell, 20), exactly(kPage)), 20);
    EXPECT_EQ(canvas.pixelColor(769, 199), kWhite);

    // The typed characters replace the page's: no pixel of the page's colour in their cells.
    const auto pageInk = [](QColor c) {
        return c.red() < 200 && c.red() == c.green() && c.green() == c.blue();
    };
    EXPECT_EQ(count(QRect(5, 5, 3 * cell, 22), pageInk), 0);

    // A space where "í" is due shows the wrong-space mark alone, exactly as it looks drawn by
    // itself on white.
    session.Type(" ");
    canvas = test::Logical(live);
    QImage alone = NewPicture(LogicalSize(live), live.format());
    alone.fill(Qt::white);
    DrawTextOn(alone, 5 + 3 * cell, 5, QString(QChar(0x0085)), display.Font(), kWrong);
    const QRect markCell(5 + 3 * cell, 5, cell, 22);
    EXPECT_EQ(canvas.copy(markCell), test::Logical(alone).copy(markCell));
    EXPECT_GT(count(markCell, [](QColor c) { return c.red() == 255 && c.green() < 200; }), 10);
    test::SaveImage(live, QStringLiteral("exercise_canvas_typing"));
}

}  // namespace
}  // namespace tz
