// Undo and redo from the keyboard on the main frame, and the default mix written while the
// program runs.
#include <filesystem>

#include "control_panel/mixer/mix_file_format.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "tests/app/app_fixture.h"

namespace velmora::test {
namespace {

class UndoWindowTest : public AppFixture {
 protected:
  // The first input's fader dragged down with the real pointer, resting `restMs` halfway with
  // the button down.
  void dragInputFader(uint32_t restMs = 0) {
    wxUIActionSimulator sim;
    pointerAt(sim, 50, 125);
    sim.MouseDown();
    pump(2);
    pointerAt(sim, 50, 145);
    pump(2);
    if (restMs > 0) {
      clock.advance(restMs);
      pump(2);
    }
    pointerAt(sim, 50, 165);
    sim.MouseUp();
    pump(3);
  }
};

std::vector<uint32_t> inputMix(simbus::SimBus& bus, uint32_t serial) {
  std::vector<uint32_t> values;
  for (size_t i = 0; i < 52; ++i) values.push_back(bus.peek(serial, i).value());
  return values;
}

TEST_F(UndoWindowTest, KeysUndoADragInOnePassAndRedoIt) {
  start();
  const auto before = inputMix(*bus, serial);
  const float level = plugin().getNormalised(param::kAnalogueLevel);
  dragInputFader();
  const auto dragged = inputMix(*bus, serial);
  ASSERT_NE(dragged, before);
  frame().SetFocus();
  wxUIActionSimulator sim;
  struct KeyCase {
    int key;
    int modifiers;
    const char* status;
    bool undone;
  };
  const KeyCase keys[] = {
      {'Z', wxMOD_CONTROL, "Undo: Input 1 Mix Level", true},
      {'Z', wxMOD_CONTROL | wxMOD_SHIFT, "Redo: Input 1 Mix Level", false},
      {'Z', wxMOD_CONTROL, "Undo: Input 1 Mix Level", true},
      {'Y', wxMOD_CONTROL, "Redo: Input 1 Mix Level", false},
  };
  for (const KeyCase& k : keys) {
    SCOPED_TRACE(k.status);
    sim.Char(k.key, k.modifiers);
    wxYield();
    panel->idlePass();  // one pass takes it to the unit
    EXPECT_EQ(panel->ui().status(), k.status);
    EXPECT_EQ(inputMix(*bus, serial), k.undone ? before : dragged);
    EXPECT_EQ(plugin().getNormalised(param::kAnalogueLevel) == level, k.undone);
  }
}

TEST_F(UndoWindowTest, ADragThatRestsLongerThanABurstIsStillOneUndoStep) {
  start();
  const auto before = inputMix(*bus, serial);
  dragInputFader(MixJournal::kBurstQuietMs * 2);
  ASSERT_NE(inputMix(*bus, serial), before);
  panel->undo();
  panel->idlePass();
  EXPECT_EQ(inputMix(*bus, serial), before) << "the drag was cut into two steps";
}

TEST_F(UndoWindowTest, TheDefaultMixIsWrittenTwoSecondsAfterAChangeAndReadAtTheNextStart) {
  start();
  const UnitSerial unit = hal().CurrentSerial();
  const std::string path = defaultMixFilePath(unit.low, unit.high);
  std::filesystem::remove(path);
  plugin().setNormalised(param::kAnalogueLevel, 0.25f);
  pump();
  clock.advance(MixAutosave::kDelayMs);
  pump();
  ASSERT_TRUE(std::filesystem::exists(path));
  panel->exit(false);  // a crash: no save at the end
  closeFrames();
  panel.reset();
  launch();
  EXPECT_EQ(plugin().getNormalised(param::kAnalogueLevel), 0.25f);
}

}  // namespace
}  // namespace velmora::test
