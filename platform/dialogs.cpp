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
    std::deque<int> messageAnswers;
    std::deque<QString> textAnswers;
    std::vector<AskedDialog> asked;
};

Scripting& State() {
    static Scripting state;
    return state;
}

bool IsYesNo(int code) {
    return (code & 0x0F) == 4;
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

}  // namespace

int MessageBox(const QString& title, const QString& text, int code) {
    Scripting& state = State();
    state.asked.push_back({"message", title, text, code, QString()});
    if (state.on) {
        if (!state.messageAnswers.empty()) {
            const int answer = state.messageAnswers.front();
            state.messageAnswers.pop_front();
            return answer;
        }
        return IsYesNo(code) ? kAnswerNo : kAnswerOk;
    }
    QMessageBox box(ForegroundWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (code & 0xF0) {
        case 0x20:
            box.setIcon(QMessageBox::Question);
            break;
        case 0x30:
            box.setIcon(QMessageBox::Warning);
            break;
        case 0x40:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
    }
    if (IsYesNo(code)) {
        QPushButton* yes = box.addButton("Sí", QMessageBox::YesRole);
        QPushButton* no = box.addButton("No", QMessageBox::NoRole);
        // 0x100 makes No the default button.
        box.setDefaultButton((code & 0x100) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? kAnswerYes : kAnswerNo;
    }
    QPushButton* ok = box.addButton("Aceptar", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return kAnswerOk;
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
    QString answer = ScriptedText({"open", title, filter, 0, folder}, &scripted);
    if (scripted) return answer;
    return QFileDialog::getOpenFileName(ForegroundWindow(), title, folder, filter);
}

QString SaveFileDialog(const QString& title, const QString& filter, const QString& proposedPath) {
    bool scripted = false;
    QString answer = ScriptedText({"save", title, filter, 0, proposedPath}, &scripted);
    if (scripted) return answer;
    return QFileDialog::getSaveFileName(ForegroundWindow(), title, proposedPath, filter);
}

QString InputBox(const QString& title, const QString& prompt, const QString& initial) {
    bool scripted = false;
    QString answer = ScriptedText({"input", title, prompt, 0, initial}, &scripted);
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
void QueueMessageAnswer(int answer) {
    State().messageAnswers.push_back(answer);
}
void QueueTextAnswer(const QString& answer) {
    State().textAnswers.push_back(answer);
}
const std::vector<AskedDialog>& AskedDialogs() {
    return State().asked;
}

void ClearDialogs() {
    Scripting& state = State();
    state.messageAnswers.clear();
    state.textAnswers.clear();
    state.asked.clear();
}

}  // namespace tz
