#pragma once
// "Análisis de errores": what the current pupil gets wrong, key by key and finger by finger,
// and a drill of her difficult keys.

#include "app/program_state.h"

namespace tz {

enum AnalysisWindowControl {
    kAnalysisTitleId = 1,
    kAnalysisKeyboardId = 2,
    kAnalysisLegendId = 3,
    kAnalysisFingersId = 4,
    kAnalysisWeakKeysId = 5,
    kAnalysisProgressId = 6,
    kAnalysisPracticeId = 7,
    kAnalysisCloseId = 8,
};

// Shows the analysis of the state's CurrentUser over the main menu, which is disabled
// meanwhile, until Escape, the close request or "Volver". "Practicar mis teclas difíciles" types
// a drill like an exercise of the lesson viewer: the verdict is shown, the course place and
// results stay as they were, the keystrokes count for the figures, and the window shows them
// afterwards.
void RunAnalysisWindow(ProgramState& state);

}  // namespace tz
