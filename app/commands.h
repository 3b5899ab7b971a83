#pragma once
// What the program does from the command line, without any window: the class report
// ("--informe FILE.csv|FILE.pdf"), the move of a data folder's class to the school's server
// ("--subir-al-servidor") and the administrator's preparation of that server
// ("--preparar-servidor ROL_ADMINISTRADOR"). Messages go to the standard and error outputs.

#include <optional>

namespace tz {

// The exit code of the command the arguments ask for; nothing when they ask for none.
std::optional<int> RunCommandLine(int argc, char** argv);

// Whether the arguments ask for a command (which needs no screen).
bool AsksForCommand(int argc, char** argv);

}  // namespace tz
