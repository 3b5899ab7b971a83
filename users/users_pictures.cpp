#include "users/users_pictures.h"

#include "platform/drawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tz {

namespace {

const QColor kSand(238, 220, 188);
const QColor kSandLine(226, 204, 166);
const QColor kKeyEdge(205, 176, 134);
const QColor kKeyFace(243, 229, 203);
const QColor kKeyLetter(196, 164, 120);

// One faint key cap of the background.
void DrawKeyCap(QPainter& painter, const QRectF& key, const QString& letter) {
    painter.setPen(QPen(kKeyEdge, 1));
    painter.setBrush(kKeyFace);
    painter.drawRoundedRect(key, 3.5, 3.5);
    // The lower lip of a key cap.
    painter.setPen(QPen(kSandLine.darker(104), 1));
    painter.drawLine(QPointF(key.left() + 3, key.bottom() - 2.5),
                     QPointF(key.right() - 3, key.bottom() - 2.5));
    painter.setPen(kKeyLetter);
    painter.setFont(ArialPixels(static_cast<int>(key.height() * 0.5), true));
    painter.drawText(key.adjusted(0, -1, 0, -2), Qt::AlignCenter, letter);
}

}  // namespace

// Warm paper with a fine diagonal weave and scattered key caps of the home row. Every
// element repeats every 160 pixels both ways, so picture 30 (this pattern's first 160 x 160
// square) tiles without a seam.
QImage DrawUsersBackground(int width, int height) {
    constexpr int kPeriod = 160;
    QImage image = NewPicture(width, height);
    image.fill(kSand);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Diagonals 8 and 16 pixels apart, both dividing the period. Each runs past the canvas
    // so that no line end falls inside it.
    painter.setPen(QPen(kSandLine, 1));
    for (int k = -((height + 15) / 8) * 8; k <= width + 8; k += 8) {
        painter.drawLine(QPointF(k - 8, -8), QPointF(k + height + 8, height + 8));
    }
    painter.setPen(QPen(QColor(242, 227, 199), 1));
    for (int k = 4 - 16; k <= width + height + 16; k += 16) {
        painter.drawLine(QPointF(k + 8, -8), QPointF(k - height - 8, height + 8));
    }

    struct TileKey {
        double x, y, size;
        const char* letter;
    };
    // Placed by hand so that no two overlap, within a period and across its edges.
    static const TileKey keys[] = {
        {12, 14, 22, "A"},  {78, 6, 20, "S"},  {136, 40, 22, "D"}, {44, 58, 20, "F"},
        {100, 84, 22, "J"}, {8, 104, 20, "K"}, {62, 124, 22, "L"}, {124, 130, 20, "Ñ"},
    };
    const QRectF canvas(0, 0, width, height);
    for (int top = -kPeriod; top < height; top += kPeriod) {
        for (int left = -kPeriod; left < width; left += kPeriod) {
            for (const TileKey& key : keys) {
                const QRectF cap(left + key.x, top + key.y, key.size, key.size);
                if (cap.intersects(canvas)) {
                    DrawKeyCap(painter, cap, QString::fromUtf8(key.letter));
                }
            }
        }
    }
    return image;
}

