#include "users/server_settings.h"

#include <QDir>
#include <QFileInfo>

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
    const auto is = [&ssl](const char* value) {
        return ssl.compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
    };
    if (is("verificar")) {
        settings.ssl = ServerSettings::Ssl::Verify;
    } else if (is("exigir")) {
        settings.ssl = ServerSettings::Ssl::Require;
    } else if (!ssl.isEmpty()) {
        if (problem) *problem = QStringLiteral("«ssl» solo admite «verificar» o «exigir»");
        return std::nullopt;
    }
    const QString root = section.Value("certificado_raiz");
    if (settings.ssl == ServerSettings::Ssl::Verify) {
        if (root.isEmpty()) {
            if (problem) *problem = QStringLiteral("«ssl=verificar» necesita «certificado_raiz»");
            return std::nullopt;
        }
        // The connection's options are separated by ";": a name that holds one cannot be told.
        if (root.contains(u';')) {
            if (problem) *problem = QStringLiteral("«certificado_raiz» no puede llevar «;»");
            return std::nullopt;
        }
        settings.rootCertificate =
            QDir::cleanPath(QFileInfo(section.file).absoluteDir().absoluteFilePath(root));
    }
    return settings;
}

std::optional<SettingsSection> FindServerSection(const QStringList& settingsFiles) {
    return FindSettingsSection(settingsFiles, QStringLiteral("servidor"));
}

}  // namespace tz
