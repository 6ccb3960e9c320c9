#include "win/formhome_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "controls/win/progress_bar_view.h"
#include "controls/win/xp_option_view.h"
#include "program_info.h"
#include "res/resource_ids.h"
#include "ui/twips.h"
#include "win/app_windows.h"
#include "win/gdi_font.h"
#include "win/services_window.h"
#include "win/window_class.h"

namespace svctune::win {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer1Interval = 1000;
constexpr UINT kTimer2Interval = 1;

// The window's layout, in twips. The service grid inside the pages has fixed positions;
// everything around it is ours.
constexpr int kClientWidth = 15930;
constexpr int kClientHeight = 8850;
constexpr int kTaskPaneWidth = 2850;
constexpr int kContentLeft = 2940;
constexpr int kContentWidth = 12900;
constexpr int kTitleTop = 90;
constexpr int kTitleHeight = 900;
constexpr int kModePanelTop = 1080;
constexpr int kModePanelHeight = 600;
constexpr int kPageTop = 1770;
constexpr int kPageHeight = 6600;
constexpr int kBottomTop = 8520;

// The service grid inside a page.
constexpr int kColumnStarts[] = {120, 4320, 8520};
constexpr int kFirstRowTop = 240;
constexpr int kRowStep = 480;
constexpr int kShortCaptionWidth = 1095;
constexpr int kLongCaptionWidth = 1215;
constexpr int kBoxOffsets[] = {1200, 2160, 3120};  // 自动, 手动, 禁用
constexpr int kBoxWidth = 975;
constexpr int kRowHeight = 255;
constexpr int kDescriptionLeft = 120;
constexpr int kDescriptionTop = 5160;
constexpr int kDescriptionWidth = 12255;
constexpr int kDescriptionHeight = 495;
constexpr int kPageLinkLeft = 10920;
constexpr int kPageLinkTop = 6120;

constexpr COLORREF kWindowColour = RGB(236, 242, 252);
constexpr COLORREF kPaneTop = RGB(123, 162, 231);
constexpr COLORREF kPaneBottom = RGB(99, 117, 214);
constexpr COLORREF kTaskHeader = RGB(255, 255, 255);
constexpr COLORREF kTaskBody = RGB(214, 223, 247);
constexpr COLORREF kHeadingText = RGB(33, 93, 198);
constexpr COLORREF kLinkText = RGB(33, 93, 198);
constexpr COLORREF kTitleText = RGB(255, 255, 255);
constexpr COLORREF kTitleShadow = 0x00C6ACAD;
constexpr COLORREF kCaptionText = RGB(0, 51, 153);

// The task box in the task pane, in twips.
constexpr int kTaskBoxLeft = 180;
constexpr int kTaskBoxRight = 2670;
constexpr int kTaskHeaderTop = 1350;
constexpr int kTaskHeaderHeight = 375;
constexpr int kTaskBodyHeight = 2850;

constexpr const wchar_t* kTaskPaneClass = L"svctune.PICTAsk";
constexpr const wchar_t* kStartTypeCaptions[] = {L"自动", L"手动", L"禁用"};

// The system's procedure of the labels, which LabelProc passes every message on to. Each label
// is a fresh system label when LabelProc is put in front of it, so one value serves them all.
WNDPROC systemLabelProc = nullptr;

FormhomeWindow* FromWindow(HWND window) {
  return reinterpret_cast<FormhomeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool IsLinkLabel(int id) {
  return id == FormhomeWindow::kLabel33 || id == FormhomeWindow::kLabel58 ||
         id == FormhomeWindow::kLabel162 || id == FormhomeWindow::kLblTaskClose ||
         id == FormhomeWindow::kLblCapBase + 4 || id == FormhomeWindow::kLblCapBase + 5 ||
         id == FormhomeWindow::kRestoreLink || id == FormhomeWindow::kExportLink ||
         id == FormhomeWindow::kServicesLink;
}

// One row at a time in the DC's own brush colour: no brush is made per row.
void FillGradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom) {
  const int height = area.bottom - area.top;
  const COLORREF previous = GetDCBrushColor(dc);
  const auto brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  for (int y = 0; y < height; ++y) {
    const auto mix = [&](int a, int b) { return a + (b - a) * y / (height > 1 ? height - 1 : 1); };
    SetDCBrushColor(
        dc, RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                mix(GetBValue(top), GetBValue(bottom))));
    const RECT line = {area.left, area.top + y, area.right, area.top + y + 1};
    FillRect(dc, &line, brush);
  }
  SetDCBrushColor(dc, previous);
}

