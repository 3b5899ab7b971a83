// How long the users window takes to open on a large users file, offscreen: from the click that
// opens it until it waits for the teacher with its list filled. Run by hand:
//
//   build/bench_users_window
//
// "pupils" is an ordinary class of that many pupils; "huge_names" a class whose users file a
// pupil filled through imports of names of 4 MB each (as many as fit in about 29 MB).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "bench_support.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "users/file_store.h"
#include "users/users_window.h"

namespace {

// Runs `act` on the users window once it shows, from its own loop.
class WhenUsersWindowShows : public QObject {
  public:
    explicit WhenUsersWindowShows(std::function<void(QDialog*)> act) : act_(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~WhenUsersWindowShows() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && window &&
            window->windowTitle() == QStringLiteral("USUARIOS")) {
            QTimer::singleShot(0, window, [this, window] { act_(window); });
        }
        return false;
    }

  private:
    std::function<void(QDialog*)> act_;
};

QByteArray PupilLine(int i, const QByteArray& name) {
    return name + QString("|%1|%2|1|231|210|225|240|251|-1|-1|-1|-1|-1|-1|NORMAL|ID-2024%3\r\n")
                      .arg(1 + i % 36)
                      .arg(1 + i % 5)
                      .arg(1000000 + i)
                      .toUtf8();
}

// Opens the window on `file` and closes it as soon as it waits for input; the milliseconds it
// took to open, and the rows it listed.
void OpenWindowOn(benchmark::State& state, const QByteArray& file) {
    QTemporaryDir dir;
    tz::SetProgramFolder(dir.path());
    QFile out(tz::DataPath("usuarios.dat"));
    if (out.open(QIODevice::WriteOnly)) out.write(file);
    out.close();
    tz::FileStore store;
    tz::UserRecord current;
    QString mode = QStringLiteral("NORMAL");
    int rows = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        double openMs = 0;
        WhenUsersWindowShows closing([&](QDialog* window) {
            openMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            if (auto* list = window->findChild<QTreeWidget*>()) rows = list->topLevelItemCount();
            window->reject();
        });
        timer.start();
        tz::RunUsersWindow(nullptr, store, current, mode);
        state.SetIterationTime(openMs / 1000.0);
    }
    state.counters["rows"] = rows;
    tz::SetProgramFolder(QString());
}

void BM_OpenUsersWindow(benchmark::State& state) {
    QByteArray file = "Datos de Usuarios v2.6\r\n";
    for (int i = 0; i < state.range(0); ++i)
        file += PupilLine(i, QString("ALUMNO NUMERO %1").arg(i).toUtf8());
    OpenWindowOn(state, file);
}
BENCHMARK(BM_OpenUsersWindow)
    ->ArgName("pupils")
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_OpenUsersWindowHugeNames(benchmark::State& state) {
    // Words of a name, as a pupil would paste them, over and over.
    QByteArray name;
    while (name.size() < (4 << 20)) name += "MARIA JOSE PEREZ ";
    QByteArray file = "Datos de Usuarios v2.6\r\n";
    for (int i = 0; i < state.range(0); ++i) file += PupilLine(i, name);
    for (int i = 0; i < 200; ++i) file += PupilLine(i, QString("ALUMNO %1").arg(i).toUtf8());
    OpenWindowOn(state, file);
}
BENCHMARK(BM_OpenUsersWindowHugeNames)
    ->ArgName("huge_names")
    ->Arg(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tz::bench::PrepareExerciseDrawing();
    tz::SetDialogScripting(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
