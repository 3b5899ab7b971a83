#include "users/server_store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "platform/clock.h"
#include "users/server_schema.h"
#include "users/user_store.h"
#include "users/users_transfer.h"

namespace tz {

namespace {

const QString kColumns =
    QStringLiteral("id, nombre, nivel, bloque, ejercicio, velocidad_media, resultados::text, modo");
// Enough draws to find a free id for an imported pupil unless nearly all 30001 are taken.
constexpr int kMostIdDraws = 1000;
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

// A row read with kColumns.
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

// Binds a pupil's columns after the id, in the order of kColumns.
void BindPupil(QSqlQuery& query, const UserRecord& user) {
    query.addBindValue(CleanUserName(user.name));
    query.addBindValue(static_cast<int>(user.level));
    query.addBindValue(static_cast<int>(user.block));
    query.addBindValue(static_cast<int>(user.exercise));
    query.addBindValue(static_cast<int>(user.averageSpeed));
    query.addBindValue(ResultsText(user.history));
    query.addBindValue(NormaliseMode(user.mode));
}

const QString kInsertPupil = QStringLiteral(
    "INSERT INTO alumnos (id, nombre, nivel, bloque, ejercicio, velocidad_media, resultados, "
    "modo) VALUES (?, ?, ?, ?, ?, ?, ?::smallint[], ?)");

// Another program holding the same rows past the wait, or the two changes crossing: trying
// again may help.
WriteOutcome OutcomeOf(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    if (state == QStringLiteral("55P03") || state == QStringLiteral("40P01") ||
        state == QStringLiteral("40001")) {
        return WriteOutcome::Busy;
    }
    return WriteOutcome::Failed;
}

// Why a connection could not be made, as a pupil or a teacher can tell an administrator.
QString ConnectFailure(const QSqlError& error, const ServerSettings& settings) {
    const QString said = error.databaseText() + u' ' + error.driverText();
    const auto says = [&said](const char* words) {
        return said.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    if (says("Driver not loaded")) {
        return QStringLiteral(
            "falta en este equipo el controlador de PostgreSQL de Qt "
            "(libqt6sql6-psql)");
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
        return QStringLiteral(
            "el servidor no admite conexiones cifradas, y «ssl=exigir» las "
            "pide");
    }
    if (says("pg_hba.conf")) {
        return QStringLiteral("el servidor no admite conexiones de este equipo");
    }
    const QString first = error.databaseText().trimmed().section(u'\n', 0, 0);
    return QStringLiteral("el servidor ha respondido: ") +
           (first.isEmpty() ? error.text().trimmed() : first);
}

// What every connection is set to: a change waits for another program's rows no longer than a
// save of the users file waits for its lock, and nothing runs for ever.
void SetUpConnection(QSqlDatabase& db) {
    QSqlQuery query(db);
    query.exec(QStringLiteral("SET lock_timeout = '%1ms'").arg(kLockWaitMs));
    query.exec(QStringLiteral("SET statement_timeout = '60s'"));
    query.exec(QStringLiteral("SET application_name = 'tipenzo10'"));
}

}  // namespace

// One use of the connection: opened again first when it was lost (a server restarted, a
// network that came back), every failure kept, and a lost connection closed so that the next
// use opens it again.
class ServerStore::Session {
  public:
    explicit Session(const ServerStore& store)
        : db_(QSqlDatabase::database(store.connection_, false)) {
        if (!db_.isOpen() && db_.open()) SetUpConnection(db_);
        ok_ = db_.isOpen();
        if (!ok_) {
            outcome_ = WriteOutcome::Failed;
            failure_ = db_.lastError().databaseText().trimmed().section(u'\n', 0, 0);
        }
    }
    bool Ok() const { return ok_; }
    WriteOutcome Outcome() const { return outcome_; }
    // The server's words for what went wrong.
    const QString& Failure() const { return failure_; }
    QSqlDatabase& Db() { return db_; }

    // Runs a prepared query; false (and the session spent) on any error.
    bool Run(QSqlQuery& query) {
        if (!ok_) return false;
        if (query.exec()) return true;
        Fail(query.lastError());
        return false;
    }
    bool Begin() {
        if (ok_ && !db_.transaction()) Fail(db_.lastError());
        return ok_;
    }
    bool Commit() {
        if (ok_ && !db_.commit()) Fail(db_.lastError());
        if (!ok_) db_.rollback();
        return ok_;
    }
    void Rollback() { db_.rollback(); }
    // Waits at most this long for another program's rows in this transaction.
    bool WaitAtMost(int ms) {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("SELECT set_config('lock_timeout', ?, true)"));
        query.addBindValue(QString::number(std::max(ms, 1)) + QStringLiteral("ms"));
        return Run(query);
    }

