#include "control_panel/toolkit/plugin.h"

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

constexpr uint32_t fourCharacters(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

}  // namespace

Plugin::Plugin(const ParameterDescriptor* table, int count) : table_(table) {
  if (table == nullptr || count < 0) count = 0;
  parameters_.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) parameters_.push_back(std::make_unique<Parameter>(table[i]));
}

Plugin::~Plugin() = default;

uint32_t Plugin::getUniqueId() {
  return fourCharacters("CRVN");
}

uint32_t Plugin::getTypeCode() {
  return fourCharacters("stps");
}

uint32_t Plugin::getVersion() {
  return 0x10000;
}

void Plugin::prepareProcessing(int, int) {}

void Plugin::process(const float* const* inputs, int inputStride, int channels, int frames,
                     float* const* outputs, int outputStride, int) {
  for (int c = 0; c < channels; ++c) {
    for (int k = 0; k < frames; ++k) {
      outputs[c][static_cast<ptrdiff_t>(k) * outputStride] =
          inputs[c][static_cast<ptrdiff_t>(k) * inputStride];
    }
  }
}

void Plugin::setHost(PPluginInterface* host) {
  host_ = host;
}

PPluginInterface* Plugin::getHost() {
  return host_;
}

Parameter* Plugin::getParameter(int index) {
  return valid(index) ? parameters_[static_cast<size_t>(index)].get() : nullptr;
}

void Plugin::getParameterName(int index, char* out, int capacity) {
  if (!valid(index) || capacity <= 0) return;
  std::strncpy(out, parameters_[static_cast<size_t>(index)]->getName(),
               static_cast<size_t>(capacity));
}

int Plugin::valueText(int index, char* out, int capacity) {
  if (capacity > 0) out[0] = '\0';
  if (!valid(index) || capacity <= 0) return 0;
  return parameters_[static_cast<size_t>(index)]->getText(out, capacity);
}

void Plugin::setNormalised(int index, float value) {
  if (!valid(index)) return;
  parameters_[static_cast<size_t>(index)]->setNormalised(value);
  notifyObservers(index);
}

float Plugin::getNormalised(int index) {
  return valid(index) ? parameters_[static_cast<size_t>(index)]->getNormalised() : 0.0f;
}

void Plugin::setReal(int index, float value) {
  if (!valid(index)) return;
  parameters_[static_cast<size_t>(index)]->setReal(value);
  notifyObservers(index);
}

float Plugin::getReal(int index) {
  return valid(index) ? parameters_[static_cast<size_t>(index)]->getReal() : 0.0f;
}

void Plugin::userChanged(int index, bool callHost) {
  if (!valid(index)) return;
  if (host_ != nullptr && callHost) host_->parameterChanged(index);
  notifyObservers(index);
}

void Plugin::addObserver(ParameterObserver* observer) {
  observers_.push_back(observer);
}

void Plugin::removeObserver(ParameterObserver* observer) {
  std::replace(observers_.begin(), observers_.end(), observer,
               static_cast<ParameterObserver*>(nullptr));
}

void Plugin::notifyObservers(int index) {
  ++depth_;
  // Observers added during this pass are not called in it; removed ones were nulled.
  const size_t count = observers_.size();
  for (size_t i = 0; i < count; ++i) {
    if (ParameterObserver* observer = observers_[i]) observer->parameterChanged(index);
  }
  --depth_;
  if (depth_ < 1) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
  }
}

}  // namespace velmora