// The title picture: the banner artwork with the program's purpose written on it.
ScopedBitmap MakeBanner(HINSTANCE instance) {
  ScopedBitmap banner(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!banner || !dc) {
    return banner;
  }
  const SelectedObject bitmap(dc.get(), banner.get());
  FontSpec text;
  const ScopedFont subtitle = CreateFontFrom(text, kDefaultDpi);
  text.points = 16.0;
  text.bold = true;
  const ScopedFont heading = CreateFontFrom(text, kDefaultDpi);
  SetBkMode(dc.get(), TRANSPARENT);
  auto write = [&](HFONT font, COLORREF colour, int x, int y, const wchar_t* text) {
    const SelectedObject selected(dc.get(), font);
    SetTextColor(dc.get(), colour);
    TextOutW(dc.get(), x, y, text, static_cast<int>(wcslen(text)));
  };
  write(heading.get(), RGB(20, 50, 120), 19, 9, L"Windows XP 系统服务优化");
  write(heading.get(), RGB(255, 255, 255), 18, 8, L"Windows XP 系统服务优化");
  write(subtitle.get(), RGB(220, 232, 252), 20, 38,
        L"勾选每项服务的启动方式，或选择一种优化方案；更改立即生效。");
  return banner;
}

// The brushes and the title picture of the main window, made with the first window of the
// process and kept for its life (one set, however often the window is opened); a part the
// system refused is made again for the next window.
struct SharedArtwork {
  ScopedBrush background;
  ScopedBrush taskBody;
  ScopedBitmap banner;
};

const SharedArtwork& Artwork(HINSTANCE instance) {
  static SharedArtwork artwork;
  if (!artwork.background) {
    artwork.background.Reset(CreateSolidBrush(kWindowColour));
  }
  if (!artwork.taskBody) {
    artwork.taskBody.Reset(CreateSolidBrush(kTaskBody));
  }
  if (!artwork.banner) {
    artwork.banner = MakeBanner(instance);
  }
  return artwork;
}

}  // namespace

FormhomeWindow::FormhomeWindow(HINSTANCE instance, registry::RegistryAccess& registry,
                               PresetFileStore& presetFile, const AnsiCodec& codePage936,
                               MessagePresenter& messages, FormhomeServices services)
    : instance_(instance),
      services_(std::move(services)),
      form_(registry, presetFile, codePage936, messages, *this),
      messages_(messages),
      codePage936_(codePage936),
      registry_(registry),
      machine_(registry, form_.Triads(), serviceManager_) {}

FormhomeWindow::~FormhomeWindow() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

int FormhomeWindow::Pixels(int twips) const {
  return TwipsToPixels(twips, dpi_);
}

