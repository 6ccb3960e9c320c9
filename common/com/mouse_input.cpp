#include "com/mouse_input.h"

#include <windowsx.h>

#include "ui/twips.h"
#include "win/mouse_keys.h"

namespace svctune::com {

namespace {

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

std::optional<MouseInput> ReadMouseMessage(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  MouseInput input{scene::MouseAction::kMove, 0, 0, 0, 0};
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      input = {scene::MouseAction::kDown, scene::kLeftButton, 0, 0, 0};
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      input = {scene::MouseAction::kDown, scene::kRightButton, 0, 0, 0};
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      input = {scene::MouseAction::kDown, scene::kMiddleButton, 0, 0, 0};
      break;
    case WM_LBUTTONUP:
      input = {scene::MouseAction::kUp, scene::kLeftButton, 0, 0, 0};
      break;
    case WM_RBUTTONUP:
      input = {scene::MouseAction::kUp, scene::kRightButton, 0, 0, 0};
      break;
    case WM_MBUTTONUP:
      input = {scene::MouseAction::kUp, scene::kMiddleButton, 0, 0, 0};
      break;
    case WM_MOUSEMOVE:
      input.button = win::ButtonsOf(wParam);
      break;
    default:
      return std::nullopt;
  }
  if (input.action == scene::MouseAction::kDown) {
    SetCapture(window);
  } else if (input.action == scene::MouseAction::kUp && (wParam & kAnyButton) == 0 &&
             GetCapture() == window) {
    ReleaseCapture();
  }
  input.shift = win::ShiftState();
  input.x = PixelsToTwips(GET_X_LPARAM(lParam));
  input.y = PixelsToTwips(GET_Y_LPARAM(lParam));
  return input;
}

}  // namespace svctune::com
