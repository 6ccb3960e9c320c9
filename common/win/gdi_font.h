#pragma once

#include <windows.h>

#include "ui/property_bag.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The GDI font of a persisted font at the given resolution (dots per inch); empty when the
// system refuses it.
ScopedFont CreateFontFrom(const FontSpec& persisted, int dpi);

// The one GDI font of the process for a persisted font at the given resolution, made on first
// use and kept until the process (or the module) ends; windows share it rather than each
// making its own. Null when the system refuses it. The caller must not delete it.
HFONT SharedFont(const FontSpec& persisted, int dpi);

// The persisted form of a GDI font description.
FontSpec FontSpecFrom(const LOGFONTW& font, int dpi);

// Whether the system has the face a font asks for, rather than a substitute.
bool FontHasFace(HFONT font, const wchar_t* face);

// Dots per inch of the screen, vertically (96 when the screen cannot be asked).
int ScreenDpi();

}  // namespace svctune::win
