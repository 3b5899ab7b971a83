#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/picture_registry.h"
#include "local_server.h"
#include "platform/http.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "screens.h"
#include "support.h"
#include "update/update_window.h"
#include "update/version_check.h"

namespace tz {
namespace {

using test::Utf16Le;

const QString kTitle = QString::fromUtf8("Actualización Online");

QString Text(QWidget* window, int id) {
    auto* label = qobject_cast<QLabel*>(FindControl(window, id));
    return label ? label->text() : QString("<no label %1>").arg(id);
}

bool Offered(QWidget* window) {
    return FindControl(window, kUpdateDownloadId)->isVisible();
}

// Until the window shows what the check found.
bool Checked(QWidget* window) {
    return QTest::qWaitFor(
        [window] { return Text(window, kUpdateLatestCodeId) != "Descargando...."; });
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

    // The latest-version field and whether the download button shows, for the body served.
    std::pair<QString, bool> Outcome() {
        UpdateWindow window(&owner_);
        window.show();
        EXPECT_TRUE(Checked(&window));
        EXPECT_EQ(Text(&window, kUpdateLocalCodeId), "20232338");
        return {Text(&window, kUpdateLatestCodeId), Offered(&window)};
    }

    test::LocalServer server_;
    QWidget owner_;
};

TEST_F(UpdateWindowTest, FetchesOnceShownThenShowsTheCodeUntilSalir) {
    server_.Serve(Utf16Le("VERSION#20232338"));
    WriteBytes("~usuarios.dat", "copia");
    bool sawFetching = false;
    server_.OnRequest([&] {
        // Mid-fetch: the window is up and says it is fetching.
        QWidget* window = test::VisibleWindow(kTitle);
        ASSERT_NE(window, nullptr);
        sawFetching = true;
        EXPECT_EQ(Text(window, kUpdateLatestCodeId), "Descargando....");
        EXPECT_FALSE(Offered(window));
        test::SaveScreen(window, "update_fetching");
    });
    test::WhenShown(kTitle, [](QWidget* window) {
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        ASSERT_TRUE(Checked(window));
        EXPECT_EQ(window->size(), QSize(305, 416));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(Text(window, kUpdateLocalCodeId), "20232338");
        EXPECT_EQ(Text(window, kUpdateLatestCodeId), "20232338");
        EXPECT_FALSE(Offered(window));
        const std::pair<int, QRect> places[] = {{kUpdateLatestCodeId, {130, 160, 160, 20}},
                                                {kUpdateQuitId, {120, 345, 85, 40}},
                                                {kUpdateDownloadId, {20, 215, 265, 30}}};
        for (const auto& [id, geometry] : places) {
            EXPECT_EQ(FindControl(window, id)->geometry(), geometry) << id;
        }
        EXPECT_EQ(FindControl(window, kUpdateLatestCodeId)->palette().color(QPalette::WindowText),
                  QColor(0, 0, 255));
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 255, 196));
        const QStringList unnamed = test::ControlsWithoutNames(window);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
        test::SaveScreen(window, "update_same");
        // No close box: neither a close request nor Escape nor Enter is a way out; "Salir" is.
        window->close();
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::keyClick(FindControl(window, kUpdateQuitId), Qt::Key_Return);
        EXPECT_TRUE(window->isVisible());
        test::ClickControl(window, kUpdateQuitId);
    });
    EXPECT_EQ(ShowUpdateWindow(&owner_), UpdateOutcome::Back);
    EXPECT_TRUE(sawFetching);
    EXPECT_EQ(server_.Requests().size(), 1);
    EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
    EXPECT_FALSE(owner_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(ShellRequests().isEmpty());
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "copia");
}

TEST_F(UpdateWindowTest, OnlyANewerCodeOffersTheDownloadAndEveryFailureShowsOurOwn) {
    const QByteArray newer = Utf16Le("VERSION#20232339");
    const std::pair<QString, bool> nothingNewer("20232338", false);
    const struct {
        const char* what;
        QByteArray body;
        int status;
        std::pair<QString, bool> shown;
    } cases[] = {
        {"newer code between spaces", Utf16Le("VERSION# 20232339 "), 200, {"20232339", true}},
        {"letters", Utf16Le("VERSION#nueva"), 200, {"nueva", false}},
        {"lower-case key", Utf16Le("version#20232339"), 200, nothingNewer},
        {"8-bit body", "VERSION#20232339", 200, nothingNewer},
        {"error page", newer, 404, nothingNewer},
        {"empty body", QByteArray(), 200, nothingNewer},
        {"body over the cap", newer + Utf16Le("#") + QByteArray(kDownloadMaxBytes, ' '), 200,
         nothingNewer},
    };
    for (const auto& c : cases) {
        server_.Serve(c.body, c.status);
        EXPECT_EQ(Outcome(), c.shown) << c.what;
    }
    SetDownloadTimeout(300);
    server_.StaySilent();
    EXPECT_EQ(Outcome(), nothingNewer) << "silent server";
    qputenv(kVersionUrlVariable, test::UrlWithoutServer().toUtf8());
    EXPECT_EQ(Outcome(), nothingNewer) << "no server";
}

TEST_F(UpdateWindowTest, TheDownloadButtonOpensThePageAndAsksToEndTheProgram) {
    server_.Serve(Utf16Le("VERSION#20232339"));
    WriteBytes("~usuarios.dat", "usuarios");
    test::WhenShown(kTitle, [](QWidget* window) {
        ASSERT_TRUE(Checked(window));
        test::SaveScreen(window, "update_newer");
        test::ClickControl(window, Offered(window) ? kUpdateDownloadId : kUpdateQuitId);
    });
    EXPECT_EQ(ShowUpdateWindow(&owner_), UpdateOutcome::QuitProgram);
    EXPECT_EQ(ShellRequests(), QStringList{kDownloadPage});
    // The lock copy is the program's to settle as it ends.
    EXPECT_EQ(ReadBytes("~usuarios.dat"), "usuarios");
}

// The window answers while it fetches: "Salir" leaves at once and the fetch is dropped.
TEST_F(UpdateWindowTest, SalirLeavesWhileTheServerIsSilent) {
    server_.StaySilent();
    test::WhenShown(kTitle, [](QWidget* window) { test::ClickControl(window, kUpdateQuitId); });
    EXPECT_EQ(ShowUpdateWindow(&owner_), UpdateOutcome::Back);
    EXPECT_TRUE(ShellRequests().isEmpty());
}

}  // namespace
}  // namespace tz
