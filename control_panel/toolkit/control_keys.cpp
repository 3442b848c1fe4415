#include "control_panel/toolkit/control_keys.h"

#include <algorithm>

#include "control_panel/toolkit/i_gui.h"

namespace velmora {

ControlAction actionForKey(int key, bool shift, ControlAxis axis) {
  switch (key) {
    case kKeyDelete:
      return ControlAction::Reset;
    case ' ':
    case kKeyReturn:
    case kKeyNewline:
      return ControlAction::Activate;
    default:
      break;
  }
  if (axis == ControlAxis::None) return ControlAction::None;
  const int up = axis == ControlAxis::Vertical ? kKeyUp : kKeyRight;
  const int down = axis == ControlAxis::Vertical ? kKeyDown : kKeyLeft;
  if (key == up) return shift ? ControlAction::FineUp : ControlAction::StepUp;
  if (key == down) return shift ? ControlAction::FineDown : ControlAction::StepDown;
  switch (key) {
    case kKeyPageUp:
      return ControlAction::CoarseUp;
    case kKeyPageDown:
      return ControlAction::CoarseDown;
    case kKeyHome:
      return ControlAction::ToMin;
    case kKeyEnd:
      return ControlAction::ToMax;
    default:
      return ControlAction::None;
  }
}

float steppedValue(float value, ControlAction action) {
  float next = value;
  switch (action) {
    case ControlAction::StepUp:
      next = value + kControlStep;
      break;
    case ControlAction::StepDown:
      next = value - kControlStep;
      break;
    case ControlAction::FineUp:
      next = value + kControlFineStep;
      break;
    case ControlAction::FineDown:
      next = value - kControlFineStep;
      break;
    case ControlAction::CoarseUp:
      next = value + kControlCoarseStep;
      break;
    case ControlAction::CoarseDown:
      next = value - kControlCoarseStep;
      break;
    case ControlAction::ToMin:
      next = 0.0f;
      break;
    case ControlAction::ToMax:
      next = 1.0f;
      break;
    default:
      break;
  }
  return std::clamp(next, 0.0f, 1.0f);
}

ControlAction actionForWheel(int notches, bool shift) {
  if (notches > 0) return shift ? ControlAction::FineUp : ControlAction::StepUp;
  if (notches < 0) return shift ? ControlAction::FineDown : ControlAction::StepDown;
  return ControlAction::None;
}

}  // namespace velmora
