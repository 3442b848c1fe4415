#include "simbus/control_commands.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win_error.h"
#include "simbus/daemon_control.h"
#include "simbus/daemon_paths.h"
#include "simbus/daemon_server.h"
#include "simbus/fault_plan.h"
#include "simbus/unit_model.h"

namespace simbus::cli {

namespace {

constexpr std::string_view kProgram = "velmora-simbus";

void report(const CommandContext& context, const std::string& message) {
  std::string prefix(kProgram);
  if (!context.command.empty()) prefix.append(" ").append(context.command);
  std::fprintf(context.err, "%s: %s\n", prefix.c_str(), message.c_str());
}

int usageError(const CommandContext& context, const std::string& message) {
  report(context, message);
  return kExitUsage;
}

int failure(const CommandContext& context, const std::string& message) {
  report(context, message);
  return kExitFailure;
}

std::unique_ptr<DaemonControl> connectOrReport(const CommandContext& context) {
  std::string error;
  std::unique_ptr<DaemonControl> control = DaemonControl::connect(context.socketPath, &error);
  if (!control) failure(context, error);
  return control;
}

// Parses the number behind `option` into `out` when given. False (with a usage message
// printed) when the value is no number.
bool optionNumber(const CommandContext& context, const ParsedArgs& args, std::string_view option,
                  uint32_t& out, int& exitCode) {
  const std::string* text = args.value(option);
  if (!text) return true;
  const std::optional<uint32_t> value = parseNumber(*text);
  if (!value) {
    exitCode = usageError(context, std::string(option) + " needs a number, not \"" + *text + "\"");
    return false;
  }
  out = *value;
  return true;
}

std::optional<uint32_t> serialArgument(const CommandContext& context, const std::string& text,
                                       int& exitCode) {
  const std::optional<uint32_t> serial = parseNumber(text);
  if (!serial) exitCode = usageError(context, "not a unit serial: \"" + text + "\"");
  return serial;
}

// ---- serve ----

std::optional<std::vector<UnitSpec>> parseUnitList(std::string_view text) {
  std::vector<UnitSpec> units;
  if (text.empty() || text == "none") return units;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    const std::optional<Model> model = parseModel(text.substr(start, comma - start));
    if (!model) return std::nullopt;
    UnitSpec spec;
    spec.model = *model;
    units.push_back(spec);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return units;
}

int runServe(const CommandContext& context, const ParsedArgs& args) {
  if (!args.positional.empty()) return usageError(context, "takes no arguments");
  ServeOptions options;
  options.socketPath = context.socketPath;
  const std::string* state = args.value("--state");
  options.stateFolder = state ? *state : defaultStateFolder();
  if (options.stateFolder.empty()) {
    return failure(context, "no state folder: give --state DIR or set XDG_STATE_HOME or HOME");
  }
  options.firstUnits = {UnitSpec{}};  // one Studio
  if (const std::string* units = args.value("--units")) {
    std::optional<std::vector<UnitSpec>> parsed = parseUnitList(*units);
    if (!parsed) return usageError(context, "--units takes studio and compact, comma-separated");
    options.firstUnits = std::move(*parsed);
  }
  int exitCode = kExitOk;
  uint32_t readyFd = 0;
  if (args.has("--ready-fd")) {
    if (!optionNumber(context, args, "--ready-fd", readyFd, exitCode)) return exitCode;
    options.readyFd = static_cast<int>(readyFd);
  }
  return runDaemon(options);
}

// ---- list ----

void printUnitTable(std::FILE* out, const std::vector<UnitStatus>& units) {
  std::fprintf(out, "%-10s  %-11s  %-7s  %-8s  %-10s  %s\n", "SERIAL", "SERIAL HIGH", "MODEL",
               "PROTOCOL", "FIRMWARE", "ON BUS");
  for (const UnitStatus& u : units) {
    std::fprintf(out, "%-10u  0x%08X   %-7s  %-8u  %-10s  %s\n", u.serialLow, u.serialHigh,
                 std::string(modelName(u.model)).c_str(), u.protocol,
                 formatFirmware(u.firmware).c_str(), u.onBus ? "yes" : "no");
  }
}

void printUnitJson(std::FILE* out, const std::vector<UnitStatus>& units) {
  std::fprintf(out, "[");
  for (size_t i = 0; i < units.size(); ++i) {
    const UnitStatus& u = units[i];
    std::fprintf(out,
                 "%s\n  {\"serial\": %u, \"serialHigh\": %u, \"model\": \"%s\", \"protocol\": %u, "
                 "\"firmware\": \"%s\", \"onBus\": %s}",
                 i == 0 ? "" : ",", u.serialLow, u.serialHigh,
                 std::string(modelName(u.model)).c_str(), u.protocol,
                 formatFirmware(u.firmware).c_str(), u.onBus ? "true" : "false");
  }
  std::fprintf(out, "%s]\n", units.empty() ? "" : "\n");
}

int runList(const CommandContext& context, const ParsedArgs& args) {
  if (!args.positional.empty()) return usageError(context, "takes no arguments");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  const std::optional<std::vector<UnitStatus>> units = control->units();
  if (!units) return failure(context, control->error());
  if (args.has("--json")) {
    printUnitJson(context.out, *units);
  } else {
    printUnitTable(context.out, *units);
  }
  return kExitOk;
}

// ---- plug, unplug ----

int runPlug(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) return usageError(context, "needs one model: studio or compact");
  const std::optional<Model> model = parseModel(args.positional[0]);
  if (!model) {
    return usageError(context, "unknown model \"" + args.positional[0] + "\" (studio or compact)");
  }
  UnitSpec spec;
  spec.model = *model;
  int exitCode = kExitOk;
  if (!optionNumber(context, args, "--serial", spec.serialLow, exitCode) ||
      !optionNumber(context, args, "--protocol", spec.protocol, exitCode)) {
    return exitCode;
  }
  if (spec.protocol < 1 || spec.protocol > 3) return usageError(context, "--protocol is 1, 2 or 3");
  if (const std::string* firmware = args.value("--firmware")) {
    const std::optional<uint32_t> version = parseFirmware(*firmware);
    if (!version) return usageError(context, "--firmware takes MAJOR.MINOR.BUILD, e.g. 2.0.4000");
    spec.firmware = *version;
  }
  const bool replace = args.has("--replace");
  if (replace && spec.serialLow == 0) return usageError(context, "--replace needs --serial N");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  const std::optional<uint32_t> serial =
      replace ? control->plugReplacing(spec) : control->plug(spec);
  if (!serial) return failure(context, control->error());
  std::fprintf(context.out, "%u\n", *serial);
  return kExitOk;
}

int runUnplug(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) return usageError(context, "needs one unit serial");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  if (!control->unplug(*serial)) return failure(context, control->error());
  return kExitOk;
}

