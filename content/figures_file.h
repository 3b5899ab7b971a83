#pragma once
// A pupil's running figures in a file of their own, "estadisticas/<id>.txt" in the data folder:
// UTF-8, CR LF, a header with the format's version, then one line per character, finger,
// confusion and attempt. Written under the users-file lock through a temporary file, so the file
// is always either the old or the new one. A missing or damaged file counts as no figures.

#include <QByteArray>
#include <QString>
#include <optional>

#include "exercise/keystroke_figures.h"
#include "users/users_file.h"

namespace tz {

inline const QString kFiguresHeaderStart = QStringLiteral("TIPENZO 10 estadísticas|");
inline constexpr int kFiguresVersion = 1;
inline const QString kFiguresHeader = kFiguresHeaderStart + QString::number(kFiguresVersion);

QByteArray FormatFiguresFile(const PupilFigures& figures);
// Nothing when the bytes are not a figures file of this version, down to the last line.
std::optional<PupilFigures> ParseFiguresFile(const QByteArray& bytes);

// The pupil's figures; empty for a missing, unreadable or damaged file, or an unusable id.
PupilFigures LoadPupilFigures(const QString& id);

// Adds one attempt's figures to the pupil's, re-reading her file under the lock so figures
// another program wrote meanwhile stay. A damaged file (or anything but a file) is set aside
// under a marked name and her figures start again; a file of a later version is left alone and
// nothing is added. Nothing is written for an id the users file no longer holds.
WriteResult AddPupilFigures(const QString& id, const PupilFigures& attempt,
                            int lockWaitMs = kUsersLockWaitMs);

// What the exercise run calls after every attempt with at least one keystroke. Figures are
// extra: whatever goes wrong here never touches the attempt's verdict or progress.
void RecordAttemptFigures(const QString& id, const KeystrokeLog& log);

}  // namespace tz
