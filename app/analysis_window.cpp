#include "app/analysis_window.h"

#include <QLabel>
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
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {

namespace {

const QString kTitle = QStringLiteral("Análisis de errores");

struct AnalysisWindow {
    ProgramState* state = nullptr;
    ScreenWindow* window = nullptr;
    QPushButton* close = nullptr;
    // The pictures shown, by control, under numbers of the picture table.
    std::vector<std::pair<int, int>> pictures;
};

void ShowPicture(AnalysisWindow& analysis, int control, const QImage& image, QPoint at) {
    auto* label = qobject_cast<QLabel*>(FindControl(analysis.window, control));
    if (!label) {
        const int number = LowestFreePicture();
        RegisterPicture(number, image);
        label = AddPicture(analysis.window, control, number, QRect(at, LogicalSize(image)));
        analysis.pictures.emplace_back(control, number);
        label->show();
        return;
    }
    for (auto& [shown, number] : analysis.pictures) {
        if (shown != control) continue;
        FreePicture(number);
        number = LowestFreePicture();
        RegisterPicture(number, image);
        label->setPixmap(QPixmap::fromImage(Picture(number)));
    }
}

void ShowFigures(AnalysisWindow& analysis) {
    const PupilFigures figures =
        LoadPupilFigures(*analysis.state->store, analysis.state->CurrentUser.id);
    ShowPicture(analysis, kAnalysisKeyboardId, DrawErrorKeyboard(figures, analysis.state->keyboard),
                QPoint(15, 45));
    ShowPicture(analysis, kAnalysisLegendId, DrawErrorLegend(), QPoint(620, 45));
    ShowPicture(analysis, kAnalysisFingersId, DrawFingerAccuracy(figures, analysis.state->keyboard),
                QPoint(15, 257));
    ShowPicture(analysis, kAnalysisWeakKeysId, DrawWeakestKeys(figures), QPoint(325, 257));
    ShowPicture(analysis, kAnalysisProgressId, DrawProgressOverTime(figures), QPoint(15, 455));
}

AnalysisWindow BuildAnalysisWindow(ProgramState& state) {
    AnalysisWindow analysis;
    analysis.state = &state;
    analysis.window = CreateScreenWindow(kTitle, 800, 550, false, state.mainMenu);
    analysis.window->SetKeyCapture(KeyCapture::Commands);
    SetBackground(analysis.window, look::kGround);

    AddCaption(analysis.window, kAnalysisTitleId,
               kTitle + QStringLiteral(" de ") + state.CurrentUser.name, QRect(15, 12, 770, 24));
    QPushButton* practice = AddWrappingButton(analysis.window, kAnalysisPracticeId,
                                              QStringLiteral("Practicar mis teclas difíciles"),
                                              QRect(590, 458, 195, 36));
    practice->setFont(MakeFont("Arial", 9, true));
    analysis.close = AddWrappingButton(analysis.window, kAnalysisCloseId, QStringLiteral("Volver"),
                                       QRect(590, 504, 195, 36));
    analysis.close->setFont(MakeFont("Arial", 9, true));
    return analysis;
}

void PracticeDifficultKeys(AnalysisWindow& analysis) {
    ProgramState& state = *analysis.state;
    const std::vector<WeakKey> weakest =
        WeakestKeys(LoadPupilFigures(*state.store, state.CurrentUser.id), 5);
    if (weakest.empty()) {
        Tell(kTitle,
             QStringLiteral("Todavía no hay teclas con errores que practicar.\n\n"
                            "Haz algunos ejercicios y vuelve aquí."),
             DialogIcon::Information);
        return;
    }
    const int level = std::clamp<int>(state.CurrentUser.level, 1, LastLevel);
    const Drill drill = BuildDifficultKeysDrill(CourseData(), level, weakest);
    if (drill.text.isEmpty()) {
        Tell(kTitle,
             QStringLiteral("Las palabras del curso hasta tu nivel no tienen tus teclas "
                            "difíciles.\n\nSigue avanzando en el curso."),
             DialogIcon::Information);
        return;
    }
    // Typed like an exercise of the lesson viewer: it moves the pupil nowhere.
    SetAlwaysOnTop(analysis.window, false);
    analysis.window->hide();
    RunExercises(state, DrillRequest(drill.text, level));
    analysis.window->show();
    ShowFigures(analysis);
    BringToFront(analysis.window, false);
    SetAlwaysOnTop(analysis.window, true);
    analysis.close->setFocus();
}

// Handles one event of the window; true when it is to close.
bool HandleAnalysisEvent(AnalysisWindow& analysis, const Event& event) {
    switch (event.type) {
        case EventType::CloseRequest:
            return true;
        case EventType::Char:
            return event.code == 27;
        case EventType::Click:
            if (event.id == kAnalysisCloseId) return true;
            if (event.id == kAnalysisPracticeId) PracticeDifficultKeys(analysis);
            return false;
        default:
            return false;
    }
}

}  // namespace

void RunAnalysisWindow(ProgramState& state) {
    QWidget* owner = state.mainMenu;
    AnalysisWindow analysis = BuildAnalysisWindow(state);
    ShowFigures(analysis);
    analysis.window->show();
    BringToFront(analysis.window, false);
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    analysis.window->setEnabled(true);
    SetAlwaysOnTop(analysis.window, true);
    analysis.close->setFocus();

    bool closing = false;
    while (!closing) {
        const Event event = WaitEvent();
        if (event.window == analysis.window) closing = HandleAnalysisEvent(analysis, event);
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(analysis.window, false);
    DestroyWindow(analysis.window);
    for (const auto& [control, number] : analysis.pictures) FreePicture(number);
    if (owner) BringToFront(owner, false);
}

}  // namespace tz
