#include "controls/qx_buttons_h.h"

#include <utility>

namespace svctune {

namespace {

// The one effect a drop target answers with: the first of copy, move and link that the
// handler left and the source allows, with the scroll flag as the handler left it.
std::int32_t DropAnswer(std::int32_t effect, std::int32_t allowed) {
  std::int32_t answer = kDropEffectNone;
  for (const std::int32_t one : {kDropEffectCopy, kDropEffectMove, kDropEffectLink}) {
    if ((effect & allowed & one) != 0) {
      answer = one;
      break;
    }
  }
  return answer | (effect & kDropEffectScroll);
}

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kNoButton = -1;
constexpr std::int16_t kKeySpace = 0x20;
constexpr std::int16_t kKeyShift = 16;
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;

constexpr int kCommandMode = 0;
constexpr int kOptionMode = 2;

constexpr const wchar_t* kOptionCountKey = L"qx_OptCount";

std::wstring MemberKey(std::intptr_t number) {
  return std::to_wstring(number) + L"qx_Obj";
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high;
}

// Colours live in the bag as 32-bit numbers, system colours included.
std::int32_t ToBag(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}
OleColour FromBag(std::int32_t number) {
  return static_cast<OleColour>(number);
}

// Arrow keys and the key data of the key-down message the container gets for them.
std::optional<std::uint32_t> ArrowKeyData(std::int16_t keyCode) {
  switch (keyCode) {
    case 0x25:
      return 0x4B0001;
    case 0x26:
      return 0x480001;
    case 0x27:
      return 0x4D0001;
    case 0x28:
      return 0x500001;
    default:
      return std::nullopt;
  }
}

// The access key of a caption: searching backwards, a doubled "&&" is a literal ampersand;
// the first single "&" gives the character after it. None when there is no single "&".
std::optional<wchar_t> AccessKeyOf(const std::wstring& caption) {
  std::size_t i = caption.size();
  while (i > 0) {
    --i;
    if (caption[i] != L'&') {
      continue;
    }
    if (i > 0 && caption[i - 1] == L'&') {
      --i;
      continue;
    }
    if (i + 1 < caption.size()) {
      return caption[i + 1];
    }
    return std::nullopt;
  }
  return std::nullopt;
}

const PixelPoint kClickDirections[9] = {{0, 0},  {0, -1}, {1, -1}, {-1, -1}, {1, 1},
                                        {-1, 1}, {1, 0},  {0, 1},  {-1, 0}};

}  // namespace

qxButtons_H::qxButtons_H(qxButtons_HSite& site) : site_(site) {}

qxButtons_H::~qxButtons_H() {
  Terminate();
}

void qxButtons_H::Terminate() {
  if (hoverTracking_) {
    site_.StopHoverTimer(kHoverTimerId);
    hoverTracking_ = false;
  }
  // The group keeps an uncounted reference: a member never outlives its slot.
  if (inGroup_) {
    OptionToggle(OptionAction::kLeave);
  }
}

void qxButtons_H::SetCaption(std::wstring caption) {
  if (const auto key = AccessKeyOf(caption)) {
    accessKey_ = *key;
  }
  caption_ = std::move(caption);
  Redraw();
  Report(L"Caption");
}

void qxButtons_H::SetCaptionAlign(std::int32_t align) {
  if (!InRange(align, 0, 2)) {
    return;
  }
  if (align == 2 || pictureAlign_ < 4 || !picture_) {
    captionAlign_ = align;
    Redraw();
    Report(L"CapAlign");
    return;
  }
  DesignMessage(
      L"When button images are aligned top/bottom center, \r\nbutton captions can only be center "
      L"aligned");
}

void qxButtons_H::SetCaptionStyle(std::int32_t style) {
  if (!InRange(style, 0, 2)) {
    return;
  }
  captionStyle_ = style;
  Report(L"CapStyle");
  if (!caption_.empty()) {
    Redraw();
  }
}

void qxButtons_H::SetButtonStyle(std::int32_t style) {
  if (!InRange(style, 0, 7)) {
    return;
  }
  const std::int32_t old = buttonStyle_;
  buttonStyle_ = style;
  if (((old == 5 || style == 5) && buttonShape_ < 7) || buttonShape_ < 4) {
    site_.RebuildRegion();
  }
  DeriveColours();
  Redraw();
  Report(L"BackStyle");
}

void qxButtons_H::SetMode(std::int32_t mode) {
  if (!InRange(mode, 0, 2)) {
    return;
  }
  const std::int32_t old = mode_;
  if (old == kOptionMode && mode < kOptionMode) {
    OptionToggle(OptionAction::kLeave);
  }
  mode_ = mode;
  if (mode == kOptionMode && old < kOptionMode) {
    OptionToggle(OptionAction::kJoin);
  }
  if (mode == kCommandMode && old != kCommandMode) {
    value_ = false;
    Report(L"Value");
  }
  Redraw();
  Report(L"Mode");
}

void qxButtons_H::SetValue(bool value) {
  if (value && mode_ == kCommandMode) {
    DesignMessage(L"This property is not applicable for command button modes.");
    return;
  }
  value_ = value;
  if (value && mode_ == kOptionMode) {
    OptionToggle(OptionAction::kClearOthers);
  }
  Redraw();
  Report(L"Value");
}

void qxButtons_H::SetCustomClick(std::int32_t customClick) {
  if (!InRange(customClick, 0, 8)) {
    return;
  }
  customClick_ = customClick;
  Report(L"CustomClick");
  if (buttonShape_ < 7 && customClick > 0) {
    DesignMessage(L"This property has no effect unless the Button Shape is a custom shape.");
  }
}

void qxButtons_H::SetButtonShape(std::int32_t shape) {
  if (!InRange(shape, 0, 8)) {
    return;
  }
  if (shape >= 7) {
    if (!picture_ || picture_->kind() == PictureKind::kIcon) {
      DesignMessage(L"The Picture Property must be assigned first and must be a bitmap or JPEG.");
      return;
    }
    if (PictureSize() != 4) {
      delayDrawing_ = true;
      SetPictureSize(4);
    }
  }
  buttonShape_ = shape;
  const std::int32_t captionAlign = captionAlign_;
  captionAlign_ = 2;
  site_.Resize();
  captionAlign_ = captionAlign;
  DelayDrawing(false);
  Report(L"Shape");
}

void qxButtons_H::SetPicture(PicturePtr picture) {
  picture_ = std::move(picture);
  if (picturePixels_ == 0) {
    picturePixels_ = 16;
  }
  if (buttonShape_ < 7) {
    Redraw();
  } else {
    if (!picture_) {
      buttonShape_ = 0;
    } else if (picture_->kind() == PictureKind::kIcon) {
      buttonShape_ = 0;
      DesignMessage(
          L"Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\nButton was "
          L"changed to Rectangular shaped.");
    }
    site_.Resize();
  }
  Report(L"Image");
}

void qxButtons_H::SetPictureAlign(std::int32_t align) {
  if (!InRange(align, 0, 5)) {
    return;
  }
  pictureAlign_ = align;
  if (align >= 4) {
    captionAlign_ = 2;
  }
  Redraw();
  Report(L"ImgAlign");
}

std::int32_t qxButtons_H::PictureSize() const {
  return PicturePixels() / 8 - 2;
}

void qxButtons_H::SetPictureSize(std::int32_t size) {
  if (!InRange(size, 0, 4)) {
    return;
  }
  if (buttonShape_ >= 7) {
    DesignMessage(L"The picture size cannot be changed for Shaped buttons");
    return;
  }
  picturePixels_ = (size + 2) * 8;
  Redraw();
  Report(L"ImgSize");
}

void qxButtons_H::SetEnabled(bool enabled) {
  if (enabled != enabled_) {
    enabled_ = enabled;
  }
  if (buttonStyle_ == 3 && mode_ == kCommandMode && buttonShape_ <= 3) {
    delayDrawing_ = true;
    site_.RebuildRegion();
    DelayDrawing(false);
  } else {
    Redraw();
  }
  Report(L"Enabled");
}

void qxButtons_H::SetShowFocusRect(bool show) {
  showFocusRect_ = show;
  if ((stateFlags_ & kDefaultMarking) != 0) {
    if (site_.UserMode()) {
      stateFlags_ &= ~kDefaultMarking;
      Redraw();
    } else {
      DesignMessage(
          L"The focus rectangle may appear on default buttons ONLY while in design mode, \r\nbut "
          L"will not appear when the form is running.");
    }
  } else {
    Redraw();
  }
  Report(L"Focus");
}

void qxButtons_H::SetMousePointer(std::int32_t pointer) {
  mousePointer_ = pointer;
  site_.ApplyMousePointer(pointer);
  Report(L"mPointer");
}

void qxButtons_H::SetMouseIcon(PicturePtr icon) {
  if (const auto error = site_.ApplyMouseIcon(icon)) {
    DesignMessage(*error, L"Select .ico Or .cur Files Only");
    return;
  }
  mouseIcon_ = std::move(icon);
  if (mouseIcon_) {
    SetMousePointer(kCustomPointer);
    Report(L"mIcon");
  }
}

void qxButtons_H::SetFont(FontSpec font) {
  font_ = std::move(font);
  Redraw();
  Report(L"Font");
}

std::int32_t qxButtons_H::FontStyle() const {
  return (font_.bold ? 2 : 0) + (font_.italic ? 4 : 0) + (font_.underline ? 8 : 0);
}

void qxButtons_H::SetFontStyle(std::int32_t style) {
  font_.bold = (style & 2) != 0;
  font_.italic = (style & 4) != 0;
  font_.underline = (style & 8) != 0;
  Report(L"Font");
  Redraw();
}

void qxButtons_H::SetForeColor(OleColour colour) {
  if (colour == foreColor_) {
    return;
  }
  foreColor_ = colour;
  if (hoverColorLocks_ == 0 || hoverColorLocks_ == 1) {
    hoverForeColor_ = colour;
  }
  delayDrawing_ = false;
  Redraw();
  Report(L"cFore");
}

void qxButtons_H::SetBackColor(OleColour colour) {
  backColor_ = colour;
  if (hoverColorLocks_ == 0 || hoverColorLocks_ == 2) {
    TieHoverBack();
  }
  DeriveColours();
  Redraw();
  Report(L"cBack");
}

void qxButtons_H::SetGradientColor(OleColour colour) {
  if ((hoverColorLocks_ == 0 || hoverColorLocks_ == 2) && gradientMode_ > 0) {
    hoverBackColor_ = colour;
  }
  gradientColor_ = colour;
  DeriveColours();
  if (gradientMode_ != 0) {
    Redraw();
  }
  Report(L"cGradient");
}

void qxButtons_H::SetGradientMode(std::int32_t mode) {
  if (!InRange(mode, 0, 4)) {
    return;
  }
  gradientMode_ = mode;
  if (hoverColorLocks_ == 0 || hoverColorLocks_ == 2) {
    TieHoverBack();
    DeriveColours();
  }
  Redraw();
  Report(L"Gradient");
}

void qxButtons_H::SetHoverColorLocks(std::int32_t locks) {
  hoverColorLocks_ = locks;
  if (locks == 0 || locks == 2) {
    TieHoverBack();
    Report(L"cBhover");
  }
  if (locks == 0 || locks == 1) {
    hoverForeColor_ = foreColor_;
    Report(L"cFHover");
  }
  DeriveColours();
  Report(L"LockHover");
}

void qxButtons_H::SetHoverForeColor(OleColour colour) {
  if (colour == hoverForeColor_) {
    return;
  }
  hoverForeColor_ = colour;
  Report(L"cFHover");
  if (colour != foreColor_) {
    if (hoverColorLocks_ == 0) {
      hoverColorLocks_ = 2;
    } else if (hoverColorLocks_ == 1) {
      hoverColorLocks_ = 3;
    }
  }
}

void qxButtons_H::SetHoverBackColor(OleColour colour) {
  if (colour == hoverBackColor_) {
    return;
  }
  hoverBackColor_ = colour;
  if (colour != backColor_) {
    if (hoverColorLocks_ == 0) {
      hoverColorLocks_ = 1;
    } else if (hoverColorLocks_ == 2) {
      hoverColorLocks_ = 3;
    }
  }
  DeriveColours();
  Report(L"cBhover");
}

void qxButtons_H::SetResetDefaultColors(bool reset) {
  if (!reset || site_.UserMode()) {
    return;
  }
  delayDrawing_ = true;
  backColor_ = kButtonFace;
  SetForeColor(kButtonText);
  SetGradientColor(kButtonFace);
  SetGradientMode(0);
  SetHoverColorLocks(0);
  DeriveColours();
  DelayDrawing(false);
  Report(L"cGradient");
  Report(L"cBack");
}

void qxButtons_H::Refresh() {
  delayDrawing_ = false;
  Redraw();
}

void qxButtons_H::DelayDrawing(bool delay) {
  delayDrawing_ = delay;
  if (!delay) {
    Refresh();
  }
}

void qxButtons_H::InitProperties() {
  caption_ = site_.DisplayName();
  if (const auto key = AccessKeyOf(caption_)) {
    accessKey_ = *key;
  }
  captionAlign_ = 2;
  showFocusRect_ = true;
  hoverForeColor_ = kButtonText;
  hoverBackColor_ = kButtonFace;
  if (const auto font = site_.AmbientFont()) {
    font_ = *font;
  }
  parentBackRgb_ = Rgb(site_.AmbientBackColor());
  backColor_ = kButtonFace;
  DeriveColours();
  for (const wchar_t* key : {L"Caption", L"CapAlign", L"Focus", L"cFHover", L"cBhover", L"Font"}) {
    Report(key);
  }
}

void qxButtons_H::ReadProperties(const PropertyBag& bag) {
  parentBackRgb_ = Rgb(site_.AmbientBackColor());
  delayDrawing_ = true;
  const auto readEnum = [&](const wchar_t* key, std::int32_t fallback, std::int32_t high) {
    const std::int32_t value = bag.Read<std::int32_t>(key, fallback);
    return InRange(value, 0, high) ? value : fallback;
  };
  const auto readColour = [&](const wchar_t* key, OleColour fallback) {
    return FromBag(bag.Read<std::int32_t>(key, ToBag(fallback)));
  };
  const FontSpec ambientFont = site_.AmbientFont().value_or(font_);
  caption_ = bag.Read<std::wstring>(L"Caption", std::wstring());
  captionAlign_ = readEnum(L"CapAlign", 2, 2);
  buttonStyle_ = readEnum(L"BackStyle", 0, 7);
  buttonShape_ = readEnum(L"Shape", 0, 8);
  gradientMode_ = readEnum(L"Gradient", 0, 4);
  gradientColor_ = readColour(L"cGradient", kButtonFace);
  foreColor_ = readColour(L"cFore", kButtonText);
  font_ = bag.Read<FontSpec>(L"Font", ambientFont);
  showFocusRect_ = bag.Read<bool>(L"Focus", true);
  mode_ = readEnum(L"Mode", 0, 2);
  value_ = bag.Read<bool>(L"Value", false) && mode_ != kCommandMode;
  customClick_ = readEnum(L"CustomClick", 0, 8);
  const std::wstring image = bag.Read<std::wstring>(L"Image", std::wstring());
  if (!image.empty()) {
    // A picture that cannot be loaded leaves the button without one, still usable.
    picture_ = site_.LoadPicture(image);
  }
  const std::int32_t pixels = bag.Read<std::int32_t>(L"ImgSize", 16);
  picturePixels_ = (pixels % 8 == 0 && InRange(pixels, 16, 48)) ? pixels : 16;
  pictureAlign_ = readEnum(L"ImgAlign", 0, 5);
  hoverForeColor_ = readColour(L"cFHover", kButtonText);
  enabled_ = bag.Read<bool>(L"Enabled", true);
  backColor_ = readColour(L"cBack", site_.AmbientBackColor());
  hoverBackColor_ = readColour(L"cBHover", backColor_);
  hoverColorLocks_ = bag.Read<std::int32_t>(L"LockHover", 0);
  captionStyle_ = readEnum(L"CapStyle", 0, 2);
  const std::wstring mouseIcon = bag.Read<std::wstring>(L"mIcon", std::wstring());
  if (!mouseIcon.empty()) {
    if (PicturePtr icon = site_.LoadPicture(mouseIcon)) {
      SetMouseIcon(std::move(icon));
    }
  }
  SetMousePointer(bag.Read<std::int32_t>(L"mPointer", 0));

  // A shaped button without a usable picture falls back to the rectangle.
  if (buttonShape_ >= 7 && (!picture_ || picture_->kind() == PictureKind::kIcon)) {
    buttonShape_ = 0;
  }
  DeriveColours();
  SetCaption(caption_);
  if (mode_ == kOptionMode && !inGroup_) {
    OptionToggle(OptionAction::kJoin);
  }
  delayDrawing_ = false;
  site_.Resize();
}

void qxButtons_H::WriteProperties(PropertyBag& bag) const {
  const FontSpec ambientFont = site_.AmbientFont().value_or(FontSpec{});
  bag.Write<std::wstring>(L"Caption", caption_, std::wstring());
  bag.Write<std::int32_t>(L"CapAlign", captionAlign_, 2);
  bag.Write<std::int32_t>(L"BackStyle", buttonStyle_, 0);
  bag.Write<std::int32_t>(L"Shape", buttonShape_, 0);
  bag.Write<std::int32_t>(L"Gradient", gradientMode_, 0);
  bag.Write<std::int32_t>(L"cGradient", ToBag(gradientColor_), ToBag(kButtonFace));
  bag.Write<std::int32_t>(L"cFore", ToBag(foreColor_), ToBag(kButtonText));
  bag.Write<FontSpec>(L"Font", font_, ambientFont);
  bag.Write<bool>(L"Focus", showFocusRect_, true);
  bag.Put(L"Mode", mode_);
  bag.Put(L"Value", value_);
  bag.Write<std::int32_t>(L"CustomClick", customClick_, 0);
  bag.Write<std::wstring>(L"Image", picture_ ? picture_->source() : std::wstring(), std::wstring());
  bag.Write<std::int32_t>(L"ImgSize", PicturePixels(), 16);
  bag.Write<std::int32_t>(L"ImgAlign", pictureAlign_, 0);
  bag.Write<std::int32_t>(L"cFHover", ToBag(hoverForeColor_), ToBag(kButtonText));
  bag.Write<bool>(L"Enabled", enabled_, true);
  bag.Put(L"cBack", ToBag(backColor_));
  bag.Write<std::int32_t>(L"cBhover", ToBag(hoverBackColor_), ToBag(backColor_));
  bag.Write<std::int32_t>(L"LockHover", hoverColorLocks_, 0);
  bag.Write<std::int32_t>(L"CapStyle", captionStyle_, 0);
  bag.Write<std::wstring>(L"mIcon", mouseIcon_ ? mouseIcon_->source() : std::wstring(),
                          std::wstring());
  bag.Write<std::int32_t>(L"mPointer", mousePointer_, 0);
}

void qxButtons_H::PressDown(std::int16_t button) {
  lastMouseButton_ = button;
  if (button == kLeftButton) {
    stateFlags_ |= kPressed;
    heldDown_ = true;
    delayDrawing_ = false;
    Redraw();
    site_.CaptureMouse();
  }
}

void qxButtons_H::MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
  PressDown(button);
  if (button == kLeftButton) {
    clickArmed_ = true;
  }
  RaiseMouse(events_.MouseDown, button, shift, x, y);
}

