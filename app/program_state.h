#pragma once
// What the whole program shares for one run: made once at start-up and handed to the screens
// that need it, each screen taking only the parts it works on.

#include <QFont>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <memory>

#include "exercise/exercise_window.h"
#include "exercise/keyboard_tables.h"
#include "users/live_programs.h"
#include "users/pupil_store.h"
#include "users/user_record.h"

namespace tz {

struct ProgramState {
    // The user the program works on (an empty name: nobody chosen) and the difficulty mode in
    // force.
    UserRecord CurrentUser;
    QString CurrentMode = kDefaultMode;
    // The exercise window's hide options, for this run of the program only.
    HideOptions hideOptions;
    // The finger of the hint looked up last: a space goes to the other hand's thumb.
    int previousFinger = kNoFinger;
    // The tables of the PC's keyboard, chosen at start-up; nothing of it is kept with a pupil.
    KeyboardTables keyboard = MakeKeyboardTables(kSpanishLayout);
    // The font of the page, the status panel and the header, fitted at start-up.
    QFont ExerciseFont;
    // Picture numbers of the work copies and of the chart shown; 0 for none.
    int StatusCanvas = 0;
    int HeaderCanvas = 0;
    int chartPicture = 0;
    // The main menu while it exists.
    QPointer<QWidget> mainMenu;
    // This program's mark in the data folder, held from the file checks to the end.
    std::unique_ptr<ProgramPresence> presence;
    // Where the pupils are kept: the users file, or the school's server named in the settings.
    std::unique_ptr<PupilStore> store;
    // The ids of the pupils told in this run of the program that their figures could not be
    // kept: a fault that lasts is told once, not after every attempt.
    QSet<QString> toldFiguresNotKept;
};

// The state every run of the program starts from (tests start from it too).
ProgramState InitialProgramState();

}  // namespace tz
