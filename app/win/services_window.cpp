#include "win/services_window.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "win/gdi_font.h"
#include "win/scoped_gdi.h"
#include "win/window_class.h"
#include "win/windows_version.h"

namespace svctune::win {
namespace {

// The layout, in pixels at 96 dots per inch.
constexpr int kMargin = 8;
constexpr int kFilterLabelWidth = 44;
constexpr int kFilterWidth = 260;
constexpr int kEditHeight = 22;
constexpr int kListTop = kMargin + kEditHeight + kMargin;
constexpr int kDetailsHeight = 104;  // six lines
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 6;
constexpr int kTextHeight = 32;  // two lines of the reason, and of the status
constexpr int kBottomHeight = kMargin + kDetailsHeight + kMargin + kButtonHeight + 4 + kTextHeight +
                              2 + kTextHeight + kMargin;
constexpr int kDefaultWidth = 820;
constexpr int kDefaultHeight = 600;

// The status while it warns, as the main window's status line.
constexpr COLORREF kWarningText = RGB(214, 64, 0);

struct Column {
  const wchar_t* title;
  int width;
};
// In the order of ServiceColumn.
constexpr Column kColumns[] = {{L"服务名", 170},  {L"显示名称", 250}, {L"启动方式", 110},
                               {L"触发启动", 64}, {L"状态", 72},      {L"建议", 64}};
constexpr int kColumnCount = static_cast<int>(sizeof kColumns / sizeof kColumns[0]);

struct MenuTraits {
  using Handle = HMENU;
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
using ScopedMenu = ScopedHandle<MenuTraits>;

// The window that is open, for the message loop's dialog keys: one at a time.
HWND openWindow = nullptr;

int ButtonWidth(StartChoice choice) {
  return choice == StartChoice::kDelayedAutomatic ? 128 : 72;
}

// Sort arrows in the header came with Common Controls version 6: asked of the module whose
// list control the window has, which the manifest may have made version 6 or not.
bool DrawsSortArrows(HWND list) {
  const auto comctl = reinterpret_cast<HMODULE>(GetClassLongPtrW(list, GCLP_HMODULE));
  if (comctl == nullptr) {
    return false;
  }
  // GetProcAddress answers with a generic function type.
  const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "DllGetVersion")));
  DLLVERSIONINFO version = {};
  version.cbSize = sizeof version;
  return getVersion != nullptr && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion >= 6;
}