bool FormhomeWindow::Create(int showCommand) {
  WNDCLASSEXW windowClass = WindowClass(instance_, kClassName, WindowProc);
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_SVCTUNE));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SVCTUNE), IMAGE_ICON, 16, 16, 0));
  if (!EnsureWindowClass(windowClass) ||
      !EnsureWindowClass(WindowClass(instance_, kTaskPaneClass, TaskPaneProc))) {
    return false;
  }

  {
    WindowDc screen(nullptr);
    dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame = {0, 0, Pixels(kClientWidth), Pixels(kClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT workArea = {0, 0, width, height};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int left = workArea.left + std::max(0L, (workArea.right - workArea.left - width) / 2);
  const int top = workArea.top + std::max(0L, (workArea.bottom - workArea.top - height) / 2);
  const std::wstring title(kProgramTitle);
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, title.c_str(), style, left, top, width,
                          height, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) {
    return false;
  }
  TopLevelWindowOpened();
  // No input until the start-up password gate has decided.
  EnableWindow(hwnd_, FALSE);
  machine_.RecordOriginals();
  form_.Load();
  ReadMachine();
  SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  return true;
}

LRESULT CALLBACK FormhomeWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<FormhomeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  FormhomeWindow* self = FromWindow(window);
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT FormhomeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateFonts();
      background_ = Artwork(instance_).background.get();
      taskBody_ = Artwork(instance_).taskBody.get();
      if (!CreateTaskPane() || !CreateModePanel() || !CreatePages() || !CreateBottomStrip() ||
          !CreateMachineChrome()) {
        return -1;
      }
      form_.Triads().OnBoxChanged([this](int box) {
        ShowBox(box);
        OnMachineBoxChanged(box);
      });
      form_.Modes().OnChanged([this] { ShowModes(); });
      form_.OnChanged([this] { ShowChrome(); });
      ShowModes();
      ShowChrome();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
      return 1;
    }
    case kMachineRefreshMessage:
      ShowMachineChanges();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(
          ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) {
        form_.OnTimer1();
      } else if (wParam == kTimer2) {
        form_.OnTimer2();
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends: the process may be ended without WM_DESTROY, so save now.
      if (wParam != FALSE) {
        form_.Unload();
      }
      return 0;
    case WM_DESTROY:
      servicesWindow_.reset();
      KillTimer(hwnd_, kTimer1);
      KillTimer(hwnd_, kTimer2);
      form_.Unload();
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      TopLevelWindowClosed();
      return 0;
    default:
      if (message == ShowInstanceMessage() && message != 0) {
        ShowInstance();
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

UINT FormhomeWindow::ShowInstanceMessage() {
  static const UINT message = RegisterWindowMessageW(kShowInstanceMessageName);
  return message;
}

// Another start of the program asked for this window: bring it, or the prompt in front of
// it, to the user.
void FormhomeWindow::ShowInstance() {
  if (IsIconic(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
  }
  SetForegroundWindow(GetLastActivePopup(hwnd_));
}

void FormhomeWindow::CreateFonts() {
  FontSpec text;
  font_ = SharedFont(text, dpi_);
  text.bold = true;
  boldFont_ = SharedFont(text, dpi_);
  text.bold = false;
  text.underline = true;
  linkFont_ = SharedFont(text, dpi_);
  titleFont_ =
      SharedFont(FontSpec{L"Verdana", 15.0, true, false, false, false, DEFAULT_CHARSET}, dpi_);
}

HWND FormhomeWindow::AddLabel(HWND parent, int id, const wchar_t* text, int x, int y, int width,
                              int height, HFONT font, DWORD style, DWORD exStyle) {
  HWND label =
      CreateWindowExW(exStyle, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOTIFY | style,
                      Pixels(x), Pixels(y), Pixels(width), Pixels(height), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // Classic subclassing: SetWindowSubclass would look its chain up in a window property on
  // every message a label receives, each paint included.
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelProc)));
  if (previous != nullptr) {
    systemLabelProc = previous;
  }
  return label;
}

HWND FormhomeWindow::AddIcon(HWND parent, int id, int resource, int x, int y, int size) {
  HWND image =
      CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE,
                      Pixels(x), Pixels(y), size, size, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  HANDLE icon =
      LoadImageW(instance_, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_SHARED);
  SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  return image;
}

// The task area: the shadowed title, the "操作" box with the apply reminder and the two links.
bool FormhomeWindow::CreateTaskPane() {
  taskPane_ =
      CreateWindowExW(WS_EX_CONTROLPARENT, kTaskPaneClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0,
                      Pixels(kTaskPaneWidth), Pixels(kClientHeight), hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPICTAsk)), instance_, nullptr);
  if (taskPane_ == nullptr) {
    return false;
  }
  SetWindowLongPtrW(taskPane_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  AddIcon(taskPane_, kImageBase + 1, IDI_SVCTUNE, 180, 240, 32);
  // Label163 is drawn over Label166, one pixel left of it and two below.
  const std::wstring title = L"Trevane";
  AddLabel(taskPane_, kLabel163, title.c_str(), 810, 300, 1860, 450, titleFont_, 0,
           WS_EX_TRANSPARENT);
  AddLabel(taskPane_, kLabel166, title.c_str(), 825, 270, 1860, 450, titleFont_);
  AddLabel(taskPane_, kLabel164, L"操作", 300, kTaskHeaderTop + 90, 1500, 225, boldFont_);
  const int linkTop = kTaskHeaderTop + kTaskHeaderHeight + 180;
  AddIcon(taskPane_, kImageBase + 2, IDI_APPLY, 300, linkTop - 15, 16);
  AddLabel(taskPane_, kLblTaskClose, L"应用", 630, linkTop, 1800, 225, font_);
  AddIcon(taskPane_, kImageBase + 3, IDI_PASSWORD, 300, linkTop + 435, 16);
  AddLabel(taskPane_, kLblCapBase + 4, L"设置密码", 630, linkTop + 450, 1800, 225, font_);
  AddLabel(taskPane_, kLblCapBase + 5, L"Trevane博客", 630, linkTop + 900, 1800, 225, font_);
  return true;
}

