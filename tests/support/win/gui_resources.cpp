#include "win/gui_resources.h"

#include <windows.h>

namespace svctune::testing {

namespace {

// Wine keeps the GDI handles of a process in a table of 65536 slots and accepts a handle
// without its generation bits, so asking every slot for its object type finds each object.
long CountGdiObjectsBySlot() {
  long count = 0;
  for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) {
      ++count;
    }
  }
  return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<long*>(counter);
  return TRUE;
}

BOOL CALLBACK CountOwnTopLevel(HWND window, LPARAM counter) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, &CountChild, counter);
  }
  return TRUE;
}

long CountOwnWindows() {
  long count = 0;
  EnumWindows(&CountOwnTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

GuiObjectCounts CurrentGuiObjectCounts() {
  const HANDLE process = GetCurrentProcess();
  const auto gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
  if (gdi != 0) {
    return {gdi, static_cast<long>(GetGuiResources(process, GR_USEROBJECTS))};
  }
  return {CountGdiObjectsBySlot(), CountOwnWindows()};
}

}  // namespace svctune::testing
