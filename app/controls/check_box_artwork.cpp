#include "controls/check_box_artwork.h"

#include <algorithm>
#include <cmath>

namespace svctune {

PixelImage::PixelImage(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

void PixelImage::Blend(int x, int y, std::uint32_t rgb, double coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0) {
    return;
  }
  const double source = std::min(coverage, 1.0);
  const std::uint32_t below = At(x, y);
  const double belowAlpha = AlphaOf(below) / 255.0;
  const double alpha = source + belowAlpha * (1.0 - source);
  auto channel = [&](int shift) {
    const double top = (rgb >> shift) & 0xFF;
    const double bottom = (below >> shift) & 0xFF;
    const double mixed = (top * source + bottom * belowAlpha * (1.0 - source)) / alpha;
    return static_cast<std::uint32_t>(std::lround(std::clamp(mixed, 0.0, 255.0))) << shift;
  };
  const auto alphaByte = static_cast<std::uint32_t>(std::lround(alpha * 255.0));
  Set(x, y, (alphaByte << 24) | channel(16) | channel(8) | channel(0));
}

namespace {

constexpr std::uint32_t Rgb24(int red, int green, int blue) {
  return static_cast<std::uint32_t>((red << 16) | (green << 8) | blue);
}

// Mixes two 0xRRGGBB colours: t = 0 gives a, t = 1 gives b.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  std::uint32_t mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double from = (a >> shift) & 0xFF;
    const double to = (b >> shift) & 0xFF;
    mixed |= static_cast<std::uint32_t>(std::lround(from + (to - from) * t)) << shift;
  }
  return mixed;
}

struct Palette {
  std::uint32_t frame;
  std::uint32_t faceLight;     // face at the lower right
  std::uint32_t faceShade;     // face at the upper left
  std::uint32_t pressedLight;  // face while the mouse is held down
  std::uint32_t pressedShade;
  std::uint32_t hotTop;  // ring shown while the pointer is over the box
  std::uint32_t hotBottom;
  std::uint32_t mark;       // tick or dot
  std::uint32_t markLight;  // highlight of the dot
};

constexpr Palette kBluePalette{Rgb24(28, 81, 128),   Rgb24(255, 255, 255), Rgb24(220, 220, 215),
                               Rgb24(227, 226, 219), Rgb24(176, 176, 167), Rgb24(255, 240, 207),
                               Rgb24(248, 179, 48),  Rgb24(33, 161, 33),   Rgb24(134, 223, 134)};
constexpr Palette kOlivePalette{Rgb24(107, 125, 62),  Rgb24(255, 255, 255), Rgb24(224, 226, 209),
                                Rgb24(232, 233, 222), Rgb24(183, 186, 160), Rgb24(255, 240, 207),
                                Rgb24(248, 179, 48),  Rgb24(76, 94, 38),    Rgb24(160, 180, 110)};

bool IsHot(CheckImage image) {
  return image == CheckImage::kOver || image == CheckImage::kCheckedOver;
}
bool IsPressed(CheckImage image) {
  return image == CheckImage::kDown || image == CheckImage::kCheckedDown;
}

// The face colour at an interior point, shaded from the upper left to the lower right.
std::uint32_t FaceAt(const Palette& palette, CheckImage image, double x, double y) {
  const double t = (x + y - 2.0) / 20.0;
  return IsPressed(image) ? Mix(palette.pressedShade, palette.pressedLight, t)
                          : Mix(palette.faceShade, palette.faceLight, t);
}

// The tick: seven columns from x = 3, three pixels tall, lowest in the third column.
constexpr std::array<int, 7> kTickTops{5, 6, 7, 6, 5, 4, 3};
constexpr int kTickLeft = 3;
constexpr int kTickThickness = 3;

