// The main frame's handle on the plug-in and its full layout: plain calls that reach the
// parameter set and the layout, and the layout kept in step with every parameter change.
//
// PPlugIn: the main frame's handle on the parameter set and the full layout.
#pragma once

#include <cstdint>
#include <memory>

#include "control_panel/toolkit/gui.h"
#include "control_panel/toolkit/plugin.h"
#include "control_panel/toolkit/plugin_gui.h"

namespace velmora {

struct ParameterDescriptor;

class PPlugIn : public Plugin::ParameterObserver {
 public:
  PPlugIn(Plugin* plugin, PluginGUI* gui);
  ~PPlugIn() override;
  PPlugIn(const PPlugIn&) = delete;
  PPlugIn& operator=(const PPlugIn&) = delete;

  void parameterChanged(int index) override;
  virtual void setHost(PPluginInterface* host);
  virtual PPluginInterface* getHost();
  virtual void getViewSize(int* w, int* h);
  virtual void attachWindow(GUIWindow* window, int x, int y);
  virtual void detachWindow();
  virtual void redraw();
  virtual void mouseButton(int x, int y, int reserved, bool down);
  virtual void mouseMove(int x, int y);
  virtual void key(int key, int reserved);
  virtual void idleTick();
  virtual void invalidateRoot();
  virtual void timerTick();
  virtual bool needsRedraw();
  virtual bool query15() { return false; }
  virtual bool query16() { return false; }
  virtual bool query17() { return false; }
  virtual void getExtraSize(int* a, int* b);
  virtual float getSampleRate();
  virtual int getParameterCount();
  virtual Parameter* getParameter(int index);
  virtual void* query22() { return nullptr; }
  virtual void processBlock(const float* const* inputs, int inputStride, int channels, int frames,
                            float* const* outputs, int outputStride, int outputChannels, int a,
                            int b);
  virtual void process(const float* const* inputs, int inputStride, int channels, int frames,
                       float* const* outputs, int outputStride, int outputChannels);
  virtual void prepareProcessing(int a, int b);
  virtual uint32_t getUniqueId();
  virtual uint32_t getTypeCode();
  virtual uint32_t getVersion();
  virtual void setNormalised(int index, float value);
  virtual float getNormalised(int index);
  virtual void setReal(int index, float value);
  virtual float getReal(int index);
  virtual void setViewNormalised(int row, int slot, float value);
  virtual void setViewReal(int row, int slot, float value);
  virtual void setViewText(int row, int slot, const char* text);
  virtual float getViewNormalised(int row, int slot);
  virtual float getViewReal(int row, int slot);
  virtual void getViewText(int row, int slot, char* out, int capacity);
  virtual Parameter* createParameter(const ParameterDescriptor& descriptor);
  virtual void onParameterChanged(int index);
  virtual void notifyAll();
  virtual void hook42() {}
  virtual void onTimerHook(iGUI* gui);

  Plugin* plugin() const { return plugin_; }
  PluginGUI* layout() const { return gui_; }
  // Destroy the layout and the plug-in with the adapter.
  int32_t owning = 0;

 private:
  Plugin* plugin_ = nullptr;
  PluginGUI* gui_;
  std::unique_ptr<GUI> drawing_;
};

}  // namespace velmora
