#pragma once
// Message boxes, file dialogs and the one-line input box. Tests answer them from queues
// instead of showing them, and read back what was asked.

#include <QString>
#include <QStringList>
#include <vector>

namespace tz {

// Button-and-icon codes of the message boxes.
enum MessageCode {
    kMessageOk = 0,
    kMessageYesNo = 4,
    kMessageYesNoQuestion = 0x24,
    kMessageExclamation = 0x30,
    kMessageYesNoExclamation = 0x34,
    kMessageInformation = 0x40,
};
// Answers.
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

// Shows a message box over the window in the foreground and returns 6 (Yes), 7 (No) or
// 1 (OK). Escape answers No.
int MessageBox(const QString& title, const QString& text, int code);

// File dialogs return the chosen path, or an empty text when cancelled.
QString OpenFileDialog(const QString& title, const QString& filter, const QString& folder);
QString SaveFileDialog(const QString& title, const QString& filter, const QString& proposedPath);
// One-line input box: the text typed, or an empty text when cancelled.
QString InputBox(const QString& title, const QString& prompt, const QString& initial);

// What the program asked, in order; tests read it.
struct AskedDialog {
    QString kind;  // "message", "open", "save", "input"
    QString title;
    QString text;  // message text, filter or prompt
    int code = 0;
    QString proposed;  // proposed path or initial text
};

// Scripted answers: once scripting is on, no dialog is shown. A message box without a queued
// answer answers OK (code 0, 0x30, 0x40) or No; a file or input dialog without one is
// cancelled.
void SetDialogScripting(bool on);
bool DialogScripting();
void QueueMessageAnswer(int answer);
void QueueTextAnswer(const QString& answer);  // file dialogs and input boxes
const std::vector<AskedDialog>& AskedDialogs();
void ClearDialogs();

}  // namespace tz
