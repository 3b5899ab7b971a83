#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>

#include "local_server.h"
#include "platform/http.h"

namespace tz {
namespace {

using test::LocalServer;
using test::Utf16Le;

// One download, waited for as the program's windows wait for it: in the event loop.
QString DownloadText(const QString& url) {
    TextDownload download;
    QSignalSpy finished(&download, &TextDownload::finished);
    download.Start(url);
    if (finished.isEmpty() && !finished.wait(30000)) return QStringLiteral("<no end>");
    EXPECT_EQ(finished.size(), 1);
    return finished.front().front().toString();
}

class DownloadTextTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.Start()); }
    void TearDown() override { SetDownloadTimeout(0); }
    LocalServer server_;
};

TEST_F(DownloadTextTest, ReadsTheBodyAsUtf16LittleEndian) {
    server_.Serve(Utf16Le(QString::fromUtf8("VERSION#20232338 ñ€")));
    EXPECT_EQ(DownloadText(server_.Url()), QString::fromUtf8("VERSION#20232338 ñ€"));

    // A byte-order mark is an ordinary first character; an odd last byte is no character.
    server_.Serve("\xFF\xFE" + Utf16Le("VERSION#1") + "\x41");
    EXPECT_EQ(DownloadText(server_.Url()), QString(QChar(0xFEFF)) + "VERSION#1");

    // Eight-bit text pairs its bytes into other characters.
    server_.Serve("VERSION#20232338");
    const QString paired = DownloadText(server_.Url());
    EXPECT_EQ(paired.size(), 8);
    EXPECT_FALSE(paired.contains("VERSION"));
}

TEST_F(DownloadTextTest, SendsOnePlainGetThatRefusesCachedCopies) {
    server_.Serve(Utf16Le("VERSION#20232338"));
    ASSERT_FALSE(DownloadText(server_.Url()).isEmpty());
    ASSERT_FALSE(DownloadText(server_.Url()).isEmpty());
    ASSERT_EQ(server_.Requests().size(), 2);  // the second fetch went to the server too
    const QByteArray request = server_.Requests().first();
    EXPECT_TRUE(request.startsWith("GET /descargas/ultimaversion.dat HTTP/1.1\r\n"))
        << request.data();
    EXPECT_TRUE(request.contains("Cache-Control: no-cache\r\n")) << request.data();
}

TEST_F(DownloadTextTest, FailuresGiveEmptyText) {
    server_.Serve(Utf16Le("VERSION#20232339"), 404);
    EXPECT_EQ(DownloadText(server_.Url()), QString()) << "an error page is no version file";
    server_.Serve(QByteArray());
    EXPECT_EQ(DownloadText(server_.Url()), QString());
    EXPECT_EQ(DownloadText(test::UrlWithoutServer()), QString());
    EXPECT_EQ(DownloadText("no es una direccion"), QString());
    EXPECT_EQ(DownloadText(QString()), QString());
}

TEST_F(DownloadTextTest, ASilentServerEndsAtTheTimeout) {
    server_.StaySilent();
    SetDownloadTimeout(400);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(DownloadText(server_.Url()), QString());
    EXPECT_GE(elapsed.elapsed(), 390);
    EXPECT_LT(elapsed.elapsed(), 10000);
    EXPECT_EQ(server_.Requests().size(), 1);
}

TEST_F(DownloadTextTest, BodiesOverSixtyFourKibibytesAreRefused) {
    const QByteArray head = Utf16Le("VERSION#20232339#");
    QByteArray body = head + QByteArray(kDownloadMaxBytes - head.size(), ' ');
    server_.Serve(body);
    EXPECT_EQ(DownloadText(server_.Url()).size(), kDownloadMaxBytes / 2);

    server_.Serve(body + "  ");
    EXPECT_EQ(DownloadText(server_.Url()), QString());

    server_.Serve(head + QByteArray(16 * 1024 * 1024, ' '));
    EXPECT_EQ(DownloadText(server_.Url()), QString());
}

}  // namespace
}  // namespace tz
