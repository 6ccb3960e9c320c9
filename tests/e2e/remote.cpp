// svctune-remote: drives a running svctune.exe (or another program of ours, named by the class
// of its main window) from scripts, as a user would.
//   svctune-remote wait-ready [CLASS]  waits until the main window is shown and takes input
//   svctune-remote close [CLASS]       closes the main window with the system close command and
//                                      waits until it is gone (its shutdown has run)
//   svctune-remote check-gate          opens the access gate from "设置密码", checks that the
//                                      Vellum skin frames it and that its three Lamina buttons
//                                      are hosted, and closes it again
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "automation.h"

namespace {

using namespace svctune::automation;
using std::chrono::seconds;

const wchar_t* mainWindowClass = L"svctune.formhome";
constexpr const wchar_t* kGateClass = L"svctune.passs";
constexpr const wchar_t* kInitialPasswordNotice = L"请输入初始密码";
// LblCap index 4, the main window's "设置密码" link.
constexpr int kLblCap4 = 2304;

HWND FindMainWindow() {
  return FindWindowW(mainWindowClass, nullptr);
}

int CheckGate() {
  HWND main = FindMainWindow();
  DWORD processId = 0;
  if (main == nullptr || GetWindowThreadProcessId(main, &processId) == 0) {
    std::fwprintf(stderr, L"check-gate: svctune is not running\n");
    return 1;
  }
  HWND link = FindDescendant(main, kLblCap4);
  if (link == nullptr || TextOf(link) != L"设置密码") {
    std::fwprintf(stderr, L"check-gate: the main window has no \"设置密码\" link\n");
    return 1;
  }
  Click(link);

  // Without a stored gate password the gate first asks for the initial one; any other message
  // box (a control library that could not be created, for one) is a failure.
  std::wstring unexpected;
  HWND gate = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> boxes = TopLevelWindows(processId, L"#32770");
        if (!boxes.empty()) {
          const MessageBoxInfo box{boxes.front(), TextOf(boxes.front()),
                                   TextOf(GetDlgItem(boxes.front(), 0xFFFF))};
          if (box.text != kInitialPasswordNotice) {
            unexpected = box.text;
            return true;
          }
          Acknowledge(box);
          return false;
        }
        const std::vector<HWND> gates = TopLevelWindows(processId, kGateClass);
        gate = gates.empty() ? nullptr : gates.front();
        return gate != nullptr;
      },
      seconds(30));
  if (!unexpected.empty()) {
    std::fwprintf(stderr, L"check-gate: message box \"%ls\"\n", unexpected.c_str());
    return 1;
  }
  if (gate == nullptr) {
    std::fwprintf(stderr, L"check-gate: the gate did not open\n");
    return 1;
  }
  const auto skins = static_cast<unsigned>(Children(gate, L"VellumCorvidForm").size());
  const auto buttons = static_cast<unsigned>(Children(gate, L"LaminaButton").size());
  SystemClose(gate);
  const bool closed = WaitUntil([&] { return !IsWindow(gate); }, seconds(10));
  if (skins != 1 || buttons != 3 || !closed) {
    std::fwprintf(stderr, L"check-gate: %u skin(s), %u flat button(s), %ls\n", skins, buttons,
                  closed ? L"closed" : L"still open");
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 3) {
    std::fwprintf(stderr, L"usage: svctune-remote wait-ready|close [CLASS] | check-gate\n");
    return 2;
  }
  if (argc == 3) {
    mainWindowClass = argv[2];
  }
  if (std::wcscmp(argv[1], L"wait-ready") == 0) {
    const bool ready = WaitUntil(
        [] {
          HWND window = FindMainWindow();
          return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window);
        },
        seconds(60));
    return ready ? 0 : 1;
  }
  if (std::wcscmp(argv[1], L"close") == 0) {
    HWND window = FindMainWindow();
    if (window == nullptr) {
      return 1;
    }
    SystemClose(window);
    return WaitUntil([] { return FindMainWindow() == nullptr; }, seconds(60)) ? 0 : 1;
  }
  if (std::wcscmp(argv[1], L"check-gate") == 0) {
    return CheckGate();
  }
  std::fwprintf(stderr, L"unknown command: %ls\n", argv[1]);
  return 2;
}
