#include "gallery_window.h"

#include <commctrl.h>

#include <functional>

#include "activex_page.h"
#include "own_controls_page.h"
#include "owner_drawn_page.h"
#include "page_window.h"
#include "win/window_class.h"

namespace svctune::gallery {

namespace {

constexpr int kWidth = 820;
constexpr int kHeight = 660;
constexpr int kMargin = 10;
constexpr int kTabsHeight = 430;
constexpr int kLogLines = 1000;

using PageFactory = HWND (*)(HINSTANCE, HWND, const RECT&, EventLogger);

// The pages of the gallery in tab order. A page is one function that creates its window in the
// given area and writes its events to the log.
struct PageEntry {
  const wchar_t* title;
  PageFactory create;
};
const PageEntry kPages[] = {
    {L"Lamina", &CreateLaminaPage},
    {L"Vellum", &CreateVellumPage},
    {L"程序控件", &CreateOwnControlsPage},
    {L"自绘按钮", &CreateOwnerDrawnPage},
};

}  // namespace

GalleryWindow::~GalleryWindow() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

bool GalleryWindow::Create(int showCommand) {
  WNDCLASSEXW windowClass = win::WindowClass(instance_, kClassName, &GalleryWindow::WindowProc);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  if (!win::EnsureWindowClass(windowClass)) {
    return false;
  }
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"控件画廊",
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                          kWidth, kHeight, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) {
    return false;
  }
  if (!CreateChildren()) {
    DestroyWindow(hwnd_);
    return false;
  }
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  return true;
}

bool GalleryWindow::CreateChildren() {
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right - 2 * kMargin;
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, kMargin,
                          kMargin, width, kTabsHeight, hwnd_, nullptr, instance_, nullptr);
  const int logTop = kMargin + kTabsHeight + 24;
  HWND logLabel = CreateWindowExW(0, L"STATIC", L"事件", WS_CHILD | WS_VISIBLE, kMargin,
                                  logTop - 18, 200, 16, hwnd_, nullptr, instance_, nullptr);
  eventLog_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
                              kMargin, logTop, width, client.bottom - logTop - kMargin, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEventLogId)), instance_,
                              nullptr);
  if (tabs_ == nullptr || eventLog_ == nullptr) {
    return false;
  }
  for (HWND child : {tabs_, logLabel, eventLog_}) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  for (const PageEntry& entry : kPages) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(entry.title);
    SendMessageW(tabs_, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    RECT area{kMargin, kMargin, kMargin + width, kMargin + kTabsHeight};
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    area.left += kMargin;
    area.top += kMargin;
    HWND page =
        entry.create(instance_, hwnd_, area, [this](const std::wstring& line) { Log(line); });
    if (page != nullptr) {
      SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    pages_.push_back(page);
  }
  ShowPage(0);
  return true;
}

void GalleryWindow::ShowPage(int index) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i] != nullptr) {
      ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
    }
  }
}

void GalleryWindow::Log(const std::wstring& line) {
  if (eventLog_ == nullptr) {
    return;
  }
  const LRESULT added =
      SendMessageW(eventLog_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (added == LB_ERR || added == LB_ERRSPACE) {
    return;
  }
  while (SendMessageW(eventLog_, LB_GETCOUNT, 0, 0) > kLogLines) {
    SendMessageW(eventLog_, LB_DELETESTRING, 0, 0);
  }
  const LRESULT count = SendMessageW(eventLog_, LB_GETCOUNT, 0, 0);
  SendMessageW(eventLog_, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

LRESULT CALLBACK GalleryWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* created = static_cast<GalleryWindow*>(create->lpCreateParams);
    created->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<GalleryWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->eventLog_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT GalleryWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    }
    case WM_COMMAND: {
      // Enter and Escape where the focus is on a control that takes neither: the dialog
      // manager reports them as IDOK and IDCANCEL, which the page on show answers.
      const int id = LOWORD(wParam);
      const int page = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
      if ((id == IDOK || id == IDCANCEL) && page >= 0 &&
          static_cast<std::size_t>(page) < pages_.size() && pages_[page] != nullptr) {
        return SendMessageW(pages_[page], WM_COMMAND, wParam, lParam);
      }
      break;
    }
    case WM_DESTROY:
      // The pages close their controls while the log is still there.
      for (HWND page : pages_) {
        if (page != nullptr) {
          DestroyWindow(page);
        }
      }
      pages_.clear();
      eventLog_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace svctune::gallery
