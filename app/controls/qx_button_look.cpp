#include "controls/qx_button_look.h"

#include <algorithm>
#include <cmath>

namespace svctune {

namespace {

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

OleColour ShiftOnce(OleColour colour, int amount, bool blueProportional, bool invert) {
  int red = static_cast<int>(colour & 0xFF) + amount;
  int green = RoundHalfEven(static_cast<double>(colour & 0xFF00) / 255.0 + amount);
  int blue = 0;
  const double blueBits = static_cast<double>(colour & 0xFF0000) / 65280.0;
  if (blueProportional) {
    const int start = RoundHalfEven(blueBits);
    blue = start + (amount * start) / 192;
  } else {
    blue = RoundHalfEven(blueBits + amount);
  }
  red = std::clamp(red, 0, 255);
  green = std::clamp(green, 0, 255);
  blue = std::clamp(blue, 0, 255);
  if (invert) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
  return static_cast<OleColour>(red + green * 256 + blue * 65536);
}

bool IsDiagonal(int buttonShape) {
  return buttonShape >= 1 && buttonShape <= 3;
}
bool SlantsLeft(int buttonShape) {
  return buttonShape == 1 || buttonShape == 3;
}
bool SlantsRight(int buttonShape) {
  return buttonShape == 2 || buttonShape == 3;
}

std::int64_t C(OleColour colour) {
  return static_cast<std::int64_t>(colour);
}
constexpr std::int64_t kSkip = -1;

// A ring's four sides from the colours of its left-and-top and right-and-bottom halves.
void Ring(EdgeColours& table, int ring, std::int64_t leftTop, std::int64_t rightBottom) {
  table[static_cast<std::size_t>(ring * 4 + 0)] = leftTop;
  table[static_cast<std::size_t>(ring * 4 + 1)] = leftTop;
  table[static_cast<std::size_t>(ring * 4 + 2)] = rightBottom;
  table[static_cast<std::size_t>(ring * 4 + 3)] = rightBottom;
}

constexpr int kInner = 0;
constexpr int kMiddle = 1;
constexpr int kOuter = 2;

}  // namespace

OleColour ShiftColor(OleColour colour, int amount, bool blueProportional, bool avoidBlackWhite,
                     bool invert) {
  const OleColour shifted = ShiftOnce(colour, amount, blueProportional, invert);
  if (avoidBlackWhite && (shifted == 0x000000 || shifted == 0xFFFFFF)) {
    return ShiftOnce(colour, amount == 0 ? 64 : -amount, blueProportional, invert);
  }
  return shifted;
}

DerivedColours DeriveColours(int buttonStyle, OleColour backRgb, OleColour hoverBackRgb) {
  DerivedColours colours{backRgb, backRgb, hoverBackRgb, 0};
  switch (buttonStyle) {
    case 7:
      colours.face = ShiftColor(colours.face, 31);
      colours.shadow = ShiftColor(kGray, -16);
      colours.hoverFace = ShiftColor(colours.hoverFace, 31);
      colours.light = ShiftColor(kGray, 16, true);
      break;
    case 2:
      colours.face = ShiftColor(colours.face, 48, true);
      colours.hoverFace = ShiftColor(colours.hoverFace, 48, true);
      colours.shadow = ShiftColor(colours.face, -32, true);
      colours.light = ShiftColor(kWhite, -32, true);
      break;
    case 3:
      colours.shadow = ShiftColor(kGray, 12);
      colours.light = ShiftColor(colours.shadow, 31);
      break;
    default:
      colours.light = ShiftColor(kWhite, -32);
      break;
  }
  return colours;
}

int SlantOf(int buttonShape, int height) {
  return IsDiagonal(buttonShape) ? height + 1 : 0;
}

int WidthForShape(int buttonShape, int width, int height) {
  const int slant = SlantOf(buttonShape, height);
  if (slant == 0) {
    return width;
  }
  while (width - slant <= 4) {
    width += 5;
  }
  return width;
}

std::array<PixelPoint, 4> DiagonalOutline(int buttonShape, int width, int height) {
  const int slant = SlantOf(buttonShape, height);
  std::array<PixelPoint, 4> outline{
      {{0, 0}, {0, height + 1}, {width + 1, height + 1}, {width + 1, 0}}};
  if (SlantsLeft(buttonShape)) {
    outline[1] = {slant, height + 1};
  }
  if (SlantsRight(buttonShape)) {
    outline[3] = {width - slant + 1, 0};
  }
  return outline;
}

CornerCuts CornerCutsOf(int buttonShape, int buttonStyle, bool enabled, int width, int height) {
  CornerCuts cuts;
  if (buttonShape > 3) {
    return cuts;
  }
  // The corners of the straight sides: a slanted side has none.
  const bool leftCorners = !SlantsLeft(buttonShape);
  const bool rightCorners = !SlantsRight(buttonShape);
  const int w = width;
  const int h = height;
  if (buttonStyle == 1 || (buttonStyle == 3 && enabled)) {
    if (leftCorners) {
      cuts.pixels.push_back({0, 0});
      cuts.pixels.push_back({0, h - 1});
    }
    if (rightCorners) {
      cuts.pixels.push_back({w - 1, 0});
      cuts.pixels.push_back({w - 1, h - 1});
    }
  } else if (buttonStyle == 2 || buttonStyle == 7) {
    if (leftCorners) {
      cuts.triangles.push_back({{{0, 0}, {2, 0}, {0, 2}}});
      cuts.triangles.push_back({{{0, h}, {3, h}, {0, h - 3}}});
    }
    if (rightCorners) {
      cuts.triangles.push_back({{{w, 0}, {w - 2, 0}, {w, 2}}});
      cuts.triangles.push_back({{{w, h}, {w - 3, h}, {w, h - 3}}});
    }
  }
  return cuts;
}

std::array<EdgeRing, 3> EdgeRings(int buttonShape, int width, int height) {
  const int w = width;
  const int h = height;
  const int s = SlantOf(buttonShape, height);
  std::array<EdgeRing, 3> rings{};
  rings[kInner] = {{{2, h - 3}, {2, 2}, {w - 3, 2}, {w - 3, h - 3}, {1, h - 3}}};
  rings[kMiddle] = {{{1, h - 2}, {1, 1}, {w - 2, 1}, {w - 2, h - 2}, {0, h - 2}}};
  rings[kOuter] = {{{0, h - 1}, {0, 0}, {w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}}};
  if (SlantsLeft(buttonShape)) {
    rings[kInner][0] = {s - 2, h - 3};
    rings[kInner][1] = {4, 2};
    rings[kInner][4] = {s - 3, h - 3};
    rings[kMiddle][0] = {s - 1, h - 2};
    rings[kMiddle][1] = {2, 1};
    rings[kMiddle][4] = {s - 3, h - 2};
    rings[kOuter][0] = {s - 1, h - 1};
    rings[kOuter][1] = {0, 0};
    rings[kOuter][4] = {s - 3, h - 1};
  }
  if (SlantsRight(buttonShape)) {
    rings[kInner][2] = {w - s, 2};
    rings[kInner][3] = {w - 6, h - 3};
    rings[kMiddle][2] = {w - s, 1};
    rings[kMiddle][3] = {w - 4, h - 2};
    rings[kOuter][2] = {w - s, 0};
    rings[kOuter][3] = {w - 1, h - 1};
  }
  return rings;
}

EdgeColours EdgeColoursOf(int buttonStyle, EdgeState state, bool defaultMarking,
                          const DerivedColours& colours) {
  EdgeColours table;
  table.fill(kSkip);
  const bool sunken = state == EdgeState::kPressed || state == EdgeState::kSunken;
  switch (buttonStyle) {
    case 0:
      if (state == EdgeState::kDefault) {
        Ring(table, kInner, C(kPaleGray), C(kGray));
        Ring(table, kMiddle, C(kWhite), C(kBlack));
      } else if (state == EdgeState::kNormal) {
        Ring(table, kMiddle, C(kPaleGray), C(kGray));
      } else {
        Ring(table, kMiddle, kSkip, C(state == EdgeState::kPressed ? kGray : kPaleGray));
      }
      if (state == EdgeState::kSunken) {
        Ring(table, kOuter, C(kBlack), C(kWhite));
      } else {
        Ring(table, kOuter, C(defaultMarking ? kBlack : kWhite), C(kBlack));
      }
      break;
    case 1:
      Ring(table, kInner, C(sunken ? kGray : kWhite), C(sunken ? kWhite : kGray));
      Ring(table, kMiddle, C(sunken ? kGray : kWhite), C(sunken ? kWhite : kGray));
      Ring(table, kOuter, C(kBlack), C(kBlack));
      break;
    case 2:
      Ring(table, kMiddle, C(sunken ? colours.shadow : kWhite),
           C(sunken ? kWhite : colours.shadow));
      Ring(table, kOuter, C(state == EdgeState::kDefault ? kBlack : colours.shadow),
           C(state == EdgeState::kDefault ? kBlack : colours.shadow));
      break;
    case 3:
      if (sunken) {
        Ring(table, kMiddle, C(colours.shadow), kSkip);
      }
      if (state == EdgeState::kDefault) {
        Ring(table, kMiddle, C(kFlatFrameColour), C(kFlatFrameColour));
      }
      Ring(table, kOuter, C(kFlatFrameColour), C(kFlatFrameColour));
      break;
    case 4:
      if (sunken) {
        Ring(table, kOuter, C(kGray), C(kWhite));
      } else {
        Ring(table, kOuter, C(kWhite), C(state == EdgeState::kDefault ? kBlack : kGray));
        if (state == EdgeState::kDefault) {
          Ring(table, kMiddle, kSkip, C(kGray));
        }
      }
      break;
    case 5:
      Ring(table, kMiddle, C(sunken ? kGray : kWhite), C(sunken ? kWhite : kGray));
      Ring(table, kOuter, C(kBlack), C(kBlack));
      break;
    case 6:
      Ring(table, kMiddle, C(sunken ? kGray : colours.light), C(sunken ? colours.light : kGray));
      Ring(table, kOuter, C(sunken ? 0x404040 : colours.light),
           C(sunken ? colours.light : (state == EdgeState::kDefault ? kBlack : 0x404040)));
      break;
    default:
      Ring(table, kMiddle, C(sunken ? colours.light : kWhite), C(sunken ? kWhite : colours.light));
      Ring(table, kOuter, C(state == EdgeState::kDefault ? kBlack : colours.shadow),
           C(state == EdgeState::kDefault ? kBlack : colours.shadow));
      break;
  }
  return table;
}

std::vector<OleColour> ColourRamp(OleColour start, OleColour end, int count) {
  std::vector<OleColour> ramp;
  if (count <= 0) {
    return ramp;
  }
  ramp.reserve(static_cast<std::size_t>(count));
  ramp.push_back(start);
  double red = static_cast<double>(start & 0xFF);
  double green = static_cast<double>(start & 0xFF00) / 255.0;
  double blue = static_cast<double>(start & 0xFF0000) / 65280.0;
  const double endRed = static_cast<double>(end & 0xFF);
  const double endGreen = RoundHalfEven(static_cast<double>(end & 0xFF00) / 255.0);
  const double endBlue = RoundHalfEven(static_cast<double>(end & 0xFF0000) / 65280.0);
  if (count == 1) {
    return ramp;
  }
  const double steps = count - 1;
  const double stepRed = (endRed - red) / steps;
  const double stepGreen = (endGreen - green) / steps;
  const double stepBlue = (endBlue - blue) / steps;
  for (int k = 1; k < count; ++k) {
    red = std::clamp(red + stepRed, 0.0, 255.0);
    green = std::clamp(green + stepGreen, 0.0, 255.0);
    blue = std::clamp(blue + stepBlue, 0.0, 255.0);
    ramp.push_back(static_cast<OleColour>(std::floor(green)) * 256 +
                   static_cast<OleColour>(std::floor(red)) +
                   static_cast<OleColour>(std::floor(blue)) * 65536);
  }
  return ramp;
}

GradientBands GradientOf(int gradientMode, int length, int screenLength, OleColour start,
                         OleColour end) {
  GradientBands bands;
  if (gradientMode < 1 || gradientMode > 4 || length <= 0) {
    return bands;
  }
  if (screenLength / length > 3) {
    bands.count = length;
    bands.thickness = 1;
  } else {
    bands.count = length / 2;
    bands.thickness = 2;
  }
  bands.colours = ColourRamp(start, end, bands.count);
  if (gradientMode == 2 || gradientMode == 4) {
    std::reverse(bands.colours.begin(), bands.colours.end());
  }
  return bands;
}

std::wstring CaptionLines(const std::wstring& caption) {
  std::wstring lines;
  lines.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'|' && i + 1 < caption.size() && caption[i + 1] == L'|') {
      lines += L"\r\n";
      ++i;
    } else {
      lines += caption[i];
    }
  }
  return lines;
}

