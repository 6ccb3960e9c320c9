#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/scoped_gdi.h"

namespace svctune::bench {

// The windows of a top-level window as a plain Win32 program would make them: each child's
// class, styles, place, text and identifier, with the program's own control classes replaced
// by their plainest system equivalent (a panel for a container, a check box for an option
// control) and pictures replaced by text labels.
struct PlainChild {
  int parent;  // index of the parent in the list, -1 for the top-level window
  std::wstring className;
  DWORD style;
  DWORD exStyle;
  RECT rect;  // in the parent's client coordinates
  std::wstring text;
  int id;
};

struct PlainWindowLayout {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  std::wstring title;
  std::vector<PlainChild> children;
};

// The layout of window and of every window below it.
PlainWindowLayout CopyLayout(HWND window);

// A window built from a layout with the system's own controls and one shared font, painted by
// the system alone: the baseline of what creating, showing and destroying those windows costs.
class PlainWindow {
 public:
  explicit PlainWindow(const PlainWindowLayout& layout);
  ~PlainWindow();
  PlainWindow(const PlainWindow&) = delete;
  PlainWindow& operator=(const PlainWindow&) = delete;

  // Creates every window and shows the top-level one without activating it. False when a
  // window could not be created.
  bool Create();
  void Destroy();
  HWND hwnd() const { return hwnd_; }

 private:
  const PlainWindowLayout& layout_;
  win::ScopedFont font_;
  HWND hwnd_ = nullptr;
};

}  // namespace svctune::bench
