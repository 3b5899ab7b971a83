// A school lab: every pupil logs in with an account of her own and all programs share one data
// folder, which any classmate may tamper with. Each test tells one story of it.

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>

#include "app/startup.h"
#include "child_process.h"
#include "content/class_report.h"
#include "content/custom_documents.h"
#include "content/figures_file.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_handle.h"
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

const char* const kPupilVariable = "TIPENZO_LAB_PUPIL";
const char* const kSeesVariable = "TIPENZO_LAB_SEES";
const char* const kDeletesVariable = "TIPENZO_LAB_DELETES";
const char* const kFolderVariable = "TIPENZO_LAB_FOLDER";
// Accounts no system hands out, of a group of their own: throwaway, nothing to clean up.
constexpr gid_t kClassGroup = 61000;
const test::Account kAna{61001, kClassGroup};
const test::Account kLuis{61002, kClassGroup};

KeystrokeLog SomeKeystrokes() {
    return {{QStringLiteral("a"), QStringLiteral("a"), 2, -1},
            {QStringLiteral("s"), QStringLiteral("d"), 3, 180}};
}

QStringList ListedNames() {
    QStringList names;
    for (const UserRecord& pupil : ReadPupils().pupils) names << pupil.name;
    return names;
}

// Run only by the tests below: a pupil's program starts on the data folder of TIPENZO_DATA,
// adds her, records an attempt of hers, stores a custom text of hers, deletes the pupil of
// TIPENZO_LAB_DELETES, if any, and ends; it must be asked nothing on the way and see every
// pupil of TIPENZO_LAB_SEES.
TEST(LabChild, DISABLED_StartsAddsAPupilAndEnds) {
    SettleFolders();
    ProgramState state = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(state));
    PupilStore& store = *state.store;
    const QString pupil = qEnvironmentVariable(kPupilVariable);
    const QString id = store.AppendNewUser(pupil, 1, "NORMAL");
    ASSERT_FALSE(id.isEmpty());
    ASSERT_TRUE(RecordAttemptFigures(store, id, SomeKeystrokes()));
    EXPECT_FALSE(LoadPupilFigures(store, id).Empty());
    ASSERT_TRUE(StoreCustomDocument(pupil + kCustomTextExtension, {pupil}));
    for (const UserRecord& other : store.Pupils().pupils) {
        if (other.name == qEnvironmentVariable(kDeletesVariable)) {
            ASSERT_TRUE(store.DeleteUser(other.id));
        }
    }
    EXPECT_EQ(ListedNames(), qEnvironmentVariable(kSeesVariable).split(u','));
    for (const AskedDialog& asked : AskedDialogs()) ADD_FAILURE() << asked.text.toStdString();
    LeaveDataFolder(state);
}

// Run only by the tests below: waits for "ya", then upgrades the users file.
TEST(LabChild, DISABLED_UpgradesAtTheSignal) {
    SetProgramFolder(qEnvironmentVariable(kFolderVariable));
    ASSERT_TRUE(test::WaitForFile(DataPath("ya"), 20000));
    UpgradeUsersFile();
}

class LabTest : public test::ProgramFolderTest {
  protected:
    mode_t Mode(const QString& name) const {
        struct stat info {};
        ::stat(QFile::encodeName(Path(name)).constData(), &info);
        return info.st_mode & 07777;
    }
    gid_t Group(const QString& name) const {
        struct stat info {};
        ::stat(QFile::encodeName(Path(name)).constData(), &info);
        return info.st_gid;
    }
};

