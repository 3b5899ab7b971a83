#pragma once
// Handing web links and documents to the desktop.

#include <QString>
#include <QStringList>

namespace tz {

// Opens a web link or document with the desktop's handler and returns at once.
void OpenExternal(const QString& target);
// Opens a document and returns when the program that shows it has ended.
void RunAndWait(const QString& document);

// Tests record what would be opened instead of opening it.
void SetShellRecording(bool on);
const QStringList& ShellRequests();
void ClearShellRequests();

}  // namespace tz
