#include "corvid_form_model.h"

namespace svctune::vellum {

namespace {
constexpr short kLeftButton = 1;
}

const SkinLayout& CorvidFormModel::Relayout(int widthTwips, int heightTwips, bool hasIcon) {
  layout_ = LayoutSkin(widthTwips, heightTwips, hasIcon);
  return layout_;
}

void CorvidFormModel::ReadProperties(const PropertyBag& bag) {
  caption_ = bag.Read<std::wstring>(L"Caption", L"");
}

void CorvidFormModel::WriteProperties(PropertyBag& bag) const {
  bag.Write<std::wstring>(L"Caption", caption_, L"");
}

SkinPart CorvidFormModel::PartAt(double x, double y) const {
  const auto inside = [x, y](const TwipRect& rect) {
    return x >= rect.left && y >= rect.top && x < rect.right() && y < rect.bottom();
  };
  if (inside(layout_.closeButton)) {
    return SkinPart::kCloseButton;
  }
  if (inside(layout_.dragArea)) {
    return SkinPart::kDragArea;
  }
  return SkinPart::kSurface;
}

DragRequest CorvidFormModel::MouseDown(short button, short shift, double x, double y) {
  const SkinPart part = PartAt(x, y);
  pressed_ = true;
  pressedPart_ = part;
  switch (part) {
    case SkinPart::kCloseButton:
      look_ = CloseLook::kDark;
      return DragRequest::kNone;
    case SkinPart::kDragArea:
      return button == kLeftButton ? DragRequest::kMoveWindow : DragRequest::kNone;
    case SkinPart::kSurface: {
      float fx = static_cast<float>(x);
      float fy = static_cast<float>(y);
      events_.MouseDown(button, shift, fx, fy);
      return DragRequest::kNone;
    }
  }
  return DragRequest::kNone;
}

void CorvidFormModel::MouseMove(short button, short shift, double x, double y) {
  const SkinPart part = pressed_ ? pressedPart_ : PartAt(x, y);
  if (part == SkinPart::kCloseButton) {
    if (!pressed_) {
      look_ = CloseLook::kBright;
    }
    return;
  }
  if (part == SkinPart::kSurface) {
    look_ = CloseLook::kDark;
    float fx = static_cast<float>(x);
    float fy = static_cast<float>(y);
    events_.MouseMove(button, shift, fx, fy);
  }
}

void CorvidFormModel::MouseUp(short button, short shift, double x, double y) {
  if (!pressed_) {
    return;
  }
  pressed_ = false;
  const SkinPart part = pressedPart_;
  if (part == SkinPart::kCloseButton) {
    if (button == kLeftButton && PartAt(x, y) == SkinPart::kCloseButton) {
      events_.UnloadClick();
    }
    return;
  }
  if (part == SkinPart::kSurface) {
    float fx = static_cast<float>(x);
    float fy = static_cast<float>(y);
    events_.MouseUp(button, shift, fx, fy);
    if (button == kLeftButton && PartAt(x, y) == SkinPart::kSurface) {
      events_.Click();
    }
  }
}

void CorvidFormModel::DoubleClick(double x, double y) {
  if (PartAt(x, y) == SkinPart::kSurface) {
    events_.DblClick();
  }
}

}  // namespace svctune::vellum
