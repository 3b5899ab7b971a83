#pragma once
// The version file on the maker's server and what the program makes of it. QtCore only.

#include <QString>
#include <QtGlobal>

namespace tz {

// This program's own version code, compared with the server's.
inline const QString kLocalVersionCode = QStringLiteral("20232338");
// The version shown to people (menu title, about box); never compared.
inline const QString kDisplayVersion = QStringLiteral("2.9c");

// Where the maker publishes the latest version code, and the page to download it from.
inline const QString kVersionFileUrl =
    QStringLiteral("https://www.tipenzo.es/descargas/ultimaversion.dat");
inline const QString kDownloadPage = QStringLiteral("https://www.tipenzo.es/descargas/");
// Replaces kVersionFileUrl when set: tests, and schools that mirror the file.
inline constexpr const char* kVersionUrlVariable = "TIPENZO_VERSION_URL";

// kVersionFileUrl, or the URL in TIPENZO_VERSION_URL when that is set and not empty.
QString VersionFileUrl();

// The latest version code named by a version file's text: field 2 without its surrounding
// spaces when field 1 is exactly "VERSION" (fields separated by "#"). Anything else (empty
// text, an error page, another key, no code at all) gives kLocalVersionCode: nothing newer.
QString LatestVersionCode(const QString& versionFileText);

// A version code read as a number: leading spaces and tabs skipped, an optional sign, then
// decimal digits up to the first other character ("$" + hexadecimal and "%" + binary digits
// too). Text without digits is 0; values beyond the 64-bit range stop at its limits.
qint64 ReadVersionNumber(const QString& code);

// True when `latestCode` is a greater number than kLocalVersionCode.
bool IsNewerVersion(const QString& latestCode);

}  // namespace tz
