#include "access/win/access_window.h"

#include "win/gdi_font.h"
#include "win/window_class.h"

#include <windowsx.h>

#include <utility>

namespace svctune::access::win {
namespace {

using svctune::win::PaintScope;
using svctune::win::ScopedBrush;
using svctune::win::ScopedFont;
using svctune::win::ScopedPen;
using svctune::win::SelectedObject;

constexpr wchar_t kBackgroundClass[] = L"SvctuneAccessBackground";
constexpr wchar_t kTitleClass[] = L"SvctuneAccessTitle";
constexpr int kTitleHeight = 26;
constexpr UINT kDestroyLater = WM_APP + 1;
constexpr int kTitleTextLeft = 30;

constexpr wchar_t kPasswordCharacter = L'*';

constexpr COLORREF kFrameColour = RGB(0x2B, 0x5C, 0xB8);
constexpr COLORREF kFaceColour = RGB(0xF0, 0xF4, 0xFB);
constexpr COLORREF kTitleLeftColour = RGB(0x1F, 0x4E, 0x9A);
constexpr COLORREF kTitleRightColour = RGB(0x7A, 0xA7, 0xE6);
constexpr COLORREF kTitleTextColour = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kLockBodyColour = RGB(0xF2, 0xC1, 0x4E);
constexpr COLORREF kLockEdgeColour = RGB(0x8A, 0x5A, 0x00);

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

bool Register(const wchar_t* name, WNDPROC procedure) {
  return svctune::win::EnsureWindowClass(svctune::win::WindowClass(Instance(), name, procedure));
}

ScopedFont MakeFont(int pixels, int weight, BYTE charset, const wchar_t* face) {
  return ScopedFont(CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face));
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t className[32] = {};
  return GetClassNameW(window, className, 32) > 0 && lstrcmpiW(className, name) == 0;
}

bool IsPushButton(HWND window) {
  const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
  return IsClass(window, L"Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The buttons held down during a mouse message, as a sum of the model's button values.
int ButtonsHeld(WPARAM keys) {
  int buttons = 0;
  if (keys & MK_LBUTTON) {
    buttons += kLeftButton;
  }
  if (keys & MK_RBUTTON) {
    buttons += kRightButton;
  }
  if (keys & MK_MBUTTON) {
    buttons += kMiddleButton;
  }
  return buttons;
}

int ButtonPressed(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      return kLeftButton;
    case WM_RBUTTONDOWN:
      return kRightButton;
    default:
      return kMiddleButton;
  }
}

// A small padlock, the windows' own artwork, with its top-left corner at x, y (16 x 17).
void DrawPadlock(HDC dc, int x, int y) {
  const ScopedPen shackle(CreatePen(PS_SOLID, 2, kTitleTextColour));
  if (shackle) {
    const SelectedObject pen(dc, shackle.get());
    const POINT points[] = {{x + 4, y + 8},  {x + 4, y + 4},  {x + 6, y + 1},
                            {x + 10, y + 1}, {x + 12, y + 4}, {x + 12, y + 8}};
    Polyline(dc, points, 6);
  }
  const ScopedPen edge(CreatePen(PS_SOLID, 1, kLockEdgeColour));
  const ScopedBrush body(CreateSolidBrush(kLockBodyColour));
  if (edge && body) {
    const SelectedObject pen(dc, edge.get());
    const SelectedObject brush(dc, body.get());
    Rectangle(dc, x + 1, y + 7, x + 16, y + 17);
  }
  const ScopedBrush hole(CreateSolidBrush(kLockEdgeColour));
  if (hole) {
    const RECT keyhole{x + 7, y + 10, x + 10, y + 14};
    FillRect(dc, &keyhole, hole.get());
  }
}

}  // namespace

AccessWindow::~AccessWindow() {
  if (hwnd_ != nullptr) {
    // Detached first: nothing of the window reaches an object that is going away.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
  }
}

bool AccessWindow::RegisterClasses() {
  static const bool registered = Register(kAccessFormClass, FormProc) &&
                                 Register(kBackgroundClass, BackgroundProc) &&
                                 Register(kTitleClass, TitleProc);
  return registered;
}

AccessWindow* AccessWindow::FromForm(HWND form) {
  if (form == nullptr || !IsClass(form, kAccessFormClass)) {
    return nullptr;
  }
  return reinterpret_cast<AccessWindow*>(GetWindowLongPtrW(form, GWLP_USERDATA));
}

bool AccessWindow::CreateFrame(HWND owner, std::wstring_view caption, int width, int height,
                               int titleId) {
  if (!RegisterClasses()) {
    return false;
  }
  uiFont_ = MakeFont(12, FW_NORMAL, GB2312_CHARSET, L"宋体");
  titleFont_ = MakeFont(12, FW_BOLD, GB2312_CHARSET, L"宋体");
  symbolFont_ = MakeFont(13, FW_NORMAL, SYMBOL_CHARSET, L"Wingdings");
  symbolFontPresent_ = svctune::win::FontHasFace(symbolFont_.get(), L"Wingdings");
  faceBrush_ = ScopedBrush(CreateSolidBrush(kFaceColour));

  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  const std::wstring text(caption);
  if (CreateWindowExW(0, kAccessFormClass, text.c_str(), WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN,
                      left, top, width, height, owner, nullptr, Instance(), this) == nullptr) {
    return false;
  }
  // Not clipping its children: the frames show the background through.
  background_ = CreateWindowExW(
      0, kBackgroundClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPicBackgroundId)), Instance(), nullptr);
  if (background_ == nullptr) {
    return false;
  }
  return CreateWindowExW(0, kTitleClass, text.c_str(), WS_CHILD | WS_VISIBLE, 1, 1, width - 2,
                         kTitleHeight, background_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(titleId)), Instance(),
                         nullptr) != nullptr;
}

