#include "controls/win/progress_bar_view.h"

#include <utility>

#include "controls/win/progress_bar_painter.h"
#include "win/window_class.h"

namespace svctune::win {

// The off-screen surface: a memory DC with a bitmap of the window's size selected, and a
// pattern brush of its image for the children's backgrounds, made when first asked for.
class ProgressBarView::Surface {
 public:
  Surface(ScopedMemoryDc dc, ScopedBitmap bitmap, int width, int height)
      : dc_(std::move(dc)),
        bitmap_(std::move(bitmap)),
        width_(width),
        height_(height),
        previous_(SelectObject(dc_.get(), bitmap_.get())) {}
  ~Surface() {
    if (selected()) {
      SelectObject(dc_.get(), previous_);
    }
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  HBRUSH ChildBrush() {
    if (!childBrush_) {
      childBrush_.Reset(CreatePatternBrush(bitmap_.get()));
    }
    return childBrush_.get();
  }
  void ImageChanged() { childBrush_.Reset(); }

 private:
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  ScopedBrush childBrush_;
  int width_;
  int height_;
  HGDIOBJ previous_;
};

namespace {

constexpr int kViewSlot = 0;  // window extra bytes holding the view

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t className[32] = {};
  return GetClassNameW(window, className, 32) > 0 && lstrcmpiW(className, name) == 0;
}

// Labels, check boxes, option buttons and group boxes paint their background with the brush
// their parent gives them; other children (edit fields, lists) keep their own background.
// Only buttons ask with WM_CTLCOLORBTN; WM_CTLCOLORSTATIC comes from labels and from
// read-only edit fields as well.
bool ShowsBarThrough(UINT message, HWND child) {
  return message == WM_CTLCOLORBTN || IsClass(child, L"Static") || IsClass(child, L"Button");
}

class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace

bool ProgressBarView::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = WindowClass(instance, kClassName, &ProgressBarView::WindowProc);
  windowClass.cbWndExtra = sizeof(ProgressBarView*);
  return EnsureWindowClass(windowClass);
}

std::unique_ptr<ProgressBarView> ProgressBarView::Create(HINSTANCE instance, HWND parent, int id,
                                                         const RECT& rect, const PropertyBag* bag) {
  if (!RegisterWindowClass(instance)) {
    return nullptr;
  }
  std::unique_ptr<ProgressBarView> view(new ProgressBarView());
  if (bag != nullptr) {
    view->model_.ReadProperties(*bag);
  } else {
    view->model_.InitProperties();
  }
  const HWND window =
      CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"",
                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, view.get());
  if (window == nullptr) {
    return nullptr;
  }
  return view;
}

ProgressBarView::ProgressBarView() : model_(OleColourTranslator()) {
  model_.OnRefresh([this] { Refresh(); });
}

