// The drawn state images of the check boxes.
#include "controls/check_box_artwork.h"

#include <gtest/gtest.h>

#include <set>

namespace svctune {
namespace {

constexpr CheckArtwork kAllArtwork[] = {CheckArtwork::kLunaBlue, CheckArtwork::kLunaOlive,
                                        CheckArtwork::kRoundBlue};
constexpr CheckImage kAllImages[] = {CheckImage::kNone, CheckImage::kChecked,
                                     CheckImage::kOver, CheckImage::kCheckedOver,
                                     CheckImage::kDown, CheckImage::kCheckedDown};

TEST(CheckBoxArtwork, EveryStateImageIs13By13AndDiffersFromTheOthers) {
  for (CheckArtwork artwork : kAllArtwork) {
    std::set<std::vector<std::uint32_t>> distinct;
    for (CheckImage image : kAllImages) {
      const PixelImage& picture = CheckImageOf(artwork, image);
      EXPECT_EQ(13, picture.width());
      EXPECT_EQ(13, picture.height());
      distinct.insert(picture.pixels());
    }
    EXPECT_EQ(6u, distinct.size());
  }
}

TEST(CheckBoxArtwork, SetsDifferFromEachOther) {
  EXPECT_NE(CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kNone).pixels(),
            CheckImageOf(CheckArtwork::kLunaOlive, CheckImage::kNone).pixels());
  EXPECT_NE(CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kNone).pixels(),
            CheckImageOf(CheckArtwork::kRoundBlue, CheckImage::kNone).pixels());
}

TEST(CheckBoxArtwork, SquareBoxIsOpaqueWithAFrameAndATickWhenChecked) {
  const PixelImage& none = CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kNone);
  const PixelImage& checked = CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kChecked);
  for (std::uint32_t pixel : none.pixels()) {
    EXPECT_EQ(0xFFu, AlphaOf(pixel));
  }
  EXPECT_EQ(0x1C5180u, RgbOf(none.At(0, 0)));
  EXPECT_EQ(0x1C5180u, RgbOf(none.At(12, 6)));
  // The bottom of the tick, and the same place unticked.
  EXPECT_EQ(0x21A121u, RgbOf(checked.At(5, 8)));
  EXPECT_NE(0x21A121u, RgbOf(none.At(5, 8)));
  // Outside the tick the two images agree.
  EXPECT_EQ(none.At(10, 10), checked.At(10, 10));
}

TEST(CheckBoxArtwork, HoverAddsARingAndPressingDarkensTheFace) {
  const PixelImage& none = CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kNone);
  const PixelImage& over = CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kOver);
  const PixelImage& down = CheckImageOf(CheckArtwork::kLunaBlue, CheckImage::kDown);
  EXPECT_NE(none.At(1, 6), over.At(1, 6));
  EXPECT_EQ(none.At(6, 6), over.At(6, 6));
  const auto brightness = [](std::uint32_t argb) {
    return ((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF);
  };
  EXPECT_LT(brightness(down.At(6, 6)), brightness(none.At(6, 6)));
}

TEST(CheckBoxArtwork, RoundBoxHasTransparentCornersAndAnOpaqueCentre) {
  for (CheckImage image : kAllImages) {
    const PixelImage& picture = CheckImageOf(CheckArtwork::kRoundBlue, image);
    EXPECT_EQ(0u, AlphaOf(picture.At(0, 0)));
    EXPECT_EQ(0u, AlphaOf(picture.At(12, 12)));
    EXPECT_EQ(0xFFu, AlphaOf(picture.At(6, 6)));
    EXPECT_EQ(0xFFu, AlphaOf(picture.At(6, 0)));  // the ring at the top
  }
}

TEST(PixelImage, BlendPaintsOverWithCoverage) {
  PixelImage picture(2, 1);
  picture.Blend(0, 0, 0xFF0000, 1.0);
  EXPECT_EQ(0xFFFF0000u, picture.At(0, 0));
  picture.Blend(0, 0, 0x0000FF, 0.5);
  EXPECT_EQ(0xFF800080u, picture.At(0, 0));
  // Half a pixel over nothing: the colour itself, half transparent.
  picture.Blend(1, 0, 0x00FF00, 0.5);
  EXPECT_EQ(0x8000FF00u, picture.At(1, 0));
  picture.Blend(5, 5, 0x00FF00, 1.0);  // outside: ignored
}

}  // namespace
}  // namespace svctune
