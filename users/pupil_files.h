#pragma once
// Files of the data folder that belong to one pupil besides her line of the users file, and
// where a deleted pupil is kept: her line in "usuarios_borrados.tpz" (the export format, so
// "Importar Usuarios" brings her back) and her figures in the folder "usuarios_borrados".

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

inline const QString kFiguresFolderName = QStringLiteral("estadisticas");
inline const QString kDeletedPupilsName = QStringLiteral("usuarios_borrados.tpz");
inline const QString kDeletedFiguresFolderName = QStringLiteral("usuarios_borrados");

// "estadisticas/ID-....txt", relative to the data folder; empty for an id that is not "ID-"
// and digits, so that no id from a file can name a path of its own.
QString PupilFiguresName(const QString& id);

// Adds the lines of a pupil about to be deleted to the file of deleted pupils. False when they
// could not be kept: the pupil must then stay. The caller holds the users-file lock.
bool KeepDeletedPupilLocked(const QList<QByteArray>& lines);
// Moves a deleted pupil's figures among the deleted pupils' (a figures file left over from a
// save that was cut short goes). The caller holds the users-file lock.
void KeepDeletedFiguresLocked(const QString& id);
// A line read from an import file and the id it was imported under.
struct ImportedLine {
    QByteArray line;
    QString newId;
};
// Gives each imported pupil whose line is exactly one of the file of deleted pupils the figures
// she had when she was deleted. The caller holds the users-file lock.
void RestoreDeletedFiguresLocked(const QList<ImportedLine>& imported);

}  // namespace tz
