// A school on one PostgreSQL server: a class moved in from a shared folder with
// "--subir-al-servidor" (twice gives each pupil once) and reported from there with "--informe";
// a server that cannot be used is told, with the reason and never the password, and the program
// ends writing nothing anywhere; the tables are made, upgraded in one transaction, and left alone
// when they are a newer program's. Programs run as processes of their own (this test program
// again), the server is the test command's throwaway one.

#ifndef _WIN32

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "support.h"
#include "test_server.h"
#include "users/file_store.h"
#include "users/pupil_files.h"
#include "users/server_schema.h"
#include "users/server_store.h"

namespace tz {
namespace {

const char* const kArgumentsVariable = "TIPENZO_PROGRAM_ARGUMENTS";

// Run only as the child of the tests below: the program with the arguments of the variable;
// what it asked in message boxes goes to the standard output, then it ends with its exit code.
TEST(SchoolServerChild, DISABLED_RunsTheProgram) {
    std::vector<QByteArray> arguments = {"tipenzo10"};
    for (const QByteArray& argument : qgetenv(kArgumentsVariable).split(' ')) {
        if (!argument.isEmpty()) arguments.push_back(argument);
    }
    std::vector<char*> argv;
    for (QByteArray& argument : arguments) argv.push_back(argument.data());
    ProgramState state = InitialProgramState();
    const int code = RunProgram(static_cast<int>(argv.size()), argv.data(), state);
    for (const AskedDialog& asked : AskedDialogs())
        std::printf("%s\n", asked.text.toLocal8Bit().constData());
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

struct Outcome {
    int code = -1;
    QString output;
};

std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files[QDir(folder).relativeFilePath(path)] =
            file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    return files;
}

class SchoolServerTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        if (!database_.Ready()) GTEST_SKIP() << database_.WhyNot().toStdString();
        ASSERT_TRUE(config_.isValid() && data_.isValid());
        Name(database_.Settings());
    }
    // The settings file every program of the test reads: the server `settings` names.
    void Name(const ServerSettings& settings) const {
        QDir().mkpath(config_.filePath("tipenzo10"));
        ASSERT_TRUE(
            test::WriteServerSettings(config_.filePath("tipenzo10/tipenzo10.ini"), settings));
    }
    // The program with these arguments, on the data folder of the test, in a process of its
    // own; standard and error output together.
    Outcome Run(const QString& arguments, const QString& dataFolder = QString()) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        environment.insert(QStringLiteral("TIPENZO_DATA"),
                           dataFolder.isEmpty() ? data_.path() : dataFolder);
        environment.insert(QString::fromLatin1(kArgumentsVariable), arguments);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(data_.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                      {QStringLiteral("--gtest_filter=SchoolServerChild.DISABLED_RunsTheProgram"),
                       QStringLiteral("--gtest_also_run_disabled_tests")});
        if (!process.waitForFinished(60000)) return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
                QString::fromLocal8Bit(process.readAll())};
    }
    std::unique_ptr<ServerStore> Server(const ServerSettings& settings) const {
        QString failure;
        std::unique_ptr<ServerStore> server = ServerStore::Open(settings, &failure);
        EXPECT_TRUE(server) << failure.toStdString();
        return server;
    }

    test::ServerDatabase database_;
    QTemporaryDir config_;
    QTemporaryDir data_;
};

