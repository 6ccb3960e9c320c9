#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/win/check_box_bitmaps.h"
#include "controls/xp_option.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The window of an XPOption (or MyCmd, MyOpt): one child window that shows the state image
// and the caption over its parent's background (it asks the parent to paint it, so it sits on
// a ProgressBar panel as on a plain form). Its window text is the caption. The image and the
// caption are parts of this window, so their mouse events are the control's own.
class XPOptionView {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.XPOption";
  static constexpr UINT_PTR kTimerId = 1;  // Timer1

  // Registers the window class for the module once; later calls only check it is there.
  static bool RegisterWindowClass(HINSTANCE instance);

  // Creates the control as a visible child of parent at rect (pixels, in the parent's client
  // coordinates); the height follows the variant's rule. font is the container's font.
  // Null when the window cannot be created.
  static std::unique_ptr<XPOptionView> Create(HINSTANCE instance, HWND parent, int id,
                                              const RECT& rect, XPOptionVariant variant,
                                              std::wstring caption, const FontSpec& font);

  ~XPOptionView();
  XPOptionView(const XPOptionView&) = delete;
  XPOptionView& operator=(const XPOptionView&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Properties, the property bag and the container reports (Model().OnPropertyChanged).
  XPOption& Model() { return model_; }
  // ValueChanged: raised on every click with the new value, which the handler may change.
  // The handler may destroy the control.
  void OnValueChanged(std::function<void(bool& value)> handler) {
    model_.OnValueChanged(std::move(handler));
  }

 private:
  XPOptionView(XPOptionVariant variant, const FontSpec& font);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void Press();
  void Release();
  void Sync();
  bool MeasureLabel();
  void Paint(HDC target);
  RECT ToPixels(const TwipsRect& rect) const;
  int HeightInPixels() const;

  HWND hwnd_ = nullptr;
  XPOption model_;
  const CheckBoxBitmaps& bitmaps_;
  int dpi_;
  HFONT font_ = nullptr;  // the process's shared font of the caption
  FontSpec fontMadeFrom_;
  bool timerRunning_ = false;
  bool capturing_ = false;
  bool syncing_ = false;
  bool labelMeasured_ = false;
};

}  // namespace svctune::win
