#pragma once

#include <windows.h>

#include <cstdint>

namespace svctune::win {

// The Button and Shift arguments of the controls' mouse and key events, as the platform's own
// controls give them. Button: 1 left, 2 right, 4 middle, from the MK_ flags of a mouse message
// or of a drag's key state. Shift: 1 Shift, 2 Ctrl, 4 Alt, as the keyboard is now.
std::int16_t ButtonsOf(WPARAM keys);
std::int16_t ShiftState();

}  // namespace svctune::win
