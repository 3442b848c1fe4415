// velmoractl: the command-line front end of the Velmora PRO software, for scripting and
// headless use. Every verb calls the same modules as the control panel.
#include <cstdio>
#include <string>

#include "cli/verb_dispatch.h"
#include "control_panel/device/diagnostic_log.h"

namespace velmoractl {
namespace {

void printHelp(FILE* out) {
  std::fprintf(out,
               "usage: velmoractl [--log file|console] COMMAND [ARGS]\n\n"
               "Controls Velmora PRO units on the bus that VELMORA_SIMBUS names.\n\n"
               "commands:\n");
  for (const Verb& verb : verbs()) {
    std::fprintf(out, "  %-38s %s\n", std::string(verb.usage).c_str(),
                 std::string(verb.description).c_str());
  }
  std::fprintf(out,
               "\n  --log file|console  trace every step to %s or to standard error\n"
               "  --help              this text; COMMAND --help describes one command\n",
               "VelmoraProLog.txt in the temporary folder");
}

int run(Args args) {
  const Invocation invocation = parseInvocation(std::move(args));
  if (invocation.log == Invocation::Log::File) {
    velmora::setLogDestination(velmora::LogDestination::File);
  } else if (invocation.log == Invocation::Log::Console) {
    velmora::setLogDestination(velmora::LogDestination::DebuggerOutput);
  }
  switch (invocation.kind) {
    case Invocation::Kind::UsageError:
      return fail(kExitUsage, invocation.error);
    case Invocation::Kind::Help:
      printHelp(invocation.helpAsked ? stdout : stderr);
      return invocation.helpAsked ? kExitOk : kExitUsage;
    case Invocation::Kind::VerbHelp:
      std::printf("usage: velmoractl %s\n\n%s\n", std::string(invocation.verb->usage).c_str(),
                  std::string(invocation.verb->description).c_str());
      return kExitOk;
    case Invocation::Kind::RunVerb:
      break;
  }
  return invocation.verb->run(invocation.args);
}

}  // namespace
}  // namespace velmoractl

int main(int argc, char** argv) {
  return velmoractl::run(velmoractl::Args(argv + 1, argv + argc));
}