void qxButtons_H::MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!hoverTracking_ && site_.PointerOverButton()) {
    StartHover();
  }
  RaiseMouse(events_.MouseMove, button, shift, x, y);
}

void qxButtons_H::MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
  heldDown_ = false;
  if (button == kLeftButton) {
    site_.ReleaseMouse();
    stateFlags_ &= ~kPressed;
    delayDrawing_ = false;
    if (mode_ == kCommandMode) {
      Redraw();
    }
  }
  const std::weak_ptr<const bool> alive = alive_;
  RaiseMouse(events_.MouseUp, button, shift, x, y);
  if (alive.expired()) {
    return;
  }
  lastMouseButton_ = button;
}

void qxButtons_H::PlatformClick() {
  if (!clickArmed_) {
    return;
  }
  clickArmed_ = false;
  Click();
}

void qxButtons_H::Click() {
  if (lastMouseButton_ != kLeftButton) {
    return;
  }
  if (mode_ == kOptionMode && value_) {
    return;
  }
  if (mode_ != kCommandMode) {
    SetValue(!value_);
  }
  RaiseClick();
}

void qxButtons_H::DoubleClick(float x, float y) {
  clickArmed_ = false;
  std::int16_t button = lastMouseButton_;
  const std::weak_ptr<const bool> alive = alive_;
  if (events_.DoubleClick) {
    const auto handler = events_.DoubleClick;
    handler(button);
    if (alive.expired()) {
      return;
    }
  }
  if (lastMouseButton_ == kLeftButton) {
    PressDown(kLeftButton);
    RaiseMouse(events_.MouseDown, kLeftButton, 0, x, y);
    if (alive.expired()) {
      return;
    }
    lastMouseButton_ = kNoButton;
  } else {
    RaiseMouse(events_.MouseDown, kLeftButton, 0, x, y);
  }
}

