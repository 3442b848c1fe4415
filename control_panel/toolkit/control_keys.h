// What a key does to the control that has the keyboard focus, and how far each kind of step
// moves a continuous control. Kept apart from any window system so that it is the same on
// every platform and testable without a display.
#pragma once

namespace velmora {

// What a control is asked to do by a key, the wheel or the reset gesture.
enum class ControlAction {
  None,
  StepUp,
  StepDown,
  FineUp,
  FineDown,
  CoarseUp,
  CoarseDown,
  ToMin,
  ToMax,
  Reset,
  Activate,  // toggle a button, press a push button
};

// Which arrows move a control: faders Up/Down, knobs and horizontal sliders Right/Left.
enum class ControlAxis { None, Vertical, Horizontal };

// Normalised distances of one step, a fine step (Shift) and a coarse step (Page Up/Down).
inline constexpr float kControlStep = 0.02f;
inline constexpr float kControlFineStep = 0.002f;
inline constexpr float kControlCoarseStep = 0.1f;

// The action of `key` (toolkit key codes, i_gui.h) on a control moving along `axis`; None
// for keys that do nothing to it (focus keys are the layout's, not a control's).
ControlAction actionForKey(int key, bool shift, ControlAxis axis);

// `value` moved by a step action, clamped to [0, 1]; other actions leave it unchanged.
float steppedValue(float value, ControlAction action);

// The step action of `notches` wheel notches' sign (up is positive), fine with Shift.
ControlAction actionForWheel(int notches, bool shift);

}  // namespace velmora