// ---- peek, poke ----

int runPeek(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() < 2) return usageError(context, "needs a unit serial and indices");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  std::vector<uint32_t> indices;
  for (size_t i = 1; i < args.positional.size(); ++i) {
    const std::optional<uint32_t> index = parseNumber(args.positional[i]);
    if (!index)
      return usageError(context, "not a coefficient index: \"" + args.positional[i] + "\"");
    indices.push_back(*index);
  }
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  for (uint32_t index : indices) {
    const std::optional<uint32_t> value = control->peek(*serial, index);
    if (!value) return failure(context, control->error());
    std::fprintf(context.out, "%u\n", *value);
  }
  return kExitOk;
}

int runPoke(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() < 2) {
    return usageError(context, "needs a unit serial and INDEX=VALUE pairs");
  }
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  std::vector<std::pair<uint32_t, uint32_t>> writes;
  for (size_t i = 1; i < args.positional.size(); ++i) {
    const std::string& pair = args.positional[i];
    const size_t equals = pair.find('=');
    const std::optional<uint32_t> index =
        equals == std::string::npos ? std::nullopt : parseNumber(pair.substr(0, equals));
    const std::optional<uint32_t> value =
        equals == std::string::npos ? std::nullopt : parseNumber(pair.substr(equals + 1));
    if (!index || !value) return usageError(context, "not INDEX=VALUE: \"" + pair + "\"");
    writes.emplace_back(*index, *value);
  }
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  for (const auto& [index, value] : writes) {
    if (!control->poke(*serial, index, value)) return failure(context, control->error());
  }
  return kExitOk;
}

// ---- fault ----

