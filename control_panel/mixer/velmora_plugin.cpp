#include "control_panel/mixer/velmora_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmora {
namespace {

bool inRange(int id, int first, int count) {
  return id >= first && id < first + count;
}

bool isLevel(int id) {
  return inRange(id, param::kOutputLevel, kOutputPairCount) ||
         inRange(id, param::kAnalogueLevel, 8) || inRange(id, param::kSpdifLevel, 2) ||
         inRange(id, param::kAdat1Level, 8) || inRange(id, param::kAdat2Level, 8);
}

// The input solo and mute buttons (78-129) store 0 or 1 under the linear law.
bool isSwitch(int id) {
  if (inRange(id, param::kInputSolo, 2 * kInputCount)) return true;
  const ParameterDescriptor& d = kVelmoraParameters[id];
  return d.law == LAW_STEPPED && d.min == 0.0f && d.max == 1.0f;
}

bool isPan(int id) {
  return inRange(id, param::kAnaloguePan, 8) || inRange(id, param::kSpdifPan, 2) ||
         inRange(id, param::kAdat1Pan, 8) || inRange(id, param::kAdat2Pan, 8);
}

constexpr const char* kRateTexts[] = {"44.1 kHz", "48 kHz",    "88.2 kHz",
                                      "96 kHz",   "176.4 kHz", "192 kHz"};

int putText(char* out, int capacity, const char* text) {
  const int length = std::snprintf(out, static_cast<size_t>(capacity), "%s", text);
  return length < 0 ? 0 : std::min(length, capacity - 1);
}

int put(char* out, int capacity, const char* format, double value) {
  const int length = std::snprintf(out, static_cast<size_t>(capacity), format, value);
  return length < 0 ? 0 : std::min(length, capacity - 1);
}

}  // namespace

int VelmoraPlugin::valueText(int index, char* out, int capacity) {
  Parameter* parameter = getParameter(index);
  if (parameter == nullptr || capacity <= 0) return Plugin::valueText(index, out, capacity);
  const float real = parameter->getReal();
  if (isLevel(index)) {
    if (real <= 0) return putText(out, capacity, "-inf dB");
    return put(out, capacity, "%.1f dB", 20.0 * std::log10(static_cast<double>(real)));
  }
  if (isPan(index)) {
    const double percent = std::round(std::fabs(static_cast<double>(real)) * 100.0);
    if (percent == 0) return putText(out, capacity, "C");
    return put(out, capacity, real < 0 ? "L%.0f" : "R%.0f", percent);
  }
  if (index == param::kSampleRate) {
    const int rate = static_cast<int>(real);
    if (rate >= 1 && rate <= 6) return putText(out, capacity, kRateTexts[rate - 1]);
  }
  if (isSwitch(index)) {
    return putText(out, capacity, real != 0 ? "On" : "Off");
  }
  return Plugin::valueText(index, out, capacity);
}

}  // namespace velmora