  private:
    void Fail(const QSqlError& error) {
        ok_ = false;
        outcome_ = OutcomeOf(error);
        failure_ = error.databaseText().trimmed().section(u'\n', 0, 0);
        if (failure_.isEmpty()) failure_ = error.text().trimmed();
        // Without a state of its own the error is the connection's: open it again next time.
        if (error.nativeErrorCode().isEmpty() || error.nativeErrorCode().startsWith("08")) {
            db_.rollback();
            db_.close();
        }
    }
    QSqlDatabase db_;
    bool ok_ = false;
    WriteOutcome outcome_ = WriteOutcome::Written;
    QString failure_;
};

ServerStore::ServerStore(const ServerSettings& settings)
    : settings_(settings),
      // Named after the store itself: unique among the stores alive at once.
      connection_(QStringLiteral("tipenzo-servidor-") +
                  QString::number(reinterpret_cast<quintptr>(this), 16)) {}

ServerStore::~ServerStore() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

std::unique_ptr<ServerStore> ServerStore::Open(const ServerSettings& settings, QString* failure) {
    std::unique_ptr<ServerStore> store(new ServerStore(settings));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), store->connection_);
    db.setHostName(settings.address);
    db.setPort(settings.port);
    db.setDatabaseName(settings.database);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    // A server that does not answer is given up after a few seconds; one that goes away while
    // the program waits is noticed by the keep-alives.
    db.setConnectOptions(
        QStringLiteral("connect_timeout=5;keepalives_idle=20;"
                       "keepalives_interval=5;keepalives_count=3;sslmode=") +
        (settings.requireSsl ? QStringLiteral("require") : QStringLiteral("prefer")));
    if (!db.open()) {
        if (failure) *failure = ConnectFailure(db.lastError(), settings);
        return nullptr;
    }
    const SchemaCheck schema = PrepareSchema(db, kServerSchemaVersion);
    if (schema.state == SchemaCheck::State::Newer) {
        if (failure) {
            *failure = QStringLiteral(
                           "las tablas del servidor son de una versión más nueva de "
                           "TIPENZO 10 (versión %1; este programa conoce hasta la %2): "
                           "hay que instalar en este equipo la versión nueva")
                           .arg(schema.version)
                           .arg(kServerSchemaVersion);
        }
        return nullptr;
    }
    if (schema.state == SchemaCheck::State::Failed) {
        if (failure) {
            *failure = QStringLiteral("no se han podido preparar las tablas: ") + schema.failure;
        }
        return nullptr;
    }
    SetUpConnection(db);
    return store;
}

QString ServerStore::Place() const {
    return QStringLiteral("la base de datos del servidor");
}

QString ServerStore::CannotReadText() const {
    return QStringLiteral("No se puede leer la base de datos del servidor:\n") +
           settings_.Describe();
}

QString ServerStore::WhatToCheck() const {
    return QStringLiteral(
               "Comprueba que este equipo sigue conectado a la red de la escuela y "
               "que el servidor ") +
           settings_.address + QStringLiteral(" está en marcha.");
}

bool ServerStore::PrepareList() {
    return false;
}

UserLines ServerStore::ReadUserLines() {
    UserLines result;
    Session session(*this);
    QSqlQuery query(session.Db());
    query.prepare(QStringLiteral("SELECT ") + kColumns +
                  QStringLiteral(" FROM alumnos ORDER BY orden"));
    if (!session.Run(query)) return result;
    result.opened = true;
    while (query.next()) result.lines << FormatUserLine(RecordOf(query));
    return result;
}

std::optional<UserRecord> ServerStore::LoadUser(const QString& id) {
    if (id.isEmpty()) return std::nullopt;
    Session session(*this);
    QSqlQuery query(session.Db());
    query.prepare(QStringLiteral("SELECT ") + kColumns +
                  QStringLiteral(" FROM alumnos WHERE id = ?"));
    query.addBindValue(id);
    if (!session.Run(query) || !query.next()) return std::nullopt;
    return RecordOf(query);
}

bool ServerStore::UserIdExists(const QString& id) {
    return LoadUser(id).has_value();
}

WriteResult ServerStore::SaveUser(UserRecord& user, const WhileRewriting& whileRewriting) {
    if (user.id.isEmpty()) return {WriteOutcome::Written};
    if (whileRewriting) whileRewriting();
    UserRecord saved = user;
    saved.averageSpeed = ComputeAverageSpeed(user.history);
    Session session(*this);
    QSqlQuery query(session.Db());
    query.prepare(
        QStringLiteral("UPDATE alumnos SET nombre = ?, nivel = ?, bloque = ?, ejercicio = ?, "
                       "velocidad_media = ?, resultados = ?::smallint[], modo = ? WHERE id = ?"));
    BindPupil(query, saved);
    query.addBindValue(user.id);
    if (!session.Run(query)) return {session.Outcome()};
    // Only a stored pupil's average is worked out, as with the users file.
    if (query.numRowsAffected() > 0) user.averageSpeed = saved.averageSpeed;
    return {WriteOutcome::Written};
}

