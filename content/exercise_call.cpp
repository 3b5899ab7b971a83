#include "content/exercise_call.h"

#include "exercise/exercise_run.h"

namespace tz {

std::optional<int> SpeedTargetOverride;

namespace {

std::function<void()>& StandIn() {
    static std::function<void()> standIn;
    return standIn;
}

}  // namespace

void CallExerciseRun() {
    if (StandIn()) {
        StandIn()();
    } else {
        RunExercises();
    }
}

void SetExerciseRunStandIn(std::function<void()> standIn) {
    StandIn() = std::move(standIn);
}

}  // namespace tz
