#include "content/user_snapshot.h"

namespace tz {

UserRecord UserSnapshot;
QString UserSnapshotMode = QStringLiteral("NORMAL");

void SnapshotCurrentUser(const QString& word) {
    if (word == QLatin1String("backup")) {
        UserSnapshot = CurrentUser;
        // The mode in force is kept on its own: with no user selected it is not the user's
        // (empty) mode, and putting the user's mode back would change it.
        UserSnapshotMode = CurrentMode;
    } else if (word == QLatin1String("restore")) {
        CurrentUser = UserSnapshot;
        CurrentMode = UserSnapshotMode;
    }
}

}  // namespace tz
