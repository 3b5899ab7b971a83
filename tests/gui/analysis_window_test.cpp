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
using test::ExerciseWindowWidget;
using test::PressKey;
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
        SetDialogScripting(true);
        menu_ = std::make_unique<QWidget>();
        menu_->setWindowTitle("stand-in main menu");
        menu_->resize(320, 200);
        menu_->show();
        state_.mainMenu = menu_.get();
        WriteUsers({kEva});
        CurrentUser.id = QStringLiteral("ID-20240101000007");
        LoadCurrentUser();
    }
    void TearDown() override {
        menu_.reset();
        ExerciseScreenTest::TearDown();
    }

    QImage ShownImage(QWidget* window, int control) {
        auto* label = qobject_cast<QLabel*>(FindControl(window, control));
        if (!label) return QImage();
        return test::Logical(label->pixmap().toImage());
    }

    // Opens the window and runs the steps each time it waits for the pupil.
    void OpenAndThen(std::vector<std::function<void(QWidget*)>> steps) {
        for (auto& step : steps) {
            AppendInputStep([step] {
                QWidget* window = test::VisibleWindow(kTitle);
                ASSERT_NE(window, nullptr);
                step(window);
            });
        }
        RunAnalysisWindow(state_);
        EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
        EXPECT_TRUE(menu_->isEnabled());
    }

    std::unique_ptr<QWidget> menu_;
};

TEST_F(AnalysisWindowTest, APupilWithManyErrorsSeesHerKeysFingersAndProgress) {
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, ClumsyAttempt(i)));
    const int freeBefore = LowestFreePicture();
    OpenAndThen({[this](QWidget* window) {
        EXPECT_EQ(window->size(), QSize(800, 550));
        EXPECT_FALSE(menu_->isEnabled());
        auto* title = qobject_cast<QLabel*>(FindControl(window, kAnalysisTitleId));
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), QStringLiteral("Análisis de errores de EVA SANZ"));
        EXPECT_EQ(ShownImage(window, kAnalysisKeyboardId).size(), QSize(599, 202));
        EXPECT_EQ(ShownImage(window, kAnalysisFingersId).size(), QSize(300, 190));
        EXPECT_EQ(ShownImage(window, kAnalysisWeakKeysId).size(), QSize(460, 190));
        EXPECT_EQ(ShownImage(window, kAnalysisProgressId).size(), QSize(560, 85));
        // No control lies over another.
        QList<QRect> places;
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            for (const QRect& other : places) {
                EXPECT_FALSE(child->geometry().intersects(other))
                    << ControlId(child) << " overlaps another control";
            }
            places.append(child->geometry());
            EXPECT_TRUE(window->rect().contains(child->geometry())) << ControlId(child);
        }
        // The T key wears the colour of the worst band: 7 errors in 20.
        const QImage keyboard = ShownImage(window, kAnalysisKeyboardId);
        for (const KeyCap& cap : KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout))) {
            if (cap.base != QStringLiteral("T") && cap.base != QStringLiteral("A")) continue;
            const QColor expected =
                cap.base == QStringLiteral("T") ? ErrorRateColour(0.35) : ErrorRateColour(0.0);
            // Near the key's lower right corner, clear of its legend.
            const QColor seen = keyboard.pixelColor(cap.rect.right() - 6, cap.rect.bottom() - 8);
            EXPECT_LT(std::abs(seen.red() - expected.red()) +
                          std::abs(seen.green() - expected.green()) +
                          std::abs(seen.blue() - expected.blue()),
                      60)
                << cap.base.toStdString() << " key shows " << seen.name().toStdString();
        }
        test::SaveScreen(window, "analysis_many_errors");
        PressKey(window, QChar(27));
    }});
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
    OpenAndThen({[this](QWidget* window) {
                     // The keys she typed wear the colour of no errors.
                     const QImage keyboard = ShownImage(window, kAnalysisKeyboardId);
                     for (const KeyCap& cap : KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout))) {
                         if (cap.base != QStringLiteral("L")) continue;
                         const QColor seen =
                             keyboard.pixelColor(cap.rect.right() - 6, cap.rect.bottom() - 8);
                         EXPECT_GT(seen.green(), seen.red() + 30) << seen.name().toStdString();
                     }
                     test::SaveScreen(window, "analysis_no_errors");
                     ClickControl(window, kAnalysisPracticeId);
                 },
                 [](QWidget* window) {
                     ASSERT_EQ(AskedDialogs().size(), 1u);
                     EXPECT_EQ(AskedDialogs()[0].title, kTitle);
                     EXPECT_TRUE(AskedDialogs()[0].text.startsWith(
                         QStringLiteral("Todavía no hay teclas con errores")));
                     ClickControl(window, kAnalysisCloseId);
                 }});
}

TEST_F(AnalysisWindowTest, TheDrillIsTypedWithAVerdictCountsForTheFiguresAndSavesNoProgress) {
    ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, ClumsyAttempt()));
    const PupilFigures before = LoadPupilFigures(store_, CurrentUser.id);
    const Drill drill = BuildDifficultKeysDrill(CourseData(), 6, WeakestKeys(before, 5));
    ASSERT_FALSE(drill.text.isEmpty());
    const QByteArray users = ReadBytes(kUsersFileName);
    const UserRecord pupil = CurrentUser;

    // Typed for real: every keystroke right, fast enough for level 6.
    AppendInputStep([] {
        QWidget* window = test::VisibleWindow(kTitle);
        ASSERT_NE(window, nullptr);
        ClickControl(window, kAnalysisPracticeId);
    });
    AppendInputStep([] {
        QWidget* exercise = ExerciseWindowWidget();
        ASSERT_NE(exercise, nullptr);
        EXPECT_TRUE(exercise->isVisible());
        EXPECT_EQ(test::VisibleWindow(kTitle), nullptr) << "the exercise takes the window's place";
    });
    TypeSteps(drill.text, 10);
    AppendInputStep([] {
        EXPECT_EQ(ResultMessage(),
                  QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA. ") + LineBreak + LineBreak);
        AnswerResult(kResultContinueButton);
    });
    AppendInputStep([] {
        QWidget* window = test::VisibleWindow(kTitle);
        ASSERT_NE(window, nullptr);
        PressKey(window, QChar(27));
    });
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
