// The users window and the new-user dialog as a teacher meets them, with pictures of both.

#include <QRegularExpression>

#include "platform/dialogs.h"
#include "tests/users/users_screen_helpers.h"
#include "users/new_user_dialog.h"
#include "users/user_store.h"

namespace tz {
namespace {

using test::ClickControl;
using test::ClickRow;
using test::ColumnTexts;
using test::NewUserDialogOnScreen;
using test::SelectedRowOf;
using test::TypeText;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";

class UsersScreensTest : public test::UsersScreenTest {};

TEST_F(UsersScreensTest, FirstUserIsAddedThenChosen) {
    // As after the first start: a users file that holds only its header.
    WriteUsers(kHeader);
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(FindControl(window, kUsersAcceptId)->isEnabled());
        EXPECT_FALSE(FindControl(window, kUsersDeleteId)->isEnabled());
        test::SaveScreen(window, "users_window_empty");
        ClickControl(window, kUsersAddId);

        AppendInputStep([this, window] {
            QWidget* dialog = NewUserDialogOnScreen();
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(window->isEnabled());
            QWidget* name = FindControl(dialog, kNewUserNameId);
            TypeText(name, QString::fromUtf8("  ana pérez "));
            ClickControl(dialog, kNewUserGoodTypistId);
            ClickControl(dialog, kNewUserHardId);
            test::SaveScreen(dialog, "new_user_dialog");
            ClickControl(dialog, kNewUserAcceptId);

            AppendInputStep([this, window] {
                EXPECT_EQ(NewUserDialogOnScreen(), nullptr);
                EXPECT_TRUE(window->isEnabled());
                const QString users = QString::fromUtf8(Users());
                const QRegularExpression line(QString::fromUtf8(
                    "^Datos de Usuarios v2.6\\r\\nANA PÉREZ\\|10\\|1\\|1\\|0\\|-1\\|-1\\|-1\\|-1\\|"
                    "-1\\|-1\\|-1\\|-1\\|-1\\|-1\\|DIFICIL\\|ID-\\d{14}\\r\\n$"));
                EXPECT_TRUE(line.match(users).hasMatch()) << users.toStdString();
                // Not chosen yet: the CurrentUser and the mode in force are as they were,
                // and her row waits selected for Accept.
                EXPECT_TRUE(CurrentUser.name.isEmpty());
                EXPECT_EQ(CurrentMode, "NORMAL");
                QTreeWidget* list = test::UsersListOf(window);
                EXPECT_EQ(ColumnTexts(list, kNameColumn),
                          QStringList{QString::fromUtf8("ANA PÉREZ")});
                EXPECT_EQ(ColumnTexts(list, kModeColumn), QStringList{"DIFICIL"});
                EXPECT_EQ(SelectedRowOf(list), 0);
                EXPECT_TRUE(FindControl(window, kUsersAcceptId)->isEnabled());
                ClickControl(window, kUsersAcceptId);
            });
        });
    });
    EXPECT_EQ(CurrentUser.name, QString::fromUtf8("ANA PÉREZ"));
    EXPECT_TRUE(CurrentUser.id.startsWith("ID-20240305090507"));
    EXPECT_EQ(CurrentUser.level, 10);
    EXPECT_EQ(CurrentUser.block, 1);
    EXPECT_EQ(CurrentUser.exercise, 1);
    EXPECT_EQ(CurrentUser.mode, "DIFICIL");
    EXPECT_EQ(CurrentMode, "DIFICIL");
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(UsersScreensTest, AddingAUserWhileAnotherIsChosenLeavesHerChosen) {
    // Marta is not on the first row: the selection shows her row, not simply the first.
    WriteUsers(
        kHeader + "ANA GIL|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000000\r\n" +
        "MARTA RUIZ|4|2|3|118|110|115|120|127|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001\r\n");
    CurrentUser.id = "ID-20240101000001";
    LoadCurrentUser();
    const UserRecord marta = CurrentUser;
    OpenAndThen([](QWidget* window, QTreeWidget*) {
        ClickControl(window, kUsersAddId);
        AppendInputStep([window] {
            QWidget* dialog = NewUserDialogOnScreen();
            ASSERT_NE(dialog, nullptr);
            TypeText(FindControl(dialog, kNewUserNameId), "pablo");
            ClickControl(dialog, kNewUserVeryEasyId);
            ClickControl(dialog, kNewUserAcceptId);
            AppendInputStep([window] {
                QTreeWidget* list = test::UsersListOf(window);
                // The reloaded list selects the pupil chosen before, not the new one.
                EXPECT_EQ(SelectedRowOf(list), 1);
                EXPECT_EQ(list->topLevelItemCount(), 3);
                ClickControl(window, kUsersCancelId);
            });
        });
    });
    // Cancel after adding: Marta is still the one chosen, with her own mode in force.
    EXPECT_EQ(CurrentUser, marta);
    EXPECT_EQ(CurrentMode, "FACIL");
    EXPECT_TRUE(
        Users().endsWith("PABLO|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|"
                         "ID-20240305090507\r\n"));

    // With nobody chosen, the first row is selected after an addition.
    CurrentUser = UserRecord();
    OpenAndThen([](QWidget* window, QTreeWidget*) {
        ClickControl(window, kUsersAddId);
        AppendInputStep([window] {
            QWidget* dialog = NewUserDialogOnScreen();
            ASSERT_NE(dialog, nullptr);
            TypeText(FindControl(dialog, kNewUserNameId), "lucia");
            ClickControl(dialog, kNewUserAcceptId);
            AppendInputStep([window] {
                QTreeWidget* list = test::UsersListOf(window);
                EXPECT_EQ(list->topLevelItemCount(), 4);
                EXPECT_EQ(SelectedRowOf(list), 0);
                ClickControl(window, kUsersCancelId);
            });
        });
    });
    EXPECT_TRUE(CurrentUser.name.isEmpty());
}

TEST_F(UsersScreensTest, UsersWindowWithAClass) {
    WriteUsers(kHeader +
               "MARTA RUIZ GONZÁLEZ|4|2|3|118|110|115|120|127|-1|-1|-1|-1|-1|-1|FACIL|ID-1\r\n"
               "PABLO SERRANO|12|1|5|164|150|160|170|175|165|-1|-1|-1|-1|-1|NORMAL|ID-2\r\n"
               "LUCÍA FERNÁNDEZ DÍAZ|1|3|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|ID-3\r\n"
               "JORGE MARTÍN|22|4|2|241|230|235|240|245|250|238|242|246|244|240|DIFICIL|ID-4\r\n"
               "ANA PÉREZ|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-5\r\n"
               "IÑAKI ETXEBERRIA|6|2|4|96|90|95|98|101|-1|-1|-1|-1|-1|-1|NORMAL|ID-6\r\n"
               "SOFÍA NAVARRO|8|1|2|133|130|136|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-7\r\n");
    CurrentUser.id = "ID-2";
    LoadCurrentUser();
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(list->topLevelItemCount(), 7);
        EXPECT_EQ(SelectedRowOf(list), 1);
        test::ToggleMark(list, 3);
        test::ToggleMark(list, 5);
        ClickRow(list, 1);
        test::SaveScreen(window, "users_window");
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_EQ(CurrentUser.name, "PABLO SERRANO");
}

}  // namespace
}  // namespace tz