ServicesWindow* FromWindow(HWND window) {
  return reinterpret_cast<ServicesWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

ServicesWindow::ServicesWindow(HINSTANCE instance, registry::RegistryAccess& registry,
                               IndirectTextResolver& texts, ServiceManager& services)
    : instance_(instance), registry_(registry), texts_(texts), services_(services) {}

ServicesWindow::~ServicesWindow() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

int ServicesWindow::Scaled(int pixels) const {
  return MulDiv(pixels, dpi_, 96);
}

bool ServicesWindow::HandleDialogKeys(MSG& message) {
  return openWindow != nullptr && GetAncestor(message.hwnd, GA_ROOT) == openWindow &&
         IsDialogMessageW(openWindow, &message);
}

void ServicesWindow::Open() {
  if (hwnd_ != nullptr) {
    if (IsIconic(hwnd_)) {
      ShowWindow(hwnd_, SW_RESTORE);
    }
    SetForegroundWindow(hwnd_);
    return;
  }
  WNDCLASSEXW windowClass = WindowClass(instance_, kClassName, WindowProc);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_SVCTUNE));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SVCTUNE), IMAGE_ICON, 16, 16, 0));
  if (!EnsureWindowClass(windowClass)) {
    return;
  }
  model_ =
      std::make_unique<ServicesWindowModel>(registry_, texts_, services_, ReadWindowsVersion());
  dpi_ = ScreenDpi();
  const std::optional<WindowSize> saved = model_->SavedSize();
  const int width = Scaled(saved ? saved->width : kDefaultWidth);
  const int height = Scaled(saved ? saved->height : kDefaultHeight);
  RECT workArea = {0, 0, width, height};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int left = workArea.left + std::max(0L, (workArea.right - workArea.left - width) / 2);
  const int top = workArea.top + std::max(0L, (workArea.bottom - workArea.top - height) / 2);
  CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kClassName, kTitle,
                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height, nullptr, nullptr,
                  instance_, this);
  if (hwnd_ == nullptr) {
    model_.reset();
    return;
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

LRESULT CALLBACK ServicesWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<ServicesWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  ServicesWindow* self = FromWindow(window);
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT ServicesWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (!CreateControls()) {
        return -1;
      }
      openWindow = hwnd_;
      ShowRows();
      ShowSortArrows();
      ShowOffers();
      // The rest of the keys are read while nothing else waits: a timer comes after input and
      // painting, so the first screen shows and the window answers meanwhile.
      if (model_->Reading() && SetTimer(hwnd_, kReadTimer, USER_TIMER_MINIMUM, nullptr) == 0) {
        while (model_->Reading()) {
          model_->ReadMore();
        }
        ShowRows();
        ShowOffers();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kReadTimer) {
        OnReadTimer();
        return 0;
      }
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {Scaled(kServicesWindowMinWidth), Scaled(kServicesWindowMinHeight)};
      return 0;
    }
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == list_) {
        OnContextMenu(lParam);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == status_ && model_->Status().warning) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kWarningText);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_DESTROY: {
      WINDOWPLACEMENT placement = {};
      placement.length = sizeof placement;
      if (GetWindowPlacement(hwnd_, &placement)) {
        const RECT& frame = placement.rcNormalPosition;
        // Kept at 96 dpi, so that the window has the same size after the screen's changes.
        model_->SaveSize({MulDiv(frame.right - frame.left, 96, dpi_),
                          MulDiv(frame.bottom - frame.top, 96, dpi_)});
      }
      if (openWindow == hwnd_) {
        openWindow = nullptr;
      }
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      model_.reset();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND ServicesWindow::AddControl(DWORD exStyle, const wchar_t* className, const wchar_t* text,
                                DWORD style, int id) {
  HWND control =
      CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  return control;
}

// The main window's dialog font.
bool ServicesWindow::CreateControls() {
  font_ = SharedFont(FontSpec{}, dpi_);
  HWND label = AddControl(0, L"STATIC", L"筛选：", SS_LEFT, kFilterLabel);
  filter_ = AddControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kFilter);
  list_ = AddControl(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                     WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, kList);
  details_ =
      AddControl(WS_EX_CLIENTEDGE, L"EDIT", L"",
                 WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kDetails);
  for (StartChoice choice : model_->Choices()) {
    const std::wstring caption(ChoiceName(choice));
    choices_[static_cast<std::size_t>(choice)] =
        AddControl(0, L"BUTTON", caption.c_str(), WS_TABSTOP | BS_PUSHBUTTON,
                   kChoiceBase + static_cast<int>(choice));
  }
  refusal_ = AddControl(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kRefusal);
  status_ = AddControl(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kStatus);
  if (label == nullptr || filter_ == nullptr || list_ == nullptr || details_ == nullptr ||
      refusal_ == nullptr || status_ == nullptr) {
    return false;
  }
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int i = 0; i < kColumnCount; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.cx = Scaled(kColumns[i].width);
    column.iSubItem = i;
    if (SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column)) != i) {
      return false;
    }
  }
  sortArrows_ = DrawsSortArrows(list_);
  return true;
}

