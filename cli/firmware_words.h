// The download library's numbers in words: status names and download conditions.
#pragma once

#include <cstdint>
#include <string>

namespace velmoractl {

// "KVOFWDL_STATUS_REBOOT_REQUIRED"; "unknown status" for a code the library does not have.
const char* firmwareStatusName(uint32_t status);
// "40 (KVOFWDL_STATUS_REBOOT_REQUIRED)"
std::string firmwareStatusText(uint32_t status);
// The condition bits of a check, each in words and joined by "; "; "fits" for none.
std::string conditionWords(uint32_t conditions);

}  // namespace velmoractl
