#include <QApplication>
#include <QFile>

#include "app/main_menu.h"
#include "app/startup.h"
#include "app/status_panel.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/windows.h"
#include "program_test.h"

namespace tz {
namespace {

TEST(MainMenuRules, ShortcutLettersInEitherCaseAndNothingElse) {
    const struct {
        const char* letter;
        int control;
    } shortcuts[] = {
        {"r", kMenuStartId},   {"R", kMenuStartId},   {"g", kMenuUsersId}, {"G", kMenuUsersId},
        {"v", kMenuLessonsId}, {"V", kMenuLessonsId}, {"i", kMenuAboutId}, {"I", kMenuAboutId},
    };
    for (const auto& shortcut : shortcuts) {
        EXPECT_EQ(MenuShortcutControl(shortcut.letter), shortcut.control) << shortcut.letter;
    }
    for (const char* other : {"x", "X", "s", "1", " ", "\x1b", "\r", "", "rr"}) {
        EXPECT_EQ(MenuShortcutControl(QString::fromUtf8(other)), 0) << other;
    }
    // Accented letters upper-case to accented capitals, which are no shortcuts.
    EXPECT_EQ(MenuShortcutControl(QString::fromUtf8("í")), 0);
}

TEST(MainMenuRules, PanelNameKeepsThirtyOneCharacters) {
    EXPECT_EQ(StatusPanelName(""), "");
    EXPECT_EQ(StatusPanelName(QString::fromUtf8("ANA PÉREZ")), QString::fromUtf8("ANA PÉREZ"));
    const QString thirtyOne(31, QChar('N'));
    EXPECT_EQ(StatusPanelName(thirtyOne), thirtyOne);
    EXPECT_EQ(StatusPanelName(thirtyOne + "O"), thirtyOne);
    EXPECT_EQ(StatusPanelName(QString(80, QChar('Z'))).size(), 31);
    // A character outside the basic plane is two UTF-16 units: never left half drawn.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString cut = StatusPanelName(QString(30, QChar('A')) + smile + "B");
    EXPECT_EQ(cut, QString(30, QChar('A')));
}

class MainMenuProgramTest : public test::ProgramStateTest {
  protected:
    void SetUp() override {
        test::ProgramStateTest::SetUp();
        SetClock(&clock_);
    }
    void TearDown() override {
        SetClock(nullptr);
        test::ProgramStateTest::TearDown();
    }
    ManualClock clock_;
    QPointer<QWidget>& MainMenuWindow = state_.mainMenu;
};

TEST_F(MainMenuProgramTest, HelpIsTheHtmlBesideTheProgramAndShipsWithIt) {
#ifndef _WIN32
    EXPECT_EQ(HelpDocumentPath(), Path("tipzhelp.html"));
    // Even a help file of the other kind does not change that here: no viewer for it.
    WriteBytes("tipzhelp.chm", "ITSF");
    EXPECT_EQ(HelpDocumentPath(), Path("tipzhelp.html"));
#endif
    QFile file(test::SourcePath("assets/help/tipzhelp.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString html = QString::fromUtf8(bytes);
    EXPECT_TRUE(html.contains("<html lang=\"es\">"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
    // The topics pupils and teachers look for.
    for (const char* topic : {"36 niveles",
                              "BLOQUE",
                              "MUY FACIL",
                              "FACIL",
                              "NORMAL",
                              "DIFICIL",
                              "5 errores",
                              "p.p.m.",
                              "usuarios.dat",
                              "TXTPERSONALIZADOS",
                              "Exportar Usuarios",
                              "Importar Usuarios",
                              ".tpz",
                              "Textos personalizados",
                              "visor de lecciones",
                              "no se cerró correctamente",
                              "Análisis de errores",
                              "Practicar mis teclas difíciles",
                              "Informe de la clase",
                              "--informe",
                              "estadisticas",
                              "carpeta de datos",
                              "tipenzo10.ini",
                              "distribucion=latinoamericano"}) {
        EXPECT_TRUE(html.contains(QString::fromUtf8(topic))) << topic;
    }
}

TEST_F(MainMenuProgramTest, QuitEndsTheWholeProgramWithCodeZeroAndNoLockCopy) {
    WriteBytes("usuarios.dat",
               "Datos de Usuarios v2.6\r\nANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
               "ID-20240101101010\r\n");
    AppendInputStep([&] {
        ASSERT_TRUE(MainMenuWindow);
        EXPECT_TRUE(MainMenuWindow->isVisible());
        EXPECT_EQ(MainMenuWindow->windowTitle(), "TIPENZO 10 v2.9c");
        // This run's lock copy exists while the menu is open.
        EXPECT_TRUE(Exists("~usuarios.dat"));
        QWidget* quit = FindControl(MainMenuWindow, kMenuQuitId);
        ASSERT_NE(quit, nullptr);
        QMetaObject::invokeMethod(quit, "click");
    });
    char name[] = "tipenzo10";
    char* argv[] = {name, nullptr};
    int argc = 1;
    EXPECT_EQ(RunProgram(argc, argv, state_), 0);
    EXPECT_FALSE(MainMenuWindow);
    EXPECT_FALSE(Exists("~usuarios.dat"));
    EXPECT_TRUE(Exists("usuarios.dat"));
    for (QWidget* widget : QApplication::topLevelWidgets()) EXPECT_FALSE(widget->isVisible());
}

TEST_F(MainMenuProgramTest, CloseRequestEndsTheWholeProgramTheSameWay) {
    AppendInputStep([this] { MainMenuWindow->close(); });
    char name[] = "tipenzo10";
    char* argv[] = {name, nullptr};
    int argc = 1;
    EXPECT_EQ(RunProgram(argc, argv, state_), 0);
    EXPECT_FALSE(MainMenuWindow);
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

}  // namespace
}  // namespace tz
