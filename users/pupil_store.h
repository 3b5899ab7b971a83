#pragma once
// Where pupils, their progress and their keystroke figures are kept: the users file of the
// data folder (the default) or a school's PostgreSQL server named in "tipenzo10.ini". The
// screens, the exercise run, the analysis, import and export and the class report talk to this
// interface only and cannot tell which store serves them. Pupils travel as UserRecords, each
// with her id; how a store writes them down is its own business.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

// The pupils of a store, in the order they were added.
struct PupilList {
    bool opened = false;  // false when the store could not be read
    QList<UserRecord> pupils;
    QString problem;  // when not opened: why, and what to do, when the store can tell
};

struct ImportResult {
    qsizetype imported = 0;
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

// How a store answers for an id it was offered for a pupil.
enum class IdClaim {
    Given,  // the pupil has it now
    Taken,  // a pupil has it, or had it before she was deleted
    Failed,
};
using ClaimId = std::function<IdClaim(const QString& id)>;
// The id of a new pupil: "ID-" + the DateStamp of now, or, when that is taken, with the lowest
// counter 1, 2, ... appended (still "ID-" and digits). Empty when a claim failed.
QString GiveNewPupilId(const ClaimId& claim);
// Draws that find no free id end an import rather than go on for ever.
inline constexpr int kMostImportIdDraws = 1000;
// The id of an imported pupil: "ID-" + a number from 0 to 30000 drawn at random, until one is
// given. Empty when a claim failed or kMostImportIdDraws draws found none free.
QString GiveImportedPupilId(const ClaimId& claim);

class PupilStore {
  public:
    virtual ~PupilStore() = default;

    // Where the pupils are, for messages: "el archivo de usuarios" or the server's database.
    virtual QString Place() const = 0;
    // What the pupil is told when the pupils cannot be read, naming where they should be.
    virtual QString CannotReadText() const = 0;
    // What to look at when a change could not be written.
    virtual QString WhatToCheck() const = 0;

    // Before any window opens: what a run that did not end properly or a damaged store left
    // is settled, asking the pupil where the store needs to. False when she chose to end the
    // program.
    virtual bool CheckAtStart() { return true; }
    // While the splash shows: pupils kept in an older form are brought to the current one.
    virtual void UpgradeAtStart() {}
    // The program's orderly end.
    virtual void Leave() {}

    // The pupils as they stand, each with her id; reads only.
    virtual PupilList Pupils() = 0;
    // The pupils to choose from in the users window: a store that stands empty for want of
    // its file gets the default pupil first.
    virtual PupilList PupilsToChoose() { return Pupils(); }
    // The pupil of this id; nothing for an empty id, an id nobody has, or a store that cannot be
    // read.
    virtual std::optional<UserRecord> LoadUser(const QString& id) = 0;

    // Stores the pupil's place, results and mode under her id, her averageSpeed recomputed
    // first; nothing else changes. When it could not be written, nothing changed.
    virtual WriteResult SaveUser(UserRecord& user) = 0;
    // Adds a new pupil: the name (through CleanUserName; nothing is added for a name left
    // without anything but spaces), the level, block 1, exercise 1, average 0, an empty
    // history, the mode and a new id (GiveNewPupilId). Returns the id, or empty text when
    // nothing was written (`outcome` tells why).
    virtual QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                  WriteOutcome* outcome = nullptr) = 0;
    // Removes the pupil of this id with her figures, kept among the deleted pupils so that
    // importing them brings her back.
    virtual WriteResult DeleteUser(const QString& id) = 0;
    // Adds each pupil (names through CleanUserName; one left without a name is not added)
    // under a new id (GiveImportedPupilId). A pupil exactly as she was deleted, her old id
    // included, gets back her figures. All or nothing.
    virtual ImportResult ImportPupils(const QList<UserRecord>& pupils) = 0;

    // The pupil's figures as stored; nothing when she has none or they cannot be read.
    virtual std::optional<QByteArray> ReadFigures(const QString& id) = 0;
    // The figures of every pupil that has any, by id, read at once (the class report).
    virtual QHash<QString, QByteArray> ReadClassFigures() = 0;
    // Changes the pupil's figures in one step with whatever another program wrote meanwhile:
    // `update` gets them as they stand at that moment. Nothing is written for an id the store
    // no longer holds. Waits at most `waitMs` for another program.
    virtual WriteResult ChangeFigures(const QString& id, const FiguresUpdate& update,
                                      int waitMs) = 0;
};

// The pupils of the store whose id is one of `ids`, in the order of `ids` (an id several pupils
// carry brings all of them, once each time it is listed); read in one go.
QList<UserRecord> PupilsOf(PupilStore& store, const QStringList& ids);

}  // namespace tz
