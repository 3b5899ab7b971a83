#pragma once

#include "app/program_state.h"

class QWidget;

namespace tz {

// The maker's page the start-up invitation opens.
extern const char* const kMakerWebPage;

// Chooses the program and data folders once (platform/folders.h), unless a test has set them,
// and tells in a message box when the data folder cannot be written; the program goes on.
void SettleFolders();

// The checks before any window opens: the one-time marker, the stale temporary files, and
// what the store settles at its start (the users file: the lock copy left by a run that did
// not end properly, an over-large users file, the new lock copy). Returns false when the user
// chose to end the program.
bool RunFileChecks(ProgramState& state);

// Puts the store the settings files name in the state (the users file when they name no
// server); false, once the pupil was told why, when the server they name cannot be used.
bool OpenStore(ProgramState& state);

// The end of this program's use of the store (the users file: its mark goes, and with the last
// program the lock copy).
void LeaveDataFolder(ProgramState& state);

// Everything between the file checks and the main menu: pictures, splash window, shared state,
// keyboard tables, users-file conversion, exercise font, and the 2500 ms splash pause.
void InitialiseProgram(ProgramState& state);

// The largest "Courier New" bold size from 26 down to 14 whose 79-character test line ends
// left of pixel 770 (14 at the least).
int FitExerciseFontSize();

// The splash window, shown and painted; the caller destroys it.
QWidget* OpenSplashWindow();

// The orderly end: the data folder left (the last program deletes the lock copy), pictures
// released.
void ShutdownProgram(ProgramState& state);

// The whole program: the store, file checks, start-up, the main menu and the orderly end.
// Returns the process exit code: 0, or 1 when the school's server the settings name cannot be
// used; the commands of app/commands.h return their own.
int RunProgram(int argc, char** argv);
// The same, on a state the caller holds (tests look at it while the program runs).
int RunProgram(int argc, char** argv, ProgramState& state);

}  // namespace tz
