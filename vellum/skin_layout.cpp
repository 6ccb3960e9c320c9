#include "skin_layout.h"

namespace svctune::vellum {

int MinimumWidth(int width) {
  return width <= kMinimumWidth ? kMinimumWidth : width;
}

int MinimumHeight(int height) {
  return height <= kMinimumHeight ? kMinimumHeight : height;
}

SkinLayout LayoutSkin(int width, int height, bool hasIcon, int skinWidth, int skinHeight) {
  SkinLayout layout;
  const int w = MinimumWidth(width);
  const int h = MinimumHeight(height);
  const int iw = skinWidth;
  const int ih = skinHeight;
  layout.width = w;
  layout.height = h;
  layout.frame = {{
      {{420, 0, 120, 600}, {420, 0, w, 600}},                              // top edge
      {{420, ih - 600, 120, 600}, {420, h - 600, w, 600}},                 // bottom edge
      {{0, 880, 200, 40}, {0, 0, 200, h}},                                 // left edge
      {{iw - 210, 880, 210, 40}, {w - 210, 0, 210, h}},                    // right edge
      {{0, 0, 450, 600}, {0, 0, 450, 600}},                                // top-left corner
      {{0, ih - 600, 450, 600}, {0, h - 600, 450, 600}},                   // bottom-left corner
      {{iw - 1665, 0, 1660, 435}, {w - 1665, 0, 1640, 435}},               // title end, close tab
      {{iw - 1665, ih - 525, 1665, 525}, {w - 1665, h - 525, 1665, 525}},  // bottom-right
  }};
  layout.drawIcon = hasIcon;
  layout.icon = {100, 80, 240, 240};
  layout.closeButton = {w - kCloseButtonWidth - 370, 100, kCloseButtonWidth, kCloseButtonHeight};
  layout.dragArea = {0, 0, w - 700, kDragAreaHeight};
  layout.captionLeft = hasIcon ? 401 : 101;
  layout.captionShadowTop = 101;
  layout.captionTop = 100;
  layout.body = {50, 415, (w - 78) - 50, (h - 90) - 415};
  return layout;
}

}  // namespace svctune::vellum
