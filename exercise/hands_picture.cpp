#include "exercise/hands_picture.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include "exercise/exercise_look.h"
#include "exercise/keyboard_picture.h"
#include "platform/drawing.h"

namespace tz {

namespace {

// Knuckles of the left hand, little finger to thumb, and the fingers' widths; the right hand
// is the mirror image. The tips come from the lookup's dot places.
constexpr QPointF kLeftKnuckles[] = {{15, 60}, {24, 53}, {34, 51}, {44, 54}, {48, 76}};
constexpr double kWidths[] = {8, 9, 10, 10, 11};
const QRectF kLeftPalm(11, 50, 43, 70);  // runs off the bottom edge as the wrist

QPointF Centre(const QPoint& dot) {
    return QPointF(dot.x() + kFingerDotSize / 2.0, dot.y() + kFingerDotSize / 2.0);
}

QPainterPath Finger(const QPointF& knuckle, const QPointF& tip, double width) {
    QPainterPath bone;
    bone.moveTo(knuckle);
    bone.lineTo(tip);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(bone);
}

void DrawHand(QPainter& painter, const std::array<QPointF, 5>& knuckles,
              const std::array<QPointF, 5>& tips, const QRectF& palm,
              const std::array<int, 5>& fingers) {
    QPainterPath hand;
    hand.addRoundedRect(palm, 14, 14);
    for (int i = 0; i < 5; ++i) hand = hand.united(Finger(knuckles[i], tips[i], kWidths[i]));
    hand = hand.simplified();

    QLinearGradient skin(0, 0, 0, kHandsPictureHeight);
    skin.setColorAt(0, look::kSkin.lighter(104));
    skin.setColorAt(1, look::kSkinShade);
    painter.setBrush(skin);
    painter.setPen(QPen(look::kSkinLine, 1.1));
    painter.drawPath(hand);

    // The nails, coloured like the finger's keys on the keyboard, lie under the dots.
    for (int i = 0; i < 5; ++i) {
        const QLineF bone(knuckles[i], tips[i]);
        painter.save();
        painter.translate(tips[i]);
        painter.rotate(-bone.angle() + 90);
        const double w = kWidths[i] - 3;
        painter.setPen(QPen(FingerZoneColour(fingers[i]).darker(140), 0.8));
        painter.setBrush(FingerZoneColour(fingers[i]));
        painter.drawRoundedRect(QRectF(-w / 2, -w / 2 - 0.5, w, w + 1.5), w / 2.5, w / 2.5);
        painter.restore();
    }
}

}  // namespace

std::array<QPoint, 11> FingerDotPlaces(const KeyboardTables& tables) {
    std::array<QPoint, 11> places{};
    for (int finger = 1; finger <= 10; ++finger) {
        // The first character of the finger's group; the space goes to the thumb opposite the
        // hand of the finger before it.
        const QString ch = tables.fingerGroups[finger].left(1);
        const int previous = finger == 6 ? 1 : 10;
        const KeyHint hint = LookupHint(tables, ch, previous);
        if (hint.finger == finger && hint.fingerDot) places[finger] = *hint.fingerDot;
    }
    return places;
}

QImage DrawHandsPicture(const KeyboardTables& tables) {
    QImage image = TransparentImage(kHandsPictureWidth, kHandsPictureHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const std::array<QPoint, 11> dots = FingerDotPlaces(tables);
    // The right hand mirrors the left about the middle between the thumbs' dots: x becomes
    // mirror - x.
    const double mirror = Centre(dots[5]).x() + Centre(dots[6]).x();
    // Both hands listed from the little finger to the thumb, as the widths are.
    std::array<QPointF, 5> leftKnuckles;
    std::array<QPointF, 5> leftTips;
    std::array<QPointF, 5> rightKnuckles;
    std::array<QPointF, 5> rightTips;
    for (int i = 0; i < 5; ++i) {
        leftKnuckles[i] = kLeftKnuckles[i];
        leftTips[i] = Centre(dots[1 + i]);
        rightKnuckles[i] = QPointF(mirror - kLeftKnuckles[i].x(), kLeftKnuckles[i].y());
        rightTips[i] = Centre(dots[10 - i]);
    }
    const QRectF rightPalm(mirror - kLeftPalm.right(), kLeftPalm.top(), kLeftPalm.width(),
                           kLeftPalm.height());
    DrawHand(painter, leftKnuckles, leftTips, kLeftPalm, {1, 2, 3, 4, 5});
    DrawHand(painter, rightKnuckles, rightTips, rightPalm, {10, 9, 8, 7, 6});
    return image;
}

QImage DrawFingerDot(bool modifier) {
    QImage image = TransparentImage(kFingerDotSize, kFingerDotSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = modifier ? QColor(24, 170, 60) : QColor(226, 24, 24);
    QRadialGradient glow(QPointF(2.4, 2.2), 3.4);
    glow.setColorAt(0, colour.lighter(150));
    glow.setColorAt(1, colour);
    painter.setBrush(glow);
    painter.setPen(QPen(colour.darker(160), 0.8));
    painter.drawEllipse(QRectF(0.4, 0.4, 5.2, 5.2));
    return image;
}

}  // namespace tz
