#pragma once
// Message boxes, file dialogs and the one-line input box. Tests answer them from queues
// instead of showing them, and read back what was asked.

#include <QString>
#include <QStringList>
#include <vector>

namespace tz {

// What a message box shows beside its text.
enum class DialogIcon { None, Question, Exclamation, Information };
// The button of a Yes/No question that Enter presses.
enum class DefaultButton { Yes, No };
// A scripted answer to a Yes/No question.
enum class Answer { Yes, No };

// Tells something in a box with one "Aceptar" button, over the window in the foreground.
void Tell(const QString& title, const QString& text, DialogIcon icon = DialogIcon::None);
// Asks a question with "Sí" and "No" buttons (Escape answers No); true for Yes.
bool AskYesNo(const QString& title, const QString& text, DialogIcon icon = DialogIcon::None,
              DefaultButton defaultButton = DefaultButton::Yes);

// Tells that something failed, with "Reintentar" and "Cancelar" buttons (Escape cancels);
// true for Reintentar. Scripted answers: Yes is Reintentar.
bool AskRetry(const QString& title, const QString& text, DialogIcon icon = DialogIcon::None);

// File dialogs return the chosen path, or an empty text when cancelled.
QString OpenFileDialog(const QString& title, const QString& filter, const QString& folder);
QString SaveFileDialog(const QString& title, const QString& filter, const QString& proposedPath);
// One-line input box: the text typed, or an empty text when cancelled.
QString InputBox(const QString& title, const QString& prompt, const QString& initial);

// What the program asked, in order; tests read it.
struct AskedDialog {
    QString kind;  // "message", "open", "save", "input"
    QString title;
    QString text;        // message text, filter or prompt
    bool yesNo = false;  // a message with "Sí" and "No" rather than "Aceptar"
    DialogIcon icon = DialogIcon::None;
    DefaultButton defaultButton = DefaultButton::Yes;
    QString proposed;    // proposed path or initial text
    bool retry = false;  // "Reintentar" and "Cancelar" rather than "Sí" and "No"
};

// Scripted answers: once scripting is on, no dialog is shown. A question without a queued
// answer is answered No; a file or input dialog without one is cancelled.
void SetDialogScripting(bool on);
bool DialogScripting();
void QueueAnswer(Answer answer);
void QueueTextAnswer(const QString& answer);  // file dialogs and input boxes
const std::vector<AskedDialog>& AskedDialogs();
void ClearDialogs();

}  // namespace tz
