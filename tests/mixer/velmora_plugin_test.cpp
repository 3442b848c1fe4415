// The text each mixer parameter is shown as (panel and velmoractl alike).
#include "control_panel/mixer/velmora_plugin.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string textOf(VelmoraPlugin& plugin, int id) {
  char text[64] = {};
  const int length = plugin.valueText(id, text, sizeof text);
  EXPECT_EQ(length, static_cast<int>(std::string(text).size())) << id;
  return text;
}

TEST(VelmoraPluginText, LevelsInDecibelsPansAsLeftCentreRightSwitchesAsStatesTheRestAsNumbers) {
  const struct {
    int id;
    float normalised;
    const char* expected;
  } cases[] = {
      {62, 0.5f, "-6.0 dB"},   {62, 1.0f, "0.0 dB"},    {62, 0.0f, "-inf dB"},
      {20, 0.25f, "-12.0 dB"}, {134, 0.1f, "-20.0 dB"}, {166, 1.0f, "0.0 dB"},
      {70, 0.0f, "L100"},      {70, 0.5f, "C"},         {70, 0.75f, "R50"},
      {167, 1.0f, "R100"},     {104, 1.0f, "On"},       {12, 0.0f, "Off"},
      {46, 0.0f, "Off"},       {78, 1.0f, "On"},        {41, 0.125f, "48 kHz"},
      {41, 0.5f, "176.4 kHz"}, {53, 0.5f, "0.500"},
  };
  VelmoraPlugin plugin;
  for (const auto& c : cases) {
    plugin.setNormalised(c.id, c.normalised);
    EXPECT_EQ(textOf(plugin, c.id), c.expected) << c.id << " at " << c.normalised;
  }
  EXPECT_EQ(textOf(plugin, 181), "");
  EXPECT_EQ(textOf(plugin, -1), "");
}

}  // namespace
}  // namespace velmora
