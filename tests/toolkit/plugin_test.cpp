#include "control_panel/toolkit/plugin.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora {
namespace {

const ParameterDescriptor kTable[] = {
    {0, "Level", 0, 1, 0.5f, FORMAT_NONE, LAW_LINEAR},
    {1, "Mute", 0, 1, 0, FORMAT_ON_OFF, LAW_STEPPED},
    {2, "", -10, 10, 0, FORMAT_DB, LAW_LINEAR},
};

// Records every call, host and observers alike, in one log.
struct Recorder : PPluginInterface {
  std::vector<std::string> log;
  float getSampleRate() override { return 48000; }
  void parameterChanged(int id) override { log.push_back("host " + std::to_string(id)); }
};

struct Observer : Plugin::ParameterObserver {
  Observer(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
  void parameterChanged(int index) override {
    log.push_back(name + " " + std::to_string(index));
    if (onChange) onChange(index);
  }
  std::vector<std::string>& log;
  std::string name;
  std::function<void(int)> onChange;
};

struct PluginTest : ::testing::Test {
  Plugin plugin{kTable, 3};
  Recorder host;
  Observer a{host.log, "a"}, b{host.log, "b"}, c{host.log, "c"};
};

TEST_F(PluginTest, BuildsOneParameterPerDescriptorAtItsDefault) {
  ASSERT_EQ(plugin.getParameterCount(), 3);
  EXPECT_EQ(plugin.getNormalised(0), 0.5f);
  EXPECT_EQ(plugin.getReal(2), 0.0f);
  EXPECT_EQ(plugin.getNormalised(2), 0.5f);
  EXPECT_EQ(plugin.getHost(), nullptr);
  EXPECT_EQ(plugin.getParameter(1)->getFormat(), FORMAT_ON_OFF);
}

TEST_F(PluginTest, IgnoresInvalidIndices) {
  plugin.addObserver(&a);
  for (int index : {-1, 3, 1000}) {
    plugin.setNormalised(index, 1);
    plugin.setReal(index, 1);
    plugin.userChanged(index, true);
    EXPECT_EQ(plugin.getNormalised(index), 0.0f);
    EXPECT_EQ(plugin.getReal(index), 0.0f);
    EXPECT_EQ(plugin.getParameter(index), nullptr);
    char name[8] = "keep";
    plugin.getParameterName(index, name, 8);
    EXPECT_STREQ(name, "keep");
  }
  EXPECT_TRUE(host.log.empty());
}

TEST_F(PluginTest, NameCopyAddsNoTerminatorWhenTheNameFillsTheCapacity) {
  char name[8] = "xxxxxxx";
  plugin.getParameterName(0, name, 3);
  EXPECT_EQ(std::string(name, 7), "Levxxxx");
  plugin.getParameterName(0, name, 8);
  EXPECT_STREQ(name, "Level");
}

TEST_F(PluginTest, UserChangeCallsTheHostFirstThenObserversInOrder) {
  plugin.setHost(&host);
  plugin.addObserver(&a);
  plugin.addObserver(&b);
  plugin.userChanged(1, true);
  plugin.userChanged(2, false);
  EXPECT_EQ(host.log, (std::vector<std::string>{"host 1", "a 1", "b 1", "a 2", "b 2"}));
}

TEST_F(PluginTest, SettersNotifyObserversButNotTheHost) {
  plugin.setHost(&host);
  plugin.addObserver(&a);
  plugin.setNormalised(0, 1.5f);  // stored as given
  plugin.setReal(2, 5);
  EXPECT_EQ(plugin.getNormalised(0), 1.5f);
  EXPECT_EQ(plugin.getNormalised(2), 0.75f);
  EXPECT_EQ(host.log, (std::vector<std::string>{"a 0", "a 2"}));
}

TEST_F(PluginTest, ObserverRemovedDuringANotificationIsSkippedAndCompactedAfterwards) {
  plugin.addObserver(&a);
  plugin.addObserver(&b);
  plugin.addObserver(&c);
  a.onChange = [&](int) {
    plugin.removeObserver(&a);
    plugin.removeObserver(&b);
    plugin.addObserver(&b);  // added during the pass: not called in it
  };
  plugin.notifyObservers(0);
  EXPECT_EQ(host.log, (std::vector<std::string>{"a 0", "c 0"}));
  EXPECT_EQ(plugin.observers(), (std::vector<Plugin::ParameterObserver*>{&c, &b}));
}

TEST_F(PluginTest, NestedNotificationsCompactOnlyWhenTheOutermostReturns) {
  plugin.addObserver(&a);
  plugin.addObserver(&b);
  size_t nullsSeenInside = 0;
  a.onChange = [&](int index) {
    if (index != 0) return;
    plugin.setNormalised(1, 1);  // nested pass
    nullsSeenInside = std::count(plugin.observers().begin(), plugin.observers().end(), nullptr);
  };
  b.onChange = [&](int index) {
    if (index == 1) plugin.removeObserver(&b);
  };
  plugin.notifyObservers(0);
  EXPECT_EQ(host.log, (std::vector<std::string>{"a 0", "a 1", "b 1"}));
  EXPECT_EQ(nullsSeenInside, 1u);
  EXPECT_EQ(plugin.observers(), (std::vector<Plugin::ParameterObserver*>{&a}));
}

TEST_F(PluginTest, SameObserverTwiceIsCalledTwiceAndRemovedTogether) {
  plugin.addObserver(&a);
  plugin.addObserver(&a);
  plugin.notifyObservers(2);
  plugin.removeObserver(&a);
  plugin.notifyObservers(2);
  EXPECT_EQ(host.log, (std::vector<std::string>{"a 2", "a 2"}));
  EXPECT_TRUE(plugin.observers().empty());
}

TEST_F(PluginTest, IdentifiesItselfWithConstants) {
  EXPECT_EQ(plugin.getUniqueId(), 0x4352564Eu);  // "CRVN"
  EXPECT_EQ(plugin.getTypeCode(), 0x73747073u);  // "stps"
  EXPECT_EQ(plugin.getVersion(), 0x10000u);
}

TEST_F(PluginTest, ProcessCopiesEachChannelWithItsStrides) {
  const float in0[] = {1, 9, 2, 9, 3, 9};
  const float in1[] = {4, 9, 5, 9, 6, 9};
  float out0[9] = {}, out1[9] = {};
  const float* inputs[] = {in0, in1};
  float* outputs[] = {out0, out1};
  plugin.process(inputs, 2, 2, 3, outputs, 3, 0);
  EXPECT_EQ(std::vector<float>(out0, out0 + 9), (std::vector<float>{1, 0, 0, 2, 0, 0, 3, 0, 0}));
  EXPECT_EQ(std::vector<float>(out1, out1 + 9), (std::vector<float>{4, 0, 0, 5, 0, 0, 6, 0, 0}));
}

}  // namespace
}  // namespace velmora
