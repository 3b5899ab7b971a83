#pragma once

#include <functional>

#include "app/program_state.h"
#include "update/update_window.h"

namespace tz {

// The maker's pages and address shown at start-up.
extern const char* const kMakerWebPage;
extern const char* const kSupportEmail;

// Chooses the program and data folders once (platform/folders.h), unless a test has set them,
// and tells in a message box when the data folder cannot be written; the program goes on.
void SettleFolders();

// The file checks before any window opens: the one-time marker, the lock copy left by a run
// that did not end properly, an over-large users file, and the new lock copy. Returns false
// when the user chose to end the program.
// Several programs may use one data folder (a lab on a server share, a pupil who starts the
// program twice): the recovery question, the check of the users file and the lock copy belong
// to the first program to start, and the lock copy goes with the last one to end. The checks
// put this program's mark in the folder.
bool RunFileChecks(ProgramState& state);
// Whether the program keeps its pupils in the users file of the data folder (not on a server).
bool UsesUsersFile(const ProgramState& state);
bool UsesUsersFile(const PupilStore& store);

// Puts the store the settings files name in the state (the users file when they name no
// server); false, once the pupil was told why, when the server they name cannot be used.
bool OpenStore(ProgramState& state);

// The end of this program's use of the data folder: its mark goes, and with the last program
// the lock copy.
void LeaveDataFolder(ProgramState& state);

// How long the splash stays once start-up's work is done, whatever that work took.
inline constexpr int kSplashPauseMs = 2500;

// The work start-up does under the painted splash: the shared state from its first values, the
// keyboard tables of the PC's keyboard, the users file in the current layout and the exercise
// font.
void InitialiseProgram(ProgramState& state);

// The largest "Courier New" bold size from 26 down to 14 whose 79-character test line ends
// left of pixel 770 (14 at the least).
int FitExerciseFontSize();

// The orderly end: the data folder left (the last program deletes the lock copy), pictures
// released.
void ShutdownProgram(ProgramState& state);
// The end after the update window opened the download page: nothing is saved, the data folder
// is left as an orderly end leaves it, and `end` ends the process with 0 at once.
void EndAtOnce(ProgramState& state, const std::function<void(int)>& end = EndProgramAtOnce);

// The whole program: the store, file checks, the splash and the rest of start-up, the main menu
// in the application's event loop until the pupil quits, and the orderly end.
// Returns the process exit code: 0, or 1 when the school's server the settings name cannot be
// used; the commands of app/commands.h return their own.
int RunProgram(int argc, char** argv);
// The same, on a state the caller holds (tests look at it while the program runs).
int RunProgram(int argc, char** argv, ProgramState& state);

}  // namespace tz
