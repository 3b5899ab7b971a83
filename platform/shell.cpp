#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tz {

namespace {
struct Recording {
    bool on = false;
    QStringList requests;
};
Recording& State() {
    static Recording state;
    return state;
}

QUrl ToUrl(const QString& target) {
    if (target.contains("://") || target.startsWith("mailto:")) return QUrl(target);
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}
}  // namespace

void OpenExternal(const QString& target) {
    if (State().on) {
        State().requests.append(target);
        return;
    }
    QDesktopServices::openUrl(ToUrl(target));
}

void RunAndWait(const QString& document) {
    if (State().on) {
        State().requests.append(document);
        return;
    }
#ifdef _WIN32
    QDesktopServices::openUrl(ToUrl(document));
#else
    // xdg-open returns once the handler has taken the document; that is as long as we can wait
    // for on a desktop that does not tell us when its viewer closes.
    QProcess::execute("xdg-open", {ToUrl(document).toString()});
#endif
}

void SetShellRecording(bool on) {
    State().on = on;
}
const QStringList& ShellRequests() {
    return State().requests;
}
void ClearShellRequests() {
    State().requests.clear();
}

}  // namespace tz
