// The control panel's windows driven in this process: the mouse on the panel, the unit's
// knob, the event queue, the frame swap and the layouts, the unit menu and the main menu.
#include <gmock/gmock.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/tooltip.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "control_panel/app/about_text.h"
#include "control_panel/app/wx_clipboard.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "control_panel/toolkit/view.h"
#include "simbus/sim_unit.h"
#include "tests/app/app_fixture.h"

namespace velmora::test {
namespace {

using ControlPanelWindowTest = AppFixture;

std::vector<uint32_t> inputMix(simbus::SimBus& bus, uint32_t serial) {
  std::vector<uint32_t> values;
  for (size_t i = 0; i < 52; ++i) values.push_back(bus.peek(serial, i).value());
  return values;
}

TEST_F(ControlPanelWindowTest, DraggingAFaderChangesTheUnitsCoefficients) {
  start();
  const auto before = inputMix(*bus, serial);
  wxUIActionSimulator sim;
  pointerAt(sim, 50, 125);
  sim.MouseDown();
  pump(2);
  pointerAt(sim, 50, 165);
  sim.MouseUp();
  pump(3);
  EXPECT_LT(plugin().getNormalised(param::kAnalogueLevel), 0.7f);
  EXPECT_NE(inputMix(*bus, serial), before) << "the move reached the unit";
}

TEST_F(ControlPanelWindowTest, DuringADragTheStatusLineShowsTheFadersNameAndLevel) {
  start();
  wxUIActionSimulator sim;
  pointerAt(sim, 50, 125);
  sim.MouseDown();
  pump(2);
  pointerAt(sim, 50, 145);
  pump(2);
  const float level = plugin().getNormalised(param::kAnalogueLevel);
  char expected[64];
  std::snprintf(expected, sizeof expected, "Input 1 Mix Level: %.1f dB", 20 * std::log10(level));
  ASSERT_NE(frame().GetStatusBar(), nullptr);
  EXPECT_EQ(frame().GetStatusBar()->GetStatusText(0), expected);
  EXPECT_EQ(frame().canvas()->GetToolTip()->GetTip(), expected);
  sim.MouseUp();
  pump(2);
}

TEST_F(ControlPanelWindowTest, TurningTheUnitsKnobMovesTheKnobOnScreen) {
  start();
  plugin().setNormalised(param::kHardwareControl, 1.0f);
  pump(2);
  const int repaints = frame().surface().repaintRequests();
  bus->withUnit(serial, [](simbus::SimUnit& unit) { unit.turnKnob(40); });
  pump(3);
  EXPECT_NEAR(plugin().getNormalised(param::kOutputLevel), 40.0f / 255.0f, 0.01f);
  EXPECT_GT(frame().surface().repaintRequests(), repaints);
}

TEST_F(ControlPanelWindowTest, NothingChangingRepaintsNothing) {
  start();
  pump(2 * ControlPanel::kSlowPassEvery);  // the unit's lock and sync state shown
  const int repaints = frame().surface().repaintRequests();
  pump(20);
  EXPECT_EQ(frame().surface().repaintRequests(), repaints);
  frame().getPluginGUI()->getRoot()->invalidateAll();  // a draw pass with the same pixels
  pump(20);
  EXPECT_EQ(frame().surface().repaintRequests(), repaints);
}

TEST_F(ControlPanelWindowTest, EightEventsBeforeAPassHandleSeven) {
  start();
  const int handled = panel->handledEvents();
  for (int i = 0; i < 8; ++i) panel->notify(kHalEventUnitClosed);
  panel->idlePass();
  EXPECT_EQ(panel->handledEvents() - handled, 7);
}

TEST_F(ControlPanelWindowTest, TheFloatFrameComesAtTheFirstSwapKeepingTheBottomEdgeAndTheKeys) {
  start();
  EXPECT_EQ(panel->windows().floatFrame(), nullptr) << "built before it was ever shown";
  MyFrame& normal = frame();
  normal.Move(200, 300);
  pump();
  const wxRect before = normal.GetRect();
  plugin().setNormalised(param::kFloatWindow, 1.0f);
  pump();
  MyFrame& floating = frame();
  ASSERT_EQ(&floating, panel->windows().floatFrame());
  EXPECT_TRUE(floating.IsShown());
  EXPECT_FALSE(normal.IsShown());
  EXPECT_EQ(floating.GetRect().GetBottom(), before.GetBottom());
  EXPECT_EQ(floating.GetPosition().x, before.x);
  EXPECT_EQ(floating.getPluginGUI(), floating.currentLayout());
  // The frame built late has the panel's keys too.
  floating.SetFocus();
  wxUIActionSimulator sim;
  sim.Char('L', wxMOD_CONTROL);
  pump(3);
  EXPECT_NE(dynamic_cast<VelmoraShrinkGUI*>(floating.currentLayout()), nullptr);
  plugin().setNormalised(param::kFloatWindow, 0.0f);
  pump();
  EXPECT_EQ(&frame(), &normal);
  EXPECT_TRUE(normal.IsShown());
}

TEST_F(ControlPanelWindowTest, ClickingShrinkSwitchesTheLayoutAndDrawingGoesOn) {
  start();
  wxUIActionSimulator sim;
  pointerAt(sim, 155, 373);  // the SHRINK switch
  sim.MouseDown();
  pump(2);
  sim.MouseUp();
  pump(4);
  ASSERT_NE(dynamic_cast<VelmoraShrinkGUI*>(frame().currentLayout()), nullptr);
  EXPECT_EQ(frame().getPluginGUI(), frame().currentLayout());
  EXPECT_EQ(frame().drawingContext().currentTarget(), nullptr) << "a draw pass left open";
  const int repaints = frame().surface().repaintRequests();
  plugin().setNormalised(param::kOutputLevel, 0.1f);  // shown in the shrink layout too
  pump(2);
  EXPECT_GT(frame().surface().repaintRequests(), repaints);
}

TEST_F(ControlPanelWindowTest, ShrinkAt192kHzKeepsTheAc3Layout) {
  start();
  bus->setDriverRate(192000);
  pump(2);
  ASSERT_EQ(hal().GetSampleRate(), 192000);
  ASSERT_NE(dynamic_cast<VelmoraAC3GUI*>(frame().currentLayout()), nullptr);
  plugin().setNormalised(param::kShrinkMode, 1.0f);
  pump();
  EXPECT_NE(dynamic_cast<VelmoraAC3GUI*>(frame().currentLayout()), nullptr);
}

TEST_F(ControlPanelWindowTest, TheUnitMenuListsEighteenUnitsButOnlySeventeenAreChoosable) {
  for (uint32_t i = 1; i < 18; ++i) bus->plug(simbus::UnitSpec{simbus::Model::Studio, 0x100 + i});
  start();
  hal().OnMSWDeviceChange();
  pump(2);
  ASSERT_EQ(VelmoraHAL::UnitCount(), 18u);
  std::unique_ptr<wxMenu> menu(frame().buildUnitMenu());
  EXPECT_EQ(menu->GetMenuItemCount(), 18u);
  const UnitSerial current = hal().CurrentSerial();
  frame().runCommand(MyFrame::kIdFirstUnit + 17);  // id 26: not bound
  EXPECT_EQ(hal().CurrentSerial(), current);
}

TEST_F(ControlPanelWindowTest, AUnitWhoseNameCannotBeReadIsListedByModelAndSerial) {
  start();
  // Every coefficient transfer of the unit fails from now on: its name cannot be read.
  bus->addFault({.action = simbus::FaultAction::Fail,
                 .kind = simbus::TransferKind::Any,
                 .serial = serial,
                 .count = 1000,
                 .status = 0xE0000001});
  std::unique_ptr<wxMenu> menu(frame().buildUnitMenu());
  ASSERT_EQ(menu->GetMenuItemCount(), 1u);
  EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabelText(), "Velmora PRO Studio (9029)");
  bus->clearFaults();
}

TEST_F(ControlPanelWindowTest, ChoosingTheCurrentUnitSavesNothing) {
  start();
  const UnitSerial current = hal().CurrentSerial();
  frame().runCommand(MyFrame::kIdFirstUnit + 0);
  pump();
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  EXPECT_EQ(hal().CurrentSerial(), current);
  EXPECT_TRUE(hal().IsOpen());
}

// The main menu's unit commands reach the unit: hardware monitoring (118: 0xFFFFFFFF on, 0
// off), ADAT inputs (112: 1 = off) and standalone mode (111: 0 Mixing, 1 Tracking).
TEST_F(ControlPanelWindowTest, TheMenuCommandsSetTheirCoefficientsOnTheUnit) {
  start(simbus::Model::Studio);
  const struct {
    int command;
    uint32_t coefficient;
    uint32_t value;
  } steps[] = {
      {MyFrame::kIdHardwareMonitoring, 118, 0xFFFFFFFF},
      {MyFrame::kIdHardwareMonitoring, 118, 0},
      {MyFrame::kIdTracking, 111, 1},
      {MyFrame::kIdMixing, 111, 0},
      {MyFrame::kIdDisableAdat, 112, 1},  // last: the unit then waits to be switched off and on
  };
  for (const auto& step : steps) {
    frame().runCommand(step.command);
    pump();
    EXPECT_EQ(bus->peek(serial, step.coefficient).value(), step.value)
        << "command " << step.command << ", coefficient " << step.coefficient;
  }
}

TEST_F(ControlPanelWindowTest, TheAdatItemIsEnabledOnAStudio) {
  start(simbus::Model::Studio);
  EXPECT_TRUE(frame().mainMenu().IsEnabled(MyFrame::kIdDisableAdat));
}

TEST_F(ControlPanelWindowTest, TheAdatItemIsDisabledOnACompact) {
  start(simbus::Model::Compact);
  EXPECT_FALSE(frame().mainMenu().IsEnabled(MyFrame::kIdDisableAdat));
}

TEST_F(ControlPanelWindowTest, UnplugShowsTheConnectionLostWindowAndPlugHidesIt) {
  start();
  ASSERT_TRUE(hal().IsOpen());
  bus->unplug(serial);
  pump(ControlPanel::kSlowPassEvery);
  wxPluginGUIFrame& lost = *panel->windows().connectionLostFrame();
  EXPECT_TRUE(lost.IsShown());
  EXPECT_EQ(panel->ui().status(), "Unit disconnected");
  // Centred over the main frame, 100 pixels below its top.
  const wxRect main = frame().GetRect();
  EXPECT_EQ(lost.GetPosition(),
            wxPoint(main.x + (main.width - lost.GetSize().GetWidth()) / 2, main.y + 100));
  bus->plug(simbus::UnitSpec{simbus::Model::Studio, 0x00012345});
  for (int i = 0; i < 40 && !hal().IsOpen(); ++i) pump(ControlPanel::kSlowPassEvery);
  pump(ControlPanel::kSlowPassEvery);
  EXPECT_TRUE(hal().IsOpen());
  EXPECT_FALSE(panel->windows().connectionLostFrame()->IsShown());
}

TEST_F(ControlPanelWindowTest, TheAboutBoxNamesTheVersionAndTheConnectedUnitsFirmware) {
  const struct {
    simbus::Model model;
    const char* line;
  } cases[] = {{simbus::Model::Studio, "Velmora PRO Studio firmware Version 1.2.3\n"},
               {simbus::Model::Compact, "Velmora PRO Compact firmware Version 1.2.3\n"}};
  for (const auto& c : cases) {
    serial = bus->plug(simbus::UnitSpec{.model = c.model, .firmware = 0x01020003}).value();
    launch();
    EXPECT_EQ(aboutBoxText(&hal()), std::string("VelmoraControl PRO Version 2.6\n\n") + c.line +
                                        "\n\n(c) Corvane. Velmora PRO is a trademark of Corvane.");
    bus->unplug(serial);
    pump(ControlPanel::kSlowPassEvery);
    EXPECT_THAT(aboutBoxText(&hal()), ::testing::HasSubstr("\n\nNo Velmora PRO connected\n\n\n"));
    panel->exit(false);
    closeFrames();
    panel.reset();
  }
}

// Answers every modal dialog at once with OK, writing down what message boxes said.
class MessageBoxRecorder : public wxModalDialogHook {
 public:
  MessageBoxRecorder() { Register(); }
  std::vector<std::string> messages;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
      messages.push_back(box->GetMessage().utf8_string());
    }
    return wxID_OK;
  }
  void Exit(wxDialog*) override {}
};

