#include "app/analysis_window.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "app/exercise_run.h"
#include "content/analysis_pictures.h"
#include "content/course_data.h"
#include "content/difficult_keys_drill.h"
#include "content/figures_file.h"
#include "content/screen_style.h"
#include "exercise/exercise_look.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {

namespace {

const QString kTitle = QStringLiteral("Análisis de errores");

QPushButton* AddAnalysisButton(QWidget* window, int id, const QString& text,
                               const QRect& geometry) {
    QPushButton* button = MakeWrappingButton(window, id, text, geometry);
    button->setFont(MakeFont("Arial", 9, true));
    return button;
}

}  // namespace

AnalysisWindow::AnalysisWindow(ProgramState& state, QWidget* owner)
    : QDialog(owner), state_(state) {
    SetUpScreen(this, kTitle, 800, 550, false);
    KeepOnTopWhileShown(this);
    SetBackground(this, look::kGround);

    AddCaption(this, kAnalysisTitleId, kTitle + QStringLiteral(" de ") + state.CurrentUser.name,
               QRect(15, 12, 770, 24));
    QPushButton* practice = AddAnalysisButton(this, kAnalysisPracticeId,
                                              QStringLiteral("Practicar mis teclas difíciles"),
                                              QRect(590, 458, 195, 36));
    connect(practice, &QPushButton::clicked, this, &AnalysisWindow::Practise);
    QPushButton* close = AddAnalysisButton(this, kAnalysisCloseId, QStringLiteral("Volver"),
                                           QRect(590, 504, 195, 36));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    close->setFocus();
    ShowFigures();
}

AnalysisWindow::~AnalysisWindow() {
    for (const auto& [label, number] : pictures_) FreePicture(number);
}

void AnalysisWindow::ShowPicture(int control, const QImage& image, QPoint at,
                                 const QString& spoken) {
    for (auto& [label, number] : pictures_) {
        if (ControlId(label) != control) continue;
        FreePicture(number);
        number = LowestFreePicture();
        RegisterPicture(number, image);
        label->setPixmap(QPixmap::fromImage(Picture(number)));
        return;
    }
    const int number = LowestFreePicture();
    RegisterPicture(number, image);
    QLabel* label = AddPicture(this, control, number, QRect(at, LogicalSize(image)));
    label->setAccessibleName(spoken);
    pictures_.emplace_back(label, number);
}

void AnalysisWindow::ShowFigures() {
    const PupilFigures figures = LoadPupilFigures(*state_.store, state_.CurrentUser.id);
    ShowPicture(kAnalysisKeyboardId, DrawErrorKeyboard(figures, state_.keyboard), QPoint(15, 45),
                QStringLiteral("Errores de cada tecla"));
    ShowPicture(kAnalysisLegendId, DrawErrorLegend(), QPoint(620, 45),
                QStringLiteral("Colores según los errores"));
    ShowPicture(kAnalysisFingersId, DrawFingerAccuracy(figures, state_.keyboard), QPoint(15, 257),
                QStringLiteral("Aciertos de cada dedo"));
    ShowPicture(kAnalysisWeakKeysId, DrawWeakestKeys(figures), QPoint(325, 257),
                QStringLiteral("Tus teclas más difíciles"));
    ShowPicture(kAnalysisProgressId, DrawProgressOverTime(figures), QPoint(15, 455),
                QStringLiteral("Tu progreso"));
}
void AnalysisWindow::Practise() {
    const std::vector<WeakKey> weakest =
        WeakestKeys(LoadPupilFigures(*state_.store, state_.CurrentUser.id), 5);
    if (weakest.empty()) {
        Tell(kTitle,
             QStringLiteral("Todavía no hay teclas con errores que practicar.\n\n"
                            "Haz algunos ejercicios y vuelve aquí."),
             DialogIcon::Information);
        return;
    }
    drillLevel_ = std::clamp<int>(state_.CurrentUser.level, 1, LastLevel);
    drill_ = BuildDifficultKeysDrill(CourseData(), drillLevel_, weakest).text;
    if (drill_.isEmpty()) {
        Tell(kTitle,
             QStringLiteral("Las palabras del curso hasta tu nivel no tienen tus teclas "
                            "difíciles.\n\nSigue avanzando en el curso."),
             DialogIcon::Information);
        return;
    }
    // The drill takes the window's place.
    done(kPractise);
}

void RunAnalysisWindow(ProgramState& state) {
    AnalysisWindow window(state, state.mainMenu);
    // Typed like an exercise of the lesson viewer: it moves the pupil nowhere.
    while (window.exec() == AnalysisWindow::kPractise) {
        RunExercises(state, DrillRequest(window.Drill(), window.DrillLevel()));
        window.ShowFigures();
    }
}

}  // namespace tz
