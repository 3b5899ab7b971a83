// "tipenzo10 --informe FILE": the class report from the command line, run in a process of its
// own (this test program again, as another user when we are root, so a folder without write
// permission really cannot be written): the report where it can be written, a message and a
// non-zero exit code where it cannot, and never a file of the data folder touched.

#ifndef _WIN32

#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "support.h"

namespace tz {
namespace {

const char* const kArgumentsVariable = "TIPENZO_REPORT_ARGUMENTS";

// Run only as the child of the tests below: the program with "--informe" and the file named
// in the variable ("-" for no file name), ending the process with its exit code.
TEST(ReportCommandChild, DISABLED_RunsTheProgram) {
    std::vector<QByteArray> arguments = {"tipenzo10", "--informe"};
    const QByteArray file = qgetenv(kArgumentsVariable);
    if (file != "-") arguments.push_back(file);
    std::vector<char*> argv;
    for (QByteArray& argument : arguments) argv.push_back(argument.data());
    const int code = RunProgram(static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

struct Outcome {
    int code = -1;
    QString output;
    QString errors;
};

// Every file below the folder, with its bytes.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files[QDir(folder).relativeFilePath(path)] =
            file.open(QIODevice::ReadOnly) ? file.readAll() : "?";
    }
    return files;
}

class ReportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        ASSERT_TRUE(out_.isValid());
        // The fixture class, readable by all, its folder closed to writing.
        const QStringList copied = test::CopyClassFixture(data_.path());
        ASSERT_FALSE(copied.isEmpty());
        for (const QString& relative : copied) {
            QFile::setPermissions(data_.filePath(relative),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(data_.filePath("estadisticas"), readOnly);
        QFile::setPermissions(data_.path(), readOnly);
        // The folder the report may go to: open to everyone.
        QFile::setPermissions(out_.path(),
                              readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
    }
    void TearDown() override {
        // The temporary folders go again.
        QFile::setPermissions(data_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(data_.filePath("estadisticas"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The program as a user who cannot write the data folder: ourselves, or "nobody" when we
    // are root (root writes anywhere).
    Outcome Run(const QString& file) {
        QStringList command;
        if (::geteuid() == 0) {
            const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            if (setpriv.isEmpty()) return {};
            command << setpriv << "--reuid=nobody"
                    << "--regid=nogroup"
                    << "--clear-groups";
        }
        command << QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()
                << "--gtest_filter=ReportCommandChild.DISABLED_RunsTheProgram"
                << "--gtest_also_run_disabled_tests";
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TIPENZO_DATA"), data_.path());
        environment.insert(QString::fromLatin1(kArgumentsVariable), file);
        environment.insert(QStringLiteral("HOME"), out_.path());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(out_.path());
        process.start(command.takeFirst(), command);
        if (!process.waitForFinished(60000)) return {};
        Outcome outcome;
        outcome.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        outcome.output = QString::fromLocal8Bit(process.readAllStandardOutput());
        outcome.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return outcome;
    }

    QTemporaryDir data_;
    QTemporaryDir out_;
};

TEST_F(ReportCommandTest, AReadOnlyDataFolderStillGivesTheReportElsewhere) {
    const auto before = Snapshot(data_.path());
    const Outcome csv = Run(QStringLiteral("informe.csv"));  // relative to the working folder
    ASSERT_EQ(csv.code, 0) << csv.errors.toStdString();
    QFile written(out_.filePath("informe.csv"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QFile expected(test::SourcePath("tests/data/informe/informe_clase.csv"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expected.readAll());
    EXPECT_TRUE(csv.output.contains(out_.filePath("informe.csv"))) << csv.output.toStdString();

    const Outcome pdf = Run(out_.filePath("informe.PDF"));
    ASSERT_EQ(pdf.code, 0) << pdf.errors.toStdString();
    QFile pdfFile(out_.filePath("informe.PDF"));
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(4) == "%PDF");
    EXPECT_EQ(Snapshot(data_.path()), before) << "no lock, mark or copy left in the data folder";
}

TEST_F(ReportCommandTest, AReportThatCannotBeWrittenFailsWithAMessage) {
    const auto before = Snapshot(data_.path());
    const Outcome readOnly = Run(data_.filePath("informe.csv"));
    EXPECT_EQ(readOnly.code, 1);
    EXPECT_TRUE(readOnly.errors.contains(QStringLiteral("No se pudo escribir el informe")))
        << readOnly.errors.toStdString();
    EXPECT_EQ(Snapshot(data_.path()), before) << "nothing written, no half file";

    const Outcome nowhere = Run(out_.filePath("no/hay/carpeta.pdf"));
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_FALSE(QFile::exists(out_.filePath("no")));

    const Outcome kind = Run(out_.filePath("informe.xlsx"));
    EXPECT_EQ(kind.code, 1);
    EXPECT_TRUE(kind.errors.contains(QStringLiteral(".csv"))) << kind.errors.toStdString();

    const Outcome missing = Run(QStringLiteral("-"));
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.errors.contains(QStringLiteral("--informe")))
        << missing.errors.toStdString();
    EXPECT_EQ(QDir(out_.path()).entryList(QDir::Files), QStringList());
}

}  // namespace
}  // namespace tz

#endif
