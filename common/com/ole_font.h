#pragma once

#include <ocidl.h>
#include <olectl.h>

#include "com/com_ptr.h"
#include "ui/property_bag.h"
#include "win/scoped_gdi.h"

namespace svctune::com {

// A standard font object (StdFont) with the given description; null when it cannot be made.
ComPtr<IFontDisp> CreateFontObject(const FontSpec& font);
// The description of a font object; fallback when the object is null or cannot say.
FontSpec DescribeFont(IUnknown* font, const FontSpec& fallback);
// A GDI font for drawing text with the description at the screen's resolution.
win::ScopedFont CreateGdiFont(const FontSpec& font);

}  // namespace svctune::com
