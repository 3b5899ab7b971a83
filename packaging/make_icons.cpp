// Draws the icons the install puts in the hicolor theme: a PNG for every size given and the
// scalable SVG, all from the program's own drawing of its mark.
//
//     tipenzo10_icons <folder> <icon name> <size>...
//
// writes <folder>/<size>x<size>/apps/<icon name>.png and <folder>/scalable/apps/<icon name>.svg.
//
//     tipenzo10_icons --ico <file> <size>...
//
// writes one Windows icon file holding the mark at every size given.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "app/icon_mark.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

bool ParseSizes(const QStringList& arguments, qsizetype first, QList<int>& sizes) {
    for (qsizetype i = first; i < arguments.size(); ++i) {
        bool number = false;
        const int size = arguments[i].toInt(&number);
        if (!number || size < 8 || size > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", qPrintable(arguments[i]));
            return false;
        }
        sizes.append(size);
    }
    return !sizes.isEmpty();
}

void AppendLittleEndian(QByteArray& bytes, quint32 value, int width) {
    for (int i = 0; i < width; ++i) bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// An icon file of PNG images, as Windows reads them since Vista: a header, one directory
// entry per image, then the images.
QByteArray IconFile(const QList<int>& sizes) {
    QList<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tz::DrawIconMark(size).save(&buffer, "PNG");
        images.append(png);
    }
    QByteArray file;
    AppendLittleEndian(file, 0, 2);  // reserved
    AppendLittleEndian(file, 1, 2);  // an icon, not a cursor
    AppendLittleEndian(file, static_cast<quint32>(images.size()), 2);
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const quint32 side = sizes[i] >= 256 ? 0 : static_cast<quint32>(sizes[i]);
        AppendLittleEndian(file, side, 1);
        AppendLittleEndian(file, side, 1);
        AppendLittleEndian(file, 0, 2);   // no palette, reserved
        AppendLittleEndian(file, 1, 2);   // colour planes
        AppendLittleEndian(file, 32, 2);  // bits per pixel
        AppendLittleEndian(file, static_cast<quint32>(images[i].size()), 4);
        AppendLittleEndian(file, offset, 4);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images) file.append(image);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 4 && arguments[1] == QLatin1String("--ico")) {
        QList<int> sizes;
        if (!ParseSizes(arguments, 3, sizes)) return 2;
        // An icon file gives width and height in one byte each (0 for 256).
        if (std::any_of(sizes.begin(), sizes.end(), [](int size) { return size > 256; })) {
            std::fprintf(stderr, "an icon file holds sizes up to 256\n");
            return 2;
        }
        if (!WriteFile(arguments[2], IconFile(sizes))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
            return 1;
        }
        return 0;
    }
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: tipenzo10_icons <folder> <icon name> <size>...\n");
        return 2;
    }
    const QString folder = arguments[1];
    const QString name = arguments[2];
    QList<int> sizes;
    if (!ParseSizes(arguments, 3, sizes)) return 2;
    for (const int size : sizes) {
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
