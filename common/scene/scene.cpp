#include "scene/scene.h"

#include <algorithm>
#include <utility>

namespace svctune::scene {

Scene::Scene(TextMeasurer measure) : measure_(std::move(measure)) {}

std::size_t Scene::Add(ElementKind kind) {
  Element element;
  element.kind = kind;
  elements_.push_back(element);
  zOrder_.push_back(elements_.size() - 1);
  Invalidate();
  return elements_.size() - 1;
}

std::size_t Scene::AddLabel() {
  return Add(ElementKind::kLabel);
}

std::size_t Scene::AddFilledRect() {
  return Add(ElementKind::kFilledRect);
}

void Scene::SetCaption(std::size_t id, const std::wstring& caption) {
  Element& element = Mutable(id);
  if (element.caption == caption) {
    return;
  }
  element.caption = caption;
  FitToCaption(id);
  Invalidate();
  if (captionChanged_) {
    captionChanged_(id);
  }
}

void Scene::SetFont(std::size_t id, const FontSpec& font) {
  Mutable(id).font = font;
  FitToCaption(id);
  Invalidate();
}

void Scene::SetAutoSize(std::size_t id, bool autoSize) {
  Mutable(id).autoSize = autoSize;
  FitToCaption(id);
  Invalidate();
}

void Scene::FitToCaption(std::size_t id) {
  Element& element = Mutable(id);
  if (!element.autoSize || element.kind != ElementKind::kLabel || !measure_) {
    return;
  }
  const Size size = measure_(element.caption, element.font);
  element.bounds.width = size.width;
  element.bounds.height = size.height;
}

void Scene::Move(std::size_t id, double left, double top) {
  Element& element = Mutable(id);
  element.bounds.left = left;
  element.bounds.top = top;
  Invalidate();
}

void Scene::Move(std::size_t id, double left, double top, double width, double height) {
  Element& element = Mutable(id);
  element.bounds = Rect{left, top, width, height};
  Invalidate();
}

void Scene::SetBackColour(std::size_t id, OleColour colour) {
  Mutable(id).backColour = colour;
  Invalidate();
}

void Scene::SetForeColour(std::size_t id, OleColour colour) {
  Mutable(id).foreColour = colour;
  Invalidate();
}

void Scene::SetBorderColour(std::size_t id, OleColour colour) {
  Mutable(id).borderColour = colour;
  Invalidate();
}

void Scene::SetOpaque(std::size_t id, bool opaque) {
  Mutable(id).opaque = opaque;
  Invalidate();
}

void Scene::SetBorder(std::size_t id, bool border) {
  Mutable(id).border = border;
  Invalidate();
}

void Scene::SetAlignment(std::size_t id, Alignment alignment) {
  Mutable(id).alignment = alignment;
  Invalidate();
}

void Scene::SetVisible(std::size_t id, bool visible) {
  Mutable(id).visible = visible;
  if (!visible && captured_ == id) {
    captured_.reset();
  }
  Invalidate();
}

void Scene::SetPointer(std::size_t id, MousePointer pointer) {
  Mutable(id).pointer = pointer;
}

void Scene::BringToFront(std::size_t id) {
  at(id);
  zOrder_.erase(std::find(zOrder_.begin(), zOrder_.end(), id));
  zOrder_.push_back(id);
  Invalidate();
}

void Scene::SendToBack(std::size_t id) {
  at(id);
  zOrder_.erase(std::find(zOrder_.begin(), zOrder_.end(), id));
  zOrder_.insert(zOrder_.begin(), id);
  Invalidate();
}

std::optional<std::size_t> Scene::HitTest(double x, double y) const {
  for (auto it = zOrder_.rbegin(); it != zOrder_.rend(); ++it) {
    const Element& element = elements_[*it];
    if (element.kind == ElementKind::kLabel && element.visible && element.bounds.Contains(x, y)) {
      return *it;
    }
  }
  return std::nullopt;
}

MousePointer Scene::PointerAt(double x, double y) const {
  const std::size_t target = captured_ ? *captured_ : TargetAt(x, y);
  return target == kSurface ? MousePointer::kDefault : elements_[target].pointer;
}

std::size_t Scene::TargetAt(double x, double y) const {
  const std::optional<std::size_t> label = HitTest(x, y);
  return label ? *label : kSurface;
}

void Scene::Deliver(std::size_t target, MouseAction action, short button, short shift, double x,
                    double y) {
  if (mouseHandler_ == nullptr) {
    return;
  }
  if (target == kSurface) {
    mouseHandler_->SurfaceMouse(action, button, shift, static_cast<float>(x),
                                static_cast<float>(y));
    return;
  }
  const Rect& bounds = elements_[target].bounds;
  mouseHandler_->LabelMouse(target, action, button, shift, static_cast<float>(x - bounds.left),
                            static_cast<float>(y - bounds.top));
}

void Scene::MouseDown(short button, short shift, double x, double y) {
  const std::size_t target = captured_ ? *captured_ : TargetAt(x, y);
  captured_ = target;
  Deliver(target, MouseAction::kDown, button, shift, x, y);
}

void Scene::MouseMove(short button, short shift, double x, double y) {
  Deliver(captured_ ? *captured_ : TargetAt(x, y), MouseAction::kMove, button, shift, x, y);
}

void Scene::MouseUp(short button, short shift, double x, double y) {
  if (!captured_) {
    Deliver(TargetAt(x, y), MouseAction::kUp, button, shift, x, y);
    return;
  }
  const std::size_t target = *captured_;
  captured_.reset();
  Deliver(target, MouseAction::kUp, button, shift, x, y);
  if (target == kSurface) {
    return;
  }
  const Element& element = elements_[target];
  if (mouseHandler_ != nullptr && button == kLeftButton && element.visible &&
      element.bounds.Contains(x, y)) {
    mouseHandler_->LabelClick(target);
  }
}

void Scene::Invalidate() const {
  if (invalidated_) {
    invalidated_();
  }
}

}  // namespace svctune::scene
