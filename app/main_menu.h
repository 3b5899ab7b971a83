#pragma once
// The main menu: the program's one permanent window and the hub every other screen returns to.

#include <QString>

#include <functional>

#include "app/program_state.h"
#include "update/update_window.h"

class QWidget;

namespace tz {

// Control ids of the main menu.
enum MainMenuControl {
    kMenuUsersId = 24,
    kMenuStartId = 25,
    kMenuLessonsId = 26,
    kMenuStatusFrameId = 28,
    kMenuLogoId = 29,
    kMenuSocialId = 30,
    kMenuHelpId = 31,
    kMenuUpdateId = 32,
    kMenuAboutId = 33,
    kMenuMinimiseId = 34,
    kMenuQuitId = 35,
    kMenuBannerId = 37,
    kMenuChartFrameId = 38,
    kMenuChartId = 39,
    kMenuStatusPanelId = 40,
    kMenuCustomTextsId = 42,
    kMenuAnalysisId = 43,
};

// The main menu's title, shown only in the task bar.
QString MainMenuTitle();

// Builds the main menu with every control and shows it.
QWidget* BuildMainMenu();

// The rest of start-up once the splash is gone: the main menu (the state's mainMenu), the work
// copies of pictures 25 and 11, the status panel reading "NO SELECCIONADO" and the empty
// results chart.
void OpenMainMenu(ProgramState& state);

// Runs the main menu's loop until the pupil quits (quit button or a close request). The
// update window's download button ends the program from inside, through `endProgram`.
void RunMainLoop(ProgramState& state,
                 const std::function<void(int)>& endProgram = EndProgramAtOnce);

// Tears the main menu down; the state's mainMenu is empty afterwards.
void CloseMainMenu(ProgramState& state);

// The control a typed character stands for (R, G, V, I, E in either case), 0 for any other.
int MenuShortcutControl(const QString& typed);

// The help document of this installation: "tipzhelp.chm" in the program folder on Windows when
// it is there, otherwise the HTML help "tipzhelp.html" in the program folder.
QString HelpDocumentPath();

}  // namespace tz