struct FaultNumberOption {
  std::string_view name;
  uint32_t FaultRule::*field;
};
constexpr std::array kFaultNumbers{FaultNumberOption{"--serial", &FaultRule::serial},
                                   FaultNumberOption{"--skip", &FaultRule::skip},
                                   FaultNumberOption{"--count", &FaultRule::count},
                                   FaultNumberOption{"--status", &FaultRule::status},
                                   FaultNumberOption{"--delay", &FaultRule::delayMs}};

void printFaults(std::FILE* out, const std::vector<FaultRule>& rules) {
  if (rules.empty()) std::fprintf(out, "no faults\n");
  for (const FaultRule& r : rules) {
    const std::string serial = r.serial == 0 ? "any" : std::to_string(r.serial);
    std::fprintf(out, "%s kind=%s serial=%s skip=%u count=%u",
                 std::string(faultActionName(r.action)).c_str(),
                 std::string(transferKindName(r.kind)).c_str(), serial.c_str(), r.skip, r.count);
    if (r.action == FaultAction::Fail) std::fprintf(out, " status=0x%08X", r.status);
    if (r.action == FaultAction::Error) std::fprintf(out, " code=%d", static_cast<int>(r.status));
    if (r.action == FaultAction::Delay || r.action == FaultAction::Late) {
      std::fprintf(out, " delay=%u", r.delayMs);
    }
    std::fprintf(out, "\n");
  }
}

int runFault(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) {
    return usageError(context,
                      "needs one of fail, remove, bus-reset, delay, drop, no-answer, late, error, "
                      "wrong-crc, other-id, keeps-old, list, clear");
  }
  const std::string& verb = args.positional[0];
  if (verb == "list" || verb == "clear") {
    if (!args.values.empty()) return usageError(context, verb + " takes no options");
    std::unique_ptr<DaemonControl> control = connectOrReport(context);
    if (!control) return kExitFailure;
    if (verb == "clear")
      return control->clearFaults() ? kExitOk : failure(context, control->error());
    const std::optional<std::vector<FaultRule>> rules = control->faults();
    if (!rules) return failure(context, control->error());
    printFaults(context.out, *rules);
    return kExitOk;
  }
  const std::optional<FaultAction> action = parseFaultAction(verb);
  if (!action) return usageError(context, "unknown fault \"" + verb + "\"");
  FaultRule rule;
  rule.action = *action;
  // A boot loader refuses with a negative code; a failed transfer answers a Windows error.
  rule.status = *action == FaultAction::Error ? 0xFFFFFFFFu : platform::win_error::GenFailure;
  if (const std::string* kind = args.value("--kind")) {
    const std::optional<TransferKind> parsed = parseTransferKind(*kind);
    if (!parsed) return usageError(context, "unknown transfer kind \"" + *kind + "\"");
    rule.kind = *parsed;
  }
  int exitCode = kExitOk;
  for (const FaultNumberOption& option : kFaultNumbers) {
    if (!optionNumber(context, args, option.name, rule.*option.field, exitCode)) return exitCode;
  }
  if ((rule.action == FaultAction::Delay || rule.action == FaultAction::Late) &&
      !args.has("--delay")) {
    return usageError(context, verb + " needs --delay MS");
  }
  if (const std::string problem = faultRuleProblem(rule); !problem.empty()) {
    return usageError(context, problem);
  }
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  return control->addFault(rule) ? kExitOk : failure(context, control->error());
}

// ---- transfers ----

struct TransferOption {
  std::string_view name;
  bool AcceptedTransfers::*field;
};
constexpr std::array kTransferOptions{
    TransferOption{"--block-read", &AcceptedTransfers::blockRead},
    TransferOption{"--quadlet-read", &AcceptedTransfers::quadletRead},
    TransferOption{"--block-write", &AcceptedTransfers::blockWrite},
    TransferOption{"--quadlet-write", &AcceptedTransfers::quadletWrite}};