LRESULT CALLBACK FormhomeWindow::TaskPaneProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  FormhomeWindow* self = FromWindow(window);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(window);
      RECT client;
      GetClientRect(window, &client);
      FillGradient(paint.dc(), client, kPaneTop, kPaneBottom);
      if (self != nullptr) {
        const RECT header = {self->Pixels(kTaskBoxLeft), self->Pixels(kTaskHeaderTop),
                             self->Pixels(kTaskBoxRight),
                             self->Pixels(kTaskHeaderTop + kTaskHeaderHeight)};
        FillGradient(paint.dc(), header, kTaskHeader, RGB(198, 211, 247));
        const RECT body = {header.left, header.bottom, header.right,
                           header.bottom + self->Pixels(kTaskBodyHeight)};
        FillRect(paint.dc(), &body, self->taskBody_);
        FrameRect(paint.dc(), &body, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_COMMAND:
      if (self != nullptr && self->hwnd_ != nullptr) {
        return SendMessageW(self->hwnd_, message, wParam, lParam);
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The mode panel: the two options and the preset list on a gradient.
bool FormhomeWindow::CreateModePanel() {
  PropertyBag bag;
  bag.Put(L"FromColor", static_cast<std::int32_t>(RGB(255, 255, 255)));
  bag.Put(L"ToColor", static_cast<std::int32_t>(RGB(198, 214, 247)));
  bag.Put(L"Value", std::int32_t{100});
  bag.Put(L"BorderStyle", std::int32_t{4});
  bag.Put(L"BorderColor", static_cast<std::int32_t>(RGB(123, 162, 231)));
  progressBar1_ = ProgressBarView::Create(
      instance_, hwnd_, kProgressBar1,
      {Pixels(kContentLeft), Pixels(kModePanelTop), Pixels(kContentLeft + kContentWidth),
       Pixels(kModePanelTop + kModePanelHeight)},
      &bag);
  if (!progressBar1_) {
    return false;
  }
  HWND panel = progressBar1_->hwnd();
  AddIcon(panel, kImageBase + 5, IDI_OPERATIONS, 180, 180, 16);
  auto addOption = [&](int id, const wchar_t* caption, int x) {
    HWND option =
        CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON,
                        Pixels(x), Pixels(165), Pixels(1380), Pixels(270), panel,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(option, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return option;
  };
  option1_ = addOption(kOption1, L"手动优化", 540);
  option2_ = addOption(kOption2, L"选择优化", 2040);
  xpCombo1_ = CreateWindowExW(
      0, WC_COMBOBOXW, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
      Pixels(3540), Pixels(120), Pixels(2400), Pixels(2400), panel,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kXPCombo1)), instance_, nullptr);
  SendMessageW(xpCombo1_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return option1_ != nullptr && option2_ != nullptr && xpCombo1_ != nullptr;
}

bool FormhomeWindow::CreatePages() {
  HWND title = AddLabel(hwnd_, kImgTitle, nullptr, kContentLeft, kTitleTop, kContentWidth,
                        kTitleHeight, font_, SS_BITMAP);
  SendMessageW(title, STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(Artwork(instance_).banner.get()));

  PropertyBag bag;
  bag.Put(L"FromColor", static_cast<std::int32_t>(RGB(255, 255, 255)));
  bag.Put(L"ToColor", static_cast<std::int32_t>(RGB(222, 231, 250)));
  bag.Put(L"Value", std::int32_t{100});
  bag.Put(L"Orientation", std::int32_t{3});
  bag.Put(L"BorderStyle", std::int32_t{4});
  bag.Put(L"BorderColor", static_cast<std::int32_t>(RGB(123, 162, 231)));
  const RECT area = {Pixels(kContentLeft), Pixels(kPageTop), Pixels(kContentLeft + kContentWidth),
                     Pixels(kPageTop + kPageHeight)};
  pages_[0] = ProgressBarView::Create(instance_, hwnd_, kPicture6, area, &bag);
  pages_[1] = ProgressBarView::Create(instance_, hwnd_, kPicture1, area, &bag);
  if (!pages_[0] || !pages_[1]) {
    return false;
  }
  CreatePage(1, pages_[0]->hwnd());
  CreatePage(2, pages_[1]->hwnd());
  ShowWindow(pages_[1]->hwnd(), SW_HIDE);
  return true;
}

// One page of the service grid: caption, then the 自动, 手动 and 禁用 boxes of each entry.
void FormhomeWindow::CreatePage(int page, HWND panel) {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (entry.page != page) {
      continue;
    }
    const int left = kColumnStarts[ServiceCatalogue::ColumnOf(entry)];
    const int top = kFirstRowTop + ServiceCatalogue::RowOf(entry) * kRowStep;
    const std::wstring caption(entry.caption);
    // The caption's hover is LabelProc's; the boxes' is ServiceHoverProc's.
    AddLabel(panel, kCaptionBase + entry.number, caption.c_str(), left, top,
             caption.size() > 10 ? kLongCaptionWidth : kShortCaptionWidth, kRowHeight, font_);
    const int boxes[] = {entry.automaticBox, entry.manualBox, entry.disabledBox};
    for (int i = 0; i < 3; ++i) {
      HWND box = CreateWindowExW(
          0, L"BUTTON", kStartTypeCaptions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_3STATE,
          Pixels(left + kBoxOffsets[i]), Pixels(top), Pixels(kBoxWidth), Pixels(kRowHeight), panel,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheckBase + boxes[i])), instance_, nullptr);
      SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      boxes_[boxes[i]] = box;
      WatchServiceHover(box);
    }
  }
  descriptions_[page - 1] = AddLabel(panel, page == 1 ? kLabel59 : kLabel60, L"", kDescriptionLeft,
                                     kDescriptionTop, kDescriptionWidth, kDescriptionHeight, font_);
  AddLabel(panel, page == 1 ? kLabel33 : kLabel58, page == 1 ? L"下一页" : L"上一页", kPageLinkLeft,
           kPageLinkTop, 900, 225, linkFont_);
}

