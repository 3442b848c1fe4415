// Whether the program talks to a person at a terminal (a console on Windows: GetConsoleMode on
// the standard handle) or to a pipe or file.
#pragma once

namespace platform {

bool standardInputIsTerminal();
bool standardOutputIsTerminal();

}  // namespace platform