ProgressBarView::~ProgressBarView() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK ProgressBarView::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<ProgressBarView*>(
        reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->hwnd_ = window;
    SetWindowLongPtrW(window, kViewSlot, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<ProgressBarView*>(GetWindowLongPtrW(window, kViewSlot));
  if (view == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, kViewSlot, 0);
    view->hwnd_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return view->Handle(message, wParam, lParam);
}

// Messages that children send to their parent and that are the host form's business are
// passed on to this window's parent, so that a form handles the controls on a panel as its
// own:
//   - WM_COMMAND (BN_CLICKED of check boxes and option buttons, CBN_SELCHANGE of combo boxes,
//     STN_CLICKED of labels ...), WM_NOTIFY, WM_HSCROLL and WM_VSCROLL;
//   - the owner-draw messages WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM and
//     the list keyboard messages WM_VKEYTOITEM, WM_CHARTOITEM;
//   - WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORDLG and
//     WM_CTLCOLORMSGBOX, answered by the form alone.
// WM_CTLCOLORSTATIC and WM_CTLCOLORBTN go to the form as well, which sets text colours and
// answers for children that are not see-through (a read-only edit field); for labels and
// buttons the bar then supplies the background: transparent text and a brush of its image
// aligned to the child's position. Themed check boxes, option buttons and push buttons draw
// the parent's background through WM_ERASEBKGND and WM_PRINTCLIENT, answered with the image.
LRESULT ProgressBarView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      // BeginPaint asks for the background first; the image shown next covers it, so the
      // bar is copied to the screen once per paint.
      paintPending_ = true;
      PaintScope paint(hwnd_);
      paintPending_ = false;
      ShowImage(paint.dc());
      return 0;
    }
    case WM_ERASEBKGND:
      if (!paintPending_) {
        ShowImage(reinterpret_cast<HDC>(wParam));
      }
      return 1;
    case WM_PRINTCLIENT:
      ShowImage(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SIZE:
      ReleaseSurface();
      Refresh();
      return 0;
    case WM_WINDOWPOSCHANGED:
      if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) != 0) {
        ReleaseSurface();
      }
      break;
    case WM_DESTROY:
      ReleaseSurface();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ChildColour(message, wParam, lParam);
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
      return ForwardToHost(message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Draws the bar afresh and shows it. A hidden bar only gives up its surface: it is drawn
// again when it is next painted.
void ProgressBarView::Refresh() {
  if (hwnd_ == nullptr || busy_) {
    return;
  }
  if (!IsWindowVisible(hwnd_)) {
    ReleaseSurface();
    return;
  }
  BusyScope busy(busy_);
  if (!Render()) {
    return;
  }
  // The children show the bar through their background: they are drawn again too.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  WindowDc window(hwnd_);
  if (window.get() != nullptr) {
    BitBlt(window.get(), 0, 0, surface_->width(), surface_->height(), surface_->dc(), 0, 0,
           SRCCOPY);
  }
}

bool ProgressBarView::Render() {
  RECT client{};
  if (!GetClientRect(hwnd_, &client) || client.right <= 0 || client.bottom <= 0) {
    return false;
  }
  if (!surface_) {
    WindowDc window(hwnd_);
    if (window.get() == nullptr) {
      return false;
    }
    ScopedMemoryDc dc(CreateCompatibleDC(window.get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(window.get(), client.right, client.bottom));
    if (!dc || !bitmap) {
      return false;
    }
    auto surface =
        std::make_unique<Surface>(std::move(dc), std::move(bitmap), client.right, client.bottom);
    if (!surface->selected()) {
      return false;
    }
    surface_ = std::move(surface);
  }
  surface_->ImageChanged();
  return PaintProgressBar(surface_->dc(), model_.Drawing(surface_->width(), surface_->height()));
}

void ProgressBarView::ShowImage(HDC target) {
  if (target == nullptr || (!surface_ && !Render())) {
    return;
  }
  BitBlt(target, 0, 0, surface_->width(), surface_->height(), surface_->dc(), 0, 0, SRCCOPY);
}

void ProgressBarView::ReleaseSurface() {
  surface_.reset();
}

LRESULT ProgressBarView::ChildColour(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT hostAnswer = ForwardToHost(message, wParam, lParam);
  const auto child = reinterpret_cast<HWND>(lParam);
  const auto dc = reinterpret_cast<HDC>(wParam);
  if (!ShowsBarThrough(message, child) || (!surface_ && !Render())) {
    return hostAnswer;
  }
  const HBRUSH brush = surface_->ChildBrush();
  if (brush == nullptr) {
    return hostAnswer;
  }
  POINT origin{0, 0};
  MapWindowPoints(child, hwnd_, &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(brush);
}

LRESULT ProgressBarView::ForwardToHost(UINT message, WPARAM wParam, LPARAM lParam) const {
  const HWND host = GetParent(hwnd_);
  if (host == nullptr) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
  return SendMessageW(host, message, wParam, lParam);
}

}  // namespace svctune::win
