// "--preparar-servidor": the administrator's role takes the tables (and the database, when the
// lab's role had them, as an older help set it up) and gives the lab's role what the programs
// use and nothing more. In one transaction: a preparation that cannot be finished changes
// nothing.

#include <QVariant>

#include "users/server_schema.h"
#include "users/server_session.h"
#include "users/server_store.h"

namespace tz {

namespace {

// The role the settings' "usuario" names, set for the transaction: the statements below read
// it on the server and quote it there, so its name is never written into one.
const QString kLabRole = QStringLiteral("current_setting('tipenzo.aula')::name");

const QString kOurTables = QStringLiteral(
    "c.relnamespace = 'public'::regnamespace AND c.relname IN ('tipenzo_esquema', 'alumnos', "
    "'figuras', 'alumnos_borrados', 'figuras_apartadas', 'alumnos_historia')");
const QString kOurFunctions =
    QStringLiteral("p.pronamespace = 'public'::regnamespace AND p.proname LIKE 'tipenzo\\_%'");

// Whatever of ours the lab's role owns, or owns through a role it belongs to.
const QString kTakeOver =
    QStringLiteral(
        "DO $$\n"
        "DECLARE o record;\n"
        "BEGIN\n"
        "  FOR o IN SELECT c.oid::regclass AS name FROM pg_class c WHERE c.relkind = 'r' AND ") +
    kOurTables +
    QStringLiteral(
        "\n      AND pg_has_role(current_setting('tipenzo.aula')::name, c.relowner, 'MEMBER') "
        "LOOP\n"
        "    EXECUTE format('ALTER TABLE %s OWNER TO CURRENT_USER', o.name);\n"
        "  END LOOP;\n"
        "  FOR o IN SELECT p.oid::regprocedure AS name FROM pg_proc p WHERE ") +
    kOurFunctions +
    QStringLiteral(
        "\n      AND pg_has_role(current_setting('tipenzo.aula')::name, p.proowner, 'MEMBER') "
        "LOOP\n"
        "    EXECUTE format('ALTER FUNCTION %s OWNER TO CURRENT_USER', o.name);\n"
        "  END LOOP;\n"
        "END $$");

const QString kTakeDatabase = QStringLiteral(
    "DO $$ BEGIN\n"
    "  EXECUTE format('ALTER DATABASE %I OWNER TO CURRENT_USER', current_database());\n"
    "END $$");

// What the programs do through the lab's role, and nothing else: read the pupils, add them,
// save their place, results and mode (not their id or name), save figures, keep damaged
// figures aside, and delete a pupil only by moving her aside. The history is not theirs.
const QString kGrant = QStringLiteral(
    "DO $$\n"
    "DECLARE aula text := current_setting('tipenzo.aula');\n"
    "BEGIN\n"
    "  EXECUTE format('REVOKE ALL ON TABLE tipenzo_esquema, alumnos, figuras, alumnos_borrados,"
    " figuras_apartadas, alumnos_historia FROM PUBLIC, %I', aula);\n"
    "  EXECUTE format('REVOKE ALL ON SEQUENCE %s, %s FROM PUBLIC, %I',"
    " pg_get_serial_sequence('alumnos', 'orden'), pg_get_serial_sequence('alumnos_historia',"
    " 'n'), aula);\n"
    "  EXECUTE format('REVOKE ALL ON FUNCTION tipenzo_anotar(), tipenzo_borrar_alumno(text),"
    " tipenzo_devolver_alumno(text, timestamptz) FROM PUBLIC, %I', aula);\n"
    "  BEGIN\n"
    "    REVOKE CREATE ON SCHEMA public FROM PUBLIC;\n"
    "    EXECUTE format('REVOKE CREATE ON DATABASE %I FROM PUBLIC, %I', current_database(),"
    " aula);\n"
    "  EXCEPTION WHEN insufficient_privilege THEN NULL;\n"
    "  END;\n"
    "  EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), aula);\n"
    "  EXECUTE format('GRANT USAGE ON SCHEMA public TO %I', aula);\n"
    "  EXECUTE format('GRANT SELECT ON TABLE tipenzo_esquema, alumnos, figuras,"
    " alumnos_borrados, figuras_apartadas TO %I', aula);\n"
    "  EXECUTE format('GRANT INSERT (id, nombre, nivel, bloque, ejercicio, velocidad_media,"
    " resultados, modo), UPDATE (nivel, bloque, ejercicio, velocidad_media, resultados, modo)"
    " ON TABLE alumnos TO %I', aula);\n"
    "  EXECUTE format('GRANT INSERT (id, texto), UPDATE (texto) ON TABLE figuras TO %I',"
    " aula);\n"
    "  EXECUTE format('GRANT INSERT (id, texto) ON TABLE figuras_apartadas TO %I', aula);\n"
    "  EXECUTE format('GRANT USAGE ON SEQUENCE %s TO %I',"
    " pg_get_serial_sequence('alumnos', 'orden'), aula);\n"
    "  EXECUTE format('GRANT EXECUTE ON FUNCTION tipenzo_borrar_alumno(text) TO %I', aula);\n"
    "END $$");

QString Quoted(const QString& name) {
    return QStringLiteral("«") + name + QStringLiteral("»");
}

class Preparation {
  public:
    Preparation(QSqlDatabase& db, const QString& lab, const QString& admin)
        : db_(db), query_(db), lab_(lab), admin_(admin) {}

