#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>

#include "app/picture_registry.h"
#include "app/startup.h"
#include "exercise/exercise_session.h"
#include "exercise/exercise_window.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/fonts.h"
#include "platform/keyboard_layout.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "support.h"
#include "users/server_settings.h"
#include "users/user_record.h"
#include "users/users_file.h"
#include "users/users_file_start.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tz {
namespace {

class StartupTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        SetClock(&clock_);
    }
    void TearDown() override {
        SetClock(nullptr);
        test::ProgramFolderTest::TearDown();
    }
    // One program's file checks; it ends (without the orderly end) when they return.
    static bool Checks() {
        ProgramState state = InitialProgramState();
        return RunFileChecks(state);
    }
    int MessagesAsked() const {
        int count = 0;
        for (const AskedDialog& asked : AskedDialogs()) count += asked.kind == "message";
        return count;
    }
    ManualClock clock_;
};

TEST_F(StartupTest, MarkerOfMoreThanTwoBytesInvitesOnceAndIsAlwaysDeleted) {
    WriteBytes("facebook.txt", "ab");
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 0);
    EXPECT_FALSE(Exists("facebook.txt"));

    WriteBytes("facebook.txt", "abc");
    QueueAnswer(Answer::Yes);
    ASSERT_TRUE(Checks());
    ASSERT_EQ(MessagesAsked(), 1);
    const AskedDialog& asked = AskedDialogs().front();
    EXPECT_EQ(asked.title, "TIPENZO 10 INFORMACION");
    EXPECT_EQ(asked.text, QString::fromUtf8("¿Quieres apoyarnos?\n\nVisítanos y préstanos un "
                                            "segundo para un 'Me Gusta' en Facebook :)"));
    EXPECT_EQ(test::BoxOf(asked), (test::Box{true, DialogIcon::Question}));
    EXPECT_EQ(ShellRequests(), QStringList{kMakerWebPage});
    EXPECT_FALSE(Exists("facebook.txt"));

    ClearDialogs();
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 0);
}

void SetModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

// Every save replaces the users file whole, so a lock copy is never newer than it: the copy is
// offered back only for a users file that is missing or damaged, with "No" for Enter and the
// date of each file, and neither answer loses either file.
TEST_F(StartupTest, ALockCopyIsOfferedBackOnlyForAMissingOrDamagedUsersFile) {
    const QByteArray saved =
        "Datos de Usuarios v2.6\r\nANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
        "NORMAL|ID-20240101101010\r\n";
    const QByteArray later =
        saved + "EVA|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101101011\r\n";
    WriteBytes("usuarios.dat", later);
    WriteBytes("~usuarios.dat", saved);
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 0);
    EXPECT_EQ(ReadBytes("usuarios.dat"), later);
    EXPECT_EQ(ReadBytes("~usuarios.dat"), later);

    for (const bool missing : {false, true}) {
        ClearDialogs();
        RemoveFile(Path("usuarios.dat"));
        if (!missing) WriteBytes("usuarios.dat", "roto");
        if (!missing) SetModified(Path("usuarios.dat"), QDateTime(QDate(2024, 3, 5), QTime(8, 20)));
        WriteBytes("~usuarios.dat", saved);
        SetModified(Path("~usuarios.dat"), QDateTime(QDate(2024, 3, 4), QTime(17, 45)));
        QueueAnswer(Answer::Yes);
        ASSERT_TRUE(Checks());
        ASSERT_EQ(MessagesAsked(), 1);
        const AskedDialog& asked = AskedDialogs()[0];
        EXPECT_EQ(asked.title, "TIPENZO10 INFORMACION");
        EXPECT_EQ(test::BoxOf(asked),
                  (test::Box{true, DialogIcon::Exclamation, DefaultButton::No}));
        EXPECT_TRUE(asked.text.startsWith(QString::fromUtf8(
            "ATENCIÓN!\n\nLa última vez que se ejecutó TIPENZO10 no se cerró correctamente.")));
        EXPECT_TRUE(asked.text.endsWith(QString::fromUtf8("¿Desea Recuperarlo?")));
        EXPECT_TRUE(asked.text.contains("04/03/2024") && asked.text.contains("17:45"));
        EXPECT_EQ(asked.text.contains("05/03/2024") && asked.text.contains("08:20"), !missing);
        EXPECT_EQ(ReadBytes("usuarios.dat"), saved);
        EXPECT_EQ(ReadBytes("~usuarios.dat"), saved);
    }
    // The file it replaced is kept beside it, dated.
    EXPECT_EQ(ReadBytes("usuarios_antes_de_recuperar_20240305083000.dat"), "roto");

    // "No" keeps the users file as it is and the copy under a dated name.
    ClearDialogs();
    WriteBytes("usuarios.dat", "roto");
    WriteBytes("~usuarios.dat", saved);
    QueueAnswer(Answer::No);
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 1);
    EXPECT_EQ(ReadBytes("usuarios.dat"), "roto");
    EXPECT_EQ(ReadBytes(UnusedLockCopyName("20240305083000")), saved);

    // A lock copy of two bytes raises nothing.
    ClearDialogs();
    RemoveFile(Path("usuarios.dat"));
    WriteBytes("~usuarios.dat", "ab");
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 0);
}

