// The control panel in this process on an in-process simulated bus and a fake clock, its
// windows on the test display: passes run one by one, the mouse is the display's real one.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <memory>
#include <optional>

#include "control_panel/app/control_panel.h"
#include "platform/clock.h"
#include "platform/vhpd_client.h"
#include "simbus/inproc_client.h"
#include "simbus/sim_bus.h"
#include "tests/support/scratch.h"

namespace velmora::test {

class AppFixture : public ::testing::Test {
 protected:
  platform::FakeClock clock{5000};
  platform::ScopedClock useClock{clock};
  std::shared_ptr<simbus::SimBus> bus = std::make_shared<simbus::SimBus>();
  platform::vhpd::ScopedClient useBus{simbus::makeInprocClient(bus)};
  platform::test::ScratchFolder folder;
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", folder.path()};
  std::unique_ptr<ControlPanel> panel;
  uint32_t serial = 0;
  int startZoom = 1;  // the zoom the program starts at (its skin's resolution follows it)

  void start(simbus::Model model = simbus::Model::Studio) {
    serial = bus->plug(simbus::UnitSpec{model, 0x00012345}).value();
    launch();
  }

  // The program started again over the bus as it is; `answer` answers its questions.
  void launch(std::function<bool(const std::string&)> answer = nullptr) {
    panel = std::make_unique<ControlPanel>();
    if (answer) panel->ui().answerQuestionsWith(std::move(answer));
    panel->windows().setZoom(startZoom);  // as the program sets it: before the start
    ASSERT_TRUE(panel->start(std::nullopt));
    pump(4);
  }

  // The program ended as closing its window ends it: the default mix saved.
  void quit() {
    panel->exit(true);
    closeFrames();
    panel.reset();
  }

  void TearDown() override {
    if (panel) panel->exit(false);
    closeFrames();
    panel.reset();
  }

  void closeFrames() {
    if (!panel) return;
    if (MyFrame* frame = panel->windows().floatFrame()) frame->Destroy();
    if (MyFrame* frame = panel->windows().normalFrame()) frame->Destroy();
    wxTheApp->ProcessIdle();
  }

  // Window events, the frames' idle handling and one idle pass, `passes` times.
  void pump(int passes = 1) {
    for (int i = 0; i < passes; ++i) {
      wxYield();
      wxTheApp->ProcessIdle();
      panel->idlePass();
    }
  }

  MyFrame& frame() { return *panel->windows().CurrentMainFrame(); }
  VelmoraHAL& hal() { return panel->hal(); }
  Plugin& plugin() { return panel->plugin(); }

  // The display's pointer at client point (x, y) of the current frame's panel.
  void pointerAt(wxUIActionSimulator& sim, int x, int y) {
    sim.MouseMove(frame().canvas()->ClientToScreen(wxPoint(x, y)));
    pump();
  }
};

}  // namespace velmora::test
