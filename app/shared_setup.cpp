#include "app/shared_setup.h"

#include "content/course_data.h"
#include "exercise/keyboard_tables.h"
#include "platform/globals.h"

namespace tz {

void InitialiseSharedTables() {
    // The text table starts with room for ten entries and no block read.
    BlockEntries = QStringList(11);
    EntryCount = 0;
    LinesPerExercise = 0;
    BlockCount = 0;
    // Nothing has been looked up yet: the first space goes to the right thumb.
    SetPreviousFinger(kNoFinger);
    // The keyboard tables of the layout in force, then the chart colours beside them.
    BuildKeyboardTables(KeyboardLayout);
}

}  // namespace tz
