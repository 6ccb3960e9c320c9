#include "win/app_windows.h"

#include <windows.h>

#include <commctrl.h>

namespace svctune::win {
namespace {

int openWindows = 0;
constexpr UINT_PTR kTrackingId = 0x5356;
// Marks a window that is counted already (GetWindowSubclass has no import in every MinGW
// comctl32 library).
constexpr const wchar_t* kTrackedProperty = L"svctune.tracked";

LRESULT CALLBACK TrackedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, TrackedWindowProc, id);
    RemovePropW(window, kTrackedProperty);
    TopLevelWindowClosed();
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void TopLevelWindowOpened() {
  ++openWindows;
}

void TopLevelWindowClosed() {
  if (openWindows > 0 && --openWindows == 0) {
    PostQuitMessage(0);
  }
}

void TrackTopLevelWindow(HWND window) {
  if (window == nullptr || GetPropW(window, kTrackedProperty) != nullptr ||
      !SetPropW(window, kTrackedProperty, reinterpret_cast<HANDLE>(1))) {
    return;
  }
  if (SetWindowSubclass(window, TrackedWindowProc, kTrackingId, 0)) {
    TopLevelWindowOpened();
  } else {
    RemovePropW(window, kTrackedProperty);
  }
}

}  // namespace svctune::win
