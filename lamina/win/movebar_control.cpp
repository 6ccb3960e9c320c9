#include "movebar_control.h"

#include <new>
#include <string>

#include "com/class_factory.h"
#include "com/mouse_input.h"
#include "com/registration.h"
#include "com/scene_painter.h"
#include "com/server_module.h"
#include "com/variant.h"
#include "lamina_resources.h"

namespace svctune::lamina {

namespace {

const com::ControlClass kMoveBarClass{&CLSID_MoveBar, &IID__MoveBar,    &DIID___MoveBar,
                                      &LIBID_Lamina,  L"LaminaMoveBar", com::kControlMiscStatus,
                                      SIZE{4800, 270}};

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

std::optional<ScreenRect> RectOf(HWND window) {
  RECT rect{};
  if (window == nullptr || !GetWindowRect(window, &rect)) {
    return std::nullopt;
  }
  return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool AnyMouseButtonDown() {
  return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 ||
         GetAsyncKeyState(VK_MBUTTON) < 0;
}

}  // namespace

HRESULT MoveBarControl::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) MoveBarControl(), iid, object);
}

MoveBarControl::MoveBarControl()
    : DualControl<_MoveBar>(kMoveBarClass),
      windows_(*this),
      model_(com::MeasureText, windows_, [this](std::wstring_view name) { PropertyChanged(name); }),
      icon_(static_cast<HICON>(LoadImageW(com::ServerModule::Instance(),
                                          MAKEINTRESOURCEW(kMoveBarIcon), IMAGE_ICON, 16, 16, 0))),
      font_([this](const FontSpec& font) { model_.SetFont(font); }) {
  model_.Surface().OnInvalidated([this] { Invalidate(); });
  model_.OnSizeRequested([this](int width, int height) { RequestSize(SIZE{width, height}); });
  const SIZE size = SizeTwips();
  model_.Resize(size.cx, size.cy);
}

const std::vector<com::BagKey>& MoveBarControl::BagKeys() const {
  static const std::vector<com::BagKey> keys{
      {L"BackColor", com::BagKind::kInt32}, {L"ForeColor", com::BagKind::kInt32},
      {L"Font", com::BagKind::kFont},       {L"Minimize", com::BagKind::kBool},
      {L"Maximum", com::BagKind::kBool},    {L"NorClose", com::BagKind::kBool},
      {L"Enabled", com::BagKind::kBool},    {L"Caption", com::BagKind::kText},
  };
  return keys;
}

void MoveBarControl::InitProperties(const scene::AmbientInfo& ambient) {
  model_.InitProperties(ambient);
  font_.Reset();
}

void MoveBarControl::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.ReadProperties(bag, ambient);
  font_.Reset();
  if (Window() != nullptr) {
    EnableWindow(Window(), model_.Enabled() ? TRUE : FALSE);
  }
}

void MoveBarControl::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.WriteProperties(bag, ambient);
}

HRESULT MoveBarControl::OnResize(int widthTwips, int heightTwips) {
  model_.Resize(widthTwips, heightTwips);
  return S_OK;
}

void MoveBarControl::Paint(HDC dc, const RECT& bounds) {
  com::PaintScene(dc, POINT{bounds.left, bounds.top},
                  SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top}, model_.BackColor(),
                  model_.Surface(), icon_.get());
}

LRESULT MoveBarControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  bool& handled) {
  handled = true;
  if (const std::optional<com::MouseInput> input =
          com::ReadMouseMessage(window, message, wParam, lParam)) {
    if (input->action == scene::MouseAction::kDown) {
      model_.MouseDown(input->button, input->shift, input->x, input->y);
    } else if (input->action == scene::MouseAction::kUp) {
      model_.MouseUp(input->button, input->shift, input->x, input->y);
    }
    return 0;
  }
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam != FALSE) {
        model_.Show();
      }
      handled = false;
      return 0;
    default:
      handled = false;
      return 0;
  }
}

// ---- The window system, as far as the bar acts on it -------------------------------------

// The bar acts on the top-level window that holds it, never on whatever window happens to be
// active: another window of the host, or another program's, must not be closed by the bar.
WindowHandle MoveBarControl::HolderWindows::HolderWindow() {
  const HWND window = control_.Window();
  return reinterpret_cast<WindowHandle>(window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr);
}

std::optional<ScreenRect> MoveBarControl::HolderWindows::WindowRect(WindowHandle window) {
  return RectOf(ToHwnd(window));
}

