#include "cli/verb_dispatch.h"

#include <array>

#include "cli/commands.h"

namespace velmoractl {
namespace {

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

}  // namespace

std::span<const Verb> verbs() {
  return kVerbs;
}

Invocation parseInvocation(Args args) {
  Invocation invocation;
  std::string error;
  if (const auto log = takeOption(args, "--log", error)) {
    if (*log == "file") {
      invocation.log = Invocation::Log::File;
    } else if (*log == "console") {
      invocation.log = Invocation::Log::Console;
    } else {
      error = "--log takes file or console, not " + *log;
    }
  }
  if (!error.empty()) {
    invocation.kind = Invocation::Kind::UsageError;
    invocation.error = error;
    return invocation;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    invocation.helpAsked = !args.empty();
    return invocation;
  }
  invocation.verb = findVerb(args);
  if (!invocation.verb) {
    invocation.kind = Invocation::Kind::UsageError;
    invocation.error = "unknown command " + args[0] + " (see velmoractl --help)";
    return invocation;
  }
  invocation.kind =
      takeFlag(args, "--help") ? Invocation::Kind::VerbHelp : Invocation::Kind::RunVerb;
  invocation.args = std::move(args);
  return invocation;
}

}  // namespace velmoractl
