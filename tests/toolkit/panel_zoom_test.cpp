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

}  // namespace
}  // namespace velmora
