// velmoractl verbs that go through the hardware abstraction: open the unit, act, close.
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/hal_session.h"
#include "cli/unit_access.h"
#include "control_panel/hal/unit_coefficients.h"
#include "platform/unit_info_block.h"

namespace velmoractl {

namespace {

using velmora::VelmoraHAL;

constexpr std::array<std::pair<std::string_view, int>, 5> kSyncNames{{
    {"internal", velmora::kSyncInternal},
    {"spdif", velmora::kSyncSpdif},
    {"adat1", velmora::kSyncAdat1},
    {"adat2", velmora::kSyncAdat2},
    {"wordclock", velmora::kSyncWordclock},
}};

std::string_view syncWord(int code) {
  for (const auto& [name, value] : kSyncNames) {
    if (value == code) return name;
  }
  return "unknown";
}

std::optional<bool> onOff(const std::string& text, std::string_view on, std::string_view off) {
  if (text == on) return true;
  if (text == off) return false;
  return std::nullopt;
}

// The verb's words after --unit N is taken out: between `least` and `most` of them.
bool takeUnitAndWords(Args& args, size_t least, size_t most, uint32_t& unit, std::string& error) {
  const auto option = takeOption(args, "--unit", error);
  if (!error.empty()) return false;
  unit = 0;
  if (option) {
    const auto index = parseNumber(*option);
    if (!index) {
      error = "--unit needs a unit index, not " + *option;
      return false;
    }
    unit = *index;
  }
  if (args.size() < least || args.size() > most) {
    error = args.size() > most ? "unexpected argument " + args[most]
                               : "expected " + std::to_string(least) + " argument(s)";
    return false;
  }
  return true;
}

// Runs `act` on the opened unit; its message on failure.
int withOpenUnit(uint32_t unit, const std::function<std::string(HalSession&)>& act) {
  HalSession session;
  if (!session.OpenUnit(unit)) return fail(kExitFailure, session.error());
  const std::string error = act(session);
  if (!error.empty()) return fail(kExitFailure, error);
  return kExitOk;
}

std::string unitName(VelmoraHAL& hal) {
  char name[17];
  return hal.GetUnitName(hal.CurrentSerial(), name) ? std::string(name) : std::string();
}

// Unit `index` when it is in its boot loader: it runs no application to be opened and asked, so
// it is described from its information block.
std::optional<UnitDescription> unitInBootLoader(uint32_t index) {
  UnitAccess access;
  if (access.Open() != 0) return std::nullopt;
  for (const LinkedUnit& linked : access.Units()) {
    if (linked.index != index) continue;
    const UnitDescription unit = describeUnit(*linked.coefficients);
    if (unit.inBootLoader) return unit;
  }
  return std::nullopt;
}

}  // namespace

int statusCommand(Args args) {
  const bool json = takeFlag(args, "--json");
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 0, 0, unit, error)) return fail(kExitUsage, "status: " + error);
  if (const std::optional<UnitDescription> halted = unitInBootLoader(unit)) {
    if (json) {
      std::printf(
          "{\"serial\": %u, \"serialHigh\": %u, \"firmware\": \"in boot loader\", "
          "\"inBootLoader\": true}\n",
          halted->serial, halted->serialHigh);
    } else {
      std::printf(
          "unit          %u\nfirmware      in boot loader: no firmware runs; "
          "velmoractl firmware update FILE installs it\n",
          halted->serial);
    }
    return kExitOk;
  }
  return withOpenUnit(unit, [json](HalSession& session) {
    VelmoraHAL& hal = session.hal();
    int major = 0, minor = 0, build = 0;
    hal.GetKWFInfo(major, minor, build);
    const std::string name = unitName(hal);
    const int rate = hal.GetSampleRate();
    const int selected = hal.GetSyncSource();
    const int inUse = hal.GetSyncStatus();
    const bool locked = hal.IsSyncLocked();
    const bool streaming = hal.IsStreaming();
    const bool monitoring = hal.IsHardwareMonitoring();
    if (!hal.IsOpen()) return std::string("the unit was closed while reading its status");
    const std::string firmware =
        std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build);
    const char* mode = hal.TrackingMode() ? "tracking" : "mixing";
    if (json) {
      std::printf(
          "{\"serial\": %u, \"serialHigh\": %u, \"name\": %s, \"rate\": %d, "
          "\"sync\": \"%s\", \"syncInUse\": \"%s\", \"locked\": %s, \"streaming\": %s, "
          "\"adat\": %s, \"ac3\": %s, \"standalone\": \"%s\", \"monitoring\": %s, "
          "\"firmware\": \"%s\"}\n",
          hal.CurrentSerial().low, hal.CurrentSerial().high, jsonString(name).c_str(), rate,
          std::string(syncWord(selected)).c_str(), std::string(syncWord(inUse)).c_str(),
          locked ? "true" : "false", streaming ? "true" : "false",
          hal.ReducedModel() ? "false" : "true", hal.AC3Passthrough() ? "true" : "false", mode,
          monitoring ? "true" : "false", firmware.c_str());
    } else {
      std::printf(
          "unit          %u\nname          %s\nsample rate   %d Hz\nsync source   %s (in use: "
          "%s)\nlocked        %s\nstreaming     %s\nADAT inputs   %s\nAC3           %s\n"
          "standalone    %s\nmonitoring    %s\nfirmware      %s\n",
          hal.CurrentSerial().low, name.c_str(), rate, std::string(syncWord(selected)).c_str(),
          std::string(syncWord(inUse)).c_str(), locked ? "yes" : "no", streaming ? "yes" : "no",
          hal.ReducedModel() ? "off" : "on", hal.AC3Passthrough() ? "on" : "off", mode,
          monitoring ? "on" : "off", firmware.c_str());
    }
    return std::string();
  });
}

