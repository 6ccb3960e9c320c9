#include "test_host.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace svctune::testing {

namespace {

constexpr const wchar_t* kHostClass = L"svctune.TestHostForm";

// Version 6 of the common controls (the manifest of the test program asks for it) draws
// check boxes and buttons with the visual style, as on Windows XP.
class CommonControls : public ::testing::Environment {
 public:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
  }
};
::testing::Environment* const kCommonControls =
    ::testing::AddGlobalTestEnvironment(new CommonControls);

PixelImage ImageOfDib(const std::uint32_t* bits, int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.Set(x, y, bits[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF);
    }
  }
  return image;
}

// A top-down 32-bit DIB section selected into a memory DC.
class DibCanvas {
 public:
  DibCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_.Reset(CreateCompatibleDC(nullptr));
    previous_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~DibCanvas() { SelectObject(dc_.get(), previous_); }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return dc_.get(); }
  bool ok() const { return bits_ != nullptr && dc_; }
  PixelImage Image() const {
    GdiFlush();
    return ImageOfDib(bits_, width_, height_);
  }

 private:
  int width_;
  int height_;
  win::ScopedBitmap bitmap_;
  win::ScopedMemoryDc dc_;
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (done()) {
      return true;
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) {
      return false;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, milliseconds - elapsed),
                              QS_ALLINPUT);
  }
}

HostForm::HostForm(int width, int height, bool framed)
    : editBrush_(CreateSolidBrush(RGB(255, 255, 224))) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!GetClassInfoExW(Instance(), kHostClass, &windowClass)) {
    windowClass.lpfnWndProc = &HostForm::WindowProc;
    windowClass.hInstance = Instance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kHostClass;
    RegisterClassExW(&windowClass);
  }
  const DWORD style = (framed ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_CLIPCHILDREN;
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  hwnd_ =
      CreateWindowExW(0, kHostClass, L"svctune controls", style, 40, 40, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, Instance(), this);
  // Not activated: Wine waits for the X server when an active window goes away.
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
  PumpMessages();
}

HostForm::~HostForm() {
  if (IsWindow(hwnd_)) {
    DestroyWindow(hwnd_);
  }
  PumpMessages();
}

LRESULT CALLBACK HostForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        window, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* form = reinterpret_cast<HostForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form != nullptr) {
    switch (message) {
      case WM_COMMAND:
        form->commands_.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
      case WM_CTLCOLOREDIT:
        return reinterpret_cast<LRESULT>(form->editBrush_.get());
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 int x, int y, int width, int height) {
  const HWND child = CreateWindowExW(
      0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  return child;
}

PixelImage ReadWindow(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  DibCanvas canvas(client.right, client.bottom);
  win::WindowDc source(window);
  if (!canvas.ok() || source.get() == nullptr) {
    return PixelImage(0, 0);
  }
  BitBlt(canvas.dc(), 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  return canvas.Image();
}

PixelImage Render(int width, int height, std::uint32_t fill, const std::function<void(HDC)>& draw) {
  DibCanvas canvas(width, height);
  if (!canvas.ok()) {
    return PixelImage(0, 0);
  }
  win::ScopedBrush brush(
      CreateSolidBrush(RGB((fill >> 16) & 0xFF, (fill >> 8) & 0xFF, fill & 0xFF)));
  RECT all{0, 0, width, height};
  FillRect(canvas.dc(), &all, brush.get());
  draw(canvas.dc());
  return canvas.Image();
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
  int distance = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    distance = std::max(distance, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                           static_cast<int>((b >> shift) & 0xFF)));
  }
  return distance;
}

}  // namespace svctune::testing
