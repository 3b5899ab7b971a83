#pragma once
// The school's server as "tipenzo10.ini" names it:
//
//     [servidor]
//     direccion=servidor.escuela.local
//     puerto=5432            (5432 when absent)
//     base=tipenzo
//     usuario=tipenzo
//     clave=...
//     ssl=verificar          (encrypted, and only to the server whose certificate is signed by
//     certificado_raiz=raiz.crt    this root: relative to the settings file's folder)
//
// "ssl=exigir" encrypts without checking whose certificate it is.
// The password is kept here only to connect: it is never shown, written or logged.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/settings_file.h"

namespace tz {

struct ServerSettings {
    QString address;
    int port = 5432;
    QString database;
    QString user;
    QString password;
    enum class Ssl {
        Prefer,   // encrypted when the server offers it
        Require,  // "exigir": never unencrypted, but any certificate will do
        Verify,   // "verificar": encrypted, to the server the root certificate vouches for
    };
    Ssl ssl = Ssl::Prefer;
    QString rootCertificate;  // with Verify: the root certificate file, absolute
    QString settingsFile;     // where the settings were read

    // "servidor.escuela.local:5432, base de datos tipenzo" (no user, no password).
    QString Describe() const;
};

// The settings of a "[servidor]" section; `problem` says in Spanish what is missing or wrong
// when there are none.
std::optional<ServerSettings> ServerSettingsFrom(const SettingsSection& section, QString* problem);

// The "[servidor]" section of the first settings file that has one.
std::optional<SettingsSection> FindServerSection(const QStringList& settingsFiles);

}  // namespace tz
