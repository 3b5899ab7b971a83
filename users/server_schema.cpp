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
    {
        // Every change of a pupil, as she stood after it (before it, for one who went), written
        // by the table itself whichever role made the change: the administrator can put any
        // pupil back as she was at any moment.
        QStringLiteral("CREATE TABLE alumnos_historia ("
                       " n bigserial PRIMARY KEY,"
                       " momento timestamptz NOT NULL DEFAULT clock_timestamp(),"
                       " cambio text NOT NULL,"
                       " usuario text NOT NULL DEFAULT session_user,"
                       " id text NOT NULL,"
                       " nombre text NOT NULL,"
                       " nivel smallint NOT NULL,"
                       " bloque smallint NOT NULL,"
                       " ejercicio smallint NOT NULL,"
                       " velocidad_media smallint NOT NULL,"
                       " resultados smallint[] NOT NULL,"
                       " modo text NOT NULL)"),
        QStringLiteral("CREATE INDEX alumnos_historia_id ON alumnos_historia (id, n)"),
        QStringLiteral("INSERT INTO alumnos_historia (cambio, id, nombre, nivel, bloque, "
                       "ejercicio, velocidad_media, resultados, modo) "
                       "SELECT 'existente', id, nombre, nivel, bloque, ejercicio, "
                       "velocidad_media, resultados, modo FROM alumnos ORDER BY orden"),
        QStringLiteral(
            "CREATE FUNCTION tipenzo_anotar() RETURNS trigger LANGUAGE plpgsql "
            "SECURITY DEFINER SET search_path = pg_catalog, public AS $$\n"
            "DECLARE a alumnos;\n"
            "BEGIN\n"
            "  IF TG_OP = 'UPDATE' AND OLD IS NOT DISTINCT FROM NEW THEN RETURN NULL; END IF;\n"
            "  IF TG_OP = 'DELETE' THEN a := OLD; ELSE a := NEW; END IF;\n"
            "  INSERT INTO alumnos_historia (cambio, id, nombre, nivel, bloque, ejercicio,\n"
            "      velocidad_media, resultados, modo)\n"
            "    VALUES (CASE TG_OP WHEN 'INSERT' THEN 'alta' WHEN 'UPDATE' THEN 'cambio'\n"
            "      ELSE 'baja' END, a.id, a.nombre, a.nivel, a.bloque, a.ejercicio,\n"
            "      a.velocidad_media, a.resultados, a.modo);\n"
            "  RETURN NULL;\n"
            "END $$"),
        QStringLiteral("CREATE TRIGGER alumnos_historia AFTER INSERT OR UPDATE OR DELETE ON "
                       "alumnos FOR EACH ROW EXECUTE FUNCTION tipenzo_anotar()"),
        // A pupil goes to the deleted pupils, as the export writes her and with her figures,
        // in the same step as she leaves: the one way the lab's role has of deleting.
        QStringLiteral(
            "CREATE FUNCTION tipenzo_borrar_alumno(p_id text) RETURNS boolean "
            "LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$\n"
            "DECLARE a alumnos;\n"
            "BEGIN\n"
            "  SELECT * INTO a FROM alumnos WHERE id = p_id FOR UPDATE;\n"
            "  IF NOT FOUND THEN RETURN false; END IF;\n"
            "  INSERT INTO alumnos_borrados (id, linea, figuras)\n"
            "    VALUES (a.id, concat_ws('|', a.nombre, a.nivel, a.bloque, a.ejercicio,\n"
            "      a.velocidad_media, array_to_string(a.resultados, '|'), a.modo, a.id),\n"
            "      (SELECT texto FROM figuras WHERE id = a.id));\n"
            "  DELETE FROM alumnos WHERE id = a.id;\n"
            "  RETURN true;\n"
            "END $$"),
        // The administrator's: the pupil as the history has her at that moment, brought back
        // with her figures when she had been deleted.
        QStringLiteral(
            "CREATE FUNCTION tipenzo_devolver_alumno(p_id text, p_momento timestamptz) "
            "RETURNS text LANGUAGE plpgsql SET search_path = pg_catalog, public AS $$\n"
            "DECLARE h alumnos_historia;\n"
            "BEGIN\n"
            "  SELECT * INTO h FROM alumnos_historia WHERE id = p_id AND momento <= p_momento\n"
            "    ORDER BY n DESC LIMIT 1;\n"
            "  IF NOT FOUND OR h.cambio = 'baja' THEN\n"
            "    RAISE EXCEPTION 'el alumno % no estaba en el servidor en ese momento', p_id;\n"
            "  END IF;\n"
            "  UPDATE alumnos SET nombre = h.nombre, nivel = h.nivel, bloque = h.bloque,\n"
            "    ejercicio = h.ejercicio, velocidad_media = h.velocidad_media,\n"
            "    resultados = h.resultados, modo = h.modo WHERE id = p_id;\n"
            "  IF FOUND THEN RETURN 'puesto como estaba'; END IF;\n"
            "  INSERT INTO alumnos (id, nombre, nivel, bloque, ejercicio, velocidad_media,\n"
            "      resultados, modo)\n"
            "    VALUES (h.id, h.nombre, h.nivel, h.bloque, h.ejercicio, h.velocidad_media,\n"
            "      h.resultados, h.modo);\n"
            "  INSERT INTO figuras (id, texto) SELECT p_id, figuras FROM alumnos_borrados\n"
            "    WHERE id = p_id AND figuras IS NOT NULL ORDER BY borrado DESC LIMIT 1;\n"
            "  RETURN 'devuelto';\n"
            "END $$"),
        QStringLiteral("REVOKE ALL ON FUNCTION tipenzo_anotar(), tipenzo_borrar_alumno(text), "
                       "tipenzo_devolver_alumno(text, timestamptz) FROM PUBLIC"),
    },
};
constexpr int kKnownSteps = static_cast<int>(std::size(kSteps));
// Any number will do, as long as every program takes the same one.
constexpr qint64 kSchemaLockKey = 2026120810;

