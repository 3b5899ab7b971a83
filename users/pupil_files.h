#pragma once
// Files of the data folder that belong to one pupil besides her line of the users file, and
// where a deleted pupil is kept: her line in "usuarios_borrados.tpz" (the export format, so
// "Importar Usuarios" brings her back) and her figures in the folder "usuarios_borrados".

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

#include "platform/folder_handle.h"
#include "users/pupil_store.h"
#include "users/user_record.h"

namespace tz {

inline const QString kFiguresFolderName = QStringLiteral("estadisticas");
inline const QString kDeletedPupilsName = QStringLiteral("usuarios_borrados.tpz");
inline const QString kDeletedFiguresFolderName = QStringLiteral("usuarios_borrados");

// "estadisticas/ID-....txt", relative to the data folder; empty for an id that is not "ID-"
// and digits, so that no id from a file can name a path of its own.
QString PupilFiguresName(const QString& id);

// A real pupil's figures take some kilobytes: a file far larger is no figures file, and is
// never read whole.
inline constexpr qint64 kLargestFiguresBytes = 8 * 1024 * 1024;

// The pupil's figures file as it stands; nothing when she has none, it cannot be read or it is
// not a file of ours.
std::optional<QByteArray> ReadPupilFiguresFile(const QString& id);
// Every figures file of the folder that can be read, by the id it belongs to.
QHash<QString, QByteArray> ReadEveryFiguresFile();
// Under the users-file lock (waiting at most `waitMs`): her figures file changed as `update`
// says. A damaged file, or anything but a file where hers should be, is set aside under a
// marked name, never overwritten. Nothing is written for an id the users file no longer holds.
WriteResult ChangePupilFiguresFile(const QString& id, const FiguresUpdate& update, int waitMs);

// What the file of deleted pupils keeps at most: the oldest go first.
inline constexpr qsizetype kMostDeletedPupilsBytes = 4 * 1024 * 1024;
// Adds the lines of a pupil about to be deleted to the file of deleted pupils. False when they
// could not be kept: the pupil must then stay. The caller holds the users-file lock.
bool KeepDeletedPupilLocked(const QList<QByteArray>& lines);

// A pupil's figures on their way among the deleted pupils': both folders are held from before
// her line leaves the users file until after. The caller holds the users-file lock.
class DeletedFigures {
  public:
    explicit DeletedFigures(const QString& id);
    // False when she has figures and the deleted pupils' folder cannot be had: she must stay.
    bool CanBeKept() const;
    // Moves her figures among the deleted pupils' (anything else under their name goes); true
    // when they are there or she had none.
    bool Keep();
    // Undoes Keep, for a deletion that could not be finished.
    void PutBack();
    // Why she cannot be deleted when CanBeKept is false, for the pupil.
    static QString WhyNot();

  private:
    QString name_;
    EntryKind kind_ = EntryKind::Missing;
    std::unique_ptr<FolderHandle> from_;
    std::unique_ptr<FolderHandle> to_;
    bool moved_ = false;
};

// The ids of the deleted pupils (their lines and their kept figures): no pupil may get one of
// them, or her figures would one day meet a deleted pupil's.
QSet<QString> DeletedPupilIds();

// A pupil as an import file brought her (with the id she had there) and the id she was
// imported under.
struct ImportedPupil {
    UserRecord brought;
    QString newId;
};
// Gives each imported pupil who is exactly one of the file of deleted pupils, her old id
// included, the figures she had when she was deleted. The caller holds the users-file lock.
void RestoreDeletedFiguresLocked(const QList<ImportedPupil>& imported);

}  // namespace tz
