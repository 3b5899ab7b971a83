#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/safe_files.h"
#include "tests/users/users_screen_helpers.h"
#include "users/users_file.h"

namespace tz {
namespace {

using test::ClickControl;
using test::ClickRow;
using test::ColumnTexts;
using test::SelectedRowOf;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kAna = "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
const QByteArray kLuis = "LUIS|12|3|2|210|200|220|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002";
const QByteArray kEva = "EVA|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-20240101000003";
const QByteArray kThree = kHeader + kAna + "\r\n" + kLuis + "\r\n" + kEva + "\r\n";

class UsersWindowTest : public test::UsersScreenTest {
  protected:
    void ChooseLuisBeforehand() {
        CurrentUser.id = "ID-20240101000002";
        LoadCurrentUser();
        CurrentMode = "MUY FACIL";  // as a lesson viewer run may leave it; must survive
    }
};

bool Enabled(QWidget* window, int id) {
    return FindControl(window, id)->isEnabled();
}

TEST_F(UsersWindowTest, AnEmptyClassShowsTheWindowWithNothingToChooseOrDelete) {
    WriteUsers(kHeader);
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(window->size(), QSize(596, 310));
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(window->focusWidget(), list);
        EXPECT_EQ(test::ControlsWithoutNames(window), QStringList());
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(Enabled(window, kUsersAcceptId));
        EXPECT_FALSE(Enabled(window, kUsersDeleteId));
        EXPECT_TRUE(Enabled(window, kUsersAddId));
        // Disabled buttons take no click; Export with no rows shows nothing.
        for (const int id : {kUsersAcceptId, kUsersDeleteId, kUsersExportId})
            ClickControl(window, id);
        EXPECT_TRUE(AskedDialogs().empty());
        QTest::keyClick(list, Qt::Key_Return);  // Enter without a row just leaves
    });
    EXPECT_EQ(Users(), kHeader);  // 24 bytes: no default record
    EXPECT_EQ(CurrentUser, UserRecord{});
    EXPECT_TRUE(owner_.isEnabled());
}

// A users file the program cannot read is no empty class: the teacher is told, and nothing is
// written over it (not the default record, not a new pupil, not an import).
TEST_F(UsersWindowTest, AnUnreadableUsersFileIsToldAndNothingWritesOverIt) {
    const auto openTold = [this] {
        OpenAndThen([](QWidget* window, QTreeWidget* list) {
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{false, DialogIcon::Exclamation}));
            EXPECT_EQ(list->topLevelItemCount(), 0);
            EXPECT_FALSE(Enabled(window, kUsersAddId));
            EXPECT_FALSE(Enabled(window, kUsersImportId));
            test::SaveScreen(window, "users_window_unreadable");
            QTest::keyClick(list, Qt::Key_Escape);
        });
        ClearDialogs();
    };
#ifndef _WIN32
    // A link (Windows' are tested in windows_files_test, QFile::link makes a shortcut there).
    WriteBytes("otro.dat", "Datos\r\n");
    ASSERT_TRUE(QFile::link(Path("otro.dat"), Path("usuarios.dat")));
    openTold();
    EXPECT_TRUE(QFileInfo(Path("usuarios.dat")).isSymLink());
    EXPECT_EQ(ReadBytes("otro.dat"), "Datos\r\n");
    RemoveFile(Path("usuarios.dat"));
#endif

    // Far larger than any school's users file.
    QFile large(Path("usuarios.dat"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(kUsersFileCap + 1));
    large.close();
    openTold();
    EXPECT_EQ(FileSize(Path("usuarios.dat")), kUsersFileCap + 1);
}

TEST_F(UsersWindowTest, AMissingUsersFileGetsTheDefaultPupil) {
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(ColumnTexts(list, kNameColumn), QStringList{"VANTOMERK SOFT"});
        EXPECT_EQ(ColumnTexts(list, kIdColumn), QStringList{"ID-20240305090507"});
        EXPECT_TRUE(Enabled(window, kUsersAcceptId));
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_TRUE(Users().startsWith(kHeader + "VANTOMERK SOFT|100|1|1|360|"));
}

