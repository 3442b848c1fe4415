// The pointer's left button as the idle pass needs it to group a mouse gesture's edits into one
// undo step: down from a press on one of the panel's canvases until the button is up again,
// wherever the pointer has gone by then.
#pragma once

namespace velmora {

// A press of the left button on a panel; the frame that receives it calls this.
void noteLeftButtonPress();

// Whether the left button is down now, after a press a panel noted. Without such a press it is
// up as far as the panel is concerned, and the window system is not asked: asking is a round
// trip to the X server, which the idle pass would pay every 15 ms.
bool leftButtonIsDown();

}  // namespace velmora
