#pragma once

#include <functional>
#include <string>

#include "skin_layout.h"
#include "ui/property_bag.h"

namespace svctune::vellum {

// Events of the skin; mouse arguments are passed by reference.
class CorvidFormEvents {
 public:
  virtual ~CorvidFormEvents() = default;
  virtual void UnloadClick() = 0;
  virtual void Click() = 0;
  virtual void DblClick() = 0;
  virtual void MouseMove(short& button, short& shift, float& x, float& y) = 0;
  virtual void MouseUp(short& button, short& shift, float& x, float& y) = 0;
  virtual void MouseDown(short& button, short& shift, float& x, float& y) = 0;
};

// The three looks of the close button, by bitmap resource number.
enum class CloseLook { kInitial = 102, kBright = 103, kDark = 104 };

// What lies under a point of the control: the close button ImgClose, the title-bar drag area
// LbJack, or the control's own surface.
enum class SkinPart { kSurface, kDragArea, kCloseButton };

// What the view must do after a press on the drag area.
enum class DragRequest { kNone, kMoveWindow };

// The skin's state and its answers to the mouse, without any window.
class CorvidFormModel {
 public:
  explicit CorvidFormModel(CorvidFormEvents& events) : events_(events) {}

  const SkinLayout& Layout() const { return layout_; }
  // DrawSkin's geometry for the control's current size and picture.
  const SkinLayout& Relayout(int widthTwips, int heightTwips, bool hasIcon);

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption) { caption_ = caption; }
  long Hwnd() const { return hwnd_; }
  void SetHwnd(long hwnd) { hwnd_ = hwnd; }

  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  CloseLook Look() const { return look_; }
  SkinPart PartAt(double x, double y) const;

  // Mouse input of the control (twips, relative to the control).
  DragRequest MouseDown(short button, short shift, double x, double y);
  void MouseMove(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  void DoubleClick(double x, double y);

 private:
  CorvidFormEvents& events_;
  SkinLayout layout_ = LayoutSkin(kMinimumWidth, kMinimumHeight, false);
  std::wstring caption_;
  long hwnd_ = 0;
  CloseLook look_ = CloseLook::kInitial;
  SkinPart pressedPart_ = SkinPart::kSurface;
  bool pressed_ = false;
};

}  // namespace svctune::vellum
