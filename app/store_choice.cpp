#include "app/store_choice.h"

#include <QDir>

#include "users/file_store.h"
#include "users/server_settings.h"
#include "users/server_store.h"

namespace tz {

std::unique_ptr<PupilStore> OpenNamedStore(const QStringList& settingsFiles, QString* failure) {
    const std::optional<SettingsSection> section = FindServerSection(settingsFiles);
    if (!section) return std::make_unique<FileStore>();
    const QString file = QDir::toNativeSeparators(section->file);
    QString problem;
    const std::optional<ServerSettings> settings = ServerSettingsFrom(*section, &problem);
    if (!settings) {
        if (failure) {
            *failure = QStringLiteral(
                           "El servidor de la escuela no está bien indicado en el "
                           "archivo:\n\n") +
                       file + QStringLiteral("\n\nEn su sección [servidor] ") + problem +
                       QStringLiteral(
                           ".\n\nTIPENZO 10 se cerrará. Avise a quien administra "
                           "los equipos.");
        }
        return nullptr;
    }
    QString reason;
    std::unique_ptr<ServerStore> server = ServerStore::Open(*settings, &reason);
    if (!server && failure) {
        *failure = QStringLiteral("No se puede usar el servidor de la escuela:\n\n") +
                   settings->Describe() + QStringLiteral("\n(indicado en el archivo ") + file +
                   QStringLiteral(")\n\nMotivo: ") + reason +
                   QStringLiteral(
                       ".\n\nTIPENZO 10 se cerrará. Avise a quien administra los "
                       "equipos.");
    }
    return server;
}

}  // namespace tz
