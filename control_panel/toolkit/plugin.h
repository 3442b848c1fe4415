// The parameter set: every value the user can see or set is a Parameter of one Plugin, and
// every part of the user interface talks to it by parameter index.
//
// Changes propagate to observers (layouts, the main frame) in the order they were added.
// Observers may add or remove observers and set other parameters while being notified:
// removed entries are nulled and only compacted when the outermost notification returns.
// User-interface thread only.
//
// Plugin: the parameter set.
// Plugin::ParameterObserver: what is told of every parameter change (layouts, the main frame).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "control_panel/toolkit/p_plugin_interface.h"
#include "control_panel/toolkit/parameter.h"

namespace velmora {

class Plugin {
 public:
  // Receives every change of every parameter. Must remove itself (removeObserver) before it
  // is destroyed.
  class ParameterObserver {
   public:
    virtual ~ParameterObserver() = default;
    virtual void parameterChanged(int index) = 0;
  };

  // One Parameter per descriptor, at the descriptor's position. The table must outlive the
  // Plugin.
  Plugin(const ParameterDescriptor* table, int count);
  // Destroys the parameters; observers are not told.
  virtual ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  virtual uint32_t getUniqueId();  // "CRVN"
  virtual uint32_t getTypeCode();  // "stps"
  virtual uint32_t getVersion();   // 0x10000
  virtual void prepareProcessing(int a, int b);
  // Copies each input channel to its output channel; strides are in samples.
  virtual void process(const float* const* inputs, int inputStride, int channels, int frames,
                       float* const* outputs, int outputStride, int reserved);
  virtual void setHost(PPluginInterface* host);
  virtual PPluginInterface* getHost();
  // Stores the value as given and notifies the observers; the host is not called.
  virtual void setNormalised(int index, float value);
  virtual float getNormalised(int index);
  // Parameter::setReal and notifies the observers; the host is not called.
  virtual void setReal(int index, float value);
  virtual float getReal(int index);

  // Invalid indices (negative or not below the count) are ignored; getters give 0 or none.
  Parameter* getParameter(int index);
  int getParameterCount() const { return static_cast<int>(parameters_.size()); }
  const ParameterDescriptor* getDescriptors() const { return table_; }
  // Bounded copy of the name: no terminator is added when the name fills `capacity`.
  void getParameterName(int index, char* out, int capacity);

  // The text a value is shown as, on the panel and by velmoractl alike: the parameter's own
  // text unless the parameter set knows a better one for it. Length written; 0 for an
  // invalid index.
  virtual int valueText(int index, char* out, int capacity);

  // The path of every edit made through a view, called after the value was stored: the host
  // first (when set and `callHost`), then every observer.
  void userChanged(int index, bool callHost);

  // Appends; the same observer added twice is called twice.
  void addObserver(ParameterObserver* observer);
  // Safe inside a notification: the entries are nulled and compacted later.
  void removeObserver(ParameterObserver* observer);
  void notifyObservers(int index);

  // The observer list as it stands, nulls included (for tests and diagnostics).
  const std::vector<ParameterObserver*>& observers() const { return observers_; }

 private:
  bool valid(int index) const { return index >= 0 && index < getParameterCount(); }

  PPluginInterface* host_ = nullptr;
  const ParameterDescriptor* table_;
  std::vector<std::unique_ptr<Parameter>> parameters_;
  std::vector<ParameterObserver*> observers_;
  int32_t depth_ = 0;
};

}  // namespace velmora
