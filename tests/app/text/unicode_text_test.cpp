#include "text/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

namespace svctune {
namespace {

// Text the files carry beyond code page 936 survives each encoding, characters outside the
// basic plane included; what cannot be decoded becomes U+FFFD and nothing after it is lost.
TEST(UnicodeText, EncodesAndDecodesWithoutLoss) {
  std::wstring text = L"Alerter 服务 ☃ ";
  if (sizeof(wchar_t) == 2) {
    text += L"\xD83D\xDE00";
  } else {
    text += static_cast<wchar_t>(0x1F600);
  }
  EXPECT_EQ("Alerter \xE6\x9C\x8D\xE5\x8A\xA1 \xE2\x98\x83 \xF0\x9F\x98\x80", ToUtf8(text));
  EXPECT_EQ(text, FromUtf8(ToUtf8(text)));
  const std::string utf16 = ToUtf16Le(text);
  EXPECT_EQ(std::string("\x3D\xD8\x00\xDE", 4), utf16.substr(utf16.size() - 4));
  EXPECT_EQ(text, FromUtf16(utf16, false));

  // An overlong form and an encoded surrogate: each byte that starts nothing valid is one U+FFFD.
  EXPECT_EQ(
      L"a\xFFFD\xFFFD"
      L"b\xFFFD\xFFFD\xFFFD"
      L"c",
      FromUtf8("a\xC0\xAF"
               "b\xED\xA0\x80"
               "c"));
  EXPECT_EQ(
      L"a\xFFFD"
      L"b",
      FromUtf16(std::string("a\0\x00\xD8"
                            "b\0",
                            6),
                false));
  EXPECT_EQ(L"ab\xFFFD", FromUtf16(std::string("\0a\0b\0", 5), true));
  EXPECT_EQ("\xEF\xBF\xBD", ToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00))));
}

TEST(UnicodeText, UpperCasesAsciiLettersOnly) {
  EXPECT_EQ(L"SERVICE GENERAL SETTING 服务 é", AsciiUpper(L"Service general SETTING 服务 é"));
}

}  // namespace
}  // namespace svctune