int runTransfers(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) return usageError(context, "needs one unit serial");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  std::vector<std::pair<bool AcceptedTransfers::*, bool>> changes;
  for (const TransferOption& option : kTransferOptions) {
    const std::string* text = args.value(option.name);
    if (!text) continue;
    const std::optional<bool> on = parseOnOff(*text);
    if (!on) return usageError(context, std::string(option.name) + " takes on or off");
    changes.emplace_back(option.field, *on);
  }
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  std::optional<AcceptedTransfers> accepts = control->acceptedTransfers(*serial);
  if (!accepts) return failure(context, control->error());
  if (!changes.empty()) {
    for (const auto& [field, on] : changes) (*accepts).*field = on;
    if (!control->setAcceptedTransfers(*serial, *accepts))
      return failure(context, control->error());
  }
  for (const TransferOption& option : kTransferOptions) {
    std::fprintf(context.out, "%-14s %s\n", std::string(option.name.substr(2)).c_str(),
                 (*accepts).*option.field ? "on" : "off");
  }
  return kExitOk;
}

// ---- lock, standalone ----

int runLock(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 3) {
    return usageError(context, "needs a unit serial, an input and on or off");
  }
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  const std::optional<SyncInput> input = parseSyncInput(args.positional[1]);
  if (!input) return usageError(context, "inputs are spdif, adat1, adat2 and wordclock");
  const std::optional<bool> locked = parseOnOff(args.positional[2]);
  if (!locked) return usageError(context, "the lock is on or off");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  return control->setLocked(*serial, *input, *locked) ? kExitOk
                                                      : failure(context, control->error());
}

int runStandalone(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 2) return usageError(context, "needs a unit serial and on or off");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  const std::optional<bool> on = parseOnOff(args.positional[1]);
  if (!on) return usageError(context, "standalone is on or off");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  return control->setStandalone(*serial, *on) ? kExitOk : failure(context, control->error());
}

// ---- knob, button ----

int runKnob(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 2) return usageError(context, "needs a unit serial and 0-255");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  const std::optional<uint32_t> position = parseNumber(args.positional[1]);
  if (!position || *position > 255) return usageError(context, "the knob turns from 0 to 255");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  return control->turnKnob(*serial, static_cast<uint8_t>(*position))
             ? kExitOk
             : failure(context, control->error());
}

int runButton(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 2)
    return usageError(context, "needs a unit serial and dim or mute");
  int exitCode = kExitOk;
  const std::optional<uint32_t> serial = serialArgument(context, args.positional[0], exitCode);
  if (!serial) return exitCode;
  const std::string& which = args.positional[1];
  if (which != "dim" && which != "mute") return usageError(context, "the buttons are dim and mute");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  const FrontPanelButton button = which == "dim" ? FrontPanelButton::Dim : FrontPanelButton::Mute;
  return control->pressButton(*serial, button) ? kExitOk : failure(context, control->error());
}

// ---- driver ----

int runDriver(const CommandContext& context, const ParsedArgs& args) {
  if (!args.positional.empty()) return usageError(context, "takes no arguments");
  int exitCode = kExitOk;
  uint32_t rate = 0;
  uint32_t flags = 0;
  uint32_t rejoinDelay = 0;
  if (!optionNumber(context, args, "--rate", rate, exitCode) ||
      !optionNumber(context, args, "--install-flags", flags, exitCode) ||
      !optionNumber(context, args, "--rejoin-delay", rejoinDelay, exitCode)) {
    return exitCode;
  }
  std::optional<std::pair<uint8_t, uint8_t>> version;
  if (const std::string* text = args.value("--version")) {
    const size_t dot = text->find('.');
    const std::optional<uint32_t> major =
        dot == std::string::npos ? std::nullopt : parseNumber(text->substr(0, dot));
    const std::optional<uint32_t> minor =
        dot == std::string::npos ? std::nullopt : parseNumber(text->substr(dot + 1));
    if (!major || !minor || *major > 255 || *minor > 255) {
      return usageError(context, "--version takes MAJOR.MINOR, e.g. 2.14");
    }
    version.emplace(static_cast<uint8_t>(*major), static_cast<uint8_t>(*minor));
  }
  std::optional<bool> streaming;
  if (const std::string* text = args.value("--streaming")) {
    streaming = parseOnOff(*text);
    if (!streaming) return usageError(context, "--streaming takes on or off");
  }

  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  const bool applied = (!version || control->setDriverVersion(version->first, version->second)) &&
                       (!args.has("--rate") || control->setDriverRate(rate)) &&
                       (!streaming || control->setStreaming(*streaming)) &&
                       (!args.has("--install-flags") || control->setInstallFlags(flags)) &&
                       (!args.has("--rejoin-delay") || control->setRejoinDelay(rejoinDelay));
  if (!applied) return failure(context, control->error());
  const std::optional<DaemonControl::DriverStatus> status = control->driver();
  if (!status) return failure(context, control->error());
  const DriverState& d = status->driver;
  std::fprintf(context.out,
               "interface version  %u.%u\nsample rate        %u Hz\nstreaming          %s\n"
               "install flags      0x%08X\nrejoin delay       %u ms\nrestarts           %u\n"
               "bus generation     %u\n",
               d.versionMajor, d.versionMinor, d.sampleRate, d.streaming ? "on" : "off",
               d.installFlags, d.rejoinDelayMs, d.restarts, status->generation);
  return kExitOk;
}