QString ServerStore::AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                   WriteOutcome* outcome) {
    WriteOutcome ignored = WriteOutcome::Failed;
    WriteOutcome& result = outcome ? *outcome : ignored;
    // BindPupil cleans every name it binds; one left with nothing is no name.
    result = WriteOutcome::Failed;
    if (TrimSpaces(CleanUserName(name)).isEmpty()) return QString();
    UserRecord user;
    user.name = name;
    user.level = level;
    user.block = 1;
    user.exercise = 1;
    user.history.fill(-1);
    user.mode = mode;
    const QString stamp = QStringLiteral("ID-") + MakeDateStamp();
    Session session(*this);
    // The stamp, or the stamp with the lowest counter no pupil has: the key keeps them unique.
    for (int counter = 0;; ++counter) {
        const QString id = counter == 0 ? stamp : stamp + QString::number(counter);
        QSqlQuery query(session.Db());
        query.prepare(kInsertPupil + QStringLiteral(" ON CONFLICT (id) DO NOTHING"));
        query.addBindValue(id);
        BindPupil(query, user);
        if (!session.Run(query)) {
            result = session.Outcome();
            return QString();
        }
        if (query.numRowsAffected() == 1) {
            result = WriteOutcome::Written;
            return id;
        }
    }
}

WriteResult ServerStore::DeleteUser(const QString& id, const WhileRewriting& whileRewriting) {
    if (id.isEmpty()) return {WriteOutcome::Failed};
    if (whileRewriting) whileRewriting();
    Session session(*this);
    if (!session.Begin()) return {session.Outcome()};
    QSqlQuery pupil(session.Db());
    pupil.prepare(QStringLiteral("SELECT ") + kColumns +
                  QStringLiteral(" FROM alumnos WHERE id = ? FOR UPDATE"));
    pupil.addBindValue(id);
    if (!session.Run(pupil)) return {session.Outcome()};
    if (!pupil.next()) {
        session.Rollback();
        return {WriteOutcome::Written};
    }
    // Kept among the deleted pupils, figures and all, in the same step as she goes.
    QSqlQuery keep(session.Db());
    keep.prepare(
        QStringLiteral("INSERT INTO alumnos_borrados (id, linea, figuras) "
                       "SELECT ?, ?, (SELECT texto FROM figuras WHERE id = ?)"));
    keep.addBindValue(id);
    keep.addBindValue(FormatUserLine(RecordOf(pupil)));
    keep.addBindValue(id);
    QSqlQuery remove(session.Db());
    remove.prepare(QStringLiteral("DELETE FROM alumnos WHERE id = ?"));
    remove.addBindValue(id);
    if (!session.Run(keep) || !session.Run(remove) || !session.Commit()) return {session.Outcome()};
    return {WriteOutcome::Written};
}

QList<QByteArray> ServerStore::CollectUserLines(const QStringList& ids) {
    QList<QByteArray> lines;
    for (const QString& id : ids) {
        if (const std::optional<UserRecord> user = LoadUser(id))
            lines << FormatUserLine(*user).toUtf8();
    }
    return lines;
}

ImportResult ServerStore::ImportUserLines(const ImportLines& import) {
    ImportResult result;
    result.skipped = import.skipped;
    result.tooLarge = import.tooLarge;
    if (import.tooLarge) {
        result.outcome = WriteOutcome::Failed;
        return result;
    }
    if (import.lines.isEmpty()) return result;
    Session session(*this);
    if (!session.Begin()) {
        result.outcome = session.Outcome();
        return result;
    }
    qsizetype imported = 0;
    for (const QByteArray& line : import.lines) {
        const UserRecord user = ParseUserLine(QString::fromUtf8(line));
        if (TrimSpaces(CleanUserName(user.name)).isEmpty()) continue;
        QString id;
        for (int draw = 0; draw < kMostIdDraws && id.isEmpty(); ++draw) {
            const QString candidate = QStringLiteral("ID-") + QString::number(RandomInt(0, 30000));
            QSqlQuery query(session.Db());
            query.prepare(kInsertPupil + QStringLiteral(" ON CONFLICT (id) DO NOTHING"));
            query.addBindValue(candidate);
            BindPupil(query, user);
            if (!session.Run(query)) break;
            if (query.numRowsAffected() == 1) id = candidate;
        }
        if (id.isEmpty()) break;
        // A deleted pupil brought back gets her figures back.
        QSqlQuery figures(session.Db());
        figures.prepare(QStringLiteral(
            "INSERT INTO figuras (id, texto) SELECT ?, figuras FROM alumnos_borrados "
            "WHERE linea = ? AND figuras IS NOT NULL ORDER BY borrado DESC LIMIT 1"));
        figures.addBindValue(id);
        figures.addBindValue(QString::fromUtf8(line));
        if (!session.Run(figures)) break;
        ++imported;
    }
    if (!session.Commit()) {
        result.outcome = session.Outcome();
        return result;
    }
    result.imported = imported;
    return result;
}

