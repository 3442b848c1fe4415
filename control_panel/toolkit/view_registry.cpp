#include "control_panel/toolkit/view_registry.h"

#include <cstring>
#include <vector>

#include "control_panel/toolkit/layout_entry.h"

namespace velmora {
namespace {

struct ViewClass {
  const char* name;
  ViewFactory factory;
  ArgumentCount arguments;
};

std::vector<ViewClass>& viewClasses() {
  static std::vector<ViewClass> classes;
  return classes;
}

const ViewClass* find(const char* name) {
  if (name == nullptr) return nullptr;
  for (const ViewClass& viewClass : viewClasses()) {
    if (std::strcmp(viewClass.name, name) == 0) return &viewClass;
  }
  return nullptr;
}

const bool kStandardViewsRegistered = (registerStandardViews(), true);

}  // namespace

void registerViewClass(const char* name, ViewFactory factory, ArgumentCount arguments) {
  if (name != nullptr && factory != nullptr) viewClasses().push_back({name, factory, arguments});
}

View* createView(const LayoutEntry* row, PluginGUI* owner) {
  if (row == nullptr) return nullptr;
  const ViewClass* viewClass = find(row->className);
  return viewClass != nullptr ? viewClass->factory(row, owner) : nullptr;
}

ArgumentCount argumentCountOf(const char* className) {
  const ViewClass* viewClass = find(className);
  return viewClass != nullptr ? viewClass->arguments : ArgumentCount{};
}

}  // namespace velmora