void qxButtons_H::KeyDown(std::int16_t keyCode, std::int16_t shift) {
  if (const auto keyData = ArrowKeyData(keyCode)) {
    site_.PostKeyToContainer(keyCode, *keyData);
    keyCode = 0;
  } else if (keyCode == kKeySpace && (stateFlags_ & kPressed) == 0) {
    stateFlags_ |= kHover | kPressed;
    heldDown_ = true;
    Redraw();
    if (!hoverTracking_) {
      stateFlags_ &= ~kHover;
    }
  }
  if (keyCode != 0 && events_.KeyDown) {
    const auto handler = events_.KeyDown;
    handler(keyCode, shift);
  }
}

void qxButtons_H::KeyUp(std::int16_t keyCode, std::int16_t shift) {
  heldDown_ = false;
  const std::weak_ptr<const bool> alive = alive_;
  if (keyCode == kKeySpace && (stateFlags_ & kPressed) != 0) {
    stateFlags_ &= ~kPressed;
    lastMouseButton_ = kLeftButton;
    if (mode_ == kCommandMode) {
      Redraw();
    } else {
      if (events_.KeyUp) {
        const auto handler = events_.KeyUp;
        handler(keyCode, shift);
        if (alive.expired()) {
          return;
        }
      }
      keyCode = 0;
    }
    Click();
    if (alive.expired()) {
      return;
    }
  } else if (ArrowKeyData(keyCode)) {
    keyCode = 0;
    if (mode_ == kOptionMode && !value_) {
      lastMouseButton_ = kLeftButton;
      Click();
      if (alive.expired()) {
        return;
      }
    }
  } else if (keyCode == kKeyShift) {
    keyCode = 0;
  }
  if (keyCode != 0 && events_.KeyUp) {
    const auto handler = events_.KeyUp;
    handler(keyCode, shift);
  }
}

