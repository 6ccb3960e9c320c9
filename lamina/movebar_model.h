#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "scene/ambient_info.h"
#include "scene/scene.h"
#include "screen_types.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::lamina {

// A top-level window of the system, as a number (an HWND under Windows).
using WindowHandle = std::uintptr_t;

// What the move bar asks of the window system (screen pixels).
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // The top-level window that holds the bar: the only window the bar ever acts on.
  virtual WindowHandle HolderWindow() = 0;
  virtual std::optional<ScreenRect> WindowRect(WindowHandle window) = 0;
  virtual std::optional<ScreenRect> DesktopRect() = 0;
  // The taskbar ("Shell_TrayWnd" with an empty title), when there is one.
  virtual std::optional<ScreenRect> TaskbarRect() = 0;
  virtual std::optional<ScreenPoint> CursorPos() = 0;
  virtual void ShowWindow(WindowHandle window, int command) = 0;
  // Position, size and top of the Z order at once.
  virtual void PlaceWindow(WindowHandle window, int x, int y, int width, int height) = 0;
  // Position only; the size stays.
  virtual void MoveWindow(WindowHandle window, int x, int y) = 0;
  virtual void Close(WindowHandle window) = 0;
  virtual void SetTitle(WindowHandle window, const std::wstring& title) = 0;
  // Lets the host's message loop run once. False when the drag cannot go on: the program is
  // quitting, the bar lost the mouse, no mouse button is down any more or the bar is gone.
  virtual bool PumpOnce() = 0;
};

inline constexpr int kShowMinimized = 6;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowRestore = 9;
inline constexpr OleColour kMoveBarDefaultBack = 0x80C0FF;
inline constexpr OleColour kMoveBarDefaultFore = 0xFF0000;
inline constexpr OleColour kBarButtonFace = 0xE0E0E0;
inline constexpr OleColour kBarButtonText = 0xFF0000;
inline constexpr OleColour kBarButtonPressedFace = 0xFF8080;
inline constexpr OleColour kBarButtonPressedText = 0xC0FFFF;
inline constexpr wchar_t kMaximiseGlyph[] = L"\u2642";
inline constexpr wchar_t kRestoreGlyph[] = L"\u2640";

// The move bar: a replacement title bar with the title pTitle, the buttons pCom(0) minimise,
// pCom(1) maximise or restore and pCom(2) close, and a window icon at its left end. Dragging
// the bar or its title moves the window that holds it. Lengths are twips.
class MoveBarModel : private scene::LabelMouseHandler {
 public:
  static constexpr std::size_t kMinimise = 0;
  static constexpr std::size_t kMaximise = 1;
  static constexpr std::size_t kClose = 2;
  static constexpr std::size_t kTitle = 3;
  static constexpr int kHeight = 270;
  static constexpr int kMinimumWidth = 1600;

  MoveBarModel(scene::TextMeasurer measure, WindowSystem& windows,
               std::function<void(std::wstring_view)> propertyChanged);

  const scene::Scene& Surface() const { return scene_; }
  scene::Scene& Surface() { return scene_; }
  void OnSizeRequested(std::function<void(int, int)> handler) {
    sizeRequested_ = std::move(handler);
  }

  // Layout step for the host's size.
  void Resize(int widthTwips, int heightTwips);
  int Width() const { return width_; }
  int Height() const { return height_; }

  void InitProperties(const scene::AmbientInfo& ambient);
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient);
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const;

  OleColour BackColor() const { return backColour_; }
  void SetBackColor(OleColour colour);
  OleColour ForeColor() const { return scene_.at(kTitle).foreColour; }
  void SetForeColor(OleColour colour);
  const FontSpec& Font() const { return scene_.at(kTitle).font; }
  void SetFont(const FontSpec& font);
  bool Minimize() const { return scene_.at(kMinimise).visible; }
  void SetMinimize(bool visible);
  bool Maximum() const { return scene_.at(kMaximise).visible; }
  void SetMaximum(bool visible);
  bool NorClose() const { return scene_.at(kClose).visible; }
  void SetNorClose(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::wstring& Caption() const { return scene_.at(kTitle).caption; }
  void SetCaption(const std::wstring& caption);

  // The bar became visible on its host: the host window takes the bar's caption as its title.
  void Show();

  // Mouse input of the control's surface (twips). Pressing the surface or the title drags the
  // holding window until the release; the call returns when the drag is over.
  void MouseDown(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  bool Dragging() const { return dragging_; }

 private:
  void LabelMouse(std::size_t id, scene::MouseAction action, short button, short shift, float x,
                  float y) override;
  void LabelClick(std::size_t) override {}
  void Layout();
  void CentreTitle();
  void Drag();
  void Maximise(WindowHandle window);
  void FitToWorkArea(WindowHandle window);
  void SetButtonVisible(std::size_t id, bool visible, std::wstring_view name);
  void Changed(std::wstring_view name);

  scene::Scene scene_;
  WindowSystem& windows_;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void(int, int)> sizeRequested_;
  int width_ = 0;
  int height_ = 0;
  OleColour backColour_ = kMoveBarDefaultBack;
  bool enabled_ = true;
  WindowHandle targetWindow_ = 0;
  bool dragging_ = false;
  std::int32_t grabX_ = 0;
  std::int32_t grabY_ = 0;
};

}  // namespace svctune::lamina