// ---- settings ----

int runSettings(const CommandContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) return usageError(context, "needs one model: studio or compact");
  const std::optional<Model> model = parseModel(args.positional[0]);
  if (!model) {
    return usageError(context, "unknown model \"" + args.positional[0] + "\" (studio or compact)");
  }
  std::optional<bool> present;
  if (const std::string* key = args.value("--key")) {
    if (*key != "present" && *key != "absent") {
      return usageError(context, "--key takes present or absent");
    }
    present = *key == "present";
  }
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  const std::optional<DaemonControl::SettingsKeyStatus> status =
      control->settingsKey(*model, present);
  if (!status) return failure(context, control->error());
  std::fprintf(context.out, "key                %s\n", status->present ? "present" : "absent");
  if (status->sampleRate) {
    std::fprintf(context.out, "%-18s %u\n", kSampleRateValue, *status->sampleRate);
  } else {
    std::fprintf(context.out, "%-18s (none)\n", kSampleRateValue);
  }
  return kExitOk;
}

// ---- stop ----

int runStop(const CommandContext& context, const ParsedArgs& args) {
  if (!args.positional.empty()) return usageError(context, "takes no arguments");
  std::unique_ptr<DaemonControl> control = connectOrReport(context);
  if (!control) return kExitFailure;
  return control->stop() ? kExitOk : failure(context, control->error());
}

// ---- The table ----

constexpr std::array kServeOptions{OptionSpec{"--state"}, OptionSpec{"--units"},
                                   OptionSpec{"--ready-fd"}};
constexpr std::array kListOptions{OptionSpec{"--json", false}};
constexpr std::array kPlugOptions{OptionSpec{"--serial"}, OptionSpec{"--protocol"},
                                  OptionSpec{"--firmware"}, OptionSpec{"--replace", false}};
constexpr std::array kSettingsOptions{OptionSpec{"--key"}};
constexpr std::array kFaultOptions{OptionSpec{"--kind"},   OptionSpec{"--serial"},
                                   OptionSpec{"--skip"},   OptionSpec{"--count"},
                                   OptionSpec{"--status"}, OptionSpec{"--delay"}};
constexpr std::array kTransfersOptions{OptionSpec{"--block-read"}, OptionSpec{"--quadlet-read"},
                                       OptionSpec{"--block-write"}, OptionSpec{"--quadlet-write"}};
constexpr std::array kDriverOptions{OptionSpec{"--rate"}, OptionSpec{"--version"},
                                    OptionSpec{"--streaming"}, OptionSpec{"--install-flags"},
                                    OptionSpec{"--rejoin-delay"}};
constexpr std::span<const OptionSpec> kNoOptions{};

