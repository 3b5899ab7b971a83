// What every store of pupils does, told once and run against each: the users file of the data
// folder and the school's PostgreSQL server (the test server that the test command starts; the
// server's runs skip, saying why, where there is none).

#include <QRegularExpression>
#include <memory>

#include "content/figures_file.h"
#include "platform/clock.h"
#include "support.h"
#include "test_server.h"
#include "users/file_store.h"
#include "users/server_store.h"

namespace tz {
namespace {

enum class StoreKind { File, Server };

// The random source that makes RandomInt(0, 30000) give these numbers, one a draw.
void DrawNumbers(const QList<int>& numbers) {
    auto queue = std::make_shared<QList<int>>(numbers);
    SetRandomSource([queue] {
        const int number = queue->isEmpty() ? 29999 : queue->takeFirst();
        return (number + 0.5) / 30001.0;
    });
}

PupilFigures Attempt(int second) {
    const KeystrokeLog log = {{QStringLiteral("a"), QStringLiteral("a"), 2, -1},
                              {QStringLiteral("ñ"), QStringLiteral("l"), 9, 200}};
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 5), QTime(9, 0, second)));
}

class PupilStoreTest : public test::ProgramFolderTest,
                       public ::testing::WithParamInterface<StoreKind> {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        SetClock(&clock_);
        clock_.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
        if (GetParam() == StoreKind::Server) {
            database_ = std::make_unique<test::ServerDatabase>();
            if (!database_->Ready()) GTEST_SKIP() << database_->WhyNot().toStdString();
        }
        store_ = Another();
        ASSERT_TRUE(store_);
    }
    void TearDown() override {
        store_.reset();
        SetRandomSource({});
        SetClock(nullptr);
        test::ProgramFolderTest::TearDown();
    }
    // The store of another program on the same pupils.
    std::unique_ptr<PupilStore> Another() const {
        if (GetParam() == StoreKind::File) return std::make_unique<FileStore>();
        QString failure;
        std::unique_ptr<PupilStore> server = ServerStore::Open(database_->Settings(), &failure);
        EXPECT_TRUE(server) << failure.toStdString();
        return server;
    }
    PupilStore& Store() { return *store_; }
    // The pupils as the users file would write them.
    static QStringList Listed(PupilStore& store) {
        const PupilList listed = store.Pupils();
        EXPECT_TRUE(listed.opened);
        QStringList lines;
        for (const UserRecord& pupil : listed.pupils) lines << FormatUserLine(pupil);
        return lines;
    }

    ManualClock clock_;
    std::unique_ptr<test::ServerDatabase> database_;
    std::unique_ptr<PupilStore> store_;
};

TEST_P(PupilStoreTest, PupilsAreAddedListedChosenAndSaved) {
    EXPECT_EQ(Store().AppendNewUser(QString::fromUtf8("ANA PÉREZ"), 6, "FACIL"),
              "ID-20240305090507");
    // The same second: the id gets a counter. A name keeps no "|", and a mode it does not know
    // is written as NORMAL.
    EXPECT_EQ(Store().AppendNewUser("LUIS|GIL", 1, "rápido"), "ID-202403050905071");
    EXPECT_EQ(Store().AppendNewUser("EVA", 10, "DIFICIL"), "ID-202403050905072");
    const QStringList added = {
        QString::fromUtf8("ANA PÉREZ|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|"
                          "ID-20240305090507"),
        "LUISGIL|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-202403050905071",
        "EVA|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-202403050905072"};
    EXPECT_EQ(Listed(Store()), added);

    // Chosen, passed twice, saved: only her line changes, her average worked out on the way.
    std::optional<UserRecord> luis = Store().LoadUser("ID-202403050905071");
    ASSERT_TRUE(luis);
    EXPECT_EQ(luis->name, "LUISGIL");
    EXPECT_EQ(luis->mode, "NORMAL");
    luis->exercise = 3;
    luis->history[0] = 150;
    luis->history[1] = 250;
    ASSERT_TRUE(Store().SaveUser(*luis));
    EXPECT_EQ(luis->averageSpeed, 200);
    EXPECT_EQ(Listed(*Another()),
              (QStringList{added[0],
                           "LUISGIL|1|1|3|200|150|250|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                           "ID-202403050905071",
                           added[2]}));

    // Another program chooses her with her new place; an id nobody has brings nobody.
    EXPECT_EQ(Another()->LoadUser("ID-202403050905071"), *luis);
    EXPECT_FALSE(Store().LoadUser("ID-2024"));
    EXPECT_FALSE(Store().LoadUser(""));
    // Saving a pupil another program deleted stores nothing and brings nobody back.
    UserRecord gone = *luis;
    gone.id = "ID-1";
    gone.history[2] = 300;
    EXPECT_EQ(Store().SaveUser(gone).outcome, WriteOutcome::UserGone);
    EXPECT_EQ(gone.averageSpeed, luis->averageSpeed);
    EXPECT_EQ(Listed(Store()).size(), 3);
}