void qxButtons_H::KeyPress(std::int16_t keyAscii) {
  if (events_.KeyPress) {
    const auto handler = events_.KeyPress;
    handler(keyAscii);
  }
}

void qxButtons_H::AccessKeyPressed(int key) {
  if ((key == kKeyEnter || key == kKeyEscape) && mode_ != kCommandMode) {
    return;
  }
  if ((stateFlags_ & kDefaultMarking) == 0) {
    Redraw();
  }
  lastMouseButton_ = kLeftButton;
  Click();
}

std::int32_t qxButtons_H::OLEStartDrag(OleDataObject& data, std::int32_t allowedEffects) {
  if (events_.OLEStartDrag) {
    const auto handler = events_.OLEStartDrag;
    handler(data, allowedEffects);
  }
  return allowedEffects;
}

void qxButtons_H::OLESetData(OleDataObject& data, std::int16_t dataFormat) {
  if (events_.OLESetData) {
    const auto handler = events_.OLESetData;
    handler(data, dataFormat);
  }
}

bool qxButtons_H::OLEGiveFeedback(std::int32_t effect) {
  bool defaultCursors = true;
  if (events_.OLEGiveFeedback) {
    const auto handler = events_.OLEGiveFeedback;
    handler(effect, defaultCursors);
  }
  return defaultCursors;
}