constexpr std::array kCommands{
    Command{
        "serve", "[--state DIR] [--units studio,compact]", "run the simulated bus (the daemon)",
        "Serves the bus on the socket until SIGTERM, SIGINT or 'velmora-simbus stop'.\n"
        "  --state DIR        where the bus state is kept (default $XDG_STATE_HOME/velmora-simbus\n"
        "                     or ~/.local/state/velmora-simbus)\n"
        "  --units LIST       units of a first start, e.g. studio,compact, or none\n"
        "                     (default: one studio); ignored once the state holds units\n"
        "  --ready-fd N       write \"ready\" to descriptor N and close it once listening\n",
        kServeOptions, runServe},
    Command{"list", "[--json]", "list the units the bus knows",
            "One row per unit: serial (low half, decimal), serial high, model, protocol,\n"
            "firmware version and whether the unit is on the bus.\n"
            "  --json             an array of objects with the keys serial, serialHigh, model,\n"
            "                     protocol, firmware and onBus\n",
            kListOptions, runList},
    Command{"plug", "studio|compact [--serial N] [--protocol 1|2|3] [--firmware X.Y.Z] [--replace]",
            "attach a unit",
            "Attaches a unit and prints its serial. A known serial returns "
            "with its state kept.\n"
            "  --serial N         serial number (low half); default: the next free one\n"
            "  --protocol P       boot-loader protocol 1, 2 or 3 (default 3)\n"
            "  --firmware X.Y.Z   firmware version (default 2.0.4000)\n"
            "  --replace          unit --serial N, unplugged, comes back as a new unit of this\n"
            "                     model from the factory: e.g. a Studio's serial as a Compact\n",
            kPlugOptions, runPlug},
    Command{"unplug", "SERIAL", "detach a unit (switched off: it keeps what it stored)",
            "Detaches the unit; plug it again with --serial SERIAL. Like switching it off, it\n"
            "starts again from the settings it last stored in its flash.\n",
            kNoOptions, runUnplug},
    Command{"peek", "SERIAL INDEX...", "read a unit's coefficients directly",
            "Prints each coefficient as one decimal value per line, bypassing the driver.\n",
            kNoOptions, runPeek},
    Command{"poke", "SERIAL INDEX=VALUE...", "write a unit's coefficients directly",
            "Writes each coefficient, bypassing the driver.\n", kNoOptions, runPoke},
    Command{"fault",
            "fail|remove|bus-reset|delay|drop|no-answer|late|error|wrong-crc|other-id|keeps-old "
            "[--kind KIND] "
            "[--serial N] [--skip N] [--count N] [--status CODE] [--delay MS] | list | clear",
            "inject, list or clear faults",
            "Affects the next matching unit transfers, requests of the driver or opens.\n"
            "  fail               answer --status CODE (default 31, ERROR_GEN_FAILURE)\n"
            "  remove             the unit leaves the bus\n"
            "  bus-reset          a bus reset intervenes\n"
            "  delay              answer after --delay MS\n"
            "  drop               never answer\n"
            "What the boot loader does with a request (--kind reset, download-start, ...):\n"
            "  no-answer          takes no notice: no answer, no reset\n"
            "  late               carries it out, answers after --delay MS\n"
            "  error              refuses it with the code --status (default -1, as 0xFFFFFFFF)\n"
            "  wrong-crc          (download-end) the object arrived corrupted: its CRC differs\n"
            "  other-id           (reset) the unit comes back showing another unique id\n"
            "  keeps-old          (reset) the boot loader turns the new image down and starts\n"
            "                     the firmware the unit ran before\n"
            "  --kind KIND        block-read, quadlet-read, block-write, quadlet-write, fcp, any\n"
            "                     (every transfer), or a boot-loader request: reset,\n"
            "                     download-start, download-block, download-end\n"
            "                     A request the driver answers itself (fail, delay, drop):\n"
            "                     driver-info, sample-rate-get, sample-rate-set,\n"
            "                     stream-counters (the control device), device-flags (a unit)\n"
            "                     open: opening a unit's device path fails with --status, a\n"
            "                     Windows error (e.g. 5, ERROR_ACCESS_DENIED)\n"
            "                     device-node: disabling or enabling the unit's device node\n"
            "                     fails with --status, a Windows error\n"
            "  --serial N         only this unit (default any)\n"
            "  --skip N           let N matching transfers pass first (default 0)\n"
            "  --count N          affect N transfers (default 1)\n",
            kFaultOptions, runFault},
    Command{"transfers",
            "SERIAL [--block-read on|off] [--quadlet-read on|off] [--block-write on|off] "
            "[--quadlet-write on|off]",
            "show or set which transfers a unit accepts",
            "A refused transfer answers ERROR_NOT_SUPPORTED. Prints the settings.\n",
            kTransfersOptions, runTransfers},
    Command{"driver",
            "[--rate HZ] [--version MAJOR.MINOR] [--streaming on|off] [--install-flags N] "
            "[--rejoin-delay MS]",
            "show or set the driver model",
            "Applies the options, then prints the driver state.\n"
            "  --rate HZ          the driver's sample rate\n"
            "  --version M.N      the interface version the driver reports\n"
            "  --streaming on|off whether the streaming counters run\n"
            "  --install-flags N  what a device-node change reports (0x80 restart, 0x100 reboot)\n"
            "  --rejoin-delay MS  how long a unit that changed its rate band or ADAT inputs\n"
            "                     stays off the bus (default 1500)\n",
            kDriverOptions, runDriver},
    Command{"lock", "SERIAL spdif|adat1|adat2|wordclock on|off",
            "lock a unit's clock input or let it go",
            "Whether a signal is locked at the input: the unit's status word shows it, and the\n"
            "unit runs on a selected input only while it is locked.\n",
            kNoOptions, runLock},
    Command{"knob", "SERIAL 0-255", "turn a unit's volume knob",
            "Sets the front-panel volume knob the control panel reads (coefficient 86).\n",
            kNoOptions, runKnob},
    Command{"button", "SERIAL dim|mute", "press a unit's dim or mute button",
            "Each press toggles the button (coefficients 87 and 88).\n", kNoOptions, runButton},
    Command{"standalone", "SERIAL on|off", "put a unit in standalone mode or take it out",
            "A unit in standalone mode shows it in its status word until the computer\n"
            "releases it.\n",
            kNoOptions, runStandalone},
    Command{"settings", "studio|compact [--key present|absent]",
            "show a model's driver settings key, or take it away",
            "Prints whether the model's driver settings key is there and its \"SampleRate[Hz]\"\n"
            "value. An absent key refuses every open, read and write, as on a driver installed\n"
            "without it; its value comes back with it. Not kept across a daemon restart.\n"
            "  --key absent       take the key away\n"
            "  --key present      bring it back\n",
            kSettingsOptions, runSettings},
    Command{"stop", "", "stop the simulated bus", "Stops the daemon; its state is kept.\n",
            kNoOptions, runStop},
};

