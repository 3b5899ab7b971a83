#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>

namespace tz {

QStringList SplitLines(const QString& text) {
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) lines.append(current);
    return lines;
}

TextFileLines ReadTextLines(const QString& path) {
    TextFileLines result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return result;
    result.opened = true;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    result.lines = SplitLines(QString::fromUtf8(bytes));
    return result;
}

QByteArray EncodeLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteTextLinesAtomically(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = EncodeLines(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool WriteTextLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = EncodeLines(lines);
    return file.write(bytes) == bytes.size() && file.flush();
}

bool AppendTextLine(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray bytes = EncodeLines({line});
    return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace tz
