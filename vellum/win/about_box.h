#pragma once

#include <windows.h>

namespace svctune::vellum {

// FrmAbout: shows the library's about box as a modal window over owner and returns when it
// has been closed.
void ShowAboutBox(HWND owner);

}  // namespace svctune::vellum