bool FormhomeWindow::CreateBottomStrip() {
  AddIcon(hwnd_, kImageBase + 4, IDI_HINT, 10560, kBottomTop, 16);
  AddLabel(hwnd_, kLabel162, L"最小化窗口", 10890, kBottomTop + 15, 1350, 225, linkFont_);
  cmdEnd_ = XPOptionView::Create(
      instance_, hwnd_, kCmdEnd,
      {Pixels(13080), Pixels(kBottomTop + 15), Pixels(15600), Pixels(kBottomTop + 240)},
      XPOptionVariant::kXPOption, L"退出程序", FontSpec{});
  if (!cmdEnd_) {
    return false;
  }
  cmdEnd_->OnValueChanged([this](bool& value) {
    if (form_.AcceptsInput()) {
      form_.OnCmdEndValueChanged(value);
    }
  });
  return true;
}

LRESULT CALLBACK FormhomeWindow::LabelProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  const int control = GetDlgCtrlID(window);
  switch (message) {
    case WM_MOUSEMOVE:
      if (control > kCaptionBase && control <= kCaptionBase + 57) {
        if (FormhomeWindow* self = FromWindow(GetAncestor(window, GA_ROOT))) {
          self->form_.OnCaptionMouseMove(control - kCaptionBase);
          self->OnServiceHover(control - kCaptionBase, window);
        }
      }
      break;
    case WM_MOUSELEAVE:
      if (control > kCaptionBase && control <= kCaptionBase + 57) {
        if (FormhomeWindow* self = FromWindow(GetAncestor(window, GA_ROOT))) {
          self->OnServiceLeave(control - kCaptionBase);
        }
      }
      break;
    case WM_SETCURSOR:
      if (IsLinkLabel(control)) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return systemLabelProc != nullptr
             ? CallWindowProcW(systemLabelProc, window, message, wParam, lParam)
             : DefWindowProcW(window, message, wParam, lParam);
}

