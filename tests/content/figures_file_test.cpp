// The pupil's figures file: what is written reads back the same, a damaged or missing file
// counts as no figures (a damaged one is set aside by the next attempt, never overwritten), a
// kill in the middle of a save leaves the old or the new file, and deleting the pupil keeps her
// figures among the deleted pupils'.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <random>
#include <thread>

#include "child_process.h"
#include "content/figures_file.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "support.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {
namespace {

const QString kId = QStringLiteral("ID-20240305083000");
const QString kFile = QStringLiteral("estadisticas/ID-20240305083000.txt");

PupilFigures SampleAttempt(int seed = 0) {
    KeystrokeLog log;
    const QString due = QStringLiteral("la tarde es ñoña, Ü ");
    for (int i = 0; i < due.size(); ++i) {
        const QString expected = due.mid(i, 1);
        const QString typed = (i + seed) % 5 == 0 ? QStringLiteral("r") : expected;
        log.push_back({expected, typed, static_cast<qint8>(1 + i % 10), i == 0 ? -1 : 120 + i});
    }
    log.push_back({QStringLiteral("\r"), QStringLiteral("😀"), 10, 300});
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 5), QTime(8, 30, seed % 60)));
}

class FiguresFileTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        WriteBytes("usuarios.dat",
                   "Datos de Usuarios v2.6\r\n"
                   "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240305083000\r\n");
    }
};

TEST_F(FiguresFileTest, WrittenFiguresReadBackTheSame) {
    EXPECT_TRUE(LoadPupilFigures(store_, kId).Empty()) << "no file: no figures";
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt(0)));
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt(1)));
    PupilFigures expected;
    AddFigures(expected, SampleAttempt(0));
    AddFigures(expected, SampleAttempt(1));
    const PupilFigures read = LoadPupilFigures(store_, kId);
    EXPECT_EQ(read, expected);
    EXPECT_EQ((read.confusions.at({U'\r', U'\U0001F600'})), 2) << "a typed emoji survives";

    const QByteArray bytes = ReadBytes(kFile);
    EXPECT_TRUE(bytes.startsWith("TIPENZO 10 estad\xc3\xadsticas|1\r\n")) << "UTF-8, no mark";
    EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n")) << "every line ends CR LF";
    EXPECT_EQ(LeftoverTemps(), QStringList());
    EXPECT_EQ(FormatFiguresFile(*ParseFiguresFile(bytes)), bytes);
    EXPECT_EQ(ParseFiguresFile(FormatFiguresFile(PupilFigures())), PupilFigures());
}

TEST_F(FiguresFileTest, DamagedFilesReadAsEmptyAndAreSetAsideNeverOverwritten) {
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt()));
    const QByteArray good = ReadBytes(kFile);
    const QList<QByteArray> damaged = {
        QByteArray(),
        good.left(good.size() - 1),                          // cut inside a line end
        good.left(good.indexOf("\r\n", 40)),                 // cut inside a line
        QByteArray("TIPENZO 10 estad\xc3\xadsticas|2\r\n"),  // a later version
        good + "tecla|0061|5|6|0|0\r\n",                     // more errors than strokes
        good + "tecla|0061|5|1|0|0\r\n",                     // the same key twice
        good + "dedo|11|1|0|0|0\r\n",                        // no such finger
        good + "confusion|0061|D800|1\r\n",                  // half a character
        good + "intento|2024-13-45T99:00:00Z|1|0|0|0\r\n",   // no such date
        good + "intento|2024-03-04 10:00:00|1|0|0|0\r\n",    // not a UTC stamp
        good + "tecla|0062|-1|0|0|0\r\n",                    // negative count
        good + "tecla|0062|99999999999999999|0|0|0\r\n",     // absurd count
        good + "\xff\xfe\r\n",                               // not UTF-8
        good + "algo|1\r\n",                                 // unknown line
    };
    for (qsizetype i = 0; i < damaged.size(); ++i) {
        WriteBytes(kFile, damaged[i]);
        EXPECT_TRUE(LoadPupilFigures(store_, kId).Empty()) << "damaged file " << i;
    }
    // Far too large for a pupil's figures: not read at all.
    QByteArray huge = good;
    // (Lines that would all read well: confusions between ever new characters.)
    for (uint c = 0xE000; huge.size() <= 8 * 1024 * 1024; ++c) {
        huge += QStringLiteral("confusion|%1|0041|1\r\n").arg(c, 0, 16).toUtf8();
    }
    ASSERT_TRUE(ParseFiguresFile(huge).has_value());
    WriteBytes(kFile, huge);
    EXPECT_TRUE(LoadPupilFigures(store_, kId).Empty());
    // An editor's byte-order mark is no damage.
    WriteBytes(kFile, "\xef\xbb\xbf" + good);
    EXPECT_EQ(LoadPupilFigures(store_, kId), SampleAttempt());
    // The next attempt sets a damaged file aside under a marked name and starts afresh.
    WriteBytes(kFile, good.left(good.size() - 1));
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt()));
    EXPECT_EQ(LoadPupilFigures(store_, kId), SampleAttempt());
    const QStringList setAside =
        QDir(Path("estadisticas")).entryList({QStringLiteral("*.txt.defectuoso-*")}, QDir::Files);
    ASSERT_EQ(setAside.size(), 1);
    EXPECT_EQ(ReadBytes("estadisticas/" + setAside[0]), good.left(good.size() - 1));
