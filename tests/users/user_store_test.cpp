#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <functional>
#include <thread>

#include "current_user.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "support.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_transfer.h"
#include "users/users_upgrade.h"

namespace tz {
namespace {

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kAna = "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
const QByteArray kLuis = "LUIS|1|2|3|150|150|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002";
const QByteArray kEva = "EVA|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-20240101000003";

class UserStoreTest : public test::ProgramFolderTest, public test::CurrentUserState {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        clock_.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
        SetClock(&clock_);
    }
    void TearDown() override {
        SetClock(nullptr);
        SetRandomSource({});
        test::ProgramFolderTest::TearDown();
    }
    void WriteUsers(const QByteArray& bytes) { WriteBytes("usuarios.dat", bytes); }
    QByteArray Users() const { return ReadBytes("usuarios.dat"); }
    // The pupils listed, as the program writes them.
    static QStringList Listed() {
        QStringList lines;
        for (const UserRecord& pupil : ReadPupils().pupils) lines << FormatUserLine(pupil);
        return lines;
    }
    ManualClock clock_;
};

TEST_F(UserStoreTest, SaveReplacesOnlyTheCurrentUsersLine) {
    // Other lines keep their bytes, apart from their line end, always CR LF; one written by
    // hand in Latin-1 is written as the UTF-8 of what it shows.
    const QByteArray latin1 =
        "PE\xD1"
        "A|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-7|extra";
    WriteUsers("Datos de Usuarios v2.4\n" + kAna + "\n" + kLuis + "\r" + latin1);

    CurrentUser.id = "ID-20240101000002";
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, "LUIS");
    CurrentUser.exercise = 4;
    RecordResult(250);
    EXPECT_EQ(CurrentUser.history[1], 250);
    CurrentUser.mode = "rápido";  // not a mode: written as NORMAL, kept in the record
    ASSERT_TRUE(SaveCurrentUser());

    EXPECT_EQ(CurrentUser.averageSpeed, 200);
    EXPECT_EQ(CurrentUser.mode, QString::fromUtf8("rápido"));
    EXPECT_EQ(Users(), kHeader + kAna + "\r\n" +
                           "LUIS|1|2|4|200|150|250|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                           "ID-20240101000002\r\n" +
                           QString::fromLatin1(latin1).toUtf8() + "\r\n");
    EXPECT_FALSE(Exists("usuarios.tmp"));

    // Without a matching line (another program deleted her) nothing is written, and the save
    // does not pass for one: her pass would be lost without a word.
    CurrentUser.id = "ID-nadie";
    CurrentUser.averageSpeed = -9;
    const QByteArray before = Users();
    EXPECT_EQ(SaveUser(CurrentUser).outcome, WriteOutcome::UserGone);
    EXPECT_EQ(Users(), before);
    EXPECT_EQ(CurrentUser.averageSpeed, -9) << "the average is only computed for a stored line";
}

TEST_F(UserStoreTest, SaveRewritesEveryLineWithTheIdAndKeepsNamesClean) {
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n" + kAna + "\r\n");
    CurrentUser.id = "ID-20240101000001";
    LoadCurrentUser();
    CurrentUser.name = "ANA|GIL\r\nX";
    ASSERT_TRUE(SaveCurrentUser());
    const QByteArray anaLine =
        "ANAGILX|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
    EXPECT_EQ(Users(), kHeader + anaLine + "\r\n" + kLuis + "\r\n" + anaLine + "\r\n");

    // With no user selected (empty id) a line without an id is not taken for the user's; a
    // missing file is not made.
    WriteUsers(kHeader + "\r\n" + kAna + "\r\n");
    CurrentUser = UserRecord{};
    CurrentUser.name = "NADIE";
    EXPECT_FALSE(SaveCurrentUser());
    EXPECT_EQ(Users(), kHeader + "\r\n" + kAna + "\r\n");
    RemoveFile(Path("usuarios.dat"));
    EXPECT_FALSE(SaveCurrentUser());
    EXPECT_FALSE(Exists("usuarios.dat"));
}

