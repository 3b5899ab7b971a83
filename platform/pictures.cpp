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

std::map<int, QImage>& Table() {
    static std::map<int, QImage> table;
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
    Table()[number] = image;
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
    return it->second;
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