void ServicesWindow::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int margin = Scaled(kMargin);
  const int inner = std::max(0, width - 2 * margin);
  HWND label = GetDlgItem(hwnd_, kFilterLabel);
  MoveWindow(label, margin, margin + Scaled(4), Scaled(kFilterLabelWidth), Scaled(kEditHeight),
             TRUE);
  const int filterLeft = margin + Scaled(kFilterLabelWidth);
  MoveWindow(filter_, filterLeft, margin,
             std::max(0, std::min(Scaled(kFilterWidth), width - margin - filterLeft)),
             Scaled(kEditHeight), TRUE);
  const int listTop = Scaled(kListTop);
  const int listHeight = std::max(0, height - listTop - Scaled(kBottomHeight));
  MoveWindow(list_, margin, listTop, inner, listHeight, TRUE);
  int top = listTop + listHeight + margin;
  MoveWindow(details_, margin, top, inner, Scaled(kDetailsHeight), TRUE);
  top += Scaled(kDetailsHeight) + margin;
  int left = margin;
  for (StartChoice choice : model_->Choices()) {
    MoveWindow(choices_[static_cast<std::size_t>(choice)], left, top, Scaled(ButtonWidth(choice)),
               Scaled(kButtonHeight), TRUE);
    left += Scaled(ButtonWidth(choice) + kButtonGap);
  }
  top += Scaled(kButtonHeight + 4);
  MoveWindow(refusal_, margin, top, inner, Scaled(kTextHeight), TRUE);
  top += Scaled(kTextHeight + 2);
  MoveWindow(status_, margin, top, inner, Scaled(kTextHeight), TRUE);
}

LRESULT ServicesWindow::OnNotify(const NMHDR& header, LPARAM lParam) {
  if (header.hwndFrom != list_) {
    return 0;
  }
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
      if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 &&
          item.iItem >= 0 && item.iSubItem >= 0 && item.iSubItem < kColumnCount) {
        const std::wstring text = model_->CellText(static_cast<std::size_t>(item.iItem),
                                                   static_cast<ServiceColumn>(item.iSubItem));
        item.pszText[text.copy(item.pszText, static_cast<std::size_t>(item.cchTextMax) - 1)] = 0;
      }
      return 0;
    }
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
      if (column >= 0 && column < kColumnCount) {
        model_->OnHeaderClick(static_cast<ServiceColumn>(column));
        ShowSortArrows();
        ShowRows();
        ShowSelection();
      }
      return 0;
    }
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
      if ((change->uChanged & LVIF_STATE) != 0 &&
          ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) != 0) {
        ReadSelection();
      }
      return 0;
    }
    case LVN_ODSTATECHANGED:
      ReadSelection();
      return 0;
    default:
      return 0;
  }
}

void ServicesWindow::OnCommand(int id, int code) {
  if (id == kFilter && code == EN_CHANGE) {
    const int length = GetWindowTextLengthW(filter_);
    std::wstring text(static_cast<std::size_t>(std::max(0, length)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(filter_, &text[0], length + 1)));
    model_->SetFilter(text);
    ShowRows();
    ShowSelection();
    ShowOffers();
  } else if (id >= kChoiceBase && id < kChoiceBase + static_cast<int>(choices_.size()) &&
             (code == BN_CLICKED || code == 0)) {
    OnChoice(id);
  }
}

void ServicesWindow::OnChoice(int id) {
  const int top = ListView_GetTopIndex(list_);
  if (!model_->Choose(static_cast<StartChoice>(id - kChoiceBase))) {
    return;
  }
  ShowRows();
  ShowSelection();
  // The rows stay where they were on the screen.
  const int now = ListView_GetTopIndex(list_);
  RECT row;
  if (now != top && ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS)) {
    ListView_Scroll(list_, 0, (top - now) * (row.bottom - row.top));
  }
  ShowOffers();
}

