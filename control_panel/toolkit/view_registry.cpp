#include "control_panel/toolkit/view_registry.h"

#include <cstring>
#include <utility>
#include <vector>

#include "control_panel/toolkit/layout_entry.h"

namespace velmora {
namespace {

std::vector<std::pair<const char*, ViewFactory>>& viewClasses() {
  static std::vector<std::pair<const char*, ViewFactory>> classes;
  return classes;
}

const bool kStandardViewsRegistered = (registerStandardViews(), true);

}  // namespace

void registerViewClass(const char* name, ViewFactory factory) {
  if (name != nullptr && factory != nullptr) viewClasses().emplace_back(name, factory);
}

View* createView(const LayoutEntry* row, PluginGUI* owner) {
  if (row == nullptr || row->className == nullptr) return nullptr;
  for (const auto& [name, factory] : viewClasses()) {
    if (std::strcmp(name, row->className) == 0) return factory(row, owner);
  }
  return nullptr;
}

}  // namespace velmora
