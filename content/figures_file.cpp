#include "content/figures_file.h"

#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>
#include <set>

#include "platform/clock.h"
#include "platform/textfile.h"

namespace tz {

namespace {

// The figures wait less for the lock than a save of progress: the pupil is waiting to go on.
constexpr int kRecordLockWaitMs = 3000;
// Larger counts are no real pupil's: a file holding them was damaged (and sums stay in range).
constexpr qint64 kLargestCount = 1'000'000'000'000LL;
// Attempts are stamped in UTC: a change of summer time or of the PC's time zone moves no stamp.
const QString kDateFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'");

const QString kCharacterTag = QStringLiteral("tecla");
const QString kFingerTag = QStringLiteral("dedo");
const QString kConfusionTag = QStringLiteral("confusion");
const QString kAttemptTag = QStringLiteral("intento");

QString CodePointText(char32_t c) {
    return QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
}

QString CountsText(const KeyFigures& key) {
    return QString::number(key.keystrokes) + u'|' + QString::number(key.errors) + u'|' +
           QString::number(key.timed) + u'|' + QString::number(key.totalMs);
}

std::optional<qint64> ReadCount(const QString& text) {
    if (text.isEmpty() || text.size() > 13) return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
    }
    const qint64 value = text.toLongLong();
    if (value > kLargestCount) return std::nullopt;
    return value;
}

std::optional<char32_t> ReadCodePoint(const QString& text) {
    if (text.size() < 4 || text.size() > 6) return std::nullopt;
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit() && !(c >= u'A' && c <= u'F') && !(c >= u'a' && c <= u'f'))
            return std::nullopt;
    }
    return static_cast<char32_t>(value);
}

// Four counts from fields[first..first+3]; keystrokes bound the errors and the timed ones.
std::optional<KeyFigures> ReadCounts(const QStringList& fields, qsizetype first) {
    if (fields.size() != first + 4) return std::nullopt;
    KeyFigures key;
    const auto keystrokes = ReadCount(fields[first]);
    const auto errors = ReadCount(fields[first + 1]);
    const auto timed = ReadCount(fields[first + 2]);
    const auto totalMs = ReadCount(fields[first + 3]);
    if (!keystrokes || !errors || !timed || !totalMs) return std::nullopt;
    if (*errors > *keystrokes || *timed > *keystrokes) return std::nullopt;
    key.keystrokes = *keystrokes;
    key.errors = *errors;
    key.timed = *timed;
    key.totalMs = *totalMs;
    return key;
}

bool ReadLine(const QString& line, PupilFigures& figures, std::set<int>& fingersSeen) {
    const QStringList fields = line.split(u'|');
    const QString& tag = fields[0];
    if (tag == kCharacterTag && fields.size() == 6) {
        const auto c = ReadCodePoint(fields[1]);
        const auto key = ReadCounts(fields, 2);
        if (!c || !key || figures.characters.count(*c) > 0) return false;
        figures.characters[*c] = *key;
        return true;
    }
    if (tag == kFingerTag && fields.size() == 6) {
        const auto finger = ReadCount(fields[1]);
        const auto key = ReadCounts(fields, 2);
        if (!finger || *finger < 1 || *finger > 10 || !key) return false;
        if (!fingersSeen.insert(static_cast<int>(*finger)).second) return false;
        figures.fingers[static_cast<std::size_t>(*finger)] = *key;
        return true;
    }
    if (tag == kConfusionTag && fields.size() == 4) {
        const auto due = ReadCodePoint(fields[1]);
        const auto typed = ReadCodePoint(fields[2]);
        const auto times = ReadCount(fields[3]);
        if (!due || !typed || !times || *times == 0) return false;
        if (figures.confusions.count({*due, *typed}) > 0) return false;
        figures.confusions[{*due, *typed}] = *times;
        return true;
    }
    if (tag == kAttemptTag && fields.size() == 6) {
        const QDateTime read = QDateTime::fromString(fields[1], kDateFormat);
        const QDateTime when(read.date(), read.time(), QTimeZone::utc());
        const auto key = ReadCounts(fields, 2);
        if (!when.isValid() || when.toString(kDateFormat) != fields[1] || !key) return false;
        if (figures.attempts.size() >= static_cast<std::size_t>(kKeptAttempts)) return false;
        figures.attempts.push_back({when, *key});
        return true;
    }
    return false;
}

}  // namespace

