#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTreeWidget>
#include <map>
#include <set>

#include "app/about_box.h"
#include "app/main_menu.h"
#include "app/picture_registry.h"
#include "app/startup.h"
#include "app/status_panel.h"
#include "app/user_views.h"
#include "content/results_chart.h"
#include "menu_screens.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "program_test.h"
#include "screens.h"
#include "update/update_window.h"
#include "update/version_check.h"
#include "users/user_record.h"
#include "users/users_window.h"

namespace tz {
namespace {

using test::VisibleTopLevels;
using test::VisibleWindow;

UserRecord PupilWithFullHistory() {
    UserRecord user;
    user.id = "ID-20240305083000";
    user.name = QString::fromUtf8("ANA PÉREZ");
    user.level = 12;
    user.block = 3;
    user.exercise = 2;
    user.history = {118, 126, 131, 124, 140, 152, 147, 163, 171, 180};
    user.averageSpeed = 145;
    user.mode = "NORMAL";
    return user;
}

class MainMenuTest : public test::ProgramStateTest {
  protected:
    void SetUp() override {
        test::ProgramStateTest::SetUp();
        SetClock(&clock_);
        FreeAllPictures();
        RegisterAllPictures();
        ExerciseFont = MakeFont("Courier New", FitExerciseFontSize(), true);
    }
    void TearDown() override {
        if (MainMenuWindow) CloseMainMenu(state_);
        SetClock(nullptr);
        test::ProgramStateTest::TearDown();
    }

    // Opens the menu as start-up does and runs its loop over the scripted steps; the last
    // step must end the loop.
    void RunMenu() {
        OpenMainMenu(state_);
        RunMainLoop(state_, [this](int code) { endedWith_ = code; });
    }

    QImage ShownPanel() { return test::ShownPicture(MainMenuWindow, kMenuStatusPanelId); }
    void Click(int id) {
        QWidget* control = FindControl(MainMenuWindow, id);
        ASSERT_NE(control, nullptr) << "control " << id;
        QTest::mouseClick(control, Qt::LeftButton);
    }
    void Type(char letter) { QTest::keyClick(MainMenuWindow.data(), letter); }

    ManualClock clock_;
    QPointer<QWidget>& MainMenuWindow = state_.mainMenu;
    QFont& ExerciseFont = state_.ExerciseFont;
    int& StatusCanvas = state_.StatusCanvas;
    int& HeaderCanvas = state_.HeaderCanvas;
    int endedWith_ = -1;  // the exit code the update window ended the program with
};

TEST_F(MainMenuTest, BuildsEveryControlInPlaceWithItsTooltip) {
    OpenMainMenu(state_);
    QWidget* menu = MainMenuWindow;
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->size(), QSize(800, 550));
    EXPECT_TRUE(menu->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(menu->windowTitle(), "TIPENZO 10 v2.9c");

    const struct {
        int id;
        QRect geometry;
        const char* tooltip;
    } buttons[] = {
        {24, {20, 250, 305, 45}, "Seleccione o modifique los usuarios."},
        {25, {20, 140, 305, 45}, "Comience los ejercicios."},
        {26, {20, 295, 305, 45}, "Vea todas las lecciones."},
        {30, {677, 485, 102, 45}, "Facebook ¡Me Gusta!"},
        {31, {550, 20, 45, 45}, "Ayuda"},
        {32, {600, 20, 45, 45}, "Actualizar"},
        {33, {650, 20, 45, 45}, "Sobre el programa"},
        {34, {725, 20, 26, 26}, ""},
        {35, {755, 20, 26, 26}, ""},
        {42, {20, 395, 305, 45}, "Textos personalizados"},
    };
    for (const auto& expected : buttons) {
        auto* button = qobject_cast<QAbstractButton*>(FindControl(menu, expected.id));
        ASSERT_NE(button, nullptr) << expected.id;
        EXPECT_EQ(button->geometry(), expected.geometry) << expected.id;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(expected.tooltip)) << expected.id;
    }
    const int pictures[][2] = {{24, 14}, {25, 15}, {26, 16}, {30, 18}, {31, 19},
                               {32, 20}, {33, 21}, {34, 22}, {35, 23}, {42, 27}};
    for (const auto& pair : pictures) {
        auto* button = qobject_cast<QAbstractButton*>(FindControl(menu, pair[0]));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->iconSize(), LogicalSize(Picture(pair[1]))) << pair[0];
    }

