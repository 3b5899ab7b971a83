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

TEST(UserSnapshot, PutsBackEveryFieldAndTheModeOnEveryWayOut) {
    UserRecord CurrentUser = Marta();
    QString CurrentMode = "FACIL";
    {
        const UserSnapshot snapshot(CurrentUser, CurrentMode);
        EXPECT_EQ(snapshot.User(), Marta());
        EXPECT_EQ(snapshot.Mode(), "FACIL");
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
    }
    EXPECT_EQ(CurrentUser, Marta());
    EXPECT_EQ(CurrentMode, "FACIL");

    // Nested, as a custom text's run inside the custom texts window: each puts back its own.
    {
        const UserSnapshot window(CurrentUser, CurrentMode);
        CurrentUser.level = 9;
        {
            const UserSnapshot run(CurrentUser, CurrentMode);
            CurrentUser.level = 1;
            CurrentMode = "MUY FACIL";
        }
        EXPECT_EQ(CurrentUser.level, 9);
        EXPECT_EQ(CurrentMode, "FACIL");
    }
    EXPECT_EQ(CurrentUser, Marta());

    // A way out by an exception puts the user back as well.
    try {
        const UserSnapshot snapshot(CurrentUser, CurrentMode);
        CurrentUser.level = 20;
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(CurrentUser, Marta());
}

TEST(UserSnapshot, WithNoUserTheModeInForceComesBackNotTheEmptyOne) {
    UserRecord CurrentUser;
    QString CurrentMode = "NORMAL";
    {
        const UserSnapshot snapshot(CurrentUser, CurrentMode);
        CurrentUser.level = 1;
        CurrentUser.block = 1;
        CurrentUser.exercise = 1;
        CurrentMode = "MUY FACIL";
    }
    EXPECT_EQ(CurrentUser, UserRecord());
    EXPECT_EQ(CurrentMode, "NORMAL");
}

}  // namespace
}  // namespace tz