#ifndef _WIN32
    // A socket planted where her file goes is set aside as well, and her figures begin.
    RemoveFile(Path(kFile));
    ASSERT_TRUE(test::PlantSocket(Path(kFile)));
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt()));
    EXPECT_EQ(LoadPupilFigures(store_, kId), SampleAttempt());
    RemoveFile(Path(kFile));
#endif
    // A file of a later version is not understood, so it is left as it is and nothing added.
    const QByteArray later = "TIPENZO 10 estad\xc3\xadsticas|2\r\nalgo nuevo\r\n";
    WriteBytes(kFile, later);
    EXPECT_FALSE(AddPupilFigures(store_, kId, SampleAttempt()));
    EXPECT_EQ(ReadBytes(kFile), later);
    // An id from a file never names a path of its own.
    EXPECT_TRUE(PupilFiguresName(QStringLiteral("../usuarios")).isEmpty());
    EXPECT_TRUE(PupilFiguresName(QStringLiteral("ID-12/../../x")).isEmpty());
    EXPECT_FALSE(AddPupilFigures(store_, QStringLiteral("ID-../x"), SampleAttempt()));
    EXPECT_TRUE(LoadPupilFigures(store_, QString()).Empty());
}

// Her figures are read only once the lock is held: two programs recording attempts of one pupil
// keep both.
TEST_F(FiguresFileTest, FiguresAreReadOnlyOnceTheLockIsHeld) {
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt(0)));
    PupilFigures both = SampleAttempt(0);
    AddFigures(both, SampleAttempt(1));
    std::unique_ptr<FileLock> other = LockUsersFile(0);
    ASSERT_TRUE(other);
    std::thread otherProgram([&] {
        QThread::msleep(150);
        ReplaceFileWith(Path(kFile), FormatFiguresFile(both));
        other.reset();
    });
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt(2)));
    otherProgram.join();
    AddFigures(both, SampleAttempt(2));
    EXPECT_EQ(LoadPupilFigures(store_, kId), both);
}

TEST_F(FiguresFileTest, AFolderThatCannotBeWrittenFailsWithoutHarm) {
    // A file where the folder should be: nothing can be written, nothing breaks.
    WriteBytes("estadisticas", "no es una carpeta");
    EXPECT_FALSE(AddPupilFigures(store_, kId, SampleAttempt()));
    RecordAttemptFigures(store_, kId, {{QStringLiteral("a"), QStringLiteral("b"), 1, -1}});
    EXPECT_EQ(ReadBytes("estadisticas"), QByteArray("no es una carpeta"));
}