// Two accounts of one group on a folder of that group (setgid, 2770), with the usual umask
// 022: each program makes files the other may change, so both start, add pupils and see each
// other's. Before, the second account waited for ever on a lock file it could not open.
TEST_F(LabTest, TwoAccountsOfOneGroupShareASetgidFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can act as two pupils' accounts";
    // The accounts must reach the test's folder, wherever the temporary folder lies.
    for (QDir up(dir_->path()); up.cdUp();) {
        if (!QFileInfo(up.absolutePath()).permission(QFileDevice::ExeOther))
            GTEST_SKIP() << "the pupils' accounts cannot enter " << up.absolutePath().toStdString();
        if (up.isRoot()) break;
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir().mkdir(Path("lab")));
    ASSERT_EQ(::chown(QFile::encodeName(Path("lab")).constData(), 0, kClassGroup), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Path("lab")).constData(), 02770), 0);
    ASSERT_TRUE(QDir().mkdir(Path("casa")));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("casa")).constData(), 01777), 0);

    struct Turn {
        const test::Account* account;
        const char* pupil;
        const char* deletes;
        const char* sees;
    };
    for (const Turn& turn : {Turn{&kAna, "ANA", "", "ANA"}, Turn{&kLuis, "LUIS", "ANA", "LUIS"},
                             Turn{&kAna, "EVA", "LUIS", "EVA"}}) {
        test::ChildProcess program("LabChild.DISABLED_StartsAddsAPupilAndEnds",
                                   {{"TIPENZO_DATA", Path("lab").toStdString()},
                                    {"HOME", Path("casa").toStdString()},
                                    {kPupilVariable, turn.pupil},
                                    {kDeletesVariable, turn.deletes},
                                    {kSeesVariable, turn.sees}},
                                   Path("casa/salida.txt").toStdString(), turn.account);
        if (!program.WhyNot().empty()) GTEST_SKIP() << program.WhyNot();
        ASSERT_TRUE(program.Started());
        EXPECT_TRUE(program.ExitedWithZero()) << turn.pupil << "'s program:\n"
                                              << ReadBytes("casa/salida.txt").toStdString();
    }
    // Everything the programs made belongs to the class's group, which may change it all.
    QDirIterator made(Path("lab"), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    int count = 0;
    while (made.hasNext()) {
        const QString name = QDir(dir_->path()).relativeFilePath(made.next());
        EXPECT_EQ(Group(name), kClassGroup) << name.toStdString();
        EXPECT_EQ(Mode(name), made.fileInfo().isDir() ? 02770u : 0660u) << name.toStdString();
        ++count;
    }
    EXPECT_GE(count, 12) << "users, lock, deleted pupils, three figures, three texts";
}

// What a classmate may plant where the program writes and reads: links to another pupil's
// files, a link to a device that never ends. Nothing is written through them, nothing waits
// on them.
TEST_F(LabTest, PlantedLinksLeaveTheirTargetsUntouched) {
    WriteBytes("de-ana.txt", "privado de Ana");
    WriteBytes("usuarios.dat",
               "Datos de Usuarios v2.6\r\n"
               "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-1\r\n"
               "LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-2\r\n");
    ASSERT_TRUE(QDir().mkdir(Path("estadisticas")));
    const auto plant = [this](const char* target, const QString& name) {
        ASSERT_EQ(::symlink(target, QFile::encodeName(Path(name)).constData()), 0) << target;
    };
    const QByteArray ana = QFile::encodeName(Path("de-ana.txt"));
    plant(ana.constData(), "usuarios.tmp");
    plant(ana.constData(), "estadisticas/ID-1.txt.tmp");
    plant(ana.constData(), "~usuarios.dat");
    plant("/dev/zero", "estadisticas/ID-2.txt");

    // A start, a save, a new pupil and the figures of both pupils.
    ProgramState state = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(state));
    UserRecord luis = *LoadUser("ID-2");
    luis.level = 5;
    ASSERT_TRUE(SaveUser(luis));
    ASSERT_FALSE(AppendNewUser("EVA", 1, "NORMAL").isEmpty());
    EXPECT_TRUE(LoadPupilFigures(store_, "ID-2").Empty());
    ASSERT_TRUE(AddPupilFigures(store_, "ID-1", FiguresOfAttempt(SomeKeystrokes(), Now())));
    ASSERT_TRUE(AddPupilFigures(store_, "ID-2", FiguresOfAttempt(SomeKeystrokes(), Now())));
    EXPECT_FALSE(LoadPupilFigures(store_, "ID-2").Empty())
        << "the link was set aside, the figures begun";
    ASSERT_TRUE(GatherClassReport(store_, Now()));
    LeaveDataFolder(state);
    EXPECT_TRUE(AskedDialogs().empty()) << "a planted lock copy is no reason for a question";

    EXPECT_EQ(ReadBytes("de-ana.txt"), "privado de Ana");
    EXPECT_FALSE(QFileInfo(Path("usuarios.dat")).isSymLink());
    EXPECT_EQ(ListedNames(), (QStringList{"ANA", "LUIS", "EVA"}));
    EXPECT_TRUE(QFileInfo(Path("usuarios.tmp")).isSymLink()) << "a name the program never uses";

    // The users file itself a link: not read, not written, and the target stays.
    RemoveFile(Path("usuarios.dat"));
    plant(ana.constData(), "usuarios.dat");
    EXPECT_FALSE(ReadPupils().opened);
    EXPECT_FALSE(SaveUser(luis));
    EXPECT_FALSE(DeleteUser("ID-2"));
    ASSERT_TRUE(RunFileChecks(state));
    EXPECT_EQ(ReadBytes("de-ana.txt"), "privado de Ana");
}