HWND AccessWindow::AddControl(const wchar_t* className, std::wstring_view text, DWORD style, int id,
                              const RECT& rect, HFONT font, bool tabStop) {
  const std::wstring caption(text);
  const DWORD exStyle = lstrcmpiW(className, L"Edit") == 0 ? WS_EX_CLIENTEDGE : 0;
  HWND control =
      CreateWindowExW(exStyle, className, caption.c_str(),
                      WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0) | style, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, background_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (control == nullptr) {
    return nullptr;
  }
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (tabStop) {
    // Keyboard handling of our own: the original procedure is kept in the control's user
    // data before it is replaced.
    SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
    tabOrder_.push_back(control);
  }
  return control;
}

HWND AccessWindow::AddLabel(std::wstring_view text, int id, const RECT& rect) {
  return AddControl(L"Static", text, SS_LEFT | SS_NOPREFIX, id, rect, uiFont_.get(), false);
}

HWND AccessWindow::AddGroupBox(int id, const RECT& rect) {
  HWND box =
      AddControl(L"Button", L"", BS_GROUPBOX | WS_CLIPSIBLINGS, id, rect, uiFont_.get(), false);
  if (box != nullptr) {
    // Behind the labels and entry boxes it frames.
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return box;
}

HWND AccessWindow::AddEntryBox(int id, const RECT& rect) {
  if (symbolFontPresent_) {
    return AddControl(L"Edit", L"", ES_LEFT | ES_AUTOHSCROLL, id, rect, symbolFont_.get(), true);
  }
  // A system without Wingdings would show the password as typed: it gets a password
  // character instead.
  HWND box = AddControl(L"Edit", L"", ES_LEFT | ES_AUTOHSCROLL | ES_PASSWORD, id, rect,
                        uiFont_.get(), true);
  if (box != nullptr) {
    SendMessageW(box, EM_SETPASSWORDCHAR, kPasswordCharacter, 0);
  }
  return box;
}

HWND AccessWindow::AddButton(std::wstring_view text, int id, const RECT& rect, bool isDefault) {
  return AddControl(L"Button", text, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, id, rect,
                    uiFont_.get(), true);
}

HWND AccessWindow::AddCheckBox(std::wstring_view text, int id, const RECT& rect) {
  return AddControl(L"Button", text, BS_3STATE, id, rect, uiFont_.get(), true);
}

void AccessWindow::ShowInFront() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (pendingFocus_ != nullptr) {
    SetFocus(std::exchange(pendingFocus_, nullptr));
  }
}

void AccessWindow::RequestFocus(HWND control) {
  if (IsWindowVisible(hwnd_)) {
    SetFocus(control);
  } else {
    pendingFocus_ = control;
  }
}

void AccessWindow::ShowText(HWND control, std::wstring_view text) {
  if (TextOf(control) == text) {
    return;
  }
  const std::wstring copy(text);
  showing_ = true;
  SetWindowTextW(control, copy.c_str());
  showing_ = false;
}

std::wstring AccessWindow::TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) {
    return {};
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, &text[0], length + 1)));
  return text;
}

void AccessWindow::Destroy() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

void AccessWindow::DestroyLater() {
  if (hwnd_ != nullptr) {
    PostMessageW(hwnd_, kDestroyLater, 0, 0);
  }
}

void AccessWindow::MoveFocus(HWND from, bool backwards) {
  const int count = static_cast<int>(tabOrder_.size());
  // From a control outside the tab order, forwards starts at the first, backwards at the last.
  int at = backwards ? count : -1;
  for (int i = 0; i < count; ++i) {
    if (tabOrder_[i] == from) {
      at = i;
    }
  }
  for (int step = 1; step <= count; ++step) {
    HWND next = tabOrder_[((at + (backwards ? -step : step)) % count + count) % count];
    if (IsWindowEnabled(next) && IsWindowVisible(next)) {
      SetFocus(next);
      if (IsClass(next, L"Edit")) {
        SendMessageW(next, EM_SETSEL, 0, -1);
      }
      return;
    }
  }
}

