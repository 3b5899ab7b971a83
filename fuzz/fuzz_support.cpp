#include "fuzz/fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace tz::fuzz {

namespace {

struct Program {
    QCoreApplication* app = nullptr;
    QTemporaryDir* folder = nullptr;
    ManualClock clock;
    quint64 draws = 0;
};

Program& TheProgram() {
    static Program program;
    return program;
}

const QDateTime kFixedNow(QDate(2024, 3, 5), QTime(9, 5, 7));

}  // namespace

void StartProgram(bool drawsText) {
    Program& program = TheProgram();
    if (program.app != nullptr) return;
    static int argc = 1;
    static char name[] = "tipenzo-fuzz";
    static char* argv[] = {name, nullptr};
    if (drawsText) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        program.app = new QGuiApplication(argc, argv);
    } else {
        program.app = new QCoreApplication(argc, argv);
    }
    const QString memory = QStringLiteral("/dev/shm");
    const QString base = QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
    program.folder = new QTemporaryDir(base + QStringLiteral("/tipenzo-fuzz-XXXXXX"));
    if (!program.folder->isValid()) {
        std::fprintf(stderr, "no temporary folder for the fuzz target\n");
        std::abort();
    }
    SetProgramFolder(program.folder->path());
    // No box is shown and no browser opened: answers come from queues.
    SetDialogScripting(true);
    SetShellRecording(true);
    SetClock(&program.clock);
    SetRandomSource([] {
        // A fixed sequence of draws from [0, 1), started again for every input.
        quint64& x = TheProgram().draws;
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(x >> 11) / 9007199254740992.0;
    });
    // libFuzzer ends a run with exit(); after a crash the folder stays for a look.
    std::atexit([] { delete TheProgram().folder; });
}

void ResetProgram() {
    Program& program = TheProgram();
    QDir folder(program.folder->path());
    for (const QString& entry :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = folder.filePath(entry);
        if (QFileInfo(path).isDir()) {
            QDir(path).removeRecursively();
        } else {
            QFile::remove(path);
        }
    }
    program.clock.now = kFixedNow;
    program.clock.milliseconds = 0;
    program.draws = 0;
    ClearDialogs();
    ClearShellRequests();
}

QString FolderPath(const QString& name) {
    return TheProgram().folder->path() + QLatin1Char('/') + name;
}

void WriteFolderFile(const QString& name, const QByteArray& bytes) {
    QFile file(FolderPath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        Fail(__FILE__, __LINE__, "the input could not be written to the program folder");
    }
}

QByteArray ReadFolderFile(const QString& name) {
    QFile file(FolderPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace tz::fuzz
