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
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "content/figures_file.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "support.h"
#include "test_server.h"
#include "users/file_store.h"
#include "users/pupil_files.h"
#include "users/server_schema.h"
#include "users/server_session.h"
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
    Outcome Run(const QString& arguments, const QString& dataFolder = QString(),
                const QString& adminPassword = QString()) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("PGPASSWORD"));
        if (!adminPassword.isEmpty())
            environment.insert(QStringLiteral("PGPASSWORD"), adminPassword);
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
    // Before, Luis was further back with older results: the second upload brings both.
    QByteArray classBefore = classNow;
    classBefore.replace("|36|5|1|180|200|", "|35|2|4|180|210|");
    ASSERT_NE(classBefore, classNow);
    for (const auto& [file, told] : {std::pair{classBefore, "5 añadidos"},
                                     std::pair{classNow, "1 puesto al día, 4 sin cambios"}}) {
        ASSERT_TRUE(users.open(QIODevice::WriteOnly | QIODevice::Truncate));
        users.write(file);
        users.close();
        const Outcome upload = Run(QStringLiteral("--subir-al-servidor"));
        ASSERT_EQ(upload.code, 0) << upload.output.toStdString();
        EXPECT_TRUE(upload.output.contains(database_.Settings().Describe()));
        EXPECT_TRUE(upload.output.contains(QString::fromUtf8(told))) << upload.output.toStdString();
        EXPECT_FALSE(upload.output.contains(tellsNoPassword));
    }
    // Each pupil once, with her id, place and results; and her figures with her.
    SetProgramFolder(data_.path());
    FileStore folder;
    const std::unique_ptr<ServerStore> server = Server(database_.Settings());
    ASSERT_TRUE(server);
    EXPECT_EQ(server->Pupils().pupils, folder.Pupils().pupils);
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

    // Run again once she and Luis (who has no figures) practised on the server, the folder's
    // older state takes nothing from them; another lab's folder brings a different pupil under
    // her id, who gets one of her own, and a name with a NUL and a byte that is no UTF-8.
    ASSERT_TRUE(AddPupilFigures(
        *server, ana.id, FiguresOfAttempt({{"a", "s", 9, 150}}, QDateTime::currentDateTime())));
    const std::optional<QByteArray> hers = server->ReadFigures(ana.id);
    UserRecord luis = *server->LoadUser("ID-20240101000003");
    luis.exercise = 2;
    ASSERT_TRUE(server->SaveUser(luis));
    const Outcome again = Run(QStringLiteral("--subir-al-servidor"));
    EXPECT_TRUE(again.output.contains(QStringLiteral("0 puestos al día, 5 sin cambios")))
        << again.output.toStdString();
    QTemporaryDir otherLab;
    QFile otherUsers(otherLab.filePath("usuarios.dat"));
    ASSERT_TRUE(otherUsers.open(QIODevice::WriteOnly));
    otherUsers.write(classNow.left(classNow.indexOf('\n') + 1) +
                     "EVA|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000001\r\nPE" +
                     QByteArray(1, '\0') +
                     "PE\xff|4|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-7\r\n");
    otherUsers.close();
    const Outcome other = Run(QStringLiteral("--subir-al-servidor"), otherLab.path());
    ASSERT_EQ(other.code, 0) << other.output.toStdString();
    EXPECT_TRUE(
        other.output.contains(QStringLiteral("1 añadido, 0 puestos al día, 0 sin cambios "
                                             "y 1 con un identificador nuevo")))
        << other.output.toStdString();
    EXPECT_EQ(server->LoadUser(ana.id), ana);
    EXPECT_EQ(server->LoadUser(luis.id), luis);
    EXPECT_EQ(server->ReadFigures(ana.id), hers);
    EXPECT_EQ(server->LoadUser("ID-7")->level, 4);
    EXPECT_FALSE(server->LoadUser("ID-7")->name.contains(QChar(0)));
    const QList<UserRecord> pupils = server->Pupils().pupils;
    EXPECT_EQ(pupils.size(), 7);
    EXPECT_EQ(std::count_if(pupils.begin(), pupils.end(),
                            [](const UserRecord& p) { return p.name == "EVA" && p.level == 2; }),
              1);
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

    // "verificar" reaches only the server its root certificate vouches for ("exigir" encrypts
    // without asking whose certificate it is); the root is named from the settings' folder.
    if (!test::TestServerRoot().isEmpty()) {
        ServerSettings verified = good;
        verified.ssl = ServerSettings::Ssl::Verify;
        verified.rootCertificate = test::TestServerRoot();
        EXPECT_TRUE(ServerStore::Open(verified, &failure)) << failure.toStdString();
        verified.rootCertificate = test::TestServerRoot("otra-raiz.crt");
        EXPECT_FALSE(ServerStore::Open(verified, &failure));
        EXPECT_TRUE(failure.contains(QStringLiteral("certificado"))) << failure.toStdString();
        ServerSettings required = verified;
        required.ssl = ServerSettings::Ssl::Require;
        EXPECT_TRUE(ServerStore::Open(required, &failure)) << failure.toStdString();
    }
    SettingsSection section{
        config_.filePath("tipenzo10/tipenzo10.ini"),
        {{"direccion", "e"}, {"base", "b"}, {"usuario", "u"}, {"ssl", "verificar"}}};
    EXPECT_FALSE(ServerSettingsFrom(section, &failure));
    section.values["certificado_raiz"] = "raiz.crt";
    EXPECT_EQ(ServerSettingsFrom(section, &failure).value_or(ServerSettings{}).rootCertificate,
              config_.filePath("tipenzo10/raiz.crt"));

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
    EXPECT_EQ(older.Value("SELECT version FROM tipenzo_esquema"),
              QString::number(kServerSchemaVersion));
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

