#include "owner_drawn_page.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "controls/win/qx_buttons_h_view.h"
#include "win/window_class.h"

namespace {

using svctune::OleDataObject;
using svctune::qxButtons_H;
using svctune::qxButtons_HEvents;
using svctune::win::qxButtons_HView;

constexpr const wchar_t* kPageClass = L"svctune.OwnerDrawnPage";
constexpr int kGap = 6;
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 30;

// The page's buttons and its log; owned by the panel window.
struct Page {
  std::vector<std::unique_ptr<qxButtons_HView>> buttons;
  std::function<void(const std::wstring&)> log;
  int nextLeft = kGap;
  int nextTop = kGap;
  int width = 0;
};

std::wstring ArtFolder() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) {
    return L"art\\";
  }
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"art\\";
}

template <typename... Args>
std::wstring Line(const std::wstring& name, const wchar_t* event, const Args&... args) {
  std::wostringstream line;
  line << name << L'.' << event;
  if constexpr (sizeof...(Args) > 0) {
    line << L'(';
    const wchar_t* separator = L"";
    ((line << separator << args, separator = L", "), ...);
    line << L')';
  }
  return line.str();
}

// The data of a drag as the log shows it: its text, or its formats when it has none yet.
std::wstring Describe(const OleDataObject& data) {
  for (const std::int16_t format : {svctune::kFormatUnicodeText, svctune::kFormatText}) {
    if (const auto text = data.GetData(format)) {
      return L'"' + *text + L'"';
    }
  }
  std::wstring formats = L"Data[";
  for (const std::int16_t format : {svctune::kFormatText, svctune::kFormatUnicodeText}) {
    if (data.GetFormat(format)) {
      formats += (formats.back() == L'[' ? L"" : L" ") + std::to_wstring(format);
    }
  }
  return formats + L']';
}

// Sends every event of the button to the page's log.
void LogEvents(qxButtons_HEvents& events, const std::wstring& name,
               const std::function<void(const std::wstring&)>& log) {
  const auto mouse = [name, log](const wchar_t* event) {
    return [name, log, event](std::int16_t& button, std::int16_t& shift, float& x, float& y) {
      log(Line(name, event, button, shift, x, y));
    };
  };
  events.MouseDown = mouse(L"MouseDown");
  events.MouseUp = mouse(L"MouseUp");
  events.MouseMove = mouse(L"MouseMove");
  events.KeyDown = [name, log](std::int16_t& keyCode, std::int16_t& shift) {
    log(Line(name, L"KeyDown", keyCode, shift));
  };
  events.KeyPress = [name, log](std::int16_t& keyAscii) { log(Line(name, L"KeyPress", keyAscii)); };
  events.KeyUp = [name, log](std::int16_t& keyCode, std::int16_t& shift) {
    log(Line(name, L"KeyUp", keyCode, shift));
  };
  events.MouseOnButton = [name, log](bool& onButton) {
    log(Line(name, L"MouseOnButton", onButton ? L"True" : L"False"));
  };
  events.Click = [name, log] { log(Line(name, L"Click")); };
  events.DoubleClick = [name, log](std::int16_t& button) {
    log(Line(name, L"DoubleClick", button));
  };
  events.OLECompleteDrag = [name, log](std::int32_t& effect) {
    log(Line(name, L"OLECompleteDrag", effect));
  };
  events.OLEDragDrop = [name, log](OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                                   std::int16_t& shift, float& x, float& y) {
    log(Line(name, L"OLEDragDrop", Describe(data), effect, button, shift, x, y));
  };
  events.OLEDragOver = [name, log](OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                                   std::int16_t& shift, float& x, float& y, std::int16_t& state) {
    log(Line(name, L"OLEDragOver", Describe(data), effect, button, shift, x, y, state));
  };
  events.OLEGiveFeedback = [name, log](std::int32_t& effect, bool& defaultCursors) {
    log(Line(name, L"OLEGiveFeedback", effect, defaultCursors ? L"True" : L"False"));
  };
  events.OLESetData = [name, log](OleDataObject& data, std::int16_t& dataFormat) {
    log(Line(name, L"OLESetData", Describe(data), dataFormat));
  };
  events.OLEStartDrag = [name, log](OleDataObject& data, std::int32_t& allowedEffects) {
    log(Line(name, L"OLEStartDrag", Describe(data), allowedEffects));
  };
}

// Lets the button be dragged: leaving the system's drag rectangle with the left button held
// starts an OLE drag of its caption, as text at once and as Unicode text declared only and
// set when a drop target asks for it. Every button of the page takes drops.
void MakeDragSource(qxButtons_HView& view) {
  qxButtons_HEvents& events = view.Model().Events();
  auto pressedAt = std::make_shared<std::optional<POINT>>();
  events.MouseDown = [logged = events.MouseDown, pressedAt](
                         std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    logged(button, shift, x, y);
    if (button == 1) {
      *pressedAt = POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    }
  };
  events.MouseMove = [logged = events.MouseMove, pressedAt, &view](
                         std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    logged(button, shift, x, y);
    if ((button & 1) == 0) {
      pressedAt->reset();
      return;
    }
    if (*pressedAt &&
        (std::abs(static_cast<LONG>(x) - (*pressedAt)->x) > GetSystemMetrics(SM_CXDRAG) ||
         std::abs(static_cast<LONG>(y) - (*pressedAt)->y) > GetSystemMetrics(SM_CYDRAG))) {
      pressedAt->reset();
      view.OLEDrag();
    }
  };
  qxButtons_H& model = view.Model();
  events.OLEStartDrag = [logged = events.OLEStartDrag, &model](OleDataObject& data,
                                                               std::int32_t& allowedEffects) {
    data.SetData(svctune::kFormatText, model.Caption());
    data.SetData(svctune::kFormatUnicodeText, std::nullopt);
    logged(data, allowedEffects);
  };
  events.OLESetData = [logged = events.OLESetData, &model](OleDataObject& data,
                                                           std::int16_t& dataFormat) {
    logged(data, dataFormat);
    data.SetData(dataFormat, model.Caption());
  };
}

