#include <QDir>
#include <QStringList>

#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content_test.h"
#include "support.h"

namespace tz {
namespace {

class ExerciseTextTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(QDir(dir_->path()).mkpath("textos"));
    }
    // Builds exercise `exercise` of `block` for the source and document in force; keeps what
    // was built.
    bool Assemble(const LoadedBlock& block, int exercise) {
        built_ = AssembleExerciseText(block, exercise, source_, document_);
        return built_.built;
    }
    // Loads a block of one entry typed as `lines` lines and builds its text.
    bool Build(const QString& entry, int lines = 5) {
        LoadedBlock block;
        block.found = true;
        block.entries = QStringList{entry};
        block.linesPerExercise = lines;
        return Assemble(block, 1);
    }
    // The text a lesson text file of these bytes gives.
    QString LessonText(const QByteArray& bytes) {
        WriteBytes("textos/TEXTO_01", bytes);
        EXPECT_TRUE(Build("(TEXTO=1)"));
        return built_.text;
    }

    ExerciseSource source_ = ExerciseSource::Course;
    QString document_;
    ExerciseText built_;
};

QStringList Repeated(const QString& unit, int times) {
    QStringList parts;
    for (int i = 0; i < times; ++i) parts.append(unit);
    return parts;
}

TEST_F(ExerciseTextTest, WordGroupsRepeatToFillTheLinesOfTheBlock) {
    ASSERT_TRUE(Build("asdf ñlkj"));
    const QString line = Repeated("asdf ñlkj", 6).join(' ');
    EXPECT_EQ(line.size(), 59);
    EXPECT_EQ(built_.text, Repeated(line, 5).join('\r'));

    // The marker stands for a double quote: a unit of 7 characters fits nine times.
    ASSERT_TRUE(Build("|kom|coma|kom|", 3));
    EXPECT_EQ(built_.text, Repeated(Repeated("\"coma\"", 9).join(' '), 3).join('\r'));

    // One line: no line end at all.
    ASSERT_TRUE(Build("dada", 1));
    EXPECT_EQ(built_.text, Repeated("dada", 13).join(' '));
    EXPECT_FALSE(built_.text.contains('\r'));
    EXPECT_TRUE(built_.missingFile.isEmpty());
}

TEST_F(ExerciseTextTest, LongEntriesAreTypedOnceAndCutAtSixtySevenCharacters) {
    const QString e66 = QString("x").repeated(66);
    EXPECT_EQ(WordExerciseLine(e66), e66);
    const QString e67 = QString("y").repeated(67);
    EXPECT_EQ(WordExerciseLine(e67), e67);
    // 32 characters still fit twice; 33 only once, as twice would reach 67.
    const QString z32 = QString("z").repeated(32);
    EXPECT_EQ(WordExerciseLine(z32), z32 + " " + z32);
    EXPECT_EQ(WordExerciseLine(QString("z").repeated(33)), QString("z").repeated(33));

    // The cut loses the spaces it leaves at its end.
    const QString saying = QString("a").repeated(64) + "   bcd efg";
    EXPECT_EQ(WordExerciseLine(saying), QString("a").repeated(64));
    const QString marker = QString("b").repeated(60) + " |kom|cde|kom| fgh";
    EXPECT_EQ(WordExerciseLine(marker), QString("b").repeated(60) + " \"cde\"");

    ASSERT_TRUE(Build(saying, 3));
    EXPECT_EQ(built_.text, Repeated(QString("a").repeated(64), 3).join('\r'));
}

TEST_F(ExerciseTextTest, LeadingSpacesStayInsideButNotAtTheLineStart) {
    // "  ab " is a unit of 5, repeated 13 times.
    const QString line = WordExerciseLine("  ab");
    EXPECT_EQ(line, "ab" + QString("   ab").repeated(12));
    // Nothing but spaces gives empty lines, never an endless fill.
    EXPECT_EQ(WordExerciseLine(QString(" ").repeated(80)), "");
    EXPECT_EQ(WordExerciseLine(""), "");
}

