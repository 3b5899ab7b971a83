// The main menu's views of the pupil: each drawing takes the lowest free picture number after
// giving back its own, and reaches its control of the main menu.

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <memory>

#include "app/main_menu.h"
#include "app/program_state.h"
#include "app/status_panel.h"
#include "app/user_views.h"
#include "content/results_chart.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {
namespace {

const std::array<std::int16_t, 10> kEmpty = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
const std::array<std::int16_t, 10> kFull = {52, 61, 58, 70, 75, 81, 79, 88, 95, 100};

// The picture table as start-up leaves it: 1 to 53 taken.
class UserViewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreeAllPictures();
        for (int n = 1; n <= 53; ++n) RegisterPicture(n, QImage(4, 4, QImage::Format_RGB32));
    }
    void TearDown() override { FreeAllPictures(); }

    QImage Chart(const std::array<std::int16_t, 10>& history) {
        state_.CurrentUser.history = history;
        ShowResultsChart(state_);
        return Picture(state_.chartPicture);
    }

    ProgramState state_ = InitialProgramState();
};

TEST_F(UserViewsTest, EachDrawingReplacesThePictureAndReachesTheMainMenu) {
    Chart(kEmpty);
    EXPECT_EQ(state_.chartPicture, 54);
    Chart(kFull);
    EXPECT_EQ(state_.chartPicture, 54);  // the old one was freed first

    // A lower number set free in between is taken, and the old chart is gone.
    FreePicture(20);
    Chart(kFull);
    EXPECT_EQ(state_.chartPicture, 20);
    EXPECT_FALSE(PictureExists(54));

    auto menu = std::make_unique<QWidget>();
    auto* control = AddPicture(menu.get(), kMenuChartId, 0, QRect(335, 255, 440, 180));
    state_.mainMenu = menu.get();
    const QImage chart = Chart(kFull);
    EXPECT_EQ(state_.chartPicture, 20);
    EXPECT_EQ(chart, DrawResultsChart(kFull, 440, 180));
    ASSERT_FALSE(control->pixmap().isNull());
    EXPECT_EQ(control->pixmap().toImage().convertToFormat(chart.format()), chart);

    // Without a main menu the chart is still drawn.
    state_.mainMenu = nullptr;
    Chart(kEmpty);
    EXPECT_EQ(LogicalSize(Picture(state_.chartPicture)), QSize(440, 180));

    ReleaseResultsChart(state_);
    EXPECT_EQ(state_.chartPicture, 0);
    EXPECT_FALSE(PictureExists(20));
}

TEST_F(UserViewsTest, ThePanelOfNobodySaysSoWhileTheUserStaysEmpty) {
    RegisterPicture(25, QImage(440, 80, QImage::Format_RGB32));
    state_.CurrentUser.level = 7;
    ShowNoUser(state_);
    EXPECT_TRUE(state_.CurrentUser.name.isEmpty());
    EXPECT_EQ(state_.CurrentUser.level, 0);
    EXPECT_EQ(state_.CurrentUser.block, 0);
    UserRecord nobody;
    nobody.name = QStringLiteral("NO SELECCIONADO");
    EXPECT_EQ(Picture(state_.StatusCanvas), DrawStatusPanel(nobody, state_.ExerciseFont));
    const int canvas = state_.StatusCanvas;
    ShowStatusPanel(state_);
    EXPECT_EQ(state_.StatusCanvas, canvas);  // redrawing piles up no copies
}

}  // namespace
}  // namespace tz
