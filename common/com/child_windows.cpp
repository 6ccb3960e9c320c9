#include "com/child_windows.h"

#include <algorithm>

#include "com/ole_font.h"
#include "com/server_module.h"

namespace svctune::com {

struct ChildWindows::Child {
  ChildWindows* owner = nullptr;
  HWND control = nullptr;
  HWND window = nullptr;
  WNDPROC original = nullptr;
  Handlers handlers;
  win::ScopedFont font;
  win::ScopedBrush brush;
  COLORREF text = 0;
  COLORREF back = 0;
};

ChildWindows::ChildWindows() = default;

ChildWindows::~ChildWindows() {
  DestroyAll();
}

HWND ChildWindows::Create(HWND control, const wchar_t* windowClass, DWORD style,
                          DWORD extendedStyle, const RECT& rect, Handlers handlers) {
  HWND window = CreateWindowExW(extendedStyle, windowClass, L"", WS_CHILD | style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, control,
                                nullptr, ServerModule::Instance(), nullptr);
  if (window == nullptr) {
    return nullptr;
  }
  auto child = std::make_unique<Child>();
  child->owner = this;
  child->control = control;
  child->window = window;
  child->handlers = std::move(handlers);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(child.get()));
  child->original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChildWindows::ChildProc)));
  if (child->original == nullptr) {
    DestroyWindow(window);
    return nullptr;
  }
  children_.push_back(std::move(child));
  return window;
}

ChildWindows::Child* ChildWindows::Find(HWND window) const {
  for (const auto& child : children_) {
    if (child->window == window) {
      return child.get();
    }
  }
  return nullptr;
}

void ChildWindows::SetColours(HWND child, COLORREF text, COLORREF back) {
  Child* found = Find(child);
  if (found == nullptr) {
    return;
  }
  if (!found->brush || found->back != back) {
    win::ScopedBrush brush(CreateSolidBrush(back));
    if (brush) {
      found->brush = std::move(brush);
    }
  }
  found->text = text;
  found->back = back;
  InvalidateRect(child, nullptr, TRUE);
}

void ChildWindows::SetFont(HWND child, const FontSpec& font) {
  Child* found = Find(child);
  if (found == nullptr) {
    return;
  }
  win::ScopedFont gdiFont = CreateGdiFont(font);
  if (!gdiFont) {
    return;
  }
  // The child lets go of the old font before it is deleted.
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(gdiFont.get()), TRUE);
  found->font = std::move(gdiFont);
}

void ChildWindows::DestroyAll() {
  while (!children_.empty()) {
    std::unique_ptr<Child> child = std::move(children_.back());
    children_.pop_back();
    if (IsWindow(child->window)) {
      SetWindowLongPtrW(child->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(child->original));
      SetWindowLongPtrW(child->window, GWLP_USERDATA, 0);
      DestroyWindow(child->window);
    }
  }
}

void ChildWindows::FocusMoved(HWND control, HWND gaining) const {
  if (gaining != control && (gaining == nullptr || !IsChild(control, gaining)) && focusLeft_) {
    focusLeft_();
  }
}

bool ChildWindows::Route(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      Child* child = Find(reinterpret_cast<HWND>(lParam));
      if (child == nullptr) {
        return false;
      }
      if (child->handlers.command) {
        child->handlers.command(HIWORD(wParam));
      }
      result = 0;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      Child* child = Find(reinterpret_cast<HWND>(lParam));
      if (child == nullptr || !child->brush) {
        return false;
      }
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, child->text);
      SetBkColor(dc, child->back);
      result = reinterpret_cast<LRESULT>(child->brush.get());
      return true;
    }
    case WM_KILLFOCUS:
      FocusMoved(control, reinterpret_cast<HWND>(wParam));
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK ChildWindows::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* child = reinterpret_cast<Child*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (child == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  const WNDPROC original = child->original;
  const Handlers handlers = child->handlers;
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (handlers.key) {
        handlers.key(message, wParam);
      }
      // A handler may have closed the control and its children with it.
      if (!IsWindow(window)) {
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      child->owner->FocusMoved(child->control, reinterpret_cast<HWND>(wParam));
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return CallWindowProcW(original, window, message, wParam, lParam);
    default:
      break;
  }
  const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
  if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) && handlers.mouse) {
    handlers.mouse(message, lParam);
  }
  return result;
}

}  // namespace svctune::com