TEST_F(UserStoreTest, FailedRewriteLeavesTheUsersFileAsItWas) {
    const QByteArray file = kHeader + kAna + "\r\n" + kLuis + "\r\n";
    WriteUsers(file);
    CurrentUser.id = "ID-20240101000001";
    CurrentUser.name = "OTRA";

    // The new file can never take the old one's place.
    SetMoveOnce([](const QString&, const QString&) { return MoveStep::Failed; });
    EXPECT_FALSE(SaveCurrentUser());
    EXPECT_FALSE(DeleteUser("ID-20240101000002"));
    EXPECT_EQ(AppendNewUser("EVA", 1), "");
    SetMoveOnce({});
    EXPECT_EQ(Users(), file);
    EXPECT_EQ(LeftoverTemps(), QStringList());

    // The users file cannot be opened: nothing is created.
    RemoveFile(Path("usuarios.dat"));
    ASSERT_TRUE(CreateFolder(Path("usuarios.dat")));
    EXPECT_FALSE(SaveCurrentUser());
    EXPECT_FALSE(DeleteUser("ID-20240101000002"));
    EXPECT_EQ(FileSize(Path("usuarios.dat")), -2);
    EXPECT_EQ(LeftoverTemps(), QStringList());
}

TEST_F(UserStoreTest, LoadTakesTheLastMatchingLineAndSetsTheMode) {
    const QByteArray ana2 =
        "ANA BIS|7|2|1|300|300|-1|-1|-1|-1|-1|-1|-1|-1|-1| MUY FACIL |ID-20240101000001";
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n" + ana2 + "\r\n");
    CurrentUser.id = "ID-20240101000001";
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, "ANA BIS");
    EXPECT_EQ(CurrentUser.level, 7);
    EXPECT_EQ(CurrentUser.averageSpeed, 300);
    EXPECT_EQ(CurrentUser.history[0], 300);
    EXPECT_EQ(CurrentUser.history[1], -1);
    EXPECT_EQ(CurrentUser.mode, "MUY FACIL");
    EXPECT_EQ(CurrentMode, "MUY FACIL");
    EXPECT_EQ(CurrentUser.id, "ID-20240101000001");

    // An id no line carries (or an empty one, or a missing file) changes nothing.
    const UserRecord before = CurrentUser;
    CurrentUser.id = "ID-20240101000001 ";
    LoadCurrentUser();
    CurrentUser.id = before.id;
    EXPECT_EQ(CurrentUser, before);
    CurrentUser.id.clear();
    WriteUsers(kHeader + "\r\n" + kAna + "\r\n");  // a blank line has no id either
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser.name, "ANA BIS");
    CurrentUser.id = before.id;
    RemoveFile(Path("usuarios.dat"));
    LoadCurrentUser();
    EXPECT_EQ(CurrentUser, before);
    EXPECT_FALSE(Exists("usuarios.dat")) << "loading never creates the file";
}

