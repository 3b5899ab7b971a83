// Eight programs on one store of pupils, as in a lab that shares one folder or a school that
// shares one server: each saves its own pupil over and over while it also adds and deletes
// pupils of its own. Every change is made in one step on the store as it stands (under the
// users file's lock, or in one transaction of the server), so nothing another program wrote is
// lost, also when programs are killed at any moment. The programs are this test program run
// again on a hidden test; the same story runs against each store.

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QThread>
#include <algorithm>
#include <map>
#include <random>

#include "child_process.h"
#include "platform/files.h"
#include "platform/settings_file.h"
#include "support.h"
#include "test_server.h"
#include "users/file_store.h"
#include "users/server_store.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"

namespace tz {
namespace {

const char* const kFolderVariable = "TIPENZO_SHARING_FOLDER";
const char* const kIndexVariable = "TIPENZO_SHARING_INDEX";
// Set for a run against the server: the settings file that names it.
const char* const kServerVariable = "TIPENZO_SHARING_SERVER";
constexpr int kPrograms = 8;
constexpr int kSaves = 200;
constexpr int kBystanders = 100;

QString PupilId(int program) {
    return QStringLiteral("ID-2025000000%1").arg(program, 4, 10, QChar(u'0'));
}
QString KeptName(int program, int turn) {
    return QStringLiteral("GUARDADO %1-%2").arg(program).arg(turn);
}
QString PassingName(int program) {
    return QStringLiteral("PASAJERO %1").arg(program);
}
QString LogName(int program) {
    return QStringLiteral("registro-%1.txt").arg(program);
}

// The last turn a program wrote in its log: the saves up to it had returned.
int LastLogged(const QString& folder, int program) {
    QFile log(folder + '/' + LogName(program));
    if (!log.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> lines = log.readAll().split('\n');
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!lines[i].isEmpty()) return lines[i].toInt();
    }
    return 0;
}

// The store the programs share: the server of the settings file given, or the users file.
std::unique_ptr<PupilStore> SharedStore(const QString& serverSettings) {
    if (serverSettings.isEmpty()) return std::make_unique<FileStore>();
    const std::optional<SettingsSection> section =
        ReadSettingsSection(serverSettings, QStringLiteral("servidor"));
    if (!section) return nullptr;
    const std::optional<ServerSettings> settings = ServerSettingsFrom(*section, nullptr);
    return settings ? ServerStore::Open(*settings, nullptr) : nullptr;
}

// Ids of the store's pupils by name.
std::multimap<QString, QString> IdsByName(PupilStore& store) {
    std::multimap<QString, QString> ids;
    for (const UserRecord& pupil : store.Pupils().pupils) ids.emplace(pupil.name, pupil.id);
    return ids;
}

// Run only as one of the programs of the tests below. It goes on from the last turn of its
// log, so that a program killed and started again finishes the work.
TEST(UsersSharingChild, DISABLED_SavesItsPupil) {
    const QString folder = qEnvironmentVariable(kFolderVariable);
    const int program = qEnvironmentVariableIntValue(kIndexVariable);
    ASSERT_FALSE(folder.isEmpty());
    SetProgramFolder(folder);
    const std::unique_ptr<PupilStore> store = SharedStore(qEnvironmentVariable(kServerVariable));
    ASSERT_TRUE(store);
    const int log = ::open(QFile::encodeName(folder + '/' + LogName(program)).constData(),
                           O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(log, 0);
    // A pupil told the file is busy tries again.
    const auto retried = [](const auto& change) {
        auto result = change();
        while (result.Busy()) result = change();
        return result;
    };
    // A run killed between adding and deleting left its passing pupil behind.
    for (const auto& [name, id] : IdsByName(*store)) {
        if (name == PassingName(program)) {
            ASSERT_TRUE(retried([&] { return store->DeleteUser(id); }));
        }
    }
    // A pupil who stays, added after every 50th save; a run started again adds the ones the
    // killed run had no time for, and never one twice.
    const auto keep = [&](int turn) {
        if (IdsByName(*store).count(KeptName(program, turn)) > 0) return;
        WriteOutcome outcome = WriteOutcome::Busy;
        while (outcome == WriteOutcome::Busy) {
            store->AppendNewUser(KeptName(program, turn), 2, "FACIL", &outcome);
        }
        ASSERT_EQ(outcome, WriteOutcome::Written);
    };
    const int done = LastLogged(folder, program);
    for (int turn = 50; turn <= done; turn += 50) ASSERT_NO_FATAL_FAILURE(keep(turn));
    for (int turn = done + 1; turn <= kSaves; ++turn) {
        std::optional<UserRecord> pupil = store->LoadUser(PupilId(program));
        ASSERT_TRUE(pupil) << "turn " << turn;
        pupil->history.fill(-1);
        pupil->history[0] = static_cast<std::int16_t>(turn);
        ASSERT_TRUE(retried([&] { return store->SaveUser(*pupil); })) << "turn " << turn;
        const QByteArray logged = QByteArray::number(turn) + '\n';
        ASSERT_EQ(::write(log, logged.constData(), logged.size()), logged.size());

        if (turn % 10 == 0) {
            WriteOutcome outcome = WriteOutcome::Busy;
            QString id;
            while (outcome == WriteOutcome::Busy) {
                id = store->AppendNewUser(PassingName(program), 1, "NORMAL", &outcome);
            }
            ASSERT_FALSE(id.isEmpty());
            ASSERT_TRUE(retried([&] { return store->DeleteUser(id); }));
        }
        if (turn % 50 == 0) {
            ASSERT_NO_FATAL_FAILURE(keep(turn));
        }
    }
    ::close(log);
}

enum class Shared { UsersFile, Server };

class UsersSharingTest : public test::ProgramFolderTest,
                         public ::testing::WithParamInterface<Shared> {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        QByteArray file = kUsersHeader.toUtf8() + "\r\n";
        for (int i = 0; i < kBystanders; ++i) {
            file += QString::fromUtf8(
                        "ALUMNO QUE NO JUEGA %1|%2|2|3|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
                        "-1|NORMAL|ID-20240101%3\r\n")
                        .arg(i)
                        .arg(1 + i % 36)
                        .arg(100000 + i)
                        .toUtf8();
        }
        bystanders_ = SplitByteLines(file).mid(1);
        for (int program = 0; program < kPrograms; ++program) {
            file +=
                QStringLiteral("PROGRAMA %1|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|%2\r\n")
                    .arg(program)
                    .arg(PupilId(program))
                    .toUtf8();
        }
        WriteBytes("usuarios.dat", file);
        if (GetParam() == Shared::Server) {
            database_ = std::make_unique<test::ServerDatabase>();
            if (!database_->Ready()) GTEST_SKIP() << database_->WhyNot().toStdString();
            // The class moves to the server, as --subir-al-servidor moves it.
            serverSettings_ = Path("servidor.ini");
            ASSERT_TRUE(test::WriteServerSettings(serverSettings_, database_->Settings()));
        }
        store_ = SharedStore(serverSettings_);
        ASSERT_TRUE(store_);
        if (GetParam() == Shared::Server) {
            QList<UploadedPupil> pupils;
            for (const UserRecord& pupil : FileStore().Pupils().pupils)
                pupils.append({pupil, std::nullopt});
            ASSERT_TRUE(static_cast<ServerStore&>(*store_).Upload(pupils, {}, nullptr));
            RemoveFile(Path("usuarios.dat"));
        }
    }
    void TearDown() override {
        store_.reset();
        test::ProgramFolderTest::TearDown();
    }

    std::unique_ptr<test::ChildProcess> Start(int program) {
        auto child = std::make_unique<test::ChildProcess>(
            "UsersSharingChild.DISABLED_SavesItsPupil",
            std::map<std::string, std::string>{{kFolderVariable, dir_->path().toStdString()},
                                               {kIndexVariable, std::to_string(program)},
                                               {kServerVariable, serverSettings_.toStdString()}},
            Output(program).toStdString());
        EXPECT_TRUE(child->Started());
        return child;
    }
    QString Output(int program) const { return Path(QStringLiteral("salida-%1.txt").arg(program)); }
    // Each program ended by itself with success; what it printed otherwise.
    void ExpectAllFinished(std::vector<std::unique_ptr<test::ChildProcess>>& programs) {
        for (int program = 0; program < kPrograms; ++program) {
            EXPECT_TRUE(programs[program]->ExitedWithZero())
                << ReadBytes(QStringLiteral("salida-%1.txt").arg(program)).toStdString();
        }
    }

    // The pupils as the store holds them: for the users file, a file that parses whole.
    QList<QByteArray> Lines(const char* when) {
        if (GetParam() == Shared::UsersFile) {
            const QByteArray content = ReadBytes("usuarios.dat");
            EXPECT_TRUE(IsHealthyUsersFile(content)) << when;
            const QList<QByteArray> lines = SplitByteLines(content);
            EXPECT_EQ(lines.value(0), kUsersHeader.toUtf8()) << when;
            return lines.mid(1);
        }
        QList<QByteArray> lines;
        for (const UserRecord& pupil : store_->Pupils().pupils)
            lines << FormatUserLine(pupil).toUtf8();
        return lines;
    }

    // The store as it stands holds every save that had returned (read the logs first: whatever
    // a program logged was in the store before the log).
    void ExpectWholeWithEverySave(const char* when) {
        int logged[kPrograms];
        for (int program = 0; program < kPrograms; ++program)
            logged[program] = LastLogged(dir_->path(), program);
        const QList<QByteArray> lines = Lines(when);
        for (int program = 0; program < kPrograms; ++program) {
            int found = 0;
            for (const QByteArray& line : lines) {
                if (ByteLineField(line, UserField::Id) != PupilId(program)) continue;
                ++found;
                // An empty slot (-1) before the first save.
                EXPECT_GE(std::max<int>(ParseUserLine(QString::fromUtf8(line)).history[0], 0),
                          logged[program])
                    << when << ", program " << program;
            }
            EXPECT_EQ(found, 1) << when << ", program " << program;
        }
        for (const QByteArray& bystander : bystanders_)
            EXPECT_EQ(lines.count(bystander), 1) << when << ": " << bystander.constData();
    }

    // After every program finished: the last save of each, each kept pupil once, no passing
    // pupil, the bystanders untouched, nothing else.
    void ExpectFinalFile() {
        ExpectWholeWithEverySave("at the end");
        const QList<QByteArray> lines = Lines("at the end");
        std::map<QString, int> names;
        for (const QByteArray& line : lines) ++names[ByteLineField(line, UserField::Name)];
        for (int program = 0; program < kPrograms; ++program) {
            UserRecord last = ParseUserLine(
                QStringLiteral("PROGRAMA %1|1|1|1|%2|%2|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL")
                    .arg(program)
                    .arg(kSaves));
            last.id = PupilId(program);
            EXPECT_EQ(store_->LoadUser(PupilId(program)), last) << program;
            for (int turn = 50; turn <= kSaves; turn += 50)
                EXPECT_EQ(names[KeptName(program, turn)], 1) << program << " " << turn;
            EXPECT_EQ(names.count(PassingName(program)), 0u) << program;
        }
        EXPECT_EQ(lines.size(), kBystanders + kPrograms + kPrograms * (kSaves / 50));
    }

    QList<QByteArray> bystanders_;
    std::unique_ptr<test::ServerDatabase> database_;
    QString serverSettings_;  // empty for the users file
    std::unique_ptr<PupilStore> store_;
};

TEST_P(UsersSharingTest, EightProgramsSavingTogetherLoseNothing) {
    std::vector<std::unique_ptr<test::ChildProcess>> programs;
    for (int program = 0; program < kPrograms; ++program) programs.push_back(Start(program));
    ExpectAllFinished(programs);
    ExpectFinalFile();
    std::printf("%d programs, %d saves each, %d pupils added and %d deleted each\n", kPrograms,
                kSaves, kSaves / 10 + kSaves / 50, kSaves / 10);
}

TEST_P(UsersSharingTest, ProgramsKilledAtAnyMomentLoseNoSaveThatReturned) {
    std::vector<std::unique_ptr<test::ChildProcess>> programs;
    for (int program = 0; program < kPrograms; ++program) programs.push_back(Start(program));
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(2, 50);  // milliseconds between kills
    std::uniform_int_distribution<int> pick(0, kPrograms - 1);
    int kills = 0;
    for (int round = 0; round < 40; ++round) {
        QThread::msleep(static_cast<unsigned long>(pause(random)));
        const int victim = pick(random);
        programs[victim]->Kill();
        if (programs[victim]->Killed()) ++kills;
        ASSERT_NO_FATAL_FAILURE(ExpectWholeWithEverySave("after a kill"));
        programs[victim] = Start(victim);
    }
    ExpectAllFinished(programs);
    ExpectFinalFile();
    std::printf("%d programs, %d saves each, %d killed by SIGKILL on the way\n", kPrograms, kSaves,
                kills);
    EXPECT_GT(kills, 20) << "most kills should land while the program still runs";
}

INSTANTIATE_TEST_SUITE_P(Stores, UsersSharingTest,
                         ::testing::Values(Shared::UsersFile, Shared::Server),
                         [](const ::testing::TestParamInfo<Shared>& info) {
                             return info.param == Shared::UsersFile ? "UsersFile" : "Server";
                         });

}  // namespace
}  // namespace tz

#endif
