#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "app/picture_registry.h"
#include "current_user.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/pictures.h"
#include "support.h"
#include "tests/users/users_screen_helpers.h"
#include "users/new_user_dialog.h"
#include "users/user_record.h"

namespace tz {
namespace {

using test::ClickControl;
using test::NewUserDialogOnScreen;
using test::TypeText;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kLuis =
    "LUIS|12|3|2|210|200|220|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002\r\n";

class NewUserDialogTest : public test::ProgramFolderTest, public test::CurrentUserState {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        if (!PictureExists(47)) RegisterAllPictures();
        clock_.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
        SetClock(&clock_);
        // A user is chosen already; adding another must not disturb her.
        CurrentUser = UserRecord{};
        CurrentUser.id = "ID-20240101000002";
        CurrentUser.name = "LUIS";
        CurrentUser.level = 12;
        CurrentMode = "FACIL";
        owner_.setFixedSize(200, 100);
        owner_.show();
        WriteBytes("usuarios.dat", kHeader + kLuis);
    }
    void TearDown() override {
        SetClock(nullptr);
        test::ProgramFolderTest::TearDown();
    }
    QByteArray Users() const { return ReadBytes("usuarios.dat"); }

    // Runs the dialog; `act` gets it once it waits for input and must close it.
    QString RunAndThen(const std::function<void(QWidget*, QLineEdit*)>& act) {
        AppendInputStep([this, act] {
            QWidget* dialog = NewUserDialogOnScreen();
            if (!dialog) {
                ADD_FAILURE() << "the new-user dialog is not shown";
                return;
            }
            EXPECT_FALSE(owner_.isEnabled());
            act(dialog, qobject_cast<QLineEdit*>(FindControl(dialog, kNewUserNameId)));
        });
        const QString id = RunNewUserDialog(&owner_, store_);
        EXPECT_EQ(NewUserDialogOnScreen(), nullptr);
        EXPECT_TRUE(owner_.isEnabled());
        return id;
    }
    void ExpectCurrentUserUntouched() const {
        EXPECT_EQ(CurrentUser.id, "ID-20240101000002");
        EXPECT_EQ(CurrentUser.name, "LUIS");
        EXPECT_EQ(CurrentUser.level, 12);
        EXPECT_EQ(CurrentMode, "FACIL");
    }

