#include <QDir>
#include <QFile>

#include "platform/clock.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/folder_handle.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"
#include "support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tz {
namespace {

class FilesTest : public test::ProgramFolderTest {};

TEST_F(FilesTest, SizesRenamesAndReplacementsFollowTheirRules) {
    EXPECT_EQ(FileSize(Path("nada.txt")), -1);
    EXPECT_EQ(FileSize(dir_->path()), -2);
    WriteBytes("a.txt", "abc");
    WriteBytes("b.txt", "12345");
    EXPECT_EQ(FileSize(Path("a.txt")), 3);

    // A rename never replaces an existing target.
    EXPECT_FALSE(RenameFile(Path("a.txt"), Path("b.txt")));
    EXPECT_EQ(ReadBytes("b.txt"), "12345");
    EXPECT_EQ(ReadBytes("a.txt"), "abc");

    // A replacement does, in one step, and leaves no temporary file.
    EXPECT_TRUE(ReplaceFileWith(Path("b.txt"), "nuevo"));
    EXPECT_EQ(ReadBytes("b.txt"), "nuevo");
    EXPECT_FALSE(ReplaceFileWith(Path("sin/crear"), "x"));

    RemoveFile(Path("a.txt"));
    RemoveFile(Path("a.txt"));  // deleting a missing file is harmless
    EXPECT_EQ(FileSize(Path("a.txt")), -1);
    EXPECT_TRUE(RenameFile(Path("b.txt"), Path("c.txt")));
    EXPECT_EQ(ReadBytes("c.txt"), "nuevo");

    // A folder in the target's place cannot be replaced; the written temporary goes.
    ASSERT_TRUE(CreateFolder(Path("carpeta/dentro")));
    EXPECT_FALSE(ReplaceFileWith(Path("carpeta"), "x"));
    EXPECT_EQ(FileSize(Path("carpeta")), -2);
    RemoveFile(Path("carpeta"));
    EXPECT_EQ(FileSize(Path("carpeta")), -2) << "folders are never removed as files";
    EXPECT_EQ(LeftoverTemps(), QStringList());
}

// Windows refuses a rename over a file that another program holds open (an antivirus, a
// backup): the rename is tried again for about a second, and only then given up.
TEST_F(FilesTest, RenameOverASharedFileIsRetriedForAboutASecond) {
    ManualClock clock;
    SetClock(&clock);
    int calls = 0;
    int sharedFor = 0;
    SetMoveOnce([&](const QString&, const QString&) {
        ++calls;
        return calls <= sharedFor ? MoveStep::Shared : MoveStep::Done;
    });
    struct Case {
        int sharedFor;
        bool moved;
    };
    for (const Case& c : {Case{0, true}, Case{3, true}, Case{15, true}, Case{100, false}}) {
        calls = 0;
        sharedFor = c.sharedFor;
        const qint64 start = clock.milliseconds;
        EXPECT_EQ(MoveReplacing("a", "b"), c.moved) << c.sharedFor;
        EXPECT_LE(clock.milliseconds - start, 1050) << c.sharedFor;
        if (!c.moved) {
            EXPECT_GE(clock.milliseconds - start, 950);
        }
    }
    // Any other refusal is final at once.
    calls = 0;
    SetMoveOnce([&](const QString&, const QString&) {
        ++calls;
        return MoveStep::Failed;
    });
    EXPECT_FALSE(MoveReplacing("a", "b"));
    EXPECT_EQ(calls, 1);
    // Through ReplaceFileWith: the temporary file goes when the rename is given up.
    EXPECT_FALSE(ReplaceFileWith(Path("c.txt"), "x"));
    EXPECT_EQ(LeftoverTemps(), QStringList());
    SetMoveOnce({});
    SetClock(nullptr);
}

#ifndef _WIN32

// What a classmate may plant under a name the program reads: the reader takes regular files
// only, never follows a link, never waits on a pipe and stops at its cap by what it read.
TEST_F(FilesTest, ReadersTakeRegularFilesOnlyAndStopAtTheirCap) {
    WriteBytes("propio.txt", "hola");
    WriteBytes("de-ana.txt", "privado");
    ASSERT_EQ(::symlink(QFile::encodeName(Path("de-ana.txt")).constData(),
                        QFile::encodeName(Path("enlace.txt")).constData()),
              0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(Path("cero.txt")).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("tubo.txt")).constData(), 0666), 0);
    ASSERT_TRUE(CreateFolder(Path("carpeta.txt")));
    ASSERT_TRUE(test::PlantSocket(Path("enchufe.txt")));
    WriteBytes("grande.txt", QByteArray(100, 'x'));
    WriteBytes("justo.txt", QByteArray(10, 'x'));
    struct Case {
        const char* name;
        ReadOutcome outcome;
        QByteArray bytes;
    };
    const std::unique_ptr<FolderHandle> folder = FolderHandle::OpenAsNamed(dir_->path());
    ASSERT_TRUE(folder);
    for (const Case& c :
         {Case{"propio.txt", ReadOutcome::Read, "hola"},
          Case{"falta.txt", ReadOutcome::Missing, ""}, Case{"enlace.txt", ReadOutcome::Refused, ""},
          Case{"cero.txt", ReadOutcome::Refused, ""}, Case{"tubo.txt", ReadOutcome::Refused, ""},
          Case{"carpeta.txt", ReadOutcome::Refused, ""},
          Case{"enchufe.txt", ReadOutcome::Refused, ""},
          Case{"justo.txt", ReadOutcome::Read, QByteArray(10, 'x')},
          Case{"grande.txt", ReadOutcome::TooLarge, QByteArray(10, 'x')}}) {
        // By its path, and through the handle of its folder.
        for (const FileRead& read : {ReadRegularFile(Path(c.name), 10), folder->Read(c.name, 10)}) {
            EXPECT_EQ(read.outcome, c.outcome) << c.name;
            EXPECT_EQ(read.bytes, c.bytes) << c.name;
        }
    }
    // A write through the link's name replaces the link; the file it pointed to stays.
    EXPECT_TRUE(ReplaceFileWith(Path("enlace.txt"), "nuevo"));
    EXPECT_EQ(ReadBytes("de-ana.txt"), "privado");
    EXPECT_EQ(ReadRegularFile(Path("enlace.txt"), 10).bytes, "nuevo");
    // Removing a link removes the link.
    RemoveFile(Path("cero.txt"));
    EXPECT_FALSE(QFileInfo(Path("cero.txt")).isSymLink());
}

