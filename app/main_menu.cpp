#include "app/main_menu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include "app/about_box.h"
#include "app/analysis_window.h"
#include "app/exercise_run.h"
#include "app/status_panel.h"
#include "content/class_report.h"
#include "content/custom_texts.h"
#include "content/lesson_viewer.h"
#include "content/results_chart.h"
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
const QString kNobody = QStringLiteral("NO SELECCIONADO");
constexpr int kChartWidth = 440;
constexpr int kChartHeight = 180;

void AddFrame(QWidget* window, int id, const QRect& geometry) {
    auto* frame = new QGroupBox(QString(), window);
    frame->setGeometry(geometry);
    SetControlId(frame, id);
}

// What the status panel shows, in words a screen reader can say.
QString PanelWords(const UserRecord& shown) {
    return QStringLiteral("Usuario: %1. Nivel: %2. Bloque: %3. P.P.M. de media: %4.")
        .arg(StatusPanelName(shown.name))
        .arg(shown.level)
        .arg(shown.block)
        .arg(shown.averageSpeed);
}

QString ChartWords(const UserRecord& pupil) {
    QStringList speeds;
    const std::vector<ChartPoint> points = ResultsChartPoints(pupil.history);
    for (std::size_t i = 1; i < points.size(); ++i) speeds << QString::number(points[i].value);
    return kResultsChartTitle + QStringLiteral(": ") + speeds.join(QStringLiteral(", "));
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
    foreground->showMinimized();
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

MainMenu::MainMenu(ProgramState& state) : state_(state) {
    state_.mainMenu = this;
    SetUpScreen(this, MainMenuTitle(), 800, 550, true);
    SetTiledBackground(this, PictureName::MenuBackground);

    AddButton(kMenuUsersId, PictureName::UsersButton, QRect(20, 250, 305, 45),
              QStringLiteral("Seleccione o modifique los usuarios."), QString(), [this] {
                  if (ChooseUser()) emit state_.pupilSignals->pupilChanged(state_.CurrentUser);
              });
    AddButton(kMenuStartId, PictureName::StartButton, QRect(20, 140, 305, 45),
              QStringLiteral("Comience los ejercicios."), QString(),
              [this] { ForThePupil(false); });
    AddButton(kMenuLessonsId, PictureName::LessonsButton, QRect(20, 295, 305, 45),
              QStringLiteral("Vea todas las lecciones."), QString(), [this] { OpenLessons(); });
    AddFrame(this, kMenuStatusFrameId, QRect(330, 133, 450, 97));
    MakePicture(this, kMenuLogoId, PictureName::Logo, QRect(20, 20, 306, 84),
                QStringLiteral("Logotipo de TIPENZO 10"));
    AddButton(kMenuSocialId, PictureName::SocialButton, QRect(677, 485, 102, 45),
              QString::fromUtf8("Facebook ¡Me Gusta!"), QString(),
              [] { OpenExternal(kSocialPage); });
    AddButton(kMenuAnalysisId, PictureName::AnalysisButton, QRect(500, 20, 45, 45),
              QStringLiteral("Análisis de errores"), QString(), [this] { ForThePupil(true); });
    AddButton(kMenuHelpId, PictureName::HelpButton, QRect(550, 20, 45, 45), QStringLiteral("Ayuda"),
              QString(), OpenHelp);
    AddButton(kMenuUpdateId, PictureName::UpdateButton, QRect(600, 20, 45, 45),
              QStringLiteral("Actualizar"), QString(), [this] { CheckVersion(); });
    AddButton(kMenuAboutId, PictureName::AboutButton, QRect(650, 20, 45, 45),
              QStringLiteral("Sobre el programa"), QString(), [this] { ShowAboutBox(this); });
    AddButton(kMenuMinimiseId, PictureName::MinimiseButton, QRect(725, 20, 26, 26), QString(),
              QStringLiteral("Minimizar"), [this] { MinimiseForegroundWindow(this); });
    AddButton(kMenuQuitId, PictureName::QuitButton, QRect(755, 20, 26, 26), QString(),
              QStringLiteral("Salir del programa"), [this] { emit quitRequested(); });
    QLabel* banner = MakePicture(this, kMenuBannerId, PictureName::Banner, QRect(19, 483, 245, 50),
                                 QString::fromUtf8("TIPENZO 10, curso de mecanografía"));
    banner->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::Banner), 245, 50)));
    AddFrame(this, kMenuChartFrameId, QRect(330, 243, 450, 197));
    chart_ =
        MakeLabel(this, kMenuChartId, QString(), QRect(335, 255, 440, 180), kResultsChartTitle);
    chart_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panel_ = MakePicture(this, kMenuStatusPanelId, PictureName::StatusPanel,
                         QRect(334, 143, 440, 80), PanelWords(UserRecord()));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(1);
    panel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddButton(kMenuCustomTextsId, PictureName::CustomTextsButton, QRect(20, 395, 305, 45),
              QStringLiteral("Textos personalizados"), QString(), [this] { OpenTexts(); });

    connect(state_.pupilSignals.get(), &PupilSignals::pupilChanged, this, &MainMenu::ShowPupil);
    connect(state_.pupilSignals.get(), &PupilSignals::resultsChanged, this, &MainMenu::ShowResults);
    ShowPupil(state_.CurrentUser);
}

