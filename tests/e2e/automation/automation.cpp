#include "automation.h"

#include <utility>

namespace svctune::automation {

Process::~Process() {
  if (process_ != nullptr) {
    if (Running()) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
}

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Process discarded(std::move(*this));
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

std::optional<Process> Process::Start(const std::wstring& program) {
  const auto slash = program.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : program.substr(0, slash);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  Process process;
  process.process_ = info.hProcess;
  process.id_ = info.dwProcessId;
  return process;
}

bool Process::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(milliseconds timeout) const {
  if (process_ == nullptr ||
      WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) {
      return true;
    }
    if (GetTickCount() - start > static_cast<DWORD>(timeout.count())) {
      return false;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    Sleep(20);
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevelWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId && IsWindowVisible(window) &&
      (search.className == nullptr || ClassOf(window) == search.className) &&
      (search.title == nullptr || TextOf(window) == search.title)) {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, const wchar_t* title) {
  WindowSearch search{processId, className, title, {}};
  EnumWindows(CollectTopLevelWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                           milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = TopLevelWindows(processId, className, title);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeout);
  return found;
}

RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<HWND> Children(HWND parent, const wchar_t* className, const wchar_t* text) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((className == nullptr || ClassOf(child) == className) &&
        (text == nullptr || TextOf(child) == text)) {
      children.push_back(child);
    }
  }
  return children;
}

HWND FindDescendant(HWND root, int controlId) {
  for (HWND child = GetWindow(root, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == controlId) {
      return child;
    }
    if (HWND found = FindDescendant(child, controlId)) {
      return found;
    }
  }
  return nullptr;
}

void ClickButton(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
}

void ClickAt(HWND window, int x, int y) {
  const LPARAM position = MAKELPARAM(x, y);
  PostMessageW(window, WM_MOUSEMOVE, 0, position);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, position);
  PostMessageW(window, WM_LBUTTONUP, 0, position);
}

void Click(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  ClickAt(window, client.right / 2, client.bottom / 2);
}

void TypeText(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) {
    SendMessageW(edit, WM_CHAR, c, 1);
  }
}

void PressKey(HWND window, UINT virtualKey) {
  // The program's message loop translates the key into its character, as for a real key.
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001));
}

void ChooseComboItem(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK);
  SendMessageW(GetParent(combo), WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
}

void SystemClose(HWND window) {
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

int CheckState(HWND button) {
  return static_cast<int>(SendMessageW(button, BM_GETCHECK, 0, 0));
}

bool IsEnabled(HWND window) {
  return IsWindowEnabled(window) != FALSE;
}

bool IsVisible(HWND window) {
  return IsWindowVisible(window) != FALSE;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, milliseconds timeout) {
  HWND box = WaitForTopLevelWindow(processId, L"#32770", nullptr, timeout);
  if (box == nullptr) {
    return std::nullopt;
  }
  MessageBoxInfo info;
  info.window = box;
  info.title = TextOf(box);
  if (HWND text = GetDlgItem(box, 0xFFFF)) {
    info.text = TextOf(text);
  }
  return info;
}

void Acknowledge(const MessageBoxInfo& box) {
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
  WaitUntil([&] { return !IsWindow(box.window); }, std::chrono::seconds(10));
}

}  // namespace svctune::automation
