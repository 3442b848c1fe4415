// velmora-simbus: the simulated 1394 bus daemon and the commands that control it.
#include <string>
#include <vector>

#include "simbus/control_commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return simbus::cli::runCommandLine(args);
}
