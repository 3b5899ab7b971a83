#include "app/menu_pictures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <functional>

#include "app/brand.h"
#include "platform/drawing.h"

namespace tz {

namespace {

// Where the main menu's controls lie on its background (left, top, width, height).
const QRectF kHeaderBand(0, 0, 800, 104);
const QRectF kProgressCard(322, 110, 466, 339);
const double kFooterLine = 463.5;

const QColor kInk(58, 48, 44);
const QColor kMutedInk(128, 108, 96);
const QColor kCardLine(226, 208, 188);
const QColor kQuitRed(196, 58, 46);

// The header band's colour follows the logo's own gradient, so the logo melts into it.
QLinearGradient HeaderGradient() {
    QLinearGradient gradient(0, 20, 0, 104);
    gradient.setColorAt(0, kBrandNavy.lighter(125));
    gradient.setColorAt(1, kBrandNavy);
    return gradient;
}

// A small heading of the left column: capitals and a hairline running to the right.
void DrawSectionHeading(QPainter& painter, double y, const QString& text) {
    painter.setFont(ArialPixels(11, true));
    painter.setPen(kBrandTerracotta.darker(125));
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(24, y), text);
    const double end = 24 + metrics.horizontalAdvance(text) + 8;
    painter.setPen(QPen(kCardLine, 1));
    painter.drawLine(QPointF(end, y - 4.5), QPointF(322, y - 4.5));
}

// Picture 13, 800 x 550: the main menu's background. The header band carries the logo and the
// round buttons; the card on the right carries the two frames; the footer the banner, the
// shortcut letters and the social button. Where controls lie the drawing stays plain.
QImage DrawMenuBackground() {
    QImage image = NewPicture(800, 550);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    image.fill(kBrandCream);

    // Header band with the terracotta rule that ends the logo.
    painter.fillRect(kHeaderBand, HeaderGradient());
    painter.fillRect(QRectF(0, 101, 800, 3), kBrandTerracotta);
    // A faint row of keys between the logo and the round buttons.
    painter.setPen(QPen(QColor(255, 255, 255, 26), 1));
    painter.setBrush(Qt::NoBrush);
    for (int row = 0; row < 3; ++row) {
        const double offset = row * 7;
        for (double x = 352 + offset; x + 15 <= 490; x += 19) {
            painter.drawRoundedRect(QRectF(x, 24 + row * 19, 15, 15), 3, 3);
        }
    }
    // The captions of the round buttons.
    painter.setFont(ArialPixels(10, false));
    painter.setPen(QColor(222, 214, 204));
    const struct {
        double left;
        const char* text;
    } captions[] = {{500, "Análisis"}, {550, "Ayuda"}, {600, "Actualizar"}, {650, "Acerca de"}};
    for (const auto& caption : captions) {
        painter.drawText(QRectF(caption.left - 5, 68, 55, 14), Qt::AlignCenter,
                         QString::fromUtf8(caption.text));
    }

    // Left column: headings over the groups of buttons and a hint under the first one.
    DrawSectionHeading(painter, 130, QStringLiteral("CURSO"));
    painter.setFont(ArialPixels(11, false, true));
    painter.setPen(kMutedInk);
    painter.drawText(QRectF(24, 187, 298, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Sigue el curso justo donde lo dejaste."));
    DrawSectionHeading(painter, 241, QString::fromUtf8("ALUMNOS Y LECCIONES"));
    painter.setFont(ArialPixels(11, false, true));
    painter.setPen(kMutedInk);
    painter.drawText(QRectF(24, 342, 298, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Elige quién practica o repasa cualquier lección."));
    DrawSectionHeading(painter, 386, QStringLiteral("PRACTICA LIBRE"));

    // Right: one white card under the status frame and the chart frame.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 80, 50, 22));
    painter.drawRoundedRect(kProgressCard.translated(0, 3), 10, 10);
    painter.setBrush(QColor(255, 253, 249));
    painter.setPen(QPen(kCardLine, 1));
    painter.drawRoundedRect(kProgressCard, 10, 10);
    painter.setFont(ArialPixels(11, true));
    painter.setPen(kBrandTerracotta.darker(125));
    painter.drawText(QRectF(336, 116, 200, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("ALUMNO Y RESULTADOS"));

    // Footer: a rule, then the shortcut letters between the banner and the social button.
    painter.setPen(QPen(kCardLine, 1));
    painter.drawLine(QPointF(20, kFooterLine), QPointF(780, kFooterLine));
    painter.setFont(ArialPixels(10, true));
    painter.setPen(kMutedInk);
    painter.drawText(QRectF(282, 472, 380, 14), Qt::AlignCenter,
                     QString::fromUtf8("ATAJOS DE TECLADO"));
    const struct {
        const char* key;
        const char* word;
    } shortcuts[] = {{"R", "Comenzar"},
                     {"G", "Usuarios"},
                     {"V", "Lecciones"},
                     {"E", "Análisis"},
                     {"I", "Acerca de"}};
    // Five shortcuts share the 380 pixels between the banner and the social button.
    const QFont word = ArialPixels(11, false);
    const QFontMetricsF wordMetrics(word);
    constexpr double kCapAdvance = 24;
    constexpr double kGap = 9;
    double total = -kGap;
    for (const auto& shortcut : shortcuts) {
        total +=
            kCapAdvance + wordMetrics.horizontalAdvance(QString::fromUtf8(shortcut.word)) + kGap;
    }
    double x = 282 + (380 - total) / 2;
    for (const auto& shortcut : shortcuts) {
        DrawKeyCap(painter, QRectF(x, 492, 20, 24), QString::fromUtf8(shortcut.key), Qt::white,
                   kBrandNavy, 12);
        painter.setFont(word);
        painter.setPen(kInk);
        const QString text = QString::fromUtf8(shortcut.word);
        painter.drawText(QPointF(x + kCapAdvance, 508), text);
        x += kCapAdvance + wordMetrics.horizontalAdvance(text) + kGap;
    }

    // The window has no frame of its own.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kBrandNavy, 2));
    painter.drawRect(QRectF(1, 1, 798, 548));
    return image;
}

// Glyphs of the large buttons, drawn inside a 26 x 26 square.
void DrawPlayGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    QPainterPath play;
    play.moveTo(box.left() + 9, box.top() + 6.5);
    play.lineTo(box.left() + 20, box.center().y());
    play.lineTo(box.left() + 9, box.bottom() - 6.5);
    play.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(play);
}

void DrawPeopleGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPointF c = box.center();
    // The one behind, smaller, then the one in front.
    painter.setOpacity(0.65);
    painter.drawEllipse(QPointF(c.x() + 5, c.y() - 4), 3.5, 3.5);
    painter.drawChord(QRectF(c.x() - 1, c.y() + 0.5, 12, 12), 0, 180 * 16);
    painter.setOpacity(1.0);
    painter.drawEllipse(QPointF(c.x() - 3, c.y() - 3), 4.5, 4.5);
    painter.drawChord(QRectF(c.x() - 11, c.y() + 2.5, 16, 16), 0, 180 * 16);
}

void DrawBookGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    const QPointF c = box.center();
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(c.x(), c.y() - 5);
        page.quadTo(c.x() + side * 5, c.y() - 8.5, c.x() + side * 10, c.y() - 7);
        page.lineTo(c.x() + side * 10, c.y() + 6);
        page.quadTo(c.x() + side * 5, c.y() + 4.5, c.x(), c.y() + 8);
        page.closeSubpath();
        painter.drawPath(page);
    }
    painter.setPen(QPen(QColor(0, 0, 0, 70), 1));
    painter.drawLine(QPointF(c.x(), c.y() - 5), QPointF(c.x(), c.y() + 8));
}

void DrawPencilGlyph(QPainter& painter, const QRectF& box, const QColor& colour) {
    const QPointF c = box.center();
    painter.save();
    painter.translate(c + QPointF(1, -2));
    painter.rotate(-45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(-7, -3, 14, 6), 1, 1);
    painter.drawRect(QRectF(8, -3, 2.5, 6));
    QPainterPath tip;
    tip.moveTo(-8, -3);
    tip.lineTo(-13, 0);
    tip.lineTo(-8, 3);
    tip.closeSubpath();
    painter.drawPath(tip);
    painter.restore();
    painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(c.x() - 7, c.y() + 8.5), QPointF(c.x() + 7, c.y() + 8.5));
}

enum class Glyph { Play, People, Book, Pencil };

// Pictures 14, 15, 16 and 27, 300 x 40: the large buttons of the left column. A round badge
// with the glyph, the words, and the key cap of the shortcut letter when there is one.
QImage DrawLargeButton(const QString& words, Glyph glyph, const QString& key, const QColor& face) {
    QImage image = TransparentImage(300, 40);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF body(0.5, 0.5, 299, 37);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 45));
    painter.drawRoundedRect(body.translated(0, 2), 9, 9);
    QLinearGradient fill(0, 0, 0, 38);
    fill.setColorAt(0, face.lighter(122));
    fill.setColorAt(0.5, face);
    fill.setColorAt(1, face.darker(112));
    painter.setBrush(fill);
    painter.setPen(QPen(face.darker(140), 1));
    painter.drawRoundedRect(body, 9, 9);
    // A soft shine on the upper half.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawRoundedRect(QRectF(3, 2, 294, 16), 7, 7);

    const QRectF badge(7, 6, 26, 26);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawEllipse(badge);
    switch (glyph) {
        case Glyph::Play:
            DrawPlayGlyph(painter, badge, face.darker(115));
            break;
        case Glyph::People:
            DrawPeopleGlyph(painter, badge, face.darker(110));
            break;
        case Glyph::Book:
            DrawBookGlyph(painter, badge, face.darker(110));
            break;
        case Glyph::Pencil:
            DrawPencilGlyph(painter, badge, face.darker(110));
            break;
    }

    const QRectF textArea(42, 0, key.isEmpty() ? 250 : 214, 38);
    painter.setFont(ArialPixels(17, true));
    painter.setPen(QColor(0, 0, 0, 70));
    painter.drawText(textArea.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, words);
    painter.setPen(Qt::white);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, words);

    if (!key.isEmpty()) {
        DrawKeyCap(painter, QRectF(266, 7, 24, 25), key, kBrandCream, kBrandNavy, 13);
    }
    return image;
}

