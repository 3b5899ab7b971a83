#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/picture_registry.h"
#include "local_server.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "support.h"
#include "update/update_window.h"
#include "update/version_check.h"

namespace tz {
namespace {

using test::LocalServer;
using test::Utf16Le;

QWidget* FindUpdateWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() &&
            widget->windowTitle() == QString::fromUtf8("Actualización Online"))
            return widget;
    }
    return nullptr;
}

QString Text(QWidget* window, int id) {
    auto* label = qobject_cast<QLabel*>(FindControl(window, id));
    return label ? label->text() : QString("<no label %1>").arg(id);
}

class UpdateWindowTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        if (!PictureExists(46)) RegisterAllPictures();
        ASSERT_TRUE(server_.Start());
        qputenv(kVersionUrlVariable, server_.Url().toUtf8());
        owner_.setFixedSize(200, 100);
        owner_.show();
    }
    void TearDown() override {
        qunsetenv(kVersionUrlVariable);
        SetDownloadTimeout(0);
        test::ProgramFolderTest::TearDown();
    }

    // Opens the update window; once the check is over `inspect` sees it, then "Salir" closes it.
    UpdateOutcome CheckAndLeave(const std::function<void(QWidget*)>& inspect) {
        AppendInputStep([&] {
            QWidget* window = FindUpdateWindow();
            ASSERT_NE(window, nullptr);
            inspect(window);
            QTest::mouseClick(FindControl(window, kUpdateQuitId), Qt::LeftButton);
        });
        return ShowUpdateWindow(&owner_);
    }

    // The latest-version field and whether the download button shows, for a body served.
    std::pair<QString, bool> Outcome() {
        std::pair<QString, bool> seen;
        EXPECT_EQ(CheckAndLeave([&](QWidget* window) {
                      seen.first = Text(window, kUpdateLatestCodeId);
                      seen.second = FindControl(window, kUpdateDownloadId)->isVisible();
                      EXPECT_EQ(Text(window, kUpdateLocalCodeId), "20232338");
                  }),
                  UpdateOutcome::Back);
        return seen;
    }

    LocalServer server_;
    QWidget owner_;
};

TEST_F(UpdateWindowTest, SameCodeShowsItTwiceAndNoDownload) {
    server_.Serve(Utf16Le("VERSION#20232338"));
    WriteBytes("~usuarios.dat", "copia");
    bool sawFetching = false;
    server_.OnRequest([&] {
        // Mid-fetch: the window is up, says it is fetching, and its owner is disabled.
        QWidget* window = FindUpdateWindow();
        ASSERT_NE(window, nullptr);
        sawFetching = true;
        EXPECT_EQ(Text(window, kUpdateLocalCodeId), "20232338");
        EXPECT_EQ(Text(window, kUpdateLatestCodeId), "Descargando....");
        EXPECT_FALSE(FindControl(window, kUpdateDownloadId)->isVisible());
        EXPECT_FALSE(owner_.isEnabled());
        test::SaveScreen(window, "update_fetching");
    });

    const UpdateOutcome outcome = CheckAndLeave([&](QWidget* window) {
        EXPECT_EQ(window->size(), QSize(305, 416));
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(owner_.isEnabled());
        EXPECT_EQ(Text(window, kUpdateLocalCodeId), "20232338");
        EXPECT_EQ(Text(window, kUpdateLatestCodeId), "20232338");
        EXPECT_FALSE(FindControl(window, kUpdateDownloadId)->isVisible());
        EXPECT_EQ(Text(window, kUpdateLocalCaptionId), QString::fromUtf8("Tu versión:"));
        EXPECT_EQ(Text(window, kUpdateLatestCaptionId), QString::fromUtf8("Última Versión:"));
        EXPECT_EQ(FindControl(window, kUpdateLatestCodeId)->geometry(), QRect(130, 160, 160, 20));
        EXPECT_EQ(FindControl(window, kUpdateQuitId)->geometry(), QRect(120, 345, 85, 40));
        EXPECT_EQ(FindControl(window, kUpdateLocalCodeId)->palette().color(QPalette::WindowText),
                  QColor(255, 0, 0));
        EXPECT_EQ(FindControl(window, kUpdateLatestCodeId)->palette().color(QPalette::WindowText),
                  QColor(0, 0, 255));
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 255, 196));
        EXPECT_EQ(FindControl(window, kUpdateLatestCodeId)->font().family(), "Arial");
        EXPECT_TRUE(FindControl(window, kUpdateLatestCodeId)->font().bold());
        test::SaveScreen(window, "update_same");
    });

    EXPECT_TRUE(sawFetching);
    EXPECT_EQ(outcome, UpdateOutcome::Back);
    EXPECT_EQ(server_.Requests().size(), 1);
    EXPECT_TRUE(owner_.isEnabled());
    EXPECT_EQ(FindUpdateWindow(), nullptr);
    EXPECT_TRUE(ShellRequests().isEmpty());
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "copia");
}