// Adds a button at the next place of the flowing layout; null when it cannot be made.
qxButtons_HView* AddButton(HINSTANCE instance, HWND panel, Page& page, const std::wstring& caption,
                           int width = kButtonWidth) {
  if (page.nextLeft + width > page.width && page.nextLeft > kGap) {
    page.nextLeft = kGap;
    page.nextTop += kButtonHeight + kGap + 10;
  }
  const int number = static_cast<int>(page.buttons.size()) + 1;
  const std::wstring name = L"qxButton" + std::to_wstring(number);
  const RECT place{page.nextLeft, page.nextTop, page.nextLeft + width,
                   page.nextTop + kButtonHeight};
  auto view = qxButtons_HView::Create(instance, panel, 1000 + number, place, nullptr, name);
  if (!view) {
    return nullptr;
  }
  LogEvents(view->Model().Events(), name, page.log);
  view->Model().DelayDrawing(true);
  view->Model().SetCaption(caption);
  view->Model().DelayDrawing(false);
  RECT actual{};
  GetWindowRect(view->hwnd(), &actual);
  page.nextLeft += (actual.right - actual.left) + kGap;
  page.buttons.push_back(std::move(view));
  return page.buttons.back().get();
}

void Populate(HINSTANCE instance, HWND panel, Page& page) {
  const std::wstring art = ArtFolder();
  for (int shape = 0; shape <= 8; ++shape) {
    qxButtons_HView* button = AddButton(instance, panel, page, L"Shape &" + std::to_wstring(shape));
    if (button == nullptr) {
      continue;
    }
    if (shape >= 7) {
      button->LoadPictureFile(art + L"picture.bmp");
    }
    button->Model().SetButtonShape(shape);
  }
  page.nextLeft = page.width;
  for (int style = 0; style <= 7; ++style) {
    if (qxButtons_HView* button =
            AddButton(instance, panel, page, L"Style " + std::to_wstring(style))) {
      button->Model().SetButtonStyle(style);
      if (style == 4) {
        button->Model().SetGradientMode(3);
        button->Model().SetGradientColor(0xC08040);
      }
    }
  }
  page.nextLeft = page.width;
  for (int i = 1; i <= 3; ++i) {
    if (qxButtons_HView* button =
            AddButton(instance, panel, page, L"Check " + std::to_wstring(i))) {
      button->Model().SetMode(1);
    }
  }
  for (int i = 1; i <= 3; ++i) {
    if (qxButtons_HView* button =
            AddButton(instance, panel, page, L"Option " + std::to_wstring(i))) {
      button->Model().SetMode(2);
      button->Model().SetButtonStyle(1);
    }
  }
  page.nextLeft = page.width;
  const struct {
    const wchar_t* caption;
    const wchar_t* file;
  } pictures[] = {{L"Bitmap", L"picture.bmp"},
                  {L"JPEG", L"picture.jpg"},
                  {L"Icon", L"picture.ico"},
                  {L"Cursor", L"pointer.cur"}};
  for (const auto& picture : pictures) {
    if (qxButtons_HView* button = AddButton(instance, panel, page, picture.caption, 110)) {
      button->LoadPictureFile(art + picture.file);
      MakeDragSource(*button);
    }
  }
  if (qxButtons_HView* button = AddButton(instance, panel, page, L"Disabled", 110)) {
    button->LoadPictureFile(art + L"picture.bmp");
    button->Model().SetEnabled(false);
  }
  page.nextLeft = page.width;
  if (qxButtons_HView* button = AddButton(instance, panel, page, L"确定")) {
    button->SetDefault(true);
  }
  if (qxButtons_HView* button = AddButton(instance, panel, page, L"取消")) {
    button->SetCancel(true);
  }
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The arrow keys the buttons pass on move the focus through the page, and Enter and Escape
  // that the dialog manager reports reach the default and the cancel button.
  LRESULT result = 0;
  if (qxButtons_HView::HandleContainerMessage(window, message, wParam, lParam, result)) {
    return result;
  }
  switch (message) {
    case WM_NCDESTROY:
      delete reinterpret_cast<Page*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateOwnerDrawnPage(HINSTANCE instance, HWND parent, const RECT& area,
                          std::function<void(const std::wstring&)> log) {
  WNDCLASSEXW windowClass = svctune::win::WindowClass(instance, kPageClass, &PageProc);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  if (!svctune::win::EnsureWindowClass(windowClass)) {
    return nullptr;
  }
  const HWND panel = CreateWindowExW(
      WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, area.left,
      area.top, area.right - area.left, area.bottom - area.top, parent, nullptr, instance, nullptr);
  if (panel == nullptr) {
    return nullptr;
  }
  auto page = std::make_unique<Page>();
  page->log = log ? std::move(log) : [](const std::wstring&) {};
  page->width = area.right - area.left;
  SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page.get()));
  // The panel owns the page from here and deletes it with itself.
  Page& owned = *page.release();
  Populate(instance, panel, owned);
  return panel;
}
