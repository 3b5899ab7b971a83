#pragma once
// The online version check: the update window that shows this program's version code beside
// the latest one on the maker's server, and offers the download page when that one is newer.

#include <QDialog>

#include "update/version_checker.h"

class QLabel;
class QPushButton;

namespace tz {

// Control ids of the update window.
enum UpdateWindowControl {
    kUpdateLogoId = 1,
    kUpdateLocalCodeId = 2,
    kUpdateLocalFrameId = 3,
    kUpdateLatestFrameId = 4,
    kUpdateLatestCodeId = 5,
    kUpdateQuitId = 6,
    kUpdateLocalCaptionId = 7,
    kUpdateLatestCaptionId = 8,
    kUpdateDownloadId = 9,
};

// How the update window was left.
enum class UpdateOutcome {
    Back,         // "Salir": back to the owner
    QuitProgram,  // the download page was opened: end the program now
};

// Over its owner (the main menu), always on top while it shows. Shown, it fetches the version
// file: "Descargando...." until the latest code is known, then the code, and the download
// button when it is newer. "Salir" rejects it; the download button opens the download page and
// accepts it. No close box: neither a close request nor Escape is a way out.
class UpdateWindow : public QDialog {
    Q_OBJECT
  public:
    explicit UpdateWindow(QWidget* owner);

  public slots:
    void ShowLatest(const QString& code);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    VersionChecker checker_;
    QLabel* latest_ = nullptr;
    QPushButton* download_ = nullptr;
    bool checked_ = false;
};

// Shows the update window modal over `owner` (may be null) and returns how it was left.
UpdateOutcome ShowUpdateWindow(QWidget* owner);

// Ends the process at once with `code`, without unwinding: no window is closed and nothing is
// saved, as if it were killed after its files were already in order.
[[noreturn]] void EndProgramAtOnce(int code);

}  // namespace tz
