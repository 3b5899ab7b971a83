#include "test_server.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "platform/settings_file.h"
#include "users/server_schema.h"

namespace tz::test {

namespace {

// Runs `work` on a connection of its own to `database` as the test's role.
template <typename Work>
auto WithConnection(const ServerSettings& settings, const QString& database, Work work) {
    const QString name = QStringLiteral("prueba-%1").arg(QRandomGenerator::global()->generate());
    decltype(work(std::declval<QSqlDatabase&>())) result{};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(settings.address);
        db.setPort(settings.port);
        db.setDatabaseName(database);
        db.setUserName(settings.user);
        db.setPassword(settings.password);
        if (db.open()) {
            result = work(db);
        } else if constexpr (std::is_same_v<decltype(result), QString>) {
            result = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QString Folder() {
    return QStringLiteral(TIPENZO_TEST_SERVER_DIR);
}

}  // namespace

QString TestServerRoot(const QString& name) {
    const QString path = Folder() + u'/' + name;
    return QFile::exists(Folder() + QStringLiteral("/servidor.crt")) ? path : QString();
}

QString TestServerSettingsFile() {
    return Folder() + QStringLiteral("/tipenzo10.ini");
}

bool WriteServerSettings(const QString& path, const ServerSettings& settings) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray text = QStringLiteral(
                                "[servidor]\r\ndireccion=%1\r\npuerto=%2\r\nbase=%3\r\n"
                                "usuario=%4\r\nclave=%5\r\n")
                                .arg(settings.address)
                                .arg(settings.port)
                                .arg(settings.database, settings.user, settings.password)
                                .toUtf8();
    return file.write(text) == text.size();
}

ServerDatabase::ServerDatabase() {
    const QString folder = QStringLiteral(TIPENZO_TEST_SERVER_DIR);
    QFile why(folder + QStringLiteral("/sin-servidor.txt"));
    if (why.open(QIODevice::ReadOnly)) {
        whyNot_ = QString::fromUtf8(why.readAll()).trimmed();
        return;
    }
    const std::optional<SettingsSection> section =
        ReadSettingsSection(TestServerSettingsFile(), QStringLiteral("servidor"));
    std::optional<ServerSettings> server =
        section ? ServerSettingsFrom(*section, nullptr) : std::nullopt;
    if (!server) {
        whyNot_ = QStringLiteral(
            "no hay servidor de pruebas en marcha (ctest lo arranca con "
            "scripts/test_server.sh)");
        return;
    }
    const QString database =
        QStringLiteral("prueba_%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    const bool made = WithConnection(*server, server->database, [&](QSqlDatabase& db) {
        return QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + database);
    });
    if (!made) {
        whyNot_ = QStringLiteral("el servidor de pruebas no crea bases de datos");
        return;
    }
    home_ = server->database;
    server->database = database;
    settings_ = server;
}

ServerDatabase::~ServerDatabase() {
    if (!settings_) return;
    // The superuser drops it: a test may have given it to another role.
    ServerSettings super = Superuser();
    super.database = home_;
    WithConnection(super, home_, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        bool dropped = query.exec(QStringLiteral("DROP DATABASE ") + settings_->database +
                                  QStringLiteral(" WITH (FORCE)"));
        for (const QString& role : roles_)
            dropped = query.exec(QStringLiteral("DROP ROLE ") + role) && dropped;
        return dropped;
    });
}

ServerSettings ServerDatabase::Superuser() const {
    ServerSettings super = *settings_;
    super.user = QStringLiteral("postgres");
    QFile password(Folder() + QStringLiteral("/admin.pw"));
    super.password = password.open(QIODevice::ReadOnly)
                         ? QString::fromUtf8(password.readAll()).trimmed()
                         : QString();
    return super;
}

ServerSettings ServerDatabase::NewRole() const {
    ServerSettings role = *settings_;
    role.user =
        QStringLiteral("aula_%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    role.password = QStringLiteral("clave-%1").arg(QRandomGenerator::global()->generate());
    roles_ << role.user;
    // The role may reach the database, as a school's lab role would (PostgreSQL's default).
    EXPECT_EQ(
        RunAs(Superuser(),
              QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role.user, role.password)),
        QString());
    return role;
}

QString ServerDatabase::RunAs(const ServerSettings& settings, const QString& sql) const {
    return WithConnection(settings, settings_->database, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        return query.exec(sql)
                   ? QString()
                   : query.lastError().nativeErrorCode() + u' ' + query.lastError().databaseText();
    });
}

ServerSettings ServerDatabase::Elsewhere(const QString& database) const {
    ServerSettings other = *settings_;
    other.database = database;
    return other;
}

bool ServerDatabase::Run(const QString& sql) const {
    return WithConnection(*settings_, settings_->database,
                          [&](QSqlDatabase& db) { return QSqlQuery(db).exec(sql); });
}

bool ServerDatabase::PrepareSchema(int version) const {
    return WithConnection(*settings_, settings_->database, [&](QSqlDatabase& db) {
        return tz::PrepareSchema(db, version).state == SchemaCheck::State::Ready;
    });
}

QString ServerDatabase::Value(const QString& sql, const ServerSettings* as) const {
    return WithConnection(as ? *as : *settings_, settings_->database, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    });
}

}  // namespace tz::test
