#include "content/course_data.h"

#include <QFile>

#include "platform/textfile.h"

void TipenzoInitAssets();

namespace tz {

namespace {

// A whole positive number written in plain digits; -1 otherwise.
int PositiveNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    for (const QChar c : text) {
        if (c < '0' || c > '9') return -1;
    }
    return ok && value > 0 ? value : -1;
}

QString LineError(int lineNumber, const QString& why) {
    return QStringLiteral("curso.txt, línea %1: %2").arg(lineNumber).arg(why);
}

}  // namespace

CourseTable ParseCourseText(const QString& text) {
    CourseTable table;
    const QStringList lines = SplitLines(text);
    int lineNumber = 0;
    for (const QString& line : lines) {
        ++lineNumber;
        if (line.startsWith('#') || line.trimmed().isEmpty()) continue;
        if (line.startsWith('=')) {
            if (table.levels.empty() || table.levels.back().blocks.empty()) {
                table.error = LineError(lineNumber, "ejercicio fuera de un BLOQUE");
                return table;
            }
            table.levels.back().blocks.back().entries.append(line.mid(1));
            continue;
        }
        // Lines that start a level or a block must close the block before them.
        if (!table.levels.empty() && !table.levels.back().blocks.empty() &&
            table.levels.back().blocks.back().entries.isEmpty()) {
            table.error = LineError(lineNumber, "el BLOQUE anterior no tiene ejercicios");
            return table;
        }
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        if (words.size() == 3 && words[0] == "NIVEL") {
            const int level = PositiveNumber(words[1]);
            const int speed = PositiveNumber(words[2]);
            if (level != static_cast<int>(table.levels.size()) + 1 || speed < 0) {
                table.error = LineError(lineNumber, "se esperaba NIVEL " +
                                                        QString::number(table.levels.size() + 1) +
                                                        " <velocidad>");
                return table;
            }
            if (!table.levels.empty() && table.levels.back().blocks.empty()) {
                table.error = LineError(lineNumber, "el NIVEL anterior no tiene bloques");
                return table;
            }
            table.levels.push_back(CourseLevel{speed, {}});
        } else if (words.size() == 2 && words[0] == "BLOQUE") {
            const int linesPerExercise = PositiveNumber(words[1]);
            if (table.levels.empty() || linesPerExercise < 0) {
                table.error = LineError(lineNumber, "BLOQUE sin NIVEL o sin número de líneas");
                return table;
            }
            table.levels.back().blocks.push_back(CourseBlock{linesPerExercise, {}});
        } else {
            table.error = LineError(lineNumber, "línea no reconocida");
            return table;
        }
    }
    if (!table.levels.empty() && table.levels.back().blocks.empty()) {
        table.error = LineError(lineNumber, "el último NIVEL no tiene bloques");
    } else if (!table.levels.empty() && table.levels.back().blocks.back().entries.isEmpty()) {
        table.error = LineError(lineNumber, "el último BLOQUE no tiene ejercicios");
    } else if (table.levels.empty()) {
        table.error = QStringLiteral("curso.txt no tiene ningún NIVEL");
    }
    return table;
}

const CourseTable& CourseData() {
    static const CourseTable table = [] {
        const QString name = QStringLiteral(":/curso.txt");
        // The resources of a static library are linked in only once registered.
        if (!QFile::exists(name)) TipenzoInitAssets();
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            CourseTable missing;
            missing.error = QStringLiteral("falta el recurso :/curso.txt");
            return missing;
        }
        return ParseCourseText(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

LoadedBlock LoadBlock(int level, int block) {
    LoadedBlock loaded;
    const auto& levels = CourseData().levels;
    if (level < 1 || level > static_cast<int>(levels.size())) return loaded;
    const CourseLevel& found = levels[static_cast<std::size_t>(level - 1)];
    loaded.blockCount = static_cast<int>(found.blocks.size());
    loaded.levelSpeed = found.speed;
    if (block < 1 || block > loaded.blockCount) return loaded;
    const CourseBlock& chosen = found.blocks[static_cast<std::size_t>(block - 1)];
    loaded.found = true;
    loaded.entries = chosen.entries;
    loaded.linesPerExercise = chosen.linesPerExercise;
    return loaded;
}

}  // namespace tz
