#include "control_panel/panels/panel_shortcuts.h"

#include <algorithm>

#include "control_panel/mixer/parameter_ids.h"
#include "control_panel/toolkit/i_gui.h"

namespace velmora {
namespace {

constexpr int kLoad[] = {param::kLoadSettings};
constexpr int kSave[] = {param::kSaveSettings};
// The normal layout has Shrink, the shrink layout Expand.
constexpr int kLayout[] = {param::kShrinkMode, param::kExpandMode};
constexpr int kFloat[] = {param::kFloatWindow};
constexpr int kUnit[] = {param::kSelectUnit};
constexpr int kMenus[] = {param::kLogo, param::kSelectUnit};

const PanelShortcut kShortcuts[] = {
    {'O', true, "Ctrl+O", "&Load Mix...", kLoad},
    {'S', true, "Ctrl+S", "&Save Mix...", kSave},
    {'L', true, "Ctrl+L", "Shrink or E&xpand the Panel", kLayout},
    {'F', true, "Ctrl+F", "&Floating Window", kFloat},
    {'U', true, "Ctrl+U", "Choose the &Unit...", kUnit},
    {kKeyF2, false, "F2", "Unit &Name...", {}},
};

}  // namespace

std::span<const PanelShortcut> panelShortcuts() {
  return kShortcuts;
}

const PanelShortcut* ctrlShortcut(int letter) {
  const auto found =
      std::find_if(std::begin(kShortcuts), std::end(kShortcuts),
                   [&](const PanelShortcut& s) { return s.withCtrl && s.key == letter; });
  return found != std::end(kShortcuts) ? &*found : nullptr;
}

std::span<const int> menuParameters() {
  return kMenus;
}

std::span<const int> mainMenuParameters() {
  return std::span<const int>(kMenus).first(1);
}

}  // namespace velmora
