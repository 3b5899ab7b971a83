#include "app/user_views.h"

#include <QLabel>

#include "app/main_menu.h"
#include "app/status_panel.h"
#include "content/results_chart.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {

namespace {

constexpr int kChartWidth = 440;
constexpr int kChartHeight = 180;

void ShowInControl(const ProgramState& state, int control, int picture) {
    if (auto* label = qobject_cast<QLabel*>(FindControl(state.mainMenu, control))) {
        label->setPixmap(QPixmap::fromImage(Picture(picture)));
    }
}

// Puts `image` under the lowest free picture number, after freeing the one `number` held.
void Replace(int& number, const QImage& image) {
    if (number > 0) FreePicture(number);
    number = LowestFreePicture();
    RegisterPicture(number, image);
}

void ShowPanelOf(ProgramState& state, const UserRecord& shown) {
    Replace(state.StatusCanvas, DrawStatusPanel(shown, state.ExerciseFont));
    ShowInControl(state, kMenuStatusPanelId, state.StatusCanvas);
}

}  // namespace

void ShowStatusPanel(ProgramState& state) {
    ShowPanelOf(state, state.CurrentUser);
}

void ShowResultsChart(ProgramState& state) {
    Replace(state.chartPicture,
            DrawResultsChart(state.CurrentUser.history, kChartWidth, kChartHeight));
    ShowInControl(state, kMenuChartId, state.chartPicture);
}

void ShowUserViews(ProgramState& state) {
    ShowStatusPanel(state);
    ShowResultsChart(state);
}

void ShowNoUser(ProgramState& state) {
    UserRecord nobody = state.CurrentUser;
    nobody.name = QStringLiteral("NO SELECCIONADO");
    nobody.level = 0;
    nobody.block = 0;
    ShowPanelOf(state, nobody);
    state.CurrentUser.name.clear();
    state.CurrentUser.level = 0;
    state.CurrentUser.block = 0;
    ShowResultsChart(state);
}

void ReleaseResultsChart(ProgramState& state) {
    if (state.chartPicture > 0) FreePicture(state.chartPicture);
    state.chartPicture = 0;
}

}  // namespace tz
