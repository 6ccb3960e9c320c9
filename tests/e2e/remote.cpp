// svctune-remote: drives a running svctune.exe (or another program of ours, named by the class
// of its main window) from scripts, as a user would.
//   svctune-remote wait-ready [CLASS]  waits until the main window is shown and takes input
//   svctune-remote close [CLASS]       closes the main window with the system close command and
//                                      waits until it is gone (its shutdown has run)
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "automation.h"

namespace {

using namespace svctune::automation;
using std::chrono::seconds;

const wchar_t* mainWindowClass = L"svctune.formhome";

HWND FindMainWindow() {
  return FindWindowW(mainWindowClass, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 3) {
    std::fwprintf(stderr, L"usage: svctune-remote wait-ready|close [CLASS]\n");
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
  std::fwprintf(stderr, L"unknown command: %ls\n", argv[1]);
  return 2;
}
