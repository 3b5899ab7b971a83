#include "users/pupil_files.h"

#include "platform/files.h"

namespace tz {

namespace {

bool IsPlainId(const QString& id) {
    if (!id.startsWith(QStringLiteral("ID-")) || id.size() <= 3 || id.size() > 40) return false;
    for (qsizetype i = 3; i < id.size(); ++i) {
        if (id[i] < u'0' || id[i] > u'9') return false;
    }
    return true;
}

}  // namespace

QString PupilFiguresName(const QString& id) {
    if (!IsPlainId(id)) return QString();
    return kFiguresFolderName + u'/' + id + QStringLiteral(".txt");
}

void RemovePupilFilesLocked(const QString& id) {
    const QString name = PupilFiguresName(id);
    if (name.isEmpty()) return;
    RemoveFile(DataPath(name));
    RemoveFile(DataPath(name + QStringLiteral(".tmp")));
}

}  // namespace tz
