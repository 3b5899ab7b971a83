#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>

#include "app/picture_registry.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/safe_files.h"
#include "support.h"
#include "tests/users/users_screen_helpers.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_window.h"

namespace tz {
namespace {

using test::ClickControl;
using test::ClickRow;
using test::ColumnTexts;
using test::SelectedRowOf;
using test::UsersListOf;
using test::UsersWindowOnScreen;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kAna = "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
const QByteArray kLuis = "LUIS|12|3|2|210|200|220|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002";
const QByteArray kEva = "EVA|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-20240101000003";

class UsersWindowTest : public test::UsersScreenTest {
  protected:
    void WriteThreeUsers() { WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n" + kEva + "\r\n"); }
    void ChooseLuisBeforehand() {
        CurrentUser.id = "ID-20240101000002";
        LoadCurrentUser();
        CurrentMode = "MUY FACIL";  // as a lesson viewer run may leave it; must survive
    }
};

bool Enabled(QWidget* window, int id) {
    QWidget* control = FindControl(window, id);
    return control && control->isEnabled();
}

TEST_F(UsersWindowTest, HeaderOnlyFileShowsAnEmptyListWithAcceptAndDeleteDisabled) {
    WriteUsers(kHeader);
    const qint64 before = clock_.milliseconds;
    OpenAndThen([&](QWidget* window, QTreeWidget* list) {
        EXPECT_LT(clock_.milliseconds - before, 200);  // no new file, no pause for it
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(Enabled(window, kUsersAcceptId));
        EXPECT_FALSE(Enabled(window, kUsersDeleteId));
        EXPECT_TRUE(Enabled(window, kUsersAddId));
        EXPECT_TRUE(Enabled(window, kUsersCancelId));
        // Disabled buttons take no click; Export with no rows shows nothing.
        ClickControl(window, kUsersAcceptId);
        ClickControl(window, kUsersDeleteId);
        ClickControl(window, kUsersExportId);
        AppendInputStep([window] {
            EXPECT_EQ(UsersWindowOnScreen(), window);
            EXPECT_TRUE(AskedDialogs().empty());
            QTest::keyClick(window, Qt::Key_Return);  // Enter without a row just leaves
        });
    });
    EXPECT_EQ(Users(), kHeader);  // 24 bytes: no default record
    EXPECT_TRUE(AskedDialogs().empty());
    EXPECT_EQ(CurrentUser, UserRecord{});
}

// A users file the program cannot read is no empty class: the teacher is told, and nothing is
// written over it (not the default record, not a new pupil, not an import).
TEST_F(UsersWindowTest, AnUnreadableUsersFileIsToldAndNothingWritesOverIt) {
    WriteBytes("otro.dat", "Datos\r\n");
    ASSERT_TRUE(QFile::link(Path("otro.dat"), Path("usuarios.dat")));
    const auto openTold = [this] {
        OpenAndThen([](QWidget* window, QTreeWidget* list) {
            QTest::keyClick(list, Qt::Key_Escape);
            EXPECT_EQ(list->topLevelItemCount(), 0);
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{false, DialogIcon::Exclamation}));
            EXPECT_FALSE(Enabled(window, kUsersAddId));
            EXPECT_FALSE(Enabled(window, kUsersImportId));
            test::SaveScreen(window, "users_window_unreadable");
        });
        ClearDialogs();
    };
    openTold();
    EXPECT_TRUE(QFileInfo(Path("usuarios.dat")).isSymLink());
    EXPECT_EQ(ReadBytes("otro.dat"), "Datos\r\n");