// Another program's connection to the server, holding what it holds until it goes.
class OtherConnection {
  public:
    explicit OtherConnection(const ServerSettings& settings) {
        EXPECT_TRUE(OpenConnection(name_, settings, nullptr));
    }
    ~OtherConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool Run(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        return query.exec(sql);
    }

  private:
    QString name_ = QStringLiteral("otro-programa");
};

// Every connection of the test's role to the database but the test's own ends, as when the
// server restarts.
void RestartServer(const test::ServerDatabase& database) {
    ASSERT_TRUE(
        database.Run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                     "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
}

TEST_F(SchoolServerTest, ALostConnectionABusyPupilOrAGoneOneStopsNothingAfterIt) {
    const std::unique_ptr<ServerStore> store = Server(database_.Settings());
    ASSERT_TRUE(store);
    const QString id = store->AppendNewUser("ANA", 3, "NORMAL");
    UserRecord ana = *store->LoadUser(id);
    const PupilFigures attempt =
        FiguresOfAttempt({{"a", "a", 2, 100}}, QDateTime::currentDateTime());

    // The server came back: the first change after it goes through on a new connection.
    ana.exercise = 2;
    RestartServer(database_);
    EXPECT_TRUE(store->SaveUser(ana));
    RestartServer(database_);
    EXPECT_TRUE(AddPupilFigures(*store, id, attempt));
    RestartServer(database_);
    EXPECT_EQ(store->LoadUser(id), ana);

    // Another program holds her: told as busy, and once it lets go everything works again.
    {
        OtherConnection other(database_.Settings());
        ASSERT_TRUE(other.Run("BEGIN"));
        ASSERT_TRUE(other.Run("SELECT 1 FROM alumnos FOR UPDATE"));
        EXPECT_EQ(AddPupilFigures(*store, id, attempt, 200).outcome, WriteOutcome::Busy);
    }
    EXPECT_TRUE(store->SaveUser(ana));
    EXPECT_EQ(store->LoadUser(id), ana);
    EXPECT_FALSE(store->AppendNewUser("EVA", 1, "NORMAL").isEmpty());

    // Deleted meanwhile by another program: her pass and her figures are told as not kept.
    ASSERT_TRUE(Server(database_.Settings())->DeleteUser(id));
    EXPECT_EQ(store->SaveUser(ana).outcome, WriteOutcome::UserGone);
    EXPECT_EQ(AddPupilFigures(*store, id, attempt).outcome, WriteOutcome::UserGone);

    // An imported pupil never gets the id of a deleted one.
    auto draws = std::make_shared<QList<int>>(QList<int>{42, 42, 43});
    SetRandomSource(
        [draws] { return ((draws->isEmpty() ? 29999 : draws->takeFirst()) + 0.5) / 30001.0; });
    const UserRecord lola =
        ParseUserLine("LOLA|3|2|1|120|100|140|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-4");
    ASSERT_EQ(store->ImportPupils({lola}).imported, 1);
    ASSERT_TRUE(store->DeleteUser("ID-42"));
    ASSERT_EQ(store->ImportPupils({lola}).imported, 1);
    SetRandomSource({});
    EXPECT_TRUE(store->LoadUser("ID-43"));
}

// What a pupil with the lab's password could type: each refused for want of the right.
const char* const kDestructions[] = {
    "DELETE FROM alumnos",
    "DELETE FROM alumnos_borrados",
    "DELETE FROM figuras",
    "TRUNCATE alumnos CASCADE",
    "TRUNCATE alumnos_historia",
    "UPDATE alumnos_historia SET nivel = 1",
    "DELETE FROM alumnos_historia",
    "SELECT count(*) FROM alumnos_historia",
    "UPDATE alumnos SET id = 'ID-1'",
    "UPDATE alumnos SET nombre = 'X'",
    "DROP TABLE alumnos CASCADE",
    "ALTER TABLE alumnos DISABLE TRIGGER ALL",
    "DROP FUNCTION tipenzo_borrar_alumno(text)",
    "CREATE TABLE alumnos_falsos (id text)",
    "SELECT tipenzo_devolver_alumno('ID-20240101000003', now())",
};

TEST_F(SchoolServerTest, TheLabsRoleSavesEverythingAndDestroysNothing) {
    // The test's role owns the database and stands for the school's administrator.
    const ServerSettings admin = database_.Settings();
    const ServerSettings lab = database_.NewRole();
    Name(lab);
    QString failure;
    EXPECT_FALSE(ServerStore::Open(lab, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("--preparar-servidor"))) << failure.toStdString();

    // Neither without an administrator, nor as the lab's own role, nor with a wrong password.
    EXPECT_EQ(Run(QStringLiteral("--preparar-servidor")).code, 2);
    EXPECT_EQ(Run(QStringLiteral("--preparar-servidor ") + lab.user, {}, lab.password).code, 1);
    EXPECT_EQ(Run(QStringLiteral("--preparar-servidor ") + admin.user, {}, "no-es").code, 1);
    const Outcome prepared =
        Run(QStringLiteral("--preparar-servidor ") + admin.user, {}, admin.password);
    ASSERT_EQ(prepared.code, 0) << prepared.output.toStdString();
    EXPECT_FALSE(prepared.output.contains(admin.password));

    // The class moves in, and the program does all it does through the lab's role.
    ASSERT_FALSE(test::CopyClassFixture(data_.path()).isEmpty());
    const Outcome upload = Run(QStringLiteral("--subir-al-servidor"));
    ASSERT_EQ(upload.code, 0) << upload.output.toStdString();
    const std::unique_ptr<ServerStore> store = Server(lab);
    ASSERT_TRUE(store);
    const QString eva = store->AppendNewUser("EVA", 2, "NORMAL");
    UserRecord saved = *store->LoadUser(eva);
    saved.exercise = 3;
    ASSERT_TRUE(store->SaveUser(saved));
    ASSERT_TRUE(AddPupilFigures(
        *store, eva, FiguresOfAttempt({{"a", "a", 2, 100}}, QDateTime::currentDateTime())));
    const std::optional<QByteArray> figures = store->ReadFigures(eva);
    ASSERT_TRUE(store->DeleteUser(eva));
    EXPECT_FALSE(store->LoadUser(eva));
    ASSERT_EQ(store->ImportPupils({saved}).imported, 1);
    const QString evaAgain = store->Pupils().pupils.last().id;
    EXPECT_EQ(store->ReadFigures(evaAgain), figures);

    // As a pupil with psql would try it: refused, and nobody lost.
    const QList<UserRecord> before = store->Pupils().pupils;
    for (const char* destruction : kDestructions) {
        EXPECT_TRUE(database_.RunAs(lab, destruction).startsWith("42501")) << destruction;
    }
    EXPECT_TRUE(
        database_
            .RunAs(lab, QStringLiteral("ALTER DATABASE %1 CONNECTION LIMIT 0").arg(lab.database))
            .startsWith("42501"));
    EXPECT_EQ(store->Pupils().pupils, before);

    // Luis practised, then a wrong upload overwrote him: the administrator puts him back.
    const QString luis = QStringLiteral("ID-20240101000003");
    std::optional<UserRecord> luisBefore = store->LoadUser(luis);
    ASSERT_TRUE(luisBefore);
    luisBefore->exercise = 2;
    ASSERT_TRUE(store->SaveUser(*luisBefore));
    const QString moment = database_.Value("SELECT clock_timestamp()::text");
    QFile users(data_.filePath("usuarios.dat"));
    ASSERT_TRUE(users.open(QIODevice::ReadOnly));
    QByteArray wrong = users.readAll();
    users.close();
    wrong.replace("|36|5|1|180|200|", "|36|5|3|90|1|");
    ASSERT_TRUE(users.open(QIODevice::WriteOnly | QIODevice::Truncate));
    users.write(wrong);
    users.close();
    ASSERT_TRUE(Run(QStringLiteral("--subir-al-servidor")).output.contains("1 puesto al día"));
    ASSERT_NE(store->LoadUser(luis), luisBefore);
    EXPECT_EQ(
        database_.RunAs(
            admin, QStringLiteral("SELECT tipenzo_devolver_alumno('%1', '%2')").arg(luis, moment)),
        QString());
    EXPECT_EQ(store->LoadUser(luis), luisBefore);
}

TEST_F(SchoolServerTest, ADatabaseItsLabsRoleOwnsKeepsWorkingAndMovesToTheSafeSetup) {
    // As the help had it: the lab's role owns the database and the program made the tables.
    ASSERT_FALSE(test::CopyClassFixture(data_.path()).isEmpty());
    ASSERT_EQ(Run(QStringLiteral("--subir-al-servidor")).code, 0);
    const std::unique_ptr<ServerStore> store = Server(database_.Settings());
    ASSERT_TRUE(store);
    UserRecord ana = *store->LoadUser("ID-20240101000001");
    ana.exercise = 9;
    ASSERT_TRUE(store->SaveUser(ana));
    const QList<UserRecord> pupils = store->Pupils().pupils;
    const ServerSettings admin = database_.Superuser();
    const QString history = database_.Value("SELECT count(*) FROM alumnos_historia");
    ASSERT_NE(history, QString());

    // The administrator takes it over, twice over: pupils and history kept.
    for (int time = 0; time < 2; ++time) {
        const Outcome prepared =
            Run(QStringLiteral("--preparar-servidor ") + admin.user, {}, admin.password);
        ASSERT_EQ(prepared.code, 0) << prepared.output.toStdString();
    }
    EXPECT_EQ(store->Pupils().pupils, pupils);
    EXPECT_EQ(database_.Value("SELECT count(*) FROM alumnos_historia", &admin), history);
    EXPECT_TRUE(database_.RunAs(database_.Settings(), "DELETE FROM alumnos").startsWith("42501"));
    EXPECT_TRUE(
        database_.RunAs(database_.Settings(), "DROP TABLE alumnos_historia").startsWith("42501"));
    // The program goes on as before.
    ana.exercise = 10;
    EXPECT_TRUE(store->SaveUser(ana));
    EXPECT_TRUE(store->DeleteUser("ID-20240101000002"));
    EXPECT_FALSE(Server(database_.Settings())->AppendNewUser("EVA", 1, "NORMAL").isEmpty());
}

}  // namespace
}  // namespace tz

#endif