void printGeneralHelp(std::FILE* out) {
  std::fprintf(out,
               "usage: velmora-simbus [--socket PATH] COMMAND [ARGUMENTS]\n\n"
               "The simulated 1394 bus of the Velmora PRO software: a daemon standing in for the\n"
               "bus driver and the units, and the commands that control it.\n\nCommands:\n");
  for (const Command& c : kCommands) {
    std::fprintf(out, "  %-10.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 static_cast<int>(c.summary.size()), c.summary.data());
  }
  std::fprintf(out,
               "\nThe socket is --socket PATH, else $VELMORA_SIMBUS when it holds a path, else\n"
               "%s.\nNumbers may be decimal or 0x hexadecimal. "
               "'velmora-simbus COMMAND --help' describes a command.\n",
               defaultSocketPath().c_str());
}

void printCommandHelp(std::FILE* out, const Command& c) {
  std::fprintf(out, "usage: velmora-simbus [--socket PATH] %.*s %.*s\n\n%.*s\n%.*s",
               static_cast<int>(c.name.size()), c.name.data(), static_cast<int>(c.usage.size()),
               c.usage.data(), static_cast<int>(c.summary.size()), c.summary.data(),
               static_cast<int>(c.details.size()), c.details.data());
}

}  // namespace

std::span<const Command> commands() {
  return kCommands;
}

int runCommandLine(std::span<const std::string> args) {
  CommandContext context;
  std::vector<std::string> rest;
  std::string socketPath;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].starts_with("--socket=")) {
      socketPath = args[i].substr(9);
    } else if (args[i] == "--socket") {
      if (i + 1 == args.size()) {
        return usageError(context, "--socket needs a path");
      }
      socketPath = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.empty() || rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help") {
    printGeneralHelp(rest.empty() ? context.err : context.out);
    return rest.empty() ? kExitUsage : kExitOk;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (c.name == rest[0]) command = &c;
  }
  if (!command) {
    return usageError(context, "unknown command \"" + rest[0] + "\" (see velmora-simbus --help)");
  }
  context.command = command->name;
  std::string error;
  const std::optional<ParsedArgs> parsed =
      parseArgs(std::span(rest).subspan(1), command->options, &error);
  if (!parsed) return usageError(context, error);
  if (parsed->help) {
    printCommandHelp(context.out, *command);
    return kExitOk;
  }
  context.socketPath = resolveSocketPath(socketPath);
  if (context.socketPath.empty()) {
    return failure(context, "no folder for the socket: give --socket PATH");
  }
  return command->run(context, *parsed);
}

}  // namespace simbus::cli
