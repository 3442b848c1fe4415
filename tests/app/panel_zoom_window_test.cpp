// The panel zoomed: the mouse, the controls under it, the frame's size, the connection-lost
// window and the menus all work in panel pixels. Zoomed after the start, the picture is the
// ×1 one scaled; started at ×2, it is drawn with the ×2 skin.
#include "control_panel/panels/fl_faders.h"
#include "control_panel/toolkit/panel_zoom.h"
#include "control_panel/toolkit/view.h"
#include "tests/app/app_fixture.h"

namespace velmora::test {
namespace {

struct PanelZoomWindowTest : AppFixture {
  void zoom(int factor) {
    panel->windows().setZoom(factor);
    pump(3);
  }

  // The display's pointer at screen pixel (x, y) of the current frame's panel.
  void screenPointerAt(wxUIActionSimulator& sim, int x, int y) {
    sim.MouseMove(frame().canvas()->ClientToScreen(wxPoint(x, y)));
    pump();
  }

  std::vector<float> parameters() {
    std::vector<float> values;
    for (int i = 0; i < plugin().getParameterCount(); ++i)
      values.push_back(plugin().getNormalised(i));
    return values;
  }

  void restore(const std::vector<float>& values) {
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
      if (plugin().getNormalised(i) != values[i]) plugin().setNormalised(i, values[i]);
    }
    pump(2);
  }

  // The parameters after a vertical drag of `screenPixels` on the first knob of the layout.
  std::vector<float> afterKnobDrag(int screenPixels) {
    Rect knob{};
    PluginGUI& layout = *frame().getPluginGUI();
    for (int row = 0; row < layout.getRowCount(); ++row) {
      if (View* view = layout.getView(row); dynamic_cast<flKnob*>(view) != nullptr) {
        view->getRect(&knob);
        break;
      }
    }
    const int z = frame().zoom();
    const int x = (knob.left + knob.right) / 2 * z, y = (knob.top + knob.bottom) / 2 * z;
    wxUIActionSimulator sim;
    screenPointerAt(sim, x, y);
    sim.MouseDown();
    pump(2);
    screenPointerAt(sim, x, y - screenPixels);
    sim.MouseUp();
    pump(3);
    return parameters();
  }
};

TEST_F(PanelZoomWindowTest, TheFrameShowsThePanelAtWholeMultiplesOfItsSize) {
  start();
  View& root = *frame().getPluginGUI()->getRoot();
  for (const int factor : {2, 1}) {  // ×3 of the normal layout is wider than the test display
    zoom(factor);
    EXPECT_EQ(frame().canvas()->GetClientSize(),
              wxSize(root.getWidth() * factor, root.getHeight() * factor))
        << "at ×" << factor;
  }
}

TEST_F(PanelZoomWindowTest, AKnobDragOfTwoHundredScreenPixelsAtTwoIsAHundredAtOne) {
  start();
  const std::vector<float> before = parameters();
  const std::vector<float> atOne = afterKnobDrag(100);
  ASSERT_NE(atOne, before) << "the drag moved the knob";
  restore(before);
  zoom(2);
  EXPECT_EQ(afterKnobDrag(200), atOne);
}

TEST_F(PanelZoomWindowTest, AClickOnAControlsScreenPixelHitsThatControl) {
  start();
  zoom(2);
  wxUIActionSimulator sim;
  screenPointerAt(sim, 2 * 155 + 1, 2 * 373 + 1);  // within the SHRINK switch's panel pixel
  sim.MouseDown();
  pump(2);
  sim.MouseUp();
  pump(4);
  EXPECT_NE(dynamic_cast<VelmoraShrinkGUI*>(frame().currentLayout()), nullptr);
}

TEST_F(PanelZoomWindowTest, TheScreenAtTwoIsThePictureAtOneScaledByTwo) {
  start();
  pump(2 * ControlPanel::kSlowPassEvery);
  const WxSurface& surface = frame().surface();
  const std::vector<uint32_t> atOne = surface.shownPixels();
  ASSERT_FALSE(atOne.empty());
  const int width = surface.shownWidth(), height = surface.shownHeight();
  zoom(2);
  EXPECT_EQ(surface.shownPixels(), atOne) << "the panel is still drawn in panel pixels";
  EXPECT_EQ(surface.screenPixels(), zoomPixels(atOne.data(), width, height, 2));
}

TEST_F(PanelZoomWindowTest, StartedAtTwoThePanelIsDrawnWithTheDoubleSkinAndShownAsDrawn) {
  startZoom = 2;
  start();
  pump(2 * ControlPanel::kSlowPassEvery);
  const WxSurface& surface = frame().surface();
  EXPECT_EQ(surface.shownScale(), 2);
  EXPECT_EQ(surface.shownWidth(), 704) << "the layout stays in panel pixels";
  EXPECT_EQ(surface.shownHeight(), 394);
  ASSERT_EQ(surface.shownPixels().size(), 1408u * 788u);
  EXPECT_EQ(surface.screenPixels(), surface.shownPixels()) << "no pixel repeated";
  EXPECT_EQ(frame().canvas()->GetClientSize(), wxSize(1408, 788));
  // The hit areas are those of ×1, in panel pixels.
  wxUIActionSimulator sim;
  screenPointerAt(sim, 2 * 155 + 1, 2 * 373 + 1);  // within the SHRINK switch's panel pixel
  sim.MouseDown();
  pump(2);
  sim.MouseUp();
  pump(4);
  EXPECT_NE(dynamic_cast<VelmoraShrinkGUI*>(frame().currentLayout()), nullptr);
  // The skin stays for the run: at ×1 every other pixel is shown.
  zoom(1);
  EXPECT_EQ(surface.screenPixels().size(), 456u * 373u);
}

TEST_F(PanelZoomWindowTest, TheConnectionLostWindowAndTheMenusKeepTheirPanelPlaces) {
  start();
  zoom(2);
  bus->unplug(serial);
  pump(ControlPanel::kSlowPassEvery);
  wxPluginGUIFrame& lost = *panel->windows().connectionLostFrame();
  ASSERT_TRUE(lost.IsShown());
  const wxRect main = frame().GetRect();
  // Centred in panel pixels, 100 panel pixels below the main frame's top.
  const int across = (main.width / 2 - lost.GetSize().GetWidth() / 2) / 2;
  EXPECT_EQ(lost.GetPosition(), wxPoint(main.x + 2 * across, main.y + 2 * 100));
  View& lostRoot = *lost.getPluginGUI()->getRoot();
  EXPECT_EQ(lost.canvas()->GetClientSize(),
            wxSize(2 * lostRoot.getWidth(), 2 * lostRoot.getHeight()));
  const int shiftY = frame().GetWindowStyleFlag() == MyFrame::kFloatStyle ? 22 : 29;
  const wxPoint mouse = frame().GetPosition() + wxPoint(100, 100);
  EXPECT_EQ(frame().menuPosition(mouse), wxPoint(100 - 2 * 3, 100 - 2 * shiftY));
}

}  // namespace
}  // namespace velmora::test
