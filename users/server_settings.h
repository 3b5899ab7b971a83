#pragma once
// The school's server as "tipenzo10.ini" names it:
//
//     [servidor]
//     direccion=servidor.escuela.local
//     puerto=5432            (5432 when absent)
//     base=tipenzo
//     usuario=tipenzo
//     clave=...
//     ssl=exigir             (refuse a connection that is not encrypted)
//
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
    bool requireSsl = false;
    QString settingsFile;  // where the settings were read

    // "servidor.escuela.local:5432, base de datos tipenzo" (no user, no password).
    QString Describe() const;
};

// The settings of a "[servidor]" section; `problem` says in Spanish what is missing or wrong
// when there are none.
std::optional<ServerSettings> ServerSettingsFrom(const SettingsSection& section, QString* problem);

// The "[servidor]" section of the first settings file that has one.
std::optional<SettingsSection> FindServerSection(const QStringList& settingsFiles);

}  // namespace tz
