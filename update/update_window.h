#pragma once
// The online version check: the update window that shows this program's version code beside
// the latest one on the maker's server, and offers the download page when that one is newer.

#include <functional>

class QWidget;

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

// The update window: disables `owner` (may be null), fetches the version file, shows both
// codes and waits for "Salir" or the download button. The window is gone when this returns.
UpdateOutcome ShowUpdateWindow(QWidget* owner);

// Ends the process at once with `code`, without unwinding: no window is closed and nothing is
// saved, as if it were killed after its files were already in order.
[[noreturn]] void EndProgramAtOnce(int code);

// What the main menu's "Actualizar" runs: ShowUpdateWindow, and after the download button
// `endProgram` with exit code 0 (nothing is saved; the caller's end leaves the data folder as an
// orderly end does, so the last program deletes the lock copy).
void RunVersionCheck(QWidget* owner, const std::function<void(int)>& endProgram = EndProgramAtOnce);

}  // namespace tz