// A classmate swaps a folder the program works in for a link to Ana's home, at any step of
// that work. Nothing reaches the home: what the program writes lands in the real folder, now
// moved aside, or is told as not written.
TEST_F(LabTest, AFolderSwappedForALinkAtAnyStepLeadsNowhere) {
    // A class's folder: what the program makes there is opened to the group.
    ASSERT_EQ(::chmod(QFile::encodeName(dir_->path()).constData(), 0770), 0);
    ASSERT_TRUE(QDir().mkdir(Path("casa")));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("casa")).constData(), 0700), 0);
    WriteBytes("casa/.bashrc", "# de Ana\n");
    const QByteArray home = QFile::encodeName(Path("casa"));
    struct Work {
        const char* file;  // the file the work writes or moves
        bool there;        // it was there before, and must stay somewhere real
        std::function<bool()> run;
    };
    const char* const folders[] = {"estadisticas", "usuarios_borrados", "TXTPERSONALIZADOS"};
    const auto found = [&](const QString& file) {
        for (const QString folder : folders) {
            if (Exists(folder + "-real/" + file) || Exists(folder + "/" + file)) return true;
        }
        return false;
    };
    const std::vector<Work> works = {
        {"ID-1.txt", false,
         [this] {
             return !!AddPupilFigures(store_, "ID-1", FiguresOfAttempt(SomeKeystrokes(), Now()));
         }},
        {"ID-2.txt", true, [] { return !!DeleteUser("ID-2"); }},
        {"mio.t10", false, [] { return StoreCustomDocument("mio.t10", {"hola"}); }},
    };
    for (const Work& work : works) {
        int steps = 0;
        // The first round only counts the steps.
        for (int swapAt = -1; swapAt < steps; ++swapAt) {
            for (const QString folder : folders) {
                RemoveFile(Path(folder));
                for (const QString& name : {folder, folder + "-real"})
                    QDir(Path(name)).removeRecursively();
            }
            WriteBytes("usuarios.dat",
                       "Datos de Usuarios v2.6\r\n"
                       "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-1\r\n"
                       "LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-2\r\n");
            ASSERT_TRUE(AddPupilFigures(store_, "ID-2", FiguresOfAttempt(SomeKeystrokes(), Now())));
            int step = 0;
            SetFolderStepHook([&](const QString& folder) {
                if (step++ != swapAt || QFileInfo(folder).isSymLink()) return;
                QDir().rename(folder, folder + "-real");
                ::symlink(home.constData(), QFile::encodeName(folder).constData());
            });
            const bool written = work.run();
            SetFolderStepHook({});
            if (swapAt < 0) steps = step;
            EXPECT_TRUE(found(work.file) || (!written && !work.there))
                << work.file << " swapped at step " << swapAt;
            EXPECT_EQ(QDir(Path("casa"))
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      QStringList{".bashrc"});
            EXPECT_EQ(ReadBytes("casa/.bashrc"), "# de Ana\n");
            EXPECT_EQ(Mode("casa"), 0700u);
        }
        EXPECT_GE(steps, 3) << work.file;
    }
}