    ServerPreparation Run() {
        if (!db_.transaction()) return Failed(db_.lastError().databaseText());
        ServerPreparation result = Steps();
        if (result.done && !db_.commit()) result = Failed(db_.lastError().databaseText());
        if (!result.done) db_.rollback();
        return result;
    }

  private:
    ServerPreparation Steps() {
        if (!Exec(QStringLiteral("SELECT set_config('tipenzo.aula', ?, true)"), {lab_}) ||
            !Exec(QStringLiteral("SELECT rolsuper, pg_has_role(rolname, current_user, 'MEMBER') "
                                 "FROM pg_roles WHERE rolname = ") +
                  kLabRole))
            return Failed(said_);
        if (!query_.next()) {
            return Failed(QStringLiteral("el usuario ") + Quoted(lab_) +
                          QStringLiteral(" de la sección [servidor] no existe en el servidor"));
        }
        if (query_.value(0).toBool() || query_.value(1).toBool()) {
            return Failed(Quoted(lab_) + QStringLiteral(" es superusuario o miembro de ") +
                          Quoted(admin_) +
                          QStringLiteral(": los programas necesitan un usuario sin más "
                                         "permisos que los suyos"));
        }
        ServerPreparation result;
        result.done = true;
        // The database first: its owner may drop anything in it.
        if (!Exec(QStringLiteral("SELECT pg_get_userbyid(datdba), pg_has_role(") + kLabRole +
                  QStringLiteral(", datdba, 'MEMBER') FROM pg_database "
                                 "WHERE datname = current_database()")) ||
            !query_.next())
            return Failed(said_);
        const QString databaseOwner = query_.value(0).toString();
        if (query_.value(1).toBool()) {
            if (!Exec(kTakeDatabase)) return CannotTake(databaseOwner);
            result.steps << QStringLiteral("la base de datos ") + Quoted(db_.databaseName()) +
                                QStringLiteral(", que era de ") + Quoted(databaseOwner) +
                                QStringLiteral(", es ahora de ") + Quoted(admin_);
        }
        if (!Exec(QStringLiteral("SELECT string_agg(DISTINCT pg_get_userbyid(c.relowner), ', ') "
                                 "FROM pg_class c WHERE ") +
                  kOurTables + QStringLiteral(" AND pg_has_role(") + kLabRole +
                  QStringLiteral(", c.relowner, 'MEMBER')")) ||
            !query_.next())
            return Failed(said_);
        const QString tablesOwner = query_.value(0).toString();
        if (!Exec(kTakeOver)) return CannotTake(tablesOwner);
        if (!tablesOwner.isEmpty()) {
            result.steps << QStringLiteral("las tablas, que eran de ") + Quoted(tablesOwner) +
                                QStringLiteral(", son ahora de ") + Quoted(admin_);
        }
        const SchemaCheck schema = PrepareSchemaInTransaction(db_, kServerSchemaVersion);
        if (schema.state == SchemaCheck::State::Newer) {
            return Failed(QStringLiteral("las tablas son de una versión más nueva de TIPENZO 10 "
                                         "(versión %1; este programa conoce hasta la %2)")
                              .arg(schema.version)
                              .arg(kServerSchemaVersion));
        }
        if (schema.state != SchemaCheck::State::Ready)
            return Failed(QStringLiteral("no se han podido preparar las tablas: ") +
                          schema.failure);
        const QString version = QString::number(kServerSchemaVersion);
        result.steps << (schema.version == 0 ? QStringLiteral("tablas creadas (versión ") + version
                         : schema.version < kServerSchemaVersion
                             ? QStringLiteral("tablas puestas al día (de la versión ") +
                                   QString::number(schema.version) + QStringLiteral(" a la ") +
                                   version
                             : QStringLiteral("las tablas ya estaban al día (versión ") + version) +
                            u')';
        if (!Exec(kGrant)) {
            return Failed(QStringLiteral("no se han podido dar los permisos a ") + Quoted(lab_) +
                          QStringLiteral(": ") + said_);
        }
        if (const QString left = WhatTheLabCouldStillDo(); !left.isEmpty()) return Failed(left);
        if (!Exec(QStringLiteral("SELECT count(*) FROM alumnos")) || !query_.next())
            return Failed(said_);
        result.steps << Quoted(lab_) + QStringLiteral(
                                           " puede leer, añadir y guardar alumnos, con sus "
                                           "resultados y sus figuras, y eliminarlos apartándolos; "
                                           "no puede borrar ni vaciar las tablas, ni cambiarlas, "
                                           "ni leer el historial")
                     << QStringLiteral(
                            "%1 alumnos en el servidor; cada cambio de un alumno queda "
                            "anotado en la tabla alumnos_historia")
                            .arg(query_.value(0).toLongLong());
        return result;
    }

