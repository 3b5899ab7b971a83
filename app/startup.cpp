#include "app/startup.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <cstdio>
#include <optional>

#include "app/commands.h"
#include "app/exercise_run.h"
#include "app/main_menu.h"
#include "app/picture_registry.h"
#include "app/store_choice.h"
#include "app/user_views.h"
#include "content/class_report.h"
#include "content/custom_texts.h"
#include "content/results_chart.h"
#include "exercise/exercise_pictures.h"
#include "exercise/keyboard_tables.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/folder_handle.h"
#include "platform/folders.h"
#include "platform/fonts.h"
#include "platform/keyboard_layout.h"
#include "platform/pictures.h"
#include "platform/safe_files.h"
#include "platform/shell.h"
#include "platform/translations.h"
#include "platform/windows.h"
#include "users/file_store.h"
#include "users/live_programs.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/users_file.h"
#include "users/users_repair.h"
#include "users/users_upgrade.h"

void TipenzoInitAssets();

namespace tz {

const char* const kMakerWebPage = "https://www.tipenzo.es/software-educativo/";
const char* const kSupportEmail = "soporte@tipenzo.es";

namespace {

const QString kMarkerName = QStringLiteral("facebook.txt");

void AskAboutMarker() {
    const QString marker = DataPath(kMarkerName);
    if (FileSize(marker) > 2) {
        const bool yes = AskYesNo(
            "TIPENZO 10 INFORMACION",
            QString::fromUtf8("¿Quieres apoyarnos?\n\nVisítanos y préstanos un segundo para un "
                              "'Me Gusta' en Facebook :)"),
            DialogIcon::Question);
        if (yes) OpenExternal(kMakerWebPage);
    }
    RemoveFile(marker);
}

// The users file a recovery replaces, kept beside it under a dated name: what it still holds
// is not lost.
bool KeepReplacedUsersFile() {
    const QString users = DataPath(kUsersFileName);
    const QString kept = DataPath(RecoveryCopyName(MakeDateStamp()));
    const FileRead current = ReadRegularFile(users, kUsersFileCap);
    if (current.outcome == ReadOutcome::Missing) return true;
    if (current.Ok()) return ReplaceFileWith(kept, current.bytes);
    // Not readable as a file of ours: set aside whole, whatever it is.
    return MoveReplacing(users, kept);
}

enum class UsersFileState { Healthy, Missing, Damaged, Unreadable };

// A file of the older layout is no damaged one: start-up brings it to the current layout.
bool IsOlderLayout(const QByteArray& content) {
    const QList<QByteArray> first = SplitByteLines(content.left(200));
    return !first.isEmpty() && IsOlderUsersHeader(first.front());
}

UsersFileState StateOfUsersFile() {
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) {
        switch (file.outcome) {
            case ReadOutcome::Missing:
                return UsersFileState::Missing;
            case ReadOutcome::TooLarge:
            case ReadOutcome::Refused:
                return UsersFileState::Damaged;
            default:
                return UsersFileState::Unreadable;
        }
    }
    if (IsOlderLayout(file.content)) return UsersFileState::Healthy;
    // Every save writes at least the header: an emptied file was damaged from outside.
    if (file.content.trimmed().isEmpty() || !IsHealthyUsersFile(file.content))
        return UsersFileState::Damaged;
    return UsersFileState::Healthy;
}

// "04/03/2024 a las 17:45", when the file was last written.
QString WrittenOn(const QString& path) {
    const QDateTime when = QFileInfo(path).lastModified();
    return when.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" a las ") +
           when.toString(QStringLiteral("HH:mm"));
}

