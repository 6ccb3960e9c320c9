#pragma once

#include <windows.h>

#include "scene/scene.h"
#include "ui/colour.h"

namespace svctune::com {

// The current RGB value of an OLE colour (system colours through GetSysColor).
COLORREF ToColorRef(OleColour colour);

// Measures captions with GDI at the screen's resolution, in twips.
scene::Size MeasureText(const std::wstring& text, const FontSpec& font);

// Draws a control's surface and its child elements into dc, the surface's top-left corner at
// origin (pixels).
void PaintScene(HDC dc, POINT origin, SIZE surfaceSize, OleColour surfaceColour,
                const scene::Scene& scene);

}  // namespace svctune::com
