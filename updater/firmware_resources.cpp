#include "updater/firmware_resources.h"

#include <array>

#include "platform/resources.h"
#include "platform/unit_info_block.h"

namespace updater {

namespace {

struct ModelFirmware {
  uint32_t hardwareModelId;
  std::string_view resourceName;
};

constexpr std::array kModelFirmware{
    ModelFirmware{platform::unit_info::kModelStudio, "STUDIO"},
    ModelFirmware{platform::unit_info::kModelCompact, "COMPACT"},
};

constexpr char kResourceType[] = "KWF";

}  // namespace

std::optional<std::string_view> firmwareResourceName(uint32_t hardwareModelId) {
  for (const ModelFirmware& entry : kModelFirmware) {
    if (entry.hardwareModelId == hardwareModelId) return entry.resourceName;
  }
  return std::nullopt;
}

std::optional<std::span<const uint8_t>> firmwareResource(std::string_view name) {
  return platform::findResource(kResourceType, name);
}

}  // namespace updater
