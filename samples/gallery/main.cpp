// The control gallery: every control of the two ActiveX libraries and the program's own controls
// at work, with a live event log. The libraries must be registered (regsvr32).
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "gallery_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (FAILED(OleInitialize(nullptr))) {
    return 1;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int exitCode = 1;
  {
    svctune::gallery::GalleryWindow gallery(instance);
    if (gallery.Create(showCommand)) {
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(gallery.hwnd(), &message)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      }
      exitCode = static_cast<int>(message.wParam);
    }
  }
  OleUninitialize();
  return exitCode;
}
