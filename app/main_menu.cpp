#include "app/main_menu.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include "app/about_box.h"
#include "app/status_panel.h"
#include "content/custom_texts.h"
#include "content/lesson_viewer.h"
#include "content/results_chart.h"
#include "exercise/exercise_run.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/globals.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/update_window.h"
#include "update/version_check.h"
#include "users/user_record.h"
#include "users/users_window.h"

namespace tz {

namespace {

const QString kHelpChm = QStringLiteral("tipzhelp.chm");
const QString kHelpHtml = QStringLiteral("tipzhelp.html");

void AddFrame(QWidget* window, int id, const QRect& geometry) {
    auto* frame = new QGroupBox(QString(), window);
    frame->setGeometry(geometry);
    SetControlId(frame, id);
}

void RedrawUserViews() {
    DrawStatusPanel();
    BuildResultsChart(440, 180);
}

// The panel of nobody: the words say so while the user itself stays empty.
void ShowNoUser() {
    CurrentUser.name = QStringLiteral("NO SELECCIONADO");
    CurrentUser.level = 0;
    CurrentUser.block = 0;
    DrawStatusPanel();
    CurrentUser.name.clear();
    CurrentUser.level = 0;
    CurrentUser.block = 0;
    BuildResultsChart(440, 180);
}

// The users window; true when it returned with a user selected.
bool ChooseUser() {
    const bool hadUser = !CurrentUser.name.isEmpty();
    RunUsersWindow(MainMenuWindow);
    if (!CurrentUser.name.isEmpty()) return true;
    // The pupil on the panel was deleted: nothing of theirs may stay on the panel and chart,
    // nor in the record that now stands for nobody.
    if (hadUser) {
        CurrentUser = UserRecord();
        ShowNoUser();
    }
    return false;
}

void StartExercises() {
    ExerciseSource = QStringLiteral("NO");
    if (CurrentUser.name.isEmpty()) {
        if (!ChooseUser()) return;
        RedrawUserViews();
    }
    RunExercises();
    RedrawUserViews();
}

void OpenHelp() {
    const QString help = HelpDocumentPath();
    // Without a help document there is nothing to show; the menu simply goes on.
    if (FileSize(help) < 0) return;
    RunAndWait(help);
}

void MinimiseForegroundWindow() {
    QWidget* foreground = QApplication::activeWindow();
    if (!foreground) foreground = MainMenuWindow;
    if (foreground) foreground->showMinimized();
}

// Acts on a click (or a shortcut letter) of the main menu; false when the pupil quits.
bool ActOn(int id) {
    switch (id) {
        case kMenuStartId:
            StartExercises();
            break;
        case kMenuUsersId:
            if (ChooseUser()) RedrawUserViews();
            break;
        case kMenuLessonsId:
            OpenLessonViewer();
            break;
        case kMenuCustomTextsId:
            OpenCustomTexts();
            break;
        case kMenuAboutId:
            ShowAboutBox(MainMenuWindow);
            break;
        case kMenuUpdateId:
            RunVersionCheck(MainMenuWindow);
            break;
        case kMenuSocialId:
            OpenExternal(kSocialPage);
            break;
        case kMenuHelpId:
            OpenHelp();
            break;
        case kMenuMinimiseId:
            MinimiseForegroundWindow();
            break;
        case kMenuQuitId:
            return false;
        default:
            break;
    }
    return true;
}

}  // namespace

QString MainMenuTitle() {
    return QStringLiteral("TIPENZO 10 v") + kDisplayVersion;
}

QString HelpDocumentPath() {
#ifdef _WIN32
    const QString chm = ProgramPath(kHelpChm);
    if (FileSize(chm) >= 0) return chm;
#endif
    return ProgramPath(kHelpHtml);
}

int MenuShortcutControl(const QString& typed) {
    const QString letter = typed.toUpper();
    if (letter == QLatin1String("R")) return kMenuStartId;
    if (letter == QLatin1String("G")) return kMenuUsersId;
    if (letter == QLatin1String("V")) return kMenuLessonsId;
    if (letter == QLatin1String("I")) return kMenuAboutId;
    return 0;
}

QWidget* BuildMainMenu() {
    ScreenWindow* window = CreateScreenWindow(MainMenuTitle(), 800, 550, true);
    window->SetKeyCapture(KeyCapture::Commands);
    SetTiledBackground(window, 13);

    AddPictureButton(window, kMenuUsersId, 14, QRect(20, 250, 305, 45),
                     QStringLiteral("Seleccione o modifique los usuarios."));
    AddPictureButton(window, kMenuStartId, 15, QRect(20, 140, 305, 45),
                     QStringLiteral("Comience los ejercicios."));
    AddPictureButton(window, kMenuLessonsId, 16, QRect(20, 295, 305, 45),
                     QStringLiteral("Vea todas las lecciones."));
    AddFrame(window, kMenuStatusFrameId, QRect(330, 133, 450, 97));
    AddPicture(window, kMenuLogoId, 17, QRect(20, 20, 306, 84));
    AddPictureButton(window, kMenuSocialId, 18, QRect(677, 485, 102, 45),
                     QString::fromUtf8("Facebook ¡Me Gusta!"));
    AddPictureButton(window, kMenuHelpId, 19, QRect(550, 20, 45, 45), QStringLiteral("Ayuda"));
    AddPictureButton(window, kMenuUpdateId, 20, QRect(600, 20, 45, 45),
                     QStringLiteral("Actualizar"));
    AddPictureButton(window, kMenuAboutId, 21, QRect(650, 20, 45, 45),
                     QStringLiteral("Sobre el programa"));
    AddPictureButton(window, kMenuMinimiseId, 22, QRect(725, 20, 26, 26));
    AddPictureButton(window, kMenuQuitId, 23, QRect(755, 20, 26, 26));
    QLabel* banner = AddPicture(window, kMenuBannerId, 24, QRect(19, 483, 245, 50));
    banner->setPixmap(QPixmap::fromImage(
        Picture(24).scaled(245, 50, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    AddFrame(window, kMenuChartFrameId, QRect(330, 243, 450, 197));
    QLabel* chart = AddLabel(window, kMenuChartId, QString(), QRect(335, 255, 440, 180));
    chart->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLabel* panel = AddPicture(window, kMenuStatusPanelId, 25, QRect(334, 143, 440, 80));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPictureButton(window, kMenuCustomTextsId, 27, QRect(20, 395, 305, 45),
                     QStringLiteral("Textos personalizados"));

    MainMenuWindow = window;
    window->show();
    return window;
}

void OpenMainMenu() {
    BuildMainMenu();
    StatusCanvas = CopyPicture(25);
    HeaderCanvas = CopyPicture(11);
    ShowNoUser();
}

void RunMainLoop() {
    bool quitRequested = false;
    while (!quitRequested) {
        const Event event = WaitEvent();
        if (!MainMenuWindow || event.window != MainMenuWindow) continue;
        int id = 0;
        QPointer<QWidget> focused;
        if (event.type == EventType::Click) {
            id = event.id;
        } else if (event.type == EventType::Char) {
            id = MenuShortcutControl(event.text);
            if (id == 0) continue;
            focused = FindControl(MainMenuWindow, id);
            if (focused) focused->setFocus();
        } else if (event.type == EventType::CloseRequest) {
            quitRequested = true;
            continue;
        } else {
            continue;
        }
        quitRequested = !ActOn(id);
        // The menu was disabled while the other window ran, which took the focus off the
        // button; it goes back there, as it does on the desktop when a window gives way.
        if (focused && MainMenuWindow && MainMenuWindow->isEnabled()) focused->setFocus();
    }
}

void CloseMainMenu() {
    QWidget* window = MainMenuWindow;
    MainMenuWindow = nullptr;
    DestroyWindow(window);
}

}  // namespace tz
