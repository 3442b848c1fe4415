// Undo and redo of mix changes over the in-process unit: gestures as steps, the user's
// logic replayed, the unit's own controls as steps, and what is not mix left alone.
#include "control_panel/mixer/mix_journal.h"

#include <functional>

#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "mixer_fixture.h"

namespace velmora::test {
namespace {

class MixJournalTest : public MixerFixture {
 protected:
  MixJournal journal{plugin};

  std::vector<float> values() {
    std::vector<float> all;
    for (int id = 0; id < plugin.getParameterCount(); ++id) all.push_back(value(id));
    return all;
  }
  // The unit's knob turned to `position` (0-255) and read back by one pass of the mixers.
  void turnKnob(uint32_t position) {
    bus->poke(serial, coeff::COEFF_HW_KNOB, position);
    hal().updateAllMixers();
    journal.idle(clock.tickCount());
  }
};

int differences(const std::vector<float>& a, const std::vector<float>& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
  return count;
}

struct StepCase {
  const char* name;
  std::function<void()> prepare;  // before the journal starts
  std::function<void()> step;
  const char* label;
  int changed;  // parameters the step changes
};

TEST_F(MixJournalTest, EachGestureIsUndoneInOneStepWithItsSideEffectsAndRedone) {
  const int level = InputLevelId(0);
  const auto nothing = [] {};
  const StepCase cases[] = {
      {"drag", nothing,
       [this, level] {
         journal.beginGesture(level);
         for (float v : {0.6f, 0.7f, 0.8f, 0.9f}) userSet(level, v);
         journal.endGesture();
       },
       "Input 1 Mix Level", 1},
      {"linked faders", nothing,
       [this, level] {
         journal.beginGesture(level);
         for (float v : {0.3f, 0.2f}) {
           userSet(level, v);
           userSet(level + 1, v);  // the linked partner follows
         }
         journal.endGesture();
       },
       "Input 1 Mix Level", 2},
      {"solo click", nothing,
       [this] {
         userSet(param::kInputSolo + 2, 1);
         journal.commit();
       },
       "Input 3 Solo", kInputCount},
      {"hardware knob burst", [this] { userSet(param::kHardwareControl, 1); },
       [this] {
         for (uint32_t position : {40u, 80u, 120u}) {
           turnKnob(position);
           clock.advance(200);
         }
         clock.advance(MixJournal::kBurstQuietMs);
         journal.idle(clock.tickCount());
       },
       "Output Level for 1+2", 1},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    journal.clear();
    const std::vector<float> start = values();
    c.step();
    const std::vector<float> after = values();
    EXPECT_EQ(differences(start, after), c.changed);
    ASSERT_EQ(journal.undoCount(), 1u);
    EXPECT_EQ(journal.undo(), c.label);
    EXPECT_EQ(values(), start);
    EXPECT_EQ(journal.redo(), c.label);
    EXPECT_EQ(values(), after);
    EXPECT_EQ(journal.undoCount(), 1u);
  }
}

TEST_F(MixJournalTest, UndoneSoloReachesTheUnitsHardwareMuteInOnePass) {
  userSet(param::kOutputSolo + 1, 1);  // pairs 1+2 muted, on the unit too
  journal.commit();
  hal().updateAllMixers();
  ASSERT_EQ(coefficient(coeff::COEFF_HW_MUTE), 1u);
  journal.undo();
  hal().updateAllMixers();
  EXPECT_EQ(coefficient(coeff::COEFF_HW_MUTE), 0u);
  EXPECT_EQ(value(param::kOutputMute), 0.0f);
}

TEST_F(MixJournalTest, NewChangeClearsRedo) {
  userSet(InputLevelId(3), 0.1f);
  journal.commit();
  journal.undo();
  ASSERT_EQ(journal.redoCount(), 1u);
  userSet(InputLevelId(4), 0.2f);
  EXPECT_EQ(journal.redo(), std::nullopt);
  EXPECT_EQ(journal.redoCount(), 0u);
  EXPECT_EQ(value(InputLevelId(3)), 0.5f);
  EXPECT_EQ(journal.undo(), "Input 5 Mix Level");
}

TEST_F(MixJournalTest, WhatIsNotMixIsNotJournalled) {
  for (int id : {param::kSampleRate, param::kSyncSource, param::kEnableAdat1, param::kFloatWindow,
                 param::kShrinkMode, param::kInputMixGroup, param::kSaveSettings}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(MixJournal::IsJournalled(id));
    plugin.setNormalised(id, value(id) == 0 ? 1.0f : 0.0f);
    journal.commit();
    clock.advance(MixJournal::kBurstQuietMs);
    journal.idle(clock.tickCount());
    EXPECT_EQ(journal.undoCount(), 0u);
  }
  EXPECT_TRUE(MixJournal::IsJournalled(InputLevelId(0)));
}

TEST_F(MixJournalTest, JournalKeepsTheLatestStepsUpToItsBound) {
  for (size_t i = 0; i < MixJournal::kMaxSteps + 5; ++i) {
    userSet(InputLevelId(0), static_cast<float>(i + 1) / 1000);
    journal.commit();
  }
  EXPECT_EQ(journal.undoCount(), MixJournal::kMaxSteps);
  while (journal.undo()) {
  }
  EXPECT_EQ(value(InputLevelId(0)), 5.0f / 1000);  // the first five steps are gone
}

}  // namespace
}  // namespace velmora::test