TEST_P(PupilStoreTest, ExportGivesPupilsAndImportNewIds) {
    const QString ana = Store().AppendNewUser("ANA", 6, "FACIL");
    const QString eva = Store().AppendNewUser("EVA", 2, "NORMAL");
    const QList<UserRecord> exported = PupilsOf(Store(), {eva, ana, "ID-9", eva});
    ASSERT_EQ(exported.size(), 3);
    EXPECT_EQ(exported[0], Store().LoadUser(eva));
    EXPECT_EQ(exported[1], Store().LoadUser(ana));
    EXPECT_EQ(exported[2], exported[0]);

    // Another school's pupils: 77 is drawn twice and taken the second time. A NUL in a name
    // cuts nothing; a name of nothing brings nobody.
    DrawNumbers({77, 77, 300, 301});
    QList<UserRecord> pupils;
    for (const QString& line :
         {QStringLiteral("LOLA|3|2|1|120|100|140|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|ID-4"),
          QStringLiteral("PEPE|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-4"),
          QString("NU") + QChar(0) + "LO|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-5",
          QString(QChar(0x200B)) + "|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-6"})
        pupils << ParseUserLine(line);
    EXPECT_EQ(Store().ImportPupils(pupils).imported, 3);
    EXPECT_EQ(Listed(*Another()).mid(2),
              (QStringList{"LOLA|3|2|1|120|100|140|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL|ID-77",
                           "PEPE|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-300",
                           "NULO|2|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-301"}));
}

TEST_P(PupilStoreTest, ADeletedPupilGoesWithHerFiguresAndComesBackThroughImport) {
    const QString ana = Store().AppendNewUser("ANA", 6, "FACIL");
    clock_.Advance(1000);
    const QString luis = Store().AppendNewUser("LUIS", 1, "NORMAL");
    ASSERT_TRUE(AddPupilFigures(Store(), ana, Attempt(1)));
    ASSERT_TRUE(AddPupilFigures(Store(), luis, Attempt(2)));
    const UserRecord her = *Store().LoadUser(ana);
    const std::optional<QByteArray> figures = Store().ReadFigures(ana);
    ASSERT_TRUE(figures);
    EXPECT_EQ(Store().ReadClassFigures(),
              (QHash<QString, QByteArray>{{ana, *figures}, {luis, *Store().ReadFigures(luis)}}));

    ASSERT_TRUE(Store().DeleteUser(ana));
    EXPECT_FALSE(Another()->LoadUser(ana));
    EXPECT_FALSE(Store().ReadFigures(ana));
    EXPECT_EQ(Store().ReadClassFigures().keys(), QStringList{luis});
    EXPECT_EQ(LoadPupilFigures(Store(), luis), Attempt(2)) << "the others keep theirs";
    // An attempt that ends after another program deleted her leaves nothing behind.
    EXPECT_FALSE(AddPupilFigures(Store(), ana, Attempt(3)));
    EXPECT_FALSE(Store().ReadFigures(ana));
    ASSERT_TRUE(Store().DeleteUser(ana)) << "deleting nobody is no failure";

    // Imported as she was, she comes back under a new id with her figures.
    DrawNumbers({42});
    ASSERT_EQ(Store().ImportPupils({her}).imported, 1);
    EXPECT_EQ(Another()->LoadUser("ID-42")->level, 6);
    EXPECT_EQ(Store().ReadFigures("ID-42"), figures);
}

TEST_P(PupilStoreTest, FiguresChangeInOneStepAndDamagedOnesAreSetAside) {
    const QString ana = Store().AppendNewUser("ANA", 6, "FACIL");
    EXPECT_FALSE(Store().ReadFigures(ana));
    ASSERT_TRUE(AddPupilFigures(Store(), ana, Attempt(1)));
    ASSERT_TRUE(AddPupilFigures(*Another(), ana, Attempt(2)));
    PupilFigures both = Attempt(1);
    AddFigures(both, Attempt(2));
    EXPECT_EQ(LoadPupilFigures(Store(), ana), both);

    // A change that finds what it does not understand leaves it as it is.
    const auto writing = [](const QByteArray& bytes) {
        return [bytes](const std::optional<QByteArray>&) {
            return FiguresStep{FiguresStep::Verdict::Write, bytes};
        };
    };
    const QByteArray later = "TIPENZO 10 estad\xc3\xadsticas|2\r\nalgo nuevo\r\n";
    ASSERT_TRUE(Store().ChangeFigures(ana, writing(later), 1000));
    EXPECT_FALSE(AddPupilFigures(Store(), ana, Attempt(3)));
    EXPECT_EQ(Store().ReadFigures(ana), later);
    // ...and holds nothing of hers: another program saves her at once.
    UserRecord her = *Store().LoadUser(ana);
    EXPECT_TRUE(Another()->SaveUser(her));
    // Damaged figures are set aside and hers start again.
    ASSERT_TRUE(Store().ChangeFigures(ana, writing("basura\r\n"), 1000));
    EXPECT_TRUE(LoadPupilFigures(Store(), ana).Empty());
    ASSERT_TRUE(AddPupilFigures(Store(), ana, Attempt(4)));
    EXPECT_EQ(LoadPupilFigures(Store(), ana), Attempt(4));
    // Nobody of that id: nothing is written.
    EXPECT_FALSE(Store().ChangeFigures("ID-5", writing("x\r\n"), 1000));
    EXPECT_FALSE(Store().ReadFigures("ID-5"));
}

INSTANTIATE_TEST_SUITE_P(Stores, PupilStoreTest,
                         ::testing::Values(StoreKind::File, StoreKind::Server),
                         [](const ::testing::TestParamInfo<StoreKind>& info) {
                             return info.param == StoreKind::File ? "UsersFile" : "Server";
                         });

}  // namespace
}  // namespace tz
