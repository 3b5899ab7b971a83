#pragma once
// The PictureTable: every picture the windows show, by number.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "platform/picture_names.h"

namespace tz {

void RegisterPicture(int number, const QImage& image);
bool PictureExists(int number);
// The picture under `number`; an empty image when none is registered.
QImage& Picture(int number);
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
