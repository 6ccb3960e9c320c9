#include "progress_model.h"

#include <utility>

namespace svctune::lamina {

namespace {

constexpr double kBarOffset = -15;

std::int32_t AsInt32(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}

std::int16_t ReadInt16(const PropertyBag& bag, std::wstring_view key, std::int16_t fallback) {
  const auto value = ToInt16(bag.Read<std::int32_t>(key, fallback));
  return value ? *value : fallback;
}

}  // namespace

ProgressModel::ProgressModel(scene::TextMeasurer measure, ProgressEvents& events,
                             std::function<void(std::wstring_view)> propertyChanged,
                             std::function<void(int, int)> requestSize)
    : scene_(std::move(measure)),
      events_(events),
      propertyChanged_(std::move(propertyChanged)),
      requestSize_(std::move(requestSize)) {
  const std::size_t press = scene_.AddFilledRect();
  scene_.SetBackColour(press, kDefaultProgressFill);
  scene_.SetBorderColour(press, kProgressBarBorder);
  scene_.Move(press, kBarOffset, kBarOffset, 0, 0);

  const std::size_t text = scene_.AddLabel();
  scene_.SetOpaque(text, false);
  scene_.SetAutoSize(text, true);
  scene_.SetCaption(text, L"0/100");
}

void ProgressModel::Changed(std::wstring_view name) {
  if (propertyChanged_) {
    propertyChanged_(name);
  }
}

void ProgressModel::Resize(int widthTwips, int heightTwips) {
  const auto width = ToInt16(widthTwips);
  const auto height = ToInt16(heightTwips);
  if (!width || !height) {
    return;
  }
  storedWidth_ = *width;
  storedHeight_ = *height;
  Layout();
}

void ProgressModel::Layout() {
  const auto step = FixedPoint::Divide(vertical_ ? storedHeight_ : storedWidth_, maxValue_);
  if (!step) {
    return;
  }
  const double length = step->Times(curValue_);
  if (!vertical_ && length < 0) {
    return;
  }
  unitStep_ = *step;
  if (vertical_) {
    scene_.Move(kPress, kBarOffset, (storedHeight_ - 15) - length, storedWidth_, storedHeight_);
  } else {
    scene_.Move(kPress, kBarOffset, kBarOffset, length, storedHeight_);
  }
  const scene::Rect& text = scene_.at(kTxtPress).bounds;
  scene_.Move(kTxtPress, (storedWidth_ - text.width) / 2, (storedHeight_ - text.height) / 2);
  ShowText(curValue_);
}

void ProgressModel::PlaceBar(std::int16_t value) {
  const scene::Rect bar = scene_.at(kPress).bounds;
  const double length = unitStep_.Times(value);
  if (vertical_) {
    scene_.Move(kPress, bar.left, (storedHeight_ - 15) - length, bar.width, bar.height);
  } else {
    scene_.Move(kPress, bar.left, bar.top, length, bar.height);
  }
}

void ProgressModel::ShowText(std::int16_t value) {
  scene_.SetCaption(kTxtPress, std::to_wstring(value) + L"/" + std::to_wstring(maxValue_));
}

void ProgressModel::InitProperties(const scene::AmbientInfo& ambient) {
  scene_.SetFont(kTxtPress, ambient.font);
  maxValue_ = kDefaultProgressMax;
  curValue_ = 0;
  vertical_ = false;
  if (unitStep_.IsZero()) {
    Layout();
  }
}

void ProgressModel::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  scene_.SetFont(kTxtPress, bag.Read<FontSpec>(L"Font", ambient.font));
  backColour_ =
      static_cast<OleColour>(bag.Read<std::int32_t>(L"BackColor", AsInt32(kDefaultProgressBack)));
  scene_.SetBackColour(kPress, static_cast<OleColour>(bag.Read<std::int32_t>(
                                   L"FillColor", AsInt32(kDefaultProgressFill))));
  maxValue_ = ReadInt16(bag, L"Max", kDefaultProgressMax);
  curValue_ = ReadInt16(bag, L"Value", 0);
  vertical_ = bag.Read<bool>(L"Vertical", false);
  scene_.SetVisible(kTxtPress, bag.Read<bool>(L"ShowTxt", true));
  if (unitStep_.IsZero()) {
    Layout();
  }
}

void ProgressModel::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const {
  bag.Write<FontSpec>(L"Font", Font(), ambient.font);
  bag.Write<std::int32_t>(L"BackColor", AsInt32(BackColor()), AsInt32(kDefaultProgressBack));
  bag.Write<std::int32_t>(L"FillColor", AsInt32(FillColor()), AsInt32(kDefaultProgressFill));
  bag.Write<std::int32_t>(L"Value", curValue_, 0);
  bag.Write<std::int32_t>(L"Max", maxValue_, kDefaultProgressMax);
  bag.Write<bool>(L"Vertical", vertical_, false);
  bag.Write<bool>(L"ShowTxt", ShowTxt(), true);
}

void ProgressModel::SetFont(const FontSpec& font) {
  scene_.SetFont(kTxtPress, font);
  Changed(L"Font");
}

void ProgressModel::SetBackColor(OleColour colour) {
  backColour_ = colour;
  Changed(L"BackColor");
}

void ProgressModel::SetFillColor(OleColour colour) {
  scene_.SetBackColour(kPress, colour);
  Changed(L"FillColor");
}

void ProgressModel::SetValue(std::int16_t value) {
  if (value > maxValue_) {
    value = maxValue_;
  }
  if (value < 0) {
    value = 0;
  }
  PlaceBar(value);
  ShowText(value);
  curValue_ = value;
  Changed(L"Value");
  short argument = value;
  events_.Progress(argument);
}

void ProgressModel::SetMax(std::int16_t maximum) {
  if (maximum < 1) {
    return;
  }
  maxValue_ = maximum;
  if (const auto step = FixedPoint::Divide(vertical_ ? storedHeight_ : storedWidth_, maximum)) {
    unitStep_ = *step;
  }
  Changed(L"Max");
  if (maximum < curValue_) {
    SetValue(maximum);
  }
}

void ProgressModel::SetVertical(bool vertical) {
  vertical_ = vertical;
  const std::int16_t width = storedHeight_;
  const std::int16_t height = storedWidth_;
  if (requestSize_) {
    requestSize_(width, height);
  }
  storedWidth_ = width;
  storedHeight_ = height;
  scene_.SetVisible(kTxtPress, !vertical);
  Changed(L"Vertical");
  Layout();
}

void ProgressModel::SetShowTxt(bool show) {
  scene_.SetVisible(kTxtPress, show);
  Changed(L"ShowTxt");
}

}  // namespace svctune::lamina
