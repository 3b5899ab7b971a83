#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/dialogs.h"
#include "tests/users/users_screen_helpers.h"

namespace tz {
namespace {

using test::ClickControl;
using test::TypeText;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kLuis =
    "LUIS|12|3|2|210|200|220|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002\r\n";

class NewUserDialogTest : public test::UsersScreenTest {
  protected:
    void SetUp() override {
        test::UsersScreenTest::SetUp();
        WriteUsers(kHeader + kLuis);
        // A user is chosen already; adding another must not disturb her.
        CurrentUser.id = "ID-20240101000002";
        LoadCurrentUser();
        CurrentMode = "FACIL";
        luis_ = CurrentUser;
    }
    // Runs the dialog; `act` gets it and its name entry once it waits, and must close it.
    QString RunAndThen(const std::function<void(QWidget*, QLineEdit*)>& act) {
        test::WhenActive("Datos de nuevo usuario", [act](QWidget* dialog) {
            act(dialog, qobject_cast<QLineEdit*>(FindControl(dialog, kNewUserNameId)));
        });
        const QString id = RunNewUserDialog(&owner_, store_);
        EXPECT_EQ(test::NewUserDialogOnScreen(), nullptr);
        EXPECT_EQ(CurrentUser, luis_);
        EXPECT_EQ(CurrentMode, "FACIL");
        return id;
    }

    UserRecord luis_;
};

bool Checked(QWidget* dialog, int id) {
    return qobject_cast<QRadioButton*>(FindControl(dialog, id))->isChecked();
}

TEST_F(NewUserDialogTest, OpensOnTheNameWithTheDefaultsAndLeavesWithoutAddingByEscape) {
    const QString id = RunAndThen([](QWidget* dialog, QLineEdit* name) {
        EXPECT_EQ(dialog->size(), QSize(310, 398));
        EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_EQ(test::ControlsWithoutNames(dialog), QStringList());
        EXPECT_EQ(name->geometry(), QRect(20, 45, 270, 20));
        EXPECT_EQ(dialog->focusWidget(), name);
        // Every caption and option where it belongs, each option 20 pixels below the last.
        EXPECT_EQ(FindControl(dialog, kNewUserNameCaptionId)->geometry(), QRect(20, 20, 270, 20));
        EXPECT_EQ(FindControl(dialog, kNewUserLevelCaptionId)->geometry(), QRect(20, 90, 270, 20));
        EXPECT_EQ(FindControl(dialog, kNewUserModeCaptionId)->geometry(), QRect(20, 210, 270, 20));
        for (int id = kNewUserFirstLevelId; id <= kNewUserHardId; ++id) {
            if (id == kNewUserModeFrameId || id == kNewUserModeCaptionId) continue;
            const int y = id < kNewUserModeFrameId ? 115 + 20 * (id - kNewUserFirstLevelId)
                                                   : 235 + 20 * (id - kNewUserNormalId);
            EXPECT_EQ(FindControl(dialog, id)->geometry(), QRect(20, y, 270, 20)) << id;
        }
        EXPECT_EQ(FindControl(dialog, kNewUserCancelId)->geometry(), QRect(190, 340, 50, 50));
        EXPECT_EQ(FindControl(dialog, kNewUserAcceptId)->geometry(), QRect(250, 340, 50, 50));
        EXPECT_TRUE(Checked(dialog, kNewUserFirstLevelId));
        EXPECT_TRUE(Checked(dialog, kNewUserNormalId));
        // The two groups are independent.
        ClickControl(dialog, kNewUserEasyId);
        ClickControl(dialog, kNewUserSlowTypistId);
        EXPECT_TRUE(Checked(dialog, kNewUserEasyId));
        EXPECT_FALSE(Checked(dialog, kNewUserNormalId));
        EXPECT_FALSE(Checked(dialog, kNewUserFirstLevelId));
        // Enter means nothing here; Escape leaves even with a name typed.
        TypeText(name, "marta\n");
        EXPECT_TRUE(dialog->isVisible());
        QTest::keyClick(name, Qt::Key_Escape);
    });
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(Users(), kHeader + kLuis);
}

TEST_F(NewUserDialogTest, AnEmptyNameIsRefusedAndTheEntryEmptied) {
    const QString id = RunAndThen([](QWidget* dialog, QLineEdit* name) {
        // Spaces alone, then bars alone (a bar would split the line): no name either way.
        for (const char* typed : {"    ", " || "}) {
            TypeText(name, typed);
            ClickControl(dialog, kNewUserAcceptId);
            EXPECT_EQ(AskedDialogs().back().title, "ERROR:");
            EXPECT_EQ(AskedDialogs().back().text, "Falta Nombre de Usuario");
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_TRUE(name->text().isEmpty());
            EXPECT_EQ(dialog->focusWidget(), name);
        }
        ClickControl(dialog, kNewUserCancelId);
    });
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(AskedDialogs().size(), 2u);
    EXPECT_EQ(Users(), kHeader + kLuis);
}

TEST_F(NewUserDialogTest, EachChoiceGivesItsLevelAndModeAndTheNameIsCleaned) {
    // A pasted name: the entry takes 60 characters, and what would hide or reorder the name in
    // the list, or cut its line, does not reach the users file.
    const QString pasted = QStringLiteral("ana") + QChar(0x202E) + QChar(0) + "\tgil" +
                           QChar(0x200B) + QString(70, 'x');
    const struct {
        int levelOption;
        int modeOption;
        QString typed;
        QByteArray line;
    } cases[] = {
        {0, 0, QString::fromUtf8("luis garcía"),
         "LUIS GARCÍA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"},
        {kNewUserSlowTypistId, kNewUserVeryEasyId, QString::fromUtf8(" iñaki "),
         "IÑAKI|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|"},
        {kNewUserGoodTypistId, kNewUserEasyId, QString::fromUtf8("zoë|x"),
         "ZOËX|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"},
        {kNewUserFirstLevelId, kNewUserHardId, "ana",
         "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|"},
        {0, 0, pasted,
         "ANAGIL" + QByteArray(50, 'X') + "|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"},
    };
    QByteArray expected = kHeader + kLuis;
    for (const auto& c : cases) {
        const QString id = RunAndThen([&c](QWidget* dialog, QLineEdit* name) {
            if (c.typed.size() > kUserNameMaxLength) {
                name->insert(c.typed);
                EXPECT_EQ(name->text().size(), kUserNameMaxLength);
            } else {
                TypeText(name, c.typed);
            }
            if (c.levelOption) ClickControl(dialog, c.levelOption);
            if (c.modeOption) ClickControl(dialog, c.modeOption);
            ClickControl(dialog, kNewUserAcceptId);
        });
        EXPECT_EQ(id, "ID-" + clock_.now.toString("yyyyMMddHHmmss"));
        expected += c.line + id.toUtf8() + "\r\n";
        EXPECT_EQ(Users(), expected) << c.typed.toStdString();
        clock_.Advance(1000);
    }
    EXPECT_TRUE(AskedDialogs().empty());
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
    EXPECT_TRUE(AskedDialogs()[0].text.startsWith("No se pudo guardar el nuevo usuario"));
}

}  // namespace
}  // namespace tz
