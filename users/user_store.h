#pragma once
// The operations that read and change the users file and the CurrentUser.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "users/users_upgrade.h"

namespace tz {

// When the users file is missing or shorter than 20 bytes, replaces it with the UsersHeader
// and the default record; then (only in that case) waits 100 ms, lets window events be
// processed and waits 100 ms again.
void CreateDefaultUsersFile();

// Fills the CurrentUser from the last line whose id is CurrentUser.id and sets CurrentMode to
// its mode. Without such a line (or with an empty id) nothing changes.
void LoadCurrentUser();

// Rewrites the users file with the UsersHeader and every line whose id is CurrentUser.id
// replaced by the CurrentUser's line (its averageSpeed recomputed first). Returns false when
// the file could not be rewritten; it is then exactly as it was.
bool SaveCurrentUser();

// Appends a new user's line: the name (without "|", CR or LF), the level, block 1, exercise
// 1, average 0, an empty history, CurrentMode and a new id. The id is "ID-" + DateStamp, with
// a counter appended when that id already stands in the file. A missing or empty users file
// gets the UsersHeader first. Returns the new id, or empty text when nothing was written.
QString AppendNewUser(const QString& name, std::int8_t level);

// Removes every line whose id is the given one (the header line stays). An empty id removes
// nothing. Returns false when the file could not be rewritten; it is then exactly as it was.
bool DeleteUser(const QString& id);

// Enters a passed exercise's speed into CurrentUser.history.
void RecordResult(std::int16_t speed);

// Mean of the filled slots up to the first empty one; 0 for none.
std::int16_t ComputeAverageSpeed(const std::array<std::int16_t, 10>& history);

// The lines after the first of the users file, for the users window and the export.
struct UserLines {
    bool opened = false;
    QStringList lines;
};
UserLines ReadUserLines();

// Whether a line of the users file carries this id (spaces around field 17 ignored).
bool UserIdExists(const QString& id);
// The id itself when no line carries it, otherwise the id with the lowest counter 1, 2, ...
// appended that no line carries (the result stays "ID-" and digits for such an id).
QString MakeUniqueUserId(const QString& id);

}  // namespace tz
