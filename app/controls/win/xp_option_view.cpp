#include "controls/win/xp_option_view.h"

#include <uxtheme.h>

#include <utility>

#include "win/gdi_font.h"
#include "win/window_class.h"
#include "ui/twips.h"

namespace svctune::win {

namespace {

constexpr int kViewSlot = 0;  // window extra bytes holding the view

ScreenPoint CursorPosition() {
  POINT cursor{};
  GetCursorPos(&cursor);
  return {cursor.x, cursor.y};
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

constexpr UINT kLabelFormat = DT_LEFT | DT_TOP | DT_SINGLELINE;

}  // namespace

bool XPOptionView::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = WindowClass(instance, kClassName, &XPOptionView::WindowProc);
  windowClass.cbWndExtra = sizeof(XPOptionView*);
  return EnsureWindowClass(windowClass);
}

std::unique_ptr<XPOptionView> XPOptionView::Create(HINSTANCE instance, HWND parent, int id,
                                                   const RECT& rect, XPOptionVariant variant,
                                                   std::wstring caption, const FontSpec& font) {
  if (!RegisterWindowClass(instance)) {
    return nullptr;
  }
  std::unique_ptr<XPOptionView> view(new XPOptionView(variant, font));
  if (!view->bitmaps_.complete()) {
    return nullptr;
  }
  view->model_.SetCaption(std::move(caption));
  const HWND window =
      CreateWindowExW(0, kClassName, view->model_.Caption().c_str(),
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect.left, rect.top,
                      rect.right - rect.left, view->HeightInPixels(), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, view.get());
  if (window == nullptr) {
    return nullptr;
  }
  view->Sync();
  return view;
}

XPOptionView::XPOptionView(XPOptionVariant variant, const FontSpec& font)
    : model_(variant, font),
      bitmaps_(CheckBoxBitmaps::Shared(DesignOf(variant).artwork)),
      dpi_(ScreenDpi()) {
  model_.OnDisplayChanged([this] { Sync(); });
}

XPOptionView::~XPOptionView() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK XPOptionView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view =
        static_cast<XPOptionView*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->hwnd_ = window;
    SetWindowLongPtrW(window, kViewSlot, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<XPOptionView*>(GetWindowLongPtrW(window, kViewSlot));
  if (view == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, kViewSlot, 0);
    view->hwnd_ = nullptr;
    view->timerRunning_ = false;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // The view may be gone once a message returns (a ValueChanged handler may destroy it).
  return view->Handle(message, wParam, lParam);
}

LRESULT XPOptionView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      Press();
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      Press();
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Release();
      return 0;
    case WM_CAPTURECHANGED:
      if (capturing_) {
        capturing_ = false;
        model_.MouseCaptureLost();
      }
      return 0;
    case WM_MOUSEMOVE:
      model_.MouseMove(CursorPosition());
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) {
        model_.TimerTick(CursorPosition());
        return 0;
      }
      break;
    case WM_SETFOCUS:
      model_.FocusGained();
      return 0;
    case WM_KILLFOCUS:
      model_.FocusLost();
      return 0;
    case WM_ENABLE:
      if (model_.Enabled() != (wParam != FALSE)) {
        model_.SetEnabled(wParam != FALSE);
      }
      return 0;
    case WM_SETTEXT:
      model_.SetCaption(lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"");
      return TRUE;
    case WM_SETFONT: {
      LOGFONTW font{};
      if (GetObjectW(reinterpret_cast<HFONT>(wParam), sizeof(font), &font) == sizeof(font)) {
        model_.SetFont(FontSpecFrom(font, dpi_));
      }
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_WINDOWPOSCHANGING: {
      // Resize: the control keeps the height of its variant.
      auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
      if ((position->flags & SWP_NOSIZE) == 0) {
        position->cy = HeightInPixels();
      }
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      Paint(paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Any mouse button: the control keeps the mouse until the button is released, so a release
// anywhere completes the click.
void XPOptionView::Press() {
  capturing_ = true;
  SetCapture(hwnd_);
  model_.MouseDown();
}

void XPOptionView::Release() {
  if (capturing_) {
    capturing_ = false;
    ReleaseCapture();
  }
  // Raises ValueChanged, whose handler may destroy this view: nothing may follow.
  model_.MouseUp();
}

// Shows what the model says: Timer1, the enabled state, the caption as window text, the
// caption's font and size, and the picture.
void XPOptionView::Sync() {
  if (hwnd_ == nullptr || syncing_) {
    return;
  }
  syncing_ = true;
  if (model_.TimerEnabled() && !timerRunning_) {
    timerRunning_ = SetTimer(hwnd_, kTimerId, XPOption::kTimerInterval, nullptr) != 0;
  } else if (!model_.TimerEnabled() && timerRunning_) {
    KillTimer(hwnd_, kTimerId);
    timerRunning_ = false;
  }
  if ((IsWindowEnabled(hwnd_) != FALSE) != model_.Enabled()) {
    EnableWindow(hwnd_, model_.Enabled() ? TRUE : FALSE);
  }
  bool relayout = false;
  if (WindowText(hwnd_) != model_.Caption()) {
    DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(model_.Caption().c_str()));
    relayout = true;
  }
  if (!font_ || fontMadeFrom_ != model_.Font()) {
    if (const HFONT font = SharedFont(model_.Font(), dpi_)) {
      font_ = font;
      fontMadeFrom_ = model_.Font();
      relayout = true;
    }
  }
  if (relayout || !labelMeasured_) {
    labelMeasured_ = MeasureLabel();
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
  syncing_ = false;
}

// Label1 sizes itself to its caption.
bool XPOptionView::MeasureLabel() {
  WindowDc dc(hwnd_);
  if (dc.get() == nullptr) {
    return false;
  }
  SelectedObject font(
      dc.get(), font_ != nullptr ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  RECT extent{0, 0, 0, 0};
  if (DrawTextW(dc.get(), model_.Caption().c_str(), -1, &extent, kLabelFormat | DT_CALCRECT) == 0) {
    return false;
  }
  model_.SetLabelSize(PixelsToTwips(extent.right, dpi_), PixelsToTwips(extent.bottom, dpi_));
  return true;
}

void XPOptionView::Paint(HDC target) {
  RECT client{};
  if (target == nullptr || !GetClientRect(hwnd_, &client) || client.right <= 0 ||
      client.bottom <= 0) {
    return;
  }
  ScopedMemoryDc buffer(CreateCompatibleDC(target));
  ScopedBitmap bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!buffer || !bitmap) {
    return;
  }
  SelectedObject selectedBitmap(buffer.get(), bitmap.get());
  const HDC dc = buffer.get();

  // The parent's background shows around the box and behind the caption (button face where
  // the parent paints none).
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  DrawThemeParentBackground(hwnd_, dc, &client);

  const RECT image = ToPixels(model_.ImageRect(dpi_));
  DrawAlphaBitmap(dc, image.left, image.top, bitmaps_.Of(model_.ShownImage()), kCheckImageSize,
                  kCheckImageSize);

  SelectedObject font(
      dc, font_ != nullptr ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(model_.LabelEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  RECT label = ToPixels(model_.LabelRect());
  DrawTextW(dc, model_.Caption().c_str(), -1, &label, kLabelFormat | DT_NOCLIP);

  if (model_.FocusFrameVisible()) {
    const RECT frame = ToPixels(model_.FocusFrame());
    DrawFocusRect(dc, &frame);
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

RECT XPOptionView::ToPixels(const TwipsRect& rect) const {
  return {TwipsToPixels(rect.left, dpi_), TwipsToPixels(rect.top, dpi_),
          TwipsToPixels(rect.left + rect.width, dpi_), TwipsToPixels(rect.top + rect.height, dpi_)};
}

int XPOptionView::HeightInPixels() const {
  return TwipsToPixels(model_.HeightOnResize(dpi_), dpi_);
}

}  // namespace svctune::win
