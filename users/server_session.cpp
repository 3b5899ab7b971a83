#include "users/server_session.h"

#include <QVariant>

#include "platform/clock.h"

namespace tz {

namespace {

// How long a change waits for another program's change of the same rows.
constexpr int kLockWaitMs = kUsersLockWaitMs;

QString ResultsText(const std::array<std::int16_t, 10>& history) {
    QStringList speeds;
    for (const std::int16_t speed : history) speeds << QString::number(speed);
    return u'{' + speeds.join(u',') + u'}';
}

std::array<std::int16_t, 10> ResultsOf(QString text) {
    std::array<std::int16_t, 10> history;
    history.fill(-1);
    text.remove(u'{');
    text.remove(u'}');
    const QStringList speeds = text.split(u',');
    for (qsizetype i = 0; i < speeds.size() && i < 10; ++i)
        history[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(speeds[i].toInt());
    return history;
}

// The server's connection, not the statement, went wrong: a lost or refused connection, or a
// server that is shutting down or starting.
bool ConnectionLost(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    return state.isEmpty() || state.startsWith(QStringLiteral("08")) ||
           state.startsWith(QStringLiteral("57P"));
}

// A value of a connection option, quoted as libpq reads it.
QString OptionValue(QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + value + u'\'';
}

QString ConnectOptions(const ServerSettings& settings) {
    // A server that does not answer is given up after a few seconds; one that goes away while
    // the program waits is noticed by the keep-alives.
    QString options = QStringLiteral(
        "connect_timeout=5;keepalives_idle=20;keepalives_interval=5;keepalives_count=3;"
        "sslmode=");
    switch (settings.ssl) {
        case ServerSettings::Ssl::Prefer:
            return options + QStringLiteral("prefer");
        case ServerSettings::Ssl::Require:
            return options + QStringLiteral("require");
        case ServerSettings::Ssl::Verify:
            break;
    }
    return options + QStringLiteral("verify-full;sslrootcert=") +
           OptionValue(settings.rootCertificate);
}

// Why a connection could not be made, as a pupil or a teacher can tell an administrator.
QString ConnectFailure(const QSqlError& error, const ServerSettings& settings) {
    const QString said = error.databaseText() + u' ' + error.driverText();
    const auto says = [&said](const char* words) {
        return said.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    const QString root = QStringLiteral("«") + settings.rootCertificate + QStringLiteral("»");
    if (says("Driver not loaded")) {
        return QStringLiteral(
            "falta en este equipo el controlador de PostgreSQL de Qt "
            "(libqt6sql6-psql)");
    }
    if (says("root certificate file")) {
        return QStringLiteral("no se puede leer el certificado raíz ") + root +
               QStringLiteral(" («certificado_raiz»)");
    }
    if (says("certificate verify failed")) {
        return QStringLiteral(
                   "el certificado del servidor no está firmado por el certificado "
                   "raíz ") +
               root + QStringLiteral(": puede que no sea el servidor de la escuela");
    }
    if (says("does not match host name")) {
        return QStringLiteral("el certificado del servidor no es de «") + settings.address +
               QStringLiteral("»: puede que no sea el servidor de la escuela");
    }
    if (says("password authentication failed") || says("no password supplied") ||
        says("authentication failed")) {
        return QStringLiteral("el usuario o la clave no son correctos");
    }
    if (says("database") && says("does not exist")) {
        return QStringLiteral("la base de datos «") + settings.database +
               QStringLiteral("» no existe en el servidor");
    }
    if (says("role") && says("does not exist")) {
        return QStringLiteral("el usuario «") + settings.user +
               QStringLiteral("» no existe en el servidor");
    }
    if (says("Connection refused")) {
        return QStringLiteral(
            "el servidor ha rechazado la conexión (¿está en marcha y admite "
            "conexiones en ese puerto?)");
    }
    if (says("timeout expired") || says("timed out")) {
        return QStringLiteral("el servidor no ha contestado en 5 segundos");
    }
    if (says("could not translate host name")) {
        return QStringLiteral("no se encuentra ningún equipo llamado «") + settings.address +
               QStringLiteral("»");
    }
    if (says("SSL")) {
        return QStringLiteral("el servidor no admite conexiones cifradas, y «ssl=") +
               (settings.ssl == ServerSettings::Ssl::Verify ? QStringLiteral("verificar")
                                                            : QStringLiteral("exigir")) +
               QStringLiteral("» las pide");
    }
    if (says("pg_hba.conf")) {
        return QStringLiteral("el servidor no admite conexiones de este equipo");
    }
    const QString first = error.databaseText().trimmed().section(u'\n', 0, 0);
    return QStringLiteral("el servidor ha respondido: ") +
           (first.isEmpty() ? error.text().trimmed() : first);
}

}  // namespace

void BindText(QSqlQuery& query, const QString& text) {
    QString storable = text;
    storable.remove(QChar(u'\0'));
    query.addBindValue(storable);
}

void BindPlace(QSqlQuery& query, const UserRecord& user) {
    query.addBindValue(static_cast<int>(user.level));
    query.addBindValue(static_cast<int>(user.block));
    query.addBindValue(static_cast<int>(user.exercise));
    query.addBindValue(static_cast<int>(user.averageSpeed));
    BindText(query, ResultsText(user.history));
    BindText(query, NormaliseMode(user.mode));
}

void BindPupil(QSqlQuery& query, const UserRecord& user) {
    BindText(query, CleanUserName(user.name));
    BindPlace(query, user);
}

UserRecord RecordOf(const QSqlQuery& row) {
    UserRecord user;
    user.id = row.value(0).toString();
    user.name = row.value(1).toString();
    user.level = static_cast<std::int8_t>(row.value(2).toInt());
    user.block = static_cast<std::int8_t>(row.value(3).toInt());
    user.exercise = static_cast<std::int8_t>(row.value(4).toInt());
    user.averageSpeed = static_cast<std::int16_t>(row.value(5).toInt());
    user.history = ResultsOf(row.value(6).toString());
    user.mode = row.value(7).toString();
    return user;
}

WriteOutcome OutcomeOf(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    if (state == QStringLiteral("55P03") || state == QStringLiteral("40P01") ||
        state == QStringLiteral("40001")) {
        return WriteOutcome::Busy;
    }
    return WriteOutcome::Failed;
}

bool OpenConnection(const QString& name, const ServerSettings& settings, QString* failure) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(settings.address);
    db.setPort(settings.port);
    db.setDatabaseName(settings.database);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setConnectOptions(ConnectOptions(settings));
    if (db.open()) return true;
    if (failure) *failure = ConnectFailure(db.lastError(), settings);
    return false;
}

void SetUpConnection(QSqlDatabase& db) {
    QSqlQuery query(db);
    query.exec(QStringLiteral("SET lock_timeout = '%1ms'").arg(kLockWaitMs));
    query.exec(QStringLiteral("SET statement_timeout = '60s'"));
    query.exec(QStringLiteral("SET application_name = 'tipenzo10'"));
}

ServerSession::ServerSession(const QString& connection)
    : db_(QSqlDatabase::database(connection, false)) {
    if (!db_.isOpen() && db_.open()) SetUpConnection(db_);
    ok_ = db_.isOpen();
    if (!ok_) {
        outcome_ = WriteOutcome::Failed;
        lost_ = true;
        used_ = true;  // opening it was the new attempt
        failure_ = db_.lastError().databaseText().trimmed().section(u'\n', 0, 0);
    }
}

ServerSession::~ServerSession() {
    if (inTransaction_) db_.rollback();
}

QString ServerSession::Failure(const QString& user) const {
    if (outcome_ == WriteOutcome::Busy) {
        return QStringLiteral(
            "otro programa estaba cambiando a alguno de estos alumnos; vuelva a intentarlo "
            "con los programas de las aulas cerrados");
    }
    if (lost_) {
        return QStringLiteral("se ha perdido la conexión con el servidor (") + failure_ + u')';
    }
    if (state_ == QStringLiteral("42501")) {
        return QStringLiteral("el usuario «") + user +
               QStringLiteral("» no tiene permiso para hacerlo (") + failure_ + u')';
    }
    return QStringLiteral("el servidor ha respondido: ") + failure_;
}

QSqlQuery ServerSession::Prepare(const QString& sql) {
    QSqlQuery query(db_);
    if (!ok_) return query;
    if (query.prepare(sql)) {
        used_ = true;
    } else {
        Fail(query.lastError());
    }
    return query;
}

bool ServerSession::Run(QSqlQuery& query) {
    if (!ok_) return false;
    if (query.exec()) {
        used_ = true;
        return true;
    }
    Fail(query.lastError());
    return false;
}

bool ServerSession::Begin() {
    if (!ok_) return false;
    if (!db_.transaction()) {
        Fail(db_.lastError());
        return false;
    }
    used_ = true;
    inTransaction_ = true;
    return true;
}

bool ServerSession::Commit() {
    if (!ok_) return false;
    if (!db_.commit()) {
        Fail(db_.lastError());
        return false;
    }
    inTransaction_ = false;
    return true;
}

bool ServerSession::WaitAtMost(int ms) {
    QSqlQuery query = Prepare(QStringLiteral("SELECT set_config('lock_timeout', ?, true)"));
    BindText(query, QString::number(std::max(ms, 1)) + QStringLiteral("ms"));
    return Run(query);
}

void ServerSession::Fail(const QSqlError& error) {
    ok_ = false;
    outcome_ = OutcomeOf(error);
    state_ = error.nativeErrorCode();
    failure_ = error.databaseText().trimmed().section(u'\n', 0, 0);
    if (failure_.isEmpty()) failure_ = error.text().trimmed();
    // A failed statement spoils the whole transaction: it goes at once, so that nothing of it
    // is left in the way of the next change.
    if (inTransaction_) db_.rollback();
    inTransaction_ = false;
    if (ConnectionLost(error)) {
        // Open it again next time.
        lost_ = true;
        db_.close();
    }
}

bool AddUnderId(ServerSession& session, const QString& id, const UserRecord& user, bool* added) {
    QSqlQuery query = session.Prepare(QStringLiteral(
        "INSERT INTO alumnos (id, nombre, nivel, bloque, ejercicio, velocidad_media, "
        "resultados, modo) SELECT ?::text, ?::text, ?::smallint, ?::smallint, ?::smallint, "
        "?::smallint, ?::smallint[], ?::text "
        "WHERE NOT EXISTS (SELECT 1 FROM alumnos_borrados WHERE id = ?) "
        "ON CONFLICT (id) DO NOTHING"));
    BindText(query, id);
    BindPupil(query, user);
    BindText(query, id);
    if (!session.Run(query)) return false;
    *added = query.numRowsAffected() == 1;
    return true;
}

int UpdatePlace(ServerSession& session, const QString& id, const UserRecord& user) {
    QSqlQuery query = session.Prepare(
        QStringLiteral("UPDATE alumnos SET nivel = ?, bloque = ?, ejercicio = ?, "
                       "velocidad_media = ?, resultados = ?::smallint[], modo = ? WHERE id = ?"));
    BindPlace(query, user);
    BindText(query, id);
    return session.Run(query) ? query.numRowsAffected() : -1;
}

ClaimId ClaimingFor(ServerSession& session, const UserRecord& user) {
    return [&session, &user](const QString& id) {
        bool added = false;
        if (!AddUnderId(session, id, user, &added)) return IdClaim::Failed;
        return added ? IdClaim::Given : IdClaim::Taken;
    };
}

}  // namespace tz
