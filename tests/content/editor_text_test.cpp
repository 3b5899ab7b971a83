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
    // Other alphabets, emoji, control characters and broken UTF-8 go as well.
    EXPECT_EQ(Read(QByteArray("\xCE\xA9mega \xF0\x9F\x98\x80 ok\x01\x80\xFF!")), "mega  ok!");
    // Everything a key gives stays, in order.
    const QString typable = test::TypableCharacters().remove(QChar(0x80)).mid(1);
    EXPECT_EQ(Read(typable.toUtf8()), typable);
    EXPECT_EQ(EditorAllowedCharacters(), QString(" ") + typable);
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
