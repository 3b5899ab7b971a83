#include "exercise/exercise_pictures.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

#include "exercise/exercise_look.h"
#include "exercise/exercise_window.h"
#include "exercise/hands_picture.h"
#include "exercise/keyboard_picture.h"
#include "exercise/keyboard_tables.h"
#include "exercise/result_picture.h"
#include "platform/drawing.h"
#include "platform/pictures.h"

namespace tz {

namespace {

void Antialiased(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

// A panel on the window's ground with a soft shadow under it.
void DrawCard(QPainter& painter, const QRectF& card, double radius = 9) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(110, 70, 40, 28));
    painter.drawRoundedRect(card.translated(0, 2), radius, radius);
    painter.setBrush(look::kCard);
    painter.setPen(QPen(look::kCardLine, 1));
    painter.drawRoundedRect(card, radius, radius);
}

void DrawCaption(QPainter& painter, const QRectF& box, const QString& text, int pixels,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    painter.setFont(ArialPixels(pixels, true));
    painter.setPen(look::kInk);
    painter.drawText(box, alignment, text);
}

// A figure display sits in a well a little larger than the control itself.
void DrawDisplayWell(QPainter& painter, const QRect& display) {
    const QRectF well = QRectF(display).adjusted(-4, -3, 4, 3);
    painter.setPen(QPen(look::kCardLine.darker(112), 1));
    painter.setBrush(look::kDisplayFace);
    painter.drawRoundedRect(well, 5, 5);
}

// Picture 1, 800 x 550: the ground of the exercise window with its title band, the frame of
// the page, and the captions of the figures, the help options and the buttons.
QImage DrawWindowBackground() {
    QImage image = NewPicture(kExerciseWindowWidth, kExerciseWindowHeight);
    QPainter painter(&image);
    Antialiased(painter);
    QLinearGradient ground(0, 0, 0, kExerciseWindowHeight);
    ground.setColorAt(0, look::kGround.lighter(102));
    ground.setColorAt(1, look::kGround.darker(104));
    painter.fillRect(QRect(0, 0, kExerciseWindowWidth, kExerciseWindowHeight), ground);

    // Title band under the header strip and the cancel button.
    QLinearGradient band(0, 0, 0, 33);
    band.setColorAt(0, look::kBandTop);
    band.setColorAt(1, look::kBandBottom);
    painter.fillRect(QRectF(0, 0, kExerciseWindowWidth, 33), band);
    painter.fillRect(QRectF(0, 33, kExerciseWindowWidth, 2), look::kTerracotta);

    // The page: a white sheet framed on the ground.
    const QRectF page = QRectF(kTextPictureRect).adjusted(-3, -2, 3, 3);
    DrawCard(painter, page, 4);

    // Figures, beside the keyboard.
    const QRectF figures(620, 245, 170, 202);
    DrawCard(painter, figures);
    const struct {
        QRect display;
        const char* caption;
    } displays[] = {
        {kCorrectDisplayRect, "PULSACIONES CORRECTAS"},
        {kSpeedDisplayRect, "P.P.M."},
        {kTargetDisplayRect, "OBJETIVO"},
        {kErrorsDisplayRect, "ERRORES"},
        {kTimeDisplayRect, "TIEMPO"},
    };
    for (const auto& entry : displays) {
        DrawDisplayWell(painter, entry.display);
        const QRectF caption(entry.display.left() - 4, entry.display.top() - 19,
                             std::max(entry.display.width() + 8, 70), 13);
        DrawCaption(painter, caption, QString::fromUtf8(entry.caption), 10);
    }
    // Speed and target share a row: the target is the speed to reach.
    painter.setPen(QPen(look::kMutedInk, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(689, 328), QPointF(700, 328));
    painter.drawLine(QPointF(696, 324.5), QPointF(700, 328));
    painter.drawLine(QPointF(696, 331.5), QPointF(700, 328));
    painter.setPen(QPen(look::kCardLine, 1));
    painter.drawLine(QPointF(632, 296.5), QPointF(778, 296.5));
    painter.drawLine(QPointF(632, 344.5), QPointF(778, 344.5));
    painter.drawLine(QPointF(632, 396.5), QPointF(778, 396.5));

    // A word of advice at the bottom left.
    const QRectF advice(15, 450, 222, 94);
    DrawCard(painter, advice);
    DrawCaption(painter, advice.adjusted(12, 8, -10, 0), QStringLiteral("CONSEJO"), 10,
                Qt::AlignLeft | Qt::AlignTop);
    painter.setFont(ArialPixels(11, false));
    painter.setPen(look::kMutedInk);
    painter.drawText(advice.adjusted(12, 26, -10, -6), Qt::TextWordWrap | Qt::AlignLeft,
                     QString::fromUtf8("Apoya los índices en la F y la J, mantén la espalda "
                                       "recta y mira la pantalla, no el teclado."));

    // The hands lie on their own card; the key to press shows between them.
    DrawCard(painter, QRectF(kHandsRect.left() - 5, 450, kHandsRect.width() + 10, 94));

    // Help options and the pause and restart buttons.
    DrawCard(painter, QRectF(kOptionsFrameRect).adjusted(0, 0, 0, 4));
    painter.setFont(ArialPixels(9, true));
    painter.setPen(look::kInk);
    painter.drawText(QRectF(kPauseButtonRect.left() - 10, 508, 60, 12), Qt::AlignCenter,
                     QStringLiteral("Pausa"));
    painter.drawText(QRectF(kRestartButtonRect.left() - 10, 508, 60, 12), Qt::AlignCenter,
                     QStringLiteral("Reiniciar"));
    painter.setPen(QPen(look::kCardLine, 1));
    painter.drawLine(QPointF(600.5, 462), QPointF(600.5, 528));

    // The thin frame of the window.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look::kBandBottom, 1));
    painter.drawRect(QRectF(0.5, 0.5, kExerciseWindowWidth - 1, kExerciseWindowHeight - 1));
    return image;
}

// Pictures 2 and 3, 599 x 202: shown in the keyboard's place while it is hidden.
QImage DrawHiddenKeyboard() {
    QImage image = NewPicture(kKeyboardPictureWidth, kKeyboardPictureHeight);
    image.fill(look::kGround);
    QPainter painter(&image);
    Antialiased(painter);
    const QRectF casing(1.5, 0.5, kKeyboardPictureWidth - 3, kKeyboardPictureHeight - 3);
    QLinearGradient body(0, 0, 0, kKeyboardPictureHeight);
    body.setColorAt(0, look::kCard);
    body.setColorAt(1, look::kGround.darker(103));
    painter.setBrush(body);
    painter.setPen(QPen(look::kCardLine, 1.2, Qt::DashLine));
    painter.drawRoundedRect(casing, 9, 9);

    // The keyboard as a faint outline.
    painter.setPen(QPen(look::kCardLine, 1));
    painter.setBrush(Qt::NoBrush);
    const double pitch = 22;
    for (int row = 0; row < 4; ++row) {
        const double left = 196 + row * 6;
        for (int key = 0; key < 9 - (row == 3 ? 2 : 0); ++key) {
            painter.drawRoundedRect(QRectF(left + key * pitch, 30 + row * 22, 18, 18), 3, 3);
        }
    }
    painter.drawRoundedRect(QRectF(240, 118, 120, 16), 3, 3);

    painter.setFont(ArialPixels(18, true));
    painter.setPen(look::kInk);
    painter.drawText(QRectF(0, 140, kKeyboardPictureWidth, 24), Qt::AlignCenter,
                     QStringLiteral("TECLADO OCULTO"));
    painter.setFont(ArialPixels(12, false));
    painter.setPen(look::kMutedInk);
    painter.drawText(QRectF(0, 164, kKeyboardPictureWidth, 18), Qt::AlignCenter,
                     QString::fromUtf8("Tus dedos ya conocen el camino: escribe sin mirar."));
    return image;
}

// Pictures 9 and 10, 34 x 34: round buttons.
QImage DrawRoundButton(const QColor& colour, bool pause) {
    QImage image = TransparentImage(34, 34);
    QPainter painter(&image);
    Antialiased(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(80, 40, 20, 50));
    painter.drawEllipse(QRectF(1.5, 2.5, 31, 31));
    QRadialGradient face(QPointF(13, 10), 22);
    face.setColorAt(0, colour.lighter(135));
    face.setColorAt(1, colour);
    painter.setBrush(face);
    painter.setPen(QPen(colour.darker(150), 1));
    painter.drawEllipse(QRectF(1.5, 0.5, 31, 31));
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    if (pause) {
        painter.drawRoundedRect(QRectF(11, 9, 4.5, 14), 1.2, 1.2);
        painter.drawRoundedRect(QRectF(18.5, 9, 4.5, 14), 1.2, 1.2);
    } else {
        // An arrow running round, back to where it began.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        const QRectF arc(9.5, 8.5, 15, 15);
        painter.drawArc(arc, 70 * 16, 290 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        QPainterPath head;
        head.moveTo(19.5, 4.5);
        head.lineTo(25.5, 9.2);
        head.lineTo(18.6, 12.4);
        head.closeSubpath();
        painter.drawPath(head);
    }
    return image;
}

// Picture 11, 740 x 23: the header strip. Its labels are black and its values light, so the
// labels sit on light plates and the values on the dark ground; the plates end where the
// values begin, measured with the exercise font at its usual 14 points.
QImage DrawHeaderStrip() {
    QImage image = NewPicture(kHeaderRect.size());
    QPainter painter(&image);
    Antialiased(painter);
    QLinearGradient ground(0, 0, 0, kHeaderRect.height());
    ground.setColorAt(0, look::kBandTop.lighter(108));
    ground.setColorAt(1, look::kBandBottom);
    const QRect strip(QPoint(0, 0), kHeaderRect.size());
    painter.fillRect(strip, ground);
    painter.setPen(QPen(QColor(255, 237, 193, 60), 1));
    painter.drawRoundedRect(QRectF(strip).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);

    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(19);
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const struct {
        double x;
        const char* label;
        double valueX;
    } plates[] = {{8, "USUARIO:", 100}, {500, "NIVEL:", 570}, {630, "BLOQUE:", 710}};
    for (const auto& plate : plates) {
        const double right =
            std::min(plate.x + metrics.horizontalAdvance(QString::fromUtf8(plate.label)) + 3,
                     plate.valueX - 2);
        const QRectF box(QPointF(plate.x - 4, 3), QPointF(right, strip.height() - 3));
        QLinearGradient light(0, box.top(), 0, box.bottom());
        light.setColorAt(0, QColor(252, 240, 222));
        light.setColorAt(1, QColor(234, 204, 172));
        painter.setPen(Qt::NoPen);
        painter.setBrush(light);
        painter.drawRoundedRect(box, 3, 3);
    }
    return image;
}

// Picture 12, 55 x 13: drawn at the bottom right of a page that more text follows.
QImage DrawMoreTextMark() {
    QImage image = NewPicture(55, 13);
    image.fill(Qt::white);
    QPainter painter(&image);
    Antialiased(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look::kTerracotta);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 54, 12), 6, 6);
    painter.setPen(Qt::white);
    painter.setFont(ArialPixels(9, true));
    painter.drawText(QRectF(0, 0, 46, 13), Qt::AlignCenter, QStringLiteral("SIGUE"));
    QPainterPath arrow;
    arrow.moveTo(43, 4.5);
    arrow.lineTo(50, 4.5);
    arrow.lineTo(46.5, 9);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return image;
}

}  // namespace