    for (const auto& frame :
         {std::pair{28, QRect(330, 133, 450, 97)}, std::pair{38, QRect(330, 243, 450, 197)}}) {
        auto* box = qobject_cast<QGroupBox*>(FindControl(menu, frame.first));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->geometry(), frame.second);
        EXPECT_TRUE(box->title().isEmpty());
    }
    auto* logo = qobject_cast<QLabel*>(FindControl(menu, 29));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(20, 20, 306, 84));
    EXPECT_EQ(logo->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              Picture(17).convertToFormat(QImage::Format_RGB32));
    auto* banner = qobject_cast<QLabel*>(FindControl(menu, 37));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->geometry(), QRect(19, 483, 245, 50));
    EXPECT_EQ(banner->pixmap().deviceIndependentSize().toSize(), QSize(245, 50));
    auto* chart = qobject_cast<QLabel*>(FindControl(menu, kMenuChartId));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->geometry(), QRect(335, 255, 440, 180));
    // Start-up draws the empty chart of nobody.
    EXPECT_EQ(chart->pixmap().deviceIndependentSize().toSize(), QSize(440, 180));
    auto* panel = qobject_cast<QLabel*>(FindControl(menu, kMenuStatusPanelId));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(334, 143, 440, 80));
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
}

TEST_F(MainMenuTest, StartUpPanelReadsNoUserWhileNobodyIsSelected) {
    OpenMainMenu(state_);
    EXPECT_EQ(ShownPanel(), test::ExpectedPanel(ExerciseFont, "NO SELECCIONADO", 0, 0, 0));
    // The words are only on the panel: nobody is selected.
    EXPECT_TRUE(CurrentUser.name.isEmpty());
    EXPECT_EQ(CurrentUser.level, 0);
    EXPECT_EQ(CurrentUser.block, 0);
    // The work copies of pictures 25 and 11 were made and the panel shows the status copy.
    EXPECT_GT(StatusCanvas, 0);
    EXPECT_GT(HeaderCanvas, 0);
    EXPECT_NE(StatusCanvas, HeaderCanvas);
    EXPECT_EQ(Picture(HeaderCanvas).size(), Picture(11).size());
    EXPECT_EQ(ShownPanel(), Picture(StatusCanvas).convertToFormat(QImage::Format_RGB32));
    test::SaveScreen(MainMenuWindow, "main_menu_no_user");
}

TEST_F(MainMenuTest, PanelShowsThePupilAndOnlyThirtyOneCharactersOfALongName) {
    OpenMainMenu(state_);
    CurrentUser = PupilWithFullHistory();
    CurrentUser.level = -3;  // a damaged record still shows its number, sign and all
    ShowStatusPanel(state_);
    EXPECT_EQ(ShownPanel(),
              test::ExpectedPanel(ExerciseFont, QString::fromUtf8("ANA PÉREZ"), -3, 3, 145));

    // Redrawing does not pile up copies of picture 25.
    const int canvas = StatusCanvas;
    ShowStatusPanel(state_);
    EXPECT_EQ(StatusCanvas, canvas);

    const QString name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    ASSERT_EQ(name.size(), 32);
    CurrentUser.name = name;
    ShowStatusPanel(state_);
    EXPECT_EQ(ShownPanel(), test::ExpectedPanel(ExerciseFont, name.left(31), -3, 3, 145));
}

TEST_F(MainMenuTest, LetterRWithNobodySelectedOpensTheUsersWindowAndLeavingItChangesNothing) {
    WriteBytes("usuarios.dat", kUsersHeader.toUtf8() + "\r\n");
    AppendInputStep([this] {
        test::WhenShown("USUARIOS", [](QWidget* users) {
            EXPECT_EQ(QApplication::activeModalWidget(), users);
            auto* list = users->findChild<QTreeWidget*>();
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->topLevelItemCount(), 0);
            EXPECT_FALSE(FindControl(users, kUsersAcceptId)->isEnabled());
            EXPECT_FALSE(FindControl(users, kUsersDeleteId)->isEnabled());
            QTest::keyClick(users, Qt::Key_Escape);
        });
        Type('r');
    });
    AppendInputStep([this] {
        // Back in the menu, with no exercise run and the panel as it was.
        EXPECT_EQ(VisibleWindow("USUARIOS"), nullptr);
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_EQ(ShownPanel(), test::ExpectedPanel(ExerciseFont, "NO SELECCIONADO", 0, 0, 0));
        Click(kMenuQuitId);
    });
    RunMenu();
}

