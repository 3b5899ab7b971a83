// The main menu as a pupil meets it: its controls, the pupil's panel and chart, its letters and
// buttons, and the windows it opens modal over itself.

#include <QSignalSpy>
#include <QTreeWidget>
#include <map>
#include <set>

#include "app/about_box.h"
#include "app/main_menu.h"
#include "app/picture_registry.h"
#include "app/startup.h"
#include "content/results_chart.h"
#include "local_server.h"
#include "menu_screens.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "program_test.h"
#include "screens.h"
#include "update/update_window.h"
#include "update/version_check.h"
#include "users/users_window.h"

namespace tz {
namespace {

using test::VisibleWindow;

UserRecord PupilWithFullHistory() {
    UserRecord user;
    user.id = "ID-20240101000001";
    user.name = QString::fromUtf8("ANA PÉREZ");
    user.level = 12;
    user.block = 3;
    user.exercise = 2;
    user.history = {118, 126, 131, 124, 140, 152, 147, 163, 171, 180};
    user.averageSpeed = 145;
    user.mode = "NORMAL";
    return user;
}

const QByteArray kLuisLine =
    "LUIS GIL|3|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000002\r\n";

// Counts, per top-level window, how often it was shown and how often the native window of one
// already shown was replaced.
class WindowWatch : public QObject {
  public:
    WindowWatch() { qApp->installEventFilter(this); }
    ~WindowWatch() override { qApp->removeEventFilter(this); }
    std::map<QString, int> shows;
    int nativeChanges = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow()) return false;
        if (event->type() == QEvent::Show) {
            ++shows[widget->windowTitle()];
            if (shown_.insert(widget).second) {
                connect(widget, &QObject::destroyed, this,
                        [this, widget] { shown_.erase(widget); });
            }
        }
        // A window torn down loses its native window (the id becomes 0): that is no change.
        if (event->type() == QEvent::WinIdChange && shown_.count(widget) &&
            widget->internalWinId() != 0)
            ++nativeChanges;
        return false;
    }

  private:
    std::set<QObject*> shown_;
};

class MainMenuTest : public test::ProgramStateTest {
  protected:
    void SetUp() override {
        test::ProgramStateTest::SetUp();
        SetClock(&clock_);
        FreeAllPictures();
        RegisterAllPictures();
        state_.ExerciseFont = MakeFont("Courier New", FitExerciseFontSize(), true);
        state_.HeaderCanvas = CopyPicture(PictureName::Header);
        menu_ = std::make_unique<MainMenu>(state_);
        menu_->show();
    }
    void TearDown() override {
        menu_.reset();
        SetClock(nullptr);
        test::ProgramStateTest::TearDown();
    }

    QImage Panel() { return test::ShownPicture(menu_.get(), kMenuStatusPanelId); }
    QImage Chart() { return test::ShownPicture(menu_.get(), kMenuChartId); }
    QImage PanelOf(const QString& name, int level, int block, int average) {
        return test::ExpectedPanel(state_.ExerciseFont, name, level, block, average);
    }
    void Click(int id) { test::ClickControl(menu_.get(), id); }
    void Type(char letter) { QTest::keyClick(menu_.get(), letter); }
    // The users window, once it shows over the menu: it is closed, or its first row chosen.
    static void InUsersWindow(bool choose) {
        test::WhenShown("USUARIOS", [choose](QWidget* users) {
            EXPECT_EQ(QApplication::activeModalWidget(), users);
            auto* list = qobject_cast<QTreeWidget*>(FindControl(users, kUsersListId));
            if (!choose) {
                users->close();
            } else {
                list->setCurrentItem(list->topLevelItem(0));
                QTest::keyClick(list, Qt::Key_Return);
            }
        });
    }

    ManualClock clock_;
    std::unique_ptr<MainMenu> menu_;
};

