#include "users/users_transfer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// Enough draws to find a free id unless nearly all 30001 are taken; the import stops there
// rather than loop for ever.
constexpr int kMaxIdDraws = 1000;

QByteArray JoinWithLineEnds(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    return bytes;
}

// Writes the whole file or leaves an existing one as it was.
bool WriteExportFile(const QString& path, const QByteArray& bytes) {
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

// Appends the lines to the users file in one write. A missing or empty users file gets the
// header first (otherwise the first imported user would be read as the header and vanish),
// and a last line without its line end gets one, so no two users share a line.
bool AppendToUsersFile(const QList<QByteArray>& lines) {
    QFile file(DataPath(kUsersFileName));
    if (!file.open(QIODevice::ReadWrite)) return false;
    QByteArray content = file.readAll();
    if (content.startsWith(kByteOrderMark)) content.remove(0, kByteOrderMark.size());
    QByteArray bytes;
    if (content.isEmpty()) {
        bytes += kUsersHeader.toUtf8() + "\r\n";
    } else if (!content.endsWith('\r') && !content.endsWith('\n')) {
        bytes += "\r\n";
    }
    bytes += JoinWithLineEnds(lines);
    if (!file.seek(file.size())) return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

QList<QByteArray> CollectUserLines(const QStringList& ids) {
    QList<QByteArray> collected;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return collected;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (const QString& id : ids) {
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (ByteLineField(lines[i], 17) == id) collected.append(lines[i]);
        }
    }
    return collected;
}

QByteArray MakeImportedLine(const QByteArray& line, const QString& id) {
    const QList<QByteArray> fields = line.split('|');
    QByteArray result;
    for (int k = 0; k < 16; ++k) {
        if (k < fields.size()) result += fields[k];
        result += '|';
    }
    return result + id.toUtf8();
}

QString DrawImportId(const QStringList& taken) {
    for (int draw = 0; draw < kMaxIdDraws; ++draw) {
        const QString id = QStringLiteral("ID-") + QString::number(RandomInt(0, 30000));
        if (!taken.contains(id) && !UserIdExists(id)) return id;
    }
    return QString();
}

void ExportUsers(const QStringList& markedIds) {
    const QList<QByteArray> lines = CollectUserLines(markedIds);
    if (lines.isEmpty()) {
        Tell(QStringLiteral("Atención"),
             QStringLiteral("No hay ningún usuario marcado para la exportación"),
             DialogIcon::Exclamation);
        return;
    }
    const QString path = SaveFileDialog(kExportTitle, kTransferFilter, kExportProposedName);
    if (path.isEmpty()) return;
    const QString bareName = QFileInfo(path).fileName();
    if (!WriteExportFile(path, JoinWithLineEnds(lines))) {
        Tell(QStringLiteral("Resultados de la exportación de usuarios"),
             QStringLiteral("No se pudo escribir el archivo:\n\n") + bareName +
                 QStringLiteral("\n\nNo se ha exportado ningún usuario. Compruebe que la "
                                "carpeta existe y que se puede escribir en ella."),
             DialogIcon::Exclamation);
        return;
    }
    Tell(QStringLiteral("Resultados de la exportación de usuarios"),
         QString::number(lines.size()) + QStringLiteral(" usuarios fueron exportados a:\n\n") +
             bareName,
         DialogIcon::Information);
}

void ImportUsers(const std::function<void()>& reloadList) {
    // The file-name box starts empty: "*.tpz" is a pattern, not a name.
    const QString path = OpenFileDialog(kImportTitle, kTransferFilter, QString());
    if (path.isEmpty()) return;

    QList<QByteArray> newLines;
    QFile source(path);
    if (source.open(QIODevice::ReadOnly)) {
        QByteArray content = source.readAll();
        source.close();
        if (content.startsWith(kByteOrderMark)) content.remove(0, kByteOrderMark.size());
        QStringList drawn;
        for (const QByteArray& line : SplitByteLines(content)) {
            // A blank line (often one left at the end by an editor) is no user.
            if (line.trimmed().isEmpty()) continue;
            const QString id = DrawImportId(drawn);
            if (id.isEmpty()) break;
            drawn.append(id);
            newLines.append(MakeImportedLine(line, id));
        }
    }
    qsizetype imported = 0;
    if (!newLines.isEmpty() && AppendToUsersFile(newLines)) imported = newLines.size();

    if (reloadList) reloadList();
    Tell(QStringLiteral("Resultados de la Importación de usuarios"),
         QString::number(imported) + QStringLiteral(" usuarios fueron importados"),
         DialogIcon::Information);
}

}  // namespace tz
