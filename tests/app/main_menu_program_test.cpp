#include <QApplication>
#include <QFile>

#include "app/main_menu.h"
#include "app/startup.h"
#include "app/status_panel.h"
#include "local_server.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "program_test.h"
#include "screens.h"
#include "update/update_window.h"
#include "update/version_check.h"

namespace tz {
namespace {

TEST(MainMenuRules, ShortcutLettersInEitherCaseAndNothingElse) {
    const struct {
        const char* letter;
        int control;
    } shortcuts[] = {
        {"r", kMenuStartId},    {"R", kMenuStartId},    {"g", kMenuUsersId}, {"G", kMenuUsersId},
        {"v", kMenuLessonsId},  {"V", kMenuLessonsId},  {"i", kMenuAboutId}, {"I", kMenuAboutId},
        {"e", kMenuAnalysisId}, {"E", kMenuAnalysisId},
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
    int RunWholeProgram() {
        char name[] = "tipenzo10";
        char* argv[] = {name, nullptr};
        return RunProgram(1, argv, state_);
    }
    // The whole program, whose menu asks for the update window and takes the download.
    void DownloadFromTheMenu() {
        test::WhenShown(MainMenuTitle(), [](QWidget* menu) {
            test::WhenShown(QString::fromUtf8("Actualización Online"), [](QWidget* update) {
                QWidget* download = FindControl(update, kUpdateDownloadId);
                const bool offered = QTest::qWaitFor([download] { return download->isVisible(); });
                test::ClickControl(update, offered ? kUpdateDownloadId : kUpdateQuitId);
            });
            test::ClickControl(menu, kMenuUpdateId);
            // Still here: the download was not offered; the program ends, not dying as it should.
            menu->close();
        });
        RunWholeProgram();
    }
    ManualClock clock_;
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

// The splash, then after its pause the menu in the application's event loop; the quit button
// or a close request ends the program with code 0 and no lock copy.
TEST_F(MainMenuProgramTest, TheMenuFollowsTheSplashAndEitherWayOutEndsInOrder) {
    const QByteArray users =
        "Datos de Usuarios v2.6\r\nANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
        "ID-20240101101010\r\n";
    const std::function<void(QWidget*)> waysOut[] = {
        [](QWidget* menu) { test::ClickControl(menu, kMenuQuitId); },
        [](QWidget* menu) { menu->close(); },
    };
    for (const auto& leave : waysOut) {
        WriteBytes("usuarios.dat", users);
        clock_.milliseconds = 0;
        test::WhenShown("Tipenzo 10", [this](QWidget* splash) {
            EXPECT_EQ(splash->size(), QSize(249, 165));
            EXPECT_LT(clock_.milliseconds, 2500);
        });
        test::WhenShown(MainMenuTitle(), [this, &leave](QWidget* menu) {
            EXPECT_EQ(test::VisibleTopLevels(), 1) << "the splash is gone";
            EXPECT_GE(clock_.milliseconds, 2500);
            // This run's lock copy exists while the menu is open.
            EXPECT_TRUE(Exists("~usuarios.dat"));
            leave(menu);
        });
        EXPECT_EQ(RunWholeProgram(), 0);
        EXPECT_FALSE(state_.mainMenu);
        EXPECT_FALSE(Exists("~usuarios.dat"));
        EXPECT_EQ(ReadBytes("usuarios.dat"), users);
        EXPECT_EQ(test::VisibleTopLevels(), 0);
    }
}

// The update window's download button ends the process at once, in a process of its own (the
// test runs again as a child, on this test's folder): exit code 0, the download page opened,
// the users file kept and the lock copy gone.
TEST_F(MainMenuProgramTest, TheDownloadButtonEndsTheProgramAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* const kFolderVariable = "TIPENZO_TEST_END_FOLDER";
    const QString inherited = qEnvironmentVariable(kFolderVariable);
    if (inherited.isEmpty()) {
        qputenv(kFolderVariable, dir_->path().toUtf8());
    } else {
        SetProgramFolder(inherited);
    }
    WriteBytes("usuarios.dat", kUsersHeader.toUtf8() + "\r\n");
    test::LocalServer server;
    ASSERT_TRUE(server.Start());
    server.Serve(test::Utf16Le("VERSION#20232339"));
    qputenv(kVersionUrlVariable, server.Url().toUtf8());
    EXPECT_EXIT(DownloadFromTheMenu(), ::testing::ExitedWithCode(0), "");
    qunsetenv(kFolderVariable);
    qunsetenv(kVersionUrlVariable);
    EXPECT_TRUE(Exists("usuarios.dat"));
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

}  // namespace
}  // namespace tz
