#include "win/passs_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "access/win/password_window.h"
#include "program_info.h"
#include "ui/twips.h"
#include "win/app_windows.h"
#include "win/file_preset_store.h"
#include "win/gdi_font.h"
#include "win/window_class.h"
#include "win/window_object.h"

namespace svctune::win {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 500;
constexpr const wchar_t* kSkinProgId = L"Vellum.CorvidForm";
constexpr const wchar_t* kButtonProgId = L"Lamina.Button";
constexpr const wchar_t* kCommandCaption = L"确定";
constexpr int kRegionCorner = 5;
constexpr COLORREF kBodyColour = RGB(235, 246, 255);  // the skin's body box, 0xFFF6EB
constexpr COLORREF kLinkColour = RGB(33, 93, 198);

// The layout, in twips. The skin keeps its design size; the window is 5 twips narrower.
constexpr int kSkinWidth = 4608;
constexpr int kSkinHeight = 3735;
constexpr int kWindowNarrower = 5;
constexpr RECT kLabel1Place = {360, 705, 1440, 960};
constexpr RECT kTextPlace = {1500, 660, 3300, 990};
constexpr RECT kCommandPlace = {3450, 630, 4230, 1020};
constexpr RECT kLabel4Place = {360, 630, 3330, 1110};
constexpr RECT kCheck1Place = {360, 1290, 1960, 1560};
constexpr RECT kLabel3Place = {360, 1800, 3960, 2055};
constexpr RECT kLabel2Place = {360, 2280, 2560, 2535};

constexpr const wchar_t* kLabel1Captions[] = {L"验证密码：", L"新密码：", L"确认密码："};

// HIMETRIC (0.01 mm), the unit of a control's stored extent.
std::int32_t Himetric(int twips) {
  return static_cast<std::int32_t>(twips * 2540L / 1440);
}

// A hidden control is disabled too, so that input sent to it straight (a posted click) finds
// nothing to do, whatever the gate's model would say.
void ShowControl(HWND control, bool visible) {
  EnableWindow(control, visible ? TRUE : FALSE);
  ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      std::max(0, GetWindowTextW(window, &text[0], static_cast<int>(text.size())))));
  return text;
}

}  // namespace

PasssWindow* PasssWindow::open_ = nullptr;

void PasssWindow::Open(HINSTANCE instance, const access::AccessServices& services) {
  if (open_ != nullptr) {
    ShowWindow(open_->hwnd_, SW_SHOW);
    SetForegroundWindow(open_->hwnd_);
    return;
  }
  auto* gate = new PasssWindow(instance, services);
  if (!gate->Create()) {
    if (gate->hwnd_ != nullptr) {
      DestroyWindow(gate->hwnd_);
    } else {
      delete gate;
    }
  }
}

HWND PasssWindow::OpenWindow() {
  return open_ != nullptr ? open_->hwnd_ : nullptr;
}

PasssWindow::PasssWindow(HINSTANCE instance, const access::AccessServices& services)
    : instance_(instance),
      services_(services),
      model_(services.registry, services.codec, services.messages, *this) {}

PasssWindow::~PasssWindow() {
  if (open_ == this) {
    open_ = nullptr;
  }
}

int PasssWindow::Pixels(int twips) const {
  return TwipsToPixels(twips, dpi_);
}

