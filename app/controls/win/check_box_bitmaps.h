#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "controls/check_box_artwork.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// A 32-bit bitmap with premultiplied alpha holding the picture, for AlphaBlend; empty when
// the system refuses it.
ScopedBitmap CreateAlphaBitmap(const PixelImage& picture);

// Draws a bitmap made by CreateAlphaBitmap at (x, y), blended over what the DC shows.
bool DrawAlphaBitmap(HDC target, int x, int y, HBITMAP bitmap, int width, int height);

// The six state images of one artwork set as bitmaps.
class CheckBoxBitmaps {
 public:
  // The set of the process for an artwork, made on first use and shared by every control that
  // shows it (the user-interface thread's; a set that the system refused is made again).
  static const CheckBoxBitmaps& Shared(CheckArtwork artwork);

  explicit CheckBoxBitmaps(CheckArtwork artwork);
  HBITMAP Of(CheckImage image) const { return bitmaps_[static_cast<std::size_t>(image)].get(); }
  bool complete() const;

 private:
  std::array<ScopedBitmap, kCheckImageCount> bitmaps_;
};

}  // namespace svctune::win
