#include "users/new_user_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QColor kCaptionColour(253, 230, 196);
const QColor kOptionColour(254, 201, 129);

struct Option {
    int id;
    const char* text;
    int y;
};

// First group: what the pupil already knows, and the level that gives.
const Option kLevelOptions[] = {
    {kNewUserFirstLevelId, "Comenzar desde el primer nivel?", 115},
    {kNewUserSlowTypistId, "Escribe lento (Menos de 100 p.p.m.)", 135},
    {kNewUserGoodTypistId, "Teclea correctamente (más de 100 p.p.m.)", 155},
};
// Second group: the difficulty mode.
const Option kModeOptions[] = {
    {kNewUserNormalId, "Normal (por defecto en el programa)", 235},
    {kNewUserVeryEasyId, "Muy Fácil (pulsaciones a conseguir / 3)", 255},
    {kNewUserEasyId, "Fácil (pulsaciones a conseguir / 2)", 275},
    {kNewUserHardId, "Difícil (pulsaciones a conseguir * 2)", 295},
};

void AddFrame(QWidget* parent, int id, const QRect& geometry) {
    auto* frame = new QGroupBox(parent);
    frame->setGeometry(geometry);
    frame->setStyleSheet(
        "QGroupBox { background-color: rgba(255, 246, 230, 215);"
        " border: 1px solid rgb(160, 118, 66); border-radius: 5px; margin: 0px; }");
    SetControlId(frame, id);
}

void AddCaption(QWidget* parent, int id, const QString& text, int y) {
    QLabel* caption = MakeLabel(parent, id, text, QRect(20, y, 270, 20));
    caption->setAlignment(Qt::AlignCenter);
    caption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    caption->setFont(MakeFont("Arial", 10));
    SetBackground(caption, kCaptionColour);
    SetTextColour(caption, QColor(60, 38, 14));
}

QButtonGroup* AddOptions(QWidget* parent, const Option* options, int count) {
    auto* group = new QButtonGroup(parent);
    group->setExclusive(true);
    for (int i = 0; i < count; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(options[i].text), parent);
        option->setGeometry(20, options[i].y, 270, 20);
        option->setFont(MakeFont("Arial", 10));
        SetBackground(option, kOptionColour);
        // Buttons fill their background from the Button role.
        option->setBackgroundRole(QPalette::Window);
        SetTextColour(option, QColor(40, 26, 8));
        SetControlId(option, options[i].id);
        group->addButton(option, options[i].id);
    }
    return group;
}

std::int8_t ChosenLevel(const QButtonGroup* levels) {
    switch (levels->checkedId()) {
        case kNewUserSlowTypistId:
            return 6;
        case kNewUserGoodTypistId:
            return 10;
        default:
            return 1;
    }
}

QString ChosenMode(const QButtonGroup* modes) {
    switch (modes->checkedId()) {
        case kNewUserVeryEasyId:
            return QStringLiteral("MUY FACIL");
        case kNewUserEasyId:
            return QStringLiteral("FACIL");
        case kNewUserHardId:
            return QStringLiteral("DIFICIL");
        default:
            return QStringLiteral("NORMAL");
    }
}

}  // namespace

NewUserDialog::NewUserDialog(QWidget* owner, PupilStore& store) : QDialog(owner), store_(store) {
    SetUpScreen(this, QStringLiteral("Datos de nuevo usuario"), 310, 398, false);
    // The users window below stays on top of everything, so this one must as well.
    KeepOnTopWhileShown(this);
    SetTiledBackground(this, PictureName::NewUserBackground);

    QAbstractButton* cancel =
        MakePictureButton(this, kNewUserCancelId, PictureName::NewUserCancel,
                          QRect(190, 340, 50, 50), QStringLiteral("Cancelar operación"));
    QAbstractButton* accept =
        MakePictureButton(this, kNewUserAcceptId, PictureName::NewUserAccept,
                          QRect(250, 340, 50, 50), QStringLiteral("Aceptar Nuevo Usuario"));

    AddFrame(this, kNewUserNameFrameId, QRect(10, 10, 290, 60));
    AddCaption(this, kNewUserNameCaptionId, QStringLiteral("Nombre y apellidos"), 20);
    name_ = new QLineEdit(this);
    name_->setGeometry(20, 45, 270, 20);
    name_->setMaxLength(static_cast<int>(kUserNameMaxLength));
    name_->setFont(MakeFont("Arial", 10));
    name_->setStyleSheet(
        "QLineEdit { background-color: rgb(255, 255, 128); color: rgb(0, 0, 255);"
        " border: 1px solid rgb(140, 110, 60); padding: 0px 3px; }");
    name_->setAccessibleName(QStringLiteral("Nombre y apellidos"));
    SetControlId(name_, kNewUserNameId);

    AddFrame(this, kNewUserLevelFrameId, QRect(10, 75, 290, 110));
    AddCaption(this, kNewUserLevelCaptionId, QStringLiteral("Conocimientos de Tipenzo"), 90);
    levels_ = AddOptions(this, kLevelOptions, 3);

    AddFrame(this, kNewUserModeFrameId, QRect(10, 195, 290, 130));
    AddCaption(this, kNewUserModeCaptionId, QStringLiteral("Pulsaciones a conseguir"), 210);
    modes_ = AddOptions(this, kModeOptions, 4);
    levels_->button(kNewUserFirstLevelId)->setChecked(true);
    modes_->button(kNewUserNormalId)->setChecked(true);

    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(accept, &QAbstractButton::clicked, this, &NewUserDialog::AddUser);
    name_->setFocus();
}

void NewUserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Over the window that opened it, with the keyboard.
    activateWindow();
}

void NewUserDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NewUserDialog::AddUser() {
    // "|" would split the line into other fields, and what shows nothing (a control or
    // invisible character pasted in) has no place in a name; a name of nothing else is none.
    const QString name = TrimSpaces(CleanUserName(name_->text())).toUpper();
    if (name.isEmpty()) {
        Tell(QStringLiteral("ERROR:"), QStringLiteral("Falta Nombre de Usuario"));
        name_->clear();
        name_->setFocus();
        return;
    }
    // The mode in force for the user already chosen stays: the new line has its own.
    WriteOutcome outcome = WriteOutcome::Failed;
    addedId_ = store_.AppendNewUser(name, ChosenLevel(levels_), ChosenMode(modes_), &outcome);
    if (outcome == WriteOutcome::Busy) {
        // The pupil may try again with the name still typed.
        Tell(QStringLiteral("ERROR:"),
             QStringLiteral("No se pudo guardar el nuevo usuario: ") + BusyText(store_) +
                 QStringLiteral(" Inténtalo de nuevo."),
             DialogIcon::Exclamation);
        return;
    }
    if (addedId_.isEmpty()) {
        Tell(QStringLiteral("ERROR:"),
             QStringLiteral("No se pudo guardar el nuevo usuario: ") +
                 NotWrittenText(store_, {outcome}),
             DialogIcon::Exclamation);
        reject();
        return;
    }
    accept();
}

QString RunNewUserDialog(QWidget* owner, PupilStore& store) {
    NewUserDialog dialog(owner, store);
    dialog.exec();
    return dialog.AddedId();
}

}  // namespace tz
