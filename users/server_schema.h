#pragma once
// The tables of the school's server, made in an empty database, brought up from an older
// version in one transaction, and left alone when they are of a newer program's.

#include <QString>

class QSqlDatabase;

namespace tz {

struct SchemaCheck {
    enum class State { Ready, Newer, Failed };
    State state = State::Failed;
    int version = 0;  // what the database held before (0: no tables of ours)
    QString failure;  // the server's words, when it failed
};

// Makes or upgrades the tables up to `target` (the program's own version; tests ask for older
// ones to have something to upgrade from). One program at a time: another that starts meanwhile
// waits for it.
SchemaCheck PrepareSchema(QSqlDatabase& db, int target);

}  // namespace tz
