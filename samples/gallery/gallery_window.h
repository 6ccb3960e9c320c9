#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace svctune::gallery {

// The gallery's main window: a tab control with one page per group of controls, and below it
// the event log, a list box with one line per event as it arrives.
class GalleryWindow {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.Gallery";
  static constexpr int kEventLogId = 100;

  explicit GalleryWindow(HINSTANCE instance) : instance_(instance) {}
  ~GalleryWindow();
  GalleryWindow(const GalleryWindow&) = delete;
  GalleryWindow& operator=(const GalleryWindow&) = delete;

  bool Create(int showCommand);
  HWND hwnd() const { return hwnd_; }
  void Log(const std::wstring& line);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateChildren();
  void ShowPage(int index);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  HWND eventLog_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<HWND> pages_;
};

}  // namespace svctune::gallery
