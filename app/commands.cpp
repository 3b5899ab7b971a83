#include "app/commands.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <cstdio>

#include "app/store_choice.h"
#include "app/upload_rule.h"
#include "content/class_report.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/terminal.h"
#include "users/file_store.h"
#include "users/server_settings.h"
#include "users/server_store.h"

namespace tz {

namespace {

const QString kReportOption = QStringLiteral("--informe");
const QString kUploadOption = QStringLiteral("--subir-al-servidor");
const QString kPrepareOption = QStringLiteral("--preparar-servidor");

void Say(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
}

// The option's index among the arguments, or -1.
int OptionAt(int argc, char** argv, const QString& option) {
    for (int i = 1; i < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == option) return i;
    }
    return -1;
}

void SettleFoldersQuietly(const FolderSources& sources) {
    if (FoldersSet()) return;
    const FolderChoice choice = ChooseFolders(sources);
    SetFolders(choice.programFolder, choice.dataFolder);
}

// The class report: no window, no mark in the data folder, nothing written there.
int RunReportCommand(const QString& path) {
    if (path.isEmpty()) {
        Say(stderr, QStringLiteral("Uso: tipenzo10 --informe ARCHIVO.csv | ARCHIVO.pdf"));
        return 2;
    }
    const FolderSources sources = RunningFolderSources();
    QString failure;
    const std::unique_ptr<PupilStore> store = OpenNamedStore(sources.settingsFiles, &failure);
    if (!store) {
        Say(stderr, failure);
        return 1;
    }
    SettleFoldersQuietly(sources);
    const QString target = QFileInfo(path).absoluteFilePath();
    failure = WriteClassReport(*store, target, Now());
    if (!failure.isEmpty()) {
        Say(stderr, failure);
        return 1;
    }
    Say(stdout,
        QStringLiteral("Informe de la clase guardado en ") + QDir::toNativeSeparators(target));
    return 0;
}

// "1 alumno", "2 alumnos".
QString Counted(qsizetype count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QString::fromUtf8(count == 1 ? one : many);
}

// The data folder's users file and figures into the server the settings name: each pupil with
// her id; of one already there, only what the folder has newer; a different pupil under an id
// the server has gets a new one.
int RunUploadCommand() {
    const FolderSources sources = RunningFolderSources();
    QString failure;
    std::unique_ptr<PupilStore> store = OpenNamedStore(sources.settingsFiles, &failure);
    if (!store) {
        Say(stderr, failure);
        return 1;
    }
    auto* server = dynamic_cast<ServerStore*>(store.get());
    if (!server) {
        Say(stderr, QStringLiteral("Ningún archivo tipenzo10.ini indica un servidor (sección "
                                   "[servidor]): no hay adónde copiar los alumnos."));
        return 1;
    }
    SettleFoldersQuietly(sources);
    FileStore folder;
    const PupilList listed = folder.Pupils();
    if (!listed.opened) {
        Say(stderr, folder.CannotReadText());
        return 1;
    }
    // One pupil an id; of several lines with one id the last counts, as when she is chosen.
    QList<UploadedPupil> pupils;
    QMap<QString, qsizetype> at;
    for (const UserRecord& record : listed.pupils) {
        if (record.id.isEmpty()) continue;
        const UploadedPupil pupil{record, folder.ReadFigures(record.id)};
        if (at.contains(record.id)) {
            pupils[at[record.id]] = pupil;
        } else {
            at.insert(record.id, pupils.size());
            pupils.append(pupil);
        }
    }
    const std::optional<UploadCounts> counts = server->Upload(pupils, JudgeUpload, &failure);
    if (!counts) {
        Say(stderr, QStringLiteral("No se ha subido ningún alumno al servidor ") +
                        server->Settings().Describe() + QStringLiteral(": ") + failure + u'.');
        return 1;
    }
    Say(stdout,
        Counted(pupils.size(), "alumno subido", "alumnos subidos") +
            QStringLiteral(" al servidor ") + server->Settings().Describe() + QStringLiteral(": ") +
            Counted(counts->added, "añadido", "añadidos") + QStringLiteral(", ") +
            Counted(counts->updated, "puesto al día", "puestos al día") + QStringLiteral(", ") +
            Counted(counts->unchanged, "sin cambios", "sin cambios") + QStringLiteral(" y ") +
            Counted(counts->renumbered.size(), "con un identificador nuevo",
                    "con un identificador nuevo") +
            u'.');
    for (const auto& [pupil, id] : counts->renumbered) {
        Say(stdout, QStringLiteral("  ") + CleanUserName(pupil.name) + QStringLiteral(": ") +
                        pupil.id + QStringLiteral(" era de otro alumno en el servidor; ahora es ") +
                        id);
    }
    return 0;
}

// The tables of the server the settings name, taken by the administrator's role and opened
// to the lab's role for what the programs do. The password is asked, never kept.
int RunPrepareCommand(const QString& admin) {
    if (admin.isEmpty() || admin.startsWith(u'-')) {
        Say(stderr, QStringLiteral("Uso: tipenzo10 --preparar-servidor ROL_ADMINISTRADOR"));
        return 2;
    }
    const FolderSources sources = RunningFolderSources();
    const std::optional<SettingsSection> section = FindServerSection(sources.settingsFiles);
    QString problem = QStringLiteral("ningún archivo tipenzo10.ini tiene una sección [servidor]");
    const std::optional<ServerSettings> settings =
        section ? ServerSettingsFrom(*section, &problem) : std::nullopt;
    if (!settings) {
        Say(stderr, QStringLiteral("No se sabe qué servidor preparar: ") + problem + u'.');
        return 1;
    }
    QString password = qEnvironmentVariable("PGPASSWORD");
    if (password.isEmpty() && InputIsTerminal()) {
        password = AskHiddenLine(QStringLiteral("Clave de «") + admin + QStringLiteral("» en ") +
                                 settings->Describe() + QStringLiteral(": "));
    }
    const ServerPreparation prepared = ServerStore::PrepareForLab(*settings, admin, password);
    if (!prepared.done) {
        Say(stderr, QStringLiteral("No se ha preparado el servidor ") + settings->Describe() +
                        QStringLiteral(": ") + prepared.failure + u'.');
        return 1;
    }
    Say(stdout, QStringLiteral("Servidor ") + settings->Describe() +
                    QStringLiteral(", preparado por «") + admin +
                    QStringLiteral("» para los programas, que usan «") + settings->user +
                    QStringLiteral("»:"));
    for (const QString& step : prepared.steps) Say(stdout, QStringLiteral("- ") + step + u'.');
    return 0;
}

}  // namespace

bool AsksForCommand(int argc, char** argv) {
    return OptionAt(argc, argv, kReportOption) >= 0 || OptionAt(argc, argv, kUploadOption) >= 0 ||
           OptionAt(argc, argv, kPrepareOption) >= 0;
}

std::optional<int> RunCommandLine(int argc, char** argv) {
    const int report = OptionAt(argc, argv, kReportOption);
    if (report >= 0) {
        return RunReportCommand(report + 1 < argc ? QString::fromLocal8Bit(argv[report + 1])
                                                  : QString());
    }
    if (OptionAt(argc, argv, kUploadOption) >= 0) return RunUploadCommand();
    const int prepare = OptionAt(argc, argv, kPrepareOption);
    if (prepare >= 0) {
        return RunPrepareCommand(prepare + 1 < argc ? QString::fromLocal8Bit(argv[prepare + 1])
                                                    : QString());
    }
    return std::nullopt;
}

}  // namespace tz
