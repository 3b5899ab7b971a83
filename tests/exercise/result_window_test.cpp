#include "exercise/result_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "exercise/exercise_pictures.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/pictures.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "support.h"

namespace tz {
namespace {

// Verdicts as the exercise run words them.
QString PassMessage() {
    return QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA. ") + LineBreak + LineBreak +
           QStringLiteral(" ¡¡¡ A POR LA PROXIMA !!!") + LineBreak + LineBreak +
           QStringLiteral("BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS.");
}
QString FailMessage() {
    return QStringLiteral("Lo siento, pero 6 son muchos errores.") + LineBreak + LineBreak +
           QStringLiteral("Tendrás que repetir este ejercicio.") + LineBreak + LineBreak +
           QStringLiteral("Procura ir con más cuidado, no has logrado la velocidad requerida") +
           LineBreak + QStringLiteral("ni has escrito correctamente.");
}
QString FastFailMessage() {
    return QStringLiteral("Lo siento, pero 9 son muchos errores.") + LineBreak + LineBreak +
           QStringLiteral("Tendrás que repetir este ejercicio.") + LineBreak + LineBreak +
           QStringLiteral("Tus pulsaciones son bastante altas,") +
           QStringLiteral(" pero tendrás que reducir esa cantidad de errores.");
}
QString SlowMessage() {
    return QStringLiteral("Has escrito correctamente,") + LineBreak +
           QStringLiteral("pero un pelín LENTO...") + LineBreak + LineBreak +
           QStringLiteral("Ánimo y escribe más rápido, seguro que puedes hacerlo !!!");
}
QString LevelMessage() {
    return QStringLiteral("ENHORABUENA!!!") + LineBreak + LineBreak +
           QStringLiteral("HAS SUBIDO DE NIVEL,") + LineBreak + LineBreak +
           QStringLiteral("ENTRAMOS EN EL NIVEL 12");
}
QString CourseMessage() {
    return QStringLiteral("ENHORABUENA,") + LineBreak + LineBreak +
           QStringLiteral("HAS TERMINADO EL CURSO CON EXITO.") + LineBreak + LineBreak +
           QStringLiteral("PUEDES ESTAR SEGURO QUE SABES ESCRIBIR CON PROPIEDAD");
}

ScreenWindow* FindResultWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == kResultWindowTitle) {
            return qobject_cast<ScreenWindow*>(widget);
        }
    }
    return nullptr;
}

QWidget* Control(int id) {
    return FindControl(FindResultWindow(), id);
}

void Click(int id) {
    QWidget* button = Control(id);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

class ResultWindowTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        RegisterPicture(36, MakeExercisePicture(test::Pic(36)));
        SetClock(&clock_);
    }
    void TearDown() override {
        SetClock(nullptr);
        FreePicture(36);
        test::ProgramFolderTest::TearDown();
    }

    ManualClock clock_;
};

TEST_F(ResultWindowTest, ButtonsAnswerContinueOneAndMainMenuZero) {
    AppendInputStep([] { Click(kResultContinueButton); });
    EXPECT_EQ(ShowResultWindow(PassMessage()), ResultAnswer::Continue);
    EXPECT_EQ(FindResultWindow(), nullptr);  // gone before the answer comes back

    AppendInputStep([] { Click(kResultMenuButton); });
    EXPECT_EQ(ShowResultWindow(FailMessage()), ResultAnswer::MainMenu);
    EXPECT_EQ(FindResultWindow(), nullptr);
}

TEST_F(ResultWindowTest, EnterEscapeAndACloseRequestAnswerContinue) {
    // Keys go to the focused continue button, as the pupil's keyboard would.
    AppendInputStep([] {
        ASSERT_EQ(FindResultWindow()->focusWidget(), Control(kResultContinueButton));
        QTest::keyClick(Control(kResultContinueButton), Qt::Key_Return);
    });
    EXPECT_EQ(ShowResultWindow(SlowMessage()), ResultAnswer::Continue);

    AppendInputStep([] { QTest::keyClick(Control(kResultContinueButton), Qt::Key_Enter); });
    EXPECT_EQ(ShowResultWindow(SlowMessage()), ResultAnswer::Continue);

    AppendInputStep([] { QTest::keyClick(FindResultWindow(), Qt::Key_Escape); });
    EXPECT_EQ(ShowResultWindow(SlowMessage()), ResultAnswer::Continue);

    AppendInputStep([] { FindResultWindow()->close(); });
    EXPECT_EQ(ShowResultWindow(SlowMessage()), ResultAnswer::Continue);

    // Other keys are no answer: the window keeps waiting.
    AppendInputStep([] { QTest::keyClicks(Control(kResultContinueButton), "xn0"); });
    AppendInputStep([] { Click(kResultMenuButton); });
    EXPECT_EQ(ShowResultWindow(SlowMessage()), ResultAnswer::MainMenu);
}

