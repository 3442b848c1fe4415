// The status text while a download runs, by its percentage.
#pragma once

#include <cstdint>

namespace updater {

const char* progressText(uint32_t percent);

}  // namespace updater
