#include "exercise/result_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <functional>

#include "exercise/exercise_pictures.h"
#include "platform/pictures.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "screens.h"
#include "support.h"

namespace tz {
namespace {

QString Joined(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines) parts.append(QString::fromUtf8(line));
    return parts.join(LineBreak);
}

// Verdicts as the exercise run words them.
const QString kPass = Joined({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", " ¡¡¡ A POR LA PROXIMA !!!",
                              "", "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."});
const QString kFail =
    Joined({"Lo siento, pero 6 son muchos errores.", "", "Tendrás que repetir este ejercicio.", "",
            "Procura ir con más cuidado, no has logrado la velocidad requerida",
            "ni has escrito correctamente."});
const QString kLevel =
    Joined({"ENHORABUENA!!!", "", "HAS SUBIDO DE NIVEL,", "", "ENTRAMOS EN EL NIVEL 12"});

class ResultWindowTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        RegisterPicture(36, MakeExercisePicture(test::Pic(36)));
    }
    void TearDown() override {
        FreePicture(36);
        test::ProgramFolderTest::TearDown();
    }

    // Shows the window and answers it with `act` once it waits.
    ResultAnswer ShowAndThen(const std::function<void(QWidget*)>& act,
                             const QString& message = kPass, QWidget* exercise = nullptr) {
        test::WhenShown(kResultWindowTitle, [act](QWidget* window) {
            EXPECT_EQ(QApplication::activeModalWidget(), window);
            act(window);
        });
        const ResultAnswer answer = ShowResultWindow(message, exercise);
        EXPECT_EQ(test::VisibleWindow(kResultWindowTitle), nullptr);
        return answer;
    }
};

// Only the menu button answers "Menú Principal"; the continue button, Enter (on either button),
// Escape and a close request all go on. Other keys are no answer.
TEST_F(ResultWindowTest, OnlyTheMenuButtonLeavesTheExercises) {
    const auto click = [](int id) {
        return
            [id](QWidget* window) { QTest::mouseClick(FindControl(window, id), Qt::LeftButton); };
    };
    const auto key = [](Qt::Key key, bool onMenuButton) {
        return [=](QWidget* window) {
            QTest::keyClicks(window->focusWidget(), "xn0");
            if (onMenuButton) FindControl(window, kResultMenuButton)->setFocus();
            QTest::keyClick(window->focusWidget(), key);
        };
    };
    const struct {
        std::function<void(QWidget*)> act;
        ResultAnswer answer;
    } cases[] = {
        {click(kResultMenuButton), ResultAnswer::MainMenu},
        {click(kResultContinueButton), ResultAnswer::Continue},
        {key(Qt::Key_Return, false), ResultAnswer::Continue},
        {key(Qt::Key_Enter, true), ResultAnswer::Continue},
        {key(Qt::Key_Escape, true), ResultAnswer::Continue},
        {[](QWidget* window) { window->close(); }, ResultAnswer::Continue},
    };
    for (const auto& c : cases) EXPECT_EQ(ShowAndThen(c.act), c.answer);
}

TEST_F(ResultWindowTest, TheMessageStartsOnItsSecondLineWithFocusOnContinue) {
    int firstInkRow = -1;
    int lineHeight = 0;
    ShowAndThen(
        [&](QWidget* window) {
            EXPECT_EQ(window->parentWidget(), nullptr)
                << "without an exercise window it stands alone";
            // Brought to the front, the focus on "Continuar".
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            EXPECT_EQ(QApplication::focusWidget(), FindControl(window, kResultContinueButton));
            const QStringList unnamed = test::ControlsWithoutNames(window);
            EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
            auto* message = qobject_cast<QLabel*>(FindControl(window, kResultMessageControl));
            EXPECT_EQ(message->text(), LineBreak + kLevel);
            lineHeight = message->fontMetrics().lineSpacing();
            // The first row of the label that carries text ink (light cyan on the blue).
            const QImage image = test::Shot(message);
            for (int y = 3; y < image.height() - 3 && firstInkRow < 0; ++y) {
                for (int x = 3; x < image.width() - 3; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 150 && c.green() > 220) {
                        firstInkRow = y;
                        break;
                    }
                }
            }
            test::SaveScreen(window, "result_level");
            window->close();
        },
        kLevel);
    EXPECT_GE(firstInkRow, lineHeight);
    EXPECT_LT(firstInkRow, 2 * lineHeight + 4);
}

TEST_F(ResultWindowTest, HidesAndBelongsToTheExerciseWindow) {
    QWidget exercise;
    exercise.setWindowTitle(QStringLiteral("VELT-TIPENZO"));
    exercise.show();
    ShowAndThen(
        [&exercise](QWidget* window) {
            EXPECT_FALSE(exercise.isVisible());
            EXPECT_EQ(window->parentWidget(), &exercise);
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            test::SaveScreen(window, "result_fail");
            window->close();
        },
        kFail, &exercise);
    // It stays hidden: the next attempt shows it again.
    EXPECT_FALSE(exercise.isVisible());
    EXPECT_TRUE(exercise.findChildren<ResultWindow*>().isEmpty());
}

}  // namespace
}  // namespace tz