// Two programs starting at the same moment on a file of the older layout: one upgrades it,
// under the lock; the other finds it current. Every pupil is there once, the old file kept.
TEST_F(LabTest, TwoProgramsStartingOnAnOlderFileUpgradeItOnce) {
    const QStringList pupils = {
        "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL",
        QString::fromUtf8("LUIS PEÑA|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL"),
        "EVA|9|3|2|150|150|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL"};
    QByteArray old = "Datos de Usuarios v2.5\r\n";
    for (const QString& pupil : pupils) old += ScrambleText(pupil, kScrambleKey).toUtf8() + "\r\n";
    WriteBytes("usuarios.dat", old);
    std::vector<std::unique_ptr<test::ChildProcess>> programs;
    for (int i = 0; i < 2; ++i) {
        programs.push_back(std::make_unique<test::ChildProcess>(
            "LabChild.DISABLED_UpgradesAtTheSignal",
            std::map<std::string, std::string>{{kFolderVariable, dir_->path().toStdString()}}));
    }
    QThread::msleep(300);
    WriteBytes("ya", "");
    for (auto& program : programs) EXPECT_TRUE(program->ExitedWithZero());

    EXPECT_EQ(ListedNames(), (QStringList{"ANA", QString::fromUtf8("LUIS PEÑA"), "EVA"}));
    const QList<UserRecord> listed = ReadPupils().pupils;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(FormatUserLine(listed[i]).startsWith(pupils[i] + "|ID-")) << i;
    const QStringList copies =
        QDir(dir_->path()).entryList({QStringLiteral("usuarios_antes_de_v2.6_*.dat")});
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(ReadBytes(copies[0]), old);
}

// A pupil deleted by mistake (or by a classmate) is kept with her figures, and "Importar
// Usuarios" on the file of deleted pupils brings her back, figures and all.
TEST_F(LabTest, ADeletedPupilComesBackThroughImport) {
    WriteBytes("usuarios.dat",
               "Datos de Usuarios v2.6\r\n"
               "ANA|7|2|3|150|150|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001\r\n"
               "LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002\r\n");
    ASSERT_TRUE(
        AddPupilFigures(store_, "ID-20240101000001", FiguresOfAttempt(SomeKeystrokes(), Now())));
    const PupilFigures figures = LoadPupilFigures(store_, "ID-20240101000001");
    ASSERT_TRUE(DeleteUser("ID-20240101000001"));
    EXPECT_EQ(ListedNames(), QStringList{"LUIS"});

    const ImportResult back = ImportIntoUsersFile(ReadImportFile(Path(kDeletedPupilsName)).pupils);
    EXPECT_EQ(back.imported, 1);
    EXPECT_EQ(ListedNames(), (QStringList{"LUIS", "ANA"}));
    const QString id = LineId(UserLinesOf(ReadBytes("usuarios.dat")).back());
    const std::optional<UserRecord> ana = LoadUser(id);
    ASSERT_TRUE(ana);
    EXPECT_EQ(ana->level, 7);
    EXPECT_EQ(ana->history[0], 150);
    EXPECT_EQ(LoadPupilFigures(store_, id), figures);
}

}  // namespace
}  // namespace tz

#endif
