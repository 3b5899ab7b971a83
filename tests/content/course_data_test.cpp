#include <QStringList>

#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content_test.h"
#include "support.h"
#include "users/user_record.h"

namespace tz {
namespace {

struct LevelShape {
    int speed;
    const char* blocks;  // "k x n" word blocks and "text t" blocks, comma-separated
};

// The shape of the course, level by level.
const LevelShape kShape[] = {
    {25, "2 x 5, 2 x 5, 4 x 3, 4 x 3, 6 x 5"},
    {25, "2 x 5, 2 x 5, 5 x 3, 7 x 5"},
    {30, "2 x 5, 2 x 5, 2 x 3, 3 x 3"},
    {30, "2 x 5, 2 x 5, 2 x 5, 2 x 5"},
    {40, "2 x 5, 6 x 3, 6 x 3, 7 x 3, 5 x 3"},
    {40, "5 x 3, 4 x 3, 1 x 3, 5 x 3, 1 x 3"},
    {50, "5 x 3, 2 x 3, 5 x 3, 4 x 3, 5 x 3"},
    {50, "2 x 5, 2 x 5, 2 x 5, 8 x 3, 6 x 3"},
    {60, "5 x 3, 5 x 3, 5 x 3, 5 x 3, 4 x 3"},
    {60, "3 x 4, 3 x 5, 3 x 5, 5 x 5, 4 x 5"},
    {70, "4 x 5, 4 x 5, 4 x 5, 4 x 5, 4 x 5"},
    {70, "3 x 5, 4 x 5, 4 x 5, text 1, 4 x 5"},
    {80, "text 2, 4 x 5, text 3, 4 x 5, text 4"},
    {80, "4 x 5, text 5, 4 x 5, text 6, 4 x 5"},
    {90, "text 7, 4 x 5, text 8, 4 x 5, text 9"},
    {90, "3 x 5, text 10, 3 x 5, text 11, text 12"},
    {95, "3 x 5, text 13, 3 x 5, text 14, text 15"},
    {100, "2 x 5, text 16, 2 x 5, text 17, text 18"},
    {100, "3 x 5, text 19, 4 x 5, text 20, 3 x 3"},
    {105, "text 21, 3 x 3, text 22, 3 x 3, text 23"},
    {110, "2 x 3, text 24, 2 x 3, text 25, 2 x 3"},
    {115, "text 26, 2 x 3, text 27, 2 x 3, text 28"},
    {120, "2 x 3, text 29, 2 x 3, text 30, 2 x 3"},
    {125, "text 31, 2 x 3, text 32, 2 x 3, text 33"},
    {130, "text 34, 1 x 3, text 35, 1 x 3, text 36"},
    {135, "text 37, 3 x 3, text 38, 2 x 3, text 39"},
    {140, "text 40, 2 x 3, text 41, 2 x 3, text 42"},
    {150, "text 43, 2 x 3, text 44, 2 x 3, text 45"},
    {160, "text 46, 2 x 3, text 47, 2 x 3, text 48"},
    {165, "text 49, 2 x 3, text 50, 2 x 3, text 51"},
    {170, "text 52, 2 x 3, text 53, 2 x 3, text 54"},
    {180, "text 55, 2 x 3, text 56, 2 x 3, text 57"},
    {185, "text 58, 2 x 3, text 59, 2 x 3, text 60"},
    {190, "text 61, 2 x 3, text 62, 2 x 3, text 63"},
    {195, "text 64, 2 x 3, text 65, 2 x 3, text 66"},
    {200, "text 67, 2 x 3, text 68, 2 x 3, text 69"},
};

// Levels 1 to 7 as every pupil first meets them, block by block ("/" between blocks).
const char* const kFirstLevels[] = {
    "asdf ñlkj|asdfgf ñlkjhj/fdsa jklñ|fgfdsa jhjklñ/dada|safa|fasa|fada/sala|dala|saña|daña/"
    "asdf ñlkj|asadas|jalada|alkaja|gadasa|kalaña",
    "awer ñoiu|awertr ñoiuyu/rewa uioñ|rtrewa uyuioñ/trio|pito|tuyo|peri|tope/"
    "awert ñoiuy|uganda|quesos|awertr ñoiuyu|porque|tretas|pasear",
    "axcv ñ.,m|axcvbv ñ.,mnm/vcxa m,.ñ|vbvcxa mnm,.ñ/asdfgf ñlkjhj|axcvbv ñ.,mnm/"
    "awertr ñoiuyu|asdfgf ñlkjhj|axcvbv ñ.,mnm",
    "a234 ñ987|a23454 ñ98767/432a 789ñ|45432a 76789ñ/asdfgf awertr|ñlkjhj ñoiuyu/"
    "axcvbv a23454|ñ.,mnm ñ98767",
    "1qaz 2wsx 3edc 4rfv 5tgb 6yhn 7ujm 8ik, 9ol. 0pñ-|"
    "0pñ- 9ol. 8ik, 7ujm 6yhn 5tgb 4rfv 3edc 2wsx 1qaz/celo|cosa|pase|cepo|zafa|yama/"
    "kilo|sapo|peso|kata|timo|misa/mesa|beso|tome|ramo|fosa|urna|caña/"
    "parco|turco|queso|fatal|tribu",
    "biela|cazar|quita|froto|rimes/colmo|lunar|quite|izase/abcdefghijklmnñopqrstuvwxyz./"
    "parar|trino|broma|quite|bufas/zyxwvutsrqpoñnmlkjihgfedcba.",
    "talar|corta|tires|rompe|broca/abcdefghijklmnñopqrstuvwxyz.|zyxwvutsrqpoñnmlkjihgfedcba./"
    "trozo|ayudo|trapo|polca|zarza/plaza|yermo|sauna|vitro/guapa|salmo|niños|huele|jauja",
};

TEST(CourseData, BuiltInCourseFollowsTheShapeTableLevelByLevel) {
    const CourseTable& course = CourseData();
    ASSERT_TRUE(course.error.isEmpty()) << course.error.toStdString();
    ASSERT_EQ(static_cast<int>(course.levels.size()), LastLevel);
    ASSERT_EQ(std::size(kShape), course.levels.size());

    int entries = 0;
    int nextText = 1;
    for (int l = 0; l < LastLevel; ++l) {
        SCOPED_TRACE("nivel " + std::to_string(l + 1));
        const CourseLevel& level = course.levels[l];
        EXPECT_EQ(level.speed, kShape[l].speed);
        const QStringList shape = QString(kShape[l].blocks).split(", ");
        ASSERT_EQ(static_cast<qsizetype>(level.blocks.size()), shape.size());
        for (qsizetype b = 0; b < shape.size(); ++b) {
            SCOPED_TRACE("bloque " + std::to_string(b + 1));
            const CourseBlock& block = level.blocks[b];
            entries += static_cast<int>(block.entries.size());
            const QStringList words = shape[b].split(' ');
            if (words[0] == "text") {
                // The references come once each, in order; 61, 64 and 67 lack the ")".
                const int t = words[1].toInt();
                EXPECT_EQ(t, nextText++);
                const bool open = t == 61 || t == 64 || t == 67;
                EXPECT_EQ(block.linesPerExercise, 1);
                EXPECT_EQ(block.entries,
                          QStringList{QString("(TEXTO=%1%2").arg(t).arg(open ? "" : ")")});
            } else {
                EXPECT_EQ(block.entries.size(), words[0].toInt());
                EXPECT_EQ(block.linesPerExercise, words[2].toInt());
                for (const QString& entry : block.entries) {
                    EXPECT_FALSE(entry.contains("TEXTO")) << entry.toStdString();
                }
            }
        }
    }
    EXPECT_EQ(entries, 407);
    EXPECT_EQ(nextText, 70);
}

TEST(CourseData, FirstSevenLevelsHoldTheirDrillsCharacterForCharacter) {
    const CourseTable& course = CourseData();
    ASSERT_GE(course.levels.size(), std::size(kFirstLevels));
    for (size_t l = 0; l < std::size(kFirstLevels); ++l) {
        const QStringList blocks = QString::fromUtf8(kFirstLevels[l]).split('/');
        ASSERT_EQ(static_cast<qsizetype>(course.levels[l].blocks.size()), blocks.size());
        for (qsizetype b = 0; b < blocks.size(); ++b) {
            EXPECT_EQ(course.levels[l].blocks[b].entries, blocks[b].split('|'))
                << "nivel " << l + 1 << ", bloque " << b + 1;
        }
    }
}

TEST(CourseData, EntriesFitTheLineAndUseOnlyTypableCharacters) {
    for (const CourseLevel& level : CourseData().levels) {
        for (const CourseBlock& block : level.blocks) {
            for (const QString& entry : block.entries) {
                // A longer entry would be cut when typed, mid-word.
                EXPECT_LE(QString(entry).replace(kQuoteMarker, "\"").size(), 67)
                    << entry.toStdString();
                EXPECT_EQ(entry, entry.trimmed()) << entry.toStdString();
                for (const QChar c : entry) {
                    EXPECT_TRUE(test::IsTypable(c))
                        << entry.toStdString() << ": U+" << std::hex << int(c.unicode());
                }
            }
        }
    }
}

TEST(CourseData, ParsingKeepsEntriesExactlyAndNamesTheFaultyLine) {
    const CourseTable good = ParseCourseText(
        "# cabecera\r\nNIVEL 1 25\r\n\r\nBLOQUE 5\r\n=  dos espacios \r\n=#650912\r\n"
        "=a=b\rBLOQUE 1\n=(TEXTO=1)\r\nNIVEL 2 30\r\nBLOQUE 3\r\n=\r\n");
    ASSERT_TRUE(good.error.isEmpty()) << good.error.toStdString();
    ASSERT_EQ(good.levels.size(), 2u);
    EXPECT_EQ(good.levels[0].speed, 25);
    ASSERT_EQ(good.levels[0].blocks.size(), 2u);
    EXPECT_EQ(good.levels[0].blocks[0].linesPerExercise, 5);
    EXPECT_EQ(good.levels[0].blocks[0].entries, (QStringList{"  dos espacios ", "#650912", "a=b"}));
    EXPECT_EQ(good.levels[0].blocks[1].entries, QStringList{"(TEXTO=1)"});
    EXPECT_EQ(good.levels[1].blocks[0].entries, QStringList{""});

    struct Bad {
        const char* text;
        int line;
    };
    const Bad bad[] = {
        {"=suelto\r\n", 1},
        {"NIVEL 1 25\r\n=sin bloque\r\n", 2},
        {"NIVEL 2 25\r\n", 1},
        {"NIVEL 1 25\r\nBLOQUE 3\r\n=a\r\nNIVEL 3 30\r\n", 4},
        {"NIVEL 1 veinte\r\n", 1},
        {"NIVEL 1 25\r\nBLOQUE\r\n", 2},
        {"NIVEL 1 25\r\nBLOQUE 0\r\n", 2},
        {"NIVEL 1 25\r\nBLOQUE 3\r\nBLOQUE 3\r\n=a\r\n", 3},
        {"NIVEL 1 25\r\nNIVEL 2 25\r\n", 2},
        {"NIVEL 1 25\r\nBLOQUE 3\r\n=a\r\nasdf\r\n", 4},
        {"NIVEL 1 25\r\nBLOQUE 3\r\n", 2},
        {"# nada\r\n", 1},
    };
    for (const Bad& b : bad) {
        const QString error = ParseCourseText(QString::fromUtf8(b.text)).error;
        EXPECT_TRUE(error.contains(QString("línea %1:").arg(b.line)) ||
                    (b.line == 1 && error.contains("ningún NIVEL")))
            << b.text << " -> " << error.toStdString();
    }
}

TEST(CourseData, LoadingABlockGivesItsEntriesLinesAndLevel) {
    LoadedBlock block = LoadBlock(1, 5);
    ASSERT_TRUE(block.found);
    EXPECT_EQ(block.blockCount, 5);
    EXPECT_EQ(block.levelSpeed, 25);
    EXPECT_EQ(block.EntryCount(), 6);
    EXPECT_EQ(block.linesPerExercise, 5);
    EXPECT_EQ(block.entries,
              (QStringList{"asdf ñlkj", "asadas", "jalada", "alkaja", "gadasa", "kalaña"}));
    EXPECT_EQ(block.Entry(1), "asdf ñlkj");
    EXPECT_EQ(block.Entry(6), "kalaña");
    EXPECT_EQ(block.Entry(0), "");
    EXPECT_EQ(block.Entry(7), "");

    block = LoadBlock(34, 1);
    ASSERT_TRUE(block.found);
    EXPECT_EQ(block.entries, QStringList{"(TEXTO=61"});
    EXPECT_EQ(block.EntryCount(), 1);
    EXPECT_EQ(block.linesPerExercise, 1);
    EXPECT_EQ(block.levelSpeed, 190);

    block = LoadBlock(2, 4);
    ASSERT_TRUE(block.found);
    EXPECT_EQ(block.blockCount, 4);
    EXPECT_EQ(block.EntryCount(), 7);
    EXPECT_EQ(block.entries.last(), "pasear");

    // Blocks of one level, one after another.
    block = LoadBlock(36, 5);
    ASSERT_TRUE(block.found);
    EXPECT_EQ(block.entries, QStringList{"(TEXTO=69)"});
    block = LoadBlock(36, 2);
    ASSERT_TRUE(block.found);
    EXPECT_EQ(block.EntryCount(), 2);
    EXPECT_EQ(block.linesPerExercise, 3);
}

TEST(CourseData, PlacesOutsideTheCourseLoadAnEmptyBlock) {
    // Only a damaged users file holds such a place; it must not bring down the program.
    const int places[][2] = {{0, 1}, {37, 1}, {-5, 1}, {1, 0}, {1, 6}, {2, 5}, {36, -1}};
    for (const auto& place : places) {
        const LoadedBlock block = LoadBlock(place[0], place[1]);
        EXPECT_FALSE(block.found) << place[0] << "/" << place[1];
        EXPECT_EQ(block.EntryCount(), 0);
        EXPECT_EQ(block.linesPerExercise, 0);
        EXPECT_EQ(block.entries, QStringList{});
    }
    // A known level still tells its block count and speed.
    const LoadedBlock beyond = LoadBlock(2, 5);
    EXPECT_FALSE(beyond.found);
    EXPECT_EQ(beyond.blockCount, 4);
    EXPECT_EQ(beyond.levelSpeed, 25);
}

}  // namespace
}  // namespace tz
