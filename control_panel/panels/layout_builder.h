// Builds a layout table row by row: ids count up from 0, argument lines are joined with
// newlines and kept alive with the table, and every parameter list ends with -1.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "control_panel/toolkit/layout_entry.h"
#include "control_panel/toolkit/rect.h"

namespace velmora {

// A finished table. Its rows point into its own texts, so it is kept whole (not copied).
struct LayoutTable {
  LayoutTable() = default;
  LayoutTable(const LayoutTable&) = delete;
  LayoutTable& operator=(const LayoutTable&) = delete;
  // Moving keeps the texts where they are (the deque hands over its blocks).
  LayoutTable(LayoutTable&&) = default;
  LayoutTable& operator=(LayoutTable&&) = default;

  int rowCount() const { return static_cast<int>(rows.size()); }
  const LayoutEntry* data() const { return rows.data(); }

  std::vector<LayoutEntry> rows;
  std::deque<std::string> texts;
  std::string background;  // B: the layout's background image
};

using Lines = std::vector<std::string>;

class LayoutBuilder {
 public:
  // Starts with the root Canvas and the flCanvas of `background` over `width` × `height`.
  LayoutBuilder(int width, int height, const std::string& background);

  // Appends a row; returns its id.
  int add(Rect rect, const char* className, int parent, const Lines& arguments,
          const std::vector<int>& parameters = {});
  // The id the next row gets.
  int next() const { return table_.rowCount(); }
  // B.
  const std::string& B() const { return table_.background; }
  // A button's arguments: image, "ButtonLitMask.bmp", B.
  Lines lit(const std::string& image) const { return {image, "ButtonLitMask.bmp", B()}; }

  LayoutTable finish() { return std::move(table_); }

  static constexpr int kRoot = 0;
  static constexpr int kCanvas = 1;

 private:
  LayoutTable table_;
};

}  // namespace velmora
