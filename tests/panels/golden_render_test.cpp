// Golden renders: each layout in one typical state, drawn headlessly and compared pixel for
// pixel with the committed pictures in tests/panels/golden. After a deliberate change of the
// skin or a widget's look, regenerate them with
//
//   VELMORA_UPDATE_GOLDEN=1 build/debug/bin/panels_tests --gtest_filter='GoldenRender*'
//
// and look at the new pictures before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/panels/panel_fixture.h"
#include "tests/support/png_pixels.h"
#include "tests/support/scratch.h"

namespace velmora::test {
namespace {

// A Velmora PRO Studio at `rateIndex` (1-6), streaming and locked, with a mix on the faders.
void studioState(Plugin& plugin, int rateIndex) {
  plugin.setNormalised(180, 1);
  plugin.setReal(41, static_cast<float>(rateIndex));
  plugin.setNormalised(49, rateIndex <= 4 ? 1 : 0);
  plugin.setNormalised(50, rateIndex <= 2 ? 1 : 0);
  plugin.setNormalised(44, 1);
  plugin.setNormalised(45, 1);
  const float levels[] = {0.8f, 0.8f, 0.55f, 0.3f, 0.95f, 0.6f, 0.5f, 0.7f};
  const float pans[] = {0.1f, 0.9f, 0.35f, 0.5f, 0.7f, 0.5f, 0.2f, 0.8f};
  for (int c = 0; c < 8; ++c) {
    plugin.setNormalised(62 + c, levels[c]);
    plugin.setNormalised(70 + c, pans[c]);
  }
  plugin.setNormalised(106, 1);  // input 3 muted
  plugin.setNormalised(28, 1);   // phantom 1-4
  plugin.setNormalised(21, 0.6f);
  plugin.setNormalised(22, 0.35f);
  plugin.setNormalised(13, 1);  // outputs 3+4 muted
  plugin.setNormalised(16, 1);  // outputs 1+2 dimmed
  plugin.setNormalised(57, 1);  // outputs 5+6 play 5+6
  plugin.setNormalised(54, 0.25f);
}

struct GoldenCase {
  const char* file;
  PanelLayout layout;
  int rateIndex;
  bool shrink;
  int zoom;  // 2: built and drawn with the ×2 skin, as the program shows it at ×2
};

// The ×2 skin for a scope, loaded as the program loads it at zoom 2. Its images stay cached
// (apart from the ×1 ones) until the fixture's skin goes.
class DoubleSkinFor {
 public:
  explicit DoubleSkinFor(int zoom) {
    const auto fine = platform::findResource("PAL", 106);
    if (zoom == 2 && fine) loadDoubleArchive(fine->data(), fine->size());
  }
  ~DoubleSkinFor() { loadDoubleArchive(nullptr, 0); }
  DoubleSkinFor(const DoubleSkinFor&) = delete;
  DoubleSkinFor& operator=(const DoubleSkinFor&) = delete;
};

TEST_F(PanelTest, GoldenRendersMatchTheCommittedPictures) {
  const GoldenCase cases[] = {
      {"normal_studio_48k.png", PanelLayout::Normal, 2, false, 1},
      {"shrink_studio_48k.png", PanelLayout::Shrink, 2, true, 1},
      {"ac3_studio_192k.png", PanelLayout::AC3, 6, false, 1},
      {"connection_lost.png", PanelLayout::ConnectionLost, 2, false, 1},
      {"normal_studio_48k_x2.png", PanelLayout::Normal, 2, false, 2},
  };
  const bool update = std::getenv("VELMORA_UPDATE_GOLDEN") != nullptr;
  platform::test::ScratchFolder folder;
  for (const GoldenCase& c : cases) {
    VelmoraPlugin fresh;
    studioState(fresh, c.rateIndex);
    fresh.setNormalised(39, c.shrink ? 1 : 0);
    const DoubleSkinFor skin(c.zoom);
    auto layout = makeLayout(c.layout, &fresh);
    showUnitName(*layout, "Studio 9029");
    const std::string golden = std::string(VELMORA_PANELS_GOLDEN) + "/" + c.file;
    if (update) {
      ASSERT_TRUE(renderLayoutToPng(*layout, golden, c.zoom)) << c.file;
      continue;
    }
    const std::string rendered = folder / c.file;
    ASSERT_TRUE(renderLayoutToPng(*layout, rendered, c.zoom)) << c.file;
    int goldenWidth = 0, goldenHeight = 0, width = 0, height = 0;
    const std::vector<uint32_t> expected = readPng(golden, goldenWidth, goldenHeight);
    const std::vector<uint32_t> actual = readPng(rendered, width, height);
    ASSERT_FALSE(expected.empty()) << golden;
    ASSERT_EQ(width, goldenWidth) << c.file;
    ASSERT_EQ(height, goldenHeight) << c.file;
    int differing = 0;
    for (size_t i = 0; i < actual.size(); ++i) differing += actual[i] != expected[i] ? 1 : 0;
    EXPECT_EQ(differing, 0) << c.file << " differs from the golden picture; see " << rendered;
  }
  // Writing the pictures compares nothing: the run says so rather than passing.
  if (update) GTEST_SKIP() << "golden pictures written to " << VELMORA_PANELS_GOLDEN;
}

}  // namespace
}  // namespace velmora::test