TEST_F(MainMenuTest, BuildsEveryControlInPlaceEachNamedAndShowsNobody) {
    EXPECT_EQ(menu_->size(), QSize(800, 550));
    EXPECT_TRUE(menu_->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(menu_->windowTitle(), "TIPENZO 10 v2.9c");
    EXPECT_EQ(state_.mainMenu, menu_.get());
    const struct {
        int id;
        QRect geometry;
        int picture;
        const char* tooltip;
    } buttons[] = {
        {24, {20, 250, 305, 45}, 14, "Seleccione o modifique los usuarios."},
        {25, {20, 140, 305, 45}, 15, "Comience los ejercicios."},
        {26, {20, 295, 305, 45}, 16, "Vea todas las lecciones."},
        {30, {677, 485, 102, 45}, 18, "Facebook ¡Me Gusta!"},
        {31, {550, 20, 45, 45}, 19, "Ayuda"},
        {32, {600, 20, 45, 45}, 20, "Actualizar"},
        {33, {650, 20, 45, 45}, 21, "Sobre el programa"},
        {34, {725, 20, 26, 26}, 22, ""},
        {35, {755, 20, 26, 26}, 23, ""},
        {42, {20, 395, 305, 45}, 27, "Textos personalizados"},
    };
    for (const auto& expected : buttons) {
        auto* button = qobject_cast<QAbstractButton*>(FindControl(menu_.get(), expected.id));
        ASSERT_NE(button, nullptr) << expected.id;
        EXPECT_EQ(button->geometry(), expected.geometry) << expected.id;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(expected.tooltip)) << expected.id;
        EXPECT_EQ(button->iconSize(), LogicalSize(Picture(expected.picture))) << expected.id;
    }
    const std::pair<int, QRect> others[] = {
        {28, {330, 133, 450, 97}},  {29, {20, 20, 306, 84}},    {37, {19, 483, 245, 50}},
        {38, {330, 243, 450, 197}}, {39, {335, 255, 440, 180}}, {40, {334, 143, 440, 80}},
    };
    for (const auto& [id, geometry] : others) {
        ASSERT_NE(FindControl(menu_.get(), id), nullptr) << id;
        EXPECT_EQ(FindControl(menu_.get(), id)->geometry(), geometry) << id;
    }
    // Nobody is chosen: the panel says so, and the chart is of an empty history.
    EXPECT_EQ(Panel(), PanelOf("NO SELECCIONADO", 0, 0, 0));
    EXPECT_EQ(Chart(), DrawResultsChart(UserRecord().history, 440, 180));
    EXPECT_EQ(CurrentUser, UserRecord());
    const QStringList unnamed = test::ControlsWithoutNames(menu_.get());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    test::SaveScreen(menu_.get(), "main_menu_no_user");
}

TEST_F(MainMenuTest, PanelAndChartShowThePupilTheStateTellsOf) {
    UserRecord pupil = PupilWithFullHistory();
    emit state_.pupilSignals->pupilChanged(pupil);
    EXPECT_EQ(Panel(), PanelOf(pupil.name, 12, 3, 145));
    EXPECT_EQ(Chart(), DrawResultsChart(pupil.history, 440, 180));
    test::SaveScreen(menu_.get(), "main_menu_full_history");

    // Saved results redraw the chart only.
    pupil.history = {126, 131, 124, 140, 152, 147, 163, 171, 180, 190};
    pupil.level = 13;
    emit state_.pupilSignals->resultsChanged(pupil);
    EXPECT_EQ(Chart(), DrawResultsChart(pupil.history, 440, 180));
    EXPECT_EQ(Panel(), PanelOf(pupil.name, 12, 3, 145));

    // A damaged record shows its number, sign and all; a long name its first 31 characters.
    pupil.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    pupil.level = -3;
    emit state_.pupilSignals->pupilChanged(pupil);
    EXPECT_EQ(Panel(), PanelOf(pupil.name.left(31), -3, 3, 145));
    emit state_.pupilSignals->pupilChanged(UserRecord());
    EXPECT_EQ(Panel(), PanelOf("NO SELECCIONADO", 0, 0, 0));
    EXPECT_EQ(Chart(), DrawResultsChart(UserRecord().history, 440, 180));
}

TEST_F(MainMenuTest, ChoosingAPupilShowsHerAndDeletingHerShowsNobodyAgain) {
    WriteBytes("usuarios.dat",
               (kUsersHeader + "\r\n" + FormatUserLine(PupilWithFullHistory()) + "\r\n").toUtf8());
    InUsersWindow(true);
    Click(kMenuUsersId);
    EXPECT_EQ(CurrentUser.name, QString::fromUtf8("ANA PÉREZ"));
    EXPECT_EQ(Panel(), PanelOf(CurrentUser.name, 12, 3, 145));
    EXPECT_EQ(Chart(), DrawResultsChart(CurrentUser.history, 440, 180));

    // Her row is selected on opening: delete her, then leave.
    test::WhenShown("USUARIOS", [](QWidget* users) {
        QueueAnswer(Answer::Yes);
        test::ClickControl(users, kUsersDeleteId);
        users->close();
    });
    Click(kMenuUsersId);
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].title, "Eliminar Usuario");
    // The panel must not go on showing a pupil who is gone.
    EXPECT_EQ(CurrentUser, UserRecord());
    EXPECT_EQ(Panel(), PanelOf("NO SELECCIONADO", 0, 0, 0));
    EXPECT_EQ(Chart(), DrawResultsChart(UserRecord().history, 440, 180));
    EXPECT_FALSE(ReadBytes("usuarios.dat").contains("ANA"));
}