ButtonLayout LayoutOf(const LayoutInput& in, const TextMeasure& measure) {
  const int w = in.width;
  const int h = in.height;
  const int s = SlantOf(in.buttonShape, h);
  // The area beside the slanted edges.
  int start = 0;
  int usable = w;
  const int slantedLeftStart = s - s / 3 + 3;
  const int slantedRightEnd = w - s + s / 3;
  switch (in.buttonShape) {
    case 1:
      start = slantedLeftStart;
      usable = w - start;
      break;
    case 2:
      usable = slantedRightEnd;
      break;
    case 3:
      start = slantedLeftStart;
      usable = slantedRightEnd - start;
      break;
    case 7:
    case 8:
      start = 3;
      usable = w - 3;
      break;
    default:
      break;
  }

  const int size = in.picturePixels;
  const bool reserves = in.hasPicture && size <= 32;
  const int leftReserve = reserves && (in.pictureAlign == 0 || in.pictureAlign == 1) ? size : 0;
  const int rightReserve = reserves && (in.pictureAlign == 2 || in.pictureAlign == 3) ? size : 0;
  const int topReserve = reserves && in.pictureAlign == 4 ? size : 0;
  const int bottomReserve = reserves && in.pictureAlign == 5 ? size : 0;

  ButtonLayout layout;
  PixelPoint text{0, 0};
  if (!in.caption.empty()) {
    text = measure(in.caption, usable - leftReserve - rightReserve - 8,
                   h - 8 - topReserve - bottomReserve);
    if (in.captionStyle != 0) {
      text.x += 2;
      text.y += 2;
    }
  }
  const int tw = text.x;
  const int th = text.y;

  int captionLeft = 0;
  if (in.captionAlign == 0) {
    captionLeft = start + 4 + (leftReserve > 0 ? size + 4 : 0);
  } else if (in.captionAlign == 1) {
    captionLeft = w - rightReserve - tw - 4 - (rightReserve > 0 ? 4 : 0);
  } else if (reserves && in.pictureAlign == 1) {
    captionLeft = start + (usable - (size + 4 + tw)) / 2 + size + 4;
  } else if (reserves && in.pictureAlign == 3) {
    captionLeft = start + (usable - (size + 4 + tw)) / 2;
  } else {
    captionLeft = start + leftReserve + (usable - leftReserve - rightReserve - tw) / 2;
  }

  int captionTop = (h - th) / 2;
  int pictureTop = (h - size) / 2;
  if (reserves && (in.pictureAlign == 4 || in.pictureAlign == 5)) {
    const int d = (h - (th + size)) / 2;
    if (in.pictureAlign == 4) {
      pictureTop = d;
      captionTop = d + size + 2;
    } else {
      captionTop = d + 2;
      pictureTop = d + th + 4;
    }
  }
  layout.caption = {captionLeft, captionTop, captionLeft + tw, captionTop + th};

  const bool noCaption = in.caption.empty();
  int pictureAlign = in.pictureAlign;
  if (noCaption && pictureAlign == 1) {
    pictureAlign = 0;
  } else if (noCaption && pictureAlign == 3) {
    pictureAlign = 2;
  }
  int pictureLeft = 0;
  switch (pictureAlign) {
    case 0:
      pictureLeft = start + 4;
      break;
    case 1:
      pictureLeft = captionLeft - size - 4;
      break;
    case 2:
      pictureLeft = w - 4 - size;
      break;
    case 3:
      pictureLeft = layout.caption.right + 4;
      break;
    default:
      pictureLeft = start + (usable - size) / 2;
      break;
  }
  layout.picture = {pictureLeft, pictureTop, pictureLeft + size, pictureTop + size};

  const auto clampInside = [&](PixelRect& rect) {
    rect.left = std::max(rect.left, start + 4);
    rect.top = std::max(rect.top, 4);
    rect.right = std::min(rect.right, w - 4);
    rect.bottom = std::min(rect.bottom, h - 5);
  };
  clampInside(layout.caption);
  if (size <= 32) {
    clampInside(layout.picture);
  } else if (size == 40) {
    const int inset = in.buttonShape == 6 ? 1 : 3;
    layout.picture = {inset, inset, w - inset, h - inset};
  } else if (in.buttonShape >= 7) {
    layout.picture = {0, 0, w, h};
  } else {
    const int boxWidth = std::max(w - 12, 0);
    const int boxHeight = std::max(h - 12, 0);
    int fitWidth = boxWidth;
    int fitHeight = boxHeight;
    if (in.pictureWidth > 0 && in.pictureHeight > 0) {
      // The larger of the two ratios decides, so the whole picture fits.
      if (static_cast<long long>(in.pictureWidth) * boxHeight >
          static_cast<long long>(in.pictureHeight) * boxWidth) {
        fitHeight =
            static_cast<int>(static_cast<long long>(in.pictureHeight) * boxWidth / in.pictureWidth);
      } else {
        fitWidth = static_cast<int>(static_cast<long long>(in.pictureWidth) * boxHeight /
                                    in.pictureHeight);
      }
    }
    const int left = (w - fitWidth) / 2;
    const int top = (h - fitHeight) / 2;
    layout.picture = {left, top, left + fitWidth, top + fitHeight};
  }
  return layout;
}

}  // namespace svctune