void FormhomeWindow::OnCommand(int id, int code, HWND control) {
  // Until the start-up password gate has decided, commands of the window's controls are
  // ignored, however they arrive (a click posted by another program included).
  if (!form_.AcceptsInput()) {
    return;
  }
  if (id >= kCheckBase && id <= kCheckBase + kHighestBoxNumber && code == BN_CLICKED) {
    form_.Triads().Click(id - kCheckBase);
  } else if ((id == kOption1 || id == kOption2) && code == BN_CLICKED) {
    form_.Modes().SetOption(id == kOption1 ? 1 : 2, true);
  } else if (id == kXPCombo1) {
    if (code == CBN_DROPDOWN) {
      comboDropped_ = true;
    } else if (code == CBN_CLOSEUP) {
      comboDropped_ = false;
    } else if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !comboDropped_)) {
      form_.Modes().ChooseItem(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
    }
  } else if (code == STN_CLICKED) {
    OnLabelClick(id);
  }
}

void FormhomeWindow::OnLabelClick(int id) {
  switch (id) {
    case kLabel33:
      form_.OnLabel33Click();
      break;
    case kLabel58:
      form_.OnLabel58Click();
      break;
    case kLabel162:
      form_.OnLabel162Click();
      break;
    case kLblTaskClose:
      form_.OnLblTaskCloseClick();
      break;
    default:
      if (OnMachineLinkClick(id)) {
        break;
      }
      if (id > kLblCapBase && id < kLblCapBase + 10) {
        form_.OnLblCapClick(id - kLblCapBase);
      }
      break;
  }
}

void FormhomeWindow::ShowBox(int box) {
  HWND window = boxes_[box];
  if (window == nullptr) {
    return;
  }
  const int state = form_.Triads().State(box);
  SendMessageW(window, BM_SETCHECK,
               state == kTicked   ? BST_CHECKED
               : state == kGreyed ? BST_INDETERMINATE
                                  : BST_UNCHECKED,
               0);
  EnableWindow(window, form_.Triads().Enabled(box));
}

