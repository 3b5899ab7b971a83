#include "users/users_upgrade.h"
#include "current_user.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {
namespace {

// Worked out by hand from the key "qorvandel": 'A'^'q' = '0', 'N'^'o' = '!', 'A'^'r' = '3'.
TEST(ScrambleText, CombinesWithTheKeyAndLeavesEveryTenthCharacterAlone) {
    EXPECT_EQ(ScrambleText("ANA", kScrambleKey), "0!3");
    EXPECT_EQ(ScrambleText("0!3", kScrambleKey), "ANA");

    // Positions 10, 20, ... use no key character; a character equal to its key character is
    // left as it is instead of becoming NUL.
    const QString ten = "ABCDEFGHIJ";
    const QString scrambled = ScrambleText(ten, kScrambleKey);
    EXPECT_EQ(scrambled[9], QChar('J'));
    for (int i = 0; i < 9; ++i) EXPECT_NE(scrambled[i], ten[i]) << i;
    EXPECT_EQ(ScrambleText("qorvandel", kScrambleKey), "qorvandel");

    const QString long_ = QString::fromUtf8("ÑANDÚ|12|1|1|0|-1|NORMAL y un texto más largo que 20");
    EXPECT_EQ(ScrambleText(ScrambleText(long_, kScrambleKey), kScrambleKey), long_);
    EXPECT_EQ(ScrambleText(long_, kScrambleKey)[19], long_[19]);
    EXPECT_EQ(ScrambleText("", kScrambleKey), "");
}

class UsersUpgradeTest : public test::ProgramFolderTest, public test::CurrentUserState {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        clock_.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
        SetClock(&clock_);
    }
    void TearDown() override {
        SetClock(nullptr);
        test::ProgramFolderTest::TearDown();
    }
    ManualClock clock_;
};

TEST_F(UsersUpgradeTest, CurrentFileIsLeftUntouched) {
    const QByteArray file =
        "Datos de Usuarios v2.6\r\nANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
        "NORMAL|ID-1\n";
    WriteBytes("usuarios.dat", file);
    EXPECT_EQ(UpgradeUsersFile(), 26);
    EXPECT_EQ(ReadBytes("usuarios.dat"), file);

    // A later version is current as well.
    WriteBytes("usuarios.dat", "Datos de Usuarios v2.9\r\n");
    EXPECT_EQ(UpgradeUsersFile(), 29);
    EXPECT_EQ(ReadBytes("usuarios.dat"), "Datos de Usuarios v2.9\r\n");
    EXPECT_FALSE(Exists("usuarios.tmp"));
}

TEST_F(UsersUpgradeTest, ByteOrderMarkDoesNotMakeACurrentFileOld) {
    // Saved by a text editor: without skipping the mark every line would be scrambled.
    const QByteArray file =
        "\xEF\xBB\xBF"
        "Datos de Usuarios v2.6\r\nANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
        "FACIL|ID-20240101000000\r\n";
    WriteBytes("usuarios.dat", file);
    EXPECT_EQ(UpgradeUsersFile(), 26);
    EXPECT_EQ(ReadBytes("usuarios.dat"), file);

    CurrentUser = UserRecord{};
    CurrentUser.id = "ID-20240101000000";
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, "ANA");
    EXPECT_EQ(CurrentUser.level, 6);

    // A rewrite keeps the header line but not the mark: the program writes none.
    ASSERT_TRUE(SaveCurrentUser());
    EXPECT_EQ(ReadBytes("usuarios.dat"), file.mid(3));

    // A file holding only the mark counts as empty: the new user does not become the header.
    WriteBytes("usuarios.dat", "\xEF\xBB\xBF");
    ASSERT_FALSE(AppendNewUser("EVA", 1).isEmpty());
    ASSERT_EQ(ReadPupils().pupils.size(), 1);
    EXPECT_EQ(ReadPupils().pupils[0].name, "EVA");
    EXPECT_EQ(UpgradeUsersFile(), 26) << "the next start would scramble the new user";
}

TEST_F(UsersUpgradeTest, MissingFileBecomesTheHeaderAlone) {
    EXPECT_EQ(UpgradeUsersFile(), 0);
    EXPECT_EQ(ReadBytes("usuarios.dat"), "Datos de Usuarios v2.6\r\n");
    EXPECT_EQ(FileSize(Path("usuarios.dat")), 24);
    EXPECT_FALSE(Exists("usuarios.tmp"));
    // A second start finds a current file.
    EXPECT_EQ(UpgradeUsersFile(), 26);
}

