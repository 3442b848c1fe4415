// The four layout tables as data: sizes, rows, bindings shared by the main layouts, and a
// skin that has every image they name at a size that fits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_panel/panels/layout_tables.h"
#include "control_panel/panels/panel_views.h"
#include "control_panel/panels/velmora_gui.h"
#include "control_panel/toolkit/diagnostics.h"
#include "control_panel/toolkit/view_registry.h"
#include "tests/panels/panel_fixture.h"

namespace velmora::test {
namespace {

struct TableCase {
  const LayoutTable& (*table)();
  int rows;
  int width, height;
  const char* background;
  int unitNameRow;  // -1: none
};

const TableCase kTables[] = {
    {normalLayoutTable, 120, 704, 394, "Background.bmp", 82},
    {shrinkLayoutTable, 79, 456, 373, "BackgroundShrink.bmp", 77},
    {ac3LayoutTable, 65, 405, 344, "BackgroundAC3.bmp", 64},
    {connectionLostLayoutTable, 2, 300, 56, "ConnectionLost.bmp", -1},
};

std::vector<std::string> linesOf(const LayoutEntry& row) {
  std::vector<std::string> lines;
  if (row.arguments == nullptr || *row.arguments == '\0') return lines;
  std::string text = row.arguments;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<int> paramsOf(const LayoutEntry& row) {
  std::vector<int> ids;
  for (int i = 0; row.parameters[i] != -1; ++i) ids.push_back(row.parameters[i]);
  return ids;
}

TEST(LayoutTables, HaveTheirRowsRootsAndCanvases) {
  for (const TableCase& c : kTables) {
    const LayoutTable& table = c.table();
    ASSERT_EQ(table.rowCount(), c.rows) << c.background;
    const LayoutEntry& root = table.rows[0];
    EXPECT_STREQ(root.className, "Canvas");
    EXPECT_EQ(root.parent, -1);
    EXPECT_EQ(std::string(root.arguments), "");
    EXPECT_EQ(root.parameters[0], -1);
    EXPECT_EQ((Rect{root.left, root.right, root.top, root.bottom}),
              (Rect{0, c.width, 0, c.height}));
    const LayoutEntry& canvas = table.rows[1];
    EXPECT_STREQ(canvas.className, "flCanvas");
    EXPECT_EQ(canvas.parent, 0);
    EXPECT_EQ(std::string(canvas.arguments), c.background);
    for (int i = 0; i < table.rowCount(); ++i) {
      const LayoutEntry& row = table.rows[static_cast<size_t>(i)];
      EXPECT_EQ(row.id, i);
      EXPECT_FALSE(row.hidden);
      EXPECT_LT(row.parent, i);
      if (i > 0) {
        EXPECT_GE(row.parent, 0);
      }
    }
    if (c.unitNameRow >= 0) {
      EXPECT_STREQ(table.rows[static_cast<size_t>(c.unitNameRow)].className, "flTextButton");
      EXPECT_EQ(table.rows[static_cast<size_t>(c.unitNameRow)].parameters[0], 26);
    }
  }
}

TEST(LayoutTables, PhantomFiveToEightIsAbovePhantomOneToFourInEveryMainLayout) {
  for (int t = 0; t < 3; ++t) {
    int top29 = -1, top28 = -1;
    for (const LayoutEntry& row : kTables[t].table().rows) {
      if (std::strcmp(row.className, "flIsStudioButton") != 0) continue;
      if (row.parameters[0] == 29) top29 = row.top;
      if (row.parameters[0] == 28) top28 = row.top;
    }
    ASSERT_GE(top29, 0);
    EXPECT_LT(top29, top28) << kTables[t].background;
  }
}

// Rows 4-16: the two trays and their eleven lamps, bound alike in every main layout; only
// positions, the background and the sync covers differ.
TEST(LayoutTables, MainLayoutsBindTheSameRateAndSyncLamps) {
  const LayoutTable& normal = normalLayoutTable();
  for (int t = 1; t < 3; ++t) {
    const LayoutTable& other = kTables[t].table();
    for (int i = 4; i <= 16; ++i) {
      const LayoutEntry& a = normal.rows[static_cast<size_t>(i)];
      const LayoutEntry& b = other.rows[static_cast<size_t>(i)];
      EXPECT_STREQ(a.className, b.className) << i;
      EXPECT_EQ(a.parent, b.parent) << i;
      EXPECT_EQ(paramsOf(a), paramsOf(b)) << i;
      std::vector<std::string> la = linesOf(a), lb = linesOf(b);
      ASSERT_EQ(la.size(), lb.size()) << i;
      for (size_t k = 0; k < la.size(); ++k) {
        if (la[k] == normal.background || la[k].find("SyncLabelCover") != std::string::npos)
          continue;
        EXPECT_EQ(la[k], lb[k]) << i;
      }
    }
  }
  const char* rates[] = {"flRateLed", "flRateLed", "flRateLed",
                         "flRateLed", "flExtLed",  "flExtLed"};
  for (int n = 1; n <= 6; ++n)
    EXPECT_STREQ(normal.rows[static_cast<size_t>(4 + n)].className, rates[n - 1]);
  const int sources[] = {2, 3, 4, 5, 0};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(linesOf(normal.rows[static_cast<size_t>(12 + i)]).back(), std::to_string(sources[i]));
}

// Every image a layout names is in the skin at a size that fits the widget's rectangle. The
// skin lacks only "Rubbish.bmp", the mask of the identify and unit keys, which then copy
// their image over the crop.
TEST(LayoutTables, TheSkinHasEveryImageTheLayoutsNameAndItFits) {
  ProgramSkin skin;
  for (const TableCase& c : kTables) {
    for (const LayoutEntry& row : c.table().rows) {
      const Rect rect{row.left, row.right, row.top, row.bottom};
      for (const std::string& line : linesOf(row)) {
        if (line.find(".bmp") == std::string::npos) continue;
        if (line == "Rubbish.bmp") continue;
        Bitmap* image = getNamedBitmap(line.c_str());
        ASSERT_NE(image, nullptr) << line << " in row " << row.id << " of " << c.background;
        ASSERT_TRUE(image->isValid()) << line;
        if (line == c.background) {
          EXPECT_EQ(image->width(), c.width);
          EXPECT_EQ(image->height(), c.height);
          continue;
        }
        int width = image->width(), height = image->height();
        if (line.rfind("Knob", 0) == 0) {  // strips of 29 frames; the knob sits at (4, 4)
          const bool knobFrame = line == "KnobRotation.bmp" || line == "KnobMask.bmp";
          EXPECT_EQ(width, knobFrame ? 29 * 20 - 1 : 29 * 27) << line;
          width = knobFrame ? 19 + 4 : 27;
          height = knobFrame ? 19 + 4 : 23;
        }
        if (line.rfind("font", 0) == 0 || line.rfind("Font", 0) == 0) continue;  // glyph grid
        EXPECT_LE(width, rect.width()) << line << " in row " << row.id << " of " << c.background;
        // Stacked 15-pixel buttons share their edge row: AC3 and MIDI through sit in rows
        // 14 pixels apart, and the row they share is the lower button's rim.
        const int shared = height == 15 && rect.height() == 14 ? 1 : 0;
        EXPECT_LE(height, rect.height() + shared)
            << line << " in row " << row.id << " of " << c.background;
      }
    }
  }
  EXPECT_EQ(getNamedBitmap("Rubbish.bmp"), nullptr);
}

TEST(LayoutTables, EveryRowBuildsAView) {
  ProgramSkin skin;
  VelmoraPlugin plugin;
  for (PanelLayout which :
       {PanelLayout::Normal, PanelLayout::Shrink, PanelLayout::AC3, PanelLayout::ConnectionLost}) {
    auto layout = makeLayout(which, &plugin);
    for (int i = 0; i < layout->getRowCount(); ++i)
      EXPECT_NE(layout->getView(i), nullptr) << layoutName(which) << " row " << i;
  }
}

// Every row gives its class an argument count the class makes sense of: a wrong count leaves
// a widget blank.
TEST(LayoutTables, EveryRowGivesItsClassAnArgumentCountItTakes) {
  for (const TableCase& c : kTables) {
    const LayoutTable& table = c.table();
    for (int i = 0; i < table.rowCount(); ++i) {
      const LayoutEntry& row = table.data()[i];
      const int count = static_cast<int>(linesOf(row).size());
      EXPECT_TRUE(argumentCountOf(row.className).accepts(count))
          << row.className << " in row " << i << " of the " << c.background << " table with "
          << count << " arguments";
    }
  }
}

std::vector<std::string> reported;

TEST(LayoutTables, ARowWithTheWrongArgumentCountIsReportedAndLeftBlank) {
  registerPanelViews();
  static LayoutEntry rows[2] = {
      {0, 0, 100, 0, 50, "Canvas", -1, false, "", {-1}},
      {1, 10, 60, 10, 25, "flPushButton", 0, false, "PushSingle.bmp", {36, -1}},
  };
  reported.clear();
  setDiagnosticSink([](const std::string& line) { reported.push_back(line); });
  VelmoraPlugin plugin;
  {
    PluginGUI layout(2, rows, &plugin);
    EXPECT_NE(layout.getView(1), nullptr);
  }
  setDiagnosticSink(nullptr);
  EXPECT_EQ(reported, std::vector<std::string>{"layout row 1: flPushButton takes 2 to 3 arguments, "
                                               "not 1; it is left blank\n"});
}

}  // namespace
}  // namespace velmora::test
