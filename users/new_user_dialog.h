#pragma once
// The dialog that adds a user: full name, starting level and difficulty mode.

#include <QString>

class QWidget;

#include "users/pupil_store.h"

namespace tz {

enum NewUserDialogControl {
    kNewUserCancelId = 100,
    kNewUserAcceptId = 101,
    kNewUserNameFrameId = 102,
    kNewUserNameCaptionId = 103,
    kNewUserNameId = 104,
    kNewUserLevelFrameId = 105,
    kNewUserLevelCaptionId = 106,
    kNewUserFirstLevelId = 107,
    kNewUserSlowTypistId = 108,
    kNewUserGoodTypistId = 109,
    kNewUserModeFrameId = 110,
    kNewUserModeCaptionId = 111,
    kNewUserNormalId = 112,
    kNewUserVeryEasyId = 113,
    kNewUserEasyId = 114,
    kNewUserHardId = 115,
};

// Shows the dialog over `owner` (the users window; may be null), disabled meanwhile, and
// returns when it closes. On acceptance the new user is added to `store` and her id is
// returned; Escape and Cancel return empty text and change nothing.
// The current user and the mode in force are left as they were: the new user is chosen in the users
// window like any other.
QString RunNewUserDialog(QWidget* owner, PupilStore& store);

}  // namespace tz
