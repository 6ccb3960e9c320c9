#pragma once

namespace svctune::win {

// The program ends when its last top-level window has closed: every top-level window of the
// program counts itself in when created and out when destroyed.
void TopLevelWindowOpened();
void TopLevelWindowClosed();

}  // namespace svctune::win
