#include "control_panel/panels/layout_builder.h"

#include "control_panel/toolkit/layout_row.h"

namespace velmora {

LayoutBuilder::LayoutBuilder(int width, int height, const std::string& background) {
  table_.background = background;
  add({0, width, 0, height}, "Canvas", -1, {});
  add({0, width, 0, height}, "flCanvas", kRoot, {background});
}

int LayoutBuilder::add(Rect rect, const char* className, int parent, const Lines& arguments,
                       const std::vector<int>& parameters) {
  std::string text;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += '\n';
    text += arguments[i];
  }
  table_.texts.push_back(std::move(text));
  const int id = next();
  table_.rows.push_back(layoutRow(id, rect, className, parent, table_.texts.back().c_str(),
                                  std::vector<int32_t>(parameters.begin(), parameters.end())));
  return id;
}

}  // namespace velmora
