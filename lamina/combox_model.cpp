#include "combox_model.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace svctune::lamina {

namespace {

constexpr double kButtonWidth = 300;

bool FitsInt16(double value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

std::int32_t ColourValue(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}

FontSpec DropButtonFont(double points) {
  FontSpec font;
  font.name = L"Arial";
  font.bold = true;
  font.points = points;
  font.charset = 0;
  return font;
}

}  // namespace

ComBoxModel::ComBoxModel(scene::TextMeasurer measure, ComBoxEvents& events,
                         std::function<void(std::wstring_view)> propertyChanged)
    : scene_(std::move(measure)), events_(events), propertyChanged_(std::move(propertyChanged)) {
  const std::size_t button = scene_.AddLabel();
  scene_.SetCaption(button, L">");
  scene_.Move(button, 1680, 0, kButtonWidth, 255);
  scene_.SetOpaque(button, true);
  scene_.SetBackColour(button, kDropFace);
  scene_.SetForeColour(button, kDropText);
  scene_.SetBorder(button, true);
  scene_.SetAlignment(button, scene::Alignment::kCentre);
  scene_.SetFont(button, DropButtonFont(9));
  scene_.SetPointer(button, scene::MousePointer::kHand);
  scene_.SetMouseHandler(this);
  Layout();
}

void ComBoxModel::Notify(Aspect aspect) {
  if (changed_) {
    changed_(aspect);
  }
}

void ComBoxModel::Changed(std::wstring_view name) {
  if (propertyChanged_) {
    propertyChanged_(name);
  }
}

// Takes the new size and asks the host for it when it differs from the size the control has.
void ComBoxModel::RequestSize(int width, int height) {
  if (width == width_ && height == height_) {
    return;
  }
  width_ = width;
  height_ = height;
  if (sizeRequested_) {
    sizeRequested_(width, height);
  }
}

double ComBoxModel::TextHeight() const {
  return font_.points * 15 + 135;
}

void ComBoxModel::Resize(int widthTwips, int heightTwips) {
  width_ = widthTwips;
  height_ = heightTwips;
  if (!listOpen_) {
    Layout();
  }
}

// The layout step. A size that does not fit the 16-bit arithmetic ends it where it stands.
void ComBoxModel::Layout() {
  const double textHeight = TextHeight();
  text_.height = textHeight;
  const double height = textHeight + (listOpen_ ? list_.height : 15);
  if (!FitsInt16(height)) {
    Notify(Aspect::kLayout);
    return;
  }
  const int width = std::max(width_, kMinimumWidth);
  if (FitsInt16(width)) {
    text_.width = width - kButtonWidth;
    const scene::Rect& button = scene_.at(kComButton).bounds;
    scene_.Move(kComButton, text_.width - 15, button.top, button.width, textHeight);
    list_.width = width - 15;
    list_.top = textHeight - 10;
  }
  Notify(Aspect::kLayout);
  RequestSize(width, static_cast<int>(height));
}

void ComBoxModel::OpenList() {
  const int shown = std::min<int>(static_cast<int>(items_.size()), kMaxVisibleItems);
  list_.height = (font_.points * 15 + 60) * shown;
  listOpen_ = true;
  Notify(Aspect::kLayout);
  RequestSize(width_, static_cast<int>(text_.height + list_.height));
}

void ComBoxModel::CloseList() {
  listOpen_ = false;
  Notify(Aspect::kLayout);
  RequestSize(width_, static_cast<int>(text_.height + 15));
}

void ComBoxModel::InitProperties(const scene::AmbientInfo& ambient) {
  SetFontOnly(ambient.font);
}

void ComBoxModel::SetFontOnly(const FontSpec& font) {
  font_ = font;
  scene_.SetFont(kComButton, DropButtonFont(font.points));
  if (listOpen_) {
    OpenList();
  }
  Layout();
}

void ComBoxModel::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  backColour_ =
      static_cast<OleColour>(bag.Read<std::int32_t>(L"BackColor", ColourValue(kComBoxDefaultBack)));
  foreColour_ =
      static_cast<OleColour>(bag.Read<std::int32_t>(L"ForeColor", ColourValue(kComBoxDefaultFore)));
  enabled_ = bag.Read<bool>(L"Enabled", true);
  Notify(Aspect::kLooks);
  SetFontOnly(bag.Read<FontSpec>(L"Font", ambient.font));
  locked_ = bag.Read<bool>(L"Locked", false);
  maxLength_ = std::max<std::int32_t>(0, bag.Read<std::int32_t>(L"MaxLength", 0));
  Notify(Aspect::kLooks);
  ApplyText(bag.Read<std::wstring>(L"Text", L"List"));
}

void ComBoxModel::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const {
  bag.Write<std::int32_t>(L"BackColor", ColourValue(backColour_), ColourValue(kComBoxDefaultBack));
  bag.Write<std::int32_t>(L"ForeColor", ColourValue(foreColour_), ColourValue(kComBoxDefaultFore));
  bag.Write<bool>(L"Enabled", enabled_, true);
  bag.Write<FontSpec>(L"Font", font_, ambient.font);
  bag.Write<bool>(L"Locked", locked_, false);
  bag.Write<std::wstring>(L"Text", textValue_, L"List");
  bag.Write<std::int32_t>(L"MaxLength", maxLength_, 0);
}

void ComBoxModel::SetBackColor(OleColour colour) {
  backColour_ = colour;
  Notify(Aspect::kLooks);
  Changed(L"BackColor");
}