// A users file of `size` bytes whose lines after the header are no users' lines.
QByteArray Damaged(int size, char filler) {
    QByteArray bytes = "Datos de Usuarios v2.6\r\n";
    bytes += QByteArray(size - bytes.size(), filler);
    return bytes;
}

TEST_F(StartupTest, OverLargeDamagedUsersFileAsksAndNoTwiceEndsBeforeAnything) {
    WriteBytes("usuarios.dat", Damaged(10000, 'a'));
    ASSERT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 0);
    RemoveFile(Path("~usuarios.dat"));

    const QByteArray large = Damaged(10001, 'b');
    WriteBytes("usuarios.dat", large);
    QueueAnswer(Answer::No);
    QueueAnswer(Answer::No);
    EXPECT_FALSE(Checks());
    ASSERT_EQ(MessagesAsked(), 2);
    EXPECT_EQ(AskedDialogs()[0].title, "ATENCION");
    // Enter keeps the file as it is.
    EXPECT_EQ(test::BoxOf(AskedDialogs()[0]),
              (test::Box{true, DialogIcon::None, DefaultButton::No}));
    EXPECT_TRUE(AskedDialogs()[0].text.startsWith(
        QString::fromUtf8("Es posible que el archivo USUARIOS.DAT esté dañado\n\n¿Quiere "
                          "arreglar este problema?\n")));
    EXPECT_TRUE(AskedDialogs()[0].text.contains(kSupportEmail));
    EXPECT_EQ(AskedDialogs()[1].title, QString::fromUtf8("ATENCIÓN"));
    EXPECT_EQ(AskedDialogs()[1].text,
              QString::fromUtf8("Si continúa, puede que la aplicación se bloquee\n\n¿Continuar?"));
    EXPECT_EQ(ReadBytes("usuarios.dat"), large);
    EXPECT_FALSE(Exists("~usuarios.dat"));

    // "No" then "Yes" goes on with the file as it is.
    ClearDialogs();
    QueueAnswer(Answer::No);
    QueueAnswer(Answer::Yes);
    EXPECT_TRUE(Checks());
    EXPECT_EQ(ReadBytes("~usuarios.dat"), large);
    RemoveFile(Path("~usuarios.dat"));

    // "Yes" keeps the file as it was in USUARIOS.SEG, and never over an earlier one: a second
    // repair names the file it keeps instead.
    QueueAnswer(Answer::Yes);
    EXPECT_TRUE(Checks());
    EXPECT_EQ(ReadBytes("USUARIOS.SEG"), large);
    const QByteArray second = Damaged(10002, 'c');
    WriteBytes("usuarios.dat", second);
    RemoveFile(Path("~usuarios.dat"));
    ClearDialogs();
    QueueAnswer(Answer::Yes);
    EXPECT_TRUE(Checks());
    EXPECT_EQ(ReadBytes("USUARIOS.SEG"), large);
    const QStringList kept = QDir(dir_->path()).entryList({"USUARIOS*.SEG"});
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(ReadBytes(kept[1 - kept.indexOf("USUARIOS.SEG")]), second);
    EXPECT_TRUE(AskedDialogs()[0].text.contains(kept[1 - kept.indexOf("USUARIOS.SEG")]));
}

