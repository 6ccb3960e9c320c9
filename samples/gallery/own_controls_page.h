#pragma once

#include <windows.h>

#include "page_window.h"

namespace svctune::gallery {

// The program's own controls: two XPOption check boxes and two gradient ProgressBar panels.
HWND CreateOwnControlsPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log);

}  // namespace svctune::gallery
