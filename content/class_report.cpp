#include "content/class_report.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "content/figures_file.h"
#include "exercise/keystroke_figures.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QString kReportTitle = QStringLiteral("Informe de la clase");
const QString kReportFilter = QStringLiteral("Hoja de cálculo CSV (*.csv);;Documento PDF (*.pdf)");
const QString kProposedName = QStringLiteral("informe_clase.csv");

}  // namespace

QString DecimalComma(double value, int decimals) {
    // "-0,0" would read as a loss where there is none.
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

namespace {

QString Optional(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString();
}

QString TrendText(const std::optional<double>& trend) {
    if (!trend) return QString();
    QString text = DecimalComma(*trend, 1);
    if (!text.startsWith(u'-') && text != QStringLiteral("0,0")) text.prepend(u'+');
    return text;
}

}  // namespace

std::optional<int> PupilReportRow::Last() const {
    if (results.empty()) return std::nullopt;
    return results.back();
}

std::optional<int> PupilReportRow::Best() const {
    if (results.empty()) return std::nullopt;
    return *std::max_element(results.begin(), results.end());
}

std::optional<double> PupilReportRow::Trend() const {
    const std::size_t n = results.size();
    if (n < 2) return std::nullopt;
    double meanX = 0;
    double meanY = 0;
    for (std::size_t i = 0; i < n; ++i) {
        meanX += static_cast<double>(i);
        meanY += results[i];
    }
    meanX /= static_cast<double>(n);
    meanY /= static_cast<double>(n);
    double sxy = 0;
    double sxx = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxy += (static_cast<double>(i) - meanX) * (results[i] - meanY);
        sxx += (static_cast<double>(i) - meanX) * (static_cast<double>(i) - meanX);
    }
    return sxy / sxx;
}

std::optional<ClassReport> GatherClassReport(PupilStore& store, const QDateTime& made) {
    const PupilList pupils = store.Pupils();
    if (!pupils.opened) return std::nullopt;
    const QHash<QString, QByteArray> classFigures = store.ReadClassFigures();
    ClassReport report;
    report.made = made;
    for (const UserRecord& user : pupils.pupils) {
        PupilReportRow row;
        row.name = user.name;
        row.mode = user.mode;
        row.level = user.level;
        row.block = user.block;
        row.exercise = user.exercise;
        row.averageSpeed = user.averageSpeed;
        // The history fills from the first slot; an empty slot ends it.
        for (const std::int16_t result : user.history) {
            if (result < 0) break;
            row.results.push_back(result);
        }
        const auto bytes = classFigures.constFind(user.id);
        const PupilFigures figures = bytes == classFigures.constEnd()
                                         ? PupilFigures()
                                         : ParseFiguresFile(*bytes).value_or(PupilFigures());
        const KeyFigures total = figures.Total();
        if (total.keystrokes > 0) row.errorRate = total.ErrorRate();
        for (const WeakKey& key : WeakestKeys(figures, 3)) row.weakestKeys << key.label;
        report.rows.push_back(row);
    }
    return report;
}

QString CsvTextField(const QString& text) {
    QString field = text;
    // Spreadsheets skip leading spaces (and other blanks) before they decide a cell is a
    // formula; a tab or carriage return is a start of its own.
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    qsizetype first = 0;
    while (first < field.size() && field[first].isSpace() && !kFormulaStarts.contains(field[first]))
        ++first;
    if (first < field.size() && kFormulaStarts.contains(field[first])) field.prepend(u'\'');
    // Some spreadsheets split on commas or tabs as well as on semicolons.
    static const QString kSplitting = QStringLiteral(";\",\t\r\n");
    if (std::any_of(field.begin(), field.end(), [](QChar c) { return kSplitting.contains(c); })) {
        field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        field = u'"' + field + u'"';
    }
    return field;
}

QByteArray FormatClassReportCsv(const ClassReport& report) {
    QStringList lines;
    lines << QStringLiteral(
        "Nombre;Modo;Nivel;Bloque;Ejercicio;Velocidad media (p.p.m.);Último resultado;"
        "Mejor de los diez últimos;Tendencia de los diez últimos (p.p.m. por intento);"
        "Errores (%);Teclas más difíciles");
    for (const PupilReportRow& row : report.rows) {
        QStringList fields;
        fields << CsvTextField(row.name) << CsvTextField(row.mode) << QString::number(row.level)
               << QString::number(row.block) << QString::number(row.exercise)
               << QString::number(row.averageSpeed) << Optional(row.Last()) << Optional(row.Best())
               << TrendText(row.Trend())
               << (row.errorRate ? DecimalComma(*row.errorRate * 100.0, 1) : QString())
               << CsvTextField(row.weakestKeys.join(u' '));
        lines << fields.join(u';');
    }
    return "\xEF\xBB\xBF" + EncodeLines(lines);
}

QString WriteClassReport(PupilStore& store, const QString& path, const QDateTime& made) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("csv") && suffix != QStringLiteral("pdf")) {
        return QStringLiteral(
            "El informe se guarda como hoja de cálculo (.csv) o como "
            "documento PDF (.pdf): elige un nombre que termine así.");
    }
    const std::optional<ClassReport> report = GatherClassReport(store, made);
    if (!report) return store.CannotReadText();
    const QByteArray bytes =
        suffix == QStringLiteral("csv") ? FormatClassReportCsv(*report) : ClassReportPdf(*report);
    const bool written = !bytes.isEmpty() && ReplaceFileWith(path, bytes);
    if (!written) {
        return QStringLiteral("No se pudo escribir el informe en:\n") +
               QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
               QStringLiteral(
                   "\n\nComprueba que la carpeta existe y que se puede escribir en "
                   "ella.");
    }
    return QString();
}

void SaveClassReportAsked(PupilStore& store) {
    const QString path = SaveFileDialog(kReportTitle, kReportFilter, kProposedName);
    if (path.isEmpty()) return;
    const QString failure = WriteClassReport(store, path, Now());
    if (!failure.isEmpty()) {
        Tell(kReportTitle, failure, DialogIcon::Exclamation);
        return;
    }
    Tell(kReportTitle,
         QStringLiteral("El informe de la clase se ha guardado en:\n\n") +
             QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
         DialogIcon::Information);
}

}  // namespace tz
