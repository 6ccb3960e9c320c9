#include "controls/win/check_box_bitmaps.h"

#include <algorithm>
#include <cstdint>

namespace svctune::win {

ScopedBitmap CreateAlphaBitmap(const PixelImage& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width();
  info.bmiHeader.biHeight = -picture.height();  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) {
    return ScopedBitmap();
  }
  // 0xAARRGGBB is the byte order B, G, R, A of a 32-bit DIB; AlphaBlend wants the colour
  // channels multiplied by alpha.
  auto* out = static_cast<std::uint32_t*>(bits);
  std::transform(picture.pixels().begin(), picture.pixels().end(), out, [](std::uint32_t argb) {
    const std::uint32_t alpha = AlphaOf(argb);
    auto scaled = [alpha, argb](int shift) {
      return ((((argb >> shift) & 0xFF) * alpha + 127) / 255) << shift;
    };
    return (alpha << 24) | scaled(16) | scaled(8) | scaled(0);
  });
  return bitmap;
}

bool DrawAlphaBitmap(HDC target, int x, int y, HBITMAP bitmap, int width, int height) {
  if (bitmap == nullptr) {
    return false;
  }
  ScopedMemoryDc source(CreateCompatibleDC(target));
  if (!source) {
    return false;
  }
  SelectedObject selected(source.get(), bitmap);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return AlphaBlend(target, x, y, width, height, source.get(), 0, 0, width, height, blend) != FALSE;
}

const CheckBoxBitmaps& CheckBoxBitmaps::Shared(CheckArtwork artwork) {
  static std::array<std::unique_ptr<CheckBoxBitmaps>,
                    static_cast<std::size_t>(CheckArtwork::kRoundBlue) + 1>
      sets;
  std::unique_ptr<CheckBoxBitmaps>& set = sets.at(static_cast<std::size_t>(artwork));
  if (!set || !set->complete()) {
    set = std::make_unique<CheckBoxBitmaps>(artwork);
  }
  return *set;
}

CheckBoxBitmaps::CheckBoxBitmaps(CheckArtwork artwork) {
  const CheckImageSet& pictures = CheckImages(artwork);
  for (std::size_t i = 0; i < bitmaps_.size(); ++i) {
    bitmaps_[i] = CreateAlphaBitmap(pictures[i]);
  }
}

bool CheckBoxBitmaps::complete() const {
  return std::all_of(bitmaps_.begin(), bitmaps_.end(),
                     [](const ScopedBitmap& bitmap) { return static_cast<bool>(bitmap); });
}

}  // namespace svctune::win