TEST_F(SchoolServerTest, AClassMovesInOnceAndIsReportedFromTheServer) {
    // The class of the report's fixture: five pupils, three figures files (one damaged).
    ASSERT_FALSE(test::CopyClassFixture(data_.path()).isEmpty());
    const auto before = Snapshot(data_.path());
    const QString tellsNoPassword = database_.Settings().password;

    // Twice, the class having moved on in between: each pupil once, as she stands now.
    QFile users(data_.filePath("usuarios.dat"));
    ASSERT_TRUE(users.open(QIODevice::ReadOnly));
    const QByteArray classNow = users.readAll();
    users.close();
    QByteArray classBefore = classNow;
    classBefore.replace("|36|5|1|180|", "|35|2|4|180|");
    ASSERT_NE(classBefore, classNow);
    for (const QByteArray& file : {classBefore, classNow}) {
        ASSERT_TRUE(users.open(QIODevice::WriteOnly | QIODevice::Truncate));
        users.write(file);
        users.close();
        const Outcome upload = Run(QStringLiteral("--subir-al-servidor"));
        ASSERT_EQ(upload.code, 0) << upload.output.toStdString();
        EXPECT_TRUE(upload.output.contains(QStringLiteral("5 alumnos copiados al servidor ") +
                                           database_.Settings().Describe()))
            << upload.output.toStdString();
        EXPECT_FALSE(upload.output.contains(tellsNoPassword));
    }
    // Each pupil once, with her id, place and results; and her figures with her.
    SetProgramFolder(data_.path());
    FileStore folder;
    const std::unique_ptr<ServerStore> server = Server(database_.Settings());
    ASSERT_TRUE(server);
    EXPECT_EQ(server->ReadUserLines().lines, folder.ReadUserLines().lines);
    for (const char* id : {"ID-20240101000001", "ID-20240101000004"})
        EXPECT_EQ(server->ReadFigures(id), ReadPupilFiguresFile(id)) << id;

    // The report from the server is the class's report, as from the users file.
    const Outcome report = Run(QStringLiteral("--informe informe.csv"));
    ASSERT_EQ(report.code, 0) << report.output.toStdString();
    QFile written(data_.filePath("informe.csv"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), test::ClassFixtureReport());
    QFile::remove(data_.filePath("informe.csv"));
    EXPECT_EQ(Snapshot(data_.path()), before) << "the data folder is only read";

    // A pupil passed on one program is seen, with her new place, by another.
    UserRecord ana = *server->LoadUser("ID-20240101000001");
    ana.exercise = 5;
    ASSERT_TRUE(server->SaveUser(ana));
    EXPECT_EQ(Server(database_.Settings())->LoadUser("ID-20240101000001")->exercise, 5);
}

TEST_F(SchoolServerTest, AServerThatCannotBeUsedIsToldAndTheProgramEndsWritingNothing) {
    const ServerSettings good = database_.Settings();
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 nobodyListens = closed.serverPort();
    closed.close();
    // A server that takes the connection and never says a word.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));

    struct Case {
        const char* what;
        ServerSettings settings;
        const char* reason;
    };
    ServerSettings wrongPassword = good;
    wrongPassword.password = QStringLiteral("no-es-la-clave");
    ServerSettings noUser = good;
    noUser.user = QStringLiteral("nadie");
    ServerSettings refused = good;
    refused.port = nobodyListens;
    ServerSettings timeout = good;
    timeout.port = silent.serverPort();
    for (const Case& c :
         {Case{"wrong password", wrongPassword, "el usuario o la clave no son correctos"},
          Case{"no database", database_.Elsewhere(QStringLiteral("no_existe")),
               "la base de datos «no_existe» no existe en el servidor"},
          Case{"refused", refused, "el servidor ha rechazado la conexión"},
          Case{"timeout", timeout, "el servidor no ha contestado en 5 segundos"}}) {
        QString failure;
        EXPECT_FALSE(ServerStore::Open(c.settings, &failure)) << c.what;
        EXPECT_TRUE(failure.contains(QString::fromUtf8(c.reason))) << failure.toStdString();
        EXPECT_FALSE(failure.contains(c.settings.password)) << c.what;
        EXPECT_FALSE(failure.contains(good.password)) << c.what;
    }
    // A server does not say whether the user or the password was wrong.
    QString failure;
    EXPECT_FALSE(ServerStore::Open(noUser, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("el usuario o la clave no son correctos")))
        << failure.toStdString();

    // The whole program: told with the server, the settings file and the reason; exit code 1;
    // no data folder made, nothing written in the settings' folder.
    Name(refused);
    const auto settingsBefore = Snapshot(config_.path());
    const QString dataFolder = data_.filePath(QStringLiteral("datos"));
    const Outcome start = Run(QString(), dataFolder);
    EXPECT_EQ(start.code, 1);
    EXPECT_TRUE(start.output.contains(QStringLiteral("No se puede usar el servidor de la "
                                                     "escuela:\n\n127.0.0.1:%1, base de datos ")
                                          .arg(nobodyListens)))
        << start.output.toStdString();
    EXPECT_TRUE(start.output.contains(QStringLiteral("Motivo: el servidor ha rechazado")));
    EXPECT_TRUE(start.output.contains(config_.filePath("tipenzo10/tipenzo10.ini")));
    EXPECT_FALSE(start.output.contains(good.password));
    EXPECT_FALSE(QFile::exists(dataFolder));
    EXPECT_EQ(Snapshot(config_.path()), settingsBefore);
    // The commands say so on their error output and end with 1 as well.
    EXPECT_EQ(Run(QStringLiteral("--informe informe.pdf")).code, 1);
    EXPECT_EQ(Run(QStringLiteral("--subir-al-servidor")).code, 1);
}

