#pragma once

#include <windows.h>

#include "scene/scene.h"
#include "ui/twips.h"

namespace svctune::lamina {

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
