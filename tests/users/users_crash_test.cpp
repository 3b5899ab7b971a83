// Killing the program in the middle of saves must never leave a users file that is neither
// the old nor the new one. A child process (this test program, run again on the hidden test
// below) saves in a loop; the parent kills it with SIGKILL at random moments and looks at the
// file each time.

#include <QFile>
#include <QThread>
#include <random>

#include "child_process.h"
#include "current_user.h"
#include "platform/files.h"
#include "support.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {
namespace {

const char* const kChildFolderVariable = "TIPENZO_SAVE_LOOP_FOLDER";
const char* const kReadyName = "listo";

// A file of 200 users; the saved user is in the middle. Two states of that user take turns.
QByteArray TwoHundredUsers() {
    QByteArray file = "Datos de Usuarios v2.6\r\n";
    for (int i = 0; i < 200; ++i) {
        file +=
            QString("ALUMNO %1|%2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-2024010100%3\r\n")
                .arg(i)
                .arg(1 + i % 36)
                .arg(1000 + i)
                .toUtf8();
    }
    return file;
}

UserRecord SavedUser(int turn) {
    UserRecord user = ParseUserLine("ALUMNO 100|5|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL");
    user.id = "ID-20240101001100";
    user.history.fill(turn % 2 == 0 ? 111 : 2222);
    user.block = static_cast<std::int8_t>(turn % 2 == 0 ? 2 : 3);
    return user;
}

// Run only as the child of the test below.
TEST(UsersSaveLoop, DISABLED_SavesUntilKilled) {
    const QString folder = qEnvironmentVariable(kChildFolderVariable);
    ASSERT_FALSE(folder.isEmpty());
    SetProgramFolder(folder);
    for (long turn = 1;; ++turn) {
        UserRecord user = SavedUser(static_cast<int>(turn));
        ASSERT_TRUE(SaveUser(user));
        if (turn == 1) QFile(DataPath(kReadyName)).open(QIODevice::WriteOnly);
    }
}

class UsersCrashTest : public test::ProgramFolderTest, public test::CurrentUserState {};

TEST_F(UsersCrashTest, KillDuringSavesLeavesTheOldOrTheNewFile) {
    // The two contents the file may ever hold.
    WriteBytes("usuarios.dat", TwoHundredUsers());
    CurrentUser = SavedUser(1);
    ASSERT_TRUE(SaveCurrentUser());
    const QByteArray odd = ReadBytes("usuarios.dat");
    CurrentUser = SavedUser(0);
    ASSERT_TRUE(SaveCurrentUser());
    const QByteArray even = ReadBytes("usuarios.dat");
    ASSERT_NE(odd, even);
    CurrentUser = UserRecord{};

    std::mt19937 random(20240305);
    std::uniform_int_distribution<int> pause(0, 20000);  // microseconds after the first save
    int killedDuringRewrite = 0;
    int sawNew = 0;
    const int kKills = 50;
    for (int kill = 0; kill < kKills; ++kill) {
        RemoveFile(Path(kReadyName));
        test::ChildProcess child("UsersSaveLoop.DISABLED_SavesUntilKilled",
                                 {{kChildFolderVariable, dir_->path().toStdString()}});
        ASSERT_TRUE(child.Started());
        // Wait until the child has saved once, so the kill lands among its saves.
        const bool ready = test::WaitForFile(Path(kReadyName), 10000);
        if (ready) QThread::usleep(static_cast<unsigned long>(pause(random)));
        child.Kill();
        ASSERT_TRUE(ready) << "the child never saved";
        ASSERT_TRUE(child.Killed()) << "the child ended by itself";

        if (!LeftoverTemps().isEmpty()) ++killedDuringRewrite;
        const QByteArray now = ReadBytes("usuarios.dat");
        ASSERT_TRUE(now == odd || now == even)
            << "kill " << kill << " left a users file of " << now.size() << " bytes";
        if (now == odd) ++sawNew;
        // A temporary file left by the kill is never reused: the next save makes its own.
        for (const QString& temp : LeftoverTemps()) RemoveFile(temp);
        WriteBytes("usuarios.dat", even);
    }
    std::printf("%d kills, %d in the middle of a rewrite, %d after an odd save\n", kKills,
                killedDuringRewrite, sawNew);
    EXPECT_GT(killedDuringRewrite, 0) << "no kill landed inside a rewrite; the test saw nothing";
}

}  // namespace
}  // namespace tz