// A class's users file: 150 pupils, well over 10000 bytes.
QByteArray ClassFile() {
    QByteArray bytes = "Datos de Usuarios v2.6\r\n";
    for (int i = 0; i < 150; ++i) {
        bytes += QString::fromUtf8(
                     "ALUMNA NÚMERO %1|%2|3|2|131|118|126|131|124|140|-1|-1|-1|-1|-1|"
                     "DIFICIL|ID-20240101%3\r\n")
                     .arg(i)
                     .arg(1 + i % 36)
                     .arg(100000 + i)
                     .toUtf8();
    }
    return bytes;
}

TEST_F(StartupTest, LargeClassFileIsNoDamagedFileButOneBadLineMakesIt) {
    const QByteArray healthy = ClassFile();
    ASSERT_GT(healthy.size(), 10000);
    // Each start as after an orderly end: no lock copy left.
    const auto start = [this] {
        RemoveFile(Path("~usuarios.dat"));
        return Checks();
    };
    WriteBytes("usuarios.dat", healthy);
    ASSERT_TRUE(start());
    EXPECT_EQ(MessagesAsked(), 0);
    EXPECT_EQ(ReadBytes("usuarios.dat"), healthy);
    EXPECT_EQ(ReadBytes("~usuarios.dat"), healthy);
    // A byte-order mark, LF line ends and blank lines are no damage either.
    QByteArray edited = "\xEF\xBB\xBF" + healthy;
    edited.replace("\r\n", "\n");
    WriteBytes("usuarios.dat", edited + "\n\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(MessagesAsked(), 0);
    // Nor is a line an older editor saved in Windows-1252.
    QByteArray windows = healthy;
    windows.insert(windows.indexOf("\r\n", 5000) + 2,
                   "JOS\xC9|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-1\r\n");
    WriteBytes("usuarios.dat", windows);
    ASSERT_TRUE(start());
    EXPECT_EQ(MessagesAsked(), 0);

    const QByteArray pupil = "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101101010";
    const struct {
        const char* what;
        QByteArray line;
    } damage[] = {
        {"a torn line", pupil.left(30)},
        {"sixteen fields", pupil.left(pupil.lastIndexOf('|'))},
        {"eighteen fields", pupil + "|X"},
        {"a letter in the level", QByteArray(pupil).replace("ANA|1|", "ANA|x|")},
        {"an empty history slot", QByteArray(pupil).replace("|-1|NORMAL", "||NORMAL")},
        {"an id without ID-", QByteArray(pupil).replace("ID-2024", "2024")},
        {"letters in the id", QByteArray(pupil).replace("ID-2024", "ID-X024")},
    };
    for (const auto& bad : damage) {
        ClearDialogs();
        QByteArray file = healthy;
        file.insert(file.indexOf("\r\n", 5000) + 2, bad.line + "\r\n");
        WriteBytes("usuarios.dat", file);
        QueueAnswer(Answer::No);
        QueueAnswer(Answer::Yes);
        EXPECT_TRUE(start()) << bad.what;
        ASSERT_EQ(MessagesAsked(), 2) << bad.what;
        EXPECT_EQ(AskedDialogs()[0].title, "ATENCION") << bad.what;
        EXPECT_EQ(ReadBytes("usuarios.dat"), file) << bad.what;
    }
    // "Yes" mends only the damaged lines, where they stand: a line with its id keeps its pupil
    // as the program reads her, one without is left in USUARIOS.SEG; the class stays.
    ClearDialogs();
    QByteArray file = healthy;
    file.insert(file.indexOf("\r\n", 5000) + 2,
                QByteArray(pupil).replace("ANA|1|", "ANA|x|") + "\r\n" + pupil.left(30) + "\r\n");
    WriteBytes("usuarios.dat", file);
    QueueAnswer(Answer::Yes);
    EXPECT_TRUE(start());
    EXPECT_EQ(ReadBytes("USUARIOS.SEG"), file);
    QByteArray mended = healthy;
    mended.insert(mended.indexOf("\r\n", 5000) + 2,
                  QByteArray(pupil).replace("ANA|1|", "ANA|0|") + "\r\n");
    EXPECT_EQ(ReadBytes("usuarios.dat"), mended);

    // A file of the older layout is no damaged one: start-up brings it to the current layout.
    ClearDialogs();
    QByteArray older = "Datos de Usuarios v2.5\r\n";
    for (int i = 0; i < 250; ++i) older += "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL\r\n";
    WriteBytes("usuarios.dat", older);
    EXPECT_TRUE(start());
    EXPECT_EQ(MessagesAsked(), 0);
}

// The settings examples the README and the help give a school, each as its own file.
QList<QByteArray> SettingsExamples() {
    QList<QByteArray> examples;
    QFile readme(test::SourcePath("README.md"));
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = readme.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype indent = lines[i].indexOf('[');
        if (indent < 4 || !lines[i].left(indent).trimmed().isEmpty()) continue;
        QByteArray example;
        while (i < lines.size() && lines[i].left(indent).trimmed().isEmpty() &&
               lines[i].size() > indent)
            example += lines[i++].mid(indent) + "\n";
        examples << example;
    }
    QFile help(test::SourcePath("assets/help/tipzhelp.html"));
    EXPECT_TRUE(help.open(QIODevice::ReadOnly));
    const QByteArray html = help.readAll();
    for (qsizetype at = html.indexOf("<pre>["); at >= 0; at = html.indexOf("<pre>[", at + 1)) {
        const qsizetype end = html.indexOf("</pre>", at);
        examples << html.mid(at + 5, end - at - 5).replace("&amp;", "&");
    }
    return examples;
}

