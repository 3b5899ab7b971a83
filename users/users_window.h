#pragma once
// The users window: the list of every user, where the CurrentUser is chosen, and from where
// users are added, deleted, imported and exported.

#include <QString>
#include <functional>

#include "users/pupil_store.h"
#include "users/user_record.h"

class QWidget;

namespace tz {

enum UsersWindowControl {
    kUsersListId = 45,
    kUsersAddId = 46,
    kUsersDeleteId = 47,
    kUsersCancelId = 48,
    kUsersAcceptId = 49,
    kUsersImportId = 50,
    kUsersExportId = 51,
    kUsersReportId = 52,
};

// Columns of the users list; the id column is hidden and ties a row to its line.
enum UsersListColumn {
    kNameColumn = 0,
    kSpeedColumn = 1,
    kLevelColumn = 2,
    kBlockColumn = 3,
    kModeColumn = 4,
    kIdColumn = 5,
};

// Shows the users window over `owner` (the main menu; may be null), which is disabled
// meanwhile, and returns when it closes. The pupils are those of `store`. A user chosen there
// (Accept, Enter or a double-click on a row) is loaded into `currentUser` and `currentMode`; Escape
// and Cancel leave both as they were. Deleting the current user empties its name and id (no user
// selected). `classReport`, when given, is what the "Informe de la clase" button does.
void RunUsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser,
                    QString& currentMode, const std::function<void(PupilStore&)>& classReport = {});

}  // namespace tz
