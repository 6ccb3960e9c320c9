#include "controls/win/qx_buttons_h_view.h"

#include <utility>

#include "controls/win/mod_qx_timer.h"
#include "program_info.h"
#include "win/gdi_font.h"
#include "win/message_box_presenter.h"
#include "win/window_class.h"
#include "win/mouse_keys.h"

namespace svctune::win {

// The off-screen surface: a memory DC with a bitmap of the window's size, a black brush and
// a black pen selected; what the DC held before goes back before it is deleted.
class qxButtons_HView::Surface {
 public:
  Surface(HDC like, int width, int height)
      : dc_(CreateCompatibleDC(like)),
        bitmap_(CreateCompatibleBitmap(like, width, height)),
        brush_(CreateSolidBrush(RGB(0, 0, 0))),
        pen_(CreatePen(PS_SOLID, 1, RGB(0, 0, 0))),
        width_(width),
        height_(height) {
    if (!dc_ || !bitmap_ || !brush_ || !pen_) {
      return;
    }
    previousBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    previousBrush_ = SelectObject(dc_.get(), brush_.get());
    previousPen_ = SelectObject(dc_.get(), pen_.get());
    SetBkMode(dc_.get(), TRANSPARENT);
  }
  ~Surface() {
    for (HGDIOBJ previous : {previousBitmap_, previousBrush_, previousPen_}) {
      if (previous != nullptr && previous != HGDI_ERROR) {
        SelectObject(dc_.get(), previous);
      }
    }
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool ok() const {
    return previousBitmap_ != nullptr && previousBitmap_ != HGDI_ERROR && previousPen_ != nullptr;
  }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  ScopedBrush brush_;
  ScopedPen pen_;
  int width_;
  int height_;
  HGDIOBJ previousBitmap_ = nullptr;
  HGDIOBJ previousBrush_ = nullptr;
  HGDIOBJ previousPen_ = nullptr;
};

namespace {

constexpr int kViewSlot = 0;  // window extra bytes holding the view

// An option group in the properties of the container window.
class WindowPropertyStore final : public OptionGroupStore {
 public:
  explicit WindowPropertyStore(HWND window) : window_(window) {}
  std::intptr_t Get(const std::wstring& key) const override {
    return reinterpret_cast<std::intptr_t>(GetPropW(window_, key.c_str()));
  }
  bool Set(const std::wstring& key, std::intptr_t value) override {
    return SetPropW(window_, key.c_str(), reinterpret_cast<HANDLE>(value)) != FALSE;
  }
  void Remove(const std::wstring& key) override { RemovePropW(window_, key.c_str()); }