TEST_F(UserStoreTest, DeleteRemovesEveryLineWithTheIdAndKeepsTheHeader) {
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\n" + kAna + "\r\n" + kEva + "\r\n");
    ASSERT_TRUE(DeleteUser("ID-20240101000001"));
    EXPECT_EQ(Users(), kHeader + kLuis + "\r\n" + kEva + "\r\n");
    EXPECT_FALSE(Exists("usuarios.tmp"));

    // An unknown id leaves the lines; an empty id would match the header: nothing happens.
    ASSERT_TRUE(DeleteUser("ID-20240101"));
    EXPECT_EQ(Users(), kHeader + kLuis + "\r\n" + kEva + "\r\n");
    EXPECT_FALSE(DeleteUser(""));
    EXPECT_EQ(Users(), kHeader + kLuis + "\r\n" + kEva + "\r\n");

    // An older header is kept as it stands (delete does not renew it).
    WriteUsers("Datos de Usuarios v2.6 \n" + kEva + "\n" + kAna + "\n");
    ASSERT_TRUE(DeleteUser("ID-20240101000001"));
    EXPECT_EQ(Users(), "Datos de Usuarios v2.6 \r\n" + kEva + "\r\n");

    // A header line that is a whole user line (a file edited by hand) is a user like any
    // other; the file without it gets a header of its own.
    const QByteArray odd =
        "Datos de Usuarios v2.6|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002";
    WriteUsers(odd + "\r\n" + kLuis + "\r\n" + kEva + "\r\n");
    ASSERT_TRUE(DeleteUser("ID-20240101000002"));
    EXPECT_EQ(Users(), kHeader + kEva + "\r\n");
    // Without a header, the line that comes first once the deleted one is gone is not taken
    // for a header, even when it begins like one.
    const QByteArray lookalike =
        "Datos de Usuarios v|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-x";
    WriteUsers(kAna + "\r\n" + lookalike + "\r\n");
    ASSERT_TRUE(DeleteUser("ID-20240101000001"));
    EXPECT_EQ(Listed(), QStringList{lookalike});
}

// Importing and deleting over and over cannot fill the file of deleted pupils until no pupil
// can be deleted: the oldest go once it reaches its bound.
TEST_F(UserStoreTest, DeletedPupilsAreKeptUpToABound) {
    QByteArray old;
    while (old.size() < kMostDeletedPupilsBytes) old += kEva + "\r\n";
    WriteBytes(kDeletedPupilsName, old);
    WriteUsers(kHeader + kAna + "\r\n" + kLuis + "\r\n");
    ASSERT_TRUE(DeleteUser("ID-20240101000001"));
    const QByteArray kept = ReadBytes(kDeletedPupilsName);
    EXPECT_LE(kept.size(), kMostDeletedPupilsBytes);
    EXPECT_TRUE(kept.endsWith(kEva + "\r\n" + kAna + "\r\n"));
    EXPECT_EQ(Users(), kHeader + kLuis + "\r\n");
}

// A user's line counts wherever it stands; the header is told by what it says. Files an editor
// or a lost first line left behind keep every pupil through every operation.
TEST_F(UserStoreTest, EveryLineIsAUserWhereverItStands) {
    struct Case {
        const char* what;
        QByteArray file;
    };
    for (const Case& c :
         {Case{"a blank line above the header", "\r\n" + kHeader + kAna + "\r\n" + kLuis + "\r\n"},
          Case{"a lost header", kAna + "\r\n" + kLuis + "\r\n"},
          Case{"a header between the users", kAna + "\r\n" + kHeader + kLuis}}) {
        WriteUsers(c.file);
        EXPECT_EQ(UpgradeUsersFile(), 0) << c.what;
        EXPECT_EQ(Users(), c.file) << c.what << ": only an older header is upgraded";
        EXPECT_EQ(Listed(), (QStringList{kAna, kLuis})) << c.what;
        ASSERT_TRUE(LoadUser("ID-20240101000001")) << c.what;

        UserRecord ana = *LoadUser("ID-20240101000001");
        ana.exercise = 2;
        ASSERT_TRUE(SaveUser(ana));
        const QByteArray savedAna =
            "ANA|6|1|2|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
        EXPECT_TRUE(Users().startsWith(kHeader)) << c.what;
        EXPECT_EQ(Listed(), (QStringList{savedAna, kLuis})) << c.what;
        EXPECT_EQ(Users().count("Datos de Usuarios"), 1) << c.what;
    }
}