// Every save replaces the users file whole, so a lock copy is never newer than the file: it is
// offered back only when the users file is missing or damaged. Neither answer loses a file.
void OfferRecovery() {
    const QString copyPath = DataPath(kLockCopyName);
    // Only a lock copy of ours counts: a link planted under its name is no copy of anything.
    const FileRead copy = ReadRegularFile(copyPath, kUsersFileCap);
    const UsersFileState state = StateOfUsersFile();
    bool placed = true;
    if (copy.Ok() && copy.bytes.size() > 2 &&
        (state == UsersFileState::Missing || state == UsersFileState::Damaged)) {
        const QString users = DataPath(kUsersFileName);
        const QString text =
            QString::fromUtf8(
                "ATENCIÓN!\n\nLa última vez que se ejecutó TIPENZO10 no se cerró correctamente."
                "\n\n") +
            (state == UsersFileState::Missing
                 ? QString::fromUtf8("No se encuentra el archivo de usuarios.")
                 : QString::fromUtf8("El archivo de usuarios, guardado el ") + WrittenOn(users) +
                       QString::fromUtf8(", está dañado.")) +
            QString::fromUtf8("\nLa copia de seguridad es del ") + WrittenOn(copyPath) +
            QString::fromUtf8(
                ": lo que se guardó después no está en ella.\n\nSi la recupera, el archivo "
                "de ahora se guarda aparte; si no, se guarda aparte la copia.\n\n"
                "¿Desea Recuperarlo?");
        if (AskYesNo("TIPENZO10 INFORMACION", text, DialogIcon::Exclamation, DefaultButton::No)) {
            // The lock copy takes the users file's place in one step, once the file it
            // replaces is safe.
            placed = KeepReplacedUsersFile() && ReplaceFileWith(users, copy.bytes);
        } else {
            placed = ReplaceFileWith(DataPath(UnusedLockCopyName(MakeDateStamp())), copy.bytes);
        }
    }
    if (placed) RemoveFile(copyPath);
}

const QString kSetAsideName = QStringLiteral("USUARIOS.SEG");

// Where a damaged users file is kept as it was: "USUARIOS.SEG", or a dated name beside it when
// an earlier one is there.
QString FreeSetAsideName() {
    if (FileSize(DataPath(kSetAsideName)) == -1) return kSetAsideName;
    return QStringLiteral("USUARIOS_") + MakeDateStamp() + QStringLiteral(".SEG");
}

// Keeps the file as it was under `setAside`, then writes it mended; told when it cannot.
void RepairDamagedUsersFile(const UsersFileRepair& repair, const QString& setAside) {
    const FileRead original = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    if (original.Ok() && FileSize(DataPath(setAside)) == -1 &&
        ReplaceFileWith(DataPath(setAside), original.bytes) &&
        ReplaceUsersFileLocked(repair.lines)) {
        return;
    }
    Tell("ATENCION",
         QString::fromUtf8("No se pudo arreglar el archivo de usuarios: la carpeta de datos no "
                           "deja escribir en ella. El programa sigue con el archivo tal como "
                           "está; pida a quien administra este equipo que lo revise."),
         DialogIcon::Exclamation);
}

// False when the user chose to end the program.
bool CheckUsersFileSize() {
    if (FileSize(DataPath(kUsersFileName)) <= 10000) return true;
    // A large users file is a class's, not a damaged one, as long as every line is a user's.
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened || IsOlderLayout(file.content) || IsHealthyUsersFile(file.content))
        return true;
    const UsersFileRepair repair = RepairUsersFile(file.content);
    const QString setAside = FreeSetAsideName();
    const QString text =
        QString::fromUtf8("Es posible que el archivo USUARIOS.DAT esté dañado\n\n") +
        QString::fromUtf8(
            "¿Quiere arreglar este problema?\n(Se guardará una copia de dicho archivo como ") +
        setAside + QStringLiteral(" y se arreglarán solo ") +
        (repair.Damaged() == 1 ? QStringLiteral("la línea dañada")
                               : QStringLiteral("las ") + QString::number(repair.Damaged()) +
                                     QString::fromUtf8(" líneas dañadas")) +
        QString::fromUtf8("; los demás usuarios se quedan como están)\n") +
        QString::fromUtf8(
            "Si ya tenía algún usuario con el curso empezado, puede enviarnos el "
            "archivo generado ") +
        setAside + QStringLiteral(" a: ") + kSupportEmail + "\n\n";
    // Enter keeps the file as it is.
    if (AskYesNo("ATENCION", text, DialogIcon::None, DefaultButton::No)) {
        RepairDamagedUsersFile(repair, setAside);
        return true;
    }
    return AskYesNo(QString::fromUtf8("ATENCIÓN"),
                    QString::fromUtf8("Si continúa, puede que la aplicación se bloquee\n\n"
                                      "¿Continuar?"));
}