TEST_F(StartupTest, EverySettingsExampleOfTheReadmeAndTheHelpIsAccepted) {
    const QList<QByteArray> examples = SettingsExamples();
    EXPECT_GE(examples.size(), 7);
    for (const QByteArray& example : examples) {
        WriteBytes("tipenzo10.ini", example);
        const QString file = Path("tipenzo10.ini");
        const QByteArray section = example.left(example.indexOf(']') + 1);
        if (section == "[datos]") {
            EXPECT_FALSE(ReadDataFolderSetting(file).isEmpty()) << example.toStdString();
        } else if (section == "[teclado]") {
            EXPECT_EQ(ReadKeyboardLayoutSetting(file), kLatinAmericanLayout)
                << example.toStdString();
        } else {
            ASSERT_EQ(section, "[servidor]") << example.toStdString();
            QString problem;
            EXPECT_TRUE(ServerSettingsFrom(*FindServerSection({file}), &problem))
                << example.toStdString() << problem.toStdString();
        }
    }
}

TEST_F(StartupTest, ExerciseFontIsTheLargestSizeWhoseTestLineFits) {
    const int size = FitExerciseFontSize();
    ASSERT_GE(size, 14);
    ASSERT_LE(size, 26);
    const QString line(79, QChar('X'));
    auto endAt = [&](int points) {
        return 5 + QFontMetrics(MakeFont("Courier New", points, true)).horizontalAdvance(line);
    };
    if (size > 14) {
        EXPECT_LT(endAt(size), 770);
    }
    if (size < 26) {
        EXPECT_GE(endAt(size + 1), 770);
    }
}

