#include "platform/textfile.h"

#include <QStringDecoder>
#include <array>

namespace tz {

QStringList SplitLines(const QString& text) {
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) lines.append(current);
    return lines;
}

FileRead ReadTextFile(const QString& path) {
    return ReadRegularFile(path, kTextFileCap);
}

TextEncoding GuessTextEncoding(const FileRead& read) {
    // A character cut by the cap is pending, not an error; one cut by the end of the file is.
    // (The decoding runs when its result becomes a string.)
    QStringDecoder decoder(QStringDecoder::Utf8, read.outcome == ReadOutcome::TooLarge
                                                     ? QStringDecoder::Flag::Default
                                                     : QStringDecoder::Flag::Stateless);
    const QString probe = decoder.decode(read.bytes);
    return decoder.hasError() ? TextEncoding::Windows1252 : TextEncoding::Utf8;
}

QString DecodeWindows1252(QByteArrayView bytes) {
    // 0x80 to 0x9F hold typographic signs; the five unused codes stay control codes, as
    // Windows reads them. Every other byte is the Latin-1 character of its code.
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(kHigh[code - 0x80]) : QChar(code);
    }
    return text;
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Windows1252 ? DecodeWindows1252(bytes)
                                                 : QString::fromUtf8(bytes);
}

QByteArray EncodeLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteTextLinesAtomically(const QString& path, const QStringList& lines) {
    return ReplaceFileWith(path, EncodeLines(lines));
}

}  // namespace tz