void qxButtons_H::OLECompleteDrag(std::int32_t effect) {
  clickArmed_ = false;
  if (events_.OLECompleteDrag) {
    const auto handler = events_.OLECompleteDrag;
    handler(effect);
  }
}

std::int32_t qxButtons_H::OLEDragOver(OleDataObject& data, std::int32_t effect, std::int16_t button,
                                      std::int16_t shift, float x, float y, std::int16_t state) {
  if (!events_.OLEDragOver) {
    return kDropEffectNone;
  }
  const std::int32_t allowed = effect;
  const auto handler = events_.OLEDragOver;
  handler(data, effect, button, shift, x, y, state);
  return DropAnswer(effect, allowed);
}

std::int32_t qxButtons_H::OLEDragDrop(OleDataObject& data, std::int32_t effect, std::int16_t button,
                                      std::int16_t shift, float x, float y) {
  if (!events_.OLEDragDrop) {
    return kDropEffectNone;
  }
  const std::int32_t allowed = effect;
  const auto handler = events_.OLEDragDrop;
  handler(data, effect, button, shift, x, y);
  return DropAnswer(effect, allowed);
}

void qxButtons_H::FocusGained() {
  if (mode_ == kOptionMode && !value_ && !OptionToggle(OptionAction::kQuery)) {
    lastMouseButton_ = kLeftButton;
    Click();
  }
}

