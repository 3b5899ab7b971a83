#pragma once
// The dialog that adds a user: full name, starting level and difficulty mode.

#include <QDialog>
#include <QString>

#include "users/pupil_store.h"

class QButtonGroup;
class QLineEdit;

namespace tz {

enum NewUserDialogControl {
    kNewUserCancelId = 100,
    kNewUserAcceptId = 101,
    kNewUserNameFrameId = 102,
    kNewUserNameCaptionId = 103,
    kNewUserNameId = 104,
    kNewUserLevelFrameId = 105,
    kNewUserLevelCaptionId = 106,
    kNewUserFirstLevelId = 107,
    kNewUserSlowTypistId = 108,
    kNewUserGoodTypistId = 109,
    kNewUserModeFrameId = 110,
    kNewUserModeCaptionId = 111,
    kNewUserNormalId = 112,
    kNewUserVeryEasyId = 113,
    kNewUserEasyId = 114,
    kNewUserHardId = 115,
};

// Modal over the users window, on top like it. Accepting adds the new user to the store;
// Escape, Cancel and a close request add nothing. The current user and the mode in force are
// left as they were: the new user is chosen in the users window like any other.
class NewUserDialog : public QDialog {
    Q_OBJECT
  public:
    NewUserDialog(QWidget* owner, PupilStore& store);
    // The id the new user got; empty while none was added.
    const QString& AddedId() const { return addedId_; }

  protected:
    void showEvent(QShowEvent* event) override;
    // Enter means nothing here.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void AddUser();

    PupilStore& store_;
    QLineEdit* name_ = nullptr;
    QButtonGroup* levels_ = nullptr;
    QButtonGroup* modes_ = nullptr;
    QString addedId_;
};

// Shows the dialog modal over `owner` (the users window; may be null) and returns the new
// user's id, or empty text when none was added.
QString RunNewUserDialog(QWidget* owner, PupilStore& store);

}  // namespace tz
