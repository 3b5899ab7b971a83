#pragma once
// Files of the data folder that belong to one pupil besides her line of the users file: they go
// when she is deleted.

#include <QString>

namespace tz {

inline const QString kFiguresFolderName = QStringLiteral("estadisticas");

// "estadisticas/ID-....txt", relative to the data folder; empty for an id that is not "ID-"
// and digits, so that no id from a file can name a path of its own.
QString PupilFiguresName(const QString& id);

// Removes the pupil's figures file (and a temporary copy left by a save that was cut short).
// The caller holds the users-file lock.
void RemovePupilFilesLocked(const QString& id);

}  // namespace tz
