#include "controls/win/mod_qx_timer.h"

#include "controls/qx_buttons_h.h"

namespace svctune::win::modQxTimer {

void CALLBACK HoverTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
  auto* button = static_cast<qxButtons_H*>(GetPropW(window, kButtonProperty));
  const auto timerId = reinterpret_cast<UINT_PTR>(GetPropW(window, kTimerProperty));
  if (button == nullptr || timerId == 0) {
    return;
  }
  button->HoverTimerTick(timerId);
}

}  // namespace svctune::win::modQxTimer