// A round button face of the header band (pictures 19 to 21).
void DrawRoundFace(QPainter& painter, const QRectF& circle, const QColor& face) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawEllipse(circle.translated(0, 1.5));
    QRadialGradient fill(circle.center() - QPointF(5, 7), circle.width() * 0.75);
    fill.setColorAt(0, face.lighter(112));
    fill.setColorAt(1, face.darker(112));
    painter.setBrush(fill);
    painter.setPen(QPen(face.darker(150), 1));
    painter.drawEllipse(circle);
}

// A round cream button of 40 × 40, its sign drawn by `sign` inside `circle` (pictures 19 to 21
// and 54).
QImage DrawRoundIcon(const std::function<void(QPainter&, const QRectF& circle)>& sign) {
    QImage image = TransparentImage(40, 40);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(2, 1.5, 36, 36);
        DrawRoundFace(painter, circle, kBrandCream);
        sign(painter, circle);
    }
    return image;
}

// Picture 19: help, a question mark.
QImage DrawHelpIcon() {
    return DrawRoundIcon([](QPainter& painter, const QRectF& circle) {
        painter.setFont(ArialPixels(25, true));
        painter.setPen(kBrandNavy);
        painter.drawText(circle.adjusted(0, 0, 0, -1), Qt::AlignCenter, "?");
    });
}

