// The record of firmware updates that stays: one line per download in the user's data folder
// ("VelmoraProFirmwareHistory.txt"), appended by the download library when a download ends,
// whoever started it, and printed by `velmoractl firmware history`. Lines look like
//   2026-12-11 12:45:11<TAB>unit 100001<TAB>from 2.0.4000<TAB>to 2.1.4300<TAB>status 0 succeeded
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct UpdateRecord {
  uint32_t serial = 0;             // the low half of the unit's unique id
  std::optional<uint32_t> before;  // the firmware it ran; none: it was in its boot loader
  std::optional<uint32_t> after;   // the firmware it runs now; none: not known (it never
                                   // came back into its application)
  uint32_t status = 0;             // the download's KVOFWDL_STATUS
};

// The history file's path (empty when the data folder cannot be had).
std::string updateHistoryPath();

// The line `record` makes, stamped with the local time, without its line end.
std::string updateHistoryLine(const UpdateRecord& record);

// Appends the line of `record` to the history file in one write; false when it cannot.
[[nodiscard]] bool appendUpdateHistory(const UpdateRecord& record);

}  // namespace platform
