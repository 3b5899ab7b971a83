// The error analysis as a pupil sees it: her keyboard, fingers, weakest keys and progress, the
// drill of her difficult keys typed in the real exercise window, and the way back to the menu.

#include <QLabel>

#include "app/analysis_window.h"
#include "app/exercise_run.h"
#include "app/main_menu.h"
#include "content/analysis_pictures.h"
#include "content/course_data.h"
#include "content/difficult_keys_drill.h"
#include "content/figures_file.h"
#include "exercise_screens.h"
#include "platform/dialogs.h"

namespace tz {
namespace {

using test::AnswerResult;
using test::ClickControl;
using test::InTurn;
using test::ResultMessage;

const QString kTitle = QStringLiteral("Análisis de errores");
const QByteArray kEva = "EVA SANZ|6|2|3|90|80|85|90|95|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000007";

// An attempt of many keystrokes with errors on a few keys: T often typed as R, E as W, Ñ as L.
// Later rounds are faster and hold more right keystrokes of the A.
PupilFigures ClumsyAttempt(int round = 0) {
    KeystrokeLog log;
    const qint32 gap = 260 - 8 * round;
    auto strokes = [&log, gap](const char* due, const char* typed, int times, qint8 finger) {
        for (int i = 0; i < times; ++i) {
            log.push_back({QString::fromUtf8(due), QString::fromUtf8(typed), finger, gap});
        }
    };
    strokes("t", "t", 13, 4);
    strokes("t", "r", 7, 4);
    strokes("e", "e", 30, 3);
    strokes("e", "w", 6, 3);
    strokes("ñ", "ñ", 6, 10);
    strokes("ñ", "l", 4, 10);
    strokes("a", "a", 40 + 15 * round, 1);
    strokes("s", "s", 38, 2);
    strokes("s", "a", 2, 2);
    strokes("o", "o", 25, 9);
    strokes("o", "p", 1, 9);
    strokes(" ", " ", 30, 5);
    strokes("l", "l", 20, 9);
    strokes("d", "d", 20, 3);
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
}

class AnalysisWindowTest : public test::ExerciseScreenTest {
  protected:
    void SetUp() override {
        ExerciseScreenTest::SetUp();
        menu_.resize(320, 200);
        menu_.show();
        state_.mainMenu = &menu_;
        WriteUsers({kEva});
        CurrentUser.id = QStringLiteral("ID-20240101000007");
        LoadCurrentUser();
    }

    QImage ShownImage(QWidget* window, int control) {
        auto* label = qobject_cast<QLabel*>(FindControl(window, control));
        return label ? test::Logical(label->pixmap().toImage()) : QImage();
    }
    // The colour of a key of the keyboard shown, near its lower right corner, clear of its
    // legend, against the colour it should wear.
    static int ColourDistance(const QImage& keyboard, const QString& key, const QColor& wanted) {
        for (const KeyCap& cap : KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout))) {
            if (cap.base != key) continue;
            const QColor seen = keyboard.pixelColor(cap.rect.right() - 6, cap.rect.bottom() - 8);
            return std::abs(seen.red() - wanted.red()) + std::abs(seen.green() - wanted.green()) +
                   std::abs(seen.blue() - wanted.blue());
        }
        return 1000;
    }

    QWidget menu_;
};

TEST_F(AnalysisWindowTest, APupilWithManyErrorsSeesHerKeysFingersAndProgress) {
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, ClumsyAttempt(i)));
    const int freeBefore = LowestFreePicture();
    InTurn({{kTitle, [this](QWidget* window) {
                 EXPECT_EQ(QApplication::activeModalWidget(), window);
                 EXPECT_TRUE(QTest::qWaitForWindowActive(window));
                 EXPECT_EQ(window->parentWidget(), &menu_);
                 EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                 EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kAnalysisTitleId))->text(),
                           QStringLiteral("Análisis de errores de EVA SANZ"));
                 EXPECT_EQ(ShownImage(window, kAnalysisKeyboardId).size(), QSize(599, 202));
                 EXPECT_EQ(ShownImage(window, kAnalysisProgressId).size(), QSize(560, 85));
                 const QStringList unnamed = test::ControlsWithoutNames(window);
                 EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
                 // No control lies over another.
                 QList<QRect> places;
                 for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                     for (const QRect& other : places) {
                         EXPECT_FALSE(child->geometry().intersects(other)) << ControlId(child);
                     }
                     places.append(child->geometry());
                     EXPECT_TRUE(window->rect().contains(child->geometry())) << ControlId(child);
                 }
                 // The T key wears the colour of the worst band: 7 errors in 20.
                 const QImage keyboard = ShownImage(window, kAnalysisKeyboardId);
                 EXPECT_LT(ColourDistance(keyboard, "T", ErrorRateColour(0.35)), 60);
                 EXPECT_LT(ColourDistance(keyboard, "A", ErrorRateColour(0.0)), 60);
                 test::SaveScreen(window, "analysis_many_errors");
                 QTest::keyClick(window, Qt::Key_Escape);
             }}});
    RunAnalysisWindow(state_);
    EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
    EXPECT_EQ(LowestFreePicture(), freeBefore) << "the window's pictures are let go";
    EXPECT_TRUE(AskedDialogs().empty());
}