// Files and folders the program makes take the folder's permissions for the group and for
// everyone, whatever the umask: in a lab every account must be able to change them.
TEST_F(FilesTest, NewFilesTakeTheFoldersPermissionsWhateverTheUmask) {
    const mode_t oldMask = ::umask(077);
    struct Case {
        mode_t folder;
        mode_t file;
        mode_t subfolder;
    };
    for (const Case& c : {Case{02770, 0660, 02770}, Case{0777, 0666, 0777}, Case{0755, 0644, 0755},
                          Case{0700, 0600, 0700}}) {
        const QString folder = Path(QString::number(c.folder, 8));
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folder), 0);
        const auto mode = [](const QString& path) {
            struct stat info {};
            ::stat(QFile::encodeName(path).constData(), &info);
            return info.st_mode & 07777;
        };
        ASSERT_TRUE(ReplaceFileWith(folder + "/usuarios.dat", "x"));
        EXPECT_EQ(mode(folder + "/usuarios.dat"), c.file) << std::oct << c.folder;
        std::unique_ptr<FileLock> lock = FileLock::Take(folder + "/usuarios.lck", 0);
        ASSERT_TRUE(lock);
        EXPECT_EQ(mode(folder + "/usuarios.lck"), c.file) << std::oct << c.folder;
        ASSERT_TRUE(FolderHandle::Open(folder, "estadisticas", FolderHandle::Make::IfMissing));
        EXPECT_EQ(mode(folder + "/estadisticas"), c.subfolder) << std::oct << c.folder;
    }
    ::umask(oldMask);
}

#endif

