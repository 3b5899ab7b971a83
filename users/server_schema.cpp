#include "users/server_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <iterator>

namespace tz {

namespace {

// What takes the tables from one version to the next: kSteps[v] from version v to v + 1.
const QStringList kSteps[] = {
    {
        // Pupils in the order they were added, as the users file keeps them, and their figures.
        QStringLiteral("CREATE TABLE alumnos ("
                       " id text PRIMARY KEY,"
                       " orden bigserial NOT NULL,"
                       " nombre text NOT NULL,"
                       " nivel smallint NOT NULL,"
                       " bloque smallint NOT NULL,"
                       " ejercicio smallint NOT NULL,"
                       " velocidad_media smallint NOT NULL,"
                       " resultados smallint[] NOT NULL CHECK (cardinality(resultados) = 10),"
                       " modo text NOT NULL)"),
        QStringLiteral("CREATE TABLE figuras ("
                       " id text PRIMARY KEY REFERENCES alumnos (id) ON DELETE CASCADE,"
                       " texto text NOT NULL)"),
    },
    {
        // What is kept rather than lost: deleted pupils (as the export writes them) with their
        // figures, and damaged figures set aside.
        QStringLiteral("CREATE TABLE alumnos_borrados ("
                       " id text NOT NULL,"
                       " linea text NOT NULL,"
                       " figuras text,"
                       " borrado timestamptz NOT NULL DEFAULT now())"),
        QStringLiteral("CREATE TABLE figuras_apartadas ("
                       " id text NOT NULL,"
                       " texto text NOT NULL,"
                       " apartado timestamptz NOT NULL DEFAULT now())"),
    },
};
constexpr int kKnownSteps = static_cast<int>(std::size(kSteps));
// Any number will do, as long as every program takes the same one.
constexpr qint64 kSchemaLockKey = 2026120810;

}  // namespace

SchemaCheck PrepareSchema(QSqlDatabase& db, int target) {
    SchemaCheck check;
    if (target > kKnownSteps) target = kKnownSteps;
    QSqlQuery query(db);
    const auto run = [&](const QString& statement) {
        if (query.exec(statement)) return true;
        check.failure = query.lastError().databaseText().trimmed();
        return false;
    };
    const auto fail = [&] {
        db.rollback();
        check.state = SchemaCheck::State::Failed;
        return check;
    };
    if (!db.transaction()) {
        check.failure = db.lastError().databaseText().trimmed();
        return check;
    }
    if (!run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLockKey))) return fail();
    if (!run(QStringLiteral("SELECT to_regclass('tipenzo_esquema') IS NOT NULL"))) return fail();
    const bool made = query.next() && query.value(0).toBool();
    if (!made) {
        if (!run(QStringLiteral("CREATE TABLE tipenzo_esquema (version integer NOT NULL)")) ||
            !run(QStringLiteral("INSERT INTO tipenzo_esquema VALUES (0)"))) {
            return fail();
        }
    }
    if (!run(QStringLiteral("SELECT version FROM tipenzo_esquema")) || !query.next()) return fail();
    check.version = query.value(0).toInt();
    if (check.version > target) {
        // A newer program's tables: not one of them is touched.
        db.rollback();
        check.state = SchemaCheck::State::Newer;
        return check;
    }
    for (int step = check.version; step < target; ++step) {
        for (const QString& statement : kSteps[step]) {
            if (!run(statement)) return fail();
        }
    }
    if (!run(QStringLiteral("UPDATE tipenzo_esquema SET version = %1").arg(target))) return fail();
    if (!db.commit()) {
        check.failure = db.lastError().databaseText().trimmed();
        return fail();
    }
    check.state = SchemaCheck::State::Ready;
    return check;
}

}  // namespace tz
