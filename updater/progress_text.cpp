#include "updater/progress_text.h"

#include "updater/updater_texts.h"

namespace updater {

const char* progressText(uint32_t percent) {
  if (percent == 0) return text::kInitiating;
  if (percent < 100) return text::kSending;
  return text::kFinishing;
}

}  // namespace updater