TEST_F(MainMenuTest, LetterEAsksForAPupilLikeStartThenShowsHerErrorAnalysis) {
    WriteBytes("usuarios.dat",
               kUsersHeader.toUtf8() + "\r\n" +
                   "LUIS GIL|3|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000002\r\n");
    AppendInputStep([this] {
        test::WhenShown("USUARIOS", [](QWidget* users) {
            EXPECT_EQ(QApplication::activeModalWidget(), users);
            auto* list = users->findChild<QTreeWidget*>();
            ASSERT_NE(list, nullptr);
            list->setCurrentItem(list->topLevelItem(0));
            QTest::keyClick(list, Qt::Key_Return);
        });
        test::WhenShown(QStringLiteral("Análisis de errores"), [this](QWidget* analysis) {
            EXPECT_EQ(VisibleWindow("USUARIOS"), nullptr);
            EXPECT_EQ(QApplication::activeModalWidget(), analysis);
            EXPECT_EQ(CurrentUser.name, QStringLiteral("LUIS GIL"));
            QTest::keyClick(analysis, Qt::Key_Escape);
        });
        Type('e');
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_EQ(ShownPanel(), test::ExpectedPanel(ExerciseFont, "LUIS GIL", 3, 1, 0));
        // Leaving the users window without a pupil opens no analysis.
        CurrentUser = UserRecord();
        test::WhenShown("USUARIOS", [](QWidget* users) { QTest::keyClick(users, Qt::Key_Escape); });
        Click(kMenuAnalysisId);
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_TRUE(AskedDialogs().empty());
        Click(kMenuQuitId);
    });
    RunMenu();
}

TEST_F(MainMenuTest, ChoosingAPupilShowsHerAndDeletingHerShowsNobodyAgain) {
    WriteBytes("usuarios.dat",
               kUsersHeader.toUtf8() + "\r\n" +
                   "LUIS GIL|3|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000002\r\n" +
                   QString::fromUtf8("ANA PÉREZ|12|3|2|145|118|126|131|124|140|152|147|163|171|"
                                     "180|NORMAL|ID-20240101000001\r\n")
                       .toUtf8());
    AppendInputStep([this] {
        test::WhenShown("USUARIOS", [](QWidget* users) {
            auto* list = users->findChild<QTreeWidget*>();
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->topLevelItemCount(), 2);
            list->setCurrentItem(list->topLevelItem(1));
            QTest::keyClick(list, Qt::Key_Return);
        });
        Type('g');
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleWindow("USUARIOS"), nullptr);
        EXPECT_EQ(CurrentUser.name, QString::fromUtf8("ANA PÉREZ"));
        EXPECT_EQ(MainMenuWindow->focusWidget(), FindControl(MainMenuWindow, kMenuUsersId));
        EXPECT_EQ(ShownPanel(),
                  test::ExpectedPanel(ExerciseFont, QString::fromUtf8("ANA PÉREZ"), 12, 3, 145));
        auto* chart = qobject_cast<QLabel*>(FindControl(MainMenuWindow, kMenuChartId));
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(chart->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  Picture(state_.chartPicture).convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(chart->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  DrawResultsChart(CurrentUser.history, 440, 180));
        EXPECT_EQ(ResultsChartPoints(CurrentUser.history).back().value, 180);
        test::SaveScreen(MainMenuWindow, "main_menu_full_history");
        // Her row is selected on opening; delete her, then leave.
        test::WhenShown("USUARIOS", [](QWidget* users) {
            QueueAnswer(Answer::Yes);
            QTest::mouseClick(FindControl(users, kUsersDeleteId), Qt::LeftButton);
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(AskedDialogs()[0].title, "Eliminar Usuario");
            QTest::mouseClick(FindControl(users, kUsersCancelId), Qt::LeftButton);
        });
        Click(kMenuUsersId);
    });
    AppendInputStep([this] {
        // The panel must not go on showing a pupil who is gone.
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_EQ(ShownPanel(), test::ExpectedPanel(ExerciseFont, "NO SELECCIONADO", 0, 0, 0));
        EXPECT_EQ(test::ShownPicture(MainMenuWindow, kMenuChartId),
                  DrawResultsChart(UserRecord().history, 440, 180));
        Click(kMenuQuitId);
    });
    RunMenu();
    EXPECT_FALSE(ReadBytes("usuarios.dat").contains("ANA"));
}

TEST_F(MainMenuTest, OtherLettersDoNothingAndQuitEndsTheLoop) {
    AppendInputStep([this] { Type('x'); });
    AppendInputStep([this] {
        Type('X');
        QTest::keyClick(MainMenuWindow.data(), Qt::Key_Escape);
        QTest::keyClick(MainMenuWindow.data(), Qt::Key_Return);
    });
    AppendInputStep([&] {
        // Still the menu alone, nothing opened, asked or changed.
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_TRUE(AskedDialogs().empty());
        EXPECT_TRUE(ShellRequests().isEmpty());
        EXPECT_EQ(CurrentUser, UserRecord());
        Click(kMenuQuitId);
    });
    RunMenu();
    EXPECT_TRUE(MainMenuWindow);  // the loop ends; closing the menu is the caller's business
}

