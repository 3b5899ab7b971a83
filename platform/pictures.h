#pragma once
// The PictureTable: every picture the windows show, by number.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

#include "platform/picture_names.h"

namespace tz {

// Pictures keep their sizes in logical pixels (what the windows are laid out in) and are painted
// for the screen's device pixel ratio, so that they are as sharp as Qt's own text at 150 or
// 200 %: create them with NewPicture and paint them with QPainter in logical coordinates.
void SetPictureScale(qreal scale);
qreal PictureScale();
// A picture of width x height logical pixels at the picture scale, not yet filled.
QImage NewPicture(int width, int height, QImage::Format format = QImage::Format_RGB32);
inline QImage NewPicture(QSize size, QImage::Format format = QImage::Format_RGB32) {
    return NewPicture(size.width(), size.height(), format);
}
// A picture's size in logical pixels.
QSize LogicalSize(const QImage& picture);
// The picture shown at another logical size, smoothly scaled at the picture scale.
QImage ScaledPicture(const QImage& picture, int width, int height);

void RegisterPicture(int number, const QImage& image);
// Registers how to paint a picture: it is painted when it is first asked for, so that start-up
// paints only what its first window shows.
void RegisterPictureMaker(int number, std::function<QImage()> make);
bool PictureExists(int number);
// The picture under `number` (painted now if it has not been yet); an empty image when none is
// registered.
QImage& Picture(int number);
// Lets go of every painted picture that can be painted again (no window needs them: each keeps
// its own copy of what it shows); pictures registered as images, such as work copies, stay.
void ReleasePaintedPictures();
// How many pictures are painted and held now.
int PaintedPictureCount();
inline QImage& Picture(PictureName name) {
    return Picture(PictureNumber(name));
}
int LowestFreePicture();
// Copies a picture under the lowest free number and returns that number.
int CopyPicture(int from);
inline int CopyPicture(PictureName from) {
    return CopyPicture(PictureNumber(from));
}
// Creates an empty (white) picture under the lowest free number and returns that number.
int CreateEmptyPicture(int width, int height);
void FreePicture(int number);
void FreeAllPictures();

// Draws text with a transparent background at (x, y), the top of the text, and returns the
// horizontal position where the text ends.
int DrawTextOn(QImage& picture, int x, int y, const QString& text, const QFont& font,
               const QColor& color);
// Where text drawn at x would end, without drawing.
int TextEnd(int x, const QString& text, const QFont& font);

}  // namespace tz