QString DataFolderOriginText(const FolderChoice& choice) {
    switch (choice.origin) {
        case DataFolderOrigin::Variable:
            return QStringLiteral("(indicada en la variable de entorno ") + kDataFolderVariable +
                   ')';
        case DataFolderOrigin::SettingsFile:
            return QString::fromUtf8("(indicada en el archivo ") +
                   QDir::toNativeSeparators(choice.settingsFile) + ')';
        case DataFolderOrigin::ProgramFolder:
            return QStringLiteral("(la carpeta del programa)");
        case DataFolderOrigin::UserFolder:
            return QStringLiteral("(la carpeta de datos del usuario)");
    }
    return QString();
}

// The folders the program makes in the data folder.
QStringList MadeFolders() {
    return {kFiguresFolderName, kCustomTextsFolder, kDeletedFiguresFolderName};
}

// A replacement cut short (a crash, a PC switched off) leaves its temporary file behind, up to
// the size of the users file each time: this account's go once they are clearly no write in
// progress.
void RemoveStaleTemporaries() {
    constexpr qint64 kStaleSeconds = 60;
    if (const auto data = FolderHandle::OpenAsNamed(DataFolder()))
        data->RemoveStaleTemporaries(kStaleSeconds);
    for (const QString& name : MadeFolders()) {
        if (const auto folder = FolderHandle::InData(name, FolderHandle::Make::No))
            folder->RemoveStaleTemporaries(kStaleSeconds);
    }
}

// What of the data folder another account made and this one cannot change, by name.
QStringList AccessProblems() {
    QStringList names;
    LockOutcome outcome = LockOutcome::Taken;
    if (!LockUsersFile(0, &outcome) && outcome == LockOutcome::Denied) names << kUsersLockName;
    if (!CanReplaceFile(DataPath(kUsersFileName))) names << kUsersFileName;
    for (const QString& folder : MadeFolders()) {
        const QString path = DataPath(folder);
        if (FileSize(path) == -2 && !FolderIsWritable(path)) names << folder + u'/';
    }
    return names;
}

// A lab whose accounts share the data folder works only when each may change what the others
// made: told once, naming what the administrator must change; the program goes on as on a
// folder it cannot write.
void TellAccessProblems(const FolderChoice& choice) {
    const QStringList names = AccessProblems();
    if (names.isEmpty()) return;
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(choice.dataFolder));
    QString text =
        QString::fromUtf8("Esta cuenta no puede cambiar lo siguiente en la carpeta de datos:\n\n") +
        folder + "\n" + DataFolderOriginText(choice) + "\n\n" + names.join(u'\n') +
        QString::fromUtf8(
            "\n\nLos usuarios nuevos, los resultados y los textos personalizados no se "
            "guardarán. Pida a quien administra este equipo que dé permiso de escritura sobre "
            "la carpeta y todo lo que contiene al grupo de los alumnos.");
    if (FolderIsSticky(choice.dataFolder)) {
        text += QString::fromUtf8(
            " La carpeta no debe tener el permiso especial «sticky» (como /tmp): con él nadie "
            "puede sustituir un archivo creado por otra cuenta.");
    }
    text += QString::fromUtf8(" La ayuda explica cómo preparar una carpeta compartida.");
    Tell(QString::fromUtf8("TIPENZO 10 ATENCIÓN"), text, DialogIcon::Exclamation);
}

}  // namespace

