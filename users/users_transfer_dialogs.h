#pragma once
// The users window's import and export: the file dialogs and the messages around the transfer.

#include <QStringList>
#include <functional>

#include "users/pupil_store.h"

namespace tz {

// Exports the users whose rows are marked (their ids in list order): asks for the file,
// writes their lines and tells how many went out, or that the file could not be written.
void ExportUsers(PupilStore& store, const QStringList& markedIds);

// Asks for a file and appends each of its users to the users file under a new id, then
// calls `reloadList` and tells how many were imported.
void ImportUsers(PupilStore& store, const std::function<void()>& reloadList);

}  // namespace tz
