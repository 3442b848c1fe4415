#include "control_panel/toolkit/panel_zoom.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PanelZoomTest, ParsesOnlyOneTwoOrThree) {
  const struct {
    const char* text;
    std::optional<int> zoom;
  } cases[] = {{"1", 1},
               {"2", 2},
               {" 3 ", 3},
               {"0", std::nullopt},
               {"4", std::nullopt},
               {"x", std::nullopt},
               {"", std::nullopt},
               {"22", std::nullopt},
               {"-2", std::nullopt},
               {"2x", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(parseZoom(c.text), c.zoom) << '"' << c.text << '"';
}

TEST(PanelZoomTest, CommandLineWinsOverConfigurationWhichWinsOverTheDisplay) {
  const struct {
    std::optional<int> commandLine, configuration;
    double scale;
    int zoom;
  } cases[] = {{3, 2, 1.0, 3},
               {std::nullopt, 2, 3.0, 2},
               {std::nullopt, std::nullopt, 2.0, 2},
               {std::nullopt, std::nullopt, 1.25, 1},
               {std::nullopt, std::nullopt, 1.5, 2},
               {std::nullopt, std::nullopt, 8.0, 3},
               {std::nullopt, std::nullopt, 0.0, 1},
               {std::nullopt, std::nullopt, 0.0 / 0.0, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(chooseZoom(c.commandLine, c.configuration, c.scale), c.zoom) << c.scale;
  }
}

TEST(PanelZoomTest, ScreenCoordinatesMapToThePanelPixelUnderThem) {
  const struct {
    int screen, zoom, panel;
  } cases[] = {{0, 2, 0},   {1, 2, 0},   {2, 2, 1}, {199, 2, 99}, {-1, 2, -1},
               {-2, 2, -1}, {-3, 2, -2}, {5, 3, 1}, {7, 1, 7},    {-1, 1, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(panelCoordinate(c.screen, c.zoom), c.panel) << c.screen << " at " << c.zoom;
  }
}

TEST(PanelZoomTest, EveryPixelBecomesASquareOfWholePixels) {
  const uint32_t pixels[] = {1, 2, 3, 4, 5, 6};  // 3 × 2
  EXPECT_EQ(zoomPixels(pixels, 3, 2, 1), std::vector<uint32_t>(pixels, pixels + 6));
  EXPECT_EQ(zoomPixels(pixels, 3, 2, 2),
            (std::vector<uint32_t>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3,  //
                                   4, 4, 5, 5, 6, 6, 4, 4, 5, 5, 6, 6}));
  EXPECT_EQ(zoomPixels(pixels, 3, 2, 3).size(), 54u);
  EXPECT_TRUE(zoomPixels(pixels, 3, 2, 4).empty());
  EXPECT_TRUE(zoomPixels(nullptr, 3, 2, 2).empty());
}

TEST(PanelZoomTest, TheDoubleSkinDrawsWhereverPanelPixelsShowAsAnEvenNumberOfDevicePixels) {
  const struct {
    int zoom, deviceScale, skin;
  } cases[] = {{1, 1, 1}, {2, 1, 2}, {3, 1, 1}, {1, 2, 2}, {2, 2, 2}, {3, 2, 2}, {1, 3, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(skinScaleFor(c.zoom, c.deviceScale), c.skin) << c.zoom << " on " << c.deviceScale;
  }
}

TEST(PanelZoomTest, APanelDrawnAtTwoIsShownAsItIsAtTwoRepeatedAtFourAndSampledAtOneOrThree) {
  // 2 × 1 panel pixels drawn at ×2: 4 × 2 pixels.
  const uint32_t drawn[] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(showPixels(drawn, 2, 1, 2, 2), std::vector<uint32_t>(drawn, drawn + 8));
  EXPECT_EQ(showPixels(drawn, 2, 1, 2, 4).size(), 32u);
  EXPECT_EQ(showPixels(drawn, 2, 1, 2, 4)[0], 1u);
  EXPECT_EQ(showPixels(drawn, 2, 1, 2, 1), (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(showPixels(drawn, 2, 1, 2, 3), (std::vector<uint32_t>{1, 1, 2, 3, 3, 4,  //
                                                                  1, 1, 2, 3, 3, 4,  //
                                                                  5, 5, 6, 7, 7, 8}));
  const uint32_t coarse[] = {1, 2};
  EXPECT_EQ(showPixels(coarse, 2, 1, 1, 2), zoomPixels(coarse, 2, 1, 2));
}

}  // namespace
}  // namespace velmora
