// The firmware files the updater carries: resource type "KWF", one per model.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace updater {

// The resource name of the firmware for the unit model `hardwareModelId` ("STUDIO",
// "COMPACT"), or nothing for hardware we have no firmware for.
std::optional<std::string_view> firmwareResourceName(uint32_t hardwareModelId);

// The firmware file's bytes, or nothing when the program carries no such resource.
std::optional<std::span<const uint8_t>> firmwareResource(std::string_view name);

}  // namespace updater