// Every keystroke of the attempt right.
PupilFigures SpotlessAttempt() {
    KeystrokeLog log;
    int finger = kNoFinger;
    for (const QChar c : QStringLiteral("la casa del lago tiene una puerta roja")) {
        log.push_back({QString(c), QString(c),
                       NextKeyHint(KeyboardTablesFor(kSpanishLayout), QString(c), finger).finger,
                       200});
    }
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
}

TEST_F(AnalysisWindowTest, APupilWithoutErrorsSeesSoAndHasNothingToPractise) {
    ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, SpotlessAttempt()));
    InTurn({{kTitle, [](QWidget* window) {
                 EXPECT_TRUE(QTest::qWaitForWindowActive(window));
                 // The keys she typed wear the colour of no errors.
                 const QImage keyboard =
                     qobject_cast<QLabel*>(FindControl(window, kAnalysisKeyboardId))
                         ->pixmap()
                         .toImage();
                 EXPECT_LT(ColourDistance(test::Logical(keyboard), "L", ErrorRateColour(0.0)), 60);
                 test::SaveScreen(window, "analysis_no_errors");
                 ClickControl(window, kAnalysisPracticeId);
                 ASSERT_EQ(AskedDialogs().size(), 1u);
                 EXPECT_TRUE(AskedDialogs()[0].text.startsWith(
                     QStringLiteral("Todavía no hay teclas con errores")));
                 EXPECT_TRUE(window->isVisible());
                 ClickControl(window, kAnalysisCloseId);
             }}});
    RunAnalysisWindow(state_);
}

TEST_F(AnalysisWindowTest, TheDrillIsTypedWithAVerdictCountsForTheFiguresAndSavesNoProgress) {
    ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, ClumsyAttempt()));
    const PupilFigures before = LoadPupilFigures(store_, CurrentUser.id);
    const Drill drill = BuildDifficultKeysDrill(CourseData(), 6, WeakestKeys(before, 5));
    ASSERT_FALSE(drill.text.isEmpty());
    const QByteArray users = ReadBytes(kUsersFileName);
    const UserRecord pupil = CurrentUser;

    // Typed for real: every keystroke right, fast enough for level 6.
    InTurn({{kTitle, [](QWidget* window) { ClickControl(window, kAnalysisPracticeId); }},
            {QStringLiteral("EVA SANZ  |  NIVEL: 6"),
             [&](QWidget* exercise) {
                 EXPECT_EQ(test::VisibleWindow(kTitle), nullptr) << "the drill takes its place";
                 TypeAll(exercise, drill.text, 10);
             }},
            {kResultWindowTitle,
             [](QWidget*) {
                 EXPECT_EQ(ResultMessage(), QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA. ") +
                                                LineBreak + LineBreak);
                 AnswerResult(kResultContinueButton);
             }},
            {kTitle, [](QWidget* window) { window->close(); }}});
    RunAnalysisWindow(state_);

    EXPECT_EQ(CurrentUser, pupil) << "the drill moves nobody in the course";
    EXPECT_EQ(ReadBytes(kUsersFileName), users);
    const PupilFigures after = LoadPupilFigures(store_, CurrentUser.id);
    ASSERT_EQ(after.attempts.size(), before.attempts.size() + 1);
    EXPECT_EQ(after.attempts.back().figures.keystrokes, drill.text.size());
    EXPECT_EQ(after.attempts.back().figures.errors, 0);
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST(AnalysisMenuControl, LetterETooltipAndAPlaceOfItsOwn) {
    EXPECT_EQ(MenuShortcutControl(QStringLiteral("E")), kMenuAnalysisId);
    EXPECT_EQ(MenuShortcutControl(QStringLiteral("e")), kMenuAnalysisId);
    if (!PictureExists(PictureNumber(PictureName::AnalysisButton))) RegisterAllPictures();
    ProgramState state = InitialProgramState();
    auto menu = std::make_unique<MainMenu>(state);
    QWidget* button = FindControl(menu.get(), kMenuAnalysisId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(500, 20, 45, 45));
    EXPECT_EQ(button->toolTip(), kTitle);
    for (QWidget* child : menu->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == button) continue;
        EXPECT_FALSE(child->geometry().intersects(button->geometry())) << ControlId(child);
    }
    EXPECT_EQ(LogicalSize(Picture(PictureName::AnalysisButton)), QSize(40, 40));
    test::SaveImage(Picture(PictureName::AnalysisButton), "analysis_button");
}

}  // namespace
}  // namespace tz
