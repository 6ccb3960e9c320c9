#include "controls/xp_option.h"

#include <utility>

#include "ui/twips.h"

namespace svctune {

namespace {

FontSpec Verdana() {
  FontSpec font;
  font.name = L"Verdana";
  font.points = 8.25;
  font.charset = 0;  // ANSI
  return font;
}

}  // namespace

const XPOptionDesign& DesignOf(XPOptionVariant variant) {
  static const XPOptionDesign kXPOption{L"XPOption", CheckArtwork::kLunaBlue, 255, 0, std::nullopt,
                                        std::nullopt};
  static const XPOptionDesign kMyCmd{L"MyCmd",    CheckArtwork::kLunaOlive, 240, 0, std::nullopt,
                                     std::nullopt};
  static const XPOptionDesign kMyOpt{L"MyOpt", CheckArtwork::kRoundBlue, 270, 0, Verdana(), 195};
  switch (variant) {
    case XPOptionVariant::kMyCmd:
      return kMyCmd;
    case XPOptionVariant::kMyOpt:
      return kMyOpt;
    case XPOptionVariant::kXPOption:
      break;
  }
  return kXPOption;
}

XPOption::XPOption(XPOptionVariant variant, FontSpec ambientFont)
    : variant_(variant),
      ambientFont_(std::move(ambientFont)),
      caption_(kDesignCaption),
      font_(design().captionFont.value_or(ambientFont_)) {}

void XPOption::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  Report(L"Caption");
  Redisplay();
}

void XPOption::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Report(L"Enabled");
  labelEnabled_ = enabled_;
  Redisplay();
}

void XPOption::SetValue(bool value) {
  value_ = value;
  Report(L"Value");
  Show(NormalImage());
}

void XPOption::SetFont(FontSpec font) {
  font_ = std::move(font);
  Report(L"Font");
  Redisplay();
}

void XPOption::ReadProperties(const PropertyBag& bag) {
  caption_ = bag.Read<std::wstring>(L"Caption", std::wstring(kDefaultCaption));
  enabled_ = bag.Read<bool>(L"Enabled", true);
  value_ = bag.Read<bool>(L"Value", false);
  font_ = bag.Read<FontSpec>(L"Font", ambientFont_);
  labelEnabled_ = enabled_;
  Show(NormalImage());
}

void XPOption::WriteProperties(PropertyBag& bag) const {
  bag.Write<std::wstring>(L"Caption", caption_, std::wstring(kDefaultCaption));
  bag.Write<bool>(L"Enabled", enabled_, true);
  bag.Write<bool>(L"Value", value_, false);
  bag.Write<FontSpec>(L"Font", font_, ambientFont_);
}

void XPOption::MouseDown() {
  mouseHeld_ = true;
  Show(value_ ? CheckImage::kCheckedDown : CheckImage::kDown);
}

void XPOption::MouseMove(ScreenPoint cursor) {
  if (mouseHeld_) {
    return;
  }
  lastMovePosition_ = cursor;
  timerEnabled_ = true;
  Show(value_ ? CheckImage::kCheckedOver : CheckImage::kOver);
}

void XPOption::MouseUp() {
  // A release without a press on this control (the press began elsewhere) is no click.
  if (!mouseHeld_) {
    return;
  }
  value_ = !value_;
  mouseHeld_ = false;
  if (valueChanged_) {
    // The handler gets Value itself by reference: what it leaves there is the value. It may
    // also destroy the control (closing its window), so it runs from a copy.
    const std::weak_ptr<const bool> alive = alive_;
    const auto handler = valueChanged_;
    handler(value_);
    if (alive.expired()) {
      return;
    }
  }
  Show(NormalImage());
}

void XPOption::MouseCaptureLost() {
  if (!mouseHeld_) {
    return;
  }
  mouseHeld_ = false;
  Show(NormalImage());
}

void XPOption::TimerTick(ScreenPoint cursor) {
  if (mouseHeld_) {
    return;
  }
  if (cursor != lastMovePosition_) {
    timerEnabled_ = false;
    Show(NormalImage());
  }
}

void XPOption::FocusGained() {
  focusFrameVisible_ = true;
  Redisplay();
}

void XPOption::FocusLost() {
  focusFrameVisible_ = false;
  Redisplay();
}

TwipsRect XPOption::ImageRect(int dpi) const {
  const int size = PixelsToTwips(kCheckImageSize, dpi);
  return {0, 0, size, size};
}

TwipsRect XPOption::LabelRect() const {
  return {design().labelLeft, design().labelTop, labelWidth_, labelHeight_};
}

void XPOption::SetLabelSize(int width, int height) {
  if (width == labelWidth_ && height == labelHeight_) {
    return;
  }
  labelWidth_ = width;
  labelHeight_ = height;
  Redisplay();
}

TwipsRect XPOption::FocusFrame() const {
  const TwipsRect label = LabelRect();
  return {label.left - kFocusMargin, label.top - kFocusMargin, label.width + 2 * kFocusMargin,
          label.height + 2 * kFocusMargin};
}

int XPOption::HeightOnResize(int dpi) const {
  return design().fixedHeight.value_or(ImageRect(dpi).height);
}

void XPOption::Show(CheckImage image) {
  shown_ = image;
  Redisplay();
}

void XPOption::Report(std::wstring_view key) const {
  if (propertyChanged_) {
    propertyChanged_(key);
  }
}

void XPOption::Redisplay() const {
  if (displayChanged_) {
    displayChanged_();
  }
}

}  // namespace svctune
