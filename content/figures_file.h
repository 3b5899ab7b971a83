#pragma once
// A pupil's running figures, as the store keeps them (with the users file, a file of their own,
// "estadisticas/<id>.txt" in the data folder): UTF-8, CR LF, a header with the format's version,
// then one line per character, finger, confusion and attempt. Missing or damaged figures count
// as none.

#include <QByteArray>
#include <QString>
#include <optional>

#include "exercise/keystroke_figures.h"
#include "users/pupil_store.h"
#include "users/users_file.h"

namespace tz {

inline const QString kFiguresHeaderStart = QStringLiteral("TIPENZO 10 estadísticas|");
inline constexpr int kFiguresVersion = 1;
inline const QString kFiguresHeader = kFiguresHeaderStart + QString::number(kFiguresVersion);

QByteArray FormatFiguresFile(const PupilFigures& figures);
// Nothing when the bytes are not a figures file of this version, down to the last line.
std::optional<PupilFigures> ParseFiguresFile(const QByteArray& bytes);
// Figures written by a later version of the program: not understood, so never replaced.
bool IsOfLaterVersion(const QByteArray& bytes);

// The pupil's figures in the store; empty for none, unreadable or damaged ones, or an unusable
// id.
PupilFigures LoadPupilFigures(PupilStore& store, const QString& id);

// Adds one attempt's figures to the pupil's, read in the same step as they are written so
// figures another program wrote meanwhile stay. Damaged figures are set aside and hers start
// again; figures of a later version are left alone and nothing is added. Nothing is written for
// an id the store no longer holds.
WriteResult AddPupilFigures(PupilStore& store, const QString& id, const PupilFigures& attempt,
                            int lockWaitMs = kUsersLockWaitMs);

// What the exercise run calls after every attempt. Figures are extra: whatever goes wrong here
// never touches the attempt's verdict or progress, and the run only tells the pupil. An attempt
// without a keystroke writes nothing and counts as written.
WriteResult RecordAttemptFigures(PupilStore& store, const QString& id, const KeystrokeLog& log);

}  // namespace tz
