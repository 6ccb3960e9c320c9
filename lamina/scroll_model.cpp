#include "scroll_model.h"

#include <utility>

namespace svctune::lamina {

namespace {

constexpr double kArrowLength = 255;
constexpr double kThumbLength = 255;
constexpr double kEdge = -15;

std::int32_t AsInt32(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}

std::int16_t ReadInt16(const PropertyBag& bag, std::wstring_view key, std::int16_t fallback) {
  const auto value = ToInt16(bag.Read<std::int32_t>(key, fallback));
  return value ? *value : fallback;
}

OleColour ReadColour(const PropertyBag& bag, std::wstring_view key, OleColour fallback) {
  return static_cast<OleColour>(bag.Read<std::int32_t>(key, AsInt32(fallback)));
}

}  // namespace

ScrollModel::ScrollModel(ScrollOrientation orientation, scene::TextMeasurer measure,
                         ScrollEvents& events,
                         std::function<void(std::wstring_view)> propertyChanged)
    : orientation_(orientation),
      scene_(std::move(measure)),
      events_(events),
      propertyChanged_(std::move(propertyChanged)),
      backColour_(orientation == ScrollOrientation::kVertical ? kWindowBackground
                                                              : kDefaultScrollBack) {
  const bool vertical = orientation == ScrollOrientation::kVertical;
  FontSpec arrowFont;
  arrowFont.name = L"Arial";
  arrowFont.points = 9;
  arrowFont.bold = true;
  arrowFont.charset = 0;
  const wchar_t* captions[] = {vertical ? L"\u2227" : L"<", vertical ? L"\u2228" : L">"};
  for (const wchar_t* caption : captions) {
    const std::size_t arrow = scene_.AddLabel();
    scene_.SetOpaque(arrow, true);
    scene_.SetBackColour(arrow, kDefaultScrollUnFocusBC);
    scene_.SetForeColour(arrow, kDefaultScrollUnFocusFC);
    scene_.SetBorder(arrow, true);
    scene_.SetAlignment(arrow, scene::Alignment::kCentre);
    scene_.SetFont(arrow, arrowFont);
    scene_.SetCaption(arrow, caption);
  }
  const std::size_t thumb = scene_.AddFilledRect();
  scene_.SetBackColour(thumb, kDefaultScrollUnFocusBC);
  scene_.SetBorderColour(thumb, kWindowText);

  scene_.Move(kDecrement, kEdge, kEdge, kArrowLength, kArrowLength);
  if (vertical) {
    scene_.Move(kIncrement, kEdge, 2040, kArrowLength, kArrowLength);
    scene_.Move(kThumb, kEdge, 960, kThumbLength, kThumbLength);
  } else {
    scene_.Move(kIncrement, 1800, kEdge, kArrowLength, kArrowLength);
    scene_.Move(kThumb, 840, kEdge, kThumbLength, kThumbLength);
  }
  scene_.SetMouseHandler(this);
}

void ScrollModel::Changed(std::wstring_view name) {
  if (propertyChanged_) {
    propertyChanged_(name);
  }
}

ControlSize ScrollModel::MinimumSize() const {
  return orientation_ == ScrollOrientation::kVertical ? ControlSize{200, 1000}
                                                      : ControlSize{1000, 200};
}

ControlSize ScrollModel::Constrain(ControlSize size) const {
  const ControlSize minimum = MinimumSize();
  return ControlSize{size.width < minimum.width ? minimum.width : size.width,
                     size.height < minimum.height ? minimum.height : size.height};
}

double ScrollModel::ThumbPos() const {
  const scene::Rect& thumb = scene_.at(kThumb).bounds;
  return orientation_ == ScrollOrientation::kVertical ? thumb.top : thumb.left;
}

void ScrollModel::PlaceAlong(std::size_t id, double position) {
  const scene::Rect& bounds = scene_.at(id).bounds;
  if (orientation_ == ScrollOrientation::kVertical) {
    scene_.Move(id, bounds.left, position);
  } else {
    scene_.Move(id, position, bounds.top);
  }
}

std::optional<ControlSize> ScrollModel::Resize(int widthTwips, int heightTwips) {
  const ControlSize size = Constrain(ControlSize{widthTwips, heightTwips});
  const bool vertical = orientation_ == ScrollOrientation::kVertical;
  const int along = vertical ? size.height : size.width;
  const int across = vertical ? size.width : size.height;
  const auto incrementPos = ToInt16(along - kArrowLength);
  const auto maxPos = ToInt16((along - kArrowLength) - kThumbLength);
  if (!incrementPos || !maxPos) {
    return std::nullopt;
  }
  PlaceAlong(kIncrement, *incrementPos);
  for (std::size_t id : {kDecrement, kIncrement, kThumb}) {
    const scene::Rect& bounds = scene_.at(id).bounds;
    if (vertical) {
      scene_.Move(id, bounds.left, bounds.top, across, bounds.height);
    } else {
      scene_.Move(id, bounds.left, bounds.top, bounds.width, across);
    }
  }
  maxPos_ = *maxPos;
  minPos_ = kMinPos;
  // A scale of zero width, or one past the 16-bit range, keeps the last step.
  if (const auto range = Range()) {
    if (const auto step = FixedPoint::Divide(maxPos_ - minPos_, *range)) {
      unitStep_ = *step;
    }
  }
  PlaceThumb(moveValue_);
  return size;
}

std::optional<std::int16_t> ScrollModel::Range() const {
  return ToInt16(static_cast<int>(maxValue_) - minValue_);
}

void ScrollModel::PlaceThumb(std::int16_t value) {
  PlaceAlong(kThumb, unitStep_.Times(static_cast<int>(value) - minValue_) + kMinPos);
}

void ScrollModel::InitProperties() {
  focusBC_ = kDefaultScrollFocusBC;
  focusFC_ = kDefaultScrollFocusFC;
  normalFC_ = kDefaultScrollUnFocusFC;
  normalBC_ = kDefaultScrollUnFocusBC;
  maxValue_ = 100;
  minValue_ = 0;
  minChange_ = 1;
  maxChange_ = 10;
  moveValue_ = 0;
}

void ScrollModel::ReadProperties(const PropertyBag& bag) {
  backColour_ = ReadColour(bag, L"BackColor", kDefaultScrollBack);
  normalFC_ = ReadColour(bag, L"UnFocusFC", kDefaultScrollUnFocusFC);
  focusBC_ = ReadColour(bag, L"FocusBC", kDefaultScrollFocusBC);
  focusFC_ = ReadColour(bag, L"FocusFC", kDefaultScrollFocusFC);
  normalBC_ = ReadColour(bag, L"UnFocusBC", kDefaultScrollUnFocusBC);
  for (std::size_t arrow : {kDecrement, kIncrement}) {
    scene_.SetForeColour(arrow, normalFC_);
    scene_.SetBackColour(arrow, normalBC_);
  }
  scene_.SetBackColour(kThumb, normalBC_);
  maxValue_ = ReadInt16(bag, L"Max", 100);
  minValue_ = ReadInt16(bag, L"Min", 0);
  minChange_ = ReadInt16(bag, L"MinChange", 1);
  maxChange_ = ReadInt16(bag, L"MaxChange", 10);
  moveValue_ = ReadInt16(bag, L"MoveValue", 0);
  if (unitStep_.IsZero()) {
    if (const auto range = Range()) {
      if (const auto step = FixedPoint::Divide(maxPos_ - minPos_, *range)) {
        unitStep_ = *step;
      }
    }
  }
}

void ScrollModel::WriteProperties(PropertyBag& bag) const {
  bag.Write<std::int32_t>(L"BackColor", AsInt32(backColour_), AsInt32(kDefaultScrollBack));
  bag.Write<std::int32_t>(L"UnFocusFC", AsInt32(normalFC_), AsInt32(kDefaultScrollUnFocusFC));
  bag.Write<std::int32_t>(L"FocusBC", AsInt32(focusBC_), AsInt32(kDefaultScrollFocusBC));
  bag.Write<std::int32_t>(L"FocusFC", AsInt32(focusFC_), AsInt32(kDefaultScrollFocusFC));
  bag.Write<std::int32_t>(L"UnFocusBC", AsInt32(normalBC_), AsInt32(kDefaultScrollUnFocusBC));
  bag.Write<std::int32_t>(L"Max", maxValue_, 100);
  bag.Write<std::int32_t>(L"Min", minValue_, 0);
  bag.Write<std::int32_t>(L"MinChange", minChange_, 1);
  bag.Write<std::int32_t>(L"MaxChange", maxChange_, 10);
  bag.Write<std::int32_t>(L"MoveValue", moveValue_, 0);
}

void ScrollModel::SetBackColor(OleColour colour) {
  backColour_ = colour;
  Changed(L"BackColor");
}

void ScrollModel::SetUnFocusFC(OleColour colour) {
  normalFC_ = colour;
  scene_.SetForeColour(kDecrement, colour);
  scene_.SetForeColour(kIncrement, colour);
  Changed(L"UnFocusFC");
}

Assignment ScrollModel::SetFocusBC(OleColour colour, bool userMode) {
  if (userMode) {
    return Assignment::kDesignTimeOnly;
  }
  focusBC_ = colour;
  Changed(L"FocusBC");
  return Assignment::kDone;
}

Assignment ScrollModel::SetFocusFC(OleColour colour, bool userMode) {
  if (userMode) {
    return Assignment::kDesignTimeOnly;
  }
  focusFC_ = colour;
  Changed(L"FocusFC");
  return Assignment::kDone;
}

void ScrollModel::SetUnFocusBC(OleColour colour) {
  normalBC_ = colour;
  scene_.SetBackColour(kDecrement, colour);
  scene_.SetBackColour(kIncrement, colour);
  scene_.SetBackColour(kThumb, colour);
  Changed(L"UnFocusBC");
}

void ScrollModel::SetMoveValue(std::int16_t value) {
  if (value > maxValue_) {
    value = maxValue_;
  }
  if (value < minValue_) {
    value = minValue_;
  }
  moveValue_ = value;
  Changed(L"MoveValue");
  PlaceThumb(value);
  events_.Change();
}

Assignment ScrollModel::SetMax(std::int16_t maximum) {
  if (!(minValue_ < maximum)) {
    return Assignment::kDone;
  }
  const auto range = ToInt16(static_cast<int>(maximum) - minValue_);
  if (!range) {
    return Assignment::kOverflow;
  }
  maxValue_ = maximum;
  if (const auto step = FixedPoint::Divide(maxPos_ - minPos_, *range)) {
    unitStep_ = *step;
  }
  Changed(L"Max");
  if (maximum < moveValue_) {
    SetMoveValue(maximum);
  }
  return Assignment::kDone;
}

Assignment ScrollModel::SetMin(std::int16_t minimum) {
  if (!(minimum < maxValue_)) {
    return Assignment::kDone;
  }
  const auto range = ToInt16(static_cast<int>(maxValue_) - minimum);
  if (!range) {
    return Assignment::kOverflow;
  }
  minValue_ = minimum;
  if (const auto step = FixedPoint::Divide(maxPos_ - minPos_, *range)) {
    unitStep_ = *step;
  }
  Changed(L"Min");
  if (moveValue_ < minimum) {
    SetMoveValue(minimum);
  }
  return Assignment::kDone;
}

Assignment ScrollModel::SetMinChange(std::int16_t change) {
  const auto range = Range();
  if (!range) {
    return Assignment::kOverflow;
  }
  if (0 <= change && change <= *range) {
    minChange_ = change;
    Changed(L"MinChange");
  }
  return Assignment::kDone;
}

Assignment ScrollModel::SetMaxChange(std::int16_t change) {
  const auto range = Range();
  if (!range) {
    return Assignment::kOverflow;
  }
  if (minChange_ <= change && change <= *range) {
    maxChange_ = change;
    Changed(L"MaxChange");
  }
  return Assignment::kDone;
}

void ScrollModel::Step(int delta) {
  if (const auto value = ToInt16(static_cast<int>(moveValue_) + delta)) {
    SetMoveValue(*value);
  }
}

void ScrollModel::MouseDown(short button, short shift, double x, double y) {
  scene_.MouseDown(button, shift, x, y);
}

void ScrollModel::MouseMove(short button, short shift, double x, double y) {
  scene_.MouseMove(button, shift, x, y);
}

void ScrollModel::MouseUp(short button, short shift, double x, double y) {
  scene_.MouseUp(button, shift, x, y);
}

void ScrollModel::LabelMouse(std::size_t id, scene::MouseAction action, short, short, float,
                             float) {
  if (action == scene::MouseAction::kDown) {
    scene_.SetBackColour(id, focusBC_);
    scene_.SetForeColour(id, focusFC_);
    Step(id == kDecrement ? -minChange_ : minChange_);
  } else if (action == scene::MouseAction::kUp) {
    scene_.SetBackColour(id, normalBC_);
    scene_.SetForeColour(id, normalFC_);
  }
}

void ScrollModel::SurfaceMouse(scene::MouseAction action, short button, short, float x, float y) {
  if ((button & scene::kLeftButton) == 0) {
    return;
  }
  const double along = orientation_ == ScrollOrientation::kVertical ? y : x;
  switch (action) {
    case scene::MouseAction::kDown: {
      if (button != scene::kLeftButton) {
        return;
      }
      const auto top = ToInt16(ThumbPos());
      if (!top) {
        return;
      }
      const double bottom = *top + kThumbLength;
      if (along <= bottom && along >= *top) {
        const auto offset = ToInt16(along - *top);
        dragging_ = offset.has_value();
        grabOffset_ = offset.value_or(0);
      } else {
        dragging_ = false;
        Step(along < *top ? -maxChange_ : maxChange_);
      }
      break;
    }
    case scene::MouseAction::kMove: {
      if (!dragging_) {
        return;
      }
      const auto position = ToInt16(along - grabOffset_);
      if (!position) {
        return;
      }
      std::int16_t place = *position;
      if (place < minPos_) {
        place = minPos_;
      }
      if (place > maxPos_) {
        place = maxPos_;
      }
      PlaceAlong(kThumb, place);
      break;
    }
    case scene::MouseAction::kUp: {
      if (button != scene::kLeftButton || !dragging_) {
        return;
      }
      dragging_ = false;
      // A scale that never got a step (Max equal to Min as read) has no value for a place.
      if (unitStep_.IsZero()) {
        return;
      }
      const auto units = ToInt16((ThumbPos() - kMinPos) / unitStep_.ToDouble());
      const auto value = units ? ToInt16(static_cast<int>(minValue_) + *units) : std::nullopt;
      if (value) {
        SetMoveValue(*value);
      }
      break;
    }
  }
}

bool ScrollModel::HandlesKey(short keyCode) const {
  if (keyCode == kPageUpKey || keyCode == kPageDownKey) {
    return true;
  }
  return orientation_ == ScrollOrientation::kVertical ? keyCode == kUpKey || keyCode == kDownKey
                                                      : keyCode == kLeftKey || keyCode == kRightKey;
}

void ScrollModel::KeyDown(short keyCode) {
  const bool vertical = orientation_ == ScrollOrientation::kVertical;
  if (keyCode == kPageUpKey) {
    Step(-maxChange_);
  } else if (keyCode == kPageDownKey) {
    Step(maxChange_);
  } else if (keyCode == (vertical ? kUpKey : kLeftKey)) {
    Step(-minChange_);
  } else if (keyCode == (vertical ? kDownKey : kRightKey)) {
    Step(minChange_);
  }
}

void ScrollModel::GotFocus() {
  scene_.SetBackColour(kThumb, focusBC_);
}

void ScrollModel::LostFocus() {
  scene_.SetBackColour(kThumb, normalBC_);
}

}  // namespace svctune::lamina