namespace {

// A transparent square for a round button, so the window's background shows at its corners.
QImage ButtonSquare() {
    QImage image = NewPicture(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The round glossy face shared by the four buttons.
void DrawButtonFace(QPainter* painter, const QColor& light, const QColor& dark) {
    painter->setRenderHint(QPainter::Antialiasing);

    // Shadow, rim and body.
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 60));
    painter->drawEllipse(QRectF(2.5, 3.5, 36, 36));
    QLinearGradient rim(0, 1, 0, 39);
    rim.setColorAt(0, QColor(255, 255, 255));
    rim.setColorAt(1, QColor(180, 170, 150));
    painter->setBrush(rim);
    painter->drawEllipse(QRectF(1, 1, 37, 37));
    QRadialGradient body(QPointF(16, 12), 30);
    body.setColorAt(0, light);
    body.setColorAt(1, dark);
    painter->setBrush(body);
    painter->setPen(QPen(dark.darker(140), 1));
    painter->drawEllipse(QRectF(3, 3, 33, 33));
    // Gloss on the upper half.
    QLinearGradient gloss(0, 4, 0, 20);
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter->setPen(Qt::NoPen);
    painter->setBrush(gloss);
    painter->drawEllipse(QRectF(8, 4.5, 23, 15));
}

// A pupil: head and shoulders in white, with a soft outline so it reads on any colour.
void DrawPupil(QPainter& painter, double cx) {
    QPainterPath pupil;
    pupil.addEllipse(QRectF(cx - 5.5, 9, 11, 11));
    QPainterPath shoulders;
    shoulders.moveTo(cx - 10, 30);
    shoulders.cubicTo(cx - 10, 22, cx - 6, 20.5, cx, 20.5);
    shoulders.cubicTo(cx + 6, 20.5, cx + 10, 22, cx + 10, 30);
    shoulders.closeSubpath();
    pupil = pupil.united(shoulders);
    painter.setPen(QPen(QColor(20, 50, 80, 120), 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(pupil);
}

// A small round badge in the lower right corner carrying a plus or a minus.
void DrawBadge(QPainter& painter, const QColor& colour, bool plus) {
    const QRectF badge(23, 21, 15, 15);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(colour);
    painter.drawEllipse(badge);
    painter.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = badge.center();
    painter.drawLine(QPointF(c.x() - 4, c.y()), QPointF(c.x() + 4, c.y()));
    if (plus) painter.drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
}

const QColor kUserLight(120, 190, 240);
const QColor kUserDark(22, 92, 160);

// Picture 31: add a user.
QImage DrawAddButton() {
    QImage image = ButtonSquare();
    QPainter painter(&image);
    DrawButtonFace(&painter, kUserLight, kUserDark);
    DrawPupil(painter, 17);
    DrawBadge(painter, QColor(46, 160, 67), true);
    return image;
}

// Picture 32: delete the selected user.
QImage DrawDeleteButton() {
    QImage image = ButtonSquare();
    QPainter painter(&image);
    DrawButtonFace(&painter, kUserLight, kUserDark);
    DrawPupil(painter, 17);
    DrawBadge(painter, QColor(214, 45, 32), false);
    return image;
}

// Picture 33: cancel, a white cross on red.
QImage DrawCancelButton() {
    QImage image = ButtonSquare();
    QPainter painter(&image);
    DrawButtonFace(&painter, QColor(250, 120, 100), QColor(176, 26, 20));
    painter.setPen(QPen(QColor(120, 10, 5, 110), 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(13.5, 14), QPointF(25.5, 26));
    painter.drawLine(QPointF(25.5, 14), QPointF(13.5, 26));
    painter.setPen(QPen(Qt::white, 4.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(13.5, 13), QPointF(25.5, 25));
    painter.drawLine(QPointF(25.5, 13), QPointF(13.5, 25));
    painter.end();
    return image;
}

// Picture 34: accept, a white tick on green.
QImage DrawAcceptButton() {
    QImage image = ButtonSquare();
    QPainter painter(&image);
    DrawButtonFace(&painter, QColor(140, 225, 110), QColor(28, 128, 40));
    QPainterPath tick;
    tick.moveTo(11.5, 20);
    tick.lineTo(17.5, 26);
    tick.lineTo(28, 12.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(10, 70, 15, 110), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick.translated(0, 1));
    painter.setPen(QPen(Qt::white, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.end();
    return image;
}

}  // namespace

QImage MakeUsersPicture(PictureName name) {
    switch (name) {
        case PictureName::UsersBackground:
            return DrawUsersBackground(160, 160);
        case PictureName::AddUser:
            return DrawAddButton();
        case PictureName::DeleteUser:
            return DrawDeleteButton();
        case PictureName::Cancel:
            return DrawCancelButton();
        case PictureName::Accept:
            return DrawAcceptButton();
        default:
            return QImage();
    }
}

}  // namespace tz
