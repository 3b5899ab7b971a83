#pragma once
// The throwaway PostgreSQL the test command starts (scripts/test_server.sh), and databases of
// its own for each test on it.

#include <QString>
#include <QStringList>
#include <optional>

#include "users/server_settings.h"

namespace tz::test {

// A fresh database on the test server, dropped again when the object goes. `Settings()` names
// it; where there is no test server, `WhyNot()` says why (the test then skips with it).
class ServerDatabase {
  public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    bool Ready() const { return settings_.has_value(); }
    const QString& WhyNot() const { return whyNot_; }
    const ServerSettings& Settings() const { return *settings_; }
    // The same server, a database that is not there.
    ServerSettings Elsewhere(const QString& database) const;
    // Runs SQL on the database as the test's role; false when it fails.
    bool Run(const QString& sql) const;
    // The first column of the first row of a query, as text (as `as`, when given).
    QString Value(const QString& sql, const ServerSettings* as = nullptr) const;
    // Makes the tables of an older version of the program, as it left them.
    bool PrepareSchema(int version) const;
    // A login role of the test's own (dropped after it) and the server's superuser, each with
    // the settings that name this database.
    ServerSettings NewRole() const;
    ServerSettings Superuser() const;
    // Runs SQL on this database as `settings`: empty when it ran, else the server's words.
    QString RunAs(const ServerSettings& settings, const QString& sql) const;

  private:
    std::optional<ServerSettings> settings_;
    mutable QStringList roles_;
    QString home_;  // the test role's own database, where databases are made and dropped
    QString whyNot_;
};

// The root certificate that signed the test server's certificate, and one that signed nothing
// of it; empty when the test server takes no encrypted connections.
QString TestServerRoot(const QString& name = QStringLiteral("raiz.crt"));
// The settings file the test server's start wrote ("[servidor]" for the role of the tests).
QString TestServerSettingsFile();
// Writes a settings file whose "[servidor]" section names `settings`.
bool WriteServerSettings(const QString& path, const ServerSettings& settings);

}  // namespace tz::test
