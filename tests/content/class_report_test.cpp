// The class report: the CSV of a class in a fixture data folder is exactly the file written by
// hand beside it; the PDF's text holds every pupil's name and figures; names that a spreadsheet
// would run as formulas are defused.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include "content/class_report.h"
#include "support.h"

namespace tz {
namespace {

const QDateTime kMade(QDate(2024, 3, 5), QTime(8, 30));

class ClassReportTest : public test::ProgramFolderTest {
  protected:
    void CopyFixture() { ASSERT_FALSE(test::CopyClassFixture(dir_->path()).isEmpty()); }
    static QByteArray Expected() { return test::ClassFixtureReport(); }
};

TEST_F(ClassReportTest, TheCsvOfTheFixtureClassIsTheOneWrittenByHand) {
    CopyFixture();
    const std::optional<ClassReport> report = GatherClassReport(store_, kMade);
    ASSERT_TRUE(report.has_value());
    ASSERT_EQ(report->rows.size(), 5u);
    EXPECT_EQ(FormatClassReportCsv(*report), Expected());

    // Written to a file through a temporary one, which does not stay.
    EXPECT_EQ(WriteClassReport(store_, Path("salida/informe.CSV"), kMade).isEmpty(), false)
        << "no such folder: a message, not a crash";
    QDir().mkpath(Path("salida"));
    EXPECT_EQ(WriteClassReport(store_, Path("salida/informe.CSV"), kMade), QString());
    EXPECT_EQ(ReadBytes("salida/informe.CSV"), Expected());
    EXPECT_FALSE(Exists("salida/informe.CSV.tmp"));
    EXPECT_TRUE(WriteClassReport(store_, Path("salida/informe.txt"), kMade).contains(".csv"));
    EXPECT_FALSE(Exists("salida/informe.txt"));
}

TEST_F(ClassReportTest, FieldsAreDefusedAndQuotedAndTrendsComeFromTheResults) {
    const std::pair<const char*, const char*> fields[] = {
        {"=1+1", "'=1+1"},
        {"+34 600", "'+34 600"},
        {"@SUMA", "'@SUMA"},
        {"\tA", "\"'\tA\""},
        {"  =1+1", "'  =1+1"},  // a spreadsheet skips the spaces first
        {"\f@x", "'\f@x"},
        {"ANA \"LA RÁPIDA\"", "\"ANA \"\"LA RÁPIDA\"\"\""},
        {"RUIZ, ANA", "\"RUIZ, ANA\""},  // some spreadsheets split on commas
        {"ANA\tB", "\"ANA\tB\""},
        {"ANA", "ANA"},
        {"ANA-MARÍA", "ANA-MARÍA"},
    };
    for (const auto& [text, field] : fields) {
        EXPECT_EQ(CsvTextField(QString::fromUtf8(text)), QString::fromUtf8(field)) << text;
    }
    EXPECT_EQ(DecimalComma(-0.04, 1), QStringLiteral("0,0"));
    EXPECT_EQ(DecimalComma(12.345, 1), QStringLiteral("12,3"));

    PupilReportRow row;
    EXPECT_FALSE(row.Trend().has_value());
    EXPECT_FALSE(row.Last().has_value());
    row.results = {100};
    EXPECT_FALSE(row.Trend().has_value());
    row.results = {100, 90, 120, 110};
    EXPECT_DOUBLE_EQ(*row.Trend(), 6.0);  // least squares: 30 / 5
    EXPECT_EQ(*row.Last(), 110);
    EXPECT_EQ(*row.Best(), 120);

    // No users file: nothing to report, said so.
    EXPECT_FALSE(GatherClassReport(store_, kMade).has_value());
    EXPECT_TRUE(
        WriteClassReport(store_, Path("informe.csv"), kMade).contains("archivo de usuarios"));
    EXPECT_FALSE(Exists("informe.csv"));
}

TEST_F(ClassReportTest, ThePdfHoldsEveryPupilsNameAndFigures) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    CopyFixture();
    ASSERT_EQ(WriteClassReport(store_, Path("informe.pdf"), kMade), QString());
    EXPECT_TRUE(ReadBytes("informe.pdf").startsWith("%PDF"));

    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), QStringLiteral("-enc"),
                           QStringLiteral("UTF-8"), Path("informe.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected :
         {"Informe de la clase", "Fecha: 05/03/2024 08:30", "Alumnos: 5",
          "Velocidad media: 108,8 p.p.m.",  // (105 + 180 + 50 + 100) / 4 pupils with results
          "Errores: 19,3 %",                // (8,65 + 30) / 2 pupils with figures
          "Mejor resultado: 200 p.p.m.",
          // Every pupil with her place, results and figures.
          "ANA PÉREZ", "NORMAL · Nivel 3 · Bloque 2 · Ejercicio 4",
          "Media 105 · Último 120 · Mejor 120 · Tendencia +10,0 · Errores 8,7 %",
          "Teclas difíciles: Ñ T E", "=HYPERLINK(\"x\")",
          "FACIL · Nivel 1 · Bloque 1 · Ejercicio 1", "Media 0 · Último – · Mejor –",
          "LUIS; GARCÍA", "DIFICIL · Nivel 36 · Bloque 5 · Ejercicio 1",
          "Media 180 · Último 110 · Mejor 200 · Tendencia -10,0 · Errores –", "-MARÍA",
          "MUY FACIL · Nivel 2 · Bloque 1 · Ejercicio 1",
          "Media 50 · Último 55 · Mejor 55 · Tendencia +10,0 · Errores 30,0 %",
          "Teclas difíciles: - Espacio", "Página 1"}) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected << "\nnot in:\n"
                                                                 << shown.toStdString();
    }

    // The first page as it prints, for a look.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return;
    QProcess render;
    render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                            QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                            QStringLiteral("1"), QStringLiteral("-singlefile"), Path("informe.pdf"),
                            Path("pagina")});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(Path("pagina.png"));
    ASSERT_FALSE(page.isNull());
    // A4 at 100 dots an inch: 210 x 297 mm.
    EXPECT_EQ(page.width(), 827);
    EXPECT_NEAR(page.height(), 1169, 1);
    test::SaveImage(page, "informe_clase_pagina1");
}

TEST_F(ClassReportTest, AClassOfManyPupilsGoesOnOverSeveralPages) {
    QByteArray users = "Datos de Usuarios v2.6\r\n";
    for (int i = 0; i < 60; ++i) {
        users +=
            QStringLiteral("ALUMNO %1|1|1|1|30|30|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-2024%2\r\n")
                .arg(i)
                .arg(1000 + i)
                .toUtf8();
    }
    WriteBytes("usuarios.dat", users);
    ASSERT_EQ(WriteClassReport(store_, Path("informe.pdf"), kMade), QString());
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), Path("informe.pdf"),
                           QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("ALUMNO 0\n")) || shown.contains("ALUMNO 0 "));
    EXPECT_TRUE(shown.contains(QStringLiteral("ALUMNO 59")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Página 3")));
}

}  // namespace
}  // namespace tz
