#include "win/gdi_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/twips.h"
#include "win/critical_section.h"

namespace svctune::win {

ScopedFont CreateFontFrom(const FontSpec& persisted, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(persisted.points * dpi / 72.0));
  font.lfWeight = persisted.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = persisted.italic ? TRUE : FALSE;
  font.lfUnderline = persisted.underline ? TRUE : FALSE;
  font.lfStrikeOut = persisted.strikethrough ? TRUE : FALSE;
  font.lfCharSet = static_cast<BYTE>(persisted.charset);
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::size_t nameLength = std::min<std::size_t>(persisted.name.size(), LF_FACESIZE - 1);
  std::copy_n(persisted.name.begin(), nameLength, font.lfFaceName);
  return ScopedFont(CreateFontIndirectW(&font));
}

HFONT SharedFont(const FontSpec& persisted, int dpi) {
  struct Made {
    FontSpec description;
    int dpi;
    ScopedFont font;
  };
  static CriticalSection guard;
  static std::vector<Made> fonts;
  const CriticalSectionLock lock(guard);
  for (const Made& made : fonts) {
    if (made.dpi == dpi && made.description == persisted) {
      return made.font.get();
    }
  }
  ScopedFont font = CreateFontFrom(persisted, dpi);
  if (!font) {
    return nullptr;
  }
  fonts.push_back({persisted, dpi, std::move(font)});
  return fonts.back().font.get();
}

FontSpec FontSpecFrom(const LOGFONTW& font, int dpi) {
  FontSpec persisted;
  persisted.name = font.lfFaceName;
  // The height in pixels, taken as the character height whatever its sign, becomes points
  // kept to two decimals.
  const double points = std::abs(static_cast<double>(font.lfHeight)) * 72.0 / dpi;
  persisted.points = std::round(points * 100.0) / 100.0;
  persisted.bold = font.lfWeight >= FW_BOLD;
  persisted.italic = font.lfItalic != 0;
  persisted.underline = font.lfUnderline != 0;
  persisted.strikethrough = font.lfStrikeOut != 0;
  persisted.charset = font.lfCharSet;
  return persisted;
}

bool FontHasFace(HFONT font, const wchar_t* face) {
  if (font == nullptr) {
    return false;
  }
  const WindowDc screen(nullptr);
  if (screen.get() == nullptr) {
    return false;
  }
  const SelectedObject selected(screen.get(), font);
  wchar_t selectedFace[LF_FACESIZE] = {};
  return GetTextFaceW(screen.get(), LF_FACESIZE, selectedFace) > 0 &&
         lstrcmpiW(selectedFace, face) == 0;
}

int ScreenDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace svctune::win
