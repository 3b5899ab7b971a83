#include "users/pupil_store.h"

#include <QDir>
#include <functional>
#include <limits>

#include "platform/clock.h"
#include "platform/files.h"

namespace tz {

QString BusyText(const PupilStore& store) {
    return QStringLiteral("otro programa está usando ") + store.Place() +
           QStringLiteral(" en este momento.");
}

QString UnwritableText(const PupilStore& store) {
    return store.Place() + QStringLiteral(" no se puede escribir.");
}

QString NotWrittenText(const PupilStore& store, const WriteResult& result) {
    switch (result.outcome) {
        case WriteOutcome::Busy:
            return BusyText(store);
        case WriteOutcome::UserGone:
            return QStringLiteral("ya no está en ") + store.Place() +
                   QStringLiteral(", porque otro programa lo ha eliminado.");
        case WriteOutcome::LockDenied:
            return QStringLiteral("esta cuenta no puede usar ") + kUsersLockName +
                   QStringLiteral(
                       ", el archivo con el que los programas se turnan para cambiar los "
                       "usuarios, en la carpeta de datos:\n") +
                   QDir::toNativeSeparators(QDir::cleanPath(DataFolder())) +
                   QStringLiteral(
                       "\nPida a quien administra este equipo permiso de escritura "
                       "sobre esa carpeta y ese archivo.");
        case WriteOutcome::Written:
        case WriteOutcome::Failed:
            break;
    }
    return result.reason.isEmpty() ? UnwritableText(store) : result.reason;
}

namespace {

// The first of the candidates that the claim gives; empty when a claim fails or `tries` are
// taken.
QString FirstGiven(const ClaimId& claim, const std::function<QString(int)>& candidate, int tries) {
    for (int k = 0; k < tries; ++k) {
        const QString id = candidate(k);
        switch (claim(id)) {
            case IdClaim::Given:
                return id;
            case IdClaim::Failed:
                return QString();
            case IdClaim::Taken:
                break;
        }
    }
    return QString();
}

}  // namespace

QString GiveNewPupilId(const ClaimId& claim) {
    const QString stamp = QStringLiteral("ID-") + MakeDateStamp();
    // The ids taken are finitely many: one of these is free long before the last.
    return FirstGiven(
        claim,
        [&stamp](int counter) { return counter == 0 ? stamp : stamp + QString::number(counter); },
        std::numeric_limits<int>::max());
}

QString GiveImportedPupilId(const ClaimId& claim) {
    return FirstGiven(
        claim, [](int) { return QStringLiteral("ID-") + QString::number(RandomInt(0, 30000)); },
        kMostImportIdDraws);
}

QList<UserRecord> PupilsOf(PupilStore& store, const QStringList& ids) {
    QList<UserRecord> chosen;
    if (ids.isEmpty()) return chosen;
    const QList<UserRecord> pupils = store.Pupils().pupils;
    QHash<QString, QList<qsizetype>> at;
    for (qsizetype i = 0; i < pupils.size(); ++i) at[pupils[i].id].append(i);
    for (const QString& id : ids) {
        for (const qsizetype i : at.value(id)) chosen.append(pupils[i]);
    }
    return chosen;
}

}  // namespace tz
