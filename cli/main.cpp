// velmoractl: the command-line front end of the Velmora PRO software, for scripting and
// headless use. Every verb calls the same modules as the control panel.
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "control_panel/device/diagnostic_log.h"

namespace velmoractl {
namespace {

struct Verb {
  std::string_view words;  // one or two words
  std::string_view usage;
  std::string_view description;
  int (*run)(Args);
};

constexpr std::array<Verb, 22> kVerbs{{
    {"units", "units [--json]",
     "List the units on the bus: index, serial, model, protocol and firmware.", unitsCommand},
    {"coeff get", "coeff get [--unit N] INDEX...",
     "Print coefficients of unit N (default 0), one decimal value per line.", coeffGetCommand},
    {"coeff set", "coeff set [--unit N] INDEX=VALUE...",
     "Write coefficients of unit N (default 0) as one batch.", coeffSetCommand},
    {"status", "status [--unit N] [--json]",
     "Open unit N and show its name, rate, sync source and lock, streaming, modes, firmware.",
     statusCommand},
    {"rate", "rate [--unit N] HZ",
     "Set the sample rate and wait until unit and driver run at it (a band change waits for "
     "the unit to come back on the bus).",
     rateCommand},
    {"sync", "sync [--unit N] internal|spdif|adat1|adat2|wordclock", "Select the clock source.",
     syncCommand},
    {"name", "name [--unit N] [TEXT]", "Show the unit's name, or give it one (16 characters).",
     nameCommand},
    {"adat", "adat [--unit N] on|off",
     "Switch the ADAT inputs (the unit leaves the bus and comes back).", adatCommand},
    {"ac3", "ac3 [--unit N] on|off", "Switch AC3 passthrough.", ac3Command},
    {"standalone", "standalone [--unit N] mixing|tracking",
     "Choose what the unit does when it runs without the computer.", standaloneCommand},
    {"monitoring", "monitoring [--unit N] on|off", "Switch hardware monitoring.",
     monitoringCommand},
    {"store", "store [--unit N]", "Store the unit's settings in its flash.", storeCommand},
    {"param list", "param list [--unit N] [--json]",
     "List the mixer's parameters: id, name, normalised and real value, text.", paramListCommand},
    {"param get", "param get [--unit N] ID|NAME", "Show one parameter.", paramGetCommand},
    {"param set", "param set [--unit N] ID|NAME VALUE [--normalised] [--yes|--no]",
     "Change a parameter as the panel does (real value, or normalised 0-1), and send the mix; "
     "--yes/--no answer the question of the unit's default mix (rate, ADAT).",
     paramSetCommand},
    {"mix save", "mix save [--unit N] FILE",
     "Copy the unit's mix to a mix file (.vmpro) and store the unit's settings in its flash.",
     mixSaveCommand},
    {"mix load", "mix load [--unit N] FILE [--yes|--no]",
     "Load a mix file into the unit; --yes/--no answer its questions (rate, ADAT).",
     mixLoadCommand},
    {"panel render",
     "panel render [--unit N] [--layout normal|shrink|ac3|lost] [--zoom 1|2|3] FILE.png",
     "Draw the control panel over unit N's parameters to a PNG file, as its window shows it "
     "(default: the layout the panel chooses for the unit's rate and shrink mode); reads only.",
     panelRenderCommand},
    {"firmware info", "firmware info FILE [--json]",
     "Describe a firmware file (.KWF): version, model, build, info text.", firmwareInfoCommand},
    {"firmware check", "firmware check [--unit N] FILE",
     "Test a firmware file against unit N: what the library finds, in words.",
     firmwareCheckCommand},
    {"firmware update", "firmware update [--unit N] FILE [--yes] [--allow-downgrade]",
     "Download a firmware file to unit N with progress; asks before a downgrade or a "
     "re-install unless told.",
     firmwareUpdateCommand},
    {"firmware history", "firmware history",
     "Print the record of firmware updates: time, unit, firmware before and after, result.",
     firmwareHistoryCommand},
}};

void printHelp(FILE* out) {
  std::fprintf(out,
               "usage: velmoractl [--log file|console] COMMAND [ARGS]\n\n"
               "Controls Velmora PRO units on the bus that VELMORA_SIMBUS names.\n\n"
               "commands:\n");
  for (const Verb& verb : kVerbs) {
    std::fprintf(out, "  %-38s %s\n", std::string(verb.usage).c_str(),
                 std::string(verb.description).c_str());
  }
  std::fprintf(out,
               "\n  --log file|console  trace every step to %s or to standard error\n"
               "  --help              this text; COMMAND --help describes one command\n",
               "VelmoraProLog.txt in the temporary folder");
}

// The verb whose words start `args`; the words are removed.
const Verb* findVerb(Args& args) {
  for (const Verb& verb : kVerbs) {
    const size_t space = verb.words.find(' ');
    if (space == std::string_view::npos) {
      if (!args.empty() && args[0] == verb.words) {
        args.erase(args.begin());
        return &verb;
      }
    } else if (args.size() >= 2 && args[0] == verb.words.substr(0, space) &&
               args[1] == verb.words.substr(space + 1)) {
      args.erase(args.begin(), args.begin() + 2);
      return &verb;
    }
  }
  return nullptr;
}

int run(Args args) {
  std::string error;
  if (const auto log = takeOption(args, "--log", error)) {
    if (*log == "file") {
      velmora::setLogDestination(velmora::LogDestination::File);
    } else if (*log == "console") {
      velmora::setLogDestination(velmora::LogDestination::DebuggerOutput);
    } else {
      return fail(kExitUsage, "--log takes file or console, not " + *log);
    }
  }
  if (!error.empty()) return fail(kExitUsage, error);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    printHelp(args.empty() ? stderr : stdout);
    return args.empty() ? kExitUsage : kExitOk;
  }
  const Verb* verb = findVerb(args);
  if (!verb) return fail(kExitUsage, "unknown command " + args[0] + " (see velmoractl --help)");
  if (takeFlag(args, "--help")) {
    std::printf("usage: velmoractl %s\n\n%s\n", std::string(verb->usage).c_str(),
                std::string(verb->description).c_str());
    return kExitOk;
  }
  return verb->run(std::move(args));
}

}  // namespace
}  // namespace velmoractl

int main(int argc, char** argv) {
  return velmoractl::run(velmoractl::Args(argv + 1, argv + argc));
}