    // What the safe setup must not leave: the lab's role owning something of ours or the
    // database, or making objects where the tables live, or not reaching the database at all.
    QString WhatTheLabCouldStillDo() {
        if (!Exec(QStringLiteral("SELECT has_schema_privilege(") + kLabRole +
                  QStringLiteral(", 'public', 'CREATE'), "
                                 "NOT has_database_privilege(") +
                  kLabRole +
                  QStringLiteral(", current_database(), 'CONNECT'), "
                                 "pg_has_role(") +
                  kLabRole +
                  QStringLiteral(", (SELECT nspowner FROM pg_namespace WHERE nspname = "
                                 "'public'), 'MEMBER')")) ||
            !query_.next())
            return said_;
        if (query_.value(0).toBool()) {
            return Quoted(lab_) + QStringLiteral(
                                      " puede crear tablas en el esquema public: como "
                                      "superusuario, ejecute en la base de datos «REVOKE CREATE "
                                      "ON SCHEMA public FROM PUBLIC» y vuelva a prepararla");
        }
        if (query_.value(1).toBool()) {
            return Quoted(lab_) + QStringLiteral(
                                      " no podría conectarse a la base de datos: prepárela con "
                                      "el usuario dueño de la base de datos");
        }
        if (query_.value(2).toBool()) {
            return QStringLiteral("el esquema public es de ") + Quoted(lab_) +
                   QStringLiteral(": como superusuario, ejecute «ALTER SCHEMA public OWNER TO ") +
                   admin_ + QStringLiteral("» y vuelva a prepararla");
        }
        return QString();
    }

    ServerPreparation CannotTake(const QString& owner) {
        return Failed(Quoted(admin_) + QStringLiteral(" no puede quedarse con lo que es de ") +
                      Quoted(owner) +
                      QStringLiteral(" (hágalo como superusuario, por ejemplo «postgres»): ") +
                      said_);
    }

    static ServerPreparation Failed(const QString& why) {
        ServerPreparation failed;
        failed.failure = why.trimmed();
        return failed;
    }

    bool Exec(const QString& sql, const QStringList& values = {}) {
        bool ran = true;
        if (values.isEmpty()) {
            ran = query_.exec(sql);
        } else {
            ran = query_.prepare(sql);
            for (const QString& value : values) BindText(query_, value);
            ran = ran && query_.exec();
        }
        if (!ran) said_ = query_.lastError().databaseText().trimmed().section(u'\n', 0, 0);
        return ran;
    }

    QSqlDatabase& db_;
    QSqlQuery query_;
    QString lab_;
    QString admin_;
    QString said_;  // the server's words for the last failure
};

}  // namespace

ServerPreparation ServerStore::PrepareForLab(const ServerSettings& settings, const QString& admin,
                                             const QString& password) {
    ServerPreparation result;
    if (admin == settings.user) {
        result.failure = Quoted(admin) + QStringLiteral(
                                             " es el usuario de los programas (el de la sección "
                                             "[servidor]): las tablas deben ser de otro, el del "
                                             "administrador");
        return result;
    }
    ServerSettings asAdmin = settings;
    asAdmin.user = admin;
    asAdmin.password = password;
    const QString connection = QStringLiteral("tipenzo-preparacion");
    if (OpenConnection(connection, asAdmin, &result.failure)) {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        result = Preparation(db, settings.user, admin).Run();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}

}  // namespace tz