// Every change reads the users file only once it holds the lock: what another program writes
// while this one waits for the lock stays.
TEST_F(UserStoreTest, ChangesReadTheFileOnlyOnceTheyHoldTheLock) {
    SetClock(nullptr);  // the wait for the lock is a real one here
    const QByteArray start = kHeader + kAna + "\r\n" + kLuis + "\r\n";
    const QByteArray withEva = start + kEva + "\r\n";
    WriteBytes("nueva.tpz", "PEPE|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-9\r\n");
    struct Case {
        const char* what;
        QByteArray before;
        std::function<void()> change;
        QStringList names;  // who is in the file afterwards
    };
    const Case cases[] = {
        {"save",
         start,
         [] {
             UserRecord ana = *LoadUser("ID-20240101000001");
             ana.name = "ANA GIL";
             ASSERT_TRUE(SaveUser(ana));
         },
         {"ANA GIL", "LUIS", "EVA"}},
        {"add",
         start,
         [] { ASSERT_FALSE(tz::AppendNewUser("PEPE", 1, "NORMAL").isEmpty()); },
         {"ANA", "LUIS", "EVA", "PEPE"}},
        {"delete", start, [] { ASSERT_TRUE(DeleteUser("ID-20240101000002")); }, {"ANA", "EVA"}},
        {"import",
         start,
         [this] {
             ASSERT_EQ(ImportIntoUsersFile(ReadImportFile(Path("nueva.tpz")).pupils).imported, 1);
         },
         {"ANA", "LUIS", "EVA", "PEPE"}},
        {"default file", "", [] { CreateDefaultUsersFile(); }, {"ANA", "LUIS", "EVA"}},
        {"upgrade",
         "Datos de Usuarios v2.5\r\n0!3\r\n",
         [] { UpgradeUsersFile(); },
         {"ANA", "LUIS", "EVA"}},
    };
    for (const Case& c : cases) {
        RemoveFile(Path("usuarios.dat"));
        if (!c.before.isEmpty()) WriteUsers(c.before);
        // Another program holds the users file and writes it while this one waits.
        std::unique_ptr<FileLock> other = LockUsersFile(0);
        ASSERT_TRUE(other);
        std::thread writer([&] {
            QThread::msleep(150);
            ReplaceFileWith(Path("usuarios.dat"), withEva);
            other.reset();
        });
        c.change();
        writer.join();
        QStringList names;
        for (const UserRecord& pupil : ReadPupils().pupils) names << pupil.name;
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST_F(UserStoreTest, AppendWritesTheNewUsersLineWithAUniqueId) {
    WriteUsers(kHeader);
    CurrentMode = "DIFICIL";
    EXPECT_EQ(AppendNewUser(QString::fromUtf8("ANA PÉREZ"), 10), "ID-20240305090507");
    CurrentMode = "FACIL";
    // Same second: the id gets a counter and stays "ID-" and digits.
    EXPECT_EQ(AppendNewUser("LUIS", 6), "ID-202403050905071");
    EXPECT_EQ(AppendNewUser("EVA", 1), "ID-202403050905072");
    clock_.Advance(1000);
    CurrentMode = "lento";
    EXPECT_EQ(AppendNewUser(
                  QStringLiteral("PEPE|X\r\n") + QChar(0) + QChar(0x202E) + QString(70, 'Z'), -3),
              "ID-20240305090508");
    // A name of nothing a name may keep is none.
    EXPECT_EQ(AppendNewUser(QString(QChar(0x200B)) + " \t", 1), "");
    EXPECT_EQ(Users(), kHeader +
                           QString::fromUtf8("ANA PÉREZ|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
                                             "DIFICIL|ID-20240305090507\r\n")
                               .toUtf8() +
                           "LUIS|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"
                           "ID-202403050905071\r\n"
                           "EVA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"
                           "ID-202403050905072\r\n"
                           "PEPEX" +
                           QByteArray(55, 'Z') +
                           "|-3|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                           "ID-20240305090508\r\n");

    // Each of the users now saves into its own line only.
    CurrentUser.id = "ID-202403050905071";
    LoadCurrentUser();
    CurrentUser.level = 7;
    ASSERT_TRUE(SaveCurrentUser());
    const QStringList lines = Listed();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("ANA PÉREZ|10|")));
    EXPECT_TRUE(lines[1].startsWith("LUIS|7|"));
    EXPECT_TRUE(lines[2].startsWith("EVA|1|"));

    // Nor a deleted pupil's id, by her line or by her kept figures.
    WriteBytes("usuarios_borrados.tpz", kEva.left(kEva.indexOf("ID-")) + "ID-20240305090509\r\n");
    ASSERT_TRUE(QDir().mkdir(Path("usuarios_borrados")));
    WriteBytes("usuarios_borrados/ID-202403050905091.txt", "");
    clock_.Advance(1000);
    EXPECT_EQ(AppendNewUser("SARA", 1), "ID-202403050905092");
}

TEST_F(UserStoreTest, AppendKeepsTheFileReadable) {
    // A missing file gets the header first, or the new user would read as the header.
    EXPECT_EQ(AppendNewUser("ANA", 1), "ID-20240305090507");
    EXPECT_EQ(Users(), kHeader +
                           "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                           "ID-20240305090507\r\n");
    EXPECT_EQ(UpgradeUsersFile(), 26);

    // A last line without its line end (edited by hand) is not joined with the new one.
    WriteUsers(kHeader + kLuis);
    clock_.Advance(1000);
    AppendNewUser("EVA", 1);
    EXPECT_EQ(Users(), kHeader + kLuis +
                           "\r\nEVA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                           "ID-20240305090508\r\n");

    // A users file that cannot be opened gets nothing and reports it.
    RemoveFile(Path("usuarios.dat"));
    ASSERT_TRUE(CreateFolder(Path("usuarios.dat")));
    EXPECT_EQ(AppendNewUser("EVA", 1), "");
}

TEST_F(UserStoreTest, ResultsEnterTheHistoryOldestFirst) {
    CurrentUser.history.fill(-1);
    RecordResult(120);
    EXPECT_EQ(CurrentUser.history[0], 120);
    EXPECT_EQ(CurrentUser.history[1], -1);
    RecordResult(-5);
    EXPECT_EQ(CurrentUser.history[1], 0);

    CurrentUser.history = {100, 110, 120, 130, 140, 150, 160, 170, 180, 190};
    RecordResult(250);
    const std::array<std::int16_t, 10> shifted{110, 120, 130, 140, 150, 160, 170, 180, 190, 250};
    EXPECT_EQ(CurrentUser.history, shifted);

    // A 0 (a result of -5 stored as 0) fills its slot like any other speed.
    CurrentUser.history = {10, 20, 30, 40, 50, 60, 70, 80, 90, 0};
    RecordResult(7);
    const std::array<std::int16_t, 10> afterZero{20, 30, 40, 50, 60, 70, 80, 90, 0, 7};
    EXPECT_EQ(CurrentUser.history, afterZero);

    // Only the first empty slot is filled, even after a gap.
    CurrentUser.history = {100, -1, 300, -1, -1, -1, -1, -1, -1, -1};
    RecordResult(200);
    const std::array<std::int16_t, 10> gap{100, 200, 300, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(CurrentUser.history, gap);
}

TEST_F(UserStoreTest, AverageCountsTheSlotsBeforeTheFirstEmptyOne) {
    EXPECT_EQ(ComputeAverageSpeed({200, 300, -1, -1, -1, -1, -1, -1, -1, -1}), 250);
    EXPECT_EQ(ComputeAverageSpeed({100, 110, 120, 130, 140, 150, 160, 170, 180, 190}), 145);
    EXPECT_EQ(ComputeAverageSpeed({-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}), 0);
    EXPECT_EQ(ComputeAverageSpeed({0, 0, -1, -1, -1, -1, -1, -1, -1, -1}), 0);
    EXPECT_EQ(ComputeAverageSpeed({100, 101, -1, 500, 500, -1, -1, -1, -1, -1}), 100);
    EXPECT_EQ(
        ComputeAverageSpeed({32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767}),
        32767);
}

TEST_F(UserStoreTest, DefaultFileOnlyReplacesAMissingOrTinyFile) {
    WriteUsers(kHeader);
    CreateDefaultUsersFile();
    EXPECT_EQ(Users(), kHeader) << "24 bytes is not below 20";

    int draw = 0;
    SetRandomSource([&draw] { return (draw++ % 3) / 3.0; });  // 0, 1/3, 2/3, ...
    RemoveFile(Path("usuarios.dat"));
    CreateDefaultUsersFile();
    EXPECT_EQ(Users(), kHeader +
                           "VANTOMERK SOFT|100|1|1|360|150|217|284|150|217|284|150|217|"
                           "284|150|NORMAL|ID-20240305090507\r\n");

    // Real draws stay within 150..350.
    SetRandomSource({});
    WriteUsers("Datos de Usuarios\r\n");  // 19 bytes
    CreateDefaultUsersFile();
    const QStringList lines = Listed();
    ASSERT_EQ(lines.size(), 1);
    const PupilList read = ReadPupils();
    for (const auto speed : read.pupils[0].history) {
        EXPECT_GE(speed, 150);
        EXPECT_LE(speed, 350);
    }
    EXPECT_TRUE(QRegularExpression("^VANTOMERK SOFT\\|100\\|1\\|1\\|360\\|(\\d{3}\\|){10}NORMAL\\|"
                                   "ID-\\d{14}$")
                    .match(lines[0])
                    .hasMatch());

    // A folder in the file's place is left alone.
    RemoveFile(Path("usuarios.dat"));
    ASSERT_TRUE(CreateFolder(Path("usuarios.dat")));
    CreateDefaultUsersFile();
    EXPECT_EQ(FileSize(Path("usuarios.dat")), -2);
    EXPECT_FALSE(Exists("usuarios.tmp"));
}

TEST_F(UserStoreTest, ThePupilsAreTheLinesAfterTheHeader) {
    EXPECT_FALSE(ReadPupils().opened);
    EXPECT_FALSE(Exists("usuarios.dat"));
    // Saved twice by an editor that adds its mark: still the header, and a rewrite keeps it.
    WriteUsers("\xEF\xBB\xBF\xEF\xBB\xBF" + kHeader + kAna + "\n" + kLuis);
    EXPECT_EQ(Listed(), (QStringList{kAna, kLuis}));
    ASSERT_TRUE(DeleteUser(QStringLiteral("ID-20240101000002")));
    EXPECT_EQ(Listed(), QStringList{kAna});
    EXPECT_TRUE(ReadBytes("usuarios.dat").startsWith(kHeader));
    WriteUsers(kHeader);
    EXPECT_TRUE(ReadPupils().pupils.isEmpty());
    // A line an older editor saved in Windows-1252 reads as what it shows.
    WriteUsers(kHeader + "JOS\xC9" + kAna.mid(3) + "\r\n" + kLuis + "\r\n");
    const QString jose = QString::fromUtf8("JOSÉ") + QString::fromUtf8(kAna.mid(3));
    EXPECT_EQ(Listed(), (QStringList{jose, kLuis}));
    EXPECT_EQ(LoadUser("ID-20240101000001")->name, QString::fromUtf8("JOSÉ"));
}

TEST_F(UserStoreTest, FileEndingInHalfACharacterIsNoHealthyFile) {
    const QByteArray header = "Datos de Usuarios v2.6";
    EXPECT_TRUE(IsHealthyUsersFile(header));
    EXPECT_TRUE(IsHealthyUsersFile(header + "\xC3\xB1"));
    // Found by the fuzzer: taken for healthy, it was no longer healthy once a pupil was added
    // after the cut character.
    EXPECT_FALSE(IsHealthyUsersFile(header + "\xEF"));
    EXPECT_FALSE(IsHealthyUsersFile(header + "\r\n" + kAna + "\xC3"));
}

}  // namespace
}  // namespace tz
