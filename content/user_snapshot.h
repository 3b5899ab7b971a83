#pragma once
// A copy of the CurrentUser taken before the lesson viewer and the custom texts window let the
// pupil type exercises, and put back afterwards, so that those exercises leave the user's
// course position, history and mode as they were.

#include <QString>

#include "users/user_record.h"

namespace tz {

// The copy: every field of the CurrentUser, and the mode that was in force with it.
extern UserRecord UserSnapshot;
extern QString UserSnapshotMode;

// "backup" copies the CurrentUser and CurrentMode into the snapshot; "restore" copies them
// back. Any other word does nothing.
void SnapshotCurrentUser(const QString& word);

}  // namespace tz