void SettleFolders() {
    if (FoldersSet()) return;
    const FolderChoice choice = ChooseFolders(RunningFolderSources());
    SetFolders(choice.programFolder, choice.dataFolder);
    if (choice.dataWritable) {
        TellAccessProblems(choice);
        return;
    }
    // Said once here rather than failing silently at every save.
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(choice.dataFolder));
    Tell(QString::fromUtf8("TIPENZO 10 ATENCIÓN"),
         QString::fromUtf8("No se puede escribir en la carpeta de datos:\n\n") + folder + "\n" +
             DataFolderOriginText(choice) +
             QString::fromUtf8(
                 "\n\nLos usuarios nuevos, los resultados y los textos personalizados no "
                 "se guardarán. Pida a quien administra este equipo permiso de escritura "
                 "en esa carpeta, o que indique otra en el archivo tipenzo10.ini."),
         DialogIcon::Exclamation);
}

namespace {

// The users file's lock for the checks. Another program holding it is in the middle of a save
// or of its own checks: the checks wait for it, saying so once, and no longer than a save
// would. A lock this account cannot take was told about when the folders were settled.
std::unique_ptr<FileLock> LockForChecks() {
    LockOutcome outcome = LockOutcome::Taken;
    std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &outcome);
    if (lock || outcome == LockOutcome::Denied) return lock;
    Tell(QStringLiteral("TIPENZO 10 INFORMACION"),
         QStringLiteral("Otro programa está usando el archivo de usuarios.\n\n"
                        "TIPENZO 10 empezará en cuanto termine."),
         DialogIcon::Information);
    return LockUsersFile(kUsersLockWaitMs);
}

}  // namespace

bool UsesUsersFile(const PupilStore& store) {
    return dynamic_cast<const FileStore*>(&store) != nullptr;
}

bool UsesUsersFile(const ProgramState& state) {
    return !state.store || UsesUsersFile(*state.store);
}

bool RunFileChecks(ProgramState& state) {
    AskAboutMarker();
    RemoveStaleTemporaries();
    // A server keeps no users file: there is no lock copy to offer back or make, and nothing to
    // set aside.
    if (!UsesUsersFile(state)) return true;
    // No other program starts or ends while the checks run.
    const std::unique_ptr<FileLock> lock = LockForChecks();
    state.presence = ProgramPresence::Join();
    // A lock copy left while other programs run is theirs, and the users file theirs too. A
    // program that could not take the lock changes nothing of them either: another one is busy
    // with the file, or this account cannot change it.
    if (!lock || OtherLivePrograms(state.presence.get()) > 0) return true;
    OfferRecovery();
    if (!CheckUsersFileSize()) {
        state.presence.reset();
        return false;
    }
    const FileRead users = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    if (users.Ok()) ReplaceFileWith(DataPath(kLockCopyName), users.bytes);
    return true;
}

void LeaveDataFolder(ProgramState& state) {
    if (!UsesUsersFile(state)) return;
    LockOutcome outcome = LockOutcome::Taken;
    std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &outcome);
    const bool busy = outcome == LockOutcome::Busy;
    state.presence.reset();
    // A program that held the users file all the while is alive: the lock copy is its.
    if (!busy && OtherLivePrograms(nullptr) == 0) RemoveFile(DataPath(kLockCopyName));
}

int FitExerciseFontSize() {
    const QString line(79, QChar('X'));
    int size = 26;
    for (;;) {
        const QFont font = MakeFont("Courier New", size, true);
        QImage probe(770, 249, QImage::Format_RGB32);
        const int end = DrawTextOn(probe, 5, 5, line, font, Qt::black);
        if (end < 770 || size == 14) return size;
        --size;
    }
}

