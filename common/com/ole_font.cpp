#include "com/ole_font.h"

#include <cmath>

#include "com/variant.h"

namespace svctune::com {

ComPtr<IFontDisp> CreateFontObject(const FontSpec& spec) {
  Bstr name(spec.name);
  FONTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = name.get();
  description.cySize.int64 = static_cast<LONGLONG>(std::llround(spec.points * 10000.0));
  description.sWeight = static_cast<SHORT>(spec.bold ? FW_BOLD : FW_NORMAL);
  description.sCharset = spec.charset;
  description.fItalic = spec.italic;
  description.fUnderline = spec.underline;
  description.fStrikethrough = spec.strikethrough;
  ComPtr<IFontDisp> font;
  if (FAILED(OleCreateFontIndirect(&description, IID_IFontDisp, font.ReceiveVoid()))) {
    return ComPtr<IFontDisp>();
  }
  return font;
}

FontSpec DescribeFont(IUnknown* font, const FontSpec& fallback) {
  if (font == nullptr) {
    return fallback;
  }
  ComPtr<IFont> object;
  if (FAILED(font->QueryInterface(IID_IFont, object.ReceiveVoid())) || !object) {
    return fallback;
  }
  FontSpec spec = fallback;
  Bstr name;
  CY size{};
  BOOL bold = FALSE;
  BOOL italic = FALSE;
  BOOL underline = FALSE;
  BOOL strikethrough = FALSE;
  SHORT charset = 0;
  if (SUCCEEDED(object->get_Name(name.Receive()))) {
    spec.name = name.str();
  }
  if (SUCCEEDED(object->get_Size(&size))) {
    spec.points = static_cast<double>(size.int64) / 10000.0;
  }
  if (SUCCEEDED(object->get_Bold(&bold))) {
    spec.bold = bold != FALSE;
  }
  if (SUCCEEDED(object->get_Italic(&italic))) {
    spec.italic = italic != FALSE;
  }
  if (SUCCEEDED(object->get_Underline(&underline))) {
    spec.underline = underline != FALSE;
  }
  if (SUCCEEDED(object->get_Strikethrough(&strikethrough))) {
    spec.strikethrough = strikethrough != FALSE;
  }
  if (SUCCEEDED(object->get_Charset(&charset))) {
    spec.charset = charset;
  }
  return spec;
}

win::ScopedFont CreateGdiFont(const FontSpec& spec) {
  int dpi = 96;
  {
    win::WindowDc screen(nullptr);
    if (screen.get() != nullptr) {
      dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
  }
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(spec.points * dpi / 72.0));
  description.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = spec.italic ? TRUE : FALSE;
  description.lfUnderline = spec.underline ? TRUE : FALSE;
  description.lfStrikeOut = spec.strikethrough ? TRUE : FALSE;
  description.lfCharSet = static_cast<BYTE>(spec.charset);
  description.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(description.lfFaceName, spec.name.c_str(), LF_FACESIZE);
  return win::ScopedFont(CreateFontIndirectW(&description));
}

}  // namespace svctune::com
