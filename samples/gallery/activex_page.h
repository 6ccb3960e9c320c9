#pragma once

#include <windows.h>

#include "page_window.h"

namespace svctune::gallery {

// Two of each Lamina control, with different settings, in one page.
HWND CreateLaminaPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log);

// Two Vellum.CorvidForm frames with different captions.
HWND CreateVellumPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log);

}  // namespace svctune::gallery