TEST_F(ResultWindowTest, EventsOfOtherWindowsAreNoAnswer) {
    auto* other = CreateScreenWindow(QStringLiteral("otra"), 100, 100, true);
    AppendInputStep([other] {
        for (const EventType type : {EventType::Char, EventType::CloseRequest}) {
            Event stale;
            stale.type = type;
            stale.window = other;
            stale.code = 13;
            PostEvent(stale);
        }
        Event click;
        click.type = EventType::Click;
        click.window = other;
        click.id = kResultContinueButton;
        PostEvent(click);
    });
    AppendInputStep([] { Click(kResultMenuButton); });
    EXPECT_EQ(ShowResultWindow(PassMessage()), ResultAnswer::MainMenu);
    DestroyWindow(other);
}

TEST_F(ResultWindowTest, WithoutAnExerciseWindowItStandsAlone) {
    AppendInputStep([] {
        ScreenWindow* window = FindResultWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_EQ(qobject_cast<QPushButton*>(Control(kResultContinueButton))->text(), "Continuar");
        EXPECT_EQ(qobject_cast<QPushButton*>(Control(kResultMenuButton))->text(), "Menú Principal");
        Click(kResultContinueButton);
    });
    EXPECT_EQ(ShowResultWindow(PassMessage()), ResultAnswer::Continue);
}

TEST_F(ResultWindowTest, TheMessageStartsOnItsSecondLine) {
    int firstInkRow = -1;
    int lineHeight = 0;
    AppendInputStep([&] {
        auto* message = qobject_cast<QLabel*>(Control(kResultMessageControl));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), LineBreak + LevelMessage());
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
        Click(kResultContinueButton);
    });
    EXPECT_EQ(ShowResultWindow(LevelMessage()), ResultAnswer::Continue);
    EXPECT_GE(firstInkRow, lineHeight);
    EXPECT_LT(firstInkRow, 2 * lineHeight + 4);
}

TEST_F(ResultWindowTest, HidesAndBelongsToTheExerciseWindow) {
    ScreenWindow* exercise = CreateScreenWindow(QStringLiteral("VELT-TIPENZO"), 800, 550, false);
    exercise->show();
    AppendInputStep([exercise] {
        EXPECT_FALSE(exercise->isVisible());
        ASSERT_NE(FindResultWindow(), nullptr);
        EXPECT_EQ(FindResultWindow()->parentWidget(), exercise);
        Click(kResultMenuButton);
    });
    EXPECT_EQ(ShowResultWindow(PassMessage(), exercise), ResultAnswer::MainMenu);
    // It stays hidden: the next attempt shows it again.
    EXPECT_FALSE(exercise->isVisible());
    EXPECT_TRUE(exercise->findChildren<ScreenWindow*>().isEmpty());
    DestroyWindow(exercise);
}

TEST_F(ResultWindowTest, SavesScreens) {
    const struct {
        QString name;
        QString message;
    } screens[] = {
        {QStringLiteral("result_pass"), PassMessage()},
        {QStringLiteral("result_fail"), FailMessage()},
        {QStringLiteral("result_fail_fast"), FastFailMessage()},
        {QStringLiteral("result_slow"), SlowMessage()},
        {QStringLiteral("result_level"), LevelMessage()},
        {QStringLiteral("result_course"), CourseMessage()},
    };
    for (const auto& screen : screens) {
        const QString name = screen.name;
        AppendInputStep([name] {
            test::SaveScreen(FindResultWindow(), name);
            Click(kResultContinueButton);
        });
        EXPECT_EQ(ShowResultWindow(screen.message), ResultAnswer::Continue);
    }
}

}  // namespace
}  // namespace tz