QImage MakeExercisePicture(PictureName name) {
    switch (name) {
        case PictureName::ExerciseBackground:
            return DrawWindowBackground();
        case PictureName::TextPicture:
            return DrawHiddenKeyboard();
        case PictureName::Keyboard:
            return DrawKeyboardPicture(KeyboardTablesFor(kSpanishLayout));
        case PictureName::Hands:
            return DrawHandsPicture(KeyboardTablesFor(kSpanishLayout));
        case PictureName::FingerDot:
            return DrawFingerDot(false);
        case PictureName::SecondFingerDot:
            return DrawFingerDot(true);
        // Picture 8, the cancel button, is the main menu's quit button: one look for both.
        case PictureName::Pause:
            return DrawRoundButton(QColor(224, 164, 52), true);
        case PictureName::Restart:
            return DrawRoundButton(look::kTerracotta.darker(110), false);
        case PictureName::Header:
            return DrawHeaderStrip();
        case PictureName::MoreText:
            return DrawMoreTextMark();
        case PictureName::Result:
            return DrawResultPicture();
        default:
            return QImage();
    }
}

void RegisterKeyboardPictures(const KeyboardTables& tables) {
    RegisterPictureMaker(PictureNumber(PictureName::Keyboard),
                         [tables] { return DrawKeyboardPicture(tables); });
    RegisterPictureMaker(PictureNumber(PictureName::Hands),
                         [tables] { return DrawHandsPicture(tables); });
}

}  // namespace tz
