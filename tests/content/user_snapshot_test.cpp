// The snapshot that keeps the CurrentUser safe while the lesson viewer and the custom texts
// window let the pupil type.

#include <gtest/gtest.h>

#include "content/user_snapshot.h"
#include "users/user_record.h"

namespace tz {
namespace {

UserRecord Marta() {
    UserRecord marta;
    marta.id = "ID-20240101000001";
    marta.name = "MARTA RUIZ";
    marta.level = 5;
    marta.block = 3;
    marta.exercise = 2;
    marta.averageSpeed = 118;
    marta.history = {110, 115, 120, 127, -1, -1, -1, -1, -1, -1};
    marta.mode = "FACIL";
    return marta;
}

class UserSnapshotTest : public ::testing::Test {
  protected:
    void TearDown() override {
        CurrentUser = UserRecord();
        CurrentMode = "NORMAL";
    }
};

TEST_F(UserSnapshotTest, RestorePutsBackEveryFieldAndTheMode) {
    CurrentUser = Marta();
    CurrentMode = "FACIL";
    SnapshotCurrentUser("backup");
    // What runs from the viewer do to the user in memory.
    CurrentUser.id = "ID-2";
    CurrentUser.name = "OTRO";
    CurrentUser.level = 11;
    CurrentUser.block = 2;
    CurrentUser.exercise = 4;
    CurrentUser.averageSpeed = 300;
    CurrentUser.history[4] = 75;
    CurrentUser.mode = "DIFICIL";
    CurrentMode = "DIFICIL";
    SnapshotCurrentUser("restore");
    EXPECT_EQ(CurrentUser, Marta());
    EXPECT_EQ(CurrentMode, "FACIL");
    // The snapshot stays for another restore.
    CurrentUser.level = 9;
    SnapshotCurrentUser("restore");
    EXPECT_EQ(CurrentUser, Marta());
}

TEST_F(UserSnapshotTest, WithNoUserTheModeInForceComesBackNotTheEmptyOne) {
    CurrentUser = UserRecord();
    CurrentMode = "NORMAL";
    SnapshotCurrentUser("backup");
    CurrentUser.level = 1;
    CurrentUser.block = 1;
    CurrentUser.exercise = 1;
    CurrentMode = "MUY FACIL";
    SnapshotCurrentUser("restore");
    EXPECT_EQ(CurrentUser, UserRecord());
    EXPECT_EQ(CurrentMode, "NORMAL");
}

TEST_F(UserSnapshotTest, OtherWordsDoNothing) {
    CurrentUser = Marta();
    CurrentMode = "FACIL";
    SnapshotCurrentUser("backup");
    CurrentUser.level = 20;
    for (const char* word : {"Restore", "BACKUP", "", "restaurar"}) SnapshotCurrentUser(word);
    EXPECT_EQ(CurrentUser.level, 20);
    EXPECT_EQ(UserSnapshot, Marta());
    SnapshotCurrentUser("restore");
    EXPECT_EQ(CurrentUser, Marta());
}

}  // namespace
}  // namespace tz