const QString kInsufficientPrivilege = QStringLiteral("42501");

}  // namespace

SchemaCheck PrepareSchemaInTransaction(QSqlDatabase& db, int target) {
    SchemaCheck check;
    if (target > kKnownSteps) target = kKnownSteps;
    QSqlQuery query(db);
    const auto failed = [&check](const QSqlError& error) {
        check.failure = error.databaseText().trimmed();
        check.state = error.nativeErrorCode() == kInsufficientPrivilege
                          ? SchemaCheck::State::Denied
                          : SchemaCheck::State::Failed;
        return false;
    };
    const auto run = [&](const QString& statement) {
        return query.exec(statement) || failed(query.lastError());
    };
    // A statement with a value, prepared and let go at once.
    const auto runWith = [&](const QString& statement, const QVariant& value) {
        QSqlQuery bound(db);
        bound.prepare(statement);
        bound.addBindValue(value);
        return bound.exec() || failed(bound.lastError());
    };
    if (!runWith(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), kSchemaLockKey)) return check;
    if (!run(QStringLiteral("SELECT to_regclass('tipenzo_esquema') IS NOT NULL"))) return check;
    const bool made = query.next() && query.value(0).toBool();
    if (made) {
        if (!run(QStringLiteral("SELECT version FROM tipenzo_esquema"))) return check;
        if (!query.next()) {
            check.failure = QStringLiteral("la tabla tipenzo_esquema está vacía");
            return check;
        }
        check.version = query.value(0).toInt();
    }
    if (check.version > target) {
        check.state = SchemaCheck::State::Newer;
        return check;
    }
    if (check.version == target && made) {
        check.state = SchemaCheck::State::Ready;
        return check;
    }
    if (!made && (!run(QStringLiteral("CREATE TABLE tipenzo_esquema (version integer NOT NULL)")) ||
                  !run(QStringLiteral("INSERT INTO tipenzo_esquema VALUES (0)")))) {
        return check;
    }
    for (int step = check.version; step < target; ++step) {
        for (const QString& statement : kSteps[step]) {
            if (!run(statement)) return check;
        }
    }
    if (!runWith(QStringLiteral("UPDATE tipenzo_esquema SET version = ?"), target)) return check;
    check.state = SchemaCheck::State::Ready;
    return check;
}

SchemaCheck PrepareSchema(QSqlDatabase& db, int target) {
    SchemaCheck check;
    if (!db.transaction()) {
        check.failure = db.lastError().databaseText().trimmed();
        return check;
    }
    check = PrepareSchemaInTransaction(db, target);
    // A newer program's tables, or tables already up to date, were only read.
    if (check.state != SchemaCheck::State::Ready) {
        db.rollback();
        return check;
    }
    if (!db.commit()) {
        check.failure = db.lastError().databaseText().trimmed();
        check.state = SchemaCheck::State::Failed;
        db.rollback();
    }
    return check;
}

}  // namespace tz