bool PasssWindow::Create() {
  WNDCLASSEXW windowClass = WindowClass(instance_, kClassName, WindowProc);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  if (!EnsureWindowClass(windowClass)) {
    return false;
  }
  {
    WindowDc screen(nullptr);
    dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  FontSpec text;
  font_ = CreateFontFrom(text, dpi_);
  text.underline = true;
  linkFont_ = CreateFontFrom(text, dpi_);
  symbolFont_ = CreateFontFrom(
      FontSpec{L"Wingdings", 10.0, false, false, false, false, SYMBOL_CHARSET}, dpi_);
  body_.Reset(CreateSolidBrush(kBodyColour));

  const int width = Pixels(kSkinWidth - kWindowNarrower);
  const int height = Pixels(kSkinHeight);
  RECT work = {0, 0, width, height};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (CreateWindowExW(0, kClassName, kCaption,
                      WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                      work.left + (work.right - work.left - width) / 2,
                      work.top + (work.bottom - work.top - height) / 2, width, height, nullptr,
                      nullptr, instance_, this) == nullptr) {
    return false;
  }
  open_ = this;
  TopLevelWindowOpened();
  if (!CreateControls()) {
    return false;
  }
  model_.OnChanged([this] { Sync(); });
  model_.Load();
  Sync();
  if (corvidForm1_ != nullptr) {
    corvidForm1_->PutText(L"Caption", kCaption);
    corvidForm1_->PutLong(L"hwnd", static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd_)));
  }
  Resize();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  ApplyFocus();
  SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
  ShowMissingControls();
  return true;
}

host::HostedControl* PasssWindow::PlaceButton(int index, const RECT& rect) {
  host::ControlSettings settings{kButtonProgId, L"Command" + std::to_wstring(index), {}};
  settings.bag.Put(L"_extentx", Himetric(rect.right - rect.left));
  settings.bag.Put(L"_extenty", Himetric(rect.bottom - rect.top));
  settings.bag.Put(L"font", FontSpec{});
  settings.bag.Put(L"caption", std::wstring(kCommandCaption));
  const RECT pixels = {Pixels(rect.left), Pixels(rect.top), Pixels(rect.right),
                       Pixels(rect.bottom)};
  std::wstring error;
  host::HostedControl* button = controls_->Create(settings, pixels, &error);
  if (button != nullptr) {
    button->On(L"Click", [this, index](host::EventArgs&) { OnCommandClick(index); });
    return button;
  }
  if (missing_.find(error) == std::wstring::npos) {
    missing_ += (missing_.empty() ? L"" : L"\n") + error;
  }
  // Without the flat button the gate still works, with a standard push button in its place.
  standInCommands_[index] = CreateWindowExW(
      0, L"BUTTON", kCommandCaption, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | WS_CLIPSIBLINGS,
      pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommandBase + index)), instance_, nullptr);
  SendMessageW(standInCommands_[index], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return nullptr;
}

