#pragma once
// Driving the users window and the new-user dialog with real input in tests.

#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include "app/picture_registry.h"
#include "current_user.h"
#include "platform/clock.h"
#include "platform/pictures.h"
#include "screens.h"
#include "support.h"
#include "users/new_user_dialog.h"
#include "users/user_record.h"
#include "users/users_window.h"

namespace tz::test {

inline QTreeWidget* UsersListOf(QWidget* window) {
    return qobject_cast<QTreeWidget*>(FindControl(window, kUsersListId));
}

inline QPoint RowCentre(QTreeWidget* list, int row) {
    return list->visualItemRect(list->topLevelItem(row)).center();
}

inline void ClickRow(QTreeWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(list, row));
}

inline void DoubleClickRow(QTreeWidget* list, int row) {
    ClickRow(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(list, row));
}

// Marks (or unmarks) a row's check box from the keyboard, as a teacher would with Space.
inline void ToggleMark(QTreeWidget* list, int row) {
    ClickRow(list, row);
    QTest::keyClick(list, Qt::Key_Space);
}

inline QStringList ColumnTexts(QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        texts << list->topLevelItem(row)->text(column);
    }
    return texts;
}

inline int SelectedRowOf(QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

// As WhenShown, once the window is also the active one, as the window system makes a dialog
// that shows (the list's selection and the entry's cursor are drawn as a pupil sees them).
inline void WhenActive(const QString& title, const std::function<void(QWidget*)>& act) {
    WhenShown(title, [act](QWidget* window) {
        EXPECT_TRUE(QTest::qWaitFor([window] { return window->isActiveWindow(); }));
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        act(window);
    });
}

// Clicks a control of the users window that opens the new-user dialog; `act` gets the dialog
// (and its name entry) once it waits, and must close it.
inline void AddThrough(QWidget* users, const std::function<void(QWidget*, QWidget*)>& act) {
    WhenActive("Datos de nuevo usuario",
               [act](QWidget* dialog) { act(dialog, FindControl(dialog, kNewUserNameId)); });
    ClickControl(users, kUsersAddId);
}

// A program folder with the pictures registered, a clock stopped at 2024-03-05 09:05:07, no
// user chosen, and a plain window standing in for the main menu.
class UsersScreenTest : public ProgramFolderTest, public CurrentUserState {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        if (!PictureExists(30)) RegisterAllPictures();
        clock_.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
        SetClock(&clock_);
        owner_.setFixedSize(200, 100);
        owner_.show();
    }
    void TearDown() override {
        SetClock(nullptr);
        SetRandomSource({});
        ProgramFolderTest::TearDown();
    }
    void WriteUsers(const QByteArray& bytes) { WriteBytes("usuarios.dat", bytes); }
    QByteArray Users() const { return ReadBytes("usuarios.dat"); }

    // Opens the users window modal over the owner; `act` runs once it waits for input and must
    // close it.
    void OpenAndThen(const std::function<void(QWidget*, QTreeWidget*)>& act) {
        WhenActive("USUARIOS", [act](QWidget* window) { act(window, UsersListOf(window)); });
        RunUsersWindow(&owner_, store_, CurrentUser, CurrentMode);
        EXPECT_EQ(UsersWindowOnScreen(), nullptr);
    }

    ManualClock clock_;
    QWidget owner_;
};

}  // namespace tz::test
