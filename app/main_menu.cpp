#include "app/main_menu.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include "app/about_box.h"
#include "app/analysis_window.h"
#include "app/exercise_run.h"
#include "app/startup.h"
#include "app/user_views.h"
#include "content/class_report.h"
#include "content/custom_texts.h"
#include "content/lesson_viewer.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/update_window.h"
#include "update/version_check.h"
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

// The users window; true when it returned with a user selected.
bool ChooseUser(ProgramState& state) {
    const bool hadUser = !state.CurrentUser.name.isEmpty();
    RunUsersWindow(state.mainMenu, *state.store, state.CurrentUser, state.CurrentMode,
                   SaveClassReportAsked);
    if (!state.CurrentUser.name.isEmpty()) return true;
    // The pupil on the panel was deleted: nothing of theirs may stay on the panel and chart,
    // nor in the record that now stands for nobody.
    if (hadUser) {
        state.CurrentUser = UserRecord();
        ShowNoUser(state);
    }
    return false;
}

void StartExercises(ProgramState& state) {
    if (state.CurrentUser.name.isEmpty()) {
        if (!ChooseUser(state)) return;
        ShowUserViews(state);
    }
    RunExercises(state);
    ShowUserViews(state);
}

void OpenLessons(ProgramState& state) {
    OpenLessonViewer(state.mainMenu, state.CurrentUser, state.keyboard,
                     [&state](const CoursePlace& chosen) {
                         RunExercises(state, ManualExerciseRequest(chosen));
                     });
}

void OpenTexts(ProgramState& state) {
    OpenCustomTexts(state.mainMenu, [&state](const QString& document) {
        RunExercises(state, CustomTextRequest(document));
    });
}

// Like the exercises, the analysis is of a pupil: with nobody chosen the users window comes
// first.
void OpenAnalysis(ProgramState& state) {
    if (state.CurrentUser.name.isEmpty()) {
        if (!ChooseUser(state)) return;
        ShowUserViews(state);
    }
    RunAnalysisWindow(state);
    ShowUserViews(state);
}

void OpenHelp() {
    const QString help = HelpDocumentPath();
    // Without a help document there is nothing to show; the menu simply goes on.
    if (FileSize(help) < 0) return;
    RunAndWait(help);
}

void MinimiseForegroundWindow(QWidget* menu) {
    QWidget* foreground = QApplication::activeWindow();
    if (!foreground) foreground = menu;
    if (foreground) foreground->showMinimized();
}