TEST_F(ExerciseTextTest, TheExerciseNumberPicksTheEntry) {
    const LoadedBlock block = LoadBlock(1, 3);
    ASSERT_TRUE(block.found);
    ASSERT_TRUE(Assemble(block, 2));
    EXPECT_EQ(built_.text, Repeated(Repeated("safa", 13).join(' '), 3).join('\r'));

    // A position outside the block leaves nothing to type.
    for (const int exercise : {0, 5, -1}) {
        EXPECT_FALSE(Assemble(block, exercise));
        EXPECT_TRUE(built_.text.isEmpty());
        EXPECT_TRUE(built_.missingFile.isEmpty());
    }
}

TEST_F(ExerciseTextTest, ReferencesReadTheTwoDigitLessonTextFile) {
    WriteBytes("textos/TEXTO_05", "cinco\r\n");
    WriteBytes("textos/TEXTO_61", "sesenta y uno\r\n");
    WriteBytes("textos/TEXTO_00", "cero\r\n");
    WriteBytes("textos/TEXTO_12", "doce\r\n");
    WriteBytes("textos/TEXTO_100", "cien\r\n");
    const struct {
        const char* entry;
        const char* text;
    } cases[] = {
        {"(TEXTO=5)", "cinco"},    {"(TEXTO=05)", "cinco"},  {"(TEXTO=61", "sesenta y uno"},
        {"(TEXTO= \t5)", "cinco"}, {"(TEXTO=+5)", "cinco"},  {"(TEXTO=)", "cero"},
        {"(TEXTO=x)", "cero"},     {"(TEXTO=12=3)", "doce"}, {"(TEXTO=100)", "cien"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Build(c.entry)) << c.entry;
        EXPECT_EQ(built_.text, c.text) << c.entry;
    }
    EXPECT_EQ(LessonTextFileName("(TEXTO=7)"), "textos/TEXTO_07");
    EXPECT_EQ(LessonTextFileName("(TEXTO=69)"), "textos/TEXTO_69");

    // Only the exact upper-case prefix refers to a file.
    ASSERT_TRUE(Build("(texto=5)", 1));
    EXPECT_EQ(built_.text, Repeated("(texto=5)", 6).join(' '));
    EXPECT_FALSE(IsLessonTextRef(" (TEXTO=5)"));
}

TEST_F(ExerciseTextTest, LessonFilesAreFoundWhateverTheCaseOfTheirNames) {
    ASSERT_TRUE(QDir(dir_->path()).rename("textos", "TEXTOS"));
    WriteBytes("TEXTOS/texto_09", "nueve\r\n");
    ASSERT_TRUE(Build("(TEXTO=9)"));
    EXPECT_EQ(built_.text, "nueve");
}

TEST_F(ExerciseTextTest, LessonTextLinesKeepTheirShapeAndJoinWithCrLf) {
    // A final line end or none: the same text.
    EXPECT_EQ(LessonText("uno\r\ndos\r\n"), "uno\r\ndos");
    EXPECT_EQ(LessonText("uno\r\ndos"), "uno\r\ndos");
    // Spaces at the end go, spaces at the start stay.
    EXPECT_EQ(LessonText("palabra   \r\n  otra\r\n"), "palabra\r\n  otra");
    // Any line end; empty lines stay.
    EXPECT_EQ(LessonText("a\nb\rc\r\n\r\nd\n\ne"), "a\r\nb\r\nc\r\n\r\nd\r\n\r\ne");
    EXPECT_EQ(LessonText("dijo |kom|hola|kom|.\r\n"), "dijo \"hola\".");
    EXPECT_EQ(LessonText(""), "");
    EXPECT_EQ(LessonText("\r\n"), "");
    EXPECT_EQ(LessonText("\r\n\r\nfin"), "\r\n\r\nfin");
    // Accents arrive whole; a byte-order mark is dropped as it cannot be typed.
    EXPECT_EQ(LessonText("\xEF\xBB\xBFni\xC3\xB1o \xC3\xA1rbol\r\n"),
              QString::fromUtf8("niño árbol"));
    // A file that is no UTF-8 was saved in the Windows code page: its letters arrive whole.
    EXPECT_EQ(LessonText("a\xFF"
                         "b\r\nc"),
              QString::fromUtf8("aÿb\r\nc"));
    EXPECT_EQ(LessonText("La mam\xE1 est\xE1 aqu\xED con el ni\xF1o.\r\n"),
              QString::fromUtf8("La mamá está aquí con el niño."));
    // Tabs are no spaces: they stay.
    EXPECT_EQ(LessonText("a\t \r\n"), "a\t");
}

