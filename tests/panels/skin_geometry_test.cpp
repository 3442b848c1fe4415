// The skin's backgrounds print every control where the layout tables place it: the generator
// reads its coordinates from the tables, and the committed backgrounds are what it draws from
// them, so a moved control cannot leave its printed look behind.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control_panel/panels/layout_tables.h"
#include "tools/skin/bmp_encoder.h"
#include "tools/skin/panel_geometry.h"
#include "tools/skin/skin_images.h"
#include "tools/skin/skin_manifest.h"

namespace velmora::test {
namespace {

struct GeometryCase {
  const LayoutTable& (*table)();
  const char* background;
  bool inputMixer;
  size_t routes;
  bool shrink, expand;
};

const GeometryCase kMainLayouts[] = {
    {normalLayoutTable, "Background.bmp", true, 5, true, false},
    {shrinkLayoutTable, "BackgroundShrink.bmp", false, 5, false, true},
    {ac3LayoutTable, "BackgroundAC3.bmp", false, 0, false, false},
};

TEST(SkinGeometry, EveryMainLayoutHasEachPrintedControlOnce) {
  for (const GeometryCase& c : kMainLayouts) {
    const std::optional<skin::PanelGeometry> g = skin::panelGeometry(c.table());
    ASSERT_TRUE(g.has_value()) << c.background;
    EXPECT_EQ(g->inputMixer.has_value(), c.inputMixer) << c.background;
    EXPECT_EQ(g->routing.size(), c.routes) << c.background;
    EXPECT_EQ(g->shrink.has_value(), c.shrink) << c.background;
    EXPECT_EQ(g->expand.has_value(), c.expand) << c.background;
    // The lamps come from the trays' own children, top to bottom.
    for (size_t i = 1; i < g->rateLamps.size(); ++i)
      EXPECT_GT(g->rateLamps[i].top, g->rateLamps[i - 1].top) << c.background;
    for (size_t i = 1; i < g->syncLamps.size(); ++i)
      EXPECT_GT(g->syncLamps[i].top, g->syncLamps[i - 1].top) << c.background;
  }
}

TEST(SkinGeometry, ATableWithoutTheControlsHasNoGeometry) {
  LayoutBuilder builder(300, 56, "ConnectionLost.bmp");
  const LayoutTable table = builder.finish();
  EXPECT_FALSE(skin::panelGeometry(table).has_value());
  EXPECT_FALSE(skin::panelGeometry(connectionLostLayoutTable()).has_value());
}

std::vector<uint8_t> committed(const std::string& folder, const std::string& name) {
  std::ifstream in(folder + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(SkinGeometry, CommittedBackgroundsAreWhatTheTablesDraw) {
  // The ×1 backgrounds, and the normal one of the ×2 skin (drawing all of it takes long).
  const struct {
    const char* folder;
    int scale;
    const char* only;
  } skins[] = {{VELMORA_SKIN_FOLDER, 1, nullptr}, {VELMORA_SKIN2X_FOLDER, 2, "Background.bmp"}};
  for (const auto& skin : skins) {
    for (const skin::SkinImage& entry : skin::kSkinImages) {
      const std::string name = entry.name;
      if (name.rfind("Background", 0) != 0 || (skin.only != nullptr && name != skin.only)) {
        continue;
      }
      const skin::Image image = skin::drawSkinImage(entry, skin.scale);
      ASSERT_EQ(image.width(), entry.width) << name;
      ASSERT_EQ(image.height(), entry.height) << name;
      ASSERT_EQ(image.pixelWidth(), entry.width * skin.scale) << name;
      const std::vector<uint32_t> pixels = image.pixels();
      const std::vector<uint8_t> drawn = skin::encodeBmp24(pixels.data(), image.pixelWidth(),
                                                           image.pixelHeight(), image.pixelWidth());
      EXPECT_TRUE(drawn == committed(skin.folder, name))
          << name << " at x" << skin.scale << " differs from what the layout tables draw; "
          << "regenerate the skin (README, \"The skin\") and look at it";
    }
  }
}

}  // namespace
}  // namespace velmora::test
