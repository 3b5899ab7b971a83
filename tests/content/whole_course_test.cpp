#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content_test.h"
#include "exercise/keyboard_tables.h"
#include "platform/files.h"
#include "support.h"
#include "users/user_record.h"

namespace tz {
namespace {

constexpr int kLessonTexts = 69;

QString LessonTextSource(int t) {
    return test::SourcePath(QString("assets/textos/TEXTO_%1").arg(t, 2, 10, QChar('0')));
}

TEST(WholeCourse, EveryLessonTextIsCleanCrLfUtf8WithTypableLinesThatFit) {
    for (int t = 1; t <= kLessonTexts; ++t) {
        const QString path = LessonTextSource(t);
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "falta el texto";
        const QByteArray bytes = file.readAll();
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "marca de orden de bytes";
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        // Every line end is CR LF, never a lone CR or LF.
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));

        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(bytes);
        ASSERT_FALSE(decoder.hasError()) << "bytes que no son UTF-8";

        QStringList lines = text.split("\r\n");
        lines.removeLast();  // after the final line end
        int lineNumber = 0;
        for (QString line : lines) {
            ++lineNumber;
            line.replace(kQuoteMarker, "\"");
            EXPECT_LE(line.size(), 67) << "línea " << lineNumber;
            for (const QChar c : line) {
                EXPECT_TRUE(test::IsTypable(c))
                    << "línea " << lineNumber << ": U+" << std::hex << int(c.unicode());
            }
        }
    }
}

// Every exercise, on either keyboard the program knows.
TEST(WholeCourse, EveryExerciseOfTheCourseBuildsATextThatFitsThePage) {
    // The course as the program reads it from its own folder: the source tree's assets hold
    // the textos folder laid out as beside the executable.
    SetProgramFolder(test::SourcePath("assets"));
    const KeyboardTables& spanish = KeyboardTablesFor(kSpanishLayout);
    const KeyboardTables& latinAmerican = KeyboardTablesFor(kLatinAmericanLayout);
    const QString latinTypable = test::LatinAmericanTypableCharacters();
    int exercises = 0;
    int texts = 0;
    int changed = 0;
    for (int level = 1; level <= LastLevel; ++level) {
        const int blocks = LoadBlock(level, 1).blockCount;
        ASSERT_GT(blocks, 0);
        for (int block = 1; block <= blocks; ++block) {
            const LoadedBlock loaded = LoadBlock(level, block);
            ASSERT_TRUE(loaded.found);
            for (int exercise = 1; exercise <= loaded.EntryCount(); ++exercise) {
                SCOPED_TRACE(QString("nivel %1, bloque %2, ejercicio %3")
                                 .arg(level)
                                 .arg(block)
                                 .arg(exercise)
                                 .toStdString());
                ++exercises;
                const bool text = IsLessonTextRef(loaded.Entry(exercise));
                texts += text;
                const ExerciseText built = AssembleExerciseText(loaded, exercise);
                EXPECT_TRUE(built.built) << built.missingFile.toStdString();
                ASSERT_FALSE(built.text.isEmpty());
                const QStringList lines = built.text.split(text ? "\r\n" : "\r");
                if (!text) {
                    EXPECT_EQ(lines.size(), loaded.linesPerExercise);
                }
                for (const QString& line : lines) {
                    EXPECT_LE(line.size(), 67);
                    for (const QChar c : line) EXPECT_TRUE(test::IsTypable(c));
                }
                // On the Spanish keyboard the text is typed as written.
                EXPECT_EQ(TypeableText(spanish, built.text), built.text);
                // On the Latin American one with its stand-ins, every character on a key of
                // that keyboard and with a finger to strike it.
                const QString latin = TypeableText(latinAmerican, built.text);
                changed += latin != built.text;
                for (const QString& line : latin.split(text ? "\r\n" : "\r")) {
                    EXPECT_LE(line.size(), 67);
                    for (const QChar c : line) {
                        EXPECT_TRUE(latinTypable.contains(c)) << QString(c).toStdString();
                        const KeyHint hint = LookupHint(latinAmerican, QString(c), kNoFinger);
                        EXPECT_TRUE(hint.keyPos.has_value()) << QString(c).toStdString();
                        EXPECT_NE(hint.finger, kNoFinger) << QString(c).toStdString();
                    }
                }
            }
        }
    }
    EXPECT_EQ(exercises, 407);
    // The ordinals and products of the course are there to be mended.
    EXPECT_GT(changed, 0);
    EXPECT_EQ(texts, kLessonTexts);
    SetProgramFolder(QString());
}

}  // namespace
}  // namespace tz