void MainMenu::AddButton(int id, PictureName picture, const QRect& geometry, const QString& tooltip,
                         const QString& spoken, const std::function<void()>& act) {
    QAbstractButton* button = MakePictureButton(this, id, picture, geometry, tooltip, spoken);
    connect(button, &QAbstractButton::clicked, this, [act] {
        act();
        // What the screen it opened showed is not kept for the next one.
        ReleasePaintedPictures();
    });
}

void MainMenu::ShowPupil(const UserRecord& pupil) {
    // Nobody chosen: the panel says so, at level and block 0, while the pupil stays empty.
    UserRecord shown = pupil;
    if (shown.name.isEmpty()) {
        shown.name = kNobody;
        shown.level = 0;
        shown.block = 0;
    }
    panel_->setPixmap(QPixmap::fromImage(DrawStatusPanel(shown, state_.ExerciseFont)));
    panel_->setAccessibleName(PanelWords(shown));
    ShowResults(pupil);
}

void MainMenu::ShowResults(const UserRecord& pupil) {
    chart_->setPixmap(
        QPixmap::fromImage(DrawResultsChart(pupil.history, kChartWidth, kChartHeight)));
    chart_->setAccessibleName(ChartWords(pupil));
}

bool MainMenu::ChooseUser() {
    const bool hadUser = !state_.CurrentUser.name.isEmpty();
    RunUsersWindow(this, *state_.store, state_.CurrentUser, state_.CurrentMode,
                   SaveClassReportAsked);
    if (!state_.CurrentUser.name.isEmpty()) return true;
    // The pupil on the panel was deleted: nothing of hers may stay on the panel and chart, nor in
    // the record that now stands for nobody.
    if (hadUser) {
        state_.CurrentUser = UserRecord();
        emit state_.pupilSignals->pupilChanged(state_.CurrentUser);
    }
    return false;
}

void MainMenu::ForThePupil(bool analysis) {
    if (state_.CurrentUser.name.isEmpty()) {
        if (!ChooseUser()) return;
        emit state_.pupilSignals->pupilChanged(state_.CurrentUser);
    }
    if (analysis) {
        RunAnalysisWindow(state_);
    } else {
        RunExercises(state_);
    }
    emit state_.pupilSignals->pupilChanged(state_.CurrentUser);
}

void MainMenu::OpenLessons() {
    OpenLessonViewer(this, state_.CurrentUser, state_.keyboard, [this](const CoursePlace& chosen) {
        RunExercises(state_, ManualExerciseRequest(chosen));
    });
}

void MainMenu::OpenTexts() {
    OpenCustomTexts(this, [this](const QString& document) {
        RunExercises(state_, CustomTextRequest(document));
    });
}

void MainMenu::CheckVersion() {
    if (ShowUpdateWindow(this) == UpdateOutcome::QuitProgram) emit endAtOnceRequested();
}

void MainMenu::keyPressEvent(QKeyEvent* event) {
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const int id = command || event->isAutoRepeat() ? 0 : MenuShortcutControl(event->text());
    const QPointer<QAbstractButton> button =
        id ? qobject_cast<QAbstractButton*>(FindControl(this, id)) : nullptr;
    if (!button) {
        QWidget::keyPressEvent(event);
        return;
    }
    button->setFocus();
    button->click();
    // A window that disabled the menu while it ran took the focus off the button; it goes back
    // there, as it does on the desktop when a window gives way.
    if (button && isEnabled()) button->setFocus();
}

void MainMenu::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit quitRequested();
}

}  // namespace tz
