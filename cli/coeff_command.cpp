// velmoractl coeff get|set [--unit N] ...: a unit's coefficients, as one batch.
#include <cstdio>
#include <vector>

#include "cli/commands.h"
#include "cli/unit_access.h"

namespace velmoractl {

namespace {

// The unit chosen by --unit (index in the units list, default 0), or an exit code.
struct ChosenUnit {
  UnitAccess access;
  velmora::cvAVC* unit = nullptr;
  uint32_t index = 0;
};

// --unit N: the index in the units list, 0 when absent; `error` set when malformed.
uint32_t takeUnitIndex(Args& args, std::string& error) {
  const auto option = takeOption(args, "--unit", error);
  if (!option) return 0;
  const auto index = parseNumber(*option);
  if (!index) error = "--unit needs a unit index, not " + *option;
  return index.value_or(0);
}

int chooseUnit(uint32_t index, ChosenUnit& chosen) {
  chosen.index = index;
  const uint32_t status = chosen.access.Open();
  if (status != 0) return fail(kExitFailure, "cannot reach the units: " + describeStatus(status));
  for (LinkedUnit& unit : chosen.access.Units()) {
    if (unit.index == chosen.index) chosen.unit = unit.coefficients.get();
  }
  if (!chosen.unit) {
    return fail(kExitFailure, chosen.access.Units().empty()
                                  ? "no Velmora PRO unit found"
                                  : "no unit with index " + std::to_string(chosen.index));
  }
  return kExitOk;
}

}  // namespace

int coeffGetCommand(Args args) {
  std::string error;
  const auto unitIndex = takeUnitIndex(args, error);
  if (!error.empty()) return fail(kExitUsage, error);
  if (args.empty()) return fail(kExitUsage, "coeff get: name at least one coefficient index");
  std::vector<velmora::CoefficientValue> batch;
  for (const std::string& arg : args) {
    const auto index = parseNumber(arg);
    if (!index) return fail(kExitUsage, "coeff get: not a coefficient index: " + arg);
    batch.push_back({*index, 0});
  }
  ChosenUnit chosen;
  if (const int code = chooseUnit(unitIndex, chosen); code != kExitOk) return code;
  const uint32_t status = chosen.unit->GetValues(batch.data(), static_cast<uint32_t>(batch.size()));
  if (status != 0) {
    return fail(kExitFailure, "reading coefficients of unit " + std::to_string(chosen.index) +
                                  " failed: " + describeStatus(status));
  }
  for (const auto& pair : batch) std::printf("%u\n", pair.value);
  return kExitOk;
}

int coeffSetCommand(Args args) {
  std::string error;
  const auto unitIndex = takeUnitIndex(args, error);
  if (!error.empty()) return fail(kExitUsage, error);
  if (args.empty()) return fail(kExitUsage, "coeff set: name at least one INDEX=VALUE");
  std::vector<velmora::CoefficientValue> batch;
  for (const std::string& arg : args) {
    const size_t eq = arg.find('=');
    const auto index = parseNumber(std::string_view(arg).substr(0, eq));
    const auto value =
        eq == std::string::npos ? std::nullopt : parseNumber(std::string_view(arg).substr(eq + 1));
    if (!index || !value) return fail(kExitUsage, "coeff set: expected INDEX=VALUE, not " + arg);
    batch.push_back({*index, *value});
  }
  ChosenUnit chosen;
  if (const int code = chooseUnit(unitIndex, chosen); code != kExitOk) return code;
  const uint32_t status = chosen.unit->SetValues(batch.data(), static_cast<uint32_t>(batch.size()));
  if (status != 0) {
    return fail(kExitFailure, "writing coefficients of unit " + std::to_string(chosen.index) +
                                  " failed: " + describeStatus(status));
  }
  return kExitOk;
}

}  // namespace velmoractl
