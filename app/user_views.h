#pragma once
// The main menu's views of the current user: the status panel and the chart of the last ten
// results, each drawn on a work picture of the picture table and shown in its control.

#include "app/program_state.h"

namespace tz {

// The status panel for the CurrentUser on a fresh work copy (the old StatusCanvas is freed).
void ShowStatusPanel(ProgramState& state);
// The chart of the CurrentUser's results, 440 x 180, on a new picture (the old one is freed
// first).
void ShowResultsChart(ProgramState& state);
// Both.
void ShowUserViews(ProgramState& state);
// The panel of nobody: the words "NO SELECCIONADO" with level and block 0, while the user
// itself stays empty, and the chart of an empty history.
void ShowNoUser(ProgramState& state);
// Frees the chart picture, at the end of the program.
void ReleaseResultsChart(ProgramState& state);

}  // namespace tz
