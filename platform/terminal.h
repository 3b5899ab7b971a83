#pragma once
// The terminal a command is run from.

#include <QString>

namespace tz {

// Whether the standard input is a terminal somebody types at (not a file or a pipe).
bool InputIsTerminal();

// Asks on the terminal for a line that is not shown while it is typed (a password): the prompt
// on the error output, the line read from the standard input, without its line end.
QString AskHiddenLine(const QString& prompt);

}  // namespace tz