void qxButtons_H::Paint() {
  delayDrawing_ = false;
  Redraw();
}

void qxButtons_H::AmbientChanged(std::wstring_view name) {
  if (name == L"DisplayAsDefault") {
    if (site_.DisplayAsDefault() && (showFocusRect_ || !site_.UserMode())) {
      stateFlags_ |= kDefaultMarking;
    } else {
      stateFlags_ &= ~kDefaultMarking;
    }
    if (buttonShape_ >= 7 && !site_.UserMode()) {
      hoverTracking_ = (stateFlags_ & kDefaultMarking) != 0;
      Redraw();
      hoverTracking_ = false;
    } else {
      Redraw();
    }
  } else if (name == L"BackColor") {
    parentBackRgb_ = Rgb(site_.AmbientBackColor());
    if (buttonShape_ > 3 || buttonStyle_ == 5) {
      Redraw();
    }
  }
}

void qxButtons_H::Shown() {
  if (!site_.UserMode() && showFocusRect_ && site_.DisplayAsDefault()) {
    stateFlags_ |= kDefaultMarking;
    Redraw();
  }
}

void qxButtons_H::StartHover() {
  if (!site_.StartHoverTimer()) {
    return;
  }
  hoverTracking_ = true;
  stateFlags_ |= kHover;
  const std::weak_ptr<const bool> alive = alive_;
  if (events_.MouseOnButton) {
    bool onButton = true;
    const auto handler = events_.MouseOnButton;
    handler(onButton);
    if (alive.expired()) {
      return;
    }
  }
  delayDrawing_ = false;
  if (site_.LeftButtonDown()) {
    heldDown_ = true;
  }
  Redraw();
}