// A lock another program holds is busy: waiting may help. A lock file that cannot be opened
// is denied at once: waiting cannot help.
TEST_F(FilesTest, LockTellsBusyFromDenied) {
    LockOutcome outcome = LockOutcome::Denied;
    std::unique_ptr<FileLock> held = FileLock::Take(Path("usuarios.lck"), 0, &outcome);
    ASSERT_TRUE(held);
    EXPECT_EQ(outcome, LockOutcome::Taken);
    EXPECT_FALSE(FileLock::Take(Path("usuarios.lck"), 30, &outcome));
    EXPECT_EQ(outcome, LockOutcome::Busy);
    held.reset();
    EXPECT_TRUE(FileLock::Take(Path("usuarios.lck"), 0, &outcome));

    ASSERT_TRUE(CreateFolder(Path("carpeta.lck")));
    ManualClock clock;
    SetClock(&clock);
    EXPECT_FALSE(FileLock::Take(Path("carpeta.lck"), 10000, &outcome));
    EXPECT_EQ(outcome, LockOutcome::Denied);
    EXPECT_EQ(clock.milliseconds, 0) << "no wait for a lock that can never be had";
    SetClock(nullptr);
}

TEST_F(FilesTest, BareNamesMatchWithoutRegardToCase) {
    WriteBytes("usuarios.dat", "x");
    EXPECT_PRED2(test::SameFileName, DataPath("USUARIOS.DAT"), Path("usuarios.dat"));
    EXPECT_EQ(DataPath("nuevo.dat"), Path("nuevo.dat"));
    ASSERT_TRUE(CreateFolder(Path("Textos")));
    WriteBytes("Textos/TEXTO_01", "hola");
    EXPECT_PRED2(test::SameFileName, DataPath("textos\\texto_01"), Path("Textos/TEXTO_01"));
    WriteBytes("b.T10", "");
    WriteBytes("a.t10", "");
    WriteBytes("c.txt", "");
    EXPECT_EQ(ListFiles(dir_->path(), "*.t10"), (QStringList{"a.t10", "b.T10"}));
}

TEST_F(FilesTest, TextThatIsNotUtf8IsTakenAsWindows1252) {
    const auto guess = [this](const QString& name) {
        return GuessTextEncoding(ReadTextFile(Path(name)));
    };
    WriteBytes("ansi.txt", "ni\xF1o \x80 \x93s\xED\x94");
    EXPECT_EQ(guess("ansi.txt"), TextEncoding::Windows1252);
    EXPECT_EQ(DecodeText(ReadBytes("ansi.txt"), TextEncoding::Windows1252),
              QString::fromUtf8("niño € “sí”"));
    WriteBytes("utf8.txt", QString::fromUtf8("niño € “sí”").toUtf8());
    EXPECT_EQ(guess("utf8.txt"), TextEncoding::Utf8);
    EXPECT_EQ(guess("missing.txt"), TextEncoding::Utf8);
    // Ending in a letter that UTF-8 would take for the start of a character: not UTF-8.
    WriteBytes("ansi-end.txt", "SOLO MA\xD1");
    EXPECT_EQ(guess("ansi-end.txt"), TextEncoding::Windows1252);
    // Cut by the cap in the middle of a character, a UTF-8 text is still UTF-8.
    QByteArray cut(kTextFileCap - 1, 'a');
    WriteBytes("largo.txt", cut + QString::fromUtf8("ñ").toUtf8());
    EXPECT_EQ(guess("largo.txt"), TextEncoding::Utf8);
    // Every byte is one character; the unused codes stay control codes.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString decoded = DecodeWindows1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(decoded[0x41], QChar(u'A'));
    EXPECT_EQ(decoded[0x81], QChar(0x81));
    EXPECT_EQ(decoded[0x85], QChar(0x2026));
    EXPECT_EQ(decoded[0x9F], QChar(0x0178));
    EXPECT_EQ(decoded[0xE1], QChar(0xE1));
}

TEST_F(FilesTest, TextFilesSplitAnyLineEndAndAreWrittenCrLfWithoutBom) {
    EXPECT_EQ(SplitLines("uno\r\ndos\nres\rcuatro\r\n\r\nfin"),
              (QStringList{"uno", "dos", "res", "cuatro", "", "fin"}));
    ASSERT_TRUE(WriteTextLinesAtomically(Path("out.txt"), {"ñandú", "dos"}));
    EXPECT_EQ(ReadBytes("out.txt"), QByteArray("\xC3\xB1"
                                               "and\xC3\xBA\r\ndos\r\n"));
}

}  // namespace
}  // namespace tz
