#include "win/mouse_keys.h"

namespace svctune::win {

std::int16_t ButtonsOf(WPARAM keys) {
  return static_cast<std::int16_t>(((keys & MK_LBUTTON) != 0 ? 1 : 0) |
                                   ((keys & MK_RBUTTON) != 0 ? 2 : 0) |
                                   ((keys & MK_MBUTTON) != 0 ? 4 : 0));
}

std::int16_t ShiftState() {
  return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                   (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                   (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

}  // namespace svctune::win
