#pragma once

#include <windows.h>

namespace svctune::win {

// The program ends when its last top-level window has closed: every top-level window of the
// program counts itself in when created and out when destroyed.
void TopLevelWindowOpened();
void TopLevelWindowClosed();
// Counts a window made elsewhere in, and out again when it is destroyed. Null is ignored.
void TrackTopLevelWindow(HWND window);

}  // namespace svctune::win