    ManualClock clock_;
    QWidget owner_;
};

bool Checked(QWidget* dialog, int id) {
    auto* option = qobject_cast<QRadioButton*>(FindControl(dialog, id));
    return option && option->isChecked();
}

TEST_F(NewUserDialogTest, OpensWithItsControlsAndDefaultsAndEscapeAddsNothing) {
    const QString id = RunAndThen([](QWidget* dialog, QLineEdit* name) {
        EXPECT_EQ(dialog->size(), QSize(310, 398));
        EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->geometry(), QRect(20, 45, 270, 20));
        EXPECT_EQ(dialog->focusWidget(), name);
        EXPECT_TRUE(name->text().isEmpty());

        struct Expected {
            int id;
            QRect geometry;
            const char* text;
        };
        const Expected captions[] = {
            {kNewUserNameCaptionId, {20, 20, 270, 20}, "Nombre y apellidos"},
            {kNewUserLevelCaptionId, {20, 90, 270, 20}, "Conocimientos de Tipenzo"},
            {kNewUserModeCaptionId, {20, 210, 270, 20}, "Pulsaciones a conseguir"},
        };
        for (const Expected& caption : captions) {
            auto* label = qobject_cast<QLabel*>(FindControl(dialog, caption.id));
            ASSERT_NE(label, nullptr) << caption.id;
            EXPECT_EQ(label->geometry(), caption.geometry);
            EXPECT_EQ(label->text(), QString::fromUtf8(caption.text));
            EXPECT_EQ(label->palette().color(QPalette::Window), QColor(253, 230, 196));
        }
        const Expected options[] = {
            {kNewUserFirstLevelId, {20, 115, 270, 20}, "Comenzar desde el primer nivel?"},
            {kNewUserSlowTypistId, {20, 135, 270, 20}, "Escribe lento (Menos de 100 p.p.m.)"},
            {kNewUserGoodTypistId, {20, 155, 270, 20}, "Teclea correctamente (más de 100 p.p.m.)"},
            {kNewUserNormalId, {20, 235, 270, 20}, "Normal (por defecto en el programa)"},
            {kNewUserVeryEasyId, {20, 255, 270, 20}, "Muy Fácil (pulsaciones a conseguir / 3)"},
            {kNewUserEasyId, {20, 275, 270, 20}, "Fácil (pulsaciones a conseguir / 2)"},
            {kNewUserHardId, {20, 295, 270, 20}, "Difícil (pulsaciones a conseguir * 2)"},
        };
        for (const Expected& option : options) {
            auto* button = qobject_cast<QRadioButton*>(FindControl(dialog, option.id));
            ASSERT_NE(button, nullptr) << option.id;
            EXPECT_EQ(button->geometry(), option.geometry);
            EXPECT_EQ(button->text(), QString::fromUtf8(option.text));
            EXPECT_EQ(button->palette().color(QPalette::Window), QColor(254, 201, 129));
        }
        EXPECT_TRUE(Checked(dialog, kNewUserFirstLevelId));
        EXPECT_TRUE(Checked(dialog, kNewUserNormalId));
        EXPECT_EQ(FindControl(dialog, kNewUserCancelId)->geometry(), QRect(190, 340, 50, 50));
        EXPECT_EQ(FindControl(dialog, kNewUserCancelId)->toolTip(),
                  QString::fromUtf8("Cancelar operación"));
        EXPECT_EQ(FindControl(dialog, kNewUserAcceptId)->geometry(), QRect(250, 340, 50, 50));
        EXPECT_EQ(FindControl(dialog, kNewUserAcceptId)->toolTip(), "Aceptar Nuevo Usuario");

        // Enter means nothing here; Escape leaves even with a name typed.
        TypeText(name, "marta");
        QTest::keyClick(name, Qt::Key_Return);
        AppendInputStep([name] {
            EXPECT_EQ(NewUserDialogOnScreen(), name->window());
            QTest::keyClick(name, Qt::Key_Escape);
        });
    });
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(Users(), kHeader + kLuis);
    ExpectCurrentUserUntouched();
}

TEST_F(NewUserDialogTest, TheTwoGroupsOfOptionsAreIndependent) {
    RunAndThen([](QWidget* dialog, QLineEdit*) {
        ClickControl(dialog, kNewUserEasyId);
        EXPECT_TRUE(Checked(dialog, kNewUserFirstLevelId));
        EXPECT_TRUE(Checked(dialog, kNewUserEasyId));
        EXPECT_FALSE(Checked(dialog, kNewUserNormalId));
        ClickControl(dialog, kNewUserSlowTypistId);
        EXPECT_TRUE(Checked(dialog, kNewUserEasyId));
        EXPECT_TRUE(Checked(dialog, kNewUserSlowTypistId));
        EXPECT_FALSE(Checked(dialog, kNewUserFirstLevelId));
        ClickControl(dialog, kNewUserCancelId);
    });
    EXPECT_EQ(Users(), kHeader + kLuis);
}

