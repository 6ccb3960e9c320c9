#pragma once

#include <windows.h>

#include <memory>

#include "controls/progress_bar.h"
#include "ui/property_bag.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The window of a ProgressBar: a child window that shows the bar the model describes and
// doubles as a container panel. Controls the host creates with this window as their parent
// stand on the bar, move with it and are hidden and shown with it; labels, check boxes and
// option buttons among them show the bar through their background.
//
// The bar is drawn into an off-screen surface (a memory DC with a bitmap of the window's
// size), made on the first refresh and released on resize, hide and destruction; the window
// shows it with one block copy.
class ProgressBarView {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.ProgressBar";

  // Registers the window class for the module once; later calls only check it is there.
  static bool RegisterWindowClass(HINSTANCE instance);

  // Creates the bar as a visible child of parent, at rect (pixels, in the parent's client
  // coordinates), with the properties stored in bag, or with the defaults of a new control
  // when bag is null. Null when the window cannot be created.
  static std::unique_ptr<ProgressBarView> Create(HINSTANCE instance, HWND parent, int id,
                                                 const RECT& rect, const PropertyBag* bag);

  ~ProgressBarView();
  ProgressBarView(const ProgressBarView&) = delete;
  ProgressBarView& operator=(const ProgressBarView&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Properties, Step and Refresh; every change repaints the window. The host hears the bag
  // keys of changed properties through Model().OnPropertyChanged.
  ProgressBar& Model() { return model_; }

 private:
  class Surface;

  ProgressBarView();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void Refresh();
  bool Render();
  void ShowImage(HDC target);
  void ReleaseSurface();
  LRESULT ChildColour(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ForwardToHost(UINT message, WPARAM wParam, LPARAM lParam) const;

  HWND hwnd_ = nullptr;
  ProgressBar model_;
  std::unique_ptr<Surface> surface_;
  bool busy_ = false;
  bool paintPending_ = false;  // inside BeginPaint of this window's own WM_PAINT
};

}  // namespace svctune::win
