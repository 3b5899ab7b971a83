#include "content/analysis_pictures.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "exercise/exercise_look.h"
#include "exercise/hands_picture.h"
#include "platform/drawing.h"

namespace tz {

namespace {

// Upper bounds of the tint bands and their colours, from spotless to poor. The colours also
// differ in lightness, so the bands stay apart on a grey print.
struct RateBand {
    double upTo;
    QColor colour;
    const char* words;
};
const RateBand kBands[] = {
    {0.0, QColor(170, 225, 170), "Sin errores"}, {0.05, QColor(225, 232, 150), "Hasta 5 %"},
    {0.10, QColor(246, 200, 100), "Hasta 10 %"}, {0.20, QColor(232, 135, 80), "Hasta 20 %"},
    {1.0, QColor(190, 50, 45), "Más del 20 %"},
};
const QColor kNoData(236, 232, 226);

const char* const kFingerNames[] = {"",
                                    "meñique izquierdo",
                                    "anular izquierdo",
                                    "corazón izquierdo",
                                    "índice izquierdo",
                                    "pulgar izquierdo",
                                    "pulgar derecho",
                                    "índice derecho",
                                    "corazón derecho",
                                    "anular derecho",
                                    "meñique derecho"};

void DrawCard(QPainter& painter, const QRectF& card, const QString& title) {
    painter.setPen(QPen(look::kCardLine, 1));
    painter.setBrush(look::kCard);
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.setFont(ArialPixels(13, true));
    painter.setPen(look::kInk);
    painter.drawText(card.adjusted(10, 5, -10, 0), Qt::AlignLeft | Qt::AlignTop, title);
}

QImage NewCard(int width, int height) {
    QImage image = NewPicture(width, height);
    image.fill(look::kGround);
    return image;
}

// Dark ink on the light bands, white on the darkest.
QColor InkOn(const QColor& face) {
    return face.lightness() < 120 ? QColor(Qt::white) : look::kInk;
}

}  // namespace

QString FormatPercent(double fraction) {
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(fraction * 100.0, 'f', 1) +
           QStringLiteral(" %");
}

QColor ErrorRateColour(std::optional<double> rate) {
    if (!rate) return kNoData;
    for (const RateBand& band : kBands) {
        if (*rate <= band.upTo + 1e-12) return band.colour;
    }
    return kBands[std::size(kBands) - 1].colour;
}

KeyFigures FiguresOfKey(const PupilFigures& figures, const KeyCap& cap) {
    KeyFigures key;
    for (const QChar c : cap.types) {
        const auto found = figures.characters.find(c.unicode());
        if (found != figures.characters.end()) key.Add(found->second);
    }
    return key;
}

QImage DrawErrorKeyboard(const PupilFigures& figures, const KeyboardTables& tables) {
    return DrawKeyboardPicture(tables, [&figures](const KeyCap& cap) -> std::optional<QColor> {
        if (cap.types.isEmpty()) return std::nullopt;
        const KeyFigures key = FiguresOfKey(figures, cap);
        if (key.keystrokes == 0) return ErrorRateColour(std::nullopt);
        return ErrorRateColour(key.ErrorRate());
    });
}

QImage DrawErrorLegend() {
    QImage image = NewCard(kLegendWidth, kLegendHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card(0, 0, kLegendWidth, kLegendHeight);
    DrawCard(painter, card, QStringLiteral("Errores por tecla"));
    painter.setFont(ArialPixels(12, false));
    double y = 32;
    auto swatch = [&](const QColor& colour, const QString& words) {
        painter.setPen(QPen(colour.darker(150), 1));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(12.5, y + 0.5, 26, 19), 3, 3);
        painter.setPen(look::kInk);
        painter.drawText(QRectF(46, y, kLegendWidth - 52, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         words);
        y += 27;
    };
    swatch(kNoData, QStringLiteral("Sin pulsaciones"));
    for (const RateBand& band : kBands) swatch(band.colour, QString::fromUtf8(band.words));
    return image;
}

QImage DrawFingerAccuracy(const PupilFigures& figures, const KeyboardTables& tables) {
    QImage image = NewCard(kFingerPanelWidth, kFingerPanelHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawCard(painter, QRectF(0, 0, kFingerPanelWidth, kFingerPanelHeight),
             QStringLiteral("Acierto de cada dedo"));

    const QPointF handsAt((kFingerPanelWidth - kHandsPictureWidth) / 2.0, 76);
    painter.drawImage(handsAt, DrawHandsPicture(tables));
    const std::array<QPoint, 11> dots = FingerDotPlaces(tables);

    // One box a finger in a row above the hands, a line down to its fingertip.
    constexpr double kBoxWidth = 27;
    constexpr double kGap = 1.5;
    const double left = (kFingerPanelWidth - (10 * kBoxWidth + 9 * kGap)) / 2.0;
    painter.setFont(ArialPixels(10, true));
    for (int finger = 1; finger <= 10; ++finger) {
        const KeyFigures& key = figures.fingers[static_cast<std::size_t>(finger)];
        const QRectF box(left + (finger - 1) * (kBoxWidth + kGap), 30, kBoxWidth, 20);
        const QPointF tip = handsAt + QPointF(dots[static_cast<std::size_t>(finger)]) +
                            QPointF(kFingerDotSize / 2.0, kFingerDotSize / 2.0);
        painter.setPen(QPen(look::kMutedInk, 0.8, Qt::DotLine));
        painter.drawLine(QPointF(box.center().x(), box.bottom()), tip);
        painter.setPen(Qt::NoPen);
        painter.setBrush(look::kMutedInk);
        painter.drawEllipse(tip, 1.6, 1.6);

        const std::optional<double> rate =
            key.keystrokes > 0 ? std::optional<double>(key.ErrorRate()) : std::nullopt;
        const QColor face = ErrorRateColour(rate);
        painter.setPen(QPen(face.darker(150), 1));
        painter.setBrush(face);
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter.setPen(InkOn(face));
        const QString words =
            key.keystrokes > 0
                ? QString::number(static_cast<int>(std::floor((1.0 - key.ErrorRate()) * 100.0)))
                : QStringLiteral("–");
        painter.drawText(box, Qt::AlignCenter, words);
    }
    painter.setFont(ArialPixels(11, false));
    painter.setPen(look::kMutedInk);
    painter.drawText(QRectF(150, 7, kFingerPanelWidth - 160, 14), Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("% de aciertos"));

    // The weakest finger in words.
    int weakest = 0;
    for (int finger = 1; finger <= 10; ++finger) {
        const KeyFigures& key = figures.fingers[static_cast<std::size_t>(finger)];
        if (key.errors == 0) continue;
        if (weakest == 0 ||
            key.ErrorRate() > figures.fingers[static_cast<std::size_t>(weakest)].ErrorRate()) {
            weakest = finger;
        }
    }
    bool typed = false;
    for (const KeyFigures& key : figures.fingers) typed = typed || key.keystrokes > 0;
    QString summary = QStringLiteral("Ningún dedo con errores");
    if (!typed) summary = QStringLiteral("Todavía sin pulsaciones");
    if (weakest > 0) {
        summary = QStringLiteral("Más errores con el ") + QString::fromUtf8(kFingerNames[weakest]);
    }
    painter.setPen(look::kInk);
    painter.setFont(ArialPixels(12, true));
    painter.drawText(QRectF(10, kFingerPanelHeight - 22, kFingerPanelWidth - 20, 18),
                     Qt::AlignCenter, summary);
    return image;
}

QImage DrawWeakestKeys(const PupilFigures& figures) {
    QImage image = NewCard(kWeakKeysPanelWidth, kWeakKeysPanelHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawCard(painter, QRectF(0, 0, kWeakKeysPanelWidth, kWeakKeysPanelHeight),
             QStringLiteral("Las cinco teclas más difíciles"));
    const std::vector<WeakKey> weakest = WeakestKeys(figures, 5);
    if (weakest.empty()) {
        painter.setFont(ArialPixels(13, false));
        painter.setPen(look::kMutedInk);
        painter.drawText(QRectF(20, 40, kWeakKeysPanelWidth - 40, kWeakKeysPanelHeight - 60),
                         Qt::AlignCenter | Qt::TextWordWrap,
                         figures.Empty()
                             ? QStringLiteral("Todavía no hay pulsaciones "
                                              "registradas: haz algún ejercicio y "
                                              "aquí verás tus teclas más difíciles.")
                             : QStringLiteral("¡Ninguna tecla con errores! Sigue así."));
        return image;
    }
    const QFont capFont = ArialPixels(13, true);
    const QFont figureFont = ArialPixels(12, true);
    const QFont confusionFont = ArialPixels(12, false);
    // The figures start in one column, right of the widest key.
    double capColumn = 30;
    for (const WeakKey& key : weakest) {
        capColumn = std::max(capColumn, QFontMetricsF(capFont).horizontalAdvance(key.label) + 14.0);
    }
    for (std::size_t i = 0; i < weakest.size(); ++i) {
        const WeakKey& key = weakest[i];
        const double y = 28 + static_cast<double>(i) * 31.5;
        const double capWidth =
            std::max(30.0, QFontMetricsF(capFont).horizontalAdvance(key.label) + 14.0);
        const QRectF cap(12, y, capWidth, 27);
        const QColor face = ErrorRateColour(key.rate);
        painter.setPen(QPen(face.darker(160), 1));
        painter.setBrush(face);
        painter.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.setFont(capFont);
        painter.setPen(InkOn(face));
        painter.drawText(cap, Qt::AlignCenter, key.label);

        const double textLeft = 12 + capColumn + 12;
        painter.setFont(figureFont);
        painter.setPen(look::kInk);
        painter.drawText(QRectF(textLeft, y - 1, kWeakKeysPanelWidth - textLeft - 10, 15),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         FormatPercent(key.rate) + QStringLiteral(" de errores (") +
                             QString::number(key.errors) + QStringLiteral(" de ") +
                             QString::number(key.keystrokes) + u')');
        painter.setFont(confusionFont);
        painter.setPen(look::kMutedInk);
        painter.drawText(QRectF(textLeft, y + 13, kWeakKeysPanelWidth - textLeft - 10, 15),
                         Qt::AlignLeft | Qt::AlignVCenter, ConfusionText(key));
    }
    return image;
}

QImage DrawProgressOverTime(const PupilFigures& figures) {
    QImage image = NewCard(kProgressPanelWidth, kProgressPanelHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawCard(painter, QRectF(0, 0, kProgressPanelWidth, kProgressPanelHeight),
             QStringLiteral("Errores (barras) y velocidad (línea)"));
    const std::size_t shown =
        std::min<std::size_t>(figures.attempts.size(), static_cast<std::size_t>(kProgressAttempts));
    const KeyFigures total = figures.Total();
    painter.setFont(ArialPixels(11, false));
    painter.setPen(look::kMutedInk);
    const QString totals =
        QStringLiteral("Intentos: ") + QString::number(figures.attempts.size()) +
        QStringLiteral("   Pulsaciones: ") + QString::number(total.keystrokes) +
        QStringLiteral("   Errores: ") +
        (total.keystrokes > 0 ? FormatPercent(total.ErrorRate()) : QStringLiteral("–"));
    painter.drawText(QRectF(230, 6, kProgressPanelWidth - 240, 14), Qt::AlignRight | Qt::AlignTop,
                     totals);
    const QRectF plot(44, 26, kProgressPanelWidth - 104, kProgressPanelHeight - 34);
    if (shown == 0) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("Sin intentos todavía."));
        return image;
    }
    const auto first = figures.attempts.end() - static_cast<std::ptrdiff_t>(shown);
    double highest = 0.10;
    for (auto it = first; it != figures.attempts.end(); ++it) {
        highest = std::max(highest, it->figures.ErrorRate());
    }
    highest = std::min(1.0, std::ceil(highest * 10.0 - 1e-9) / 10.0);
    // The scale: the top and the bottom line, labelled.
    painter.setPen(QPen(look::kCardLine, 1));
    painter.drawLine(QPointF(plot.left(), plot.bottom() + 0.5),
                     QPointF(plot.right(), plot.bottom() + 0.5));
    painter.setPen(QPen(look::kCardLine, 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), plot.top() + 0.5),
                     QPointF(plot.right(), plot.top() + 0.5));
    painter.setPen(look::kMutedInk);
    painter.setFont(ArialPixels(10, false));
    painter.drawText(
        QRectF(4, plot.top() - 6, 36, 12), Qt::AlignRight | Qt::AlignVCenter,
        QString::number(static_cast<int>(std::lround(highest * 100))) + QStringLiteral(" %"));
    painter.drawText(QRectF(4, plot.bottom() - 6, 36, 12), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("0 %"));
    const double slot = plot.width() / kProgressAttempts;
    std::size_t i = 0;
    for (auto it = first; it != figures.attempts.end(); ++it, ++i) {
        const double rate = it->figures.ErrorRate();
        const double height = std::max(1.0, plot.height() * rate / highest);
        const QRectF bar(plot.left() + static_cast<double>(i) * slot + 2, plot.bottom() - height,
                         slot - 4, height);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ErrorRateColour(rate));
        painter.drawRect(bar);
        painter.setPen(QPen(ErrorRateColour(rate).darker(160), 0.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar);
    }

    // Keystrokes a minute of each attempt, from its mean time between keystrokes, on a scale of
    // its own at the right.
    double fastest = 0;
    for (auto it = first; it != figures.attempts.end(); ++it) {
        if (it->figures.MeanMs() > 0) fastest = std::max(fastest, 60000.0 / it->figures.MeanMs());
    }
    if (fastest <= 0) return image;
    const double top = std::ceil(fastest / 50.0) * 50.0;
    QPolygonF line;
    i = 0;
    for (auto it = first; it != figures.attempts.end(); ++it, ++i) {
        if (it->figures.MeanMs() <= 0) continue;
        const double speed = 60000.0 / it->figures.MeanMs();
        line << QPointF(plot.left() + (static_cast<double>(i) + 0.5) * slot,
                        plot.bottom() - plot.height() * speed / top);
    }
    painter.setPen(QPen(look::kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    painter.setBrush(look::kInk);
    for (const QPointF& point : line) painter.drawEllipse(point, 2.2, 2.2);
    painter.setPen(look::kInk);
    painter.setFont(ArialPixels(10, false));
    painter.drawText(QRectF(plot.right() + 4, plot.top() - 6, 52, 12),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::number(static_cast<int>(top)) + QStringLiteral(" p.p.m."));
    painter.drawText(QRectF(plot.right() + 4, plot.bottom() - 6, 52, 12),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0"));
    return image;
}

}  // namespace tz
