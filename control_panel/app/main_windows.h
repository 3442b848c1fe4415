// The control panel's windows: the float and normal main frames (one shown at a time), the
// connection-lost frame over the current one, the panel layouts and the plug-in adapter, built
// in the five steps start-up calls at its chosen points.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "control_panel/app/my_frame.h"
#include "control_panel/mixer/mixer_host.h"
#include "control_panel/mixer/velmora_plugin.h"
#include "control_panel/panels/velmora_gui.h"
#include "control_panel/toolkit/p_plugin.h"

namespace velmora {

class MainWindows final : public MainLayouts {
 public:
  MainWindows() = default;
  ~MainWindows();
  MainWindows(const MainWindows&) = delete;
  MainWindows& operator=(const MainWindows&) = delete;

  // Step 1; false when the program carries no skin. The ×2 skin too when the zoom set before
  // (and the display's scale) show the panel at an even factor; it stays for the run, so a
  // later zoom repeats or drops its pixels.
  bool loadSkin();
  // Step 2: the normal layout; the shrink and AC3 ones when a frame first chooses them (most
  // sessions never show them, and each costs its images and a canvas of its own).
  void createLayouts(VelmoraPlugin& plugin);
  VelmoraGUI* normalLayout() override;
  VelmoraGUI* shrinkLayout() override;
  VelmoraGUI* ac3Layout() override;
  // Step 3: the main frame the Float switch chooses; the other one when first shown (most
  // sessions never float, and a hidden frame still costs its window, idle work and timer).
  // `setUp` runs on each main frame as it is built, now or later.
  void createFrames(MixerHost& host, std::function<void(MyFrame&)> setUp = nullptr);
  // Step 4.
  void showCurrentFrame();
  // Step 5: the frame itself comes when it is first shown.
  void createConnectionLostFrame(VelmoraPlugin& plugin);

  // Every frame, those to come too, shows the panel at ×zoom (1 to 3).
  void setZoom(int zoom);
  int zoom() const { return zoom_; }

  void SetStatusText(const std::string& text);
  // The main frame the Float switch chooses, built when first needed; nullptr before step 3
  // and once the frames have ended.
  MyFrame* CurrentMainFrame();
  void ShowConnectionLost(bool show);
  // Both main frames (each that has been built).
  template <class F>
  void forEachMainFrame(F f) {
    if (float_ != nullptr) f(*float_);
    if (normal_ != nullptr) f(*normal_);
  }

  // Device pixels per window pixel of the display the panel starts on.
  static int displayDeviceScale();

  MyFrame* partnerOf(MyFrame& frame) override;
  MyFrame* floatFrame() const { return float_; }
  MyFrame* normalFrame() const { return normal_; }
  wxPluginGUIFrame* connectionLostFrame() const { return lost_; }
  PPlugIn* plugIn() const { return plugIn_.get(); }
  // The frames are gone (closed by the user or the toolkit).
  void forgetFrames();
  // Deletes the layouts and the adapter (after the frames let go of them).
  void deleteLayouts();

 private:
  void forgetWhenDestroyed(wxWindow* frame);
  // The float or the normal main frame, built when first needed (unless the frames ended).
  MyFrame* mainFrame(bool floating);
  MyFrame* buildMainFrame(bool floating);
  void buildConnectionLostFrame();

  std::unique_ptr<VelmoraAC3GUI> ac3_;
  std::unique_ptr<VelmoraShrinkGUI> shrink_;
  std::unique_ptr<VelmoraNormalGUI> normal_layout_;
  std::unique_ptr<PluginGUI> lostLayout_;
  std::unique_ptr<PPlugIn> plugIn_;
  VelmoraPlugin* plugin_ = nullptr;
  MixerHost* host_ = nullptr;
  std::function<void(MyFrame&)> setUpFrame_;
  bool mainFramesEnded_ = false;
  bool layoutsDeleted_ = false;
  VelmoraPlugin* lostPlugin_ = nullptr;
  bool lostBuilt_ = false;
  MyFrame* float_ = nullptr;
  MyFrame* normal_ = nullptr;
  wxPluginGUIFrame* lost_ = nullptr;
  int zoom_ = 1;
};

}  // namespace velmora