 private:
  HWND window_;
};

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsArrowKey(WPARAM key) {
  return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

bool IsEnterOrEscape(WPARAM key) {
  return key == VK_RETURN || key == VK_ESCAPE;
}

wchar_t Upper(wchar_t c) {
  return static_cast<wchar_t>(
      reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
}

// The system pointers of the MousePointer numbers.
LPCWSTR PointerResource(std::int32_t pointer) {
  switch (pointer) {
    case 2:
      return IDC_CROSS;
    case 3:
      return IDC_IBEAM;
    case 5:
    case 15:
      return IDC_SIZEALL;
    case 6:
      return IDC_SIZENESW;
    case 7:
      return IDC_SIZENS;
    case 8:
      return IDC_SIZENWSE;
    case 9:
      return IDC_SIZEWE;
    case 10:
      return IDC_UPARROW;
    case 11:
      return IDC_WAIT;
    case 12:
      return IDC_NO;
    case 13:
      return IDC_APPSTARTING;
    case 14:
      return IDC_HELP;
    default:
      return IDC_ARROW;
  }
}

}  // namespace

bool qxButtons_HView::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = WindowClass(instance, kClassName, &qxButtons_HView::WindowProc);
  windowClass.style = CS_DBLCLKS;
  windowClass.cbWndExtra = sizeof(qxButtons_HView*);
  return EnsureWindowClass(windowClass);
}

std::unique_ptr<qxButtons_HView> qxButtons_HView::Create(HINSTANCE instance, HWND parent, int id,
                                                         const RECT& rect, const PropertyBag* bag,
                                                         const std::wstring& name) {
  if (!RegisterWindowClass(instance)) {
    return nullptr;
  }
  std::unique_ptr<qxButtons_HView> view(new qxButtons_HView(name));
  view->container_ = parent;
  view->group_ = std::make_unique<WindowPropertyStore>(parent);
  const HWND window = CreateWindowExW(
      0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect.left,
      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, view.get());
  if (window == nullptr) {
    return nullptr;
  }
  // Fails harmlessly where OLE is not initialised on this thread: no drop target then.
  auto dropTarget = QxDropTarget::Create(window, view->model_);
  if (SUCCEEDED(RegisterDragDrop(window, dropTarget.get()))) {
    view->dropTarget_ = std::move(dropTarget);
  } else {
    dropTarget->Detach();
  }
  if (bag != nullptr) {
    view->model_.ReadProperties(*bag);
  } else {
    view->model_.InitProperties();
    view->Resize();
  }
  view->model_.Shown();
  return view;
}

qxButtons_HView::qxButtons_HView(const std::wstring& name)
    : name_(name), dpi_(ScreenDpi()), model_(*this) {}

qxButtons_HView::~qxButtons_HView() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

HDC qxButtons_HView::hdc() const {
  return surface_ ? surface_->dc() : nullptr;
}

bool qxButtons_HView::LoadPictureFile(const std::wstring& path) {
  PicturePtr picture = OlePicture::Load(path);
  if (!picture) {
    return false;
  }
  model_.SetPicture(std::move(picture));
  return true;
}

bool qxButtons_HView::LoadMouseIconFile(const std::wstring& path) {
  PicturePtr icon = OlePicture::Load(path);
  if (!icon) {
    return false;
  }
  model_.SetMouseIcon(icon);
  return model_.MouseIcon() == icon;
}

void qxButtons_HView::OLEDrag() {
  if (hwnd_ == nullptr || dragSource_) {
    return;
  }
  const std::weak_ptr<const bool> alive = alive_;
  dragData_ = QxDataObject::Create(&model_);
  dragSource_ = QxDropSource::Create(model_);
  const auto data = dragData_;
  const auto source = dragSource_;
  const std::int32_t allowed = model_.OLEStartDrag(*data.get(), kDropEffectCopy | kDropEffectMove);
  if (alive.expired()) {
    return;
  }
  if (allowed == kDropEffectNone || data->Empty()) {
    EndDrag();
    return;
  }
  DWORD effect = DROPEFFECT_NONE;
  if (DoDragDrop(data.get(), source.get(), static_cast<DWORD>(allowed), &effect) !=
      DRAGDROP_S_DROP) {
    effect = DROPEFFECT_NONE;
  }
  if (alive.expired()) {
    return;
  }
  EndDrag();
  if ((model_.StateFlags() & kPressed) != 0 && !LeftButtonDown()) {
    POINT cursor{};
    if (GetCursorPos(&cursor) && ScreenToClient(hwnd_, &cursor)) {
      model_.MouseUp(1, ShiftState(), static_cast<float>(cursor.x), static_cast<float>(cursor.y));
      if (alive.expired()) {
        return;
      }
    }
  }
  model_.OLECompleteDrag(static_cast<std::int32_t>(effect));
}

void qxButtons_HView::EndDrag() {
  if (dragData_) {
    dragData_->Detach();
    dragData_.Reset();
  }
  if (dragSource_) {
    dragSource_->Detach();
    dragSource_.Reset();
  }
}

void qxButtons_HView::SetDefault(bool isDefault) {
  default_ = isDefault;
  model_.AmbientChanged(L"DisplayAsDefault");
}

LRESULT CALLBACK qxButtons_HView::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<qxButtons_HView*>(
        reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->hwnd_ = window;
    SetWindowLongPtrW(window, kViewSlot, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<qxButtons_HView*>(GetWindowLongPtrW(window, kViewSlot));
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

LRESULT qxButtons_HView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDBLCLK:
      Mouse(message, wParam, lParam);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS |
                     (model_.Mode() != 0 ? DLGC_BUTTON
                                         : (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON));
      // Enter and Escape are ours when a button is there to answer them; otherwise the dialog
      // manager keeps them.
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      if (asked != nullptr && asked->message == WM_KEYDOWN && IsEnterOrEscape(asked->wParam) &&
          KeyTaker(static_cast<wchar_t>(asked->wParam)) != nullptr) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN:
      if (IsEnterOrEscape(wParam) && PressByKey(static_cast<wchar_t>(wParam), false)) {
        return 0;
      }
      model_.KeyDown(static_cast<std::int16_t>(wParam), ShiftState());
      return 0;
    case WM_KEYUP:
      model_.KeyUp(static_cast<std::int16_t>(wParam), ShiftState());
      return 0;
    case WM_CHAR:
      model_.KeyPress(static_cast<std::int16_t>(wParam));
      return 0;
    case WM_SYSCHAR:
      if (PressByKey(static_cast<wchar_t>(wParam), true)) {
        return 0;
      }
      break;
    case BM_CLICK:
      model_.AccessKeyPressed(model_.AccessKey());
      return 0;
    case WM_SETFOCUS: {
      // Focus on an option button may click it, and a Click handler may destroy the button.
      const std::weak_ptr<const bool> alive = alive_;
      model_.FocusGained();
      if (!alive.expired()) {
        model_.AmbientChanged(L"DisplayAsDefault");
      }
      return 0;
    }
    case WM_KILLFOCUS:
      model_.AmbientChanged(L"DisplayAsDefault");
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
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && cursor_ != nullptr) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_SIZE:
      if (!resizing_) {
        Resize();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      paintDc_ = paint.dc();
      model_.Paint();
      paintDc_ = nullptr;
      return 0;
    }
    case WM_PRINTCLIENT:
      if (EnsureSurface()) {
        Present(reinterpret_cast<HDC>(wParam));
      }
      return 0;
    case WM_DESTROY:
      if (dropTarget_) {
        RevokeDragDrop(hwnd_);
        dropTarget_->Detach();
        dropTarget_.Reset();
      }
      // A drag under way goes on without the button.
      EndDrag();
      model_.Terminate();
      RemovePropW(hwnd_, modQxTimer::kButtonProperty);
      RemovePropW(hwnd_, modQxTimer::kTimerProperty);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void qxButtons_HView::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto x = static_cast<float>(static_cast<short>(LOWORD(lParam)));
  const auto y = static_cast<float>(static_cast<short>(HIWORD(lParam)));
  const std::int16_t shift = ShiftState();
  switch (message) {
    case WM_LBUTTONDOWN: {
      const std::weak_ptr<const bool> alive = alive_;
      SetFocus(hwnd_);
      if (!alive.expired()) {
        model_.MouseDown(1, shift, x, y);
      }
      break;
    }
    case WM_RBUTTONDOWN:
      model_.MouseDown(2, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
      model_.MouseDown(4, shift, x, y);
      break;
    case WM_LBUTTONUP: {
      const std::weak_ptr<const bool> alive = alive_;
      model_.MouseUp(1, shift, x, y);
      // The release counts as a click only over the button (an event handler may have
      // destroyed it meanwhile).
      if (!alive.expired() && hwnd_ != nullptr && PointerOverButton()) {
        model_.PlatformClick();
      }
      break;
    }
    case WM_RBUTTONUP:
      model_.MouseUp(2, shift, x, y);
      break;
    case WM_MBUTTONUP:
      model_.MouseUp(4, shift, x, y);
      break;
    case WM_MOUSEMOVE:
      model_.MouseMove(ButtonsOf(wParam), shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
      model_.DoubleClick(x, y);
      break;
    default:
      break;
  }
}

qxButtons_HView* qxButtons_HView::FromWindow(HWND window) {
  wchar_t className[32] = {};
  if (window == nullptr || GetClassNameW(window, className, 32) == 0 ||
      lstrcmpW(className, kClassName) != 0) {
    return nullptr;
  }
  return reinterpret_cast<qxButtons_HView*>(GetWindowLongPtrW(window, kViewSlot));
}

qxButtons_HView* qxButtons_HView::KeyButton(HWND container, wchar_t key, bool accessKey) {
  for (HWND child = GetWindow(container, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    qxButtons_HView* view = FromWindow(child);
    if (view == nullptr || !IsWindowVisible(child) || !IsWindowEnabled(child)) {
      continue;
    }
    const wchar_t accessKeyOfView = view->model_.AccessKey();
    const bool match = accessKey ? accessKeyOfView != 0 && Upper(accessKeyOfView) == Upper(key)
                       : key == VK_RETURN ? view->default_
                                          : view->cancel_;
    if (match) {
      return view;
    }
  }
  return nullptr;
}

qxButtons_HView* qxButtons_HView::KeyTaker(wchar_t key) {
  if (key == VK_RETURN && model_.Mode() == 0) {
    return this;
  }
  return KeyButton(container_, key, false);
}

bool qxButtons_HView::PressByKey(wchar_t key, bool fromAccessKey) {
  qxButtons_HView* button = fromAccessKey ? KeyButton(container_, key, true) : KeyTaker(key);
  if (button == nullptr) {
    return false;
  }
  button->PressedByKey(key, fromAccessKey);
  return true;
}

void qxButtons_HView::PressedByKey(wchar_t key, bool takeFocus) {
  const std::weak_ptr<const bool> alive = alive_;
  if (takeFocus) {
    SetFocus(hwnd_);
  }
  if (!alive.expired()) {
    model_.AccessKeyPressed(key);
  }
}

void qxButtons_HView::MoveFocusByArrow(HWND container, bool backwards) {
  const HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(container, focus)) {
    return;
  }
  const qxButtons_HView* focused = FromWindow(focus);
  if (focused == nullptr || focused->container_ != container || focused->model_.Mode() != 2) {
    if (const HWND next = GetNextDlgTabItem(container, focus, backwards ? TRUE : FALSE)) {
      SetFocus(next);
    }
    return;
  }
  // The next option button among the container's children, in their order, round the end.
  HWND next = focus;
  while (true) {
    next = GetWindow(next, backwards ? GW_HWNDPREV : GW_HWNDNEXT);
    if (next == nullptr) {
      next = GetWindow(focus, backwards ? GW_HWNDLAST : GW_HWNDFIRST);
    }
    if (next == focus) {
      return;
    }
    const qxButtons_HView* candidate = FromWindow(next);
    if (candidate != nullptr && candidate->model_.Mode() == 2 && IsWindowVisible(next) &&
        IsWindowEnabled(next)) {
      SetFocus(next);
      return;
    }
  }
}

bool qxButtons_HView::HandleContainerMessage(HWND container, UINT message, WPARAM wParam,
                                             LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE: {
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      if (asked == nullptr || asked->hwnd != container || asked->message != WM_KEYDOWN ||
          !IsArrowKey(asked->wParam)) {
        return false;
      }
      result = DLGC_WANTARROWS;
      return true;
    }
    case WM_KEYDOWN:
      if (!IsArrowKey(wParam)) {
        return false;
      }
      MoveFocusByArrow(container, wParam == VK_LEFT || wParam == VK_UP);
      result = 0;
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const auto from = reinterpret_cast<HWND>(lParam);
      // A control with that identifier reporting its own click is no key of the dialog
      // manager's.
      if (HIWORD(wParam) != BN_CLICKED || (id != IDOK && id != IDCANCEL) ||
          (from != nullptr && GetDlgCtrlID(from) == id)) {
        return false;
      }
      const wchar_t key = id == IDOK ? VK_RETURN : VK_ESCAPE;
      qxButtons_HView* button = KeyButton(container, key, false);
      if (button == nullptr) {
        return false;
      }
      button->PressedByKey(key, false);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

bool qxButtons_HView::EnsureSurface() {
  RECT client{};
  if (hwnd_ == nullptr || !GetClientRect(hwnd_, &client) || client.right <= 0 ||
      client.bottom <= 0) {
    return false;
  }
  if (surface_ && surface_->width() == client.right && surface_->height() == client.bottom) {
    return true;
  }
  surface_.reset();
  WindowDc dc(hwnd_);
  if (dc.get() == nullptr) {
    return false;
  }
  auto surface = std::make_unique<Surface>(dc.get(), client.right, client.bottom);
  if (!surface->ok()) {
    return false;
  }
  surface_ = std::move(surface);
  return true;
}

bool qxButtons_HView::EnsureFont() {
  if (font_ && fontMadeFrom_ == model_.Font()) {
    return true;
  }
  ScopedFont font = CreateFontFrom(model_.Font(), dpi_);
  if (!font) {
    return false;
  }
  font_ = std::move(font);
  fontMadeFrom_ = model_.Font();
  return true;
}

void qxButtons_HView::Present(HDC target) {
  if (target != nullptr && surface_) {
    BitBlt(target, 0, 0, surface_->width(), surface_->height(), surface_->dc(), 0, 0, SRCCOPY);
  }
}

bool qxButtons_HView::DisplayAsDefault() const {
  return hwnd_ != nullptr && (GetFocus() == hwnd_ || default_);
}

std::optional<FontSpec> qxButtons_HView::AmbientFont() const {
  auto font = reinterpret_cast<HFONT>(SendMessageW(container_, WM_GETFONT, 0, 0));
  if (font == nullptr) {
    font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  LOGFONTW description{};
  if (font == nullptr || GetObjectW(font, sizeof description, &description) != sizeof description) {
    return std::nullopt;
  }
  return FontSpecFrom(description, dpi_);
}

OleColour qxButtons_HView::SystemColour(int index) const {
  return static_cast<OleColour>(GetSysColor(index));
}

void qxButtons_HView::ShowMessage(std::wstring_view text, std::wstring_view title) {
  MessageBoxPresenter presenter([this] { return GetParent(hwnd_); });
  presenter.Show(text, title.empty() ? kProgramTitle : title, MessageIcon::kInformation);
}

bool qxButtons_HView::PointerOverButton() const {
  POINT cursor{};
  return hwnd_ != nullptr && GetCursorPos(&cursor) && WindowFromPoint(cursor) == hwnd_;
}

bool qxButtons_HView::LeftButtonDown() const {
  return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) !=
         0;
}

bool qxButtons_HView::StartHoverTimer() {
  if (hwnd_ == nullptr ||
      !SetPropW(hwnd_, modQxTimer::kButtonProperty, static_cast<HANDLE>(&model_)) ||
      !SetPropW(hwnd_, modQxTimer::kTimerProperty,
                reinterpret_cast<HANDLE>(qxButtons_H::kHoverTimerId))) {
    return false;
  }
  return SetTimer(hwnd_, qxButtons_H::kHoverTimerId, qxButtons_H::kHoverInterval,
                  &modQxTimer::HoverTimerProc) != 0;
}

void qxButtons_HView::StopHoverTimer(std::uintptr_t timerId) {
  if (hwnd_ != nullptr) {
    KillTimer(hwnd_, timerId);
  }
}

void qxButtons_HView::CaptureMouse() {
  if (hwnd_ != nullptr) {
    SetCapture(hwnd_);
  }
}

void qxButtons_HView::ReleaseMouse() {
  if (hwnd_ != nullptr && GetCapture() == hwnd_) {
    ReleaseCapture();
  }
}

void qxButtons_HView::PostKeyToContainer(int keyCode, std::uint32_t keyData) {
  PostMessageW(container_, WM_KEYDOWN, static_cast<WPARAM>(keyCode), static_cast<LPARAM>(keyData));
}

void qxButtons_HView::Redraw() {
  if (hwnd_ == nullptr || drawing_ || !EnsureSurface()) {
    return;
  }
  drawing_ = true;
  EnsureFont();
  if ((IsWindowEnabled(hwnd_) != FALSE) != model_.Enabled()) {
    EnableWindow(hwnd_, model_.Enabled() ? TRUE : FALSE);
  }
  if (WindowText(hwnd_) != model_.Caption()) {
    DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(model_.Caption().c_str()));
  }
  bool paint = true;
  if (const auto move = model_.TakeClickMove()) {
    RECT place{};
    if (GetWindowRect(hwnd_, &place) &&
        MapWindowPoints(nullptr, container_, reinterpret_cast<POINT*>(&place), 2) != 0) {
      SetWindowPos(hwnd_, nullptr, place.left + move->offset.x, place.top + move->offset.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    paint = !move->endsPass;
  }
  if (paint) {
    QxPaintInput input;
    input.dc = surface_->dc();
    input.width = surface_->width();
    input.height = surface_->height();
    input.windowRegion = regions_.window.get();
    input.outerRegion = regions_.outer.get();
    input.innerRegion = regions_.inner.get();
    input.font = font_.get();
    input.picture = CurrentPicture();
    input.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    input.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    PaintQxButton(model_, input);
  }
  if (paintDc_ != nullptr) {
    Present(paintDc_);
  } else {
    WindowDc dc(hwnd_);
    Present(dc.get());
  }
  drawing_ = false;
}

void qxButtons_HView::RebuildRegion() {
  if (hwnd_ == nullptr) {
    return;
  }
  RECT client{};
  if (!GetClientRect(hwnd_, &client)) {
    return;
  }
  if (surface_) {
    SelectClipRgn(surface_->dc(), nullptr);
  }
  regions_ = BuildRegions(model_, client.right, client.bottom, CurrentPicture());
  if (!regions_.window) {
    SetWindowRgn(hwnd_, nullptr, TRUE);
    return;
  }
  // The window takes the copy it is given; a copy the system refuses is deleted here.
  ScopedRegion copy(CreateRectRgn(0, 0, 0, 0));
  if (copy && CombineRgn(copy.get(), regions_.window.get(), nullptr, RGN_COPY) != ERROR &&
      SetWindowRgn(hwnd_, copy.get(), TRUE) != 0) {
    copy.Release();
  }
}

void qxButtons_HView::Resize() {
  if (hwnd_ == nullptr || resizing_) {
    return;
  }
  resizing_ = true;
  RECT client{};
  GetClientRect(hwnd_, &client);
  int width = client.right;
  int height = client.bottom;
  const int shape = model_.ButtonShape();
  const OlePicture* picture = CurrentPicture();
  if (shape >= 7 && picture != nullptr) {
    width = picture->width();
    height = picture->height();
  } else {
    width = WidthForShape(shape, width, height);
  }
  if (width != client.right || height != client.bottom) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  EnsureSurface();
  RebuildRegion();
  resizing_ = false;
  if (!model_.DrawingDelayed()) {
    Redraw();
  }
}

OptionGroupStore* qxButtons_HView::OptionGroup() {
  return container_ != nullptr ? group_.get() : nullptr;
}

PicturePtr qxButtons_HView::LoadPicture(const std::wstring& source) {
  return OlePicture::Load(source);
}

std::optional<std::wstring> qxButtons_HView::ApplyMouseIcon(const PicturePtr& icon) {
  if (!icon) {
    cursor_ = LoadCursorW(nullptr, PointerResource(model_.MousePointer()));
    return std::nullopt;
  }
  const auto* picture = dynamic_cast<const OlePicture*>(icon.get());
  if (picture == nullptr || picture->icon() == nullptr) {
    return std::wstring(L"Invalid property value");
  }
  cursor_ = picture->icon();
  return std::nullopt;
}

void qxButtons_HView::ApplyMousePointer(std::int32_t pointer) {
  if (pointer == qxButtons_H::kCustomPointer) {
    const auto* icon = dynamic_cast<const OlePicture*>(model_.MouseIcon().get());
    cursor_ = icon != nullptr ? icon->icon() : nullptr;
    return;
  }
  cursor_ = pointer == 0 ? nullptr : LoadCursorW(nullptr, PointerResource(pointer));
}

const OlePicture* qxButtons_HView::CurrentPicture() const {
  return dynamic_cast<const OlePicture*>(model_.Picture().get());
}

}  // namespace svctune::win
