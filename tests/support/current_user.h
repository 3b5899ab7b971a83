#pragma once
// The current user and the mode in force, held by a test as the program state holds them, with
// the user store's operations applied to them the way the screens apply them.

#include <QString>
#include <cstdint>

#include "users/user_record.h"
#include "users/user_store.h"

namespace tz::test {

class CurrentUserState {
  protected:
    UserRecord CurrentUser;
    QString CurrentMode = kDefaultMode;

    void ResetCurrentUser() {
        CurrentUser = UserRecord();
        CurrentMode = kDefaultMode;
    }
    // As choosing a row does: the user of the line with CurrentUser's id, and its mode; nothing
    // changes when no line carries the id.
    void LoadCurrentUser() {
        if (const std::optional<UserRecord> user = LoadUser(CurrentUser.id)) {
            CurrentUser = *user;
            CurrentMode = user->mode;
        }
    }
    bool SaveCurrentUser() { return static_cast<bool>(SaveUser(CurrentUser)); }
    void RecordResult(std::int16_t speed) { tz::RecordResult(CurrentUser.history, speed); }
    // A new user's line with the mode in force.
    QString AppendNewUser(const QString& name, std::int8_t level) {
        return tz::AppendNewUser(name, level, CurrentMode);
    }
};

}  // namespace tz::test
