#include "controls/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace svctune {

namespace {

constexpr OleColour kRgbMask = 0xFFFFFF;

// Colours live in the bag as 32-bit numbers, system colours included (0x8000000F is
// negative there).
std::int32_t ToBag(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}
OleColour FromBag(std::int32_t number) {
  return static_cast<OleColour>(number);
}

std::int32_t Clamp(std::int64_t value, std::int32_t steps) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, steps));
}

}  // namespace

BorderKind BorderKindOf(std::int32_t borderStyle) {
  switch (borderStyle) {
    case 1:
      return BorderKind::kBump;
    case 2:
      return BorderKind::kEtched;
    case 3:
      return BorderKind::kRaised;
    case 4:
      return BorderKind::kLine;
    case 5:
      return BorderKind::kSunken;
    default:
      return BorderKind::kNone;
  }
}

ProgressBar::ProgressBar(ColourTranslator translate) : translate_(std::move(translate)) {
  backColor_ = Translated(kDefaultBackColor);
}

void ProgressBar::SetSteps(std::int32_t steps) {
  steps_ = std::max<std::int32_t>(steps, 0);
  Report(L"Steps");
  // Value never stays above a lowered Steps.
  if (value_ > steps_) {
    value_ = steps_;
    Report(L"Value");
  }
  Refresh();
}

void ProgressBar::SetValue(std::int32_t value) {
  value_ = Clamp(value, steps_);
  Changed(L"Value");
}

void ProgressBar::SetFromColor(OleColour colour) {
  fromColor_ = Translated(colour);
  Changed(L"FromColor");
}

void ProgressBar::SetToColor(OleColour colour) {
  toColor_ = Translated(colour);
  Changed(L"ToColor");
}

void ProgressBar::SetBackColor(OleColour colour) {
  backColor_ = Translated(colour);
  Changed(L"BackColor");
}

void ProgressBar::SetBorderStyle(std::int32_t style) {
  borderStyle_ = style;
  Changed(L"BorderStyle");
}

void ProgressBar::SetBorderColor(OleColour colour) {
  borderColor_ = Translated(colour);
  Changed(L"BorderColor");
}

void ProgressBar::SetOrientation(std::int32_t orientation) {
  orientation_ = orientation;
  Changed(L"Orientation");
}

void ProgressBar::Step(std::int32_t increment) {
  SetValue(Clamp(static_cast<std::int64_t>(value_) + increment, steps_));
}

void ProgressBar::Refresh() const {
  if (refresh_) {
    refresh_();
  }
}

void ProgressBar::InitProperties() {
  steps_ = kDefaultSteps;
  fromColor_ = kDefaultFromColor;
  toColor_ = kDefaultToColor;
  value_ = 0;
  borderStyle_ = kDefaultBorderStyle;
  borderColor_ = kDefaultBorderColor;
  orientation_ = kDefaultOrientation;
  backColor_ = Translated(kDefaultBackColor);
  Refresh();
}

void ProgressBar::ReadProperties(const PropertyBag& bag) {
  // Steps first, so that Value is kept within the stored Steps.
  steps_ = std::max<std::int32_t>(bag.Read<std::int32_t>(L"Steps", kDefaultSteps), 0);
  value_ = Clamp(bag.Read<std::int32_t>(L"Value", 0), steps_);
  fromColor_ = Translated(FromBag(bag.Read<std::int32_t>(L"FromColor", ToBag(kDefaultFromColor))));
  toColor_ = Translated(FromBag(bag.Read<std::int32_t>(L"ToColor", ToBag(kDefaultToColor))));
  backColor_ = Translated(FromBag(bag.Read<std::int32_t>(L"BackColor", ToBag(kDefaultBackColor))));
  borderStyle_ = bag.Read<std::int32_t>(L"BorderStyle", kDefaultBorderStyle);
  borderColor_ =
      Translated(FromBag(bag.Read<std::int32_t>(L"BorderColor", ToBag(kDefaultBorderColor))));
  orientation_ = bag.Read<std::int32_t>(L"Orientation", kDefaultOrientation);
  Refresh();
}