TEST_F(FiguresFileTest, DeletingAPupilKeepsHerFiguresAmongTheDeleted) {
    WriteBytes("usuarios.dat",
               "Datos de Usuarios v2.6\r\n"
               "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240305083000\r\n"
               "LUIS|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240305083001\r\n");
    const QString other = QStringLiteral("ID-20240305083001");
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt()));
    ASSERT_TRUE(AddPupilFigures(store_, other, SampleAttempt()));
    const QByteArray hers = ReadBytes(kFile);
    ASSERT_TRUE(DeleteUser(kId));
    EXPECT_FALSE(Exists(kFile));
    EXPECT_EQ(ReadBytes("usuarios_borrados/ID-20240305083000.txt"), hers);
    EXPECT_FALSE(LoadPupilFigures(store_, other).Empty()) << "the others keep theirs";
    // An attempt that ends after another program deleted her leaves nothing behind.
    EXPECT_FALSE(AddPupilFigures(store_, kId, SampleAttempt()));
    RecordAttemptFigures(store_, kId, {{QStringLiteral("a"), QStringLiteral("b"), 1, -1}});
    EXPECT_FALSE(Exists(kFile));

    // A delete that cannot rewrite the users file leaves Luis his figures.
    const QByteArray his = ReadBytes("estadisticas/ID-20240305083001.txt");
#ifndef _WIN32
    SetMoveOnce([](const QString& from, const QString& to) {
        if (to.endsWith(kUsersFileName)) return MoveStep::Failed;
        return std::rename(QFile::encodeName(from), QFile::encodeName(to)) == 0 ? MoveStep::Done
                                                                                : MoveStep::Failed;
    });
    EXPECT_FALSE(DeleteUser(other));
    SetMoveOnce({});
    EXPECT_EQ(ReadBytes("estadisticas/ID-20240305083001.txt"), his);
#endif
    // A file planted where the deleted pupils' figures go: rather than lose his, Luis stays.
    QDir(Path("usuarios_borrados")).removeRecursively();
    WriteBytes("usuarios_borrados", "plantado");
    EXPECT_FALSE(DeleteUser(other));
    EXPECT_TRUE(UserIdExists(other));
    EXPECT_EQ(ReadBytes("estadisticas/ID-20240305083001.txt"), his);
}

const char* const kChildFolderVariable = "TIPENZO_FIGURES_LOOP_FOLDER";

// Run only as the child of the test below.
TEST(FiguresSaveLoop, DISABLED_SavesUntilKilled) {
    const QString folder = qEnvironmentVariable(kChildFolderVariable);
    ASSERT_FALSE(folder.isEmpty());
    SetProgramFolder(folder);
    FileStore store;
    for (int turn = 1;; ++turn) {
        ASSERT_TRUE(AddPupilFigures(store, kId, SampleAttempt(turn)));
        if (turn == 1) QFile(DataPath("listo")).open(QIODevice::WriteOnly);
    }
}

TEST_F(FiguresFileTest, KillDuringSavesLeavesAWholeFile) {
    std::mt19937 random(20240305);
    std::uniform_int_distribution<int> pause(0, 20000);
    int killedDuringSave = 0;
    for (int kill = 0; kill < 30; ++kill) {
        RemoveFile(Path("listo"));
        test::ChildProcess child("FiguresSaveLoop.DISABLED_SavesUntilKilled",
                                 {{kChildFolderVariable, dir_->path().toStdString()}});
        ASSERT_TRUE(child.Started());
        const bool ready = test::WaitForFile(Path("listo"), 10000);
        if (ready) QThread::usleep(static_cast<unsigned long>(pause(random)));
        child.Kill();
        ASSERT_TRUE(ready) << "the child never saved";
        ASSERT_TRUE(child.Killed()) << "the child ended by itself";
        if (!LeftoverTemps().isEmpty()) ++killedDuringSave;
        const std::optional<PupilFigures> figures = ParseFiguresFile(ReadBytes(kFile));
        ASSERT_TRUE(figures.has_value()) << "kill " << kill << " left a damaged figures file";
        EXPECT_FALSE(figures->attempts.empty());
    }
    std::printf("30 kills, %d in the middle of a save\n", killedDuringSave);
    // The next save goes on from the whole file, whatever was left over.
    const std::size_t before = LoadPupilFigures(store_, kId).attempts.size();
    ASSERT_TRUE(AddPupilFigures(store_, kId, SampleAttempt()));
    EXPECT_EQ(LoadPupilFigures(store_, kId).attempts.size(),
              std::min<std::size_t>(before + 1, 200));
}

}  // namespace
}  // namespace tz