void qxButtons_H::HoverTimerTick(std::uintptr_t timerId) {
  if (site_.PointerOverButton()) {
    return;
  }
  site_.StopHoverTimer(timerId);
  stateFlags_ &= ~kHover;
  hoverTracking_ = false;
  delayDrawing_ = false;
  const std::weak_ptr<const bool> alive = alive_;
  if (events_.MouseOnButton) {
    bool onButton = false;
    const auto handler = events_.MouseOnButton;
    handler(onButton);
    if (alive.expired()) {
      return;
    }
  }
  heldDown_ = false;
  Redraw();
}

bool qxButtons_H::OptionToggle(OptionAction action) {
  OptionGroupStore* group = site_.OptionGroup();
  if (group == nullptr) {
    return false;
  }
  const std::intptr_t count = group->Get(kOptionCountKey);
  const auto self = reinterpret_cast<std::intptr_t>(this);
  if ((action == OptionAction::kJoin || count >= 1) && value_) {
    for (std::intptr_t n = 1; n <= count; ++n) {
      const std::intptr_t member = group->Get(MemberKey(n));
      if (member != 0 && member != self) {
        reinterpret_cast<qxButtons_H*>(member)->SetValue(false);
      }
    }
  }
  switch (action) {
    case OptionAction::kJoin:
      if (group->Set(MemberKey(count + 1), self) && group->Set(kOptionCountKey, count + 1)) {
        inGroup_ = true;
      } else {
        group->Remove(MemberKey(count + 1));
      }
      return false;
    case OptionAction::kLeave: {
      bool found = false;
      for (std::intptr_t n = 1; n <= count; ++n) {
        if (found) {
          group->Set(MemberKey(n - 1), group->Get(MemberKey(n)));
        } else if (group->Get(MemberKey(n)) == self) {
          found = true;
        }
      }
      if (found) {
        group->Remove(MemberKey(count));
        if (count == 1) {
          group->Remove(kOptionCountKey);
        } else {
          group->Set(kOptionCountKey, count - 1);
        }
      }
      inGroup_ = false;
      return false;
    }
    case OptionAction::kQuery:
      for (std::intptr_t n = 1; n <= count; ++n) {
        const std::intptr_t member = group->Get(MemberKey(n));
        if (member != 0 && reinterpret_cast<const qxButtons_H*>(member)->Value()) {
          return true;
        }
      }
      return false;
    case OptionAction::kClearOthers:
      break;
  }
  return false;
}