bool IsOfLaterVersion(const QByteArray& bytes) {
    const QByteArray start = kFiguresHeaderStart.toUtf8();
    if (!bytes.startsWith(start)) return false;
    qsizetype end = start.size();
    while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9') ++end;
    const QByteArray digits = bytes.mid(start.size(), end - start.size());
    return !digits.isEmpty() && digits.size() < 9 && digits.toInt() > kFiguresVersion;
}

namespace {}  // namespace

QByteArray FormatFiguresFile(const PupilFigures& figures) {
    QStringList lines;
    lines << kFiguresHeader;
    for (const auto& [c, key] : figures.characters) {
        lines << kCharacterTag + u'|' + CodePointText(c) + u'|' + CountsText(key);
    }
    for (std::size_t finger = 1; finger < figures.fingers.size(); ++finger) {
        if (figures.fingers[finger].keystrokes == 0) continue;
        lines << kFingerTag + u'|' + QString::number(finger) + u'|' +
                     CountsText(figures.fingers[finger]);
    }
    for (const auto& [pair, times] : figures.confusions) {
        lines << kConfusionTag + u'|' + CodePointText(pair.first) + u'|' +
                     CodePointText(pair.second) + u'|' + QString::number(times);
    }
    for (const AttemptSummary& attempt : figures.attempts) {
        lines << kAttemptTag + u'|' + attempt.when.toUTC().toString(kDateFormat) + u'|' +
                     CountsText(attempt.figures);
    }
    return EncodeLines(lines);
}

std::optional<PupilFigures> ParseFiguresFile(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    // Only a file that ends where a line ends is whole.
    if (!text.endsWith(u'\n')) return std::nullopt;
    QStringList lines = text.split(u'\n');
    lines.removeLast();
    if (lines.isEmpty()) return std::nullopt;
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    if (lines.first() != kFiguresHeader) return std::nullopt;
    PupilFigures figures;
    std::set<int> fingersSeen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!ReadLine(lines[i], figures, fingersSeen)) return std::nullopt;
    }
    return figures;
}

PupilFigures LoadPupilFigures(PupilStore& store, const QString& id) {
    const std::optional<QByteArray> bytes = store.ReadFigures(id);
    if (!bytes) return {};
    return ParseFiguresFile(*bytes).value_or(PupilFigures());
}

WriteResult AddPupilFigures(PupilStore& store, const QString& id, const PupilFigures& attempt,
                            int lockWaitMs) {
    return store.ChangeFigures(
        id,
        [&attempt](const std::optional<QByteArray>& current) -> FiguresStep {
            PupilFigures figures;
            if (current) {
                const std::optional<PupilFigures> read = ParseFiguresFile(*current);
                if (!read) {
                    return {IsOfLaterVersion(*current) ? FiguresStep::Verdict::LeaveAlone
                                                       : FiguresStep::Verdict::Damaged,
                            {}};
                }
                figures = *read;
            }
            AddFigures(figures, attempt);
            return {FiguresStep::Verdict::Write, FormatFiguresFile(figures)};
        },
        lockWaitMs);
}

WriteResult RecordAttemptFigures(PupilStore& store, const QString& id, const KeystrokeLog& log) {
    if (log.empty() || id.isEmpty()) return {WriteOutcome::Written};
    return AddPupilFigures(store, id, FiguresOfAttempt(log, Now()), kRecordLockWaitMs);
}

}  // namespace tz