void ComBoxModel::SetForeColor(OleColour colour) {
  foreColour_ = colour;
  Notify(Aspect::kLooks);
  Changed(L"ForeColor");
}

void ComBoxModel::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Notify(Aspect::kLooks);
  Changed(L"Enabled");
}

void ComBoxModel::SetFont(const FontSpec& font) {
  SetFontOnly(font);
  Notify(Aspect::kLooks);
  Changed(L"Font");
}

void ComBoxModel::SetLocked(bool locked) {
  locked_ = locked;
  Notify(Aspect::kLooks);
  Changed(L"Locked");
}

// A negative length is no length at all; it is ignored like any out-of-range value.
void ComBoxModel::SetMaxLength(std::int32_t length) {
  if (length < 0) {
    return;
  }
  maxLength_ = length;
  Notify(Aspect::kLooks);
  Changed(L"MaxLength");
}

void ComBoxModel::ApplyText(const std::wstring& text) {
  if (text == textValue_) {
    return;
  }
  textValue_ = text;
  Notify(Aspect::kText);
  events_.Change();
}

void ComBoxModel::SetText(const std::wstring& text) {
  ApplyText(text);
  Changed(L"Text");
}

void ComBoxModel::TextEdited(const std::wstring& text) {
  if (text == textValue_) {
    return;
  }
  textValue_ = text;
  events_.Change();
}

ListResult ComBoxModel::AddItem(const std::wstring& item, int index) {
  if (items_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    return ListResult::kFull;
  }
  const int count = static_cast<int>(items_.size());
  if (index < -1 || index > count) {
    return ListResult::kBadIndex;
  }
  const int at = index == -1 ? count : index;
  items_.insert(items_.begin() + at, ComBoxItem{item, 0});
  if (listIndex_ >= at) {
    ++listIndex_;
  }
  return ListResult::kOk;
}

ListResult ComBoxModel::RemoveItem(int index) {
  if (!ValidIndex(index)) {
    return ListResult::kBadIndex;
  }
  items_.erase(items_.begin() + index);
  if (listIndex_ == index) {
    listIndex_ = -1;
  } else if (listIndex_ > index) {
    --listIndex_;
  }
  Notify(Aspect::kSelection);
  return ListResult::kOk;
}

void ComBoxModel::Clear() {
  items_.clear();
  listIndex_ = -1;
  Notify(Aspect::kSelection);
}

const std::wstring* ComBoxModel::List(int index) const {
  return ValidIndex(index) ? &items_[static_cast<std::size_t>(index)].text : nullptr;
}

void ComBoxModel::SetList(int index, const std::wstring& item) {
  if (ValidIndex(index)) {
    items_[static_cast<std::size_t>(index)].text = item;
  }
}

const std::int32_t* ComBoxModel::ItemData(int index) const {
  return ValidIndex(index) ? &items_[static_cast<std::size_t>(index)].data : nullptr;
}

void ComBoxModel::SetItemData(int index, std::int32_t data) {
  if (ValidIndex(index)) {
    items_[static_cast<std::size_t>(index)].data = data;
  }
}

// The list's click follows a change of the selection by code as by the user; taking the
// selection away (-1) chooses nothing.
void ComBoxModel::SetListIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size()) || index == listIndex_) {
    return;
  }
  listIndex_ = static_cast<std::int16_t>(index);
  Notify(Aspect::kSelection);
  if (index >= 0) {
    Choose(index);
  }
}

void ComBoxModel::ListChosen(int index) {
  if (!enabled_ || !ValidIndex(index)) {
    return;
  }
  listIndex_ = static_cast<std::int16_t>(index);
  Choose(index);
}

void ComBoxModel::Choose(int index) {
  ApplyText(items_[static_cast<std::size_t>(index)].text);
  if (listOpen_) {
    CloseList();
  }
  events_.Click();
}

void ComBoxModel::TextClicked() {
  if (!enabled_) {
    return;
  }
  if (listOpen_) {
    CloseList();
  }
  events_.Click();
}

void ComBoxModel::FocusLeft() {
  if (listOpen_) {
    CloseList();
  }
}

void ComBoxModel::MouseDown(short button, short shift, double x, double y) {
  if (enabled_) {
    scene_.MouseDown(button, shift, x, y);
  }
}

void ComBoxModel::MouseUp(short button, short shift, double x, double y) {
  if (enabled_) {
    scene_.MouseUp(button, shift, x, y);
  }
}

void ComBoxModel::LabelMouse(std::size_t, scene::MouseAction action, short button, short, float,
                             float) {
  if (button != scene::kLeftButton) {
    return;
  }
  if (action == scene::MouseAction::kDown) {
    scene_.SetBackColour(kComButton, kDropPressedFace);
    scene_.SetForeColour(kComButton, kDropPressedText);
  } else if (action == scene::MouseAction::kUp) {
    if (listOpen_) {
      CloseList();
    } else {
      OpenList();
    }
    scene_.SetBackColour(kComButton, kDropFace);
    scene_.SetForeColour(kComButton, kDropText);
  }
}

// A disabled control raises no key events, even for keys its text box still gets.
void ComBoxModel::KeyDown(short keyCode, short shift) {
  if (enabled_) {
    events_.KeyDown(keyCode, shift);
  }
}

void ComBoxModel::KeyPress(short keyAscii) {
  if (enabled_) {
    events_.KeyPress(keyAscii);
  }
}

void ComBoxModel::KeyUp(short keyCode, short shift) {
  if (enabled_) {
    events_.KeyUp(keyCode, shift);
  }
}

}  // namespace svctune::lamina
