// The program's icon "APPICON" (drawn by the skin generator, embedded in the program).
#pragma once

#include <wx/toplevel.h>

namespace velmora {

// Sets the icon on `frame`; nothing when the program carries none.
void setApplicationIcon(wxTopLevelWindow& frame);

}  // namespace velmora