    // Far larger than any school's users file.
    RemoveFile(Path("usuarios.dat"));
    QFile large(Path("usuarios.dat"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(kUsersFileCap + 1));
    large.close();
    openTold();
    EXPECT_EQ(FileSize(Path("usuarios.dat")), kUsersFileCap + 1);
}

TEST_F(UsersWindowTest, MissingUsersFileGetsTheDefaultRecord) {
    const qint64 before = clock_.milliseconds;
    OpenAndThen([&](QWidget* window, QTreeWidget* list) {
        // The new file is given 200 ms to settle before it is listed.
        EXPECT_GE(clock_.milliseconds - before, 200);
        EXPECT_EQ(ColumnTexts(list, kNameColumn), QStringList{"VANTOMERK SOFT"});
        EXPECT_EQ(ColumnTexts(list, kSpeedColumn), QStringList{"360 p.p.m."});
        EXPECT_EQ(ColumnTexts(list, kLevelColumn), QStringList{"100"});
        EXPECT_EQ(ColumnTexts(list, kIdColumn), QStringList{"ID-20240305090507"});
        EXPECT_EQ(SelectedRowOf(list), 0);
        EXPECT_TRUE(Enabled(window, kUsersAcceptId));
        EXPECT_TRUE(Enabled(window, kUsersDeleteId));
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_TRUE(Users().startsWith(kHeader + "VANTOMERK SOFT|100|1|1|360|"));
}

TEST_F(UsersWindowTest, WindowListAndButtonsAreBuiltAsDesigned) {
    // Numbers show as they stand in the file; a mode with spaces around shows as NORMAL;
    // of two rows with the CurrentUser's id the later one is selected; blank lines hold no user.
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n\r\n" +
               "PEPA|07|2|3|095|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1| FACIL |  ID-9  \r\n" + kLuis +
               "\r\n");
    CurrentUser.id = "ID-20240101000002";
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(window->size(), QSize(596, 310));
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(list->geometry(), QRect(10, 10, 575, 230));
        EXPECT_EQ(window->focusWidget(), list);
        struct Expected {
            int id;
            QRect geometry;
            const char* tip;
        };
        const Expected buttons[] = {
            {kUsersAddId, {10, 250, 50, 50}, "Añade un Usuario"},
            {kUsersDeleteId, {75, 250, 50, 50}, "Elimina Usuario seleccionado"},
            {kUsersCancelId, {470, 250, 50, 50}, "Cancelar operación"},
            {kUsersAcceptId, {535, 250, 50, 50}, "Aceptar Nuevo Usuario"},
            {kUsersImportId, {185, 245, 105, 25}, ""},
            {kUsersExportId, {300, 245, 105, 25}, ""},
        };
        for (const Expected& button : buttons) {
            QWidget* control = FindControl(window, button.id);
            ASSERT_NE(control, nullptr) << button.id;
            EXPECT_EQ(control->geometry(), button.geometry) << button.id;
            EXPECT_EQ(control->toolTip(), QString::fromUtf8(button.tip)) << button.id;
        }
        auto* import = qobject_cast<QAbstractButton*>(FindControl(window, kUsersImportId));
        auto* exportButton = qobject_cast<QAbstractButton*>(FindControl(window, kUsersExportId));
        EXPECT_EQ(import->text(), "Importar Usuarios");
        EXPECT_EQ(exportButton->text(), "Exportar Usuarios");

        const QStringList titles = {
            "Nombre y Apellidos", "Velocidad Media", "Nivel", "Bloque", "MODO", "ID"};
        const int widths[] = {250, 115, 50, 55, 80};
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(list->headerItem()->text(column), titles[column]);
            if (column < 5) {
                EXPECT_EQ(list->columnWidth(column), widths[column]);
            }
        }
        EXPECT_TRUE(list->isColumnHidden(kIdColumn));
        EXPECT_EQ(list->font().family(), "Arial");
        EXPECT_EQ(list->font().pixelSize(), MakeFont("Arial", 9).pixelSize());
        EXPECT_EQ(list->palette().color(QPalette::Base), QColor(81, 74, 51));
        EXPECT_EQ(list->palette().color(QPalette::Text), QColor(255, 218, 176));
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);

