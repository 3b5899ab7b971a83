#include "app/startup.h"

#include <QApplication>
#include <QDir>
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
#include "users/pupil_files.h"
#include "users/server_settings.h"
#include "users/user_record.h"
#include "users/users_file.h"

void TipenzoInitAssets();

namespace tz {

const char* const kMakerWebPage = "https://www.tipenzo.es/software-educativo/";

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

namespace {}  // namespace

bool RunFileChecks(ProgramState& state) {
    AskAboutMarker();
    RemoveStaleTemporaries();
    return state.store->CheckAtStart();
}

void LeaveDataFolder(ProgramState& state) {
    state.store->Leave();
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
    std::unique_ptr<PupilStore> store = std::move(state.store);
    state = InitialProgramState();
    if (store) state.store = std::move(store);
    // The PC's keyboard, in the hints, on the keyboard picture and in the texts typed.
    state.keyboard = MakeKeyboardTables(RunningKeyboardLayout());
    RegisterKeyboardPictures(state.keyboard);
    ChartColours();
    state.store->UpgradeAtStart();
    state.ExerciseFont = MakeFont("Courier New", FitExerciseFontSize(), true);
    WaitMs(2500);
    DestroyWindow(splash);
}

bool OpenStore(ProgramState& state) {
    const QStringList settingsFiles = RunningFolderSources().settingsFiles;
    // The users file the state was made with, or a store a test handed the program, unless the
    // settings name a server.
    if (state.store && !FindServerSection(settingsFiles)) return true;
    QString failure;
    std::unique_ptr<PupilStore> store = OpenNamedStore(settingsFiles, &failure);
    if (!store) {
        Tell(QString::fromUtf8("TIPENZO 10 ATENCIÓN"), failure, DialogIcon::Exclamation);
        return false;
    }
    state.store = std::move(store);
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
