// The class report of whatever users file the data folder holds: a CSV a spreadsheet reads as
// one row a pupil, no cell of which it would run as a formula, and a PDF.

#include <QString>
#include <QStringList>

#include "content/class_report.h"
#include "fuzz/fuzz_support.h"
#include "users/file_store.h"
#include "users/user_record.h"
#include "users/user_store.h"

using namespace tz;

namespace {

// The rows of a CSV as a spreadsheet reads it: ";" between cells, cells in double quotes may
// hold anything, a doubled quote inside them is one quote.
QList<QStringList> ReadCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            row << cell;
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    fuzz::WriteFolderFile(kUsersFileName, fuzz::InputBytes(data, size));
    FileStore store;
    const std::optional<ClassReport> report =
        GatherClassReport(store, QDateTime(QDate(2024, 3, 5), {}));
    FUZZ_CHECK(report.has_value());
    const QList<UserRecord> pupils = store.Pupils().pupils;
    FUZZ_CHECK(report->rows.size() == static_cast<std::size_t>(pupils.size()));

    const QByteArray csv = FormatClassReportCsv(*report);
    FUZZ_CHECK(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = ReadCsv(QString::fromUtf8(csv.mid(3)));
    FUZZ_CHECK(rows.size() == pupils.size() + 1);
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    for (qsizetype i = 1; i < rows.size(); ++i) {
        FUZZ_CHECK(rows[i].size() == rows[0].size());
        // The name reads back as the program shows it, behind the guard when it looks like a
        // formula.
        const QString& name = rows[i][0];
        const QString& expected = pupils[i - 1].name;
        FUZZ_CHECK(name == expected || name == u'\'' + expected);
        const QString unguarded = name.startsWith(u'\'') ? name.mid(1) : name;
        const QString bare = unguarded.trimmed();
        if (!name.startsWith(u'\'') && !bare.isEmpty())
            FUZZ_CHECK(!kFormulaStarts.contains(bare[0]));
    }
    // A small class also as a PDF.
    if (report->rows.size() <= 40) FUZZ_CHECK(ClassReportPdf(*report).startsWith("%PDF"));
    return 0;
}
