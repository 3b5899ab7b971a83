#pragma once
// Where pupils, their progress and their keystroke figures are kept: the users file of the
// data folder (the default) or a school's PostgreSQL server named in "tipenzo10.ini". The
// screens, the exercise run, the analysis, import and export and the class report talk to this
// interface only and cannot tell which store serves them.
//
// Pupils travel as user lines of the users file's layout (17 fields), the form the users
// window lists, the export writes and the import reads, whichever store holds them.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

// Runs while a change is being written: the screens let pending window events be processed
// there. The stores themselves never touch windows or events.
using WhileRewriting = std::function<void()>;

// The pupils as user lines, in the order they were added.
struct UserLines {
    bool opened = false;  // false when the store could not be read
    QStringList lines;
    QString problem;  // when not opened: why, and what to do, when the store can tell
};

// The user lines an import file brings, and what it held besides.
struct ImportLines {
    QList<QByteArray> lines;  // whole user lines of the current layout, in UTF-8
    qsizetype skipped = 0;    // lines with more than blanks that are no user's
    bool tooLarge = false;    // the file was not read
    // How reading the file went; the names that lost characters (CleanUserName); the users
    // left out because nothing of their name was left; the pupils of a file that brings too
    // many at once (none of them is imported).
    ReadOutcome read = ReadOutcome::Read;
    qsizetype namesCleaned = 0;
    qsizetype namesRefused = 0;
    qsizetype overLimit = 0;
};
struct ImportResult {
    qsizetype imported = 0;
    qsizetype skipped = 0;
    bool tooLarge = false;
    WriteOutcome outcome = WriteOutcome::Written;
};

// What a change of a pupil's figures makes of the figures she has (in the figures file's
// form; nothing when she has none yet).
struct FiguresStep {
    enum class Verdict {
        Write,       // `bytes` are her figures from now on
        LeaveAlone,  // what she has is not understood (a later version): nothing is written
        Damaged,     // what she has is damaged: it is set aside and the change asked again
    };
    Verdict verdict = Verdict::LeaveAlone;
    QByteArray bytes;
};
using FiguresUpdate = std::function<FiguresStep(const std::optional<QByteArray>& current)>;

class PupilStore;

// What a pupil is told when another program held the pupils for the whole wait, and when they
// cannot be written: "otro programa está usando el archivo de usuarios en este momento.".
QString BusyText(const PupilStore& store);
QString UnwritableText(const PupilStore& store);
// What the pupil is told, after the change that could not be made, of why it was not: the
// words above, or what the outcome or the store's reason says.
QString NotWrittenText(const PupilStore& store, const WriteResult& result);

class PupilStore {
  public:
    virtual ~PupilStore() = default;

    // Where the pupils are, for messages: "el archivo de usuarios" or the server's database.
    virtual QString Place() const = 0;
    // What the pupil is told when the pupils cannot be read, naming where they should be.
    virtual QString CannotReadText() const = 0;
    // What to look at when a change could not be written.
    virtual QString WhatToCheck() const = 0;

    // Before the users window lists the pupils: the users file puts a default one in place of
    // a missing or tiny file. True when it did (the window then lets the file settle).
    virtual bool PrepareList() = 0;
    virtual UserLines ReadUserLines() = 0;
    // The pupil of this id; nothing for an empty id, an id nobody has, or a store that cannot be
    // read.
    virtual std::optional<UserRecord> LoadUser(const QString& id) = 0;
    virtual bool UserIdExists(const QString& id) = 0;

    // Stores the pupil's place, results and mode under her id, her averageSpeed recomputed
    // first; nothing else changes. When it could not be written, nothing changed.
    virtual WriteResult SaveUser(UserRecord& user, const WhileRewriting& whileRewriting = {}) = 0;
    // Adds a new pupil: the name (through CleanUserName; nothing is added for a name left
    // without anything but spaces), the level, block 1, exercise 1, average 0, an empty
    // history, the mode and a new id, "ID-" + DateStamp (with a counter when that id is taken).
    // Returns the id, or empty text when nothing was written (`outcome` tells why).
    virtual QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                  WriteOutcome* outcome = nullptr) = 0;
    // Removes the pupil of this id with her figures, kept among the deleted pupils so that
    // importing them brings her back.
    virtual WriteResult DeleteUser(const QString& id,
                                   const WhileRewriting& whileRewriting = {}) = 0;

    // The lines of the pupils whose id is one of `ids`, in the order of `ids` (an id several
    // lines carry brings all of them, once each time it is listed).
    virtual QList<QByteArray> CollectUserLines(const QStringList& ids) = 0;
    // Adds each pupil of `import` under a new id, "ID-" and a number from 0 to 30000 that no
    // pupil has. A pupil whose line is exactly that of a deleted pupil gets back her figures.
    virtual ImportResult ImportUserLines(const ImportLines& import) = 0;

    // The pupil's figures as stored; nothing when she has none or they cannot be read.
    virtual std::optional<QByteArray> ReadFigures(const QString& id) = 0;
    // Changes the pupil's figures in one step with whatever another program wrote meanwhile:
    // `update` gets them as they stand at that moment. Nothing is written for an id the store
    // no longer holds. Waits at most `waitMs` for another program.
    virtual WriteResult ChangeFigures(const QString& id, const FiguresUpdate& update,
                                      int waitMs) = 0;
};

}  // namespace tz