TEST_F(NewUserDialogTest, AnEmptyNameIsRefusedAndTheEntryEmptied) {
    const QString id = RunAndThen([](QWidget* dialog, QLineEdit* name) {
        TypeText(name, "    ");
        ClickControl(dialog, kNewUserAcceptId);
        AppendInputStep([dialog, name] {
            ASSERT_EQ(AskedDialogs().size(), 1u);
            EXPECT_EQ(AskedDialogs()[0].title, "ERROR:");
            EXPECT_EQ(AskedDialogs()[0].text, "Falta Nombre de Usuario");
            EXPECT_EQ(test::BoxOf(AskedDialogs()[0]), (test::Box{}));
            EXPECT_EQ(NewUserDialogOnScreen(), dialog);
            EXPECT_TRUE(name->text().isEmpty());
            EXPECT_EQ(dialog->focusWidget(), name);
            // A bar would split the line; a name of bars alone is no name.
            TypeText(name, " || ");
            ClickControl(dialog, kNewUserAcceptId);
            AppendInputStep([dialog] {
                EXPECT_EQ(AskedDialogs().size(), 2u);
                ClickControl(dialog, kNewUserCancelId);
            });
        });
    });
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(Users(), kHeader + kLuis);
    ExpectCurrentUserUntouched();
}

TEST_F(NewUserDialogTest, EachChoiceGivesItsLevelAndModeAndTheCurrentUserStays) {
    struct Case {
        int levelOption;
        int modeOption;
        const char* typed;
        const char* line;
    };
    const Case cases[] = {
        {0, 0, "luis garcía", "LUIS GARCÍA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"},
        {kNewUserSlowTypistId, kNewUserVeryEasyId, " iñaki ",
         "IÑAKI|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|"},
        {kNewUserGoodTypistId, kNewUserEasyId, "zoë|x",
         "ZOËX|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"},
        {kNewUserFirstLevelId, kNewUserHardId, "ana",
         "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|"},
    };
    QByteArray expected = kHeader + kLuis;
    for (const Case& c : cases) {
        const QString id = RunAndThen([&c](QWidget* dialog, QLineEdit* name) {
            TypeText(name, QString::fromUtf8(c.typed));
            if (c.levelOption) ClickControl(dialog, c.levelOption);
            if (c.modeOption) ClickControl(dialog, c.modeOption);
            ClickControl(dialog, kNewUserAcceptId);
        });
        EXPECT_EQ(id, "ID-" + clock_.now.toString("yyyyMMddHHmmss"));
        expected += QByteArray(c.line) + id.toUtf8() + "\r\n";
        EXPECT_EQ(Users(), expected) << c.typed;
        ExpectCurrentUserUntouched();
        clock_.Advance(1000);
    }
    EXPECT_TRUE(AskedDialogs().empty());
}

// A name pasted from anywhere: the entry takes 60 characters, and what would hide or reorder
// the name in the list, or cut its line, does not reach the users file.
TEST_F(NewUserDialogTest, APastedNameStopsAtSixtyAndLosesInvisibleCharacters) {
    const QString pasted = QStringLiteral("ana") + QChar(0x202E) + QChar(0) + "\tgil" +
                           QChar(0x200B) + QString(70, 'x');
    const QString id = RunAndThen([&pasted](QWidget* dialog, QLineEdit* name) {
        name->insert(pasted);
        EXPECT_EQ(name->text().size(), kUserNameMaxLength);
        ClickControl(dialog, kNewUserAcceptId);
    });
    EXPECT_EQ(Users(), kHeader + kLuis + "ANAGIL" + QByteArray(50, 'X') +
                           "|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|" + id.toUtf8() + "\r\n");
}

TEST_F(NewUserDialogTest, AUsersFileThatCannotBeWrittenIsToldNotHidden) {
    // A folder in the place of the users file cannot be appended to, even by root.
    ASSERT_TRUE(QFile::remove(Path("usuarios.dat")));
    ASSERT_TRUE(QDir(dir_->path()).mkdir("usuarios.dat"));
    const QString id = RunAndThen([](QWidget* dialog, QLineEdit* name) {
        TypeText(name, "nora");
        ClickControl(dialog, kNewUserAcceptId);
    });
    EXPECT_TRUE(id.isEmpty());
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].title, "ERROR:");
    EXPECT_TRUE(AskedDialogs()[0].text.startsWith("No se pudo guardar el nuevo usuario"));
    ExpectCurrentUserUntouched();
}

}  // namespace
}  // namespace tz