TEST_F(MainMenuTest, CloseRequestEndsTheLoop) {
    AppendInputStep([this] { MainMenuWindow->close(); });
    RunMenu();
    ASSERT_TRUE(MainMenuWindow);
    CloseMainMenu(state_);
    EXPECT_FALSE(MainMenuWindow);
    EXPECT_EQ(VisibleTopLevels(), 0);
}

TEST_F(MainMenuTest, ShortcutLettersActAsTheirButtons) {
    // "i" opens the about box modal over the menu.
    AppendInputStep([this] {
        test::WhenShown("Acerca de...", [this](QWidget* about) {
            EXPECT_EQ(QApplication::activeModalWidget(), about);
            QTest::mouseClick(FindControl(about, kAboutCloseId), Qt::LeftButton);
        });
        Type('i');
    });
    // "R" with a pupil selected starts the course run at once.
    AppendInputStep([this] {
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_EQ(VisibleWindow("Acerca de..."), nullptr);
        EXPECT_EQ(MainMenuWindow->focusWidget(), FindControl(MainMenuWindow, kMenuAboutId));
        CurrentUser = PupilWithFullHistory();
        // The course run's window: Escape there leaves it.
        test::WhenShown(QString::fromUtf8("ANA PÉREZ  |  NIVEL: 12"),
                        [](QWidget* exercise) { QTest::keyClick(exercise, Qt::Key_Escape); });
        Type('R');
    });
    AppendInputStep([this] {
        EXPECT_EQ(MainMenuWindow->focusWidget(), FindControl(MainMenuWindow, kMenuStartId));
        // The run is followed by a fresh panel for the pupil.
        EXPECT_EQ(ShownPanel(),
                  test::ExpectedPanel(ExerciseFont, QString::fromUtf8("ANA PÉREZ"), 12, 3, 145));
        Type('v');
    });
    // "v" opens the lesson viewer; Escape leaves it.
    AppendInputStep([this] {
        QWidget* viewer = VisibleWindow("Visor de Lecciones");
        ASSERT_NE(viewer, nullptr);
        EXPECT_FALSE(MainMenuWindow->isEnabled());
        QTest::keyClick(viewer, Qt::Key_Escape);
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleWindow("Visor de Lecciones"), nullptr);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_EQ(MainMenuWindow->focusWidget(), FindControl(MainMenuWindow, kMenuLessonsId));
        // The custom texts button opens its window too; Escape leaves it.
        Click(kMenuCustomTextsId);
    });
    AppendInputStep([this] {
        QWidget* texts = VisibleWindow("TEXTOS LIBRES");
        ASSERT_NE(texts, nullptr);
        EXPECT_FALSE(MainMenuWindow->isEnabled());
        QTest::keyClick(texts, Qt::Key_Escape);
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleWindow("TEXTOS LIBRES"), nullptr);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        Click(kMenuQuitId);
    });
    RunMenu();
}

// Counts, per top-level window, how often it was shown and how often its native window was
// replaced.
class WindowWatch : public QObject {
  public:
    WindowWatch() { qApp->installEventFilter(this); }
    ~WindowWatch() override { qApp->removeEventFilter(this); }
    std::map<QString, int> shows;
    int nativeChanges = 0;  // of windows already shown

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow()) {
            if (event->type() == QEvent::Show) {
                ++shows[widget->windowTitle()];
                // A later window may be made at the address of one torn down.
                if (shown_.insert(widget).second) {
                    connect(widget, &QObject::destroyed, this,
                            [this, widget] { shown_.erase(widget); });
                }
            }
            // A window torn down loses its native window (the id becomes 0): that is no change.
            if (event->type() == QEvent::WinIdChange && shown_.count(widget) &&
                widget->internalWinId() != 0)
                ++nativeChanges;
        }
        return false;
    }

  private:
    std::set<QObject*> shown_;
};

