#include <gtest/gtest.h>

#include <limits>

#include "update/version_check.h"

namespace tz {
namespace {

TEST(LatestVersionCode, TakesFieldTwoOnlyUnderTheExactKey) {
    EXPECT_EQ(LatestVersionCode("VERSION#20232338"), "20232338");
    EXPECT_EQ(LatestVersionCode("VERSION# 20232339 "), "20232339");
    EXPECT_EQ(LatestVersionCode("VERSION#   20232339"), "20232339");
    EXPECT_EQ(LatestVersionCode("VERSION#20232339#notas de la version"), "20232339");
    EXPECT_EQ(LatestVersionCode("VERSION#abc"), "abc");
    // Only spaces are removed around the code; what else the server sends stays visible.
    EXPECT_EQ(LatestVersionCode("VERSION#\t20232339"), "\t20232339");
}

TEST(LatestVersionCode, AnythingElseMeansNothingNewer) {
    for (const QString& text :
         {QString(), QString("version#20232339"), QString(" VERSION#20232339"),
          QString("VERSION #20232339"), QString(QChar(0xFEFF)) + "VERSION#20232339",
          QString("<html><body>404 Not Found</body></html>"), QString("VERSION"),
          QString("VERSION#"), QString("VERSION#   ")}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(LatestVersionCode(text), kLocalVersionCode);
    }
}

TEST(ReadVersionNumber, ReadsLeadingDigitsWithSignAndPrefixes) {
    EXPECT_EQ(ReadVersionNumber("20232338"), 20232338);
    EXPECT_EQ(ReadVersionNumber(" \t +42"), 42);
    EXPECT_EQ(ReadVersionNumber("-7 nuevas"), -7);
    EXPECT_EQ(ReadVersionNumber("12 34"), 12);
    EXPECT_EQ(ReadVersionNumber("2023a"), 2023);
    EXPECT_EQ(ReadVersionNumber("$1F"), 31);
    EXPECT_EQ(ReadVersionNumber("$ff"), 255);
    EXPECT_EQ(ReadVersionNumber("-$10"), -16);
    EXPECT_EQ(ReadVersionNumber("%101"), 5);
    EXPECT_EQ(ReadVersionNumber("%102"), 2);
}

TEST(ReadVersionNumber, TextWithoutDigitsIsZero) {
    for (const char* text : {"", "abc", "   ", "+", "-", "$", "%", "$xyz", "0x1F", "\n20232339"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadVersionNumber(text), 0);
    }
}

TEST(ReadVersionNumber, StopsAtTheLimitsOfSixtyFourBits) {
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    EXPECT_EQ(ReadVersionNumber("9223372036854775807"), kMax);
    EXPECT_EQ(ReadVersionNumber("9223372036854775808"), kMax);
    EXPECT_EQ(ReadVersionNumber("99999999999999999999999"), kMax);
    EXPECT_EQ(ReadVersionNumber("-9223372036854775808"), kMin);
    EXPECT_EQ(ReadVersionNumber("-99999999999999999999999"), kMin);
    EXPECT_EQ(ReadVersionNumber("$FFFFFFFFFFFFFFFFFF"), kMax);
}

TEST(IsNewerVersion, ComparesAsSignedSixtyFourBitNumbers) {
    EXPECT_TRUE(IsNewerVersion("20232339"));
    EXPECT_TRUE(IsNewerVersion(" 20232339 "));
    EXPECT_FALSE(IsNewerVersion("20232338"));
    EXPECT_FALSE(IsNewerVersion("020232338"));
    EXPECT_FALSE(IsNewerVersion("20232337"));
    EXPECT_FALSE(IsNewerVersion("abc"));
    EXPECT_FALSE(IsNewerVersion("-30232338"));
    // Codes past 32 bits must not wrap round to small or negative numbers.
    EXPECT_TRUE(IsNewerVersion("4294967296"));
    EXPECT_TRUE(IsNewerVersion("$FFFFFFFF"));
    EXPECT_TRUE(IsNewerVersion("202401011200"));
}

TEST(VersionFileUrl, TheEnvironmentReplacesTheBuiltInAddress) {
    const QByteArray saved = qgetenv(kVersionUrlVariable);
    qunsetenv(kVersionUrlVariable);
    EXPECT_EQ(VersionFileUrl(), kVersionFileUrl);
    EXPECT_TRUE(VersionFileUrl().endsWith("/ultimaversion.dat"));
    qputenv(kVersionUrlVariable, "");
    EXPECT_EQ(VersionFileUrl(), kVersionFileUrl);
    qputenv(kVersionUrlVariable, "http://colegio.local/tipenzo/ultimaversion.dat");
    EXPECT_EQ(VersionFileUrl(), "http://colegio.local/tipenzo/ultimaversion.dat");
    if (saved.isEmpty()) {
        qunsetenv(kVersionUrlVariable);
    } else {
        qputenv(kVersionUrlVariable, saved);
    }
}

}  // namespace
}  // namespace tz
