#include "users/new_user_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "users/user_record.h"
#include "users/user_store.h"

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

struct NewUserDialog {
    ScreenWindow* window = nullptr;
    QLineEdit* name = nullptr;
    QButtonGroup* levels = nullptr;
    QButtonGroup* modes = nullptr;
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
    QLabel* caption = AddLabel(parent, id, text, QRect(20, y, 270, 20));
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

NewUserDialog BuildDialog(QWidget* owner) {
    NewUserDialog dialog;
    dialog.window = CreateScreenWindow("Datos de nuevo usuario", 310, 398, false, owner);
    dialog.window->SetKeyCapture(KeyCapture::Commands);
    SetTiledBackground(dialog.window, PictureName::NewUserBackground);

    AddPictureButton(dialog.window, kNewUserCancelId, PictureName::NewUserCancel,
                     QRect(190, 340, 50, 50), QStringLiteral("Cancelar operación"));
    AddPictureButton(dialog.window, kNewUserAcceptId, PictureName::NewUserAccept,
                     QRect(250, 340, 50, 50), QStringLiteral("Aceptar Nuevo Usuario"));

    AddFrame(dialog.window, kNewUserNameFrameId, QRect(10, 10, 290, 60));
    AddCaption(dialog.window, kNewUserNameCaptionId, QStringLiteral("Nombre y apellidos"), 20);
    dialog.name = new QLineEdit(dialog.window);
    dialog.name->setGeometry(20, 45, 270, 20);
    dialog.name->setMaxLength(static_cast<int>(kUserNameMaxLength));
    dialog.name->setFont(MakeFont("Arial", 10));
    dialog.name->setStyleSheet(
        "QLineEdit { background-color: rgb(255, 255, 128); color: rgb(0, 0, 255);"
        " border: 1px solid rgb(140, 110, 60); padding: 0px 3px; }");
    SetControlId(dialog.name, kNewUserNameId);

    AddFrame(dialog.window, kNewUserLevelFrameId, QRect(10, 75, 290, 110));
    AddCaption(dialog.window, kNewUserLevelCaptionId, QStringLiteral("Conocimientos de Tipenzo"),
               90);
    dialog.levels = AddOptions(dialog.window, kLevelOptions, 3);

    AddFrame(dialog.window, kNewUserModeFrameId, QRect(10, 195, 290, 130));
    AddCaption(dialog.window, kNewUserModeCaptionId, QStringLiteral("Pulsaciones a conseguir"),
               210);
    dialog.modes = AddOptions(dialog.window, kModeOptions, 4);
    return dialog;
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

QString RunNewUserDialog(QWidget* owner, PupilStore& store) {
    NewUserDialog dialog = BuildDialog(owner);
    dialog.window->show();
    DrainEvents();
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    dialog.window->setEnabled(true);
    BringToFront(dialog.window, true);
    // The users window below stays on top of everything, so this one must as well.
    SetAlwaysOnTop(dialog.window, true);
    dialog.levels->button(kNewUserFirstLevelId)->setChecked(true);
    dialog.modes->button(kNewUserNormalId)->setChecked(true);
    dialog.window->activateWindow();
    dialog.name->setFocus();

    QString addedId;
    for (;;) {
        const Event event = WaitEvent();
        if (event.window != dialog.window) continue;
        if (event.type == EventType::CloseRequest) break;
        if (event.type == EventType::Char) {
            if (event.code == 27) break;
            continue;
        }
        if (event.type != EventType::Click) continue;
        if (event.id == kNewUserCancelId) break;
        if (event.id != kNewUserAcceptId) continue;

        // "|" would split the line into other fields, and what shows nothing (a control or
        // invisible character pasted in) has no place in a name; a name of nothing else is none.
        const QString name = TrimSpaces(CleanUserName(dialog.name->text())).toUpper();
        if (name.isEmpty()) {
            Tell(QStringLiteral("ERROR:"), QStringLiteral("Falta Nombre de Usuario"));
            dialog.name->clear();
            dialog.name->setFocus();
            continue;
        }
        // The mode in force for the user already chosen stays: the new line has its own.
        WriteOutcome outcome = WriteOutcome::Failed;
        addedId = store.AppendNewUser(name, ChosenLevel(dialog.levels), ChosenMode(dialog.modes),
                                      &outcome);
        if (outcome == WriteOutcome::Busy) {
            // The pupil may try again with the name still typed.
            Tell(QStringLiteral("ERROR:"),
                 QStringLiteral("No se pudo guardar el nuevo usuario: ") + BusyText(store) +
                     QStringLiteral(" Inténtalo de nuevo."),
                 DialogIcon::Exclamation);
            continue;
        }
        if (addedId.isEmpty()) {
            Tell(QStringLiteral("ERROR:"),
                 QStringLiteral("No se pudo guardar el nuevo usuario: ") +
                     NotWrittenText(store, {outcome}),
                 DialogIcon::Exclamation);
        }
        break;
    }

    SetAlwaysOnTop(dialog.window, false);
    if (owner) owner->setEnabled(true);
    DestroyWindow(dialog.window);
    return addedId;
}

}  // namespace tz
