#include "users/users_repair.h"

#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

namespace {

// "ID-" and digits: the id of a pupil that can be found again.
bool IsPlainId(const QString& id) {
    if (!id.startsWith(QStringLiteral("ID-")) || id.size() <= 3) return false;
    for (qsizetype i = 3; i < id.size(); ++i) {
        if (id[i] < u'0' || id[i] > u'9') return false;
    }
    return true;
}

}  // namespace

UsersFileRepair RepairUsersFile(const QByteArray& content) {
    UsersFileRepair repair;
    repair.lines.append(kUsersHeader.toUtf8());
    const QList<QByteArray> lines = SplitByteLines(content);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!IsUserLine(lines[i], i)) continue;
        if (IsUserLineOfCurrentLayout(lines[i])) {
            repair.lines.append(lines[i]);
            continue;
        }
        const QString id = LineId(lines[i]);
        if (!IsPlainId(id)) {
            ++repair.dropped;
            continue;
        }
        UserRecord pupil = ParseUserLine(QString::fromUtf8(lines[i]));
        pupil.id = id;
        repair.lines.append(FormatUserLine(pupil).toUtf8());
        ++repair.mended;
    }
    return repair;
}

}  // namespace tz