void FormhomeWindow::ShowModes() {
  const ModesAndPresets& modes = form_.Modes();
  SendMessageW(option1_, BM_SETCHECK, modes.OptionSelected(1) ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(option2_, BM_SETCHECK, modes.OptionSelected(2) ? BST_CHECKED : BST_UNCHECKED, 0);
  const std::vector<std::wstring>& items = modes.Items();
  if (shownItems_ != items) {
    // Items appended to the shown ones are added; any other change fills the list anew.
    const bool appended = shownItems_.size() < items.size() &&
                          std::equal(shownItems_.begin(), shownItems_.end(), items.begin());
    if (!appended) {
      SendMessageW(xpCombo1_, CB_RESETCONTENT, 0, 0);
      shownItems_.clear();
    }
    SendMessageW(xpCombo1_, CB_INITSTORAGE, items.size() - shownItems_.size(), 0);
    for (std::size_t i = shownItems_.size(); i < items.size(); ++i) {
      SendMessageW(xpCombo1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
    }
    shownItems_ = items;
  }
  if (SendMessageW(xpCombo1_, CB_GETCURSEL, 0, 0) != modes.ListIndex()) {
    SendMessageW(xpCombo1_, CB_SETCURSEL, static_cast<WPARAM>(modes.ListIndex()), 0);
  }
  EnableWindow(xpCombo1_, modes.ListEnabled());
}

void FormhomeWindow::ShowChrome() {
  for (int page = 1; page <= 2; ++page) {
    const std::wstring& text = form_.Description(page);
    if (shownDescriptions_[page - 1] != text) {
      SetWindowTextW(descriptions_[page - 1], text.c_str());
      shownDescriptions_[page - 1] = text;
    }
  }
  const int visible = form_.VisiblePage();
  // Page 1 is hidden before page 2 is shown, and shown before page 2 is hidden.
  if (visible == 2) {
    ShowWindow(pages_[0]->hwnd(), SW_HIDE);
    ShowWindow(pages_[1]->hwnd(), SW_SHOW);
  } else {
    ShowWindow(pages_[0]->hwnd(), SW_SHOW);
    ShowWindow(pages_[1]->hwnd(), SW_HIDE);
  }
  EnableWindow(hwnd_, form_.AcceptsInput());
}

HBRUSH FormhomeWindow::ControlColour(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  SetBkMode(dc, TRANSPARENT);
  if (id == kLabel163) {
    SetTextColor(dc, kTitleText);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (id == kLabel166) {
    SetTextColor(dc, kTitleShadow);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (id == kImageBase + 1) {
    // The logo stands on the pane's gradient, which the pane has already painted.
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (id == kLabel164) {
    SetTextColor(dc, kHeadingText);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (GetParent(control) == taskPane_) {
    SetTextColor(dc, kLinkText);
    SetBkColor(dc, kTaskBody);
    return taskBody_;
  }
  SetTextColor(dc, IsLinkLabel(id) ? kLinkText : MachineTextColour(id, kCaptionText));
  SetBkColor(dc, kWindowColour);
  return background_;
}

bool FormhomeWindow::RunLoginPrompt() {
  return services_.runLoginPrompt(hwnd_);
}

void FormhomeWindow::BringToFront() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void FormhomeWindow::CloseWindow() {
  PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void FormhomeWindow::Minimize() {
  ShowWindow(hwnd_, SW_MINIMIZE);
}

void FormhomeWindow::OpenAccessGate() {
  services_.openAccessGate(hwnd_);
}

void FormhomeWindow::OpenWebPage(std::wstring_view url) {
  const std::wstring address(url);
  ShellExecuteW(hwnd_, L"open", address.c_str(), L"", L"", SW_SHOWNOACTIVATE);
}

void FormhomeWindow::TrimWorkingSet(std::size_t minimumBytes, std::size_t maximumBytes) {
  SetProcessWorkingSetSize(GetCurrentProcess(), minimumBytes, maximumBytes);
}

void FormhomeWindow::StartStartupTimer() {
  SetTimer(hwnd_, kTimer2, kTimer2Interval, nullptr);
}

}  // namespace svctune::win
