// velmoractl verbs on the mixer's parameters and mix files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "cli/commands.h"
#include "cli/mixer_session.h"
#include "control_panel/mixer/velmora_parameters.h"

namespace velmoractl {

namespace {

// Parameters whose change opens a window or a dialog in the control panel.
const std::set<int> kWindowParameters = {
    velmora::param::kEditUnitName, velmora::param::kSelectUnit,   velmora::param::kLogo,
    velmora::param::kLoadSettings, velmora::param::kSaveSettings, velmora::param::kFloatWindow,
    velmora::param::kShrinkMode,   velmora::param::kExpandMode};

// A parameter by id or by its exact name; -1 when there is none.
int findParameter(const std::string& text) {
  if (const auto id = parseNumber(text); id && *id < velmora::kVelmoraParameterCount) {
    return static_cast<int>(*id);
  }
  for (int id = 0; id < velmora::kVelmoraParameterCount; ++id) {
    if (!text.empty() && text == velmora::kVelmoraParameters[id].name) return id;
  }
  return -1;
}

std::string textOf(velmora::Plugin& plugin, int id) {
  char text[128] = {};
  plugin.valueText(id, text, 32);  // the text the panel shows
  return text;
}

// --unit N out of `args`; `error` set when malformed.
uint32_t takeUnit(Args& args, std::string& error) {
  const auto option = takeOption(args, "--unit", error);
  if (!option) return 0;
  const auto index = parseNumber(*option);
  if (!index) error = "--unit needs a unit index, not " + *option;
  return index.value_or(0);
}

// --yes / --no out of `args`; `error` set when both are given.
CliUserInterface::Answer takeAnswer(Args& args, std::string& error) {
  const bool yes = takeFlag(args, "--yes");
  const bool no = takeFlag(args, "--no");
  if (yes && no) error = "--yes or --no, not both";
  return yes  ? CliUserInterface::Answer::Yes
         : no ? CliUserInterface::Answer::No
              : CliUserInterface::Answer::Ask;
}

// Runs `act` inside a mixer session; its non-empty result is the failure message. Only a
// verb that `changes` the mix, and only when its action succeeded, sends the mix and saves
// the default mix file afterwards.
int withMixer(uint32_t unit, DefaultMix use, bool changes,
              const std::function<std::string(MixerSession&)>& act,
              CliUserInterface::Answer answer = CliUserInterface::Answer::Ask) {
  MixerSession mixer;
  mixer.session().ui().setAnswer(answer);
  if (!mixer.Start(unit, use)) return fail(kExitFailure, mixer.error());
  const std::string error = act(mixer);
  if (!error.empty()) return fail(kExitFailure, error);
  if (changes && !mixer.Finish()) return fail(kExitFailure, mixer.error());
  return kExitOk;
}

}  // namespace

int paramListCommand(Args args) {
  const bool json = takeFlag(args, "--json");
  std::string error;
  const uint32_t unit = takeUnit(args, error);
  if (!error.empty() || !args.empty()) {
    return fail(kExitUsage, "param list: " + (error.empty() ? "unexpected " + args[0] : error));
  }
  return withMixer(unit, DefaultMix::Show, false, [json](MixerSession& mixer) {
    velmora::Plugin& p = mixer.plugin();
    if (json) std::printf("[");
    for (int id = 0; id < p.getParameterCount(); ++id) {
      const std::string name = velmora::kVelmoraParameters[id].name;
      const std::string text = textOf(p, id);
      if (json) {
        std::printf(
            "%s\n  {\"id\": %d, \"name\": %s, \"normalised\": %g, \"real\": %g, "
            "\"text\": %s}",
            id == 0 ? "" : ",", id, jsonString(name).c_str(), p.getNormalised(id), p.getReal(id),
            jsonString(text).c_str());
      } else {
        std::printf("%3d  %-42s %-10g %-10g %s\n", id, name.c_str(), p.getNormalised(id),
                    p.getReal(id), text.c_str());
      }
    }
    if (json) std::printf("\n]\n");
    return std::string();
  });
}

int paramGetCommand(Args args) {
  std::string error;
  const uint32_t unit = takeUnit(args, error);
  if (!error.empty()) return fail(kExitUsage, "param get: " + error);
  if (args.size() != 1) return fail(kExitUsage, "param get: name one parameter (id or name)");
  const int id = findParameter(args[0]);
  if (id < 0) return fail(kExitUsage, "param get: no parameter " + args[0]);
  return withMixer(unit, DefaultMix::Show, false, [id](MixerSession& mixer) {
    velmora::Plugin& p = mixer.plugin();
    std::printf("%d %s: normalised %g, real %g, \"%s\"\n", id, velmora::kVelmoraParameters[id].name,
                p.getNormalised(id), p.getReal(id), textOf(p, id).c_str());
    return std::string();
  });
}

int paramSetCommand(Args args) {
  const bool normalised = takeFlag(args, "--normalised");
  std::string error;
  const CliUserInterface::Answer answer = takeAnswer(args, error);
  const uint32_t unit = error.empty() ? takeUnit(args, error) : 0;
  if (!error.empty()) return fail(kExitUsage, "param set: " + error);
  if (args.size() != 2) return fail(kExitUsage, "param set: name a parameter and a value");
  const int id = findParameter(args[0]);
  if (id < 0) return fail(kExitUsage, "param set: no parameter " + args[0]);
  if (kWindowParameters.count(id)) {
    return fail(kExitUsage, "param set: parameter " + std::to_string(id) +
                                " opens a window of the control panel; it has no effect here");
  }
  char* end = nullptr;
  const float number = std::strtof(args[1].c_str(), &end);
  if (end == args[1].c_str() || *end != '\0' || !std::isfinite(number)) {
    return fail(kExitUsage, "param set: not a number: " + args[1]);
  }
  auto change = [&](MixerSession& mixer) {
    velmora::Plugin& p = mixer.plugin();
    velmora::Parameter* parameter = p.getParameter(id);
    if (normalised) {
      parameter->setNormalised(std::clamp(number, 0.0f, 1.0f));
    } else {
      parameter->setReal(number);
    }
    p.userChanged(id, true);  // as a widget changes it: the host, then the observers
    if (mixer.session().ui().showedError()) return std::string("the change was not carried out");
    std::printf("%d %s: %s\n", id, velmora::kVelmoraParameters[id].name, textOf(p, id).c_str());
    return std::string();
  };
  return withMixer(unit, DefaultMix::Apply, true, change, answer);
}

int mixSaveCommand(Args args) {
  std::string error;
  const uint32_t unit = takeUnit(args, error);
  if (!error.empty()) return fail(kExitUsage, "mix save: " + error);
  if (args.size() != 1) return fail(kExitUsage, "mix save: name the file to write");
  // A copy of the user's mix: the mix itself does not change, so nothing is sent and the
  // default mix file stays as it is; the save stores the unit's flash once.
  return withMixer(unit, DefaultMix::Show, false, [&](MixerSession& mixer) {
    return mixer.host().saveMixFile(args[0]) ? std::string() : "cannot write " + args[0];
  });
}

int mixLoadCommand(Args args) {
  std::string error;
  const CliUserInterface::Answer answer = takeAnswer(args, error);
  const uint32_t unit = error.empty() ? takeUnit(args, error) : 0;
  if (!error.empty()) return fail(kExitUsage, "mix load: " + error);
  if (args.size() != 1) return fail(kExitUsage, "mix load: name the mix file to load");
  auto load = [&](MixerSession& mixer) {
    using MixLoad = velmora::MixerHost::MixLoad;
    // A declined file changes nothing here: not even the settings the panel sends again.
    switch (mixer.host().loadMix(args[0], false, false).outcome) {
      case MixLoad::Applied:
        return std::string();
      case MixLoad::Declined:
        return mixer.declinedReason("the mix file " + args[0]);
      case MixLoad::Rejected:  // its message is on standard error already
        return "the mix file " + args[0] + " was not loaded";
      case MixLoad::Missing:
      case MixLoad::Unreadable:
        break;
    }
    return "cannot read " + args[0];
  };
  return withMixer(unit, DefaultMix::Replace, true, load, answer);
}

}  // namespace velmoractl