TEST_F(UsersUpgradeTest, OlderFileIsUnscrambledTrimmedAndGivenIds) {
    // Scrambled by this program's own routine...
    const QString ana =
        QString::fromUtf8("ANA PÉREZ|6|2|3|180|200|160|-1|-1|-1|-1|-1|-1|-1|-1|FACIL");
    const QString luis = " LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL  ";
    QByteArray file = "Datos de Usuarios v2.5\r\n";
    file += ScrambleText(ana, kScrambleKey).toUtf8() + "\r\n";
    file += ScrambleText(luis, kScrambleKey).toUtf8() + "\r\n";

    // ... and worked out independently of it: the same two lines as the older program wrote
    // them. Several "|" land under the key's "q" and "v" and turn into CR and LF inside a line.
    const QByteArray byHand =
        "Datos de Usuarios v2.5\r\n"
        "0!3V1\xC2"
        "\xA7"
        "6 6|G\x13"
        "@\x0A"
        "R\x12"
        "U]\x5C"
        "|C_B\x0A"
        "PXT\x19"
        "A1\x0D"
        "BC\x0A"
        "L_\x18"
        "H]|\x5C"
        "^\x0E"
        "[P\x12"
        "IT\x10"
        "-@\x13"
        "47\x22"
        "'(\r\n"
        "Q#'\x3F"
        "2\x12"
        "U\x19"
        "]|@\x13"
        "B\x0A"
        "L_\x18"
        "H]|\x5C"
        "^\x0E"
        "[P\x12"
        "IT\x10"
        "-@\x13"
        "_G\x1D"
        "CU\x19"
        "A1\x0D"
        "BC\x0A"
        "/!6(-LQO\r\n";
    EXPECT_EQ(file, byHand);

    const QByteArray expected = QByteArray("Datos de Usuarios v2.6\r\n") + ana.toUtf8() +
                                "|ID-202403050905071\r\n"
                                "LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL"
                                "|ID-202403050905072\r\n";
    WriteBytes("usuarios.dat", byHand);
    EXPECT_EQ(UpgradeUsersFile(), 0);
    EXPECT_EQ(ReadBytes("usuarios.dat"), expected);
    EXPECT_FALSE(Exists("usuarios.tmp"));

    // Also through a byte-order mark, and under the other spelling of the name.
    RemoveFile(Path("usuarios.dat"));
    WriteBytes("USUARIOS.DAT", "\xEF\xBB\xBF" + byHand);
    EXPECT_EQ(UpgradeUsersFile(), 0);
    EXPECT_EQ(ReadBytes("USUARIOS.DAT"), expected);
    EXPECT_FALSE(test::HoldsEntrySpelled(dir_->path(), "usuarios.dat"))
        << "one users file, under the spelling it had";

    // The converted user loads as written.
    CurrentUser = UserRecord{};
    CurrentUser.id = "ID-202403050905071";
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, QString::fromUtf8("ANA PÉREZ"));
    EXPECT_EQ(CurrentUser.level, 6);
    EXPECT_EQ(CurrentUser.averageSpeed, 180);
    EXPECT_EQ(CurrentUser.history[1], 160);
    EXPECT_EQ(CurrentMode, "FACIL");
}

TEST_F(UsersUpgradeTest, OlderFileWithPlainLineFeedsConverts) {
    WriteBytes("usuarios.dat", "Datos de Usuarios v2.5\n0!3\n\n");
    EXPECT_EQ(UpgradeUsersFile(), 0);
    // A blank line is nobody; a short line gets the fields it lacks, so its id stands in field
    // 17 where the program looks for it.
    EXPECT_EQ(ReadBytes("usuarios.dat"),
              "Datos de Usuarios v2.6\r\nANA" + QByteArray(16, '|') + "ID-202403050905071\r\n");
    EXPECT_EQ(ReadBytes("usuarios_antes_de_v2.6_20240305090507.dat"),
              "Datos de Usuarios v2.5\n0!3\n\n")
        << "the old file is kept as it was";
    CurrentUser.id = "ID-202403050905071";
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, "ANA");
}

TEST_F(UsersUpgradeTest, UsersFolderInPlaceOfTheFileChangesNothing) {
    ASSERT_TRUE(CreateFolder(Path("usuarios.dat")));
    EXPECT_EQ(UpgradeUsersFile(), 0);
    EXPECT_EQ(FileSize(Path("usuarios.dat")), -2);
    EXPECT_FALSE(Exists("usuarios.tmp"));
}

}  // namespace
}  // namespace tz
