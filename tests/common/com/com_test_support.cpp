#include "com_test_support.h"

namespace svctune::testing {

namespace {

const wchar_t kHostClass[] = L"SvctuneTestHost";

bool RegisterHostClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = kHostClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  return registered;
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (const char* c = text; *c != '\0'; ++c) {
    wide.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  }
  return wide;
}

// Takes a BSTR the caller received and frees it.
std::wstring Taken(BSTR text) {
  std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return taken;
}

}  // namespace

std::vector<TypeMember> DeclaredMembers(ITypeInfo* info) {
  std::vector<TypeMember> members;
  TYPEATTR* attributes = nullptr;
  if (info == nullptr || FAILED(info->GetTypeAttr(&attributes))) {
    return members;
  }
  const WORD count = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) {
      continue;
    }
    const bool inherited = function->memid >= 0x60000000 && function->memid <= 0x6001FFFF;
    if (!inherited) {
      BSTR name = nullptr;
      BSTR help = nullptr;
      info->GetDocumentation(function->memid, &name, &help, nullptr, nullptr);
      members.push_back({Taken(name), function->memid, Taken(help), function->wFuncFlags,
                         function->invkind, function->cParams});
    }
    info->ReleaseFuncDesc(function);
  }
  return members;
}

HostWindow::HostWindow(int width, int height, DWORD style) {
  if (RegisterHostClass()) {
    window_ = CreateWindowExW(0, kHostClass, L"host", style | WS_CLIPCHILDREN, 40, 40, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
}

HostWindow::~HostWindow() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::wstring LaminaPath() {
  return Widen(SVCTUNE_LAMINA_DLL);
}

std::wstring VellumPath() {
  return Widen(SVCTUNE_VELLUM_DLL);
}

}  // namespace svctune::testing
