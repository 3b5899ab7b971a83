// Time of one save (a rewrite through a new file, flushed to disk and renamed over the users
// file) and one load of the CurrentUser, on a users file of 200 users; and of an import of a
// class of 1000 or 3000 pupils into it.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "platform/files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_transfer.h"

namespace {

constexpr int kUsers = 200;

// A program folder holding a users file of kUsers users; the CurrentUser is the middle one.
class UsersFolder {
  public:
    UsersFolder() {
        tz::SetProgramFolder(dir_.path());
        QByteArray file = "Datos de Usuarios v2.6\r\n";
        for (int i = 0; i < kUsers; ++i) {
            file += QString(
                        "ALUMNO NUMERO %1|%2|%3|1|231|210|225|240|251|-1|-1|-1|-1|-1|-1|"
                        "NORMAL|ID-2024010109%4")
                        .arg(i)
                        .arg(1 + i % 36)
                        .arg(1 + i % 5)
                        .arg(1000 + i)
                        .toUtf8();
            file += "\r\n";
        }
        QFile out(tz::DataPath("usuarios.dat"));
        if (out.open(QIODevice::WriteOnly)) out.write(file);
        out.close();
        user = *tz::LoadUser(QString("ID-2024010109%1").arg(1000 + kUsers / 2));
    }
    ~UsersFolder() { tz::SetProgramFolder(QString()); }

    QByteArray UsersFile() const {
        QFile in(tz::DataPath("usuarios.dat"));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile out(tz::DataPath(name));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(bytes);
    }

    tz::UserRecord user;  // the pupil in the middle of the class

  private:
    QTemporaryDir dir_;
};

void BM_SaveCurrentUser(benchmark::State& state) {
    UsersFolder folder;
    for (auto _ : state) {
        tz::RecordResult(folder.user.history,
                         static_cast<std::int16_t>(200 + state.iterations() % 50));
        benchmark::DoNotOptimize(tz::SaveUser(folder.user));
    }
}
BENCHMARK(BM_SaveCurrentUser)->Unit(benchmark::kMicrosecond);

void BM_LoadCurrentUser(benchmark::State& state) {
    UsersFolder folder;
    for (auto _ : state) {
        const std::optional<tz::UserRecord> user = tz::LoadUser(folder.user.id);
        benchmark::DoNotOptimize(user->level);
    }
}
BENCHMARK(BM_LoadCurrentUser)->Unit(benchmark::kMicrosecond);

// Another school's export: each of its pupils gets a new id drawn against those in the file.
void BM_ImportUsers(benchmark::State& state) {
    UsersFolder folder;
    const QByteArray start = folder.UsersFile();
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
    folder.WriteFile("clase.tpz", class_);
    for (auto _ : state) {
        state.PauseTiming();
        folder.WriteFile("usuarios.dat", start);
        state.ResumeTiming();
        benchmark::DoNotOptimize(tz::ImportUsersFrom(tz::DataPath("clase.tpz")).imported);
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
