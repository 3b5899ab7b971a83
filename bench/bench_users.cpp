// The stores of pupils side by side: one save and one load of a pupil of a class of 200 (median
// and p99 of every call, as counters), the users window's list, the class report and the export
// of 1000 pupils, and an import of 1000 or 3000 pupils into the users file. The users file always;
// the school's server too when TIPENZO_BENCH_SERVER names a settings file with a "[servidor]"
// section (scripts/test_server.sh start FOLDER writes one in FOLDER).

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "content/class_report.h"
#include "platform/files.h"
#include "platform/settings_file.h"
#include "users/file_store.h"
#include "users/server_store.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_transfer.h"

namespace {

enum Kind { kUsersFile = 0, kServer = 1 };

QString PupilLine(int i) {
    return QString(
               "ALUMNO NUMERO %1|%2|%3|1|231|210|225|240|251|-1|-1|-1|-1|-1|-1|NORMAL|"
               "ID-2024010109%4")
        .arg(i)
        .arg(1 + i % 36)
        .arg(1 + i % 5)
        .arg(1000 + i);
}

std::optional<tz::ServerSettings> BenchServer() {
    const QString file = qEnvironmentVariable("TIPENZO_BENCH_SERVER");
    if (file.isEmpty()) return std::nullopt;
    const auto section = tz::ReadSettingsSection(file, QStringLiteral("servidor"));
    return section ? tz::ServerSettingsFrom(*section, nullptr) : std::nullopt;
}

// A class of `pupils` in a store of the kind asked for: a fresh folder for the users file, the
// server's tables emptied first.
class Class {
  public:
    Class(Kind kind, int pupils) {
        tz::SetProgramFolder(dir_.path());
        QByteArray file = "Datos de Usuarios v2.6\r\n";
        for (int i = 0; i < pupils; ++i) file += PupilLine(i).toUtf8() + "\r\n";
        QFile out(tz::DataPath("usuarios.dat"));
        if (out.open(QIODevice::WriteOnly)) out.write(file);
        out.close();
        if (kind == kUsersFile) {
            store = std::make_unique<tz::FileStore>();
        } else if (const std::optional<tz::ServerSettings> settings = BenchServer()) {
            std::unique_ptr<tz::ServerStore> server = tz::ServerStore::Open(*settings, nullptr);
            if (server) {
                Empty(*settings);
                QList<tz::UploadedPupil> all;
                for (const tz::UserRecord& pupil : tz::FileStore().Pupils().pupils)
                    all.append({pupil, std::nullopt});
                server->Upload(all, {}, nullptr);
                store = std::move(server);
            }
        }
        if (store) user = *store->LoadUser(QString("ID-2024010109%1").arg(1000 + pupils / 2));
    }
    ~Class() { tz::SetProgramFolder(QString()); }

    std::unique_ptr<tz::PupilStore> store;
    tz::UserRecord user;  // the pupil in the middle of the class

  private:
    static void Empty(const tz::ServerSettings& settings) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "vaciar");
        db.setHostName(settings.address);
        db.setPort(settings.port);
        db.setDatabaseName(settings.database);
        db.setUserName(settings.user);
        db.setPassword(settings.password);
        if (db.open()) QSqlQuery(db).exec(QStringLiteral("TRUNCATE alumnos CASCADE"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("vaciar");
    }
    QTemporaryDir dir_;
};

// Every call timed on its own: the median and the 99th percentile, in microseconds.
template <typename Call>
void TimeEachCall(benchmark::State& state, Call call) {
    std::vector<double> micros;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        call();
        micros.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    if (micros.empty()) return;
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

bool Ready(benchmark::State& state, const Class& pupils) {
    if (pupils.store) return true;
    state.SkipWithError("no server: set TIPENZO_BENCH_SERVER to a settings file naming one");
    return false;
}

void BM_Save(benchmark::State& state) {
    Class pupils(static_cast<Kind>(state.range(0)), 200);
    if (!Ready(state, pupils)) return;
    TimeEachCall(state, [&] {
        tz::RecordResult(pupils.user.history,
                         static_cast<std::int16_t>(200 + state.iterations() % 50));
        benchmark::DoNotOptimize(pupils.store->SaveUser(pupils.user));
    });
}
BENCHMARK(BM_Save)->ArgName("servidor")->Arg(kUsersFile)->Arg(kServer)->Iterations(2000);

void BM_Load(benchmark::State& state) {
    Class pupils(static_cast<Kind>(state.range(0)), 200);
    if (!Ready(state, pupils)) return;
    TimeEachCall(state, [&] { benchmark::DoNotOptimize(pupils.store->LoadUser(pupils.user.id)); });
}
BENCHMARK(BM_Load)->ArgName("servidor")->Arg(kUsersFile)->Arg(kServer)->Iterations(2000);

// What the users window reads to list the class.
void BM_ListOf1000(benchmark::State& state) {
    Class pupils(static_cast<Kind>(state.range(0)), 1000);
    if (!Ready(state, pupils)) return;
    TimeEachCall(state, [&] { benchmark::DoNotOptimize(pupils.store->PupilsToChoose()); });
}
BENCHMARK(BM_ListOf1000)->ArgName("servidor")->Arg(kUsersFile)->Arg(kServer)->Iterations(200);

void BM_ReportOf1000(benchmark::State& state) {
    Class pupils(static_cast<Kind>(state.range(0)), 1000);
    if (!Ready(state, pupils)) return;
    TimeEachCall(state, [&] {
        const std::optional<tz::ClassReport> report =
            tz::GatherClassReport(*pupils.store, QDateTime::currentDateTime());
        benchmark::DoNotOptimize(tz::FormatClassReportCsv(*report));
    });
}
BENCHMARK(BM_ReportOf1000)->ArgName("servidor")->Arg(kUsersFile)->Arg(kServer)->Iterations(20);

// The export of the whole class: the marked pupils read as they stand.
void BM_ExportOf1000(benchmark::State& state) {
    Class pupils(static_cast<Kind>(state.range(0)), 1000);
    if (!Ready(state, pupils)) return;
    QStringList ids;
    for (const tz::UserRecord& pupil : pupils.store->Pupils().pupils) ids << pupil.id;
    TimeEachCall(state, [&] { benchmark::DoNotOptimize(tz::PupilsOf(*pupils.store, ids)); });
}
BENCHMARK(BM_ExportOf1000)->ArgName("servidor")->Arg(kUsersFile)->Arg(kServer)->Iterations(20);

// Another school's export into the users file: each pupil gets a new id drawn against those in
// the file.
void BM_ImportUsers(benchmark::State& state) {
    Class pupils(kUsersFile, 200);
    QFile in(tz::DataPath("usuarios.dat"));
    const QByteArray start = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    in.close();
    QByteArray class_;
    for (int i = 0; i < state.range(0); ++i) {
        class_ += QString(
                      "ALUMNA IMPORTADA %1|%2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"
                      "ID-2023010109%3\r\n")
                      .arg(i)
                      .arg(1 + i % 36)
                      .arg(i)
                      .toUtf8();
    }
    const auto write = [](const QString& name, const QByteArray& bytes) {
        QFile out(tz::DataPath(name));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(bytes);
    };
    write("clase.tpz", class_);
    for (auto _ : state) {
        state.PauseTiming();
        write("usuarios.dat", start);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            pupils.store->ImportPupils(tz::ReadImportFile(tz::DataPath("clase.tpz")).pupils));
    }
}
BENCHMARK(BM_ImportUsers)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
