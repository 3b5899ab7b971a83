#include "platform/pictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <map>

namespace tz {

namespace {
qreal& Scale() {
    static qreal scale = 1;
    return scale;
}

// A picture: its image once painted (or registered as an image), and how to paint it again.
struct Entry {
    QImage image;
    bool painted = false;
    std::function<QImage()> make;
};

std::map<int, Entry>& Table() {
    static std::map<int, Entry> table;
    return table;
}
}  // namespace

void SetPictureScale(qreal scale) {
    Scale() = scale > 0 ? scale : 1;
}

qreal PictureScale() {
    return Scale();
}

QImage NewPicture(int width, int height, QImage::Format format) {
    const qreal scale = Scale();
    QImage image(qRound(width * scale), qRound(height * scale), format);
    image.setDevicePixelRatio(scale);
    return image;
}

QSize LogicalSize(const QImage& picture) {
    return picture.deviceIndependentSize().toSize();
}

QImage ScaledPicture(const QImage& picture, int width, int height) {
    const qreal scale = Scale();
    QImage scaled = picture.scaled(qRound(width * scale), qRound(height * scale),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(scale);
    return scaled;
}

void RegisterPicture(int number, const QImage& image) {
    Table()[number] = Entry{image, true, {}};
}

void RegisterPictureMaker(int number, std::function<QImage()> make) {
    Table()[number] = Entry{QImage(), false, std::move(make)};
}

bool PictureExists(int number) {
    return Table().count(number) != 0;
}

QImage& Picture(int number) {
    static QImage none;
    auto it = Table().find(number);
    if (it == Table().end()) {
        none = QImage();
        return none;
    }
    Entry& entry = it->second;
    if (!entry.painted) {
        // A maker may ask for other pictures (a copy paints its original): the table's entries
        // stay where they are meanwhile.
        entry.image = entry.make ? entry.make() : QImage();
        entry.painted = true;
    }
    return entry.image;
}

void ReleasePaintedPictures() {
    for (auto& [number, entry] : Table()) {
        if (entry.make && entry.painted) {
            entry.image = QImage();
            entry.painted = false;
        }
    }
}

int PaintedPictureCount() {
    int painted = 0;
    for (const auto& [number, entry] : Table()) painted += entry.painted && !entry.image.isNull();
    return painted;
}

int LowestFreePicture() {
    int number = 1;
    while (PictureExists(number)) ++number;
    return number;
}

int CopyPicture(int from) {
    const int number = LowestFreePicture();
    QImage copy = Picture(from).copy();
    RegisterPicture(number, copy);
    return number;
}

int CreateEmptyPicture(int width, int height) {
    const int number = LowestFreePicture();
    QImage image = NewPicture(width, height);
    image.fill(Qt::white);
    RegisterPicture(number, image);
    return number;
}

void FreePicture(int number) {
    Table().erase(number);
}

void FreeAllPictures() {
    Table().clear();
}

int TextEnd(int x, const QString& text, const QFont& font) {
    return x + QFontMetrics(font).horizontalAdvance(text);
}

int DrawTextOn(QImage& picture, int x, int y, const QString& text, const QFont& font,
               const QColor& color) {
    if (!picture.isNull() && !text.isEmpty()) {
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(color);
        const QFontMetrics metrics(font);
        painter.drawText(x, y + metrics.ascent(), text);
    }
    return TextEnd(x, text, font);
}

}  // namespace tz
