#include "update/version_check.h"

#include <QStringList>
#include <limits>

namespace tz {

namespace {

// Only spaces: other characters around the code are the server's business and stay visible.
QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.mid(begin, end - begin);
}

int DigitValue(QChar c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9') {
        value = c.unicode() - u'0';
    } else if (c >= u'a' && c <= u'f') {
        value = c.unicode() - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
        value = c.unicode() - u'A' + 10;
    }
    return value < base ? value : -1;
}

}  // namespace

QString VersionFileUrl() {
    const QString custom = qEnvironmentVariable(kVersionUrlVariable);
    return custom.isEmpty() ? kVersionFileUrl : custom;
}

QString LatestVersionCode(const QString& versionFileText) {
    const QStringList fields = versionFileText.split(u'#');
    // A key without a code is no answer either.
    if (fields.size() < 2 || fields[0] != QStringLiteral("VERSION")) return kLocalVersionCode;
    const QString code = TrimSpaces(fields[1]);
    return code.isEmpty() ? kLocalVersionCode : code;
}

qint64 ReadVersionNumber(const QString& code) {
    qsizetype i = 0;
    while (i < code.size() && (code[i] == u' ' || code[i] == u'\t')) ++i;
    bool negative = false;
    if (i < code.size() && (code[i] == u'+' || code[i] == u'-')) {
        negative = code[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < code.size() && code[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < code.size() && code[i] == u'%') {
        base = 2;
        ++i;
    }
    // The magnitude is gathered unsigned so that the most negative value is reachable.
    constexpr quint64 kLimitPositive = std::numeric_limits<qint64>::max();
    const quint64 limit = negative ? kLimitPositive + 1 : kLimitPositive;
    quint64 magnitude = 0;
    for (; i < code.size(); ++i) {
        const int digit = DigitValue(code[i], base);
        if (digit < 0) break;
        if (magnitude > (limit - static_cast<quint64>(digit)) / static_cast<quint64>(base)) {
            magnitude = limit;
        } else {
            magnitude = magnitude * static_cast<quint64>(base) + static_cast<quint64>(digit);
        }
    }
    if (!negative) return static_cast<qint64>(magnitude);
    if (magnitude == kLimitPositive + 1) return std::numeric_limits<qint64>::min();
    return -static_cast<qint64>(magnitude);
}

bool IsNewerVersion(const QString& latestCode) {
    return ReadVersionNumber(latestCode) > ReadVersionNumber(kLocalVersionCode);
}

}  // namespace tz