QWidget* OpenSplashWindow() {
    ScreenWindow* splash = CreateScreenWindow("Tipenzo 10", 249, 165, true);
    splash->SetKeyCapture(KeyCapture::None);
    SetBackground(splash, QColor(208, 134, 108));
    AddPicture(splash, 1, PictureName::SplashBanner, QRect(0, 0, 249, 56));
    QLabel* loading = AddLabel(splash, 2, "Cargando...", QRect(0, 55, 249, 25));
    loading->setAlignment(Qt::AlignCenter);
    loading->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    loading->setFont(MakeFont("Courier New", 14, true, true));
    QLabel* logo = AddLabel(splash, 3, QString(), QRect(0, 80, 249, 85));
    logo->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::SplashLogo), 249, 85)));
    splash->show();
    SetAlwaysOnTop(splash, true);
    DrainEvents();
    return splash;
}

void InitialiseProgram(ProgramState& state) {
    RegisterAllPictures();
    QWidget* splash = OpenSplashWindow();
    std::unique_ptr<ProgramPresence> presence = std::move(state.presence);
    std::unique_ptr<PupilStore> store = std::move(state.store);
    state = InitialProgramState();
    state.presence = std::move(presence);
    if (store) state.store = std::move(store);
    // The PC's keyboard, in the hints, on the keyboard picture and in the texts typed.
    state.keyboard = MakeKeyboardTables(RunningKeyboardLayout());
    RegisterKeyboardPictures(state.keyboard);
    ChartColours();
    // A server's tables were brought up to date when the program connected.
    if (UsesUsersFile(state)) UpgradeUsersFile(DrainEvents);
    state.ExerciseFont = MakeFont("Courier New", FitExerciseFontSize(), true);
    WaitMs(2500);
    DestroyWindow(splash);
}

bool OpenStore(ProgramState& state) {
    QString failure;
    std::unique_ptr<PupilStore> store =
        OpenNamedStore(RunningFolderSources().settingsFiles, &failure);
    if (!store) {
        Tell(QString::fromUtf8("TIPENZO 10 ATENCIÓN"), failure, DialogIcon::Exclamation);
        return false;
    }
    // A test may have handed the program a store of its own; the settings name none here.
    if (!state.store || !UsesUsersFile(*store)) state.store = std::move(store);
    return true;
}

void ShutdownProgram(ProgramState& state) {
    LeaveDataFolder(state);
    ReleaseResultsChart(state);
    FreeAllPictures();
}

int RunProgram(int argc, char** argv) {
    ProgramState state = InitialProgramState();
    return RunProgram(argc, argv, state);
}

int RunProgram(int argc, char** argv, ProgramState& state) {
    const bool command = AsksForCommand(argc, argv);
    // The commands need no screen: they run on a server or in a script as well.
    if (command && !QApplication::instance() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Tests run the whole program inside their own application object.
    std::optional<QApplication> app;
    if (!QApplication::instance()) app.emplace(argc, argv);
    // The per-user folders carry the program's name, whatever its file is called.
    QCoreApplication::setApplicationName(QStringLiteral("tipenzo10"));
    QGuiApplication::setDesktopFileName(QStringLiteral("es.tipenzo.Tipenzo10"));
    if (const std::optional<int> exitCode = RunCommandLine(argc, argv)) return *exitCode;
    // Pictures are painted for the sharpest screen; another screen shows them scaled down.
    SetPictureScale(qGuiApp->devicePixelRatio());
    TipenzoInitAssets();
    InstallSpanishTranslations();
    // The school's server, when the settings name one, is reached before anything is written
    // anywhere: a program that cannot reach it says so and ends, leaving no trace.
    if (!OpenStore(state)) return 1;
    SettleFolders();
    if (!RunFileChecks(state)) return 0;
    InitialiseProgram(state);
    // Development entry: "--exercise ID" types the course as that user, without the menu.
    for (int i = 1; i + 1 < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == QStringLiteral("--exercise")) {
            RunExercisesForUser(state, QString::fromLocal8Bit(argv[i + 1]));
            ShutdownProgram(state);
            return 0;
        }
    }
    OpenMainMenu(state);
    // The menu's controls hold what they show; the pictures are painted again when needed.
    ReleasePaintedPictures();
    RunMainLoop(state);
    CloseMainMenu(state);
    ShutdownProgram(state);
    return 0;
}

}  // namespace tz
