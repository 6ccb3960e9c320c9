#include "button_model.h"

#include <limits>
#include <utility>

namespace svctune::lamina {

namespace {

constexpr double kRightStrip = 45;
constexpr double kBottomStrip = 30;

bool FitsInt16(int value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

ButtonModel::ButtonModel(scene::TextMeasurer measure, ButtonEvents& events,
                         std::function<void(std::wstring_view)> propertyChanged)
    : scene_(std::move(measure)), events_(events), propertyChanged_(std::move(propertyChanged)) {
  const std::size_t face = scene_.AddLabel();
  scene_.SetBackColour(face, kDefaultUnFocusBack);
  scene_.SetForeColour(face, kDefaultFocusBack);
  scene_.SetOpaque(face, true);
  scene_.SetBorder(face, true);
  scene_.SetPointer(face, scene::MousePointer::kHand);

  const std::size_t caption = scene_.AddLabel();
  scene_.SetOpaque(caption, false);
  scene_.SetForeColour(caption, kDefaultUnFocusFore);
  scene_.SetAlignment(caption, scene::Alignment::kCentre);
  scene_.SetAutoSize(caption, true);
  scene_.SetCaption(caption, L"Button");
  scene_.SetPointer(caption, scene::MousePointer::kHand);

  scene_.OnCaptionChanged([this](std::size_t id) {
    if (id == kCaption) {
      CentreCaption();
    }
  });
  scene_.SetMouseHandler(this);
}

bool ButtonModel::Resize(int widthTwips, int heightTwips) {
  if (!FitsInt16(widthTwips) || !FitsInt16(heightTwips) || widthTwips < kRightStrip ||
      heightTwips < kBottomStrip) {
    return false;
  }
  storedWidth_ = static_cast<std::int16_t>(widthTwips);
  storedHeight_ = static_cast<std::int16_t>(heightTwips);
  const scene::Rect& face = scene_.at(kFace).bounds;
  scene_.Move(kFace, face.left, face.top, storedWidth_ - kRightStrip, storedHeight_ - kBottomStrip);
  CentreCaption();
  return true;
}

void ButtonModel::CentreCaption() {
  const scene::Rect& caption = scene_.at(kCaption).bounds;
  const float left = static_cast<float>((storedWidth_ - kRightStrip) - caption.width) / 2.0f;
  const float top = static_cast<float>((storedHeight_ - kBottomStrip) - caption.height) / 2.0f;
  const double shift = pressed_ ? 1.0 : 0.0;
  scene_.Move(kCaption, left + shift * kRightStrip, top + shift * kBottomStrip);
}

void ButtonModel::ShowPressed() {
  pressed_ = true;
  scene_.Move(kFace, kRightStrip, kBottomStrip);
  CentreCaption();
}

void ButtonModel::ShowReleased() {
  pressed_ = false;
  scene_.Move(kFace, 0, 0);
  CentreCaption();
}

void ButtonModel::InitProperties(const scene::AmbientInfo& ambient) {
  scene_.SetFont(kCaption, ambient.font);
  scene_.SetCaption(kCaption, ambient.displayName);
}

void ButtonModel::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  scene_.SetFont(kCaption, bag.Read<FontSpec>(L"Font", ambient.font));
  scene_.SetCaption(kCaption, bag.Read<std::wstring>(L"Caption", ambient.displayName));
  focusFore_ = static_cast<OleColour>(
      bag.Read<std::int32_t>(L"FocusFore", static_cast<std::int32_t>(kDefaultFocusFore)));
  scene_.SetForeColour(kFace, static_cast<OleColour>(bag.Read<std::int32_t>(
                                  L"FocusBack", static_cast<std::int32_t>(kDefaultFocusBack))));
  normalFore_ = static_cast<OleColour>(
      bag.Read<std::int32_t>(L"UnFocusFore", static_cast<std::int32_t>(kDefaultUnFocusFore)));
  normalBack_ = static_cast<OleColour>(
      bag.Read<std::int32_t>(L"UnFocusBack", static_cast<std::int32_t>(kDefaultUnFocusBack)));
  if (!hovered_) {
    scene_.SetForeColour(kCaption, normalFore_);
    scene_.SetBackColour(kFace, normalBack_);
  }
  enabled_ = bag.Read<bool>(L"Enabled", true);
}

void ButtonModel::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const {
  bag.Write<FontSpec>(L"Font", Font(), ambient.font);
  bag.Write<std::wstring>(L"Caption", Caption(), ambient.displayName);
  const auto colour = [](OleColour value) { return static_cast<std::int32_t>(value); };
  bag.Write<std::int32_t>(L"FocusFore", colour(FocusFore()), colour(kDefaultFocusFore));
  bag.Write<std::int32_t>(L"FocusBack", colour(FocusBack()), colour(kDefaultFocusBack));
  bag.Write<std::int32_t>(L"UnFocusFore", colour(UnFocusFore()), colour(kDefaultUnFocusFore));
  bag.Write<std::int32_t>(L"UnFocusBack", colour(UnFocusBack()), colour(kDefaultUnFocusBack));
  bag.Write<bool>(L"Enabled", enabled_, true);
}

void ButtonModel::Changed(std::wstring_view name) {
  if (propertyChanged_) {
    propertyChanged_(name);
  }
}

void ButtonModel::SetCaption(const std::wstring& caption) {
  scene_.SetCaption(kCaption, caption);
  Changed(L"Caption");
}

void ButtonModel::SetFont(const FontSpec& font) {
  scene_.SetFont(kCaption, font);
  Changed(L"Font");
}

void ButtonModel::SetFocusFore(OleColour colour) {
  focusFore_ = colour;
  Changed(L"FocusFore");
}

void ButtonModel::SetFocusBack(OleColour colour) {
  scene_.SetForeColour(kFace, colour);
  Changed(L"FocusBack");
}

void ButtonModel::SetUnFocusFore(OleColour colour) {
  normalFore_ = colour;
  if (!hovered_) {
    scene_.SetForeColour(kCaption, colour);
  }
  Changed(L"UnFocusFore");
}

void ButtonModel::SetUnFocusBack(OleColour colour) {
  normalBack_ = colour;
  if (!hovered_) {
    scene_.SetBackColour(kFace, colour);
  }
  Changed(L"UnFocusBack");
}

void ButtonModel::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed(L"Enabled");
}

void ButtonModel::MouseDown(short button, short shift, double x, double y) {
  if (enabled_) {
    scene_.MouseDown(button, shift, x, y);
  }
}

void ButtonModel::MouseMove(short button, short shift, double x, double y) {
  if (enabled_) {
    scene_.MouseMove(button, shift, x, y);
  }
}

void ButtonModel::MouseUp(short button, short shift, double x, double y) {
  if (enabled_) {
    scene_.MouseUp(button, shift, x, y);
  }
}

void ButtonModel::LabelMouse(std::size_t, scene::MouseAction action, short button, short shift,
                             float x, float y) {
  switch (action) {
    case scene::MouseAction::kDown:
      if (button == scene::kLeftButton) {
        ShowPressed();
        events_.MouseDown(button, shift, x, y);
      }
      break;
    case scene::MouseAction::kUp:
      if (button == scene::kLeftButton) {
        ShowReleased();
        events_.Click();
        events_.MouseUp(button, shift, x, y);
      }
      break;
    case scene::MouseAction::kMove:
      events_.MouseMove(button, shift, x, y);
      SetTimer(true);
      break;
  }
}

void ButtonModel::KeyDown(short keyCode, short shift) {
  if (!enabled_) {
    return;
  }
  if (keyCode == kEnterKey) {
    ShowPressed();
    keyPressed_ = true;
  }
  events_.KeyDown(keyCode, shift);
}

void ButtonModel::KeyUp(short keyCode, short shift) {
  if (!enabled_) {
    return;
  }
  if (keyCode == kEnterKey && keyPressed_) {
    ShowReleased();
    keyPressed_ = false;
    events_.Click();
  }
  events_.KeyUp(keyCode, shift);
}

void ButtonModel::KeyPress(short keyAscii) {
  if (enabled_) {
    events_.KeyPress(keyAscii);
  }
}

void ButtonModel::SetTimer(bool enabled) {
  if (timerEnabled_ == enabled) {
    return;
  }
  timerEnabled_ = enabled;
  if (timerSwitched_) {
    timerSwitched_(enabled);
  }
}

void ButtonModel::HoverTick(const ScreenRect& window, const ScreenPoint& pointer) {
  if (!timerEnabled_) {
    return;
  }
  const bool outside = pointer.x < window.left || window.right < pointer.x ||
                       pointer.y < window.top || window.bottom < pointer.y;
  if (outside) {
    hovered_ = false;
    scene_.SetForeColour(kCaption, normalFore_);
    scene_.SetBackColour(kFace, normalBack_);
    SetTimer(false);
    return;
  }
  hovered_ = true;
  scene_.SetForeColour(kCaption, focusFore_);
  scene_.SetBackColour(kFace, FocusBack());
}

}  // namespace svctune::lamina
