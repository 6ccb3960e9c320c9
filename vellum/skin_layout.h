#pragma once

#include <array>
#include <string>

namespace svctune::vellum {

// A rectangle in twips: left, top, width, height.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Contains(int x, int y) const { return x >= left && y >= top && x < right() && y < bottom(); }
  bool operator==(const TwipRect& other) const {
    return left == other.left && top == other.top && width == other.width && height == other.height;
  }
};

// One painting step: a source rectangle of the skin bitmap stretched onto the control.
struct SkinBlit {
  TwipRect source;
  TwipRect destination;
};

inline constexpr int kMinimumWidth = 1750;
inline constexpr int kMinimumHeight = 1100;
inline constexpr int kSkinWidth = 3825;   // 255 pixels
inline constexpr int kSkinHeight = 2385;  // 159 pixels
inline constexpr int kCloseButtonWidth = 120;
inline constexpr int kCloseButtonHeight = 135;
inline constexpr int kDragAreaHeight = 375;
inline constexpr unsigned kCaptionShadowColour = 0xFFFFFF;
inline constexpr unsigned kCaptionColour = 0xA64202;
inline constexpr unsigned kBodyColour = 0xFFF6EB;
inline constexpr int kCornerEllipse = 5;

// Everything DrawSkin places, for a control of a given size.
struct SkinLayout {
  int width = 0;  // after the minimum size
  int height = 0;
  std::array<SkinBlit, 8> frame{};  // edges and corners, in painting order
  bool drawIcon = false;
  TwipRect icon;
  TwipRect closeButton;
  TwipRect dragArea;
  int captionLeft = 0;
  int captionShadowTop = 0;
  int captionTop = 0;
  TwipRect body;  // the box from (50, 415) to (W - 78, H - 90)
};

// The control's size raised to its minimum: 1750 x 1100 twips.
int MinimumWidth(int width);
int MinimumHeight(int height);

SkinLayout LayoutSkin(int width, int height, bool hasIcon, int skinWidth = kSkinWidth,
                      int skinHeight = kSkinHeight);

}  // namespace svctune::vellum