// Every window the menu opens shows once over it, keeps its native window, and gives the menu
// back as it was, the focus on the button of the letter typed; with nobody chosen the letters
// of the exercises and the analysis ask for a pupil first, and leaving that window does
// nothing more.
TEST_F(MainMenuTest, LettersActAsTheirButtonsAndEachWindowGivesTheMenuBack) {
    WindowWatch watch;
    const WId menuId = menu_->winId();
    const struct {
        char letter;
        int button;
        const char* title;
    } cases[] = {
        {'i', kMenuAboutId, "Acerca de..."}, {'v', kMenuLessonsId, "Visor de Lecciones"},
        {'G', kMenuUsersId, "USUARIOS"},     {'r', kMenuStartId, "USUARIOS"},
        {'E', kMenuAnalysisId, "USUARIOS"},
    };
    for (const auto& c : cases) {
        if (QString(c.title) == "USUARIOS") {
            InUsersWindow(false);
        } else {
            test::WhenShown(c.title, [](QWidget* window) {
                EXPECT_EQ(QApplication::activeModalWidget(), window);
                window->close();
            });
        }
        Type(c.letter);
        EXPECT_EQ(VisibleWindow(c.title), nullptr) << c.letter;
        EXPECT_EQ(menu_->focusWidget(), FindControl(menu_.get(), c.button)) << c.letter;
    }
    test::WhenShown("TEXTOS LIBRES", [](QWidget* texts) { texts->close(); });
    Click(kMenuCustomTextsId);
    test::WhenShown(QString::fromUtf8("Actualización Online"),
                    [](QWidget* update) { test::ClickControl(update, kUpdateQuitId); });
    qputenv(kVersionUrlVariable, test::UrlWithoutServer().toUtf8());
    Click(kMenuUpdateId);
    qunsetenv(kVersionUrlVariable);

    // Other keys do nothing.
    for (const Qt::Key key : {Qt::Key_X, Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(menu_.get(), key);
    }
    EXPECT_EQ(test::VisibleTopLevels(), 1);
    EXPECT_TRUE(menu_->isVisible());
    EXPECT_EQ(menu_->winId(), menuId);
    EXPECT_EQ(watch.nativeChanges, 0);
    EXPECT_EQ(watch.shows["USUARIOS"], 3);
    for (const char* title :
         {"Acerca de...", "Visor de Lecciones", "TEXTOS LIBRES", "Actualización Online"}) {
        EXPECT_EQ(watch.shows[QString::fromUtf8(title)], 1) << title;
    }
    EXPECT_EQ(CurrentUser, UserRecord());
    EXPECT_EQ(Panel(), PanelOf("NO SELECCIONADO", 0, 0, 0));
    EXPECT_TRUE(AskedDialogs().empty());
    EXPECT_TRUE(ShellRequests().isEmpty());
}

TEST_F(MainMenuTest, TheAnalysisAndTheExercisesAreOfThePupilChosenFirst) {
    WriteBytes("usuarios.dat", kUsersHeader.toUtf8() + "\r\n" + kLuisLine);
    InUsersWindow(true);
    test::WhenShown(QString::fromUtf8("Análisis de errores"), [this](QWidget* analysis) {
        EXPECT_EQ(VisibleWindow("USUARIOS"), nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), analysis);
        EXPECT_EQ(CurrentUser.name, "LUIS GIL");
        QTest::keyClick(analysis, Qt::Key_Escape);
    });
    Type('e');
    EXPECT_EQ(Panel(), PanelOf("LUIS GIL", 3, 1, 0));

    // Chosen, "r" starts her course at once; Escape leaves it.
    test::WhenShown("LUIS GIL  |  NIVEL: 3",
                    [](QWidget* exercise) { QTest::keyClick(exercise, Qt::Key_Escape); });
    Type('r');
    EXPECT_TRUE(menu_->isVisible());
    EXPECT_EQ(menu_->focusWidget(), FindControl(menu_.get(), kMenuStartId));
    EXPECT_EQ(Panel(), PanelOf("LUIS GIL", 3, 1, 0));
}

TEST_F(MainMenuTest, QuitAndACloseRequestAskTheProgramToEnd) {
    QSignalSpy quit(menu_.get(), &MainMenu::quitRequested);
    Click(kMenuQuitId);
    EXPECT_EQ(quit.count(), 1);
    menu_->close();
    EXPECT_EQ(quit.count(), 2);
    // Ending is the program's business: the menu stays.
    EXPECT_TRUE(menu_->isVisible());
}

// The update window's download is update_window_test's and main_menu_program_test's.
TEST_F(MainMenuTest, TopRightButtonsAndTheSocialPageDoWhatTheySay) {
    // Without the document nothing is opened and the menu goes on.
    Click(kMenuHelpId);
    EXPECT_TRUE(ShellRequests().isEmpty());
    WriteBytes("tipzhelp.html", "<html><body>Ayuda</body></html>");
    Click(kMenuHelpId);
    Click(kMenuSocialId);
    EXPECT_EQ(ShellRequests(), (QStringList{Path("tipzhelp.html"), kSocialPage}));
    Click(kMenuMinimiseId);
    EXPECT_TRUE(menu_->isMinimized());
    menu_->showNormal();
}

}  // namespace
}  // namespace tz