// Picture 20: update, two arrows chasing each other round a circle.
QImage DrawUpdateIcon() {
    return DrawRoundIcon([](QPainter& painter, const QRectF& circle) {
        const QPointF c = circle.center();
        const double r = 10;
        painter.setPen(QPen(kBrandTerracotta.darker(115), 3.2, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
        painter.drawArc(ring, 20 * 16, 130 * 16);
        painter.drawArc(ring, 200 * 16, 130 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBrandTerracotta.darker(115));
        // Arrow heads at the ends of both arcs (150 and 330 degrees).
        for (double degrees : {150.0, 330.0}) {
            const double a = qDegreesToRadians(degrees);
            const QPointF end(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
            // Tangent direction, counter-clockwise on screen.
            const QPointF along(-std::sin(a), -std::cos(a));
            const QPointF out(std::cos(a), -std::sin(a));
            QPainterPath head;
            head.moveTo(end + along * 5.5);
            head.lineTo(end + out * 4.8 - along * 1.5);
            head.lineTo(end - out * 4.8 - along * 1.5);
            head.closeSubpath();
            painter.drawPath(head);
        }
    });
}

// Picture 21: about, a lower-case "i".
QImage DrawAboutIcon() {
    return DrawRoundIcon([](QPainter& painter, const QRectF& circle) {
        const QPointF c = circle.center();
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBrandNavy);
        painter.drawEllipse(QPointF(c.x(), c.y() - 8.5), 2.8, 2.8);
        painter.drawRoundedRect(QRectF(c.x() - 2.6, c.y() - 3.5, 5.2, 15), 1.5, 1.5);
    });
}

// Picture 54: the error analysis, three bars of a chart, the tallest in the warm accent.
QImage DrawAnalysisIcon() {
    return DrawRoundIcon([](QPainter& painter, const QRectF& circle) {
        const QPointF c = circle.center();
        const double base = c.y() + 9;
        const struct {
            double x;
            double height;
            QColor colour;
        } bars[] = {{c.x() - 9.5, 8, kBrandNavy},
                    {c.x() - 2.5, 18, kBrandTerracotta.darker(115)},
                    {c.x() + 4.5, 12, kBrandNavy}};
        painter.setPen(Qt::NoPen);
        for (const auto& bar : bars) {
            painter.setBrush(bar.colour);
            painter.drawRoundedRect(QRectF(bar.x, base - bar.height, 5, bar.height), 1.2, 1.2);
        }
        painter.setPen(QPen(kBrandNavy, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(c.x() - 11.5, base + 1.5), QPointF(c.x() + 11.5, base + 1.5));
    });
}

// A small square button face (pictures 22 and 8).
QImage DrawSmallButton(const QColor& face, const QColor& ink, bool cross) {
    QImage image = TransparentImage(19, 19);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 19);
    fill.setColorAt(0, face.lighter(115));
    fill.setColorAt(1, face.darker(110));
    painter.setBrush(fill);
    painter.setPen(QPen(face.darker(150), 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 18, 18), 4, 4);
    painter.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    if (cross) {
        painter.drawLine(QPointF(5.5, 5.5), QPointF(13.5, 13.5));
        painter.drawLine(QPointF(13.5, 5.5), QPointF(5.5, 13.5));
    } else {
        painter.drawLine(QPointF(5, 13), QPointF(14, 13));
    }
    return image;
}

// Picture 25, 440 x 80: the status panel. Its labels are black and its values light, so the
// labels sit on light plates and the values on the dark ground; the plates end where the
// values begin, measured with the exercise font at its usual 14 points.
QImage DrawStatusBackground() {
    QImage image = NewPicture(440, 80);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 80);
    ground.setColorAt(0, QColor(112, 62, 46));
    ground.setColorAt(1, QColor(84, 44, 34));
    painter.fillRect(QRect(0, 0, 440, 80), ground);
    // Faint lines between the three rows.
    painter.setPen(QPen(QColor(255, 237, 193, 40), 1));
    painter.drawLine(QPointF(0, 28.5), QPointF(440, 28.5));
    painter.drawLine(QPointF(0, 55.5), QPointF(440, 55.5));

    QFont font("Courier New");
    font.setPixelSize(19);
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const struct {
        double x, y;
        const char* label;
        double valueX;
    } plates[] = {
        {3, 1, "USUARIO:", 94},
        {3, 31, "NIVEL:", 73},
        {151, 31, "BLOQUE:", 232},
        {3, 58, "P.P.M. de Media:", 182},
    };
    for (const auto& plate : plates) {
        // Around the ink of the capitals: from the cap height down to the base line.
        const double baseline = plate.y + metrics.ascent();
        const double top = std::max(0.0, baseline - metrics.capHeight() - 5);
        const double bottom = std::min(80.0, baseline + 5);
        const double right =
            std::min(plate.x + metrics.horizontalAdvance(QString::fromUtf8(plate.label)) + 3,
                     plate.valueX - 2);
        const QRectF box(QPointF(plate.x - 3, top), QPointF(right, bottom));
        QLinearGradient light(0, box.top(), 0, box.bottom());
        light.setColorAt(0, QColor(250, 236, 214));
        light.setColorAt(1, QColor(232, 200, 168));
        painter.setPen(Qt::NoPen);
        painter.setBrush(light);
        painter.drawRoundedRect(box, 4, 4);
    }
    return image;
}

}  // namespace

