#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "access/win/access_window.h"
#include "win/scoped_gdi.h"

namespace svctune::access::win {

// A control of a password window (its controls live in picBackground).
inline HWND Child(HWND form, int id) {
  return GetDlgItem(GetDlgItem(form, kPicBackgroundId), id);
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// Delivers everything posted so far.
inline void Pump() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Typing as the keyboard does it: a key-down, then the character TranslateMessage makes.
inline void TypeKey(HWND control, UINT virtualKey, wchar_t character) {
  SendMessageW(control, WM_KEYDOWN, virtualKey, 1);
  if (character != 0) {
    SendMessageW(control, WM_CHAR, character, 1);
  }
  SendMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

inline void Type(HWND control, std::wstring_view text) {
  for (const wchar_t character : text) {
    SendMessageW(control, WM_CHAR, character, 1);
  }
}

inline void PressEnter(HWND control) {
  TypeKey(control, VK_RETURN, L'\r');
}
inline void PressEscape(HWND control) {
  TypeKey(control, VK_ESCAPE, 27);
}
inline void PressTab(HWND control) {
  TypeKey(control, VK_TAB, L'\t');
}
// Alt+F4 as the system delivers it to the control with the focus.
inline void PressAltF4(HWND control) {
  SendMessageW(control, WM_SYSKEYDOWN, VK_F4, 0x20000001);
  SendMessageW(control, WM_SYSKEYUP, VK_F4, 0xE0000001);
}

inline void Click(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
}

// Dragging a title label by (dx, dy) with the given button from (x, y) in its coordinates.
inline void Drag(HWND label, UINT down, UINT up, WPARAM held, int x, int y, int dx, int dy) {
  SendMessageW(label, down, held, MAKELPARAM(x, y));
  SendMessageW(label, WM_MOUSEMOVE, held, MAKELPARAM(x + dx, y + dy));
  SendMessageW(label, up, 0, MAKELPARAM(x + dx, y + dy));
}

inline RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// Keeps what the window shows on screen as a bitmap file in the working folder (the build
// folder under ctest), for people to look at.
inline void SaveWindowImage(HWND window, const wchar_t* fileName) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const RECT rect = WindowRect(window);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);
  void* bits = nullptr;
  const svctune::win::WindowDc source(window);
  const svctune::win::ScopedMemoryDc memory(CreateCompatibleDC(source.get()));
  const svctune::win::ScopedBitmap image(
      CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !image) {
    return;
  }
  {
    const svctune::win::SelectedObject selected(memory.get(), image.get());
    BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
  }
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + info.bmiHeader.biSizeImage;
  const HANDLE file = CreateFileW(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, &header, sizeof header, &written, nullptr);
  WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
  WriteFile(file, bits, info.bmiHeader.biSizeImage, &written, nullptr);
  CloseHandle(file);
}

// A plain top-level window standing in for the main window. (Under Wine without a window
// manager, destroying a shown top-level window takes two seconds; suites share one.)
class OwnerWindow {
 public:
  OwnerWindow()
      : hwnd_(CreateWindowExW(0, L"Static", L"formhome", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                              600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~OwnerWindow() { DestroyWindow(hwnd_); }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Runs script once from inside the message loop that is running when the timer fires (the
// modal prompt's loop). A watchdog then closes any password window still open within two
// seconds, so a failing script ends the prompt instead of hanging the test.
class ScriptInLoop {
 public:
  explicit ScriptInLoop(std::function<void()> script) {
    script_ = std::move(script);
    start_ = SetTimer(nullptr, 0, 50, Run);
  }
  ~ScriptInLoop() {
    KillTimer(nullptr, start_);
    if (watchdog_ != 0) {
      KillTimer(nullptr, watchdog_);
    }
    script_ = nullptr;
    watchdog_ = 0;
  }
  ScriptInLoop(const ScriptInLoop&) = delete;
  ScriptInLoop& operator=(const ScriptInLoop&) = delete;

 private:
  static void CALLBACK Run(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const std::function<void()> script = std::move(script_);
    script_ = nullptr;
    watchdog_ = SetTimer(nullptr, 0, 2000, Watchdog);
    if (script) {
      script();
    }
  }
  static void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    watchdog_ = 0;
    if (HWND left = FindWindowW(kAccessFormClass, nullptr)) {
      PostMessageW(left, WM_CLOSE, 0, 0);
    }
  }
  UINT_PTR start_ = 0;
  static inline std::function<void()> script_;
  static inline UINT_PTR watchdog_ = 0;
};

}  // namespace svctune::access::win