        EXPECT_EQ(ColumnTexts(list, kNameColumn), (QStringList{"ANA", "LUIS", "PEPA", "LUIS"}));
        EXPECT_EQ(ColumnTexts(list, kSpeedColumn),
                  (QStringList{"0 p.p.m.", "210 p.p.m.", "095 p.p.m.", "210 p.p.m."}));
        EXPECT_EQ(ColumnTexts(list, kLevelColumn), (QStringList{"6", "12", "07", "12"}));
        EXPECT_EQ(ColumnTexts(list, kBlockColumn), (QStringList{"1", "3", "2", "3"}));
        EXPECT_EQ(ColumnTexts(list, kModeColumn),
                  (QStringList{"FACIL", "NORMAL", "NORMAL", "NORMAL"}));
        EXPECT_EQ(list->topLevelItem(2)->text(kIdColumn), "ID-9");
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(list->topLevelItem(row)->checkState(kNameColumn), Qt::Unchecked);
        }
        EXPECT_EQ(SelectedRowOf(list), 3);
        QTest::keyClick(list, Qt::Key_Escape);
    });
}

TEST_F(UsersWindowTest, EscapeCancelAndCloseRequestLeaveTheCurrentUserAsItWas) {
    WriteThreeUsers();
    ChooseLuisBeforehand();
    const UserRecord before = CurrentUser;
    ASSERT_EQ(before.name, "LUIS");

    OpenAndThen([](QWidget*, QTreeWidget* list) {
        EXPECT_EQ(SelectedRowOf(list), 1);  // the CurrentUser's row
        ClickRow(list, 2);
        EXPECT_EQ(SelectedRowOf(list), 2);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "MUY FACIL");

    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        ClickRow(list, 0);
        ClickControl(window, kUsersCancelId);
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "MUY FACIL");

    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        ClickRow(list, 2);
        window->close();
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "MUY FACIL");
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(UsersWindowTest, AcceptEnterAndDoubleClickLoadTheRowsUser) {
    WriteThreeUsers();
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        EXPECT_EQ(SelectedRowOf(list), 0);  // no CurrentUser: the first row
        ClickRow(list, 1);
        ClickControl(window, kUsersAcceptId);
    });
    EXPECT_EQ(CurrentUser.id, "ID-20240101000002");
    EXPECT_EQ(CurrentUser.name, "LUIS");
    EXPECT_EQ(CurrentUser.level, 12);
    EXPECT_EQ(CurrentUser.block, 3);
    EXPECT_EQ(CurrentUser.exercise, 2);
    EXPECT_EQ(CurrentUser.averageSpeed, 210);
    EXPECT_EQ(CurrentUser.history[1], 220);
    EXPECT_EQ(CurrentUser.history[2], -1);
    EXPECT_EQ(CurrentMode, "NORMAL");

    OpenAndThen([](QWidget*, QTreeWidget* list) {
        EXPECT_EQ(SelectedRowOf(list), 1);  // now the CurrentUser's row
        ClickRow(list, 2);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(CurrentUser.name, "EVA");
    EXPECT_EQ(CurrentUser.id, "ID-20240101000003");
    EXPECT_EQ(CurrentMode, "DIFICIL");

    OpenAndThen([](QWidget*, QTreeWidget* list) { test::DoubleClickRow(list, 0); });
    EXPECT_EQ(CurrentUser.name, "ANA");
    EXPECT_EQ(CurrentUser.level, 6);
    EXPECT_EQ(CurrentMode, "FACIL");
}

TEST_F(UsersWindowTest, ChoosingAUserWhoseLineHasGoneKeepsTheCurrentUser) {
    WriteThreeUsers();
    ChooseLuisBeforehand();
    const UserRecord before = CurrentUser;
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        // Another program removed EVA's line while the list was shown.
        WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n");
        ClickRow(list, 2);
        ClickControl(window, kUsersAcceptId);
        AppendInputStep([window, list] {
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{false, DialogIcon::Exclamation}));
            EXPECT_EQ(UsersWindowOnScreen(), window);
            EXPECT_EQ(ColumnTexts(list, kNameColumn), (QStringList{"ANA", "LUIS"}));
            QTest::keyClick(list, Qt::Key_Escape);
        });
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "MUY FACIL");
}

