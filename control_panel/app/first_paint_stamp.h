// For measuring start-up from outside: with VELMORA_FIRST_PAINT_STAMP set in the environment,
// the program writes the wall-clock time of the first painted panel to standard error, once:
// "VelmoraControl: first paint at <milliseconds since 1970>". Call after each panel paint.
#pragma once

namespace velmora {

void stampFirstPaint();

}  // namespace velmora
