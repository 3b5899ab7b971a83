// Draws the icons the install puts in the hicolor theme: a PNG for every size given and the
// scalable SVG, all from the program's own drawing of its mark.
//
//     tipenzo10_icons <folder> <icon name> <size>...
//
// writes <folder>/<size>x<size>/apps/<icon name>.png and <folder>/scalable/apps/<icon name>.svg.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "app/icon_mark.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: tipenzo10_icons <folder> <icon name> <size>...\n");
        return 2;
    }
    const QString folder = arguments[1];
    const QString name = arguments[2];
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        bool number = false;
        const int size = arguments[i].toInt(&number);
        if (!number || size < 8 || size > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", qPrintable(arguments[i]));
            return 2;
        }
        const QString path = QStringLiteral("%1/%2x%2/apps/%3.png").arg(folder).arg(size).arg(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!tz::DrawIconMark(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString svg = QStringLiteral("%1/scalable/apps/%2.svg").arg(folder, name);
    if (!WriteFile(svg, tz::IconMarkSvg())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
        return 1;
    }
    return 0;
}