TEST_F(UsersWindowTest, TheListShowsEachPupilAsSheIsChosen) {
    // A mode with spaces around is hers when she is chosen, and shows so; numbers show as the
    // program reads them; of two rows with the current user's id the later one is selected.
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n\r\n" +
               "PEPA|07|2|3|095|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1| FACIL |  ID-9  \r\n" + kLuis +
               "\r\n");
    CurrentUser.id = "ID-20240101000002";
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(list->geometry(), QRect(10, 10, 575, 230));
        const QList<QRect> places = {{10, 250, 50, 50},  {75, 250, 50, 50},   {470, 250, 50, 50},
                                     {535, 250, 50, 50}, {185, 245, 105, 25}, {300, 245, 105, 25}};
        for (int id = kUsersAddId; id <= kUsersExportId; ++id)
            EXPECT_EQ(FindControl(window, id)->geometry(), places[id - kUsersAddId]) << id;
        EXPECT_TRUE(list->isColumnHidden(kIdColumn));
        const int widths[] = {250, 115, 50, 55, 80};
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(list->columnWidth(column), widths[column]);
        EXPECT_EQ(list->palette().color(QPalette::Base), QColor(81, 74, 51));

        EXPECT_EQ(ColumnTexts(list, kSpeedColumn),
                  (QStringList{"0 p.p.m.", "210 p.p.m.", "95 p.p.m.", "210 p.p.m."}));
        EXPECT_EQ(ColumnTexts(list, kLevelColumn), (QStringList{"6", "12", "7", "12"}));
        EXPECT_EQ(ColumnTexts(list, kModeColumn),
                  (QStringList{"FACIL", "NORMAL", "FACIL", "NORMAL"}));
        EXPECT_EQ(SelectedRowOf(list), 3);
        // Letters choose nothing; PEPA's row, with the spaces around her id, chooses her.
        QTest::keyClick(list, 'p');
        EXPECT_EQ(SelectedRowOf(list), 3);
        ClickRow(list, 2);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(CurrentUser.name, "PEPA");
    EXPECT_EQ(CurrentUser.id, "ID-9");
    EXPECT_EQ(CurrentMode, "FACIL");
}

TEST_F(UsersWindowTest, EachWayOutChoosesTheSelectedRowOrNobody) {
    WriteUsers(kThree);
    using Act = std::function<void(QWidget*, QTreeWidget*)>;
    const struct {
        Act act;
        const char* chosen;  // nullptr: the current user stays LUIS in MUY FACIL
        const char* mode;
    } cases[] = {
        {[](QWidget*, QTreeWidget* list) { QTest::keyClick(list, Qt::Key_Escape); }, nullptr, ""},
        {[](QWidget* w, QTreeWidget*) { ClickControl(w, kUsersCancelId); }, nullptr, ""},
        {[](QWidget* w, QTreeWidget*) { w->close(); }, nullptr, ""},
        {[](QWidget* w, QTreeWidget*) { ClickControl(w, kUsersAcceptId); }, "ANA", "FACIL"},
        {[](QWidget*, QTreeWidget* list) { QTest::keyClick(list, Qt::Key_Return); }, "ANA",
         "FACIL"},
        {[](QWidget*, QTreeWidget* list) { test::DoubleClickRow(list, 0); }, "ANA", "FACIL"},
    };
    for (const auto& c : cases) {
        ChooseLuisBeforehand();
        const UserRecord luis = CurrentUser;
        OpenAndThen([&c](QWidget* window, QTreeWidget* list) {
            EXPECT_EQ(SelectedRowOf(list), 1);  // the current user's row
            ClickRow(list, 2);
            ClickRow(list, 0);
            c.act(window, list);
        });
        if (!c.chosen) {
            EXPECT_EQ(CurrentUser, luis);
            EXPECT_EQ(CurrentMode, "MUY FACIL");
            continue;
        }
        EXPECT_EQ(CurrentUser.name, c.chosen);
        EXPECT_EQ(CurrentUser.id, "ID-20240101000001");
        EXPECT_EQ(CurrentUser.level, 6);
        EXPECT_EQ(CurrentMode, c.mode);
    }
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(UsersWindowTest, ChoosingAPupilWhoseLineHasGoneKeepsTheCurrentUser) {
    WriteUsers(kThree);
    ChooseLuisBeforehand();
    const UserRecord before = CurrentUser;
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        // Another program removed EVA's line while the list was shown.
        WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n");
        ClickRow(list, 2);
        ClickControl(window, kUsersAcceptId);
        ASSERT_EQ(AskedDialogs().size(), 1u);
        EXPECT_EQ(test::UsersWindowOnScreen(), window);
        EXPECT_EQ(ColumnTexts(list, kNameColumn), (QStringList{"ANA", "LUIS"}));
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "MUY FACIL");
}