std::optional<QByteArray> ServerStore::ReadFigures(const QString& id) {
    Session session(*this);
    QSqlQuery query(session.Db());
    query.prepare(QStringLiteral("SELECT texto FROM figuras WHERE id = ?"));
    query.addBindValue(id);
    if (!session.Run(query) || !query.next()) return std::nullopt;
    return query.value(0).toString().toUtf8();
}

WriteResult ServerStore::ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) {
    Session session(*this);
    if (!session.Begin() || !session.WaitAtMost(waitMs)) return {session.Outcome()};
    // Her row held for the change: another program recording an attempt of hers waits, and
    // one deleting her waits too.
    QSqlQuery pupil(session.Db());
    pupil.prepare(QStringLiteral("SELECT 1 FROM alumnos WHERE id = ? FOR UPDATE"));
    pupil.addBindValue(id);
    if (!session.Run(pupil)) return {session.Outcome()};
    if (!pupil.next()) {
        session.Rollback();
        return {WriteOutcome::Failed};
    }
    QSqlQuery current(session.Db());
    current.prepare(QStringLiteral("SELECT texto FROM figuras WHERE id = ?"));
    current.addBindValue(id);
    if (!session.Run(current)) return {session.Outcome()};
    std::optional<QByteArray> had;
    if (current.next()) had = current.value(0).toString().toUtf8();
    FiguresStep step = update(had);
    if (step.verdict == FiguresStep::Verdict::Damaged && had) {
        QSqlQuery aside(session.Db());
        aside.prepare(QStringLiteral("INSERT INTO figuras_apartadas (id, texto) VALUES (?, ?)"));
        aside.addBindValue(id);
        aside.addBindValue(QString::fromUtf8(*had));
        if (!session.Run(aside)) return {session.Outcome()};
        step = update(std::nullopt);
    }
    if (step.verdict != FiguresStep::Verdict::Write) {
        session.Rollback();
        return {WriteOutcome::Failed};
    }
    QSqlQuery write(session.Db());
    write.prepare(
        QStringLiteral("INSERT INTO figuras (id, texto) VALUES (?, ?) "
                       "ON CONFLICT (id) DO UPDATE SET texto = EXCLUDED.texto"));
    write.addBindValue(id);
    write.addBindValue(QString::fromUtf8(step.bytes));
    if (!session.Run(write) || !session.Commit()) return {session.Outcome()};
    return {WriteOutcome::Written};
}

bool ServerStore::Upload(const QList<UploadedPupil>& pupils, QString* failure) {
    Session session(*this);
    const auto failed = [&] {
        if (failure)
            *failure =
                QStringLiteral("el servidor no ha aceptado los cambios: ") + session.Failure();
        return false;
    };
    if (!session.Begin()) return failed();
    for (const UploadedPupil& pupil : pupils) {
        QSqlQuery query(session.Db());
        query.prepare(kInsertPupil +
                      QStringLiteral(" ON CONFLICT (id) DO UPDATE SET nombre = EXCLUDED.nombre,"
                                     " nivel = EXCLUDED.nivel, bloque = EXCLUDED.bloque,"
                                     " ejercicio = EXCLUDED.ejercicio,"
                                     " velocidad_media = EXCLUDED.velocidad_media,"
                                     " resultados = EXCLUDED.resultados, modo = EXCLUDED.modo"));
        query.addBindValue(pupil.record.id);
        BindPupil(query, pupil.record);
        if (!session.Run(query)) return failed();
        if (!pupil.figures) continue;
        QSqlQuery figures(session.Db());
        figures.prepare(
            QStringLiteral("INSERT INTO figuras (id, texto) VALUES (?, ?) "
                           "ON CONFLICT (id) DO UPDATE SET texto = EXCLUDED.texto"));
        figures.addBindValue(pupil.record.id);
        figures.addBindValue(QString::fromUtf8(*pupil.figures));
        if (!session.Run(figures)) return failed();
    }
    if (!session.Commit()) return failed();
    return true;
}

}  // namespace tz
