#pragma once

#include <windows.h>
#include <windowsx.h>

#include "scene/scene.h"
#include "ui/twips.h"

namespace svctune::lamina {

// The Shift argument of mouse and key events: 1 Shift, 2 Ctrl, 4 Alt.
inline short ShiftState() {
  short shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) {
    shift |= 1;
  }
  if (GetKeyState(VK_CONTROL) < 0) {
    shift |= 2;
  }
  if (GetKeyState(VK_MENU) < 0) {
    shift |= 4;
  }
  return shift;
}

// The button of a WM_xBUTTONDOWN, WM_xBUTTONDBLCLK or WM_xBUTTONUP message; 0 for any other.
inline short MouseButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      return scene::kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
      return scene::kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
      return scene::kMiddleButton;
    default:
      return 0;
  }
}

inline bool IsButtonDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
         message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK;
}

inline double XTwips(LPARAM lParam) {
  return PixelsToTwips(GET_X_LPARAM(lParam));
}
inline double YTwips(LPARAM lParam) {
  return PixelsToTwips(GET_Y_LPARAM(lParam));
}

// A rectangle of the scene (twips) in client pixels.
inline RECT PixelRect(const scene::Rect& bounds) {
  const int left = TwipsToPixels(static_cast<int>(bounds.left));
  const int top = TwipsToPixels(static_cast<int>(bounds.top));
  return RECT{left, top, left + TwipsToPixels(static_cast<int>(bounds.width)),
              top + TwipsToPixels(static_cast<int>(bounds.height))};
}

// WM_SETCURSOR over a scene: the library's hand over labels that ask for it, the arrow
// elsewhere.
inline void SetSceneCursor(HWND window, const scene::Scene& scene, HINSTANCE module,
                           int handCursor) {
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  const bool hand = scene.PointerAt(PixelsToTwips(pointer.x), PixelsToTwips(pointer.y)) ==
                    scene::MousePointer::kHand;
  HCURSOR cursor = hand ? LoadCursorW(module, MAKEINTRESOURCEW(handCursor)) : nullptr;
  SetCursor(cursor != nullptr ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
}

}  // namespace svctune::lamina
