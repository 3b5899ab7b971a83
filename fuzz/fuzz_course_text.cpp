// The course data file: what the course reader takes from any text.

#include <QString>

#include "content/course_data.h"
#include "fuzz/fuzz_support.h"

using namespace tz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CourseTable table = ParseCourseText(QString::fromUtf8(fuzz::InputBytes(data, size)));
    if (!table.error.isEmpty()) return 0;
    // A course read without complaint holds no empty level or block and no number the
    // exercise run could not use.
    FUZZ_CHECK(!table.levels.empty());
    for (const CourseLevel& level : table.levels) {
        FUZZ_CHECK(level.speed > 0);
        FUZZ_CHECK(!level.blocks.empty());
        for (const CourseBlock& block : level.blocks) {
            FUZZ_CHECK(block.linesPerExercise > 0);
            FUZZ_CHECK(!block.entries.isEmpty());
        }
    }
    return 0;
}