TEST_F(SchoolServerTest, TablesAreMadeUpgradedInOneStepAndANewerProgramsLeftAlone) {
    // An empty database gets the tables, at this program's version.
    ProgramState state = InitialProgramState();
    state.store = Server(database_.Settings());
    ASSERT_TRUE(state.store);
    EXPECT_EQ(database_.Value("SELECT version FROM tipenzo_esquema"),
              QString::number(kServerSchemaVersion));
    // A program on the server asks nothing at start, after whatever end: no lock copy is made,
    // offered back or taken away, no users file looked at.
    WriteBytes("~usuarios.dat", "la copia de un programa que murió");
    WriteBytes("usuarios.dat", QByteArray(20000, 'x'));
    ASSERT_TRUE(RunFileChecks(state));
    EXPECT_TRUE(AskedDialogs().empty());
    LeaveDataFolder(state);
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "la copia de un programa que murió");

    // An older version's tables, with a pupil: brought up to date, the pupil kept.
    test::ServerDatabase older;
    ASSERT_TRUE(older.PrepareSchema(1));
    ASSERT_TRUE(
        older.Run("INSERT INTO alumnos (id, nombre, nivel, bloque, ejercicio, "
                  "velocidad_media, resultados, modo) VALUES ('ID-7', 'ANA', 3, 1, 1, 0, "
                  "'{-1,-1,-1,-1,-1,-1,-1,-1,-1,-1}', 'NORMAL')"));
    const std::unique_ptr<ServerStore> upgraded = Server(older.Settings());
    ASSERT_TRUE(upgraded);
    EXPECT_EQ(older.Value("SELECT version FROM tipenzo_esquema"), "2");
    EXPECT_EQ(upgraded->LoadUser("ID-7")->level, 3);
    EXPECT_TRUE(upgraded->DeleteUser("ID-7"));
    EXPECT_EQ(older.Value("SELECT count(*) FROM alumnos_borrados"), "1");

    // An upgrade that cannot be finished leaves the older tables as they were.
    test::ServerDatabase stuck;
    ASSERT_TRUE(stuck.PrepareSchema(1));
    ASSERT_TRUE(stuck.Run("CREATE TABLE figuras_apartadas (algo integer)"));
    QString failure;
    EXPECT_FALSE(ServerStore::Open(stuck.Settings(), &failure));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("no se han podido preparar las tablas")))
        << failure.toStdString();
    EXPECT_EQ(stuck.Value("SELECT version FROM tipenzo_esquema"), "1");
    EXPECT_EQ(stuck.Value("SELECT to_regclass('alumnos_borrados') IS NULL"), "true");

    // A newer program's tables: told, and not one of them touched.
    ASSERT_TRUE(database_.Run("UPDATE tipenzo_esquema SET version = 99"));
    ASSERT_TRUE(database_.Run("CREATE TABLE de_otra_version (x integer)"));
    EXPECT_FALSE(ServerStore::Open(database_.Settings(), &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("versión más nueva de TIPENZO 10 (versión 99")))
        << failure.toStdString();
    EXPECT_EQ(database_.Value("SELECT version FROM tipenzo_esquema"), "99");
    EXPECT_EQ(database_.Value("SELECT to_regclass('de_otra_version') IS NOT NULL"), "true");
}

}  // namespace
}  // namespace tz

#endif
