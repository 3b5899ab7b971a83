#include "app/program_state.h"

namespace tz {

ProgramState InitialProgramState() {
    // Nobody chosen, the "NORMAL" mode, no help hidden, no finger looked up yet, the Spanish
    // keyboard, no picture of the program's own drawn: the default values say it all.
    return ProgramState();
}

}  // namespace tz