void ProgressBar::WriteProperties(PropertyBag& bag) const {
  bag.Write<std::int32_t>(L"Steps", steps_, kDefaultSteps);
  bag.Write<std::int32_t>(L"Value", value_, 0);
  bag.Write<std::int32_t>(L"FromColor", ToBag(fromColor_), ToBag(kDefaultFromColor));
  bag.Write<std::int32_t>(L"ToColor", ToBag(toColor_), ToBag(kDefaultToColor));
  bag.Write<std::int32_t>(L"BackColor", ToBag(backColor_), ToBag(kDefaultBackColor));
  bag.Write<std::int32_t>(L"BorderStyle", borderStyle_, kDefaultBorderStyle);
  bag.Write<std::int32_t>(L"BorderColor", ToBag(borderColor_), ToBag(kDefaultBorderColor));
  bag.Write<std::int32_t>(L"Orientation", orientation_, kDefaultOrientation);
}

bool ProgressBar::LineFilled(int index) const {
  // index x ratio must not exceed Value, with ratio = max(Steps, 1) / 255; compared in whole
  // numbers so that no rounding decides a boundary line.
  const std::int64_t ratioSteps = std::max<std::int32_t>(steps_, 1);
  return value_ != 0 && index >= 0 && index <= kLogicalLength &&
         static_cast<std::int64_t>(index) * ratioSteps <=
             static_cast<std::int64_t>(value_) * kLogicalLength;
}

OleColour ProgressBar::LineColour(int index) const {
  const auto component = [index](OleColour from, OleColour to, OleColour mask, int shift) {
    const int start = static_cast<int>((from & mask) >> shift);
    const double end = static_cast<double>((to & mask) >> shift);
    const double increment = (end - start) / kLogicalLength;
    return static_cast<int>(std::lround(index * increment + start)) & 0xFF;
  };
  return Rgb(component(fromColor_, toColor_, 0xFF, 0), component(fromColor_, toColor_, 0xFF00, 8),
             component(fromColor_, toColor_, 0xFF0000, 16));
}

ProgressBarDrawing ProgressBar::Drawing(int width, int height) const {
  ProgressBarDrawing drawing;
  drawing.width = width;
  drawing.height = height;
  drawing.backColour = backColor_ & kRgbMask;
  drawing.border = BorderKindOf(borderStyle_);
  drawing.borderColour = borderColor_ & kRgbMask;
  const auto direction = static_cast<FillDirection>(orientation_);
  const bool horizontal = direction == FillDirection::kRight || direction == FillDirection::kLeft;
  drawing.windowExtentX = horizontal ? kLogicalLength : width;
  drawing.windowExtentY = horizontal ? height : kLogicalLength;
  for (int i = 0; i <= kLogicalLength && LineFilled(i); ++i) {
    const OleColour colour = LineColour(i);
    switch (direction) {
      case FillDirection::kUp:
        drawing.lines.push_back({i, colour, 0, 256 - i, width, 256 - i});
        break;
      case FillDirection::kRight:
        drawing.lines.push_back({i, colour, i - 1, 0, i - 1, height});
        break;
      case FillDirection::kLeft:
        drawing.lines.push_back({i, colour, 256 - i, 0, 256 - i, height});
        break;
      case FillDirection::kDown:
        drawing.lines.push_back({i, colour, 0, i - 1, width, i - 1});
        break;
      default:  // an orientation without a direction fills nothing
        return drawing;
    }
  }
  return drawing;
}

OleColour ProgressBar::Translated(OleColour colour) const {
  if (!IsSystemColour(colour) || !translate_) {
    return colour;
  }
  return translate_(colour).value_or(colour);
}

void ProgressBar::Report(std::wstring_view key) const {
  if (propertyChanged_) {
    propertyChanged_(key);
  }
}

void ProgressBar::Changed(std::wstring_view key) const {
  Report(key);
  Refresh();
}

}  // namespace svctune
