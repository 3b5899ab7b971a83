#include "users/server_settings.h"

namespace tz {

QString ServerSettings::Describe() const {
    return address + u':' + QString::number(port) + QStringLiteral(", base de datos ") + database;
}

std::optional<ServerSettings> ServerSettingsFrom(const SettingsSection& section, QString* problem) {
    ServerSettings settings;
    settings.settingsFile = section.file;
    settings.address = section.Value("direccion");
    settings.database = section.Value("base");
    settings.user = section.Value("usuario");
    settings.password = section.Value("clave");
    const QString port = section.Value("puerto");
    const QString ssl = section.Value("ssl");
    QString missing;
    if (settings.address.isEmpty())
        missing = QStringLiteral("direccion");
    else if (settings.database.isEmpty())
        missing = QStringLiteral("base");
    else if (settings.user.isEmpty())
        missing = QStringLiteral("usuario");
    if (!missing.isEmpty()) {
        if (problem) *problem = QStringLiteral("falta «") + missing + QStringLiteral("»");
        return std::nullopt;
    }
    if (!port.isEmpty()) {
        bool ok = false;
        settings.port = port.toInt(&ok);
        if (!ok || settings.port < 1 || settings.port > 65535) {
            if (problem) *problem = QStringLiteral("«puerto» no es un número de puerto");
            return std::nullopt;
        }
    }
    if (!ssl.isEmpty() && ssl.compare(QStringLiteral("exigir"), Qt::CaseInsensitive) != 0) {
        if (problem) *problem = QStringLiteral("«ssl» solo admite el valor «exigir»");
        return std::nullopt;
    }
    settings.requireSsl = !ssl.isEmpty();
    return settings;
}

std::optional<SettingsSection> FindServerSection(const QStringList& settingsFiles) {
    return FindSettingsSection(settingsFiles, QStringLiteral("servidor"));
}

}  // namespace tz