TEST_F(StartupTest, FreshFolderStartsWithHeaderOnlyUsersFileAndEndsWithoutLockCopy) {
    ASSERT_TRUE(Checks());
    EXPECT_FALSE(Exists("~usuarios.dat"));  // no users file, nothing to copy
    const qint64 before = clock_.milliseconds;
    ProgramState state;
    state.CurrentUser.name = QStringLiteral("OTRA");  // start-up begins from a fresh state
    InitialiseProgram(state);
    EXPECT_GE(clock_.milliseconds - before, 2500);
    EXPECT_EQ(ReadBytes("usuarios.dat"), QByteArray("Datos de Usuarios v2.6\r\n"));
    EXPECT_EQ(state.CurrentUser, UserRecord());
    EXPECT_EQ(state.CurrentMode, "NORMAL");
    EXPECT_EQ(state.ExerciseFont.family(), QStringLiteral("Courier New"));
    EXPECT_TRUE(state.ExerciseFont.bold());
    EXPECT_EQ(LogicalSize(ExercisePage(state.ExerciseFont).Canvas()), QSize(770, 200));
    EXPECT_EQ(TextLineHeight, 28);
    EXPECT_TRUE(PictureExists(53));
    EXPECT_EQ(LogicalSize(Picture(45)), QSize(306, 84));
    ShutdownProgram(state);
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

#ifndef _WIN32
// A save cut short leaves its temporary file behind: this account's old ones go at the next
// start; one written a moment ago, a link and a name the program never gives stay.
TEST_F(StartupTest, StaleTemporariesGoAtStart) {
    ASSERT_TRUE(QDir().mkdir(Path("estadisticas")));
    WriteBytes("otro.txt", "de otro");
    ASSERT_EQ(::symlink(QFile::encodeName(Path("otro.txt")).constData(),
                        QFile::encodeName(Path("enlace.dat.01234567.tmp")).constData()),
              0);
    const QStringList stale = {"usuarios.dat.0123abcd.tmp", "estadisticas/ID-1.txt.89abcdef.tmp"};
    const QStringList kept = {"usuarios.dat.fedcba98.tmp", "nota.tmp", "enlace.dat.01234567.tmp"};
    for (const QString& name : stale + kept.mid(0, 2)) WriteBytes(name, "x");
    for (const QString& name : stale + kept.mid(1)) ASSERT_TRUE(test::AgeFile(Path(name), 120));
    ASSERT_TRUE(Checks());
    for (const QString& name : stale) EXPECT_FALSE(Exists(name)) << name.toStdString();
    for (const QString& name : kept) EXPECT_TRUE(Exists(name)) << name.toStdString();
}
#endif

TEST_F(StartupTest, SplashShowsLoadingOverTheBrand) {
    RegisterAllPictures();
    for (int number = 1; number <= 53; ++number) {
        if (!PictureSize(number).isEmpty()) {
            EXPECT_EQ(LogicalSize(Picture(number)), PictureSize(number)) << "picture " << number;
        }
    }
    QWidget* splash = OpenSplashWindow();
    EXPECT_EQ(splash->size(), QSize(249, 165));
    EXPECT_EQ(splash->windowTitle(), "Tipenzo 10");
    auto* loading = qobject_cast<QLabel*>(FindControl(splash, 2));
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->text(), "Cargando...");
    test::SaveScreen(splash, "splash");
    DestroyWindow(splash);
    FreeAllPictures();
}

// The variable TIPENZO_DATA for the length of a test.
class DataVariable {
  public:
    explicit DataVariable(const QString& value) : saved_(qgetenv(kDataFolderVariable)) {
        qputenv(kDataFolderVariable, value.toUtf8());
    }
    ~DataVariable() { qputenv(kDataFolderVariable, saved_); }

  private:
    QByteArray saved_;
};

