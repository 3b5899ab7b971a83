// Several programs on one data folder: a lab's PCs on a server share, a pupil who starts the
// program twice. Programs of this test process are ProgramStates side by side; programs that
// must die by SIGKILL are this test program run again on a hidden test.

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include "app/main_menu.h"
#include "app/picture_registry.h"
#include "app/startup.h"
#include "child_process.h"
#include "local_server.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "program_test.h"
#include "update/update_window.h"
#include "update/version_check.h"
#include "users/live_programs.h"
#include "users/user_store.h"

namespace tz {
namespace {

const char* const kChildFolderVariable = "TIPENZO_SHARED_FOLDER";
const QByteArray kClass =
    "Datos de Usuarios v2.6\r\n"
    "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101101010\r\n"
    "LUIS|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101101011\r\n";

// Run only as another program of the tests below: its start-up checks, then it waits to be
// killed (or for the "fin" file, to end orderly).
TEST(SharedFolderChild, DISABLED_StartsAndRuns) {
    const QString folder = qEnvironmentVariable(kChildFolderVariable);
    ASSERT_FALSE(folder.isEmpty());
    SetProgramFolder(folder);
    ProgramState state = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(state));
    ASSERT_TRUE(AskedDialogs().empty());
    QFile(DataPath("listo")).open(QIODevice::WriteOnly);
    while (!QFile::exists(DataPath("fin"))) QThread::msleep(5);
    LeaveDataFolder(state);
}

class SharedFolderTest : public test::ProgramFolderTest {
  protected:
    // Another program on this folder, started and past its checks.
    std::unique_ptr<test::ChildProcess> StartOther() {
        RemoveFile(Path("listo"));
        auto other = std::make_unique<test::ChildProcess>(
            "SharedFolderChild.DISABLED_StartsAndRuns",
            std::map<std::string, std::string>{{kChildFolderVariable, dir_->path().toStdString()}});
        EXPECT_TRUE(other->Started());
        EXPECT_TRUE(test::WaitForFile(Path("listo"), 20000)) << "the other program never started";
        return other;
    }
    QStringList Marks() const { return QDir(dir_->path()).entryList({kLiveMarkPattern}); }
};

TEST_F(SharedFolderTest, SecondProgramAsksNothingAndTheLastToEndDeletesTheLockCopy) {
    WriteBytes("usuarios.dat", kClass);
    ProgramState first = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(first));
    EXPECT_EQ(ReadBytes("~usuarios.dat"), kClass);

    // The first program saves a pupil: the users file and its lock copy now differ.
    UserRecord ana = *LoadUser("ID-20240101101010");
    ana.level = 7;
    ASSERT_TRUE(SaveUser(ana));
    const QByteArray saved = ReadBytes("usuarios.dat");

    ProgramState second = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(second));
    EXPECT_TRUE(AskedDialogs().empty()) << AskedDialogs().front().text.toStdString();
    EXPECT_EQ(ReadBytes("usuarios.dat"), saved) << "the saved pupil was put back";
    EXPECT_EQ(ReadBytes("~usuarios.dat"), kClass) << "the first program's lock copy is kept";
    EXPECT_EQ(Marks().size(), 2);

    // Whichever ends first leaves the lock copy to the other.
    LeaveDataFolder(first);
    EXPECT_TRUE(Exists("~usuarios.dat"));
    EXPECT_EQ(Marks().size(), 1);
    LeaveDataFolder(second);
    EXPECT_FALSE(Exists("~usuarios.dat"));
    EXPECT_TRUE(Marks().isEmpty());
    EXPECT_EQ(ReadBytes("usuarios.dat"), saved);

    // Alone again, every start makes the lock copy and asks nothing.
    ProgramState again = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(again));
    EXPECT_TRUE(AskedDialogs().empty());
    EXPECT_EQ(ReadBytes("~usuarios.dat"), saved);
    LeaveDataFolder(again);
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

