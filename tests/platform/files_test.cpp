#include "platform/files.h"
#include "platform/textfile.h"
#include "support.h"

namespace tz {
namespace {

class FilesTest : public test::ProgramFolderTest {};

TEST_F(FilesTest, SizesRenamesAndCopiesFollowTheirRules) {
    EXPECT_EQ(FileSize(Path("nada.txt")), -1);
    EXPECT_EQ(FileSize(dir_->path()), -2);
    WriteBytes("a.txt", "abc");
    WriteBytes("b.txt", "12345");
    EXPECT_EQ(FileSize(Path("a.txt")), 3);

    // A rename never replaces an existing target.
    EXPECT_FALSE(RenameFile(Path("a.txt"), Path("b.txt")));
    EXPECT_EQ(ReadBytes("b.txt"), "12345");
    EXPECT_EQ(ReadBytes("a.txt"), "abc");

    // A copy does.
    EXPECT_TRUE(CopyFileOver(Path("a.txt"), Path("b.txt")));
    EXPECT_EQ(ReadBytes("b.txt"), "abc");
    EXPECT_FALSE(Exists("b.txt.part"));
    EXPECT_FALSE(CopyFileOver(Path("missing"), Path("b.txt")));
    EXPECT_EQ(ReadBytes("b.txt"), "abc");

    RemoveFile(Path("a.txt"));
    RemoveFile(Path("a.txt"));  // deleting a missing file is harmless
    EXPECT_EQ(FileSize(Path("a.txt")), -1);
    EXPECT_TRUE(RenameFile(Path("b.txt"), Path("c.txt")));
    EXPECT_EQ(ReadBytes("c.txt"), "abc");

    // A replacement through a temporary file: whole or not at all, and no temporary left.
    const auto writing = [](const QByteArray& bytes) {
        return [bytes](const QString& temp) { return WriteAndSync(temp, bytes); };
    };
    EXPECT_TRUE(ReplaceThroughTemp(Path("c.txt"), Path("c.tmp"), writing("nuevo")));
    EXPECT_EQ(ReadBytes("c.txt"), "nuevo");
    EXPECT_FALSE(ReplaceThroughTemp(Path("c.txt"), Path("c.tmp"), [](const QString& temp) {
        WriteAndSync(temp, "a medias");
        return false;
    }));
    EXPECT_EQ(ReadBytes("c.txt"), "nuevo");
    EXPECT_FALSE(Exists("c.tmp"));
    // A folder in the target's place cannot be replaced; the written temporary goes.
    ASSERT_TRUE(CreateFolder(Path("carpeta/dentro")));
    EXPECT_FALSE(ReplaceThroughTemp(Path("carpeta"), Path("carpeta.tmp"), writing("x")));
    EXPECT_EQ(FileSize(Path("carpeta")), -2);
    EXPECT_FALSE(Exists("carpeta.tmp"));
}

TEST_F(FilesTest, BareNamesMatchWithoutRegardToCase) {
    WriteBytes("usuarios.dat", "x");
    EXPECT_EQ(DataPath("USUARIOS.DAT"), Path("usuarios.dat"));
    EXPECT_EQ(DataPath("nuevo.dat"), Path("nuevo.dat"));
    ASSERT_TRUE(CreateFolder(Path("Textos")));
    WriteBytes("Textos/TEXTO_01", "hola");
    EXPECT_EQ(DataPath("textos\\texto_01"), Path("Textos/TEXTO_01"));
    WriteBytes("b.T10", "");
    WriteBytes("a.t10", "");
    WriteBytes("c.txt", "");
    EXPECT_EQ(ListFiles(dir_->path(), "*.t10"), (QStringList{"a.t10", "b.T10"}));
}

TEST_F(FilesTest, TextThatIsNotUtf8IsTakenAsWindows1252) {
    WriteBytes("ansi.txt", "ni\xF1o \x80 \x93s\xED\x94");
    EXPECT_EQ(GuessTextEncoding(Path("ansi.txt")), TextEncoding::Windows1252);
    EXPECT_EQ(DecodeText(ReadBytes("ansi.txt"), TextEncoding::Windows1252),
              QString::fromUtf8("niño € “sí”"));
    WriteBytes("utf8.txt", QString::fromUtf8("niño € “sí”").toUtf8());
    EXPECT_EQ(GuessTextEncoding(Path("utf8.txt")), TextEncoding::Utf8);
    EXPECT_EQ(GuessTextEncoding(Path("missing.txt")), TextEncoding::Utf8);
    // Ending in a letter that UTF-8 would take for the start of a character: not UTF-8.
    WriteBytes("ansi-end.txt", "SOLO MA\xD1");
    EXPECT_EQ(GuessTextEncoding(Path("ansi-end.txt")), TextEncoding::Windows1252);
    // Every byte is one character; the unused codes stay control codes.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString decoded = DecodeWindows1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(decoded[0x41], QChar(u'A'));
    EXPECT_EQ(decoded[0x81], QChar(0x81));
    EXPECT_EQ(decoded[0x85], QChar(0x2026));
    EXPECT_EQ(decoded[0x9F], QChar(0x0178));
    EXPECT_EQ(decoded[0xE1], QChar(0xE1));
}

TEST_F(FilesTest, TextFilesReadAnyLineEndAndWriteCrLfWithoutBom) {
    WriteBytes("mix.txt", "uno\r\ndos\nres\rcuatro\r\n\r\nfin");
    const TextFileLines read = ReadTextLines(Path("mix.txt"));
    ASSERT_TRUE(read.opened);
    EXPECT_EQ(read.lines, (QStringList{"uno", "dos", "res", "cuatro", "", "fin"}));
    EXPECT_FALSE(ReadTextLines(Path("missing")).opened);

    WriteBytes("bom.txt", "\xEF\xBB\xBFhola\r\n");
    EXPECT_EQ(ReadTextLines(Path("bom.txt")).lines, QStringList{"hola"});

    ASSERT_TRUE(WriteTextLinesAtomically(Path("out.txt"), {"ñandú", "dos"}));
    EXPECT_EQ(ReadBytes("out.txt"), QByteArray("\xC3\xB1"
                                               "and\xC3\xBA\r\ndos\r\n"));
    ASSERT_TRUE(AppendTextLine(Path("out.txt"), "tres"));
    EXPECT_EQ(ReadBytes("out.txt").right(6), QByteArray("tres\r\n"));
}

}  // namespace
}  // namespace tz
