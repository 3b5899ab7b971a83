#include "users/users_transfer.h"

#include <QSaveFile>

#include "users/users_file.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// The first `count` fields of a line, without the rest.
QByteArray FirstFields(const QByteArray& line, int count) {
    qsizetype end = -1;
    for (int i = 0; i < count; ++i) {
        end = line.indexOf('|', end + 1);
        if (end < 0) return line;
    }
    return line.left(end);
}

}  // namespace

bool WriteExportFile(const QString& path, const QList<UserRecord>& pupils) {
    QByteArray bytes;
    for (const UserRecord& pupil : pupils) bytes += FormatUserLine(pupil).toUtf8() + "\r\n";
    QSaveFile file(path);
    // Some removable drives refuse the temporary file beside the target.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

ImportFile ReadImportFile(const QString& path) {
    ImportFile import;
    const FileRead source = ReadRegularFile(path, kImportFileCap);
    import.read = source.outcome;
    if (!source.Ok()) return import;
    QByteArray content = source.bytes;
    if (content.startsWith(kByteOrderMark)) content.remove(0, kByteOrderMark.size());
    for (const QByteArray& line : SplitByteLines(content)) {
        // A blank line (often one left at the end by an editor) is no user.
        if (line.trimmed().isEmpty()) continue;
        // A line written by hand in an older editor's code page comes in as the text it shows.
        const QByteArray utf8 = LineAsUtf8(line);
        // Anything else that is not a whole user line would enter the class damaged.
        if (!IsUserLineOfCurrentLayout(FirstFields(utf8, 17))) {
            ++import.skipped;
            continue;
        }
        const QString text = QString::fromUtf8(utf8);
        UserRecord pupil = ParseUserLine(text);
        pupil.id = LineId(utf8);
        // Cleaned again from the line as it came, to tell how many names were mended.
        bool changed = false;
        pupil.name = CleanUserName(UserLineField(text, UserField::Name), &changed);
        if (TrimSpaces(pupil.name).isEmpty()) {
            ++import.namesRefused;
            continue;
        }
        // Past its name, a line far longer than a pupil's is none (a mode of megabytes).
        const qsizetype bar = utf8.indexOf('|');
        if (pupil.name.toUtf8().size() + FirstFields(utf8, 16).size() - bar >
            kLongestImportedLine) {
            ++import.skipped;
            continue;
        }
        import.namesCleaned += changed;
        import.pupils.append(pupil);
    }
    if (import.pupils.size() > kMostImportedPupils) {
        import.overLimit = import.pupils.size();
        import.pupils.clear();
    }
    return import;
}

}  // namespace tz
