#pragma once
// The throwaway PostgreSQL the test command starts (scripts/test_server.sh), and databases of
// its own for each test on it.

#include <QString>
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
    // The first column of the first row of a query, as text.
    QString Value(const QString& sql) const;
    // Makes the tables of an older version of the program, as it left them.
    bool PrepareSchema(int version) const;

  private:
    std::optional<ServerSettings> settings_;
    QString home_;  // the test role's own database, where databases are made and dropped
    QString whyNot_;
};

// The settings file the test server's start wrote ("[servidor]" for the role of the tests).
QString TestServerSettingsFile();
// Writes a settings file whose "[servidor]" section names `settings`.
bool WriteServerSettings(const QString& path, const ServerSettings& settings);

}  // namespace tz::test
