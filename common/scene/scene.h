#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::scene {

// A rectangle in twips. Positions are single-precision in the controls' arithmetic, so they
// are kept as floating point and never rounded here.
struct Rect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
  bool Contains(double x, double y) const {
    return x >= left && y >= top && x < right() && y < bottom();
  }
};

struct Size {
  double width = 0;
  double height = 0;
};

// Measures a caption in twips with a font (GDI under Windows, a fixed metric in tests).
using TextMeasurer = std::function<Size(const std::wstring& text, const FontSpec& font)>;

enum class ElementKind { kLabel, kFilledRect };
enum class Alignment { kLeft, kCentre };
enum class MousePointer { kDefault, kHand };

// One windowless child of a control's surface.
struct Element {
  ElementKind kind = ElementKind::kLabel;
  Rect bounds;
  bool visible = true;
  std::wstring caption;
  OleColour backColour = kButtonFace;
  OleColour foreColour = kButtonText;
  OleColour borderColour = kWindowText;
  bool opaque = true;
  bool border = false;
  Alignment alignment = Alignment::kLeft;
  bool autoSize = false;
  FontSpec font;
  MousePointer pointer = MousePointer::kDefault;
};

enum class MouseAction { kDown, kMove, kUp };

// Mouse button values as the controls' events carry them.
inline constexpr short kLeftButton = 1;
inline constexpr short kRightButton = 2;
inline constexpr short kMiddleButton = 4;

// Receives the mouse input of a scene: that of its labels, with coordinates relative to the
// label, and that of the surface where no label lies (filled rectangles let it through), with
// coordinates of the surface.
class LabelMouseHandler {
 public:
  virtual ~LabelMouseHandler() = default;
  virtual void LabelMouse(std::size_t id, MouseAction action, short button, short shift, float x,
                          float y) = 0;
  virtual void LabelClick(std::size_t id) = 0;
  // A control whose surface takes no mouse input leaves this as it is.
  virtual void SurfaceMouse(MouseAction, short, short, float, float) {}
};

// The child elements of a control that builds its look by composition: labels and filled
// rectangles with their places, colours and z-order. Labels receive the mouse; filled
// rectangles let it fall through to whatever lies below them.
class Scene {
 public:
  explicit Scene(TextMeasurer measure);

  std::size_t AddLabel();
  std::size_t AddFilledRect();
  std::size_t size() const { return elements_.size(); }
  const Element& at(std::size_t id) const { return elements_.at(id); }

  void SetCaption(std::size_t id, const std::wstring& caption);
  void SetFont(std::size_t id, const FontSpec& font);
  void SetAutoSize(std::size_t id, bool autoSize);
  void Move(std::size_t id, double left, double top);
  void Move(std::size_t id, double left, double top, double width, double height);
  void SetBackColour(std::size_t id, OleColour colour);
  void SetForeColour(std::size_t id, OleColour colour);
  void SetBorderColour(std::size_t id, OleColour colour);
  void SetOpaque(std::size_t id, bool opaque);
  void SetBorder(std::size_t id, bool border);
  void SetAlignment(std::size_t id, Alignment alignment);
  void SetVisible(std::size_t id, bool visible);
  void SetPointer(std::size_t id, MousePointer pointer);

  // Drawing order, bottom first.
  const std::vector<std::size_t>& ZOrder() const { return zOrder_; }
  void BringToFront(std::size_t id);
  void SendToBack(std::size_t id);

  // The topmost visible label under a point of the surface; filled rectangles are skipped.
  std::optional<std::size_t> HitTest(double x, double y) const;
  MousePointer PointerAt(double x, double y) const;

  // Mouse input of the surface (twips). Whatever is pressed, a label or the bare surface, keeps
  // the mouse until the release, as a captured window would, so a drag that starts on the
  // surface stays the surface's when it passes over a label; a click is a left-button release
  // over the label that was pressed.
  void SetMouseHandler(LabelMouseHandler* handler) { mouseHandler_ = handler; }
  void MouseDown(short button, short shift, double x, double y);
  void MouseMove(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  bool HasCapture() const { return captured_.has_value(); }

  // Runs after a label's caption changed (with the label's id).
  void OnCaptionChanged(std::function<void(std::size_t)> handler) {
    captionChanged_ = std::move(handler);
  }
  // Runs after anything visible changed, so the view can repaint.
  void OnInvalidated(std::function<void()> handler) { invalidated_ = std::move(handler); }

 private:
  std::size_t Add(ElementKind kind);
  Element& Mutable(std::size_t id) { return elements_.at(id); }
  void FitToCaption(std::size_t id);
  void Invalidate() const;
  // The label under a point, or kSurface.
  std::size_t TargetAt(double x, double y) const;
  void Deliver(std::size_t target, MouseAction action, short button, short shift, double x,
               double y);

  static constexpr std::size_t kSurface = static_cast<std::size_t>(-1);

  TextMeasurer measure_;
  std::vector<Element> elements_;
  std::vector<std::size_t> zOrder_;
  LabelMouseHandler* mouseHandler_ = nullptr;
  std::optional<std::size_t> captured_;
  std::function<void(std::size_t)> captionChanged_;
  std::function<void()> invalidated_;
};

}  // namespace svctune::scene
