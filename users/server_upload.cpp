// "--subir-al-servidor": a data folder's class put on the server without taking anything from
// the pupils the server already has.

#include <QVariant>

#include "users/server_session.h"
#include "users/server_store.h"

namespace tz {

namespace {

// One pupil under two copies: the same name (as the name rule leaves it), whatever its case.
bool SamePupil(const QString& folderName, const QString& serverName) {
    QString folder = CleanUserName(folderName);
    folder.remove(QChar(u'\0'));
    return folder.trimmed().compare(serverName.trimmed(), Qt::CaseInsensitive) == 0;
}

bool SamePlace(const UserRecord& a, const UserRecord& b) {
    return a.level == b.level && a.block == b.block && a.exercise == b.exercise &&
           a.averageSpeed == b.averageSpeed && a.history == b.history &&
           NormaliseMode(a.mode) == NormaliseMode(b.mode);
}

// Figures one side leaves are kept aside, once.
bool KeepAside(ServerSession& session, const QString& id, const QByteArray& figures) {
    QSqlQuery aside = session.Prepare(
        QStringLiteral("INSERT INTO figuras_apartadas (id, texto) SELECT ?, ? WHERE NOT EXISTS "
                       "(SELECT 1 FROM figuras_apartadas WHERE id = ? AND texto = ?)"));
    for (int twice = 0; twice < 2; ++twice) {
        BindText(aside, id);
        BindText(aside, QString::fromUtf8(figures));
    }
    return session.Run(aside);
}

bool WriteFigures(ServerSession& session, const QString& id, const QByteArray& figures) {
    QSqlQuery write =
        session.Prepare(QStringLiteral("INSERT INTO figuras (id, texto) VALUES (?, ?) "
                                       "ON CONFLICT (id) DO UPDATE SET texto = EXCLUDED.texto"));
    BindText(write, id);
    BindText(write, QString::fromUtf8(figures));
    return session.Run(write);
}

// A deleted pupil of the server's under this id who is somebody else.
std::optional<bool> DeletedSomebodyElse(ServerSession& session, const UploadedPupil& pupil) {
    QSqlQuery deleted =
        session.Prepare(QStringLiteral("SELECT linea FROM alumnos_borrados WHERE id = ?"));
    BindText(deleted, pupil.record.id);
    if (!session.Run(deleted)) return std::nullopt;
    while (deleted.next()) {
        const QString name = UserLineField(deleted.value(0).toString(), UserField::Name);
        if (!SamePupil(pupil.record.name, name)) return true;
    }
    return false;
}

}  // namespace

std::optional<UploadCounts> ServerStore::Upload(const QList<UploadedPupil>& pupils,
                                                const UploadJudge& judge, QString* failure) {
    UploadCounts counts;
    const bool stored = WithSession(connection_, [&](ServerSession& session) {
        counts = UploadCounts();
        const auto failed = [&] {
            if (failure) *failure = session.Failure(settings_.user);
            return false;
        };
        if (!session.Begin()) return failed();
        for (const UploadedPupil& pupil : pupils) {
            QSqlQuery held =
                session.Prepare(QStringLiteral("SELECT ") + kPupilColumns +
                                QStringLiteral(" FROM alumnos WHERE id = ? FOR UPDATE"));
            BindText(held, pupil.record.id);
            if (!session.Run(held)) return failed();
            bool somebodyElse = false;
            if (held.next()) {
                const UserRecord server = RecordOf(held);
                somebodyElse = !SamePupil(pupil.record.name, server.name);
                if (!somebodyElse) {
                    QSqlQuery figures =
                        session.Prepare(QStringLiteral("SELECT texto FROM figuras WHERE id = ?"));
                    BindText(figures, server.id);
                    if (!session.Run(figures)) return failed();
                    std::optional<QByteArray> serverFigures;
                    if (figures.next()) serverFigures = figures.value(0).toString().toUtf8();
                    const UploadTake take =
                        judge ? judge(pupil, server, serverFigures) : UploadTake();
                    bool changed = false;
                    if (take.record && !SamePlace(pupil.record, server)) {
                        if (UpdatePlace(session, server.id, pupil.record) < 0) return failed();
                        changed = true;
                    }
                    if (pupil.figures && pupil.figures != serverFigures) {
                        if (take.figures || !serverFigures) {
                            if (serverFigures && !KeepAside(session, server.id, *serverFigures))
                                return failed();
                            if (!WriteFigures(session, server.id, *pupil.figures)) return failed();
                            changed = true;
                        } else if (!KeepAside(session, server.id, *pupil.figures)) {
                            return failed();
                        }
                    }
                    ++(changed ? counts.updated : counts.unchanged);
                    continue;
                }
            } else {
                const std::optional<bool> deleted = DeletedSomebodyElse(session, pupil);
                if (!deleted) return failed();
                somebodyElse = *deleted;
            }
            QString id = pupil.record.id;
            if (somebodyElse) {
                id = GiveImportedPupilId(ClaimingFor(session, pupil.record));
                if (!session.Ok()) return failed();
                if (id.isEmpty()) {
                    if (failure)
                        *failure = QStringLiteral("no queda ningún identificador libre para ") +
                                   CleanUserName(pupil.record.name);
                    return false;
                }
                counts.renumbered.append({pupil.record, id});
            } else {
                QSqlQuery add = session.Prepare(
                    QStringLiteral("INSERT INTO alumnos (id, nombre, nivel, bloque, ejercicio, "
                                   "velocidad_media, resultados, modo) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?::smallint[], ?)"));
                BindText(add, id);
                BindPupil(add, pupil.record);
                if (!session.Run(add)) return failed();
                ++counts.added;
            }
            if (pupil.figures && !WriteFigures(session, id, *pupil.figures)) return failed();
        }
        return session.Commit() || failed();
    });
    if (!stored) return std::nullopt;
    return counts;
}

}  // namespace tz