TEST_F(UsersWindowTest, DeleteAsksThenRemovesTheLineAndClearsTheCurrentUserWhenItWasHer) {
    WriteThreeUsers();
    ChooseLuisBeforehand();
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        ClickRow(list, 0);
        QueueAnswer(Answer::No);
        ClickControl(window, kUsersDeleteId);
        AppendInputStep([this, window, list] {
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(AskedDialogs()[0].title, "Eliminar Usuario");
            EXPECT_EQ(AskedDialogs()[0].text,
                      QString::fromUtf8("ANA se Borrará de la lista, está seguro?"));
            EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{true, DialogIcon::Question}));
            EXPECT_EQ(list->topLevelItemCount(), 3);
            EXPECT_EQ(Users(), kHeader + kAna + "\r\n" + kLuis + "\r\n" + kEva + "\r\n");

            // Yes removes another user: the CurrentUser stays.
            QueueAnswer(Answer::Yes);
            ClickControl(window, kUsersDeleteId);
            AppendInputStep([this, window, list] {
                EXPECT_EQ(ColumnTexts(list, kNameColumn), (QStringList{"LUIS", "EVA"}));
                EXPECT_EQ(SelectedRowOf(list), 0);
                EXPECT_EQ(Users(), kHeader + kLuis + "\r\n" + kEva + "\r\n");
                EXPECT_EQ(CurrentUser.name, "LUIS");

                // Deleting the CurrentUser leaves no user selected.
                QueueAnswer(Answer::Yes);
                ClickControl(window, kUsersDeleteId);
                AppendInputStep([this, list] {
                    EXPECT_EQ(ColumnTexts(list, kNameColumn), QStringList{"EVA"});
                    EXPECT_EQ(Users(), kHeader + kEva + "\r\n");
                    EXPECT_TRUE(CurrentUser.name.isEmpty());
                    EXPECT_TRUE(CurrentUser.id.isEmpty());
                    QTest::keyClick(list, Qt::Key_Escape);
                });
            });
        });
    });
    EXPECT_TRUE(CurrentUser.name.isEmpty());
    EXPECT_TRUE(CurrentUser.id.isEmpty());
    EXPECT_FALSE(Exists("usuarios.tmp"));
}

TEST_F(UsersWindowTest, DeleteThatCannotRewriteTheFileKeepsTheRowAndSaysSo) {
    WriteThreeUsers();
    ChooseLuisBeforehand();
    const UserRecord before = CurrentUser;
    // The new file can never take the old one's place: every rewrite fails.
    SetMoveOnce([](const QString&, const QString&) { return MoveStep::Failed; });
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        QueueAnswer(Answer::Yes);
        ClickControl(window, kUsersDeleteId);
        AppendInputStep([list] {
            ASSERT_EQ(AskedDialogs().size(), 2u);
            EXPECT_EQ(AskedDialogs()[1].title, "Eliminar Usuario");
            EXPECT_TRUE(AskedDialogs()[1].text.startsWith("No se pudo eliminar a LUIS"));
            EXPECT_EQ(list->topLevelItemCount(), 3);
            QTest::keyClick(list, Qt::Key_Escape);
        });
    });
    SetMoveOnce({});
    EXPECT_EQ(Users(), kHeader + kAna + "\r\n" + kLuis + "\r\n" + kEva + "\r\n");
    EXPECT_EQ(CurrentUser, before);

    // A lock file no account can open is what is told, not a users file that cannot be
    // written.
    RemoveFile(Path(kUsersLockName));
    ASSERT_TRUE(QDir().mkdir(Path(kUsersLockName)));
    OpenAndThen([](QWidget* window, QTreeWidget* list) {
        QueueAnswer(Answer::Yes);
        ClickControl(window, kUsersDeleteId);
        AppendInputStep([list] {
            const QString told = AskedDialogs().back().text;
            EXPECT_TRUE(told.contains(kUsersLockName)) << told.toStdString();
            EXPECT_FALSE(told.contains("no se puede escribir")) << told.toStdString();
            QTest::keyClick(list, Qt::Key_Escape);
        });
    });
    EXPECT_EQ(Users(), kHeader + kAna + "\r\n" + kLuis + "\r\n" + kEva + "\r\n");
}

}  // namespace
}  // namespace tz
