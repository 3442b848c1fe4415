// The panel's 29 widget classes, registered by name for the layout tables.
#pragma once

namespace velmora {

// Registers every fl class once (later calls do nothing). Runs during static
// initialisation; layouts and tests call it to make sure the table is linked in.
void registerPanelViews();

}  // namespace velmora
