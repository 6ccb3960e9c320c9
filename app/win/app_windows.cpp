#include "win/app_windows.h"

#include <windows.h>

#include <commctrl.h>

namespace svctune::win {
namespace {

int openWindows = 0;
constexpr UINT_PTR kTrackingId = 0x5356;

LRESULT CALLBACK TrackedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, TrackedWindowProc, id);
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
  DWORD_PTR data = 0;
  if (window != nullptr && !GetWindowSubclass(window, TrackedWindowProc, kTrackingId, &data) &&
      SetWindowSubclass(window, TrackedWindowProc, kTrackingId, 0)) {
    TopLevelWindowOpened();
  }
}

}  // namespace svctune::win
