#pragma once
// What the sources of the server store share: one use of the connection, and the pupils'
// columns bound as values.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include "users/pupil_store.h"
#include "users/server_settings.h"

namespace tz {

inline const QString kPupilColumns =
    QStringLiteral("id, nombre, nivel, bloque, ejercicio, velocidad_media, resultados::text, modo");

// Text as the server can hold it. PostgreSQL's text has no NUL, and Qt's driver hands bound
// values over written into the statement, where a NUL would end it.
void BindText(QSqlQuery& query, const QString& text);
// A pupil's name (as the name rule leaves it) and then her place, results and mode; or only
// the place, results and mode (velocidad_media, resultados, modo: what the lab may change).
void BindPupil(QSqlQuery& query, const UserRecord& user);
void BindPlace(QSqlQuery& query, const UserRecord& user);
// A row read with kPupilColumns.
UserRecord RecordOf(const QSqlQuery& row);

// Opens the connection named `name` to the server of `settings`, as its user with its
// password, giving up after a few seconds; `failure` says why not, in Spanish, without the
// password.
bool OpenConnection(const QString& name, const ServerSettings& settings, QString* failure);
// What every connection is set to: a change waits for another program's rows no longer than a
// save of the users file waits for its lock, and nothing runs for ever.
void SetUpConnection(QSqlDatabase& db);

// Another program holding the same rows past the wait, or the two changes crossing: trying
// again may help.
WriteOutcome OutcomeOf(const QSqlError& error);

// One use of the connection: opened again first when it was lost, every failure kept, a lost
// connection closed so that the next use opens it again, and any transaction it began and did
// not commit rolled back when it ends, whichever way the change ended.
class ServerSession {
  public:
    explicit ServerSession(const QString& connection);
    ~ServerSession();
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    bool Ok() const { return ok_; }
    WriteOutcome Outcome() const { return outcome_; }
    // The connection was found lost at the first statement: nothing was changed.
    bool LostAtFirst() const { return lost_ && !used_; }
    // What went wrong, as an administrator can act on it.
    QString Failure(const QString& user) const;
    QSqlDatabase& Db() { return db_; }

    // A query prepared on the connection (a failure spends the session).
    QSqlQuery Prepare(const QString& sql);
    // Runs a prepared query; false (and the session spent) on any error.
    bool Run(QSqlQuery& query);
    bool Begin();
    bool Commit();
    // Waits at most this long for another program's rows in this transaction.
    bool WaitAtMost(int ms);

  private:
    void Fail(const QSqlError& error);

    QSqlDatabase db_;
    bool ok_ = false;
    bool used_ = false;  // a statement reached the server
    bool lost_ = false;
    bool inTransaction_ = false;
    WriteOutcome outcome_ = WriteOutcome::Written;
    QString state_;  // the server's code for the failure
    QString failure_;
};

// Runs `work` on a session of the connection; once more on a new connection when the
// connection was found lost before anything was changed (a server restarted, a network that
// came back).
template <typename Work>
auto WithSession(const QString& connection, Work&& work) {
    for (int attempt = 0;; ++attempt) {
        ServerSession session(connection);
        auto result = work(session);
        if (attempt > 0 || !session.LostAtFirst()) return result;
    }
}

// Adds the pupil under `id` unless a pupil, present or deleted, has it; `added` says whether
// she was. False when the session failed.
bool AddUnderId(ServerSession& session, const QString& id, const UserRecord& user, bool* added);
// Stores the pupil's place, results and mode under `id`: the rows changed (0 for nobody of that
// id), -1 when the session failed.
int UpdatePlace(ServerSession& session, const QString& id, const UserRecord& user);
// Offers ids for the pupil (GiveNewPupilId, GiveImportedPupilId): each is claimed by adding her
// under it unless a pupil, present or deleted, has it.
ClaimId ClaimingFor(ServerSession& session, const UserRecord& user);

}  // namespace tz
