#pragma once
// The tables of the school's server, made in an empty database, brought up from an older
// version in one transaction, and left alone when they are of a newer program's.
//
// In a server set up safely the tables belong to an administrator's role and the programs use
// the lab's role, which may read, add and save pupils but never delete, empty or change the
// tables: deleting a pupil moves her aside through a function of the administrator's, and every
// change of a pupil is kept in a history the lab's role can neither read nor change.

#include <QString>

class QSqlDatabase;

namespace tz {

struct SchemaCheck {
    enum class State {
        Ready,
        Newer,   // the tables are a newer program's: nothing was touched
        Denied,  // this role may not make or upgrade them (the lab's role of a safe setup)
        Failed,
    };
    State state = State::Failed;
    int version = 0;  // what the database held before (0: no tables of ours)
    QString failure;  // the server's words, when it failed
};

// Makes or upgrades the tables up to `target` (the program's own version; tests ask for older
// ones to have something to upgrade from). One program at a time: another that starts meanwhile
// waits for it. Tables already at `target` are only read.
SchemaCheck PrepareSchema(QSqlDatabase& db, int target);

// The same inside a transaction the caller holds.
SchemaCheck PrepareSchemaInTransaction(QSqlDatabase& db, int target);

}  // namespace tz
