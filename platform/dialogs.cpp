#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <deque>

namespace tz {

namespace {

struct Scripting {
    bool on = false;
    std::deque<Answer> answers;
    std::deque<QString> textAnswers;
    std::vector<AskedDialog> asked;
};

Scripting& State() {
    static Scripting state;
    return state;
}

QWidget* ForegroundWindow() {
    QWidget* window = QApplication::activeWindow();
    if (!window) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible()) return top;
        }
    }
    return window;
}

QMessageBox::Icon BoxIcon(DialogIcon icon) {
    switch (icon) {
        case DialogIcon::Question:
            return QMessageBox::Question;
        case DialogIcon::Exclamation:
            return QMessageBox::Warning;
        case DialogIcon::Information:
            return QMessageBox::Information;
        case DialogIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void Tell(const QString& title, const QString& text, DialogIcon icon) {
    Scripting& state = State();
    state.asked.push_back({"message", title, text, false, icon, DefaultButton::Yes, QString()});
    if (state.on) return;
    QMessageBox box(ForegroundWindow());
    box.setWindowTitle(title);
    // Messages carry pupils' names and file names: plain text, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(BoxIcon(icon));
    QPushButton* ok = box.addButton("Aceptar", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

namespace {

// A box of two buttons: true for the first. Escape presses the second.
bool AskTwoWays(const AskedDialog& asked, const QString& first, const QString& second) {
    Scripting& state = State();
    state.asked.push_back(asked);
    if (state.on) {
        if (state.answers.empty()) return false;
        const Answer answer = state.answers.front();
        state.answers.pop_front();
        return answer == Answer::Yes;
    }
    QMessageBox box(ForegroundWindow());
    box.setWindowTitle(asked.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(asked.text);
    box.setIcon(BoxIcon(asked.icon));
    QPushButton* yes = box.addButton(first, QMessageBox::YesRole);
    QPushButton* no = box.addButton(second, QMessageBox::NoRole);
    box.setDefaultButton(asked.defaultButton == DefaultButton::No ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace

bool AskYesNo(const QString& title, const QString& text, DialogIcon icon,
              DefaultButton defaultButton) {
    return AskTwoWays({"message", title, text, true, icon, defaultButton, QString()},
                      QString::fromUtf8("Sí"), QStringLiteral("No"));
}

bool AskRetry(const QString& title, const QString& text, DialogIcon icon) {
    AskedDialog asked{"message", title, text, true, icon, DefaultButton::Yes, QString()};
    asked.retry = true;
    return AskTwoWays(asked, QStringLiteral("Reintentar"), QStringLiteral("Cancelar"));
}

namespace {
QString ScriptedText(const AskedDialog& asked, bool* scripted) {
    Scripting& state = State();
    state.asked.push_back(asked);
    *scripted = state.on;
    if (!state.on) return QString();
    if (state.textAnswers.empty()) return QString();
    QString answer = state.textAnswers.front();
    state.textAnswers.pop_front();
    return answer;
}
}  // namespace

QString OpenFileDialog(const QString& title, const QString& filter, const QString& folder) {
    bool scripted = false;
    QString answer = ScriptedText({"open", title, filter, false, {}, {}, folder}, &scripted);
    if (scripted) return answer;
    return QFileDialog::getOpenFileName(ForegroundWindow(), title, folder, filter);
}

QString SaveFileDialog(const QString& title, const QString& filter, const QString& proposedPath) {
    bool scripted = false;
    QString answer = ScriptedText({"save", title, filter, false, {}, {}, proposedPath}, &scripted);
    if (scripted) return answer;
    return QFileDialog::getSaveFileName(ForegroundWindow(), title, proposedPath, filter);
}

QString InputBox(const QString& title, const QString& prompt, const QString& initial) {
    bool scripted = false;
    QString answer = ScriptedText({"input", title, prompt, false, {}, {}, initial}, &scripted);
    if (scripted) return answer;
    QInputDialog dialog(ForegroundWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText("Aceptar");
    dialog.setCancelButtonText("Cancelar");
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue();
}

void SetDialogScripting(bool on) {
    State().on = on;
}
bool DialogScripting() {
    return State().on;
}
void QueueAnswer(Answer answer) {
    State().answers.push_back(answer);
}
void QueueTextAnswer(const QString& answer) {
    State().textAnswers.push_back(answer);
}
const std::vector<AskedDialog>& AskedDialogs() {
    return State().asked;
}

void ClearDialogs() {
    Scripting& state = State();
    state.answers.clear();
    state.textAnswers.clear();
    state.asked.clear();
}

}  // namespace tz
