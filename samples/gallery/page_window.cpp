#include "page_window.h"

#include "win/window_class.h"

namespace svctune::gallery {

namespace {

constexpr wchar_t kPageClass[] = L"svctune.GalleryPage";

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The contents go first, while their windows are still there to be closed properly.
  if (message == WM_DESTROY) {
    delete reinterpret_cast<PageContents*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreatePageWindow(HINSTANCE instance, HWND parent, const RECT& area) {
  WNDCLASSEXW windowClass = win::WindowClass(instance, kPageClass, &PageProc);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!win::EnsureWindowClass(windowClass)) {
    return nullptr;
  }
  return CreateWindowExW(
      WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, area.left,
      area.top, area.right - area.left, area.bottom - area.top, parent, nullptr, instance, nullptr);
}

void AttachPageContents(HWND page, std::unique_ptr<PageContents> contents) {
  delete reinterpret_cast<PageContents*>(
      SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(contents.release())));
}

}  // namespace svctune::gallery
