#pragma once

#include <windows.h>

#include "controls/qx_buttons_h.h"
#include "controls/win/qx_picture.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The outline of a button: the window region (given to the window) and the outer and inner
// regions the ellipse family and the custom shapes clip their face to.
struct QxRegions {
  ScopedRegion window;
  ScopedRegion outer;
  ScopedRegion inner;
};

// Builds the regions of the model's shape for a W x H button. Empty regions where the system
// refuses one (the button then keeps the rectangle).
QxRegions BuildRegions(const qxButtons_H& model, int width, int height, const OlePicture* picture);

// What one redraw paints with.
struct QxPaintInput {
  HDC dc = nullptr;  // the off-screen surface, W x H
  int width = 0;
  int height = 0;
  HRGN windowRegion = nullptr;
  HRGN outerRegion = nullptr;
  HRGN innerRegion = nullptr;
  HFONT font = nullptr;
  const OlePicture* picture = nullptr;
  int screenWidth = 0;
  int screenHeight = 0;
};

// Paints the whole button into the surface: ring, fill or gradient, caption and picture,
// edges, default marking and the outlines of the ellipse family and the custom shapes.
// False when the system refused a step it needed.
bool PaintQxButton(const qxButtons_H& model, const QxPaintInput& input);

// The caption's size drawn with word breaks in the font, within maxWidth x maxHeight.
PixelPoint MeasureCaption(HDC dc, HFONT font, const std::wstring& text, int maxWidth,
                          int maxHeight);

}  // namespace svctune::win