// Acts on a click (or a shortcut letter) of the main menu; false when the pupil quits.
bool ActOn(ProgramState& state, int id, const std::function<void(int)>& endProgram) {
    switch (id) {
        case kMenuStartId:
            StartExercises(state);
            break;
        case kMenuUsersId:
            if (ChooseUser(state)) ShowUserViews(state);
            break;
        case kMenuLessonsId:
            OpenLessons(state);
            break;
        case kMenuCustomTextsId:
            OpenTexts(state);
            break;
        case kMenuAboutId:
            ShowAboutBox(state.mainMenu);
            break;
        case kMenuAnalysisId:
            OpenAnalysis(state);
            break;
        case kMenuUpdateId:
            RunVersionCheck(state.mainMenu, [&state, &endProgram](int code) {
                // Nothing is saved; the data folder is left as at an orderly end.
                LeaveDataFolder(state);
                endProgram(code);
            });
            break;
        case kMenuSocialId:
            OpenExternal(kSocialPage);
            break;
        case kMenuHelpId:
            OpenHelp();
            break;
        case kMenuMinimiseId:
            MinimiseForegroundWindow(state.mainMenu);
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
    if (letter == QLatin1String("E")) return kMenuAnalysisId;
    return 0;
}

QWidget* BuildMainMenu() {
    ScreenWindow* window = CreateScreenWindow(MainMenuTitle(), 800, 550, true);
    window->SetKeyCapture(KeyCapture::Commands);
    SetTiledBackground(window, PictureName::MenuBackground);

    AddPictureButton(window, kMenuUsersId, PictureName::UsersButton, QRect(20, 250, 305, 45),
                     QStringLiteral("Seleccione o modifique los usuarios."));
    AddPictureButton(window, kMenuStartId, PictureName::StartButton, QRect(20, 140, 305, 45),
                     QStringLiteral("Comience los ejercicios."));
    AddPictureButton(window, kMenuLessonsId, PictureName::LessonsButton, QRect(20, 295, 305, 45),
                     QStringLiteral("Vea todas las lecciones."));
    AddFrame(window, kMenuStatusFrameId, QRect(330, 133, 450, 97));
    AddPicture(window, kMenuLogoId, PictureName::Logo, QRect(20, 20, 306, 84));
    AddPictureButton(window, kMenuSocialId, PictureName::SocialButton, QRect(677, 485, 102, 45),
                     QString::fromUtf8("Facebook ¡Me Gusta!"));
    AddPictureButton(window, kMenuAnalysisId, PictureName::AnalysisButton, QRect(500, 20, 45, 45),
                     QStringLiteral("Análisis de errores"));
    AddPictureButton(window, kMenuHelpId, PictureName::HelpButton, QRect(550, 20, 45, 45),
                     QStringLiteral("Ayuda"));
    AddPictureButton(window, kMenuUpdateId, PictureName::UpdateButton, QRect(600, 20, 45, 45),
                     QStringLiteral("Actualizar"));
    AddPictureButton(window, kMenuAboutId, PictureName::AboutButton, QRect(650, 20, 45, 45),
                     QStringLiteral("Sobre el programa"));
    AddPictureButton(window, kMenuMinimiseId, PictureName::MinimiseButton, QRect(725, 20, 26, 26));
    AddPictureButton(window, kMenuQuitId, PictureName::QuitButton, QRect(755, 20, 26, 26));
    QLabel* banner =
        AddPicture(window, kMenuBannerId, PictureName::Banner, QRect(19, 483, 245, 50));
    banner->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::Banner), 245, 50)));
    AddFrame(window, kMenuChartFrameId, QRect(330, 243, 450, 197));
    QLabel* chart = AddLabel(window, kMenuChartId, QString(), QRect(335, 255, 440, 180));
    chart->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLabel* panel =
        AddPicture(window, kMenuStatusPanelId, PictureName::StatusPanel, QRect(334, 143, 440, 80));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPictureButton(window, kMenuCustomTextsId, PictureName::CustomTextsButton,
                     QRect(20, 395, 305, 45), QStringLiteral("Textos personalizados"));

    window->show();
    return window;
}

void OpenMainMenu(ProgramState& state) {
    state.mainMenu = BuildMainMenu();
    state.StatusCanvas = CopyPicture(PictureName::StatusPanel);
    state.HeaderCanvas = CopyPicture(PictureName::Header);
    ShowNoUser(state);
}

void RunMainLoop(ProgramState& state, const std::function<void(int)>& endProgram) {
    QPointer<QWidget>& menu = state.mainMenu;
    bool quitRequested = false;
    while (!quitRequested) {
        const Event event = WaitEvent();
        if (!menu || event.window != menu) continue;
        int id = 0;
        QPointer<QWidget> focused;
        if (event.type == EventType::Click) {
            id = event.id;
        } else if (event.type == EventType::Char) {
            id = MenuShortcutControl(event.text);
            if (id == 0) continue;
            focused = FindControl(menu, id);
            if (focused) focused->setFocus();
        } else if (event.type == EventType::CloseRequest) {
            quitRequested = true;
            continue;
        } else {
            continue;
        }
        quitRequested = !ActOn(state, id, endProgram);
        // What the closed window showed is not kept for the next one.
        ReleasePaintedPictures();
        // The menu was disabled while the other window ran, which took the focus off the
        // button; it goes back there, as it does on the desktop when a window gives way.
        if (focused && menu && menu->isEnabled()) focused->setFocus();
    }
}

void CloseMainMenu(ProgramState& state) {
    QWidget* window = state.mainMenu;
    state.mainMenu = nullptr;
    DestroyWindow(window);
}

}  // namespace tz
