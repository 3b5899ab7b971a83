// The users window and the new-user dialog as a teacher meets them, with pictures of both.

#include <QRegularExpression>

#include "platform/dialogs.h"
#include "tests/users/users_screen_helpers.h"

namespace tz {
namespace {

using test::ClickControl;
using test::ColumnTexts;
using test::SelectedRowOf;
using test::TypeText;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";

class UsersScreensTest : public test::UsersScreenTest {};

TEST_F(UsersScreensTest, FirstUserIsAddedThenChosen) {
    // As after the first start: a users file that holds only its header.
    WriteUsers(kHeader);
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        test::SaveScreen(window, "users_window_empty");
        test::AddThrough(window, [](QWidget* dialog, QWidget* name) {
            TypeText(name, QString::fromUtf8("  ana pérez "));
            ClickControl(dialog, kNewUserGoodTypistId);
            ClickControl(dialog, kNewUserHardId);
            test::SaveScreen(dialog, "new_user_dialog");
            ClickControl(dialog, kNewUserAcceptId);
        });
        const QRegularExpression line(QString::fromUtf8(
            "^Datos de Usuarios v2.6\\r\\nANA PÉREZ\\|10\\|1\\|1\\|0\\|(-1\\|){10}DIFICIL\\|"
            "ID-\\d{14}\\r\\n$"));
        EXPECT_TRUE(line.match(QString::fromUtf8(Users())).hasMatch()) << Users().toStdString();
        // Not chosen yet: the current user and the mode in force are as they were, and her
        // row waits selected for Accept.
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_EQ(CurrentMode, "NORMAL");
        EXPECT_EQ(ColumnTexts(list, kModeColumn), QStringList{"DIFICIL"});
        EXPECT_EQ(SelectedRowOf(list), 0);
        EXPECT_EQ(window->focusWidget(), list);
        ClickControl(window, kUsersAcceptId);
    });
    EXPECT_EQ(CurrentUser.name, QString::fromUtf8("ANA PÉREZ"));
    EXPECT_TRUE(CurrentUser.id.startsWith("ID-20240305090507"));
    EXPECT_EQ(CurrentUser.level, 10);
    EXPECT_EQ(CurrentMode, "DIFICIL");
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(UsersScreensTest, AddingAUserKeepsTheChosenOneSelectedAndChosen) {
    // Marta is not on the first row: the selection shows her row, not simply the first.
    WriteUsers(
        kHeader + "ANA GIL|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000000\r\n" +
        "MARTA RUIZ|4|2|3|118|110|115|120|127|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001\r\n");
    CurrentUser.id = "ID-20240101000001";
    LoadCurrentUser();
    const UserRecord marta = CurrentUser;
    for (const int selected : {1, 0}) {
        OpenAndThen([selected](QWidget* window, QTreeWidget* list) {
            test::AddThrough(window, [](QWidget* dialog, QWidget* name) {
                TypeText(name, "pablo");
                ClickControl(dialog, kNewUserAcceptId);
            });
            EXPECT_EQ(SelectedRowOf(list), selected);
            ClickControl(window, kUsersCancelId);
        });
        EXPECT_EQ(CurrentUser, selected ? marta : UserRecord());
        // With nobody chosen, the first row is selected after an addition.
        CurrentUser = UserRecord();
        clock_.Advance(1000);
    }
    EXPECT_EQ(CurrentMode, "FACIL");
    EXPECT_EQ(Users().count("\r\nPABLO|1|1|1|0|"), 2);
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
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(SelectedRowOf(list), 1);
        test::ToggleMark(list, 3);
        test::ToggleMark(list, 5);
        test::ClickRow(list, 1);
        EXPECT_EQ(test::ControlsWithoutNames(window), QStringList());
        test::SaveScreen(window, "users_window");
        QTest::keyClick(list, Qt::Key_Escape);
    });
}

}  // namespace
}  // namespace tz
