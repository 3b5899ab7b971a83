#include "app/program_state.h"

#include "users/file_store.h"

namespace tz {

ProgramState InitialProgramState() {
    // Nobody chosen, the "NORMAL" mode, no help hidden, no finger looked up yet, the Spanish
    // keyboard, no picture of the program's own drawn: the default values say the rest.
    ProgramState state;
    state.store = std::make_unique<FileStore>();
    return state;
}

}  // namespace tz
