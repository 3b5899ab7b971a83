#pragma once
// The users file at the program's start and end. Several programs may use one data folder (a
// lab on a server share, a pupil who starts the program twice): the recovery question, the
// check of the users file and the lock copy belong to the first program to start, and the lock
// copy goes with the last one to end.

#include <QString>
#include <memory>

#include "users/live_programs.h"

namespace tz {

// Where a teacher may send a damaged users file.
inline const QString kSupportEmail = QStringLiteral("soporte@tipenzo.es");

// Before any window opens: puts this program's mark in the data folder (`presence`) and, as
// the only program there, offers back the lock copy left by a run that did not end properly
// (only for a missing or damaged users file), asks about an over-large damaged one and makes
// the new lock copy. False when the pupil chose to end the program.
bool CheckUsersFileAtStart(std::unique_ptr<ProgramPresence>& presence);

// This program's mark goes; the last program to leave deletes the lock copy.
void LeaveUsersFile(std::unique_ptr<ProgramPresence>& presence);

}  // namespace tz