TEST_F(StartupTest, DataFolderThatCannotBeWrittenIsToldOnceNamingItAndTheProgramGoesOn) {
    WriteBytes("archivo", "no es una carpeta");
    const DataVariable variable(Path("archivo/datos"));
    SetProgramFolder(QString());
    SettleFolders();
    ASSERT_EQ(MessagesAsked(), 1);
    const AskedDialog& asked = AskedDialogs().front();
    EXPECT_EQ(asked.title, QString::fromUtf8("TIPENZO 10 ATENCIÓN"));
    EXPECT_EQ(asked.text,
              QString::fromUtf8("No se puede escribir en la carpeta de datos:\n\n") +
                  QDir::toNativeSeparators(Path("archivo/datos")) +
                  QString::fromUtf8(
                      "\n(indicada en la variable de entorno TIPENZO_DATA)\n\nLos usuarios "
                      "nuevos, los resultados y los textos personalizados no se guardarán. Pida a "
                      "quien administra este equipo permiso de escritura en esa carpeta, o que "
                      "indique otra en el archivo tipenzo10.ini."));
    EXPECT_FALSE(asked.yesNo);
    EXPECT_EQ(asked.icon, DialogIcon::Exclamation);
    EXPECT_EQ(DataFolder(), Path("archivo/datos/"));
    // Start-up goes on with the file checks, without a further message.
    EXPECT_TRUE(Checks());
    EXPECT_EQ(MessagesAsked(), 1);
    EXPECT_FALSE(QFile::exists(DataPath("usuarios.dat")));
}

// A lock another program holds is waited for, said once, and no longer than a save would wait
// twice; a lock this account cannot take is no reason to wait at all: it is told once, naming
// the folder and what to change, and the program goes on without touching the users file.
TEST_F(StartupTest, ABusyLockIsWaitedForABoundedTimeAndADeniedOneIsTold) {
    WriteBytes("usuarios.dat", "Datos de Usuarios v2.6\r\n");
    WriteBytes("~usuarios.dat", "una copia de otro programa");
    {
        const std::unique_ptr<FileLock> other = LockUsersFile(0);
        ASSERT_TRUE(other);
        ASSERT_TRUE(Checks());
    }
    ASSERT_EQ(MessagesAsked(), 1);
    EXPECT_EQ(AskedDialogs()[0].text,
              "Otro programa está usando el archivo de usuarios.\n\n"
              "TIPENZO 10 empezará en cuanto termine.");
    EXPECT_GE(clock_.milliseconds, 2 * kUsersLockWaitMs);
    EXPECT_LE(clock_.milliseconds, 2 * kUsersLockWaitMs + 100);
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "una copia de otro programa") << "not this program's";

    ClearDialogs();
    clock_.milliseconds = 0;
    RemoveFile(Path("~usuarios.dat"));
    RemoveFile(Path("usuarios.lck"));
    ASSERT_TRUE(QDir().mkdir(Path("usuarios.lck")));  // a lock file no account can open
    const DataVariable variable(dir_->path());
    SetProgramFolder(QString());
    SettleFolders();
    ASSERT_TRUE(Checks());
    ASSERT_EQ(MessagesAsked(), 1);
    const QString text = AskedDialogs()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Esta cuenta no puede cambiar lo siguiente en la "
                                               "carpeta de datos:\n\n") +
                                QDir::toNativeSeparators(dir_->path())))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\n\nusuarios.lck\n\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("permiso de escritura")) << text.toStdString();
    EXPECT_EQ(clock_.milliseconds, 0) << "no wait for what waiting cannot mend";
    EXPECT_FALSE(Exists("~usuarios.dat"));
}

TEST_F(StartupTest, VariableNamesTheDataFolderAndFoldersSetByATestStay) {
    const DataVariable variable(Path("datos"));
    SettleFolders();  // the test's own folder is kept
    EXPECT_EQ(DataFolder(), Path(""));
    EXPECT_EQ(ProgramFolder(), Path(""));

    SetProgramFolder(QString());
    SettleFolders();
    EXPECT_EQ(MessagesAsked(), 0);
    EXPECT_EQ(DataFolder(), Path("datos/"));
    EXPECT_TRUE(QFileInfo(Path("datos")).isDir());
    // The test program's folder holds no lesson texts and no installed tree: it is its own
    // program folder.
    EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath() + '/');
    ASSERT_TRUE(Checks());
    ProgramState state;
    InitialiseProgram(state);
    EXPECT_TRUE(Exists("datos/usuarios.dat"));
    EXPECT_FALSE(QFile::exists(ProgramFolder() + "usuarios.dat"));
    ShutdownProgram(state);
}

}  // namespace
}  // namespace tz
