#pragma once
// A copy of the current user taken before the lesson viewer and the custom texts window let the
// pupil type exercises, and put back afterwards, so that those exercises leave the user's
// course position, history and mode as they were.

#include <QString>

#include "users/user_record.h"

namespace tz {

// Takes the copy when made ("backup") and puts it back when it goes ("restore"), on every way
// out of the scope that holds it.
class UserSnapshot {
  public:
    UserSnapshot(UserRecord& currentUser, QString& currentMode)
        : currentUser_(currentUser),
          currentMode_(currentMode),
          user_(currentUser),
          // The mode in force is kept on its own: with no user selected it is not the user's
          // (empty) mode, and putting the user's mode back would change it.
          mode_(currentMode) {}
    ~UserSnapshot() {
        currentUser_ = user_;
        currentMode_ = mode_;
    }
    UserSnapshot(const UserSnapshot&) = delete;
    UserSnapshot& operator=(const UserSnapshot&) = delete;

    const UserRecord& User() const { return user_; }
    const QString& Mode() const { return mode_; }

  private:
    UserRecord& currentUser_;
    QString& currentMode_;
    const UserRecord user_;
    const QString mode_;
};

}  // namespace tz