// The menu holds the buttons' choices, each as the model offers it for the selection.
void ServicesWindow::OnContextMenu(LPARAM position) {
  ReadSelection();
  POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {
    // From the keyboard: at the first selected row, or at the list's corner.
    RECT row = {0, 0, 0, 0};
    const int first = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (first >= 0) {
      ListView_GetItemRect(list_, first, &row, LVIR_LABEL);
    }
    at = {row.left, row.bottom};
    ClientToScreen(list_, &at);
  }
  ScopedMenu menu(CreatePopupMenu());
  if (!menu) {
    return;
  }
  for (StartChoice choice : model_->Choices()) {
    const std::wstring caption(ChoiceName(choice));
    AppendMenuW(menu.get(), MF_STRING | (model_->Offer(choice).offered ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(kChoiceBase + static_cast<int>(choice)), caption.c_str());
  }
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_,
                 nullptr);
}

void ServicesWindow::ReadSelection() {
  if (showingSelection_) {
    return;
  }
  std::vector<std::size_t> rows;
  for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
    rows.push_back(static_cast<std::size_t>(row));
  }
  model_->Select(rows);
  ShowOffers();
}

// The rows read since are shown in their places; the selection follows its services. The list
// is painted again only when the rows on the screen changed: read in the order of the keys, the
// new rows mostly come below them.
void ServicesWindow::OnReadTimer() {
  const std::vector<std::wstring> shown = CellsOnScreen();
  model_->ReadMore();
  if (!model_->Reading()) {
    KillTimer(hwnd_, kReadTimer);
  }
  showingSelection_ = true;
  SendMessageW(list_, LVM_SETITEMCOUNT, model_->Count(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  showingSelection_ = false;
  if (CellsOnScreen() != shown) {
    InvalidateRect(list_, nullptr, FALSE);
  }
  if (!model_->SelectedRows().empty()) {
    ShowSelection();
  }
  ShowOffers();
}

std::vector<std::wstring> ServicesWindow::CellsOnScreen() const {
  std::vector<std::wstring> cells;
  const int top = ListView_GetTopIndex(list_);
  const int end =
      std::min(top + ListView_GetCountPerPage(list_) + 1, static_cast<int>(model_->Count()));
  for (int row = std::max(top, 0); row < end; ++row) {
    for (int column = 0; column < kColumnCount; ++column) {
      cells.push_back(
          model_->CellText(static_cast<std::size_t>(row), static_cast<ServiceColumn>(column)));
    }
  }
  return cells;
}

// A new count may change the list's selection, which holds the old rows' places.
void ServicesWindow::ShowRows() {
  showingSelection_ = true;
  SendMessageW(list_, LVM_SETITEMCOUNT, model_->Count(), LVSICF_NOSCROLL);
  showingSelection_ = false;
  InvalidateRect(list_, nullptr, FALSE);
}

void ServicesWindow::ShowSelection() {
  showingSelection_ = true;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  const std::vector<std::size_t> rows = model_->SelectedRows();
  for (std::size_t row : rows) {
    ListView_SetItemState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
  }
  if (!rows.empty()) {
    ListView_SetItemState(list_, static_cast<int>(rows.front()), LVIS_FOCUSED, LVIS_FOCUSED);
  }
  showingSelection_ = false;
}

void ServicesWindow::ShowSortArrows() {
  HWND header = ListView_GetHeader(list_);
  for (int i = 0; i < kColumnCount; ++i) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, i, &item)) {
      continue;
    }
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (sortArrows_ && i == static_cast<int>(model_->SortColumn())) {
      item.fmt |= model_->Ascending() ? HDF_SORTUP : HDF_SORTDOWN;
    }
    Header_SetItem(header, i, &item);
  }
}

void ServicesWindow::ShowOffers() {
  for (StartChoice choice : model_->Choices()) {
    EnableWindow(choices_[static_cast<std::size_t>(choice)], model_->Offer(choice).offered);
  }
  SetWindowTextW(refusal_, model_->RefusalText().c_str());
  SetWindowTextW(details_, model_->DetailsText().c_str());
  SetWindowTextW(status_, model_->Status().text.c_str());
  InvalidateRect(status_, nullptr, TRUE);
}

}  // namespace svctune::win