PixelImage DrawSquare(const Palette& palette, CheckImage image) {
  PixelImage picture(kCheckImageSize, kCheckImageSize);
  const int last = kCheckImageSize - 1;
  for (int y = 0; y <= last; ++y) {
    for (int x = 0; x <= last; ++x) {
      const int edgeDistance = std::min(std::min(x, y), std::min(last - x, last - y));
      std::uint32_t colour = palette.frame;
      if (edgeDistance >= 1) {
        colour = FaceAt(palette, image, x, y);
      }
      if (IsHot(image) && (edgeDistance == 1 || edgeDistance == 2)) {
        colour = Mix(palette.hotTop, palette.hotBottom, (y - 1) / 10.0);
      }
      picture.Set(x, y, 0xFF000000 | colour);
    }
  }
  if (IsChecked(image)) {
    for (int column = 0; column < static_cast<int>(kTickTops.size()); ++column) {
      for (int row = 0; row < kTickThickness; ++row) {
        picture.Set(kTickLeft + column, kTickTops[column] + row, 0xFF000000 | palette.mark);
      }
    }
  }
  return picture;
}

// Part of a pixel inside a disc round the image's centre, found with 4 x 4 samples.
template <typename Inside>
double Coverage(int x, int y, Inside inside) {
  constexpr int kSamples = 4;
  int hits = 0;
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      const double centre = kCheckImageSize / 2.0;
      const double dx = x + (sx + 0.5) / kSamples - centre;
      const double dy = y + (sy + 0.5) / kSamples - centre;
      if (inside(std::sqrt(dx * dx + dy * dy))) {
        ++hits;
      }
    }
  }
  return static_cast<double>(hits) / (kSamples * kSamples);
}

PixelImage DrawRound(const Palette& palette, CheckImage image) {
  constexpr double kOuter = 6.5;
  constexpr double kFace = 5.5;
  constexpr double kHotInner = 3.5;
  constexpr double kDot = 2.5;
  PixelImage picture(kCheckImageSize, kCheckImageSize);
  for (int y = 0; y < kCheckImageSize; ++y) {
    for (int x = 0; x < kCheckImageSize; ++x) {
      picture.Blend(x, y, palette.frame, Coverage(x, y, [](double d) { return d <= kOuter; }));
      picture.Blend(x, y, FaceAt(palette, image, x, y),
                    Coverage(x, y, [](double d) { return d <= kFace; }));
      if (IsHot(image)) {
        picture.Blend(x, y, Mix(palette.hotTop, palette.hotBottom, (y - 1) / 10.0),
                      Coverage(x, y, [](double d) { return d <= kFace && d > kHotInner; }));
      }
      if (IsChecked(image)) {
        picture.Blend(x, y, Mix(palette.markLight, palette.mark, (x + y - 8) / 8.0),
                      Coverage(x, y, [](double d) { return d <= kDot; }));
      }
    }
  }
  return picture;
}

CheckImageSet DrawSet(CheckArtwork artwork) {
  auto draw = [artwork](CheckImage image) {
    switch (artwork) {
      case CheckArtwork::kLunaOlive:
        return DrawSquare(kOlivePalette, image);
      case CheckArtwork::kRoundBlue:
        return DrawRound(kBluePalette, image);
      case CheckArtwork::kLunaBlue:
        break;
    }
    return DrawSquare(kBluePalette, image);
  };
  return {draw(CheckImage::kNone), draw(CheckImage::kChecked),
          draw(CheckImage::kOver), draw(CheckImage::kCheckedOver),
          draw(CheckImage::kDown), draw(CheckImage::kCheckedDown)};
}

}  // namespace

const CheckImageSet& CheckImages(CheckArtwork artwork) {
  static const CheckImageSet blue = DrawSet(CheckArtwork::kLunaBlue);
  static const CheckImageSet olive = DrawSet(CheckArtwork::kLunaOlive);
  static const CheckImageSet round = DrawSet(CheckArtwork::kRoundBlue);
  switch (artwork) {
    case CheckArtwork::kLunaOlive:
      return olive;
    case CheckArtwork::kRoundBlue:
      return round;
    case CheckArtwork::kLunaBlue:
      break;
  }
  return blue;
}

const PixelImage& CheckImageOf(CheckArtwork artwork, CheckImage image) {
  return CheckImages(artwork)[static_cast<std::size_t>(image)];
}

}  // namespace svctune