TEST_F(UpdateWindowTest, NewerCodeWithSpacesShowsTheCodeAndTheDownloadButton) {
    server_.Serve(Utf16Le("VERSION# 20232339 "));
    CheckAndLeave([&](QWidget* window) {
        EXPECT_EQ(Text(window, kUpdateLatestCodeId), "20232339");
        auto* download = qobject_cast<QPushButton*>(FindControl(window, kUpdateDownloadId));
        ASSERT_NE(download, nullptr);
        EXPECT_TRUE(download->isVisible());
        EXPECT_EQ(download->text(), QString::fromUtf8("Visitar página de descarga"));
        EXPECT_EQ(download->geometry(), QRect(20, 215, 265, 30));
        test::SaveScreen(window, "update_newer");
    });
    EXPECT_TRUE(ShellRequests().isEmpty());
}

TEST_F(UpdateWindowTest, LettersInTheCodeShowButNeverOfferADownload) {
    server_.Serve(Utf16Le("VERSION#nueva"));
    EXPECT_EQ(Outcome(), std::make_pair(QString("nueva"), false));
}

TEST_F(UpdateWindowTest, EveryFailureShowsOurOwnCodeAndNoDownload) {
    const QByteArray newer = Utf16Le("VERSION#20232339");
    const std::pair<QString, bool> nothingNewer("20232338", false);

    server_.Serve(Utf16Le("version#20232339"));
    EXPECT_EQ(Outcome(), nothingNewer) << "lower-case key";

    server_.Serve("VERSION#20232339");
    EXPECT_EQ(Outcome(), nothingNewer) << "8-bit body";

    server_.Serve(newer, 404);
    EXPECT_EQ(Outcome(), nothingNewer) << "error page";

    server_.Serve(QByteArray());
    EXPECT_EQ(Outcome(), nothingNewer) << "empty body";

    server_.Serve(newer + Utf16Le("#") + QByteArray(kDownloadMaxBytes, ' '));
    EXPECT_EQ(Outcome(), nothingNewer) << "body over the cap";

    SetDownloadTimeout(300);
    server_.StaySilent();
    EXPECT_EQ(Outcome(), nothingNewer) << "silent server";

    qputenv(kVersionUrlVariable, test::UrlWithoutServer().toUtf8());
    EXPECT_EQ(Outcome(), nothingNewer) << "no server";
}

TEST_F(UpdateWindowTest, CloseRequestsDoNotCloseTheWindow) {
    server_.Serve(Utf16Le("VERSION#20232338"));
    AppendInputStep([] { FindUpdateWindow()->close(); });
    AppendInputStep([] {
        QWidget* window = FindUpdateWindow();
        ASSERT_NE(window, nullptr) << "still open after the close request";
        QTest::mouseClick(FindControl(window, kUpdateQuitId), Qt::LeftButton);
    });
    EXPECT_EQ(ShowUpdateWindow(&owner_), UpdateOutcome::Back);
    EXPECT_EQ(FindUpdateWindow(), nullptr);
}

// The lock copy is the caller's to settle (the last program to end deletes it): the window only
// opens the page and ends.
TEST_F(UpdateWindowTest, DownloadButtonOpensThePageAndEndsWithZero) {
    server_.Serve(Utf16Le("VERSION#20232339"));
    WriteBytes("usuarios.dat", "usuarios");
    WriteBytes("~usuarios.dat", "usuarios");
    std::vector<int> ends;
    const auto end = [&](int code) {
        ends.push_back(code);
        // By the time the program ends the page is open.
        EXPECT_EQ(ShellRequests(), QStringList{kDownloadPage});
    };
    AppendInputStep([] {
        QWidget* window = FindUpdateWindow();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(FindControl(window, kUpdateDownloadId), Qt::LeftButton);
    });
    RunVersionCheck(&owner_, end);

    EXPECT_EQ(ends, std::vector<int>{0});
    EXPECT_EQ(ReadBytes("usuarios.dat"), "usuarios");
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "usuarios");
    EXPECT_EQ(ShellRequests(), QStringList{kDownloadPage});
}

TEST_F(UpdateWindowTest, LeavingWithSalirNeverEndsTheProgram) {
    server_.Serve(Utf16Le("VERSION#20232339"));
    WriteBytes("~usuarios.dat", "usuarios");
    bool ended = false;
    AppendInputStep(
        [] { QTest::mouseClick(FindControl(FindUpdateWindow(), kUpdateQuitId), Qt::LeftButton); });
    RunVersionCheck(&owner_, [&](int) { ended = true; });
    EXPECT_FALSE(ended);
    EXPECT_TRUE(Exists("~usuarios.dat"));
    EXPECT_TRUE(owner_.isEnabled());
}

// The real end, in a process of its own: the test re-runs in a child process, which works on
// this test's folder (passed in the environment), clicks the download button and must exit
// with code 0.
TEST_F(UpdateWindowTest, TheRealProgramEndsWithExitCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* const kFolderVariable = "TIPENZO_TEST_END_FOLDER";
    const QString inherited = qEnvironmentVariable(kFolderVariable);
    if (inherited.isEmpty()) {
        qputenv(kFolderVariable, dir_->path().toUtf8());
    } else {
        SetProgramFolder(inherited);
    }
    server_.Serve(Utf16Le("VERSION#20232339"));
    AppendInputStep([] {
        QTest::mouseClick(FindControl(FindUpdateWindow(), kUpdateDownloadId), Qt::LeftButton);
    });
    EXPECT_EXIT(RunVersionCheck(&owner_), ::testing::ExitedWithCode(0), "");
    qunsetenv(kFolderVariable);
    ClearInputScript();
}

}  // namespace
}  // namespace tz
