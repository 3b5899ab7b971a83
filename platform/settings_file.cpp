#include "platform/settings_file.h"

#include "platform/safe_files.h"
#include "platform/textfile.h"

namespace tz {

namespace {

constexpr qint64 kSettingsFileCap = 64 * 1024;

// The value after "=", as the usual INI readers take it: a ";" or "#" after a blank starts a
// comment; a value in double quotes is what stands between them, comment or not after them.
QString ValueOf(const QString& text) {
    QString value = text.trimmed();
    if (value.startsWith('"')) {
        const qsizetype close = value.indexOf('"', 1);
        if (close > 0) return value.mid(1, close - 1).trimmed();
    }
    for (qsizetype i = 0; i < value.size(); ++i) {
        if ((value[i] == ';' || value[i] == '#') && (i == 0 || value[i - 1].isSpace()))
            return value.left(i).trimmed();
    }
    return value;
}

}  // namespace

std::optional<SettingsSection> ReadSettingsSection(const QString& file, const QString& section) {
    // A settings file holds some lines: what lies past the cap is never looked at.
    const FileRead read = ReadRegularFile(file, kSettingsFileCap);
    if (!read.Ok() && read.outcome != ReadOutcome::TooLarge) return std::nullopt;
    QByteArray bytes = read.bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    // Notepad of older Windows saved in the ANSI code page.
    const QString text = DecodeText(bytes, GuessTextEncoding(read));
    std::optional<SettingsSection> found;
    bool inside = false;
    for (const QString& rawLine : SplitLines(text)) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            inside =
                line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            if (inside && !found) found = SettingsSection{file, {}};
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inside || equals < 0) continue;
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = ValueOf(line.mid(equals + 1));
        // The first of a key counts, as in the section's first appearance.
        if (!found->values.contains(key)) found->values.insert(key, value);
    }
    return found;
}

std::optional<SettingsSection> FindSettingsSection(const QStringList& files,
                                                   const QString& section) {
    for (const QString& file : files) {
        if (std::optional<SettingsSection> found = ReadSettingsSection(file, section)) return found;
    }
    return std::nullopt;
}

}  // namespace tz