QImage MakeMenuPicture(PictureName name) {
    switch (name) {
        case PictureName::CancelExercise:
            // The small quit button, shared with the exercise window's cancel button.
            return DrawSmallButton(kQuitRed, Qt::white, true);
        case PictureName::MenuBackground:
            return DrawMenuBackground();
        case PictureName::UsersButton:
            return DrawLargeButton(QStringLiteral("Usuarios"), Glyph::People, "G", kBrandNavy);
        case PictureName::StartButton:
            return DrawLargeButton(QStringLiteral("Comenzar ejercicios"), Glyph::Play, "R",
                                   kBrandTerracotta.darker(118));
        case PictureName::LessonsButton:
            return DrawLargeButton(QStringLiteral("Lecciones"), Glyph::Book, "V", kBrandNavy);
        case PictureName::Logo:
            return DrawLogo();
        case PictureName::HelpButton:
            return DrawHelpIcon();
        case PictureName::UpdateButton:
            return DrawUpdateIcon();
        case PictureName::AboutButton:
            return DrawAboutIcon();
        case PictureName::AnalysisButton:
            return DrawAnalysisIcon();
        case PictureName::MinimiseButton:
            return DrawSmallButton(kBrandCream, kBrandNavy, false);
        case PictureName::Banner:
            return DrawBanner();
        case PictureName::StatusPanel:
            return DrawStatusBackground();
        case PictureName::CustomTextsButton:
            return DrawLargeButton(QStringLiteral("Textos personalizados"), Glyph::Pencil,
                                   QString(), QColor(52, 92, 96));
        default:
            return QImage();
    }
}

}  // namespace tz
