#include "control_panel/toolkit/focus_order.h"

#include <algorithm>

#include "control_panel/toolkit/view.h"

namespace velmora {
namespace {

void collect(View* view, std::vector<View*>& out) {
  if (view == nullptr || view->isHidden()) return;
  if (view->isFocusable()) out.push_back(view);
  if (!view->passesInputToChildren()) return;
  for (int i = 0; i < view->getChildCount(); ++i) collect(view->getChild(i), out);
}

}  // namespace

std::vector<View*> FocusOrder::of(View* root) {
  std::vector<View*> views;
  collect(root, views);
  std::stable_sort(views.begin(), views.end(),
                   [](View* a, View* b) { return a->rect().top < b->rect().top; });
  // Rows, then left to right within each.
  auto rowStart = views.begin();
  while (rowStart != views.end()) {
    const int rowTop = (*rowStart)->rect().top;
    auto rowEnd = std::find_if(rowStart, views.end(), [rowTop](View* v) {
      return v->rect().top > rowTop + kRowTolerance;
    });
    std::stable_sort(rowStart, rowEnd,
                     [](View* a, View* b) { return a->rect().left < b->rect().left; });
    rowStart = rowEnd;
  }
  return views;
}

View* FocusOrder::next(View* root, View* current, bool backwards) {
  const std::vector<View*> views = of(root);
  if (views.empty()) return nullptr;
  const auto at = std::find(views.begin(), views.end(), current);
  if (at == views.end()) return backwards ? views.back() : views.front();
  const auto index = static_cast<size_t>(at - views.begin());
  const size_t count = views.size();
  return views[backwards ? (index + count - 1) % count : (index + 1) % count];
}

}  // namespace velmora
