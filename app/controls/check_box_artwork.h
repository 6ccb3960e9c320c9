#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace svctune {

// A small picture in memory: pixels 0xAARRGGBB (straight alpha), rows top to bottom.
class PixelImage {
 public:
  PixelImage(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, std::uint32_t argb) { pixels_[Index(x, y)] = argb; }
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }

  // Paints colour (0xRRGGBB) over pixel (x, y) with the given coverage (0..1), the way a
  // brush of that colour covers part of a pixel; pixels outside the image are ignored.
  void Blend(int x, int y, std::uint32_t rgb, double coverage);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

inline constexpr std::uint32_t AlphaOf(std::uint32_t argb) {
  return argb >> 24;
}
inline constexpr std::uint32_t RgbOf(std::uint32_t argb) {
  return argb & 0xFFFFFF;
}

// The states a check box image shows, in the order of the control's six state images
// (imgNone, imgChecked, imgOver, imgCheckedOver, imgDown, imgCheckedDown).
enum class CheckImage { kNone, kChecked, kOver, kCheckedOver, kDown, kCheckedDown };
inline constexpr int kCheckImageCount = 6;
inline constexpr int kCheckImageSize = 13;  // pixels, square

constexpr bool IsChecked(CheckImage image) {
  return image == CheckImage::kChecked || image == CheckImage::kCheckedOver ||
         image == CheckImage::kCheckedDown;
}

// The three sets of state images the check box controls are drawn with.
enum class CheckArtwork {
  kLunaBlue,   // square box, blue frame, green tick
  kLunaOlive,  // square box, olive frame, dark olive tick
  kRoundBlue,  // round box, blue ring, green dot
};

using CheckImageSet = std::array<PixelImage, kCheckImageCount>;

// The six 13 x 13 state images of an artwork set, indexed by CheckImage. Drawn by code once
// per process and kept.
const CheckImageSet& CheckImages(CheckArtwork artwork);
const PixelImage& CheckImageOf(CheckArtwork artwork, CheckImage image);

}  // namespace svctune
