#pragma once

#include <cstdint>
#include <functional>

namespace svctune {

// An OLE_COLOR: plain RGB 0x00BBGGRR, or a system colour 0x800000nn (nn = system colour index).
using OleColour = std::uint32_t;

inline constexpr OleColour kSystemColourFlag = 0x80000000;
inline constexpr OleColour kButtonFace = 0x8000000F;
inline constexpr OleColour kButtonText = 0x80000012;
inline constexpr OleColour kWindowBackground = 0x80000005;
inline constexpr OleColour kWindowText = 0x80000008;

constexpr bool IsSystemColour(OleColour colour) {
  return (colour & kSystemColourFlag) != 0;
}
constexpr OleColour Rgb(int red, int green, int blue) {
  return static_cast<OleColour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(OleColour colour) {
  return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(OleColour colour) {
  return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(OleColour colour) {
  return static_cast<int>((colour >> 16) & 0xFF);
}

// The current RGB value of a system colour index (GetSysColor under Windows).
using SystemColourLookup = std::function<OleColour(int index)>;

// A system colour becomes the current RGB value of index (colour AND 0xFF); any other value
// is used unchanged.
inline OleColour ToRgb(OleColour colour, const SystemColourLookup& lookup) {
  return IsSystemColour(colour) ? lookup(static_cast<int>(colour & 0xFF)) : colour;
}

}  // namespace svctune
