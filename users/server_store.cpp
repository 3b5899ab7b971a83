#include "users/server_store.h"

#include <QVariant>

#include "platform/clock.h"
#include "users/server_schema.h"
#include "users/server_session.h"
#include "users/user_store.h"

namespace tz {

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
    if (!OpenConnection(store->connection_, settings, failure)) return nullptr;
    QSqlDatabase db = QSqlDatabase::database(store->connection_, false);
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
    if (schema.state == SchemaCheck::State::Denied) {
        if (failure) {
            *failure =
                (schema.version == 0 ? QStringLiteral("la base de datos aún no tiene las tablas de "
                                                      "TIPENZO 10")
                                     : QStringLiteral("las tablas del servidor son de una versión "
                                                      "anterior de TIPENZO 10")) +
                QStringLiteral(", y el usuario «") + settings.user +
                QStringLiteral(
                    "» no puede prepararlas: quien administra el servidor debe "
                    "ejecutar una vez «tipenzo10 --preparar-servidor "
                    "ROL_ADMINISTRADOR» (lo explica la ayuda)");
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

PupilList ServerStore::Pupils() {
    return WithSession(connection_, [](ServerSession& session) {
        PupilList result;
        QSqlQuery query = session.Prepare(QStringLiteral("SELECT ") + kPupilColumns +
                                          QStringLiteral(" FROM alumnos ORDER BY orden"));
        if (!session.Run(query)) return result;
        result.opened = true;
        while (query.next()) result.pupils << RecordOf(query);
        return result;
    });
}

std::optional<UserRecord> ServerStore::LoadUser(const QString& id) {
    if (id.isEmpty()) return std::nullopt;
    return WithSession(connection_, [&id](ServerSession& session) -> std::optional<UserRecord> {
        QSqlQuery query = session.Prepare(QStringLiteral("SELECT ") + kPupilColumns +
                                          QStringLiteral(" FROM alumnos WHERE id = ?"));
        BindText(query, id);
        if (!session.Run(query) || !query.next()) return std::nullopt;
        return RecordOf(query);
    });
}

WriteResult ServerStore::SaveUser(UserRecord& user) {
    if (user.id.isEmpty()) return {WriteOutcome::Written};
    UserRecord saved = user;
    saved.averageSpeed = ComputeAverageSpeed(user.history);
    // Her place, results and mode: nothing else of hers changes.
    const WriteOutcome outcome = WithSession(connection_, [&](ServerSession& session) {
        if (!session.Begin()) return session.Outcome();
        const int changed = UpdatePlace(session, user.id, saved);
        if (changed < 0) return session.Outcome();
        // Deleted by another program meanwhile: her pass is not kept anywhere.
        if (changed == 0) return WriteOutcome::UserGone;
        return session.Commit() ? WriteOutcome::Written : session.Outcome();
    });
    // Only a stored pupil's average is worked out, as with the users file.
    if (outcome == WriteOutcome::Written) user.averageSpeed = saved.averageSpeed;
    return {outcome};
}

QString ServerStore::AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                   WriteOutcome* outcome) {
    // BindPupil cleans every name it binds; one left with nothing is no name.
    if (TrimSpaces(CleanUserName(name)).isEmpty()) {
        if (outcome) *outcome = WriteOutcome::Failed;
        return QString();
    }
    UserRecord user;
    user.name = name;
    user.level = level;
    user.block = 1;
    user.exercise = 1;
    user.history.fill(-1);
    user.mode = mode;
    QString id;
    const WriteOutcome result = WithSession(connection_, [&](ServerSession& session) {
        if (!session.Begin()) return session.Outcome();
        id = GiveNewPupilId(ClaimingFor(session, user));
        if (id.isEmpty()) return session.Outcome();
        return session.Commit() ? WriteOutcome::Written : session.Outcome();
    });
    if (outcome) *outcome = result;
    return result == WriteOutcome::Written ? id : QString();
}

WriteResult ServerStore::DeleteUser(const QString& id) {
    if (id.isEmpty()) return {WriteOutcome::Failed};
    // Kept among the deleted pupils, figures and all, in the same step as she goes; deleting
    // nobody is no failure.
    return {WithSession(connection_, [&id](ServerSession& session) {
        QSqlQuery query = session.Prepare(QStringLiteral("SELECT tipenzo_borrar_alumno(?)"));
        BindText(query, id);
        return session.Run(query) ? WriteOutcome::Written : session.Outcome();
    })};
}

ImportResult ServerStore::ImportPupils(const QList<UserRecord>& pupils) {
    ImportResult result;
    if (pupils.isEmpty()) return result;
    qsizetype imported = 0;
    result.outcome = WithSession(connection_, [&](ServerSession& session) {
        imported = 0;
        if (!session.Begin()) return session.Outcome();
        for (const UserRecord& pupil : pupils) {
            if (TrimSpaces(CleanUserName(pupil.name)).isEmpty()) continue;
            const QString id = GiveImportedPupilId(ClaimingFor(session, pupil));
            if (!session.Ok()) return session.Outcome();
            if (id.isEmpty()) break;
            // A deleted pupil brought back gets her figures back: she was kept as the export
            // writes her.
            QSqlQuery figures = session.Prepare(QStringLiteral(
                "INSERT INTO figuras (id, texto) SELECT ?, figuras FROM alumnos_borrados "
                "WHERE linea = ? AND figuras IS NOT NULL ORDER BY borrado DESC LIMIT 1"));
            BindText(figures, id);
            BindText(figures, FormatUserLine(pupil));
            if (!session.Run(figures)) return session.Outcome();
            ++imported;
        }
        return session.Commit() ? WriteOutcome::Written : session.Outcome();
    });
    if (result.outcome == WriteOutcome::Written) result.imported = imported;
    return result;
}

std::optional<QByteArray> ServerStore::ReadFigures(const QString& id) {
    return WithSession(connection_, [&id](ServerSession& session) -> std::optional<QByteArray> {
        QSqlQuery query = session.Prepare(QStringLiteral("SELECT texto FROM figuras WHERE id = ?"));
        BindText(query, id);
        if (!session.Run(query) || !query.next()) return std::nullopt;
        return query.value(0).toString().toUtf8();
    });
}

QHash<QString, QByteArray> ServerStore::ReadClassFigures() {
    // One query for the whole class, however many pupils it has.
    return WithSession(connection_, [](ServerSession& session) {
        QHash<QString, QByteArray> figures;
        QSqlQuery query = session.Prepare(
            QStringLiteral("SELECT f.id, f.texto FROM figuras f JOIN alumnos a ON a.id = f.id"));
        if (!session.Run(query)) return figures;
        while (query.next())
            figures.insert(query.value(0).toString(), query.value(1).toString().toUtf8());
        return figures;
    });
}

WriteResult ServerStore::ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) {
    return {WithSession(connection_, [&](ServerSession& session) {
        if (!session.Begin() || !session.WaitAtMost(waitMs)) return session.Outcome();
        // Her row held for the change: another program recording an attempt of hers waits, and
        // one deleting her waits too.
        QSqlQuery pupil =
            session.Prepare(QStringLiteral("SELECT 1 FROM alumnos WHERE id = ? FOR UPDATE"));
        BindText(pupil, id);
        if (!session.Run(pupil)) return session.Outcome();
        if (!pupil.next()) return WriteOutcome::UserGone;
        QSqlQuery current =
            session.Prepare(QStringLiteral("SELECT texto FROM figuras WHERE id = ?"));
        BindText(current, id);
        if (!session.Run(current)) return session.Outcome();
        std::optional<QByteArray> had;
        if (current.next()) had = current.value(0).toString().toUtf8();
        FiguresStep step = update(had);
        if (step.verdict == FiguresStep::Verdict::Damaged && had) {
            QSqlQuery aside = session.Prepare(
                QStringLiteral("INSERT INTO figuras_apartadas (id, texto) VALUES (?, ?)"));
            BindText(aside, id);
            BindText(aside, QString::fromUtf8(*had));
            if (!session.Run(aside)) return session.Outcome();
            step = update(std::nullopt);
        }
        if (step.verdict != FiguresStep::Verdict::Write) return WriteOutcome::Failed;
        QSqlQuery write = session.Prepare(
            QStringLiteral("INSERT INTO figuras (id, texto) VALUES (?, ?) "
                           "ON CONFLICT (id) DO UPDATE SET texto = EXCLUDED.texto"));
        BindText(write, id);
        BindText(write, QString::fromUtf8(step.bytes));
        if (!session.Run(write)) return session.Outcome();
        return session.Commit() ? WriteOutcome::Written : session.Outcome();
    })};
}

}  // namespace tz