// Every window the menu opens brings itself and then the menu to the front by setting and
// clearing always-on-top: each keeps its native window all the while.
TEST_F(MainMenuTest, WindowsKeepTheirNativeWindowWhenBroughtToTheFront) {
    // A pupil of the file, chosen, so that the error analysis opens at once.
    WriteBytes("usuarios.dat",
               (kUsersHeader + "\r\n" + FormatUserLine(PupilWithFullHistory()) + "\r\n").toUtf8());
    WindowWatch watch;
    WId menuId = 0;
    const auto opened = [](const QString& title) {
        QWidget* window = VisibleWindow(title);
        EXPECT_NE(window, nullptr) << title.toStdString();
        return window;
    };
    AppendInputStep([&] {
        menuId = MainMenuWindow->winId();
        CurrentUser = PupilWithFullHistory();
        test::WhenShown("USUARIOS", [](QWidget* users) {
            QTest::mouseClick(FindControl(users, kUsersCancelId), Qt::LeftButton);
        });
        Click(kMenuUsersId);
    });
    AppendInputStep([&] { Type('v'); });
    AppendInputStep([&] {
        if (QWidget* viewer = opened("Visor de Lecciones")) QTest::keyClick(viewer, Qt::Key_Escape);
    });
    AppendInputStep([&] { Click(kMenuCustomTextsId); });
    AppendInputStep([&] {
        if (QWidget* texts = opened("TEXTOS LIBRES")) QTest::keyClick(texts, Qt::Key_Escape);
    });
    AppendInputStep([&] {
        test::WhenShown(QString::fromUtf8("Análisis de errores"),
                        [](QWidget* analysis) { QTest::keyClick(analysis, Qt::Key_Escape); });
        Type('e');
    });
    AppendInputStep([&] {
        test::WhenShown("Acerca de...", [](QWidget* about) {
            QTest::mouseClick(FindControl(about, kAboutCloseId), Qt::LeftButton);
        });
        Type('i');
    });
    AppendInputStep([&] {
        qputenv(kVersionUrlVariable, "http://127.0.0.1:9/ultimaversion.dat");
        Click(kMenuUpdateId);
    });
    AppendInputStep([&] {
        qunsetenv(kVersionUrlVariable);
        if (QWidget* update = opened(QString::fromUtf8("Actualización Online")))
            QTest::mouseClick(FindControl(update, kUpdateQuitId), Qt::LeftButton);
    });
    AppendInputStep([&] {
        EXPECT_EQ(MainMenuWindow->winId(), menuId);
        EXPECT_TRUE(MainMenuWindow->isVisible());
        Click(kMenuQuitId);
    });
    RunMenu();
    EXPECT_EQ(watch.nativeChanges, 0);
    // Shown once each: none was hidden and shown again on the way.
    for (const char* title : {"TIPENZO 10 v2.9c", "USUARIOS", "Visor de Lecciones", "TEXTOS LIBRES",
                              "Análisis de errores", "Acerca de...", "Actualización Online"}) {
        EXPECT_EQ(watch.shows[QString::fromUtf8(title)], 1) << title;
    }
}

TEST_F(MainMenuTest, TopRightButtonsAndSocialPageDoWhatTheySay) {
    // Without the document nothing is opened and the menu goes on.
    AppendInputStep([this] { Click(kMenuHelpId); });
    AppendInputStep([&] {
        EXPECT_TRUE(ShellRequests().isEmpty());
        WriteBytes("tipzhelp.html", "<html><body>Ayuda</body></html>");
        Click(kMenuHelpId);
    });
    AppendInputStep([&] {
        EXPECT_EQ(ShellRequests(), QStringList{Path("tipzhelp.html")});
        ClearShellRequests();
        Click(kMenuSocialId);
    });
    AppendInputStep([this] {
        EXPECT_EQ(ShellRequests(), QStringList{kSocialPage});
        Click(kMenuMinimiseId);
    });
    AppendInputStep([this] {
        EXPECT_TRUE(MainMenuWindow->isMinimized());
        MainMenuWindow->showNormal();
        // A server that refuses at once: the update window shows and waits for "Salir".
        qputenv(kVersionUrlVariable, "http://127.0.0.1:9/ultimaversion.dat");
        Click(kMenuUpdateId);
    });
    AppendInputStep([this] {
        qunsetenv(kVersionUrlVariable);
        QWidget* update = VisibleWindow(QString::fromUtf8("Actualización Online"));
        ASSERT_NE(update, nullptr);
        EXPECT_FALSE(MainMenuWindow->isEnabled());
        QTest::mouseClick(FindControl(update, kUpdateQuitId), Qt::LeftButton);
    });
    AppendInputStep([this] {
        EXPECT_EQ(VisibleWindow(QString::fromUtf8("Actualización Online")), nullptr);
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        Click(kMenuQuitId);
    });
    RunMenu();
}

}  // namespace
}  // namespace tz
