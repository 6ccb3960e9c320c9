#pragma once

namespace svctune {

// Lengths of the controls are twips unless a name says pixels: 1440 per inch, so 15 twips are
// one pixel at 96 dots per inch. Conversions round to the nearest whole unit.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

constexpr int TwipsToPixels(int twips, int dpi = kDefaultDpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                      : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

constexpr int PixelsToTwips(int pixels, int dpi = kDefaultDpi) {
  return static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi);
}

}  // namespace svctune
