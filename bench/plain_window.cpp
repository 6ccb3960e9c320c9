#include "plain_window.h"

#include "win/gdi_font.h"
#include "win/window_class.h"

namespace svctune::bench {
namespace {

constexpr const wchar_t* kPlainClass = L"svctune.bench.Plain";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  return GetClassNameW(window, name, 64) > 0 ? name : L"";
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsSystemControl(const std::wstring& className) {
  return lstrcmpiW(className.c_str(), L"Static") == 0 ||
         lstrcmpiW(className.c_str(), L"Button") == 0 ||
         lstrcmpiW(className.c_str(), L"ComboBox") == 0;
}

// The plain equivalent of one child window.
PlainChild PlainEquivalent(HWND child, int parent) {
  PlainChild plain{parent,
                   ClassOf(child),
                   static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)),
                   static_cast<DWORD>(GetWindowLongPtrW(child, GWL_EXSTYLE)),
                   {},
                   TextOf(child),
                   GetDlgCtrlID(child)};
  GetWindowRect(child, &plain.rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&plain.rect), 2);
  const DWORD common = plain.style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED);
  if (lstrcmpiW(plain.className.c_str(), L"Static") == 0) {
    plain.style =
        common | ((plain.style & SS_TYPEMASK) <= SS_RIGHT ? plain.style & SS_TYPEMASK : SS_LEFT);
  } else if (!IsSystemControl(plain.className)) {
    // A control of the program's own: a container becomes a panel, any other an option box.
    const bool container = GetWindow(child, GW_CHILD) != nullptr;
    plain.className = container ? kPlainClass : L"Button";
    plain.style = container ? common | WS_CLIPCHILDREN : common | BS_AUTOCHECKBOX;
    plain.exStyle = 0;
  }
  return plain;
}

void CopyChildren(HWND window, int index, std::vector<PlainChild>& children) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(PlainEquivalent(child, index));
    CopyChildren(child, static_cast<int>(children.size()) - 1, children);
  }
}

}  // namespace

PlainWindowLayout CopyLayout(HWND window) {
  PlainWindowLayout layout;
  layout.style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & ~WS_VISIBLE;
  layout.exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  GetWindowRect(window, &layout.rect);
  layout.title = TextOf(window);
  CopyChildren(window, -1, layout.children);
  return layout;
}

PlainWindow::PlainWindow(const PlainWindowLayout& layout) : layout_(layout) {}

PlainWindow::~PlainWindow() {
  Destroy();
}

bool PlainWindow::Create() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass = win::WindowClass(instance, kPlainClass, DefWindowProcW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!win::EnsureWindowClass(windowClass)) {
    return false;
  }
  if (!font_) {
    font_ = win::CreateFontFrom(FontSpec{}, win::ScreenDpi());
  }
  hwnd_ =
      CreateWindowExW(layout_.exStyle, kPlainClass, layout_.title.c_str(), layout_.style,
                      layout_.rect.left, layout_.rect.top, layout_.rect.right - layout_.rect.left,
                      layout_.rect.bottom - layout_.rect.top, nullptr, nullptr, instance, nullptr);
  if (hwnd_ == nullptr) {
    return false;
  }
  std::vector<HWND> created;
  created.reserve(layout_.children.size());
  for (const PlainChild& child : layout_.children) {
    const HWND parent = child.parent < 0 ? hwnd_ : created[static_cast<std::size_t>(child.parent)];
    const HWND window = CreateWindowExW(
        child.exStyle, child.className.c_str(), child.text.c_str(), child.style, child.rect.left,
        child.rect.top, child.rect.right - child.rect.left, child.rect.bottom - child.rect.top,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
    if (window == nullptr) {
      return false;
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    created.push_back(window);
  }
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);

  return true;
}

void PlainWindow::Destroy() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

}  // namespace svctune::bench
