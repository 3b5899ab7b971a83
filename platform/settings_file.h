#pragma once
// "tipenzo10.ini", the settings file a school writes by hand (in any editor, any encoding):
// sections in brackets, "key=value" lines, ";" and "#" comments, on a line of their own or
// after a value and a blank. Names of sections and keys are matched without regard to case; a
// value in double quotes loses them (and keeps any ";" or "#" inside).

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace tz {

struct SettingsSection {
    QString file;                   // the settings file it was read from
    QMap<QString, QString> values;  // keys in lower case
    QString Value(const QString& key) const { return values.value(key.toLower()); }
};

// The keys of `section` in the file; nothing when the file cannot be read or has no such
// section. Only the first 64 KiB of the file count.
std::optional<SettingsSection> ReadSettingsSection(const QString& file, const QString& section);

// The section from the first of `files` that has it.
std::optional<SettingsSection> FindSettingsSection(const QStringList& files,
                                                   const QString& section);

}  // namespace tz
