#include "content/editor_text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

#include "content/exercise_text.h"
#include "exercise/keyboard_tables.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"

namespace tz {

namespace {

bool IsControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

// One line of the file as it is read: spaces at its start are skipped, spaces inside are held
// back until a later character shows they are not at its end.
class EditorLine {
  public:
    explicit EditorLine(const QString& allowed) : allowed_(allowed) {}

    void Take(QChar c) {
        seen_ = true;
        if (c == ' ') {
            // Spaces past what would fill the line go uncounted: a file of spaces may be any size.
            if (started_ && heldSpaces_ <= kTextReadLimit) ++heldSpaces_;
            return;
        }
        started_ = true;
        // Held spaces that take the line past the limit end it there, as other characters do.
        const qsizetype room = kTextReadLimit + 1 - kept_.size();
        kept_.append(QString(std::min<qsizetype>(heldSpaces_, room), ' '));
        heldSpaces_ = 0;
        if (kept_.size() <= kTextReadLimit && allowed_.contains(c)) kept_.append(c);
    }
    bool Seen() const { return seen_; }
    qsizetype KeptSize() const { return kept_.size(); }
    QString Finish() {
        QString kept = kept_;
        kept_.clear();
        started_ = seen_ = false;
        heldSpaces_ = 0;
        return kept;
    }

  private:
    const QString& allowed_;
    QString kept_;
    bool started_ = false;
    bool seen_ = false;
    int heldSpaces_ = 0;
};

// How many bytes at the end of `bytes` begin a UTF-8 character that they do not complete.
qsizetype CutCharacterSize(QByteArrayView bytes) {
    for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: its lead is further back
        const qsizetype size = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return size > back ? back : 0;
    }
    return 0;
}

}  // namespace

QString EditorAllowedCharacters() {
    QString allowed = QStringLiteral(" ");
    for (const QString& layout : {kSpanishLayout, kLatinAmericanLayout}) {
        const KeyboardTables& tables = KeyboardTablesFor(layout);
        for (int row = 1; row <= 4; ++row) {
            for (const QChar c : tables.keyRows[row]) {
                if (!allowed.contains(c)) allowed += c;
            }
        }
    }
    allowed.removeIf(IsControl);
    return allowed;
}

QString ReadTextForEditor(const QString& path) {
    return ReadTextForEditor(ReadTextFile(path));
}

QString ReadTextForEditor(const FileRead& read) {
    // A text past the cap was full long before it; its first bytes are read as ever.
    if (!read.Ok() && read.outcome != ReadOutcome::TooLarge) return QString();
    const QString allowed = EditorAllowedCharacters();
    const TextEncoding encoding = GuessTextEncoding(read);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Each line is put after a line end; the first one goes at the end.
    QString text;
    EditorLine line(allowed);
    bool full = false;
    bool atStart = true;
    bool afterCarriageReturn = false;
    auto endLine = [&] {
        text += '\n';
        text += line.Finish();
        full = text.size() > kTextReadLimit;
    };
    auto takeAll = [&](const QString& chunk) {
        for (qsizetype i = 0; i < chunk.size() && !full; ++i) {
            const QChar c = chunk[i];
            // A byte-order mark put first by an editor is no part of the text.
            if (atStart && c == QChar(0xFEFF)) {
                atStart = false;
                continue;
            }
            atStart = false;
            if (c == '\n' && afterCarriageReturn) {
                afterCarriageReturn = false;
                continue;
            }
            afterCarriageReturn = c == '\r';
            if (c == '\r' || c == '\n') {
                endLine();
            } else {
                line.Take(c);
                // A line longer than the whole text may be is ended where it passes it.
                if (line.KeptSize() > kTextReadLimit) endLine();
            }
        }
    };
    constexpr qsizetype kPiece = 8192;
    // The bytes of a character that the end of a piece cut apart wait for the next piece.
    QByteArray pending;
    for (qsizetype at = 0; !full && at < read.bytes.size(); at += kPiece) {
        const QByteArrayView piece =
            QByteArrayView(read.bytes).sliced(at, std::min(kPiece, read.bytes.size() - at));
        if (encoding == TextEncoding::Windows1252) {
            takeAll(DecodeWindows1252(piece));
            continue;
        }
        pending.append(piece);
        const qsizetype whole = pending.size() - CutCharacterSize(pending);
        takeAll(decoder.decode(QByteArrayView(pending).first(whole)));
        pending.remove(0, whole);
    }
    // A character cut off by the end of the file is read as the decoder reads any broken one.
    if (!full && !pending.isEmpty()) takeAll(decoder.decode(pending));
    // A final line end is optional and adds no empty line.
    if (!full && line.Seen()) endLine();
    return text.mid(1);
}

bool IsValidDocumentName(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1String(".."))) return false;
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : name) {
        if (refused.contains(c) || IsControl(c)) return false;
    }
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return !device.match(name).hasMatch();
}

}  // namespace tz
