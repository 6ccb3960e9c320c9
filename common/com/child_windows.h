#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/property_bag.h"
#include "win/scoped_gdi.h"

namespace svctune::com {

// Real windows (text boxes, list boxes) inside a control's window. The control's window
// procedure hands its messages to Route first: the children's commands and colour requests are
// answered there, and the control learns when the focus leaves it and all its children. Key
// and mouse messages of a child reach its handlers before (keys) or after (mouse) the child
// itself handles them.
class ChildWindows {
 public:
  struct Handlers {
    std::function<void(WORD notification)> command;
    // WM_KEYDOWN, WM_KEYUP or WM_CHAR with its key.
    std::function<void(UINT message, WPARAM key)> key;
    // WM_LBUTTONDOWN or WM_LBUTTONUP, after the child has handled it.
    std::function<void(UINT message, LPARAM position)> mouse;
  };

  ChildWindows();
  ~ChildWindows();
  ChildWindows(const ChildWindows&) = delete;
  ChildWindows& operator=(const ChildWindows&) = delete;

  void OnFocusLeft(std::function<void()> handler) { focusLeft_ = std::move(handler); }

  // Creates a child of the control's window (rect in its client pixels); null on failure.
  HWND Create(HWND control, const wchar_t* windowClass, DWORD style, DWORD extendedStyle,
              const RECT& rect, Handlers handlers);
  void SetColours(HWND child, COLORREF text, COLORREF back);
  void SetFont(HWND child, const FontSpec& font);
  void DestroyAll();

  // For the control's window procedure: true when the message was answered (result set).
  bool Route(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  struct Child;
  static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Child* Find(HWND window) const;
  void FocusMoved(HWND control, HWND gaining) const;

  std::vector<std::unique_ptr<Child>> children_;
  std::function<void()> focusLeft_;
};

}  // namespace svctune::com
