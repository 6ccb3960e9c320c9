#include "com/ole_font.h"

#include <cmath>

#include "com/variant.h"

namespace svctune::com {

ComPtr<IFontDisp> CreateFontObject(const FontSpec& font) {
  Bstr name(font.name);
  FONTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = name.get();
  description.cySize.int64 = static_cast<LONGLONG>(std::llround(font.points * 10000.0));
  description.sWeight = static_cast<SHORT>(font.bold ? FW_BOLD : FW_NORMAL);
  description.sCharset = font.charset;
  description.fItalic = font.italic;
  description.fUnderline = font.underline;
  description.fStrikethrough = font.strikethrough;
  ComPtr<IFontDisp> object;
  if (FAILED(OleCreateFontIndirect(&description, IID_IFontDisp, object.ReceiveVoid()))) {
    return ComPtr<IFontDisp>();
  }
  return object;
}

FontSpec DescribeFont(IUnknown* font, const FontSpec& fallback) {
  if (font == nullptr) {
    return fallback;
  }
  ComPtr<IFont> object;
  if (FAILED(font->QueryInterface(IID_IFont, object.ReceiveVoid())) || !object) {
    return fallback;
  }
  FontSpec described = fallback;
  Bstr name;
  CY size{};
  BOOL bold = FALSE;
  BOOL italic = FALSE;
  BOOL underline = FALSE;
  BOOL strikethrough = FALSE;
  SHORT charset = 0;
  if (SUCCEEDED(object->get_Name(name.Receive()))) {
    described.name = name.str();
  }
  if (SUCCEEDED(object->get_Size(&size))) {
    described.points = static_cast<double>(size.int64) / 10000.0;
  }
  if (SUCCEEDED(object->get_Bold(&bold))) {
    described.bold = bold != FALSE;
  }
  if (SUCCEEDED(object->get_Italic(&italic))) {
    described.italic = italic != FALSE;
  }
  if (SUCCEEDED(object->get_Underline(&underline))) {
    described.underline = underline != FALSE;
  }
  if (SUCCEEDED(object->get_Strikethrough(&strikethrough))) {
    described.strikethrough = strikethrough != FALSE;
  }
  if (SUCCEEDED(object->get_Charset(&charset))) {
    described.charset = charset;
  }
  return described;
}

win::ScopedFont CreateGdiFont(const FontSpec& font) {
  int dpi = 96;
  {
    win::WindowDc screen(nullptr);
    if (screen.get() != nullptr) {
      dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
  }
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.italic ? TRUE : FALSE;
  description.lfUnderline = font.underline ? TRUE : FALSE;
  description.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
  description.lfCharSet = static_cast<BYTE>(font.charset);
  description.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(description.lfFaceName, font.name.c_str(), LF_FACESIZE);
  return win::ScopedFont(CreateFontIndirectW(&description));
}

}  // namespace svctune::com