TEST_F(ExerciseTextTest, ReadingStopsAfterTheLineThatPassesFortyThousandCharacters) {
    // 98 characters and a CR LF: after 400 lines the text holds exactly 40000 characters, which
    // does not pass the limit, so line 401 is still read and reading stops there.
    QByteArray bytes;
    for (int i = 0; i < 600; ++i) bytes += QByteArray(97, 'a' + i % 26) + "|\r\n";
    const QString text = LessonText(bytes);
    const QStringList lines = text.split("\r\n");
    EXPECT_EQ(lines.size(), 401);
    EXPECT_EQ(text.size(), 401 * 100 - 2);
    EXPECT_EQ(lines.last(), QString(97, QChar('a' + 400 % 26)) + "|");

    // One line longer than the whole limit is taken and ends the reading.
    const QByteArray huge = QByteArray(50000, 'x') + "\r\nno\r\n";
    EXPECT_EQ(LessonText(huge), QString(50000, 'x'));
}

TEST_F(ExerciseTextTest, AMissingFileReadsEmptyAndIsNamed) {
    WriteBytes("textos/TEXTO_02", "dos\r\n");
    ASSERT_TRUE(Build("(TEXTO=2)"));
    EXPECT_FALSE(Build("(TEXTO=3)"));
    EXPECT_TRUE(built_.text.isEmpty());
    EXPECT_EQ(built_.missingFile, QDir::toNativeSeparators(Path("textos/TEXTO_03")));

    // A folder where the file should be cannot be read either.
    ASSERT_TRUE(QDir(dir_->path()).mkpath("textos/TEXTO_04"));
    EXPECT_FALSE(Build("(TEXTO=4)"));
    EXPECT_TRUE(built_.missingFile.endsWith("TEXTO_04"));

    // No lesson folder at all.
    ASSERT_TRUE(QDir(Path("textos")).removeRecursively());
    EXPECT_FALSE(Build("(TEXTO=2)"));
    EXPECT_TRUE(built_.text.isEmpty());
    EXPECT_TRUE(built_.missingFile.endsWith("TEXTO_02"));

    // The next build that finds its text forgets the missing file.
    ASSERT_TRUE(Build("sala"));
    EXPECT_TRUE(built_.missingFile.isEmpty());
}

TEST_F(ExerciseTextTest, ACustomTextReplacesEveryEntry) {
    ASSERT_TRUE(QDir(dir_->path()).mkpath("TXTPERSONALIZADOS"));
    WriteBytes("TXTPERSONALIZADOS/Mi Texto.t10", "Mi |kom|texto|kom|   \r\nsegunda");
    WriteBytes("textos/TEXTO_05", "cinco\r\n");
    source_ = ExerciseSource::CustomText;
    document_ = "Mi Texto.t10";
    for (const char* entry : {"asdf ñlkj", "(TEXTO=5)", ""}) {
        EXPECT_TRUE(Build(entry)) << entry;
        EXPECT_EQ(built_.text, "Mi \"texto\"\r\nsegunda") << entry;
    }
    // Even a position outside the block: the document is what runs.
    EXPECT_TRUE(Assemble(LoadBlock(1, 1), 9));
    EXPECT_EQ(built_.text, "Mi \"texto\"\r\nsegunda");

    document_ = "mi texto.T10";
    EXPECT_TRUE(Build("x"));
    EXPECT_EQ(built_.text, "Mi \"texto\"\r\nsegunda");

    document_ = "borrado.t10";
    EXPECT_FALSE(Build("asdf"));
    EXPECT_TRUE(built_.text.isEmpty());
    EXPECT_EQ(built_.missingFile, QDir::toNativeSeparators(Path("TXTPERSONALIZADOS/borrado.t10")));

    // Back in the course the entry rules again.
    source_ = ExerciseSource::Course;
    ASSERT_TRUE(Build("(TEXTO=5)"));
    EXPECT_EQ(built_.text, "cinco");
}

}  // namespace
}  // namespace tz
