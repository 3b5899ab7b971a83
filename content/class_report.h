#pragma once
// The class report for the teacher: one row per pupil of the users file with her place in the
// course, her results and her figures, written as CSV for a spreadsheet or as PDF for print.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "users/pupil_store.h"

namespace tz {

struct PupilReportRow {
    QString name;
    QString mode;
    int level = 0;
    int block = 0;
    int exercise = 0;
    int averageSpeed = 0;
    std::vector<int> results;         // the filled slots of the last ten, oldest first
    std::optional<double> errorRate;  // 0..1; nothing before any keystroke was recorded
    QStringList weakestKeys;          // up to three, the worst first

    std::optional<int> Last() const;
    std::optional<int> Best() const;
    // Keystrokes a minute gained per attempt over the results (least squares); nothing for
    // fewer than two.
    std::optional<double> Trend() const;
};

struct ClassReport {
    QDateTime made;
    std::vector<PupilReportRow> rows;
};

// The pupils of the store, in their order, with their figures (read for the whole class at
// once); nothing when the store cannot be read. Reads only: works on a data folder that cannot
// be written.
std::optional<ClassReport> GatherClassReport(PupilStore& store, const QDateTime& made);

// A text field of the CSV: a "=", "+", "-", "@", tab or carriage return first (after any
// spaces or other blanks) gets a "'" in front so a spreadsheet does not take it for a formula;
// quoted when it holds ";", ",", a tab, '"' or a line end.
QString CsvTextField(const QString& text);
// UTF-8 with a byte-order mark (spreadsheets then read the accents right), ";" between fields,
// decimal commas, CR LF, a header row.
QByteArray FormatClassReportCsv(const ClassReport& report);

// A4 pages: the date, the class averages, one row per pupil with a small bar chart of her last
// ten results; black on white, readable on a grey print. Empty when it could not be drawn.
QByteArray ClassReportPdf(const ClassReport& report);

// Writes the report as the file name's extension asks (".csv" or ".pdf", in any case), in one
// step (ReplaceFileWith), so a failure leaves no half file. Empty on success, otherwise
// what to tell the teacher.
QString WriteClassReport(PupilStore& store, const QString& path, const QDateTime& made);

// The users window's button: asks where to save and which kind, writes, tells how it went.
void SaveClassReportAsked(PupilStore& store);

// "12,5": a decimal comma, as the Spanish spreadsheets read numbers.
QString DecimalComma(double value, int decimals);

}  // namespace tz