// Without the updater, or with one that cannot be started, "Update Firmware..." says what it
// looked for and why it failed; the program and the unit stay as they were.
TEST_F(ControlPanelWindowTest, UpdateFirmwareThatCannotStartTheUpdaterSaysWhyAndLeavesAllAsItWas) {
  start();
  const std::string updater = folder / "VelmoraProUpdater";
  MessageBoxRecorder boxes;
  frame().setUpdaterPath(updater);
  frame().runCommand(MyFrame::kIdUpdateFirmware);
  pump();
  std::ofstream(updater) << "not a program\n";
  std::filesystem::permissions(
      updater, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  frame().runCommand(MyFrame::kIdUpdateFirmware);
  pump();
  EXPECT_EQ(
      boxes.messages,
      (std::vector<std::string>{
          "The firmware updater could not be started: there is no " + updater + ".",
          "The firmware updater could not be started: " + updater + " may not be run (error 5)."}));
  EXPECT_TRUE(frame().IsShown());
  EXPECT_TRUE(hal().IsOpen()) << "the unit was left closed";
}

TEST_F(ControlPanelWindowTest, UpdateFirmwareClosesTheUnitStartsTheUpdaterAndEndsThePanel) {
  start();
  const std::string updater = folder / "VelmoraProUpdater";
  const std::string started = folder / "updater-started";
  std::ofstream(updater) << "#!/bin/sh\ntouch '" << started << "'\n";
  std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
  frame().setUpdaterPath(updater);
  frame().runCommand(MyFrame::kIdUpdateFirmware);
  EXPECT_FALSE(hal().IsOpen()) << "the unit was left open for the updater";
  pump();
  EXPECT_EQ(panel->windows().normalFrame(), nullptr) << "the panel did not end";
  EXPECT_EQ(panel->windows().floatFrame(), nullptr);
  // The updater is a real process: a bounded wait for its mark.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(started) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(std::filesystem::exists(started)) << "the updater did not start";
}

TEST_F(ControlPanelWindowTest, TheToolTipAndStatusLineNameTheControlUnderTheMouseWithItsValue) {
  start();
  wxUIActionSimulator sim;
  pointerAt(sim, 50, 125);  // input 1's fader
  pump(2);
  const wxToolTip* tip = frame().canvas()->GetToolTip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tip->GetTip(), "Input 1 Mix Level: -6.0 dB");  // level 0.5: 20 log10(0.5)
  ASSERT_NE(frame().GetStatusBar(), nullptr);
  EXPECT_EQ(frame().GetStatusBar()->GetStatusText(0), "Input 1 Mix Level: -6.0 dB");
}

TEST_F(ControlPanelWindowTest, TheClipboardKeepsABlockUnderItsFormatName) {
  start();
  WxClipboard clipboard;
  const std::string block("mix\0data", 8);
  ASSERT_TRUE(clipboard.open());
  clipboard.empty();
  ASSERT_TRUE(clipboard.setData("VMIX", block.data(), block.size()));
  clipboard.close();
  ASSERT_TRUE(clipboard.open());
  EXPECT_TRUE(clipboard.isFormatAvailable("VMIX"));
  EXPECT_FALSE(clipboard.isFormatAvailable("VTXT"));
  ASSERT_EQ(clipboard.dataSize("VMIX"), block.size());
  EXPECT_EQ(std::string(static_cast<const char*>(clipboard.data("VMIX")), block.size()), block);
  EXPECT_EQ(clipboard.data("VTXT"), nullptr);
  clipboard.close();
}

}  // namespace
}  // namespace velmora::test
