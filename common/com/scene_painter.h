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
// origin (pixels). A surface picture, when given, is drawn at its own size at the surface's
// top-left corner, above the surface colour and below the child elements.
void PaintScene(HDC dc, POINT origin, SIZE surfaceSize, OleColour surfaceColour,
                const scene::Scene& scene, HICON surfacePicture = nullptr);

}  // namespace svctune::com