OleColour qxButtons_H::Rgb(OleColour colour) const {
  return ToRgb(colour, [this](int index) { return site_.SystemColour(index); });
}

// A held command button shows pressed while the pointer is over it and pops up when it
// leaves; only check-box and option buttons sink, when set or held.
EdgeState qxButtons_H::CurrentEdgeState() const {
  if (mode_ != kCommandMode && (value_ || heldDown_)) {
    return EdgeState::kSunken;
  }
  if (ShownPressed()) {
    return EdgeState::kPressed;
  }
  if ((stateFlags_ & kDefaultMarking) != 0) {
    return EdgeState::kDefault;
  }
  return EdgeState::kNormal;
}

PixelPoint qxButtons_H::PressedOffset() const {
  if ((ShownPressed() || value_) && buttonStyle_ != 3) {
    return {buttonShape_ <= 3 ? 1 : 0, 1};
  }
  return {0, 0};
}

LayoutInput qxButtons_H::LayoutFor(int width, int height) const {
  LayoutInput input;
  input.buttonShape = buttonShape_;
  input.width = width;
  input.height = height;
  input.caption = CaptionLines(caption_);
  input.captionAlign = captionAlign_;
  input.captionStyle = captionStyle_;
  input.hasPicture = picture_ != nullptr;
  input.pictureAlign = pictureAlign_;
  input.picturePixels = PicturePixels();
  if (picture_) {
    input.pictureWidth = picture_->width();
    input.pictureHeight = picture_->height();
  }
  return input;
}

std::optional<qxButtons_H::ClickMove> qxButtons_H::TakeClickMove() {
  if (mode_ != kCommandMode || customClick_ == 0) {
    return std::nullopt;
  }
  const PixelPoint direction = kClickDirections[customClick_];
  if (ShownPressed() && !clickMoved_) {
    clickMoved_ = true;
    return ClickMove{direction, true};
  }
  if (!ShownPressed() && clickMoved_) {
    clickMoved_ = false;
    return ClickMove{{-direction.x, -direction.y}, false};
  }
  return std::nullopt;
}

void qxButtons_H::Redraw() {
  if (!delayDrawing_) {
    site_.Redraw();
  }
}

void qxButtons_H::Report(std::wstring_view key) const {
  if (propertyChanged_) {
    propertyChanged_(key);
  }
}

void qxButtons_H::DesignMessage(std::wstring_view text, std::wstring_view title) {
  if (!site_.UserMode()) {
    site_.ShowMessage(text, title);
  }
}

void qxButtons_H::DeriveColours() {
  colours_ = svctune::DeriveColours(buttonStyle_, Rgb(backColor_), Rgb(hoverBackColor_));
}

void qxButtons_H::TieHoverBack() {
  hoverBackColor_ = gradientMode_ != 0 ? gradientColor_ : backColor_;
}

void qxButtons_H::RaiseMouse(const decltype(qxButtons_HEvents::MouseDown)& event,
                             std::int16_t button, std::int16_t shift, float x, float y) {
  if (event) {
    const auto handler = event;
    handler(button, shift, x, y);
  }
}

void qxButtons_H::RaiseClick() {
  if (events_.Click) {
    const auto handler = events_.Click;
    handler();
  }
}

}  // namespace svctune
