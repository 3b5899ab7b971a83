#pragma once

namespace tz {

// The whole program: file checks, start-up, the main menu and the orderly end. Returns the
// process exit code (always 0).
int RunProgram(int argc, char** argv);

}  // namespace tz