TEST_F(SharedFolderTest, KilledProgramsCountOnlyWhileTheyLive) {
    WriteBytes("usuarios.dat", kClass);

    // The first program killed, the second ended orderly: no lock copy is left.
    std::unique_ptr<test::ChildProcess> other = StartOther();
    EXPECT_EQ(ReadBytes("~usuarios.dat"), kClass);
    ProgramState second = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(second));
    EXPECT_TRUE(AskedDialogs().empty());
    EXPECT_EQ(OtherLivePrograms(nullptr), 2) << "this program and the other";
    other->Kill();
    EXPECT_TRUE(other->Killed());
    LeaveDataFolder(second);
    EXPECT_FALSE(Exists("~usuarios.dat"));
    EXPECT_TRUE(Marks().isEmpty()) << "the killed program's mark is cleared";

    // The other program ending orderly after this one: the lock copy goes with it.
    other = StartOther();
    ProgramState first = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(first));
    LeaveDataFolder(first);
    EXPECT_TRUE(Exists("~usuarios.dat")) << "the other program still runs";
    WriteBytes("fin", "");
    EXPECT_TRUE(other->ExitedWithZero());
    EXPECT_FALSE(Exists("~usuarios.dat"));
    RemoveFile(Path("fin"));

    // A lone program killed, and the users file damaged since: the next start is the only
    // program, and asks the recovery question.
    other = StartOther();
    other->Kill();
    EXPECT_TRUE(other->Killed());
    ASSERT_TRUE(Exists("~usuarios.dat"));
    WriteBytes("usuarios.dat", "roto");
    QueueAnswer(Answer::No);
    ProgramState next = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(next));
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_TRUE(AskedDialogs()[0].text.endsWith(QString::fromUtf8("¿Desea Recuperarlo?")));
    EXPECT_EQ(Marks().size(), 1) << "only this program's mark";
    LeaveDataFolder(next);
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

// The download button ends the program at once, leaving the folder as an orderly end does.
class SharedFolderMenuTest : public test::ProgramStateTest {
  protected:
    void SetUp() override {
        test::ProgramStateTest::SetUp();
        SetClock(&clock_);
        if (!PictureExists(46)) RegisterAllPictures();
        state_.ExerciseFont = MakeFont("Courier New", FitExerciseFontSize(), true);
        ASSERT_TRUE(server_.Start());
        server_.Serve(test::Utf16Le("VERSION#20232339"));
        qputenv(kVersionUrlVariable, server_.Url().toUtf8());
    }
    void TearDown() override {
        qunsetenv(kVersionUrlVariable);
        if (state_.mainMenu) CloseMainMenu(state_);
        SetClock(nullptr);
        test::ProgramStateTest::TearDown();
    }
    // Opens the menu, clicks "Actualizar" and the download button; the exit codes ended with.
    std::vector<int> Download() {
        AppendInputStep([this] {
            QTest::mouseClick(FindControl(state_.mainMenu, kMenuUpdateId), Qt::LeftButton);
        });
        AppendInputStep([] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() &&
                    widget->windowTitle() == QString::fromUtf8("Actualización Online"))
                    QTest::mouseClick(FindControl(widget, kUpdateDownloadId), Qt::LeftButton);
            }
        });
        std::vector<int> ends;
        OpenMainMenu(state_);
        // The real end never returns; this one ends the loop by closing the menu.
        RunMainLoop(state_, [&](int code) {
            ends.push_back(code);
            state_.mainMenu->close();
        });
        return ends;
    }
    ManualClock clock_;
    test::LocalServer server_;
};

TEST_F(SharedFolderMenuTest, DownloadEndDeletesTheLockCopyOnlyAsTheLastProgram) {
    WriteBytes("usuarios.dat", kClass);
    ProgramState other = InitialProgramState();
    ASSERT_TRUE(RunFileChecks(other));
    ASSERT_TRUE(RunFileChecks(state_));
    EXPECT_EQ(Download(), std::vector<int>{0});
    EXPECT_EQ(ShellRequests(), QStringList{kDownloadPage});
    EXPECT_TRUE(Exists("~usuarios.dat")) << "the other program still runs";
    EXPECT_EQ(OtherLivePrograms(nullptr), 1) << "this program's mark went";

    LeaveDataFolder(other);
    EXPECT_FALSE(Exists("~usuarios.dat"));
    ASSERT_TRUE(RunFileChecks(state_));
    ASSERT_TRUE(Exists("~usuarios.dat"));
    ClearShellRequests();
    EXPECT_EQ(Download(), std::vector<int>{0});
    EXPECT_FALSE(Exists("~usuarios.dat")) << "alone, the download end deletes it";
}

}  // namespace
}  // namespace tz
