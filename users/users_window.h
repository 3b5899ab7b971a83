#pragma once
// The users window: the list of every user, where the CurrentUser is chosen, and from where
// users are added, deleted, imported and exported.

#include <QDialog>
#include <QString>
#include <functional>

#include "users/pupil_store.h"
#include "users/user_record.h"

class QAbstractButton;
class QTreeWidget;

namespace tz {

enum UsersWindowControl {
    kUsersListId = 45,
    kUsersAddId = 46,
    kUsersDeleteId = 47,
    kUsersCancelId = 48,
    kUsersAcceptId = 49,
    kUsersImportId = 50,
    kUsersExportId = 51,
    kUsersReportId = 52,
};

// Columns of the users list; the id column is hidden and ties a row to its pupil.
enum UsersListColumn {
    kNameColumn = 0,
    kSpeedColumn = 1,
    kLevelColumn = 2,
    kBlockColumn = 3,
    kModeColumn = 4,
    kIdColumn = 5,
};

// Modal over the main menu and on top of every window while it shows. A user chosen there
// (Accept, Enter or a double-click on a row) is loaded into `currentUser` and `currentMode`;
// Escape, Cancel and a close request leave both as they were. Deleting the current user
// empties its name and id (no user selected). `classReport`, when given, is what the
// "Informe de la clase" button does.
class UsersWindow : public QDialog {
    Q_OBJECT
  public:
    UsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser, QString& currentMode,
                const std::function<void(PupilStore&)>& classReport = {});

  protected:
    void showEvent(QShowEvent* event) override;
    // Enter chooses like Accept (with no row selected it just leaves); Escape leaves.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Fills the list from the store with every row unmarked and selects the current user's
    // row, or the first; false when the store could not be read.
    bool LoadList();
    void TellCannotRead();
    void RefreshButtons();
    int SelectedRow() const;
    void SelectRow(int row);
    QStringList MarkedIds() const;
    // Loads the selected row's pupil into the current user and closes; when she is no longer
    // in the store the current user stays, the pupil is told and the list read again.
    void ChooseSelected();
    void AddUser();
    void DeleteSelected();

    PupilStore& store_;
    UserRecord& currentUser_;
    QString& currentMode_;
    std::function<void(PupilStore&)> classReport_;
    QString problem_;  // why the store could not be read, when it could not
    QTreeWidget* list_ = nullptr;
    QAbstractButton* add_ = nullptr;
    QAbstractButton* remove_ = nullptr;
    QAbstractButton* accept_ = nullptr;
    QAbstractButton* import_ = nullptr;
};

// Shows the users window modal over `owner` (the main menu; may be null) and returns when it
// closes.
void RunUsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser,
                    QString& currentMode, const std::function<void(PupilStore&)>& classReport = {});

}  // namespace tz