int rateCommand(Args args) {
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 1, 1, unit, error)) return fail(kExitUsage, "rate: " + error);
  const auto hz = parseNumber(args[0]);
  if (!hz || velmora::SampleRateCode(*hz) == velmora::kUnlistedRateCode) {
    return fail(kExitUsage, "rate: one of 44100, 48000, 88200, 96000, 176400, 192000");
  }
  return withOpenUnit(unit, [hz = *hz](HalSession& session) {
    VelmoraHAL& hal = session.hal();
    if (!hal.SetSampleRate(hz)) return std::string("the unit refused the sample rate");
    // As the idle pass would: reopen until driver and unit run at the new rate.
    const bool done = session.ReopenUntil(
        [&] { return hal.GetSampleRate() == static_cast<int>(hz) && hal.TargetRate() == hz; },
        "the unit did not come back at " + std::to_string(hz) + " Hz");
    if (!done) return session.error();
    std::printf("sample rate %u Hz\n", hz);
    return std::string();
  });
}

int syncCommand(Args args) {
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 1, 1, unit, error)) return fail(kExitUsage, "sync: " + error);
  std::optional<int> code;
  for (const auto& [name, value] : kSyncNames) {
    if (args[0] == name) code = value;
  }
  if (!code) return fail(kExitUsage, "sync: internal, spdif, adat1, adat2 or wordclock");
  return withOpenUnit(unit, [code = *code](HalSession& session) {
    return session.hal().SetSyncSource(code) ? std::string()
                                             : std::string("setting the sync source failed");
  });
}

int nameCommand(Args args) {
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 0, 1, unit, error)) return fail(kExitUsage, "name: " + error);
  const std::optional<std::string> text =
      args.empty() ? std::nullopt : std::optional<std::string>(args[0]);
  return withOpenUnit(unit, [text](HalSession& session) {
    VelmoraHAL& hal = session.hal();
    if (text && !hal.SetUnitName(*text)) return std::string("writing the name failed");
    std::printf("%s\n", unitName(hal).c_str());
    return std::string();
  });
}

namespace {

// adat on|off, ac3 on|off, standalone mixing|tracking, monitoring on|off.
int switchCommand(Args args, std::string_view verb, std::string_view on, std::string_view off,
                  const std::function<std::string(HalSession&, bool)>& apply) {
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 1, 1, unit, error)) {
    return fail(kExitUsage, std::string(verb) + ": " + error);
  }
  const std::optional<bool> value = onOff(args[0], on, off);
  if (!value) {
    return fail(kExitUsage, std::string(verb) + ": " + std::string(on) + " or " + std::string(off));
  }
  return withOpenUnit(unit, [&](HalSession& session) { return apply(session, *value); });
}

}  // namespace

int adatCommand(Args args) {
  return switchCommand(std::move(args), "adat", "on", "off", [](HalSession& session, bool on) {
    VelmoraHAL& hal = session.hal();
    if (hal.ReducedModel() == !on) return std::string();
    hal.SetReducedAVCModel(!on);
    if (hal.ReducedModel() != !on) return std::string("switching the ADAT inputs failed");
    // The unit leaves the bus with its new model; wait until it is back.
    return session.ReopenUntil([] { return true; }, "the unit did not come back") ? std::string()
                                                                                  : session.error();
  });
}

int ac3Command(Args args) {
  return switchCommand(std::move(args), "ac3", "on", "off", [](HalSession& session, bool on) {
    VelmoraHAL& hal = session.hal();
    hal.SetAC3Passthrough(on);
    return hal.AC3Passthrough() == on ? std::string()
                                      : std::string("switching AC3 passthrough failed");
  });
}

int standaloneCommand(Args args) {
  return switchCommand(std::move(args), "standalone", "tracking", "mixing",
                       [](HalSession& session, bool tracking) {
                         return session.hal().SetStandaloneMode(tracking)
                                    ? std::string()
                                    : std::string("setting the standalone mode failed");
                       });
}

int monitoringCommand(Args args) {
  return switchCommand(
      std::move(args), "monitoring", "on", "off", [](HalSession& session, bool on) {
        return session.hal().SetValue(velmora::coeff::COEFF_HW_MONITORING, on ? 1 : 0)
                   ? std::string()
                   : std::string("switching hardware monitoring failed");
      });
}

int storeCommand(Args args) {
  uint32_t unit = 0;
  std::string error;
  if (!takeUnitAndWords(args, 0, 0, unit, error)) return fail(kExitUsage, "store: " + error);
  return withOpenUnit(unit, [](HalSession& session) {
    session.hal().SaveToCnE();
    return std::string();
  });
}

}  // namespace velmoractl
