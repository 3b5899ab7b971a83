// The class report as A4 pages for print: black and grey only, so a black-and-white printer
// loses nothing.

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "content/class_report.h"

namespace tz {

namespace {

// Drawn in points (1/72 inch); A4 less 15 mm margins is about 510 x 757.
constexpr double kRowHeight = 40;
constexpr double kChartWidth = 118;
const QColor kRule(150, 150, 150);
const QColor kBarFill(120, 120, 120);

QFont Arial(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString OrDash(const std::optional<int>& value) {
    return value ? QString::number(*value) : QStringLiteral("–");
}

struct ClassAverages {
    int pupils = 0;
    std::optional<double> speed;      // of the pupils with results
    std::optional<double> errorRate;  // of the pupils with figures
    int best = 0;                     // the best result of the class, the charts' scale
};

ClassAverages AveragesOf(const ClassReport& report) {
    ClassAverages averages;
    averages.pupils = static_cast<int>(report.rows.size());
    double speeds = 0;
    int withResults = 0;
    double rates = 0;
    int withFigures = 0;
    for (const PupilReportRow& row : report.rows) {
        if (!row.results.empty()) {
            speeds += row.averageSpeed;
            ++withResults;
            averages.best = std::max(averages.best, *row.Best());
        }
        if (row.errorRate) {
            rates += *row.errorRate;
            ++withFigures;
        }
    }
    if (withResults > 0) averages.speed = speeds / withResults;
    if (withFigures > 0) averages.errorRate = rates / withFigures;
    return averages;
}

void DrawHeading(QPainter& painter, double width, const ClassReport& report,
                 const ClassAverages& averages) {
    painter.setPen(Qt::black);
    painter.setFont(Arial(18, true));
    painter.drawText(QRectF(0, 0, width, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Informe de la clase"));
    painter.setFont(Arial(10));
    painter.drawText(QRectF(0, 0, width, 26), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("TIPENZO 10"));
    painter.drawText(
        QRectF(0, 28, width, 14), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Fecha: ") + report.made.toString(QStringLiteral("dd/MM/yyyy HH:mm")));

    // The class averages in a framed box.
    const QRectF box(0, 48, width, 40);
    painter.setPen(QPen(Qt::black, 0.8));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(box);
    painter.setFont(Arial(10, true));
    painter.drawText(box.adjusted(8, 4, -8, -22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Medias de la clase"));
    painter.setFont(Arial(10));
    const QString figures =
        QStringLiteral("Alumnos: ") + QString::number(averages.pupils) +
        QStringLiteral("     Velocidad media: ") +
        (averages.speed ? DecimalComma(*averages.speed, 1) + QStringLiteral(" p.p.m.")
                        : QStringLiteral("–")) +
        QStringLiteral("     Errores: ") +
        (averages.errorRate ? DecimalComma(*averages.errorRate * 100.0, 1) + QStringLiteral(" %")
                            : QStringLiteral("–")) +
        QStringLiteral("     Mejor resultado: ") +
        (averages.best > 0 ? QString::number(averages.best) + QStringLiteral(" p.p.m.")
                           : QStringLiteral("–"));
    painter.drawText(box.adjusted(8, 20, -8, -4), Qt::AlignLeft | Qt::AlignVCenter, figures);
}

void DrawColumnHeads(QPainter& painter, double top, double width) {
    painter.setPen(Qt::black);
    painter.setFont(Arial(8, true));
    painter.drawText(QRectF(0, top, 200, 12), Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Alumno, modo y lugar en el curso"));
    painter.drawText(QRectF(width - kChartWidth, top, kChartWidth, 12),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Últimos diez (p.p.m.)"));
    painter.setPen(QPen(Qt::black, 0.8));
    painter.drawLine(QPointF(0, top + 14), QPointF(width, top + 14));
}

// The last ten results as bars on the class's scale, the latest right.
void DrawResultsChart(QPainter& painter, const QRectF& area, const std::vector<int>& results,
                      int best) {
    painter.setPen(QPen(kRule, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    if (results.empty() || best <= 0) {
        painter.setPen(Qt::black);
        painter.setFont(Arial(7));
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("sin resultados"));
        return;
    }
    const double slot = area.width() / 10.0;
    for (std::size_t i = 0; i < results.size() && i < 10; ++i) {
        const double height = std::max(0.8, area.height() * results[i] / best);
        const QRectF bar(area.left() + static_cast<double>(i) * slot + 1.5, area.bottom() - height,
                         slot - 3, height);
        painter.setPen(QPen(Qt::black, 0.5));
        painter.setBrush(kBarFill);
        painter.drawRect(bar);
    }
}

void DrawPupilRow(QPainter& painter, double top, double width, const PupilReportRow& row,
                  int best) {
    const double textWidth = width - kChartWidth - 10;
    // The place in the course on the right; the name takes what is left, shortened if need be.
    const QString place = row.mode + QStringLiteral(" · Nivel ") + QString::number(row.level) +
                          QStringLiteral(" · Bloque ") + QString::number(row.block) +
                          QStringLiteral(" · Ejercicio ") + QString::number(row.exercise);
    painter.setPen(Qt::black);
    painter.setFont(Arial(9));
    const double placeWidth =
        QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(place);
    painter.drawText(QRectF(0, top + 3, textWidth, 14), Qt::AlignRight | Qt::AlignVCenter, place);
    painter.setFont(Arial(10, true));
    const double nameWidth = std::max(40.0, textWidth - placeWidth - 12);
    const QString name = QFontMetricsF(painter.font(), painter.device())
                             .elidedText(row.name, Qt::ElideRight, nameWidth);
    painter.drawText(QRectF(0, top + 3, nameWidth, 14), Qt::AlignLeft | Qt::AlignVCenter, name);
    painter.setFont(Arial(9));
    const std::optional<double> trend = row.Trend();
    QString trendText = QStringLiteral("–");
    if (trend) {
        trendText = DecimalComma(*trend, 1);
        if (!trendText.startsWith(u'-') && trendText != QStringLiteral("0,0")) {
            trendText.prepend(u'+');
        }
    }
    const QString figures =
        QStringLiteral("Media ") + QString::number(row.averageSpeed) +
        QStringLiteral(" · Último ") + OrDash(row.Last()) + QStringLiteral(" · Mejor ") +
        OrDash(row.Best()) + QStringLiteral(" · Tendencia ") + trendText +
        QStringLiteral(" · Errores ") +
        (row.errorRate ? DecimalComma(*row.errorRate * 100.0, 1) + QStringLiteral(" %")
                       : QStringLiteral("–")) +
        QStringLiteral(" · Teclas difíciles: ") +
        (row.weakestKeys.isEmpty() ? QStringLiteral("–") : row.weakestKeys.join(u' '));
    painter.drawText(QRectF(0, top + 19, textWidth, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(painter.font(), painter.device())
                         .elidedText(figures, Qt::ElideRight, textWidth));
    DrawResultsChart(painter, QRectF(width - kChartWidth, top + 5, kChartWidth, kRowHeight - 5),
                     row.results, best);
    painter.setPen(QPen(kRule, 0.5));
    painter.drawLine(QPointF(0, top + kRowHeight), QPointF(width, top + kRowHeight));
}

}  // namespace

QByteArray ClassReportPdf(const ClassReport& report) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter printer(&buffer);
    // One unit a point: the fonts' point sizes and the layout's measures agree. A PDF is
    // vector drawing, so nothing is lost by it.
    printer.setResolution(72);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setCreator(QStringLiteral("TIPENZO 10"));
    printer.setTitle(QStringLiteral("Informe de la clase"));
    QPainter painter;
    if (!painter.begin(&printer)) return QByteArray();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF page = printer.pageLayout().paintRect(QPageLayout::Point);
    const double width = page.width();
    const double height = page.height();

    const ClassAverages averages = AveragesOf(report);
    DrawHeading(painter, width, report, averages);
    double top = 98;
    DrawColumnHeads(painter, top, width);
    top += 16;
    int pageNumber = 1;
    for (const PupilReportRow& row : report.rows) {
        if (top + kRowHeight > height - 16) {
            painter.setFont(Arial(8));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, height - 12, width, 12), Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("Página ") + QString::number(pageNumber));
            if (!printer.newPage()) return QByteArray();
            ++pageNumber;
            top = 0;
            DrawColumnHeads(painter, top, width);
            top += 16;
        }
        DrawPupilRow(painter, top, width, row, averages.best);
        top += kRowHeight;
    }
    if (report.rows.empty()) {
        painter.setFont(Arial(10));
        painter.drawText(QRectF(0, top + 6, width, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("No hay alumnos en el archivo de usuarios."));
    }
    painter.setFont(Arial(8));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, height - 12, width, 12), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Página ") + QString::number(pageNumber));
    if (!painter.end()) return QByteArray();
    return buffer.data();
}

}  // namespace tz
