#include "control_panel/toolkit/p_plugin.h"

#include "control_panel/toolkit/parameter.h"
#include "control_panel/toolkit/view.h"

namespace velmora {

PPlugIn::PPlugIn(Plugin* plugin, PluginGUI* gui) : gui_(gui) {
  plugin_ = plugin;
  if (plugin_ == nullptr) return;
  plugin_->addObserver(this);
  if (gui_ != nullptr) {
    for (int i = 0; i < plugin_->getParameterCount(); ++i) gui_->parameterChanged(i);
  }
}

PPlugIn::~PPlugIn() {
  if (plugin_ != nullptr) plugin_->removeObserver(this);
  if (gui_ != nullptr && gui_->getGUI() == drawing_.get()) gui_->setGUI(nullptr);
  if (owning != 0) {
    delete gui_;
    delete plugin_;
  }
}

void PPlugIn::parameterChanged(int index) {
  onParameterChanged(index);
}

void PPlugIn::setHost(PPluginInterface* host) {
  if (plugin_ != nullptr) plugin_->setHost(host);
}

PPluginInterface* PPlugIn::getHost() {
  return plugin_ != nullptr ? plugin_->getHost() : nullptr;
}

void PPlugIn::getViewSize(int* w, int* h) {
  View* root = gui_ != nullptr ? gui_->getRoot() : nullptr;
  *w = root != nullptr ? root->getWidth() : 0;
  *h = root != nullptr ? root->getHeight() : 0;
}

void PPlugIn::attachWindow(GUIWindow* window, int x, int y) {
  if (gui_ == nullptr) return;
  detachWindow();
  drawing_ = std::make_unique<GUI>(window);
  gui_->setGUI(drawing_.get());
  gui_->refreshAll();
  gui_->positionRoot(x, y);
}

void PPlugIn::detachWindow() {
  if (gui_ != nullptr && gui_->getGUI() == drawing_.get()) gui_->setGUI(nullptr);
  drawing_.reset();
}

void PPlugIn::redraw() {
  if (gui_ != nullptr) gui_->redraw();
}

void PPlugIn::mouseButton(int x, int y, int reserved, bool down) {
  if (gui_ != nullptr) gui_->mouseButton(x, y, reserved, down);
}

void PPlugIn::mouseMove(int x, int y) {
  if (gui_ != nullptr) gui_->mouseMove(x, y);
}

void PPlugIn::key(int key, int reserved) {
  if (gui_ == nullptr || gui_->getRoot() == nullptr || gui_->getGUI() == nullptr) return;
  iGUI* gui = gui_->getGUI();
  gui->beginDraw();
  gui_->getRoot()->onKey(key, reserved, gui);
  gui->endDraw();
}

void PPlugIn::idleTick() {
  if (gui_ != nullptr) gui_->idleTick();
}

void PPlugIn::invalidateRoot() {
  if (gui_ != nullptr && gui_->getRoot() != nullptr) gui_->getRoot()->invalidate();
}

void PPlugIn::timerTick() {
  if (gui_ == nullptr) return;
  onTimerHook(gui_->getGUI());
  gui_->timerTick();
}

bool PPlugIn::needsRedraw() {
  return gui_ != nullptr && gui_->needsRedraw();
}

void PPlugIn::getExtraSize(int* a, int* b) {
  *a = 0;
  *b = 0;
}

float PPlugIn::getSampleRate() {
  PPluginInterface* host = getHost();
  return host != nullptr ? host->getSampleRate() : 44100.0f;
}

int PPlugIn::getParameterCount() {
  return plugin_ != nullptr ? plugin_->getParameterCount() : 0;
}

Parameter* PPlugIn::getParameter(int index) {
  if (index < 0 || plugin_ == nullptr) return nullptr;
  return plugin_->getParameter(index);
}

void PPlugIn::processBlock(const float* const* inputs, int inputStride, int channels, int frames,
                           float* const* outputs, int outputStride, int outputChannels, int a,
                           int b) {
  prepareProcessing(a, b);
  process(inputs, inputStride, channels, frames, outputs, outputStride, outputChannels);
}

void PPlugIn::process(const float* const* inputs, int inputStride, int channels, int frames,
                      float* const* outputs, int outputStride, int outputChannels) {
  if (plugin_ != nullptr) {
    plugin_->process(inputs, inputStride, channels, frames, outputs, outputStride, outputChannels);
  }
}

void PPlugIn::prepareProcessing(int a, int b) {
  if (plugin_ != nullptr) plugin_->prepareProcessing(a, b);
}

uint32_t PPlugIn::getUniqueId() {
  return plugin_ != nullptr ? plugin_->getUniqueId() : 0;
}

uint32_t PPlugIn::getTypeCode() {
  return plugin_ != nullptr ? plugin_->getTypeCode() : 0;
}

uint32_t PPlugIn::getVersion() {
  return plugin_ != nullptr ? plugin_->getVersion() : 0;
}

void PPlugIn::setNormalised(int index, float value) {
  if (plugin_ != nullptr) plugin_->setNormalised(index, value);
}

float PPlugIn::getNormalised(int index) {
  return plugin_ != nullptr ? plugin_->getNormalised(index) : 0.0f;
}

void PPlugIn::setReal(int index, float value) {
  if (plugin_ != nullptr) plugin_->setReal(index, value);
}

float PPlugIn::getReal(int index) {
  return plugin_ != nullptr ? plugin_->getReal(index) : 0.0f;
}

void PPlugIn::setViewNormalised(int row, int slot, float value) {
  if (gui_ != nullptr) gui_->setViewNormalised(row, slot, value);
}

void PPlugIn::setViewReal(int row, int slot, float value) {
  if (gui_ != nullptr) gui_->setViewReal(row, slot, value);
}

void PPlugIn::setViewText(int row, int slot, const char* text) {
  if (gui_ != nullptr) gui_->setViewText(row, slot, text);
}

float PPlugIn::getViewNormalised(int row, int slot) {
  return gui_ != nullptr ? gui_->getViewNormalised(row, slot) : 0.0f;
}

float PPlugIn::getViewReal(int row, int slot) {
  return gui_ != nullptr ? gui_->getViewReal(row, slot) : 0.0f;
}

void PPlugIn::getViewText(int row, int slot, char* out, int capacity) {
  if (gui_ != nullptr) gui_->getViewText(row, slot, out, capacity);
}

Parameter* PPlugIn::createParameter(const ParameterDescriptor& descriptor) {
  return new Parameter(descriptor);
}

void PPlugIn::onParameterChanged(int) {}

void PPlugIn::notifyAll() {
  if (plugin_ == nullptr) return;
  for (int i = 0; i < plugin_->getParameterCount(); ++i) plugin_->notifyObservers(i);
}

void PPlugIn::onTimerHook(iGUI*) {}

}  // namespace velmora
