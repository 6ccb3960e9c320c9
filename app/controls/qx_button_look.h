#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/colour.h"

namespace svctune {

// Colour arithmetic, outlines, edges and layout of the owner-drawn button qxButtons_H: every
// number its drawing uses that can be decided without a window. Coordinates are pixels of the
// control's client area, W x H.

// Shifts each channel of a plain RGB colour by amount. Green and blue are taken as real
// numbers of their masked bits (so a full channel reads 256 before clamping) and rounded half
// to even. blueProportional scales the blue shift by blue / 192; invert turns each channel
// into 255 minus itself; avoidBlackWhite shifts the other way (64 for an amount of 0) when the
// result would be pure black or white.
OleColour ShiftColor(OleColour colour, int amount, bool blueProportional = false,
                     bool avoidBlackWhite = false, bool invert = false);

// The colours a ButtonStyle derives from BackColor and HoverBackColor (plain RGB).
struct DerivedColours {
  OleColour face = 0;
  OleColour shadow = 0;
  OleColour hoverFace = 0;
  OleColour light = 0;
};
DerivedColours DeriveColours(int buttonStyle, OleColour backRgb, OleColour hoverBackRgb);

// Style 3's frame and disabled caption colours.
inline constexpr OleColour kFlatFrameColour = 0x676766;     // ShiftColor(0x808080, -26)
inline constexpr OleColour kFlatDisabledColour = 0x717170;  // ShiftColor(0x808080, -16)
inline constexpr OleColour kGray = 0x808080;
inline constexpr OleColour kWhite = 0xFFFFFF;
inline constexpr OleColour kBlack = 0x000000;
inline constexpr OleColour kPaleGray = 0xE9E9E9;  // RGB(233, 233, 233)

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint& other) const { return x == other.x && y == other.y; }
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const PixelRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// The slant of the diagonal shapes 1 to 3 (a 45-degree edge): H + 1; 0 for other shapes.
int SlantOf(int buttonShape, int height);
// The width a diagonal button takes: widened in steps of 5 pixels until it exceeds the slant
// by more than 4. Other shapes keep their width.
int WidthForShape(int buttonShape, int width, int height);

// The outline of a diagonal shape: four points of the window region's polygon.
std::array<PixelPoint, 4> DiagonalOutline(int buttonShape, int width, int height);

// Triangles cut off the corners of the window region (styles 2 and 7) and single pixels
// removed (styles 1 and 3), for shapes 0 to 3 at the corners of their straight sides.
struct CornerCuts {
  std::vector<std::array<PixelPoint, 3>> triangles;
  std::vector<PixelPoint> pixels;
};
CornerCuts CornerCutsOf(int buttonShape, int buttonStyle, bool enabled, int width, int height);

// The three rings of edge lines of shapes 0 to 3: inner, middle and outer, each five points
// walked as left side (upwards), top (rightwards), right (downwards) and bottom (leftwards).
using EdgeRing = std::array<PixelPoint, 5>;
std::array<EdgeRing, 3> EdgeRings(int buttonShape, int width, int height);

// The state an edge colour table is chosen for.
enum class EdgeState { kNormal = 0, kDefault = 1, kPressed = 2, kSunken = 3 };

// Twelve edge colours: inner left, top, right, bottom, then the middle ring, then the outer
// ring; a negative entry skips that side.
using EdgeColours = std::array<std::int64_t, 12>;
EdgeColours EdgeColoursOf(int buttonStyle, EdgeState state, bool defaultMarking,
                          const DerivedColours& colours);

// The bands of a gradient fill along W (modes 1, 2) or H (modes 3, 4).
struct GradientBands {
  int count = 0;
  int thickness = 1;
  std::vector<OleColour> colours;  // the colour of band k, in painting order
};
GradientBands GradientOf(int gradientMode, int length, int screenLength, OleColour start,
                         OleColour end);

// The ramp of count colours from start to end.
std::vector<OleColour> ColourRamp(OleColour start, OleColour end, int count);

// Where caption and picture go.
struct LayoutInput {
  int buttonShape = 0;
  int width = 0;
  int height = 0;
  std::wstring caption;  // with "||" already turned into line breaks
  int captionAlign = 2;
  int captionStyle = 0;
  bool hasPicture = false;
  int pictureAlign = 0;
  int picturePixels = 16;  // 16, 24, 32, 40 (fill) or 48 (fit)
  int pictureWidth = 0;    // the picture's own size, for fitting
  int pictureHeight = 0;
};
struct ButtonLayout {
  PixelRect caption;
  PixelRect picture;
};
// The text's size when drawn with word breaks within maxWidth x maxHeight.
using TextMeasure =
    std::function<PixelPoint(const std::wstring& text, int maxWidth, int maxHeight)>;
ButtonLayout LayoutOf(const LayoutInput& input, const TextMeasure& measure);

// The caption with each "||" turned into a line break.
std::wstring CaptionLines(const std::wstring& caption);

}  // namespace svctune