LRESULT CALLBACK AccessWindow::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<AccessWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  AccessWindow* self = FromForm(window);
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->background_ = nullptr;
    self->tabOrder_.clear();
    self->OnDestroyed();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleFormMessage(message, wParam, lParam);
}

LRESULT AccessWindow::HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (faceBrush_) {
        SetBkColor(reinterpret_cast<HDC>(wParam), kFaceColour);
        return reinterpret_cast<LRESULT>(faceBrush_.get());
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) {
          lastFocus_ = focus;
        }
        return 0;
      }
      // Back to the control that had the focus, as a dialog does.
      if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) &&
          IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
      } else if (!tabOrder_.empty()) {
        MoveFocus(nullptr, false);
      }
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case kDestroyLater:
      // Nothing of this object is touched after it: the window may delete it.
      DestroyWindow(hwnd_);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK AccessWindow::BackgroundProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      // The controls' notifications belong to the window.
      return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (AccessWindow* self = FromForm(GetParent(window))) {
        self->PaintBackground(window);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void AccessWindow::PaintBackground(HWND background) {
  const PaintScope paint(background);
  RECT client{};
  GetClientRect(background, &client);
  if (faceBrush_) {
    FillRect(paint.dc(), &client, faceBrush_.get());
  }
  const ScopedBrush frame(CreateSolidBrush(kFrameColour));
  if (frame) {
    FrameRect(paint.dc(), &client, frame.get());
  }
}

LRESULT CALLBACK AccessWindow::TitleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (AccessWindow* self = FromForm(GetAncestor(window, GA_ROOT))) {
    return self->HandleTitleMessage(window, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT AccessWindow::HandleTitleMessage(HWND title, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintTitle(title);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCapture(title);
      OnTitleMouseDown(ButtonPressed(message), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE: {
      const std::optional<WindowOffset> offset =
          OnTitleMouseMove(ButtonsHeld(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      RECT frame{};
      if (offset && (offset->dx != 0 || offset->dy != 0) && GetWindowRect(hwnd_, &frame)) {
        SetWindowPos(hwnd_, nullptr, frame.left + offset->dx, frame.top + offset->dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == title) {
        ReleaseCapture();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(title, message, wParam, lParam);
}

void AccessWindow::PaintTitle(HWND title) {
  const PaintScope paint(title);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(title, &client);
  TRIVERTEX ends[2] = {};
  ends[0].x = client.left;
  ends[0].y = client.top;
  ends[0].Red = static_cast<COLOR16>(GetRValue(kTitleLeftColour) << 8);
  ends[0].Green = static_cast<COLOR16>(GetGValue(kTitleLeftColour) << 8);
  ends[0].Blue = static_cast<COLOR16>(GetBValue(kTitleLeftColour) << 8);
  ends[1].x = client.right;
  ends[1].y = client.bottom;
  ends[1].Red = static_cast<COLOR16>(GetRValue(kTitleRightColour) << 8);
  ends[1].Green = static_cast<COLOR16>(GetGValue(kTitleRightColour) << 8);
  ends[1].Blue = static_cast<COLOR16>(GetBValue(kTitleRightColour) << 8);
  GRADIENT_RECT band{0, 1};
  GradientFill(dc, ends, 2, &band, 1, GRADIENT_FILL_RECT_H);

  DrawPadlock(dc, 8, (client.bottom - 17) / 2);
  const std::wstring caption = TextOf(title);
  RECT textArea = client;
  textArea.left = kTitleTextLeft;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTitleTextColour);
  const SelectedObject font(dc, titleFont_ ? titleFont_.get() : GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textArea,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT CALLBACK AccessWindow::ControlProc(HWND control, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
  if (message == WM_KEYDOWN || message == WM_CHAR) {
    AccessWindow* self = FromForm(GetAncestor(control, GA_ROOT));
    if (self != nullptr && self->HandleControlKey(control, message, wParam)) {
      return 0;
    }
  }
  return CallWindowProcW(original, control, message, wParam, lParam);
}

bool AccessWindow::HandleControlKey(HWND control, UINT message, WPARAM wParam) {
  const bool isEntryBox = IsClass(control, L"Edit");
  const int id = GetDlgCtrlID(control);
  if (message == WM_KEYDOWN) {
    switch (wParam) {
      case VK_TAB:
        MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
        return true;
      case VK_ESCAPE:
        OnCancelKey();
        return true;
      case VK_RETURN:
        if (IsPushButton(control)) {
          OnCommand(id, BN_CLICKED);
          return true;
        }
        return false;
      default:
        return false;
    }
  }
  // WM_CHAR: the characters of keys handled above never reach a control.
  switch (wParam) {
    case L'\t':
    case 27:
      return true;
    case L'\r':
      if (isEntryBox) {
        int keyAscii = 13;
        OnKeyPress(id, keyAscii);
      }
      return true;
    default:
      if (isEntryBox) {
        int keyAscii = static_cast<int>(wParam);
        OnKeyPress(id, keyAscii);
        return keyAscii == 0;
      }
      return false;
  }
}

}  // namespace svctune::access::win