std::optional<ScreenRect> MoveBarControl::HolderWindows::DesktopRect() {
  return RectOf(GetDesktopWindow());
}

std::optional<ScreenRect> MoveBarControl::HolderWindows::TaskbarRect() {
  return RectOf(FindWindowA("Shell_TrayWnd", ""));
}

std::optional<ScreenPoint> MoveBarControl::HolderWindows::CursorPos() {
  POINT pointer{};
  if (!GetCursorPos(&pointer)) {
    return std::nullopt;
  }
  return ScreenPoint{pointer.x, pointer.y};
}

void MoveBarControl::HolderWindows::ShowWindow(WindowHandle window, int command) {
  if (window != 0) {
    ::ShowWindow(ToHwnd(window), command);
  }
}

void MoveBarControl::HolderWindows::PlaceWindow(WindowHandle window, int x, int y, int width,
                                                int height) {
  if (window != 0) {
    SetWindowPos(ToHwnd(window), HWND_TOP, x, y, width, height, 0);
  }
}

void MoveBarControl::HolderWindows::MoveWindow(WindowHandle window, int x, int y) {
  if (window != 0) {
    SetWindowPos(ToHwnd(window), HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
  }
}

void MoveBarControl::HolderWindows::Close(WindowHandle window) {
  if (window != 0) {
    SendMessageA(ToHwnd(window), WM_CLOSE, 0, 0);
  }
}

void MoveBarControl::HolderWindows::SetTitle(WindowHandle window, const std::wstring& title) {
  if (window == 0) {
    return;
  }
  const int size = WideCharToMultiByte(CP_ACP, 0, title.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return;
  }
  std::string ansi(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, title.c_str(), -1, &ansi[0], size, nullptr, nullptr) > 0) {
    SetWindowTextA(ToHwnd(window), ansi.c_str());
  }
}

// One turn of the host's message loop during a drag. The drag goes on only while the bar holds
// the mouse and a button is down, so a release the bar never sees cannot leave it looping.
bool MoveBarControl::HolderWindows::PumpOnce() {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const HWND window = control_.Window();
  return window != nullptr && GetCapture() == window && AnyMouseButtonDown();
}

// ---- Properties -------------------------------------------------------------------------

HRESULT MoveBarControl::get_BackColor(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.BackColor();
  return S_OK;
}

HRESULT MoveBarControl::put_BackColor(OLE_COLOR value) {
  model_.SetBackColor(value);
  Invalidate();
  return S_OK;
}

HRESULT MoveBarControl::get_ForeColor(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.ForeColor();
  return S_OK;
}

HRESULT MoveBarControl::put_ForeColor(OLE_COLOR value) {
  model_.SetForeColor(value);
  return S_OK;
}

HRESULT MoveBarControl::get_Font(IFontDisp** value) {
  return font_.Get(model_.Font(), value);
}

HRESULT MoveBarControl::putref_Font(IFontDisp* value) {
  return font_.Set(value, model_.Font());
}

namespace {

HRESULT ReturnFlag(bool flag, VARIANT_BOOL* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace

HRESULT MoveBarControl::get_Minimize(VARIANT_BOOL* value) {
  return ReturnFlag(model_.Minimize(), value);
}

HRESULT MoveBarControl::put_Minimize(VARIANT_BOOL value) {
  model_.SetMinimize(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT MoveBarControl::get_Maximum(VARIANT_BOOL* value) {
  return ReturnFlag(model_.Maximum(), value);
}

HRESULT MoveBarControl::put_Maximum(VARIANT_BOOL value) {
  model_.SetMaximum(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT MoveBarControl::get_NorClose(VARIANT_BOOL* value) {
  return ReturnFlag(model_.NorClose(), value);
}

HRESULT MoveBarControl::put_NorClose(VARIANT_BOOL value) {
  model_.SetNorClose(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT MoveBarControl::get_Enabled(VARIANT_BOOL* value) {
  return ReturnFlag(model_.Enabled(), value);
}

HRESULT MoveBarControl::put_Enabled(VARIANT_BOOL value) {
  model_.SetEnabled(value != VARIANT_FALSE);
  if (Window() != nullptr) {
    EnableWindow(Window(), model_.Enabled() ? TRUE : FALSE);
  }
  return S_OK;
}

HRESULT MoveBarControl::get_Caption(BSTR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  const std::wstring& caption = model_.Caption();
  *value = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
  return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT MoveBarControl::put_Caption(BSTR value) {
  model_.SetCaption(com::ToString(value));
  return S_OK;
}

}  // namespace svctune::lamina