bool PasssWindow::CreateControls() {
  controls_ = std::make_unique<host::ControlContainer>(hwnd_);
  std::wstring error;
  corvidForm1_ = controls_->Create({kSkinProgId, L"CorvidForm1", {}},
                                   {0, 0, Pixels(kSkinWidth), Pixels(kSkinHeight)}, &error);
  if (corvidForm1_ != nullptr) {
    if (HWND skin = corvidForm1_->Window()) {
      SetWindowLongPtrW(skin, GWL_STYLE, GetWindowLongPtrW(skin, GWL_STYLE) | WS_CLIPSIBLINGS);
    }
    corvidForm1_->On(L"UnloadClick", [this](host::EventArgs&) { model_.OnUnloadClick(); });
    corvidForm1_->On(L"MouseMove", [this](host::EventArgs&) { model_.OnSurfaceMouseMove(); });
  } else {
    missing_ = error;
    // Without the skin the window takes a standard frame, so it can still be moved and closed.
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_CAPTION);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }

  auto add = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 const RECT& place, HFONT font) {
    HWND control =
        CreateWindowExW(lstrcmpW(className, L"EDIT") == 0 ? WS_EX_CLIENTEDGE : 0, className, text,
                        WS_CHILD | WS_CLIPSIBLINGS | style, Pixels(place.left), Pixels(place.top),
                        Pixels(place.right - place.left), Pixels(place.bottom - place.top), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  for (int i = 0; i < 3; ++i) {
    label1_[i] =
        add(L"STATIC", kLabel1Captions[i], SS_LEFT, kLabel1Base + i, kLabel1Place, font_.get());
  }
  // Typed characters show as Wingdings symbols, or as password characters where the system
  // has no Wingdings.
  const bool symbols = FontHasFace(symbolFont_.get(), L"Wingdings");
  const DWORD entryStyle = WS_TABSTOP | ES_AUTOHSCROLL | (symbols ? 0 : ES_PASSWORD);
  HFONT entryFont = symbols ? symbolFont_.get() : font_.get();
  text1_ = add(L"EDIT", L"", entryStyle, kText1, kTextPlace, entryFont);
  text2_ = add(L"EDIT", L"", entryStyle, kText2, kTextPlace, entryFont);
  label4_ = add(L"STATIC", L"请点击确定按钮设置/删除快捷窗口密码", SS_LEFT, kLabel4, kLabel4Place,
                font_.get());
  check1_ =
      add(L"BUTTON", L"更改密码", WS_TABSTOP | BS_CHECKBOX, kCheck1, kCheck1Place, font_.get());
  label3_ =
      add(L"STATIC", Passs::Label3Text().c_str(), SS_LEFT, kLabel3, kLabel3Place, font_.get());
  label2_ =
      add(L"STATIC", L"密码登陆使用说明", SS_LEFT | SS_NOTIFY, kLabel2, kLabel2Place, font_.get());
  for (HWND control : {text1_, text2_, label2_}) {
    SetWindowSubclass(control, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  for (int index = 1; index <= 3; ++index) {
    commands_[index] = PlaceButton(index, kCommandPlace);
  }
  // The skin frames everything else: it goes to the bottom of the z-order.
  if (corvidForm1_ != nullptr && corvidForm1_->Window() != nullptr) {
    SetWindowPos(corvidForm1_->Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return text1_ != nullptr && text2_ != nullptr && check1_ != nullptr && label2_ != nullptr;
}

void PasssWindow::ShowMissingControls() {
  if (!missing_.empty()) {
    services_.messages.Show(missing_, kProgramTitle, MessageIcon::kCritical);
  }
}

LRESULT CALLBACK PasssWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<PasssWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PasssWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    delete self;
    TopLevelWindowClosed();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT PasssWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Resize();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) {
        model_.OnTimer1();
      }
      return 0;
    case WM_MOUSEMOVE:
      model_.OnSurfaceMouseMove();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, kBodyColour);
      SetTextColor(dc, reinterpret_cast<HWND>(lParam) == label2_ ? kLinkColour : RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(body_.get());
    }
    case WM_CLOSE:
      model_.OnUnloadClick();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kTimer1);
      controls_.reset();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

LRESULT CALLBACK PasssWindow::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<PasssWindow*>(data);
  switch (message) {
    case WM_CHAR:
      if (wParam == L'\r' && window != self->label2_) {
        self->OnEnter(window);
        return 0;
      }
      if (wParam == L'\t') {
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        SetFocus(GetNextDlgTabItem(self->hwnd_, window, GetKeyState(VK_SHIFT) < 0));
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (window == self->label2_) {
        self->model_.OnLabel2MouseMove();
      }
      break;
    case WM_SETCURSOR:
      if (window == self->label2_) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, ControlProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void PasssWindow::OnCommand(int id, int code) {
  if (id == kText1 && code == EN_CHANGE) {
    model_.SetText1(WindowText(text1_));
  } else if (id == kText2 && code == EN_CHANGE) {
    model_.SetText2(WindowText(text2_));
  } else if (id == kCheck1 && code == BN_CLICKED) {
    model_.OnCheck1Click(SendMessageW(check1_, BM_GETCHECK, 0, 0) != BST_CHECKED);
    ApplyFocus();
  } else if (id == kLabel2 && code == STN_CLICKED) {
    model_.OnLabel2Click();
  } else if (id > kCommandBase && id <= kCommandBase + 3 && code == BN_CLICKED) {
    OnCommandClick(id - kCommandBase);
  }
}

void PasssWindow::OnEnter(HWND entryBox) {
  if (entryBox == text1_) {
    OnCommandClick(1);
  } else if (entryBox == text2_) {
    OnCommandClick(2);
  }
}

void PasssWindow::OnCommandClick(int index) {
  switch (index) {
    case 1:
      model_.OnCommand1Click();
      ApplyFocus();
      break;
    case 2:
      model_.OnCommand2Click();
      ApplyFocus();
      break;
    case 3:
      // The gate goes with this click; nothing of it is touched afterwards.
      model_.OnCommand3Click();
      break;
    default:
      break;
  }
}

// The skin stays at the top-left corner; the window is 5 twips narrower than the skin and as
// tall, with the skin's rounded region.
void PasssWindow::Resize() {
  if (resizing_ || corvidForm1_ == nullptr) {
    return;
  }
  resizing_ = true;
  RECT skin = {};
  if (HWND skinWindow = corvidForm1_->Window()) {
    GetWindowRect(skinWindow, &skin);
  }
  const int width = skin.right - skin.left;
  const int height = skin.bottom - skin.top;
  corvidForm1_->Move({0, 0, width, height});
  SetWindowPos(hwnd_, nullptr, 0, 0, width - Pixels(kWindowNarrower), height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (host::WindowObject* window = host::WindowObject::Create(hwnd_)) {
    VARIANT object{};
    object.vt = VT_DISPATCH;
    object.pdispVal = window;
    VARIANT corner{};
    corner.vt = VT_I4;
    corner.lVal = kRegionCorner;
    corvidForm1_->Call(L"SetRgn", {object, corner});
    window->Release();
  }
  resizing_ = false;
}

void PasssWindow::SetCommandVisible(int index, bool visible) {
  if (commands_[index] != nullptr) {
    VARIANT enabled{};
    enabled.vt = VT_BOOL;
    enabled.boolVal = visible ? VARIANT_TRUE : VARIANT_FALSE;
    commands_[index]->Put(L"Enabled", enabled);
  }
  HWND window = commands_[index] != nullptr ? commands_[index]->Window() : standInCommands_[index];
  if (window != nullptr) {
    ShowControl(window, visible);
  }
}

void PasssWindow::Sync() {
  const Passs::Visibility visible = model_.Visible();
  for (int i = 0; i < 3; ++i) {
    ShowWindow(label1_[i], visible.label1[i] ? SW_SHOWNA : SW_HIDE);
  }
  ShowControl(text1_, visible.text1);
  ShowControl(text2_, visible.text2);
  ShowWindow(label4_, visible.label4 ? SW_SHOWNA : SW_HIDE);
  ShowControl(check1_, visible.check1);
  ShowWindow(label2_, SW_SHOWNA);
  ShowWindow(label3_, SW_SHOWNA);
  SetCommandVisible(1, visible.command1);
  SetCommandVisible(2, visible.command2);
  SetCommandVisible(3, visible.command3);
  SendMessageW(check1_, BM_SETCHECK, model_.Check1() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (model_.Text1().empty() && GetWindowTextLengthW(text1_) > 0) {
    SetWindowTextW(text1_, L"");
  }
  if (model_.Text2().empty() && GetWindowTextLengthW(text2_) > 0) {
    SetWindowTextW(text2_, L"");
  }
  HFONT labelFont = model_.Label2Underlined() ? linkFont_.get() : font_.get();
  if (reinterpret_cast<HFONT>(SendMessageW(label2_, WM_GETFONT, 0, 0)) != labelFont) {
    SendMessageW(label2_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont), TRUE);
  }
}

void PasssWindow::ApplyFocus() {
  if (hwnd_ == nullptr) {
    return;
  }
  switch (model_.FocusTarget()) {
    case Passs::Focus::kText1:
      SetFocus(text1_);
      if (model_.Text1Selected()) {
        SendMessageW(text1_, EM_SETSEL, 0, -1);
      }
      break;
    case Passs::Focus::kText2:
      SetFocus(text2_);
      break;
    case Passs::Focus::kNone:
      break;
  }
}

void PasssWindow::ShowPasswordSettings() {
  // The settings window outlives the gate; the program ends only after it has closed too.
  TrackTopLevelWindow(access::win::ShowPasswordSettings(nullptr, services_));
}

void PasssWindow::Unload() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

void PasssWindow::OpenInstructions() {
  const std::wstring file = ProgramFolder() + L"\\tqpass.txt";
  ShellExecuteW(hwnd_, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace svctune::win
