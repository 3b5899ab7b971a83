#pragma once
// The operations that read and change the users file (the file store's own, FileStore serves
// them through the store's interface). They take the pupils they work on as UserRecords and
// return what they read; none of them shows a window or waits for events.

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "users/pupil_store.h"
#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

// When the users file is missing or shorter than 20 bytes, replaces it with the UsersHeader
// and the default record.
void CreateDefaultUsersFile();

// Every pupil of the users file, in its order, each with the id her line carries.
PupilList ReadPupils();

// The user of the last line whose id is `id`; nothing for an empty id or when no line carries
// it (or the file cannot be read).
std::optional<UserRecord> LoadUser(const QString& id);

// Rewrites the users file with the UsersHeader and every line whose id is user.id replaced by
// the user's line, its averageSpeed recomputed first (the other lines as they stand in the file
// at that moment). When it could not be rewritten (or another program held it too long) the
// file is exactly as it was.
WriteResult SaveUser(UserRecord& user);

// Appends a new user's line: the name (through CleanUserName; a name left without anything
// but spaces is refused), the level, block 1, exercise 1, average 0, an empty history, the
// mode and a new id, which no pupil of the file nor any deleted one has. A missing or empty
// users file gets the UsersHeader first. Returns the new id, or empty text when nothing was
// written; `outcome` tells why (another program held the file too long, or it cannot be
// written).
QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                      WriteOutcome* outcome = nullptr);

// Removes every line whose id is the given one (the header line stays). An empty id removes
// nothing. When the file could not be rewritten it is exactly as it was.
WriteResult DeleteUser(const QString& id);

// Appends the pupils to the users file, each under an imported pupil's id drawn against the
// ids the file and the deleted pupils hold inside the lock; a pupil exactly as one of the
// deleted pupils was gets her figures back. Nothing is imported when the users file cannot be
// read or written, or another program held it too long.
ImportResult ImportIntoUsersFile(const QList<UserRecord>& pupils);

// Enters a passed exercise's speed into a ResultsHistory: the first empty slot, or the last
// one after the others moved down when the history is full. A negative speed counts as 0.
void RecordResult(std::array<std::int16_t, 10>& history, std::int16_t speed);

// Mean of the filled slots up to the first empty one; 0 for none.
std::int16_t ComputeAverageSpeed(const std::array<std::int16_t, 10>& history);

}  // namespace tz