TEST_F(UsersWindowTest, DeleteAsksThenRemovesThePupilAndClearsTheCurrentUserWhenItWasHer) {
    WriteUsers(kThree);
    ChooseLuisBeforehand();
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        ClickRow(list, 0);
        QueueAnswer(Answer::No);
        ClickControl(window, kUsersDeleteId);
        ASSERT_EQ(AskedDialogs().size(), 1u);
        EXPECT_EQ(AskedDialogs()[0].text,
                  QString::fromUtf8("ANA se Borrará de la lista, está seguro?"));
        EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{true, DialogIcon::Question}));
        EXPECT_EQ(Users(), kThree);

        // Yes removes another user: the current user stays.
        QueueAnswer(Answer::Yes);
        ClickControl(window, kUsersDeleteId);
        EXPECT_EQ(ColumnTexts(list, kNameColumn), (QStringList{"LUIS", "EVA"}));
        EXPECT_EQ(SelectedRowOf(list), 0);
        EXPECT_EQ(Users(), kHeader + kLuis + "\r\n" + kEva + "\r\n");
        EXPECT_EQ(CurrentUser.name, "LUIS");

        // Deleting the current user leaves no user selected.
        QueueAnswer(Answer::Yes);
        ClickControl(window, kUsersDeleteId);
        EXPECT_EQ(Users(), kHeader + kEva + "\r\n");
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_TRUE(CurrentUser.id.isEmpty());
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_TRUE(CurrentUser.id.isEmpty());
}

TEST_F(UsersWindowTest, ADeleteThatCannotBeWrittenKeepsTheRowAndSaysWhy) {
    WriteUsers(kThree);
    ChooseLuisBeforehand();
    const UserRecord before = CurrentUser;
    const auto deleteLuis = [this](const std::function<void(const QString&)>& told) {
        OpenAndThen([&told](QWidget* window, QTreeWidget* list) {
            QueueAnswer(Answer::Yes);
            ClickControl(window, kUsersDeleteId);
            EXPECT_EQ(list->topLevelItemCount(), 3);
            told(AskedDialogs().back().text);
            QTest::keyClick(list, Qt::Key_Escape);
        });
        EXPECT_EQ(Users(), kThree);
    };
    // The new file can never take the old one's place: every rewrite fails.
    SetMoveOnce([](const QString&, const QString&) { return MoveStep::Failed; });
    deleteLuis(
        [](const QString& told) { EXPECT_TRUE(told.startsWith("No se pudo eliminar a LUIS")); });
    SetMoveOnce({});
    EXPECT_EQ(CurrentUser, before);

    // A lock file no account can open is what is told, not a users file that cannot be
    // written.
    RemoveFile(Path(kUsersLockName));
    ASSERT_TRUE(QDir().mkdir(Path(kUsersLockName)));
    deleteLuis([](const QString& told) {
        EXPECT_TRUE(told.contains(kUsersLockName)) << told.toStdString();
        EXPECT_FALSE(told.contains("no se puede escribir")) << told.toStdString();
    });
}

}  // namespace
}  // namespace tz
