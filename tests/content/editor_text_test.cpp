// What the custom texts editor shows of a file, and the names a document may take.

#include <QDir>

#include "content/editor_text.h"
#include "content/exercise_text.h"
#include "support.h"
#include "tests/content/content_test.h"

namespace tz {
namespace {

class EditorTextTest : public test::ProgramFolderTest {
  protected:
    QString Read(const QByteArray& bytes) {
        WriteBytes("texto.txt", bytes);
        return ReadTextForEditor(Path("texto.txt"));
    }
};

TEST_F(EditorTextTest, KeepsOnlyWhatTheKeyboardCanType) {
    EXPECT_EQ(Read(QString::fromUtf8("\t“Hola”, dijo —‘¿qué tal?’—\t€ 5\r\n").toUtf8()),
              QString::fromUtf8("Hola, dijo ¿qué tal? 5"));
    // Other alphabets, emoji and control characters go as well.
    EXPECT_EQ(Read(QByteArray("\xCE\xA9mega \xF0\x9F\x98\x80 ok\x01\xC2\x80!")), "mega  ok!");
    // Everything a key of either keyboard gives stays, in order: the Spanish keys and the
    // degree sign of the Latin American keyboard.
    const QString typable = test::TypableCharacters().remove(QChar(0x80)).mid(1) + "°";
    EXPECT_EQ(Read(typable.toUtf8()), typable);
    EXPECT_EQ(EditorAllowedCharacters(), QString(" ") + typable);
    for (const QChar c : test::LatinAmericanTypableCharacters()) {
        EXPECT_TRUE(EditorAllowedCharacters().contains(c)) << QString(c).toStdString();
    }
}

// A text saved by an older Windows editor in its ANSI code page keeps its accented letters; a
// valid UTF-8 file is read as UTF-8 even where its bytes would also be Windows-1252.
TEST_F(EditorTextTest, AFileThatIsNotUtf8IsReadAsWindows1252) {
    EXPECT_EQ(Read("La mam\xE1 est\xE1 aqu\xED con el ni\xF1o.\r\n\xBFS\xED? \xA1No!\r\n"),
              QString::fromUtf8("La mamá está aquí con el niño.\n¿Sí? ¡No!"));
    // Typographic quotes of the code page are not typable: they go, the words stay.
    EXPECT_EQ(Read("\x93"
                   "Espa\xF1"
                   "a\x94 \x80 5"),
              QString::fromUtf8("España  5"));
    EXPECT_EQ(Read(QString::fromUtf8("La mamá está aquí con el niño.").toUtf8()),
              QString::fromUtf8("La mamá está aquí con el niño."));
    // "Ã¡" is what UTF-8 "á" would be as Windows-1252: valid UTF-8 wins.
    EXPECT_EQ(Read("\xC3\xA1"), QString::fromUtf8("á"));
}

TEST_F(EditorTextTest, SpacesAtBothEndsGoBeforeTheFilter) {
    EXPECT_EQ(Read("   dos   espacios   \n"), "dos   espacios");
    // A tab is not a space: spaces before it stay once it is dropped, those after it go.
    EXPECT_EQ(Read("ab  \t  \n"), "ab  ");
    EXPECT_EQ(Read("  \t  cd\n"), "  cd");
}

TEST_F(EditorTextTest, LinesEndAtAnyLineEndAndEmptyLinesStay) {
    EXPECT_EQ(Read("uno\r\ndos\nres\rcuatro\r\n\r\n\nfin"), "uno\ndos\nres\ncuatro\n\n\nfin");
    // A final line end adds no line; a byte-order mark is no character of the text.
    EXPECT_EQ(Read("\xEF\xBB\xBF  hola\r\n"), "hola");
    EXPECT_EQ(Read(""), "");
    EXPECT_EQ(Read("\r\n"), "");
    EXPECT_EQ(ReadTextForEditor(Path("no existe.txt")), "");
    QDir().mkpath(Path("carpeta"));
    EXPECT_EQ(ReadTextForEditor(Path("carpeta")), "");
}

TEST_F(EditorTextTest, ReadingStopsAtTheFirstLinePast40000Characters) {
    QByteArray file;
    for (int line = 1; line <= 500; ++line) {
        file +=
            QByteArray::number(line).rightJustified(4, '0') + ' ' + QByteArray(94, 'x') + "\r\n";
    }
    const QString text = Read(file);
    // Each line brings 100 characters with its line end: 400 lines make 40000, line 401 passes.
    EXPECT_EQ(text.size(), 401 * 100 - 1);
    EXPECT_TRUE(text.endsWith("0401 " + QString(94, 'x')));
    // One line longer than the whole text may be is ended where it passes it.
    EXPECT_EQ(Read(QByteArray(100000, 'a')).size(), kTextReadLimit + 1);
    // Characters that are dropped do not count.
    EXPECT_EQ(Read(QByteArray(100000, '\t') + "fin").size(), 3);
}

// The file is read a piece at a time: a character whose bytes the end of a piece cuts apart
// is kept, wherever the cut falls.
TEST_F(EditorTextTest, ACharacterCutByTheEndOfAPieceIsKept) {
    const QString tail = QString::fromUtf8("señor ñandú");
    for (int lead = 8186; lead <= 8194; ++lead) {
        SCOPED_TRACE(lead);
        EXPECT_EQ(Read(QByteArray(lead, 'a') + tail.toUtf8()), QString(lead, 'a') + tail);
    }
    // Also far into a longer file.
    const QString pair = QString::fromUtf8("añ");
    const QString many = pair.repeated(3000);
    EXPECT_EQ(Read(many.toUtf8()), many);
}

// Spaces inside a line count like any character: a run of them that takes the line past the
// limit ends it there, while spaces at a line's end still go however many there are.
TEST_F(EditorTextTest, ARunOfSpacesPastTheLimitIsCutThere) {
    const QString text = Read("a" + QByteArray(100000, ' ') + "b\r\nsiguiente");
    EXPECT_EQ(text.size(), kTextReadLimit + 1);
    EXPECT_EQ(text, "a" + QString(kTextReadLimit, ' '));
    EXPECT_EQ(Read("a" + QByteArray(100000, ' ') + "\r\nb"), "a\nb");
}

TEST(DocumentName, PathsAndNamesWindowsRefusesAreNotValid) {
    for (const char* good : {"cuento", "mi cuento", "a.b", "nota.t10", "Conejo", "CONSOLA"}) {
        EXPECT_TRUE(IsValidDocumentName(QString::fromUtf8(good))) << good;
    }
    EXPECT_TRUE(IsValidDocumentName(QString::fromUtf8("canción de cuna")));
    for (const char* bad : {"../usuarios", "..\\usuarios", "sub/nota", "sub\\nota", "..", "a..b",
                            "/etc/passwd", "C:nota", "nota?", "a*b", "a|b", "<a>", "\"a\"", "con",
                            "NUL", "com1", "LPT9.txt", "a\tb", ""}) {
        EXPECT_FALSE(IsValidDocumentName(QString::fromUtf8(bad))) << bad;
    }
}

}  // namespace
}  // namespace tz
