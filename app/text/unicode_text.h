#pragma once

#include <string>
#include <string_view>

namespace svctune {

// The program's wide text in the Unicode encodings of files it writes and reads, whatever the
// width of wchar_t (UTF-16 units on Windows, code points elsewhere). Nothing is dropped: a
// unit or byte sequence that cannot be decoded or encoded becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::string ToUtf16Le(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);
// An odd last byte decodes as U+FFFD.
std::wstring FromUtf16(std::string_view bytes, bool bigEndian);

// The text with its ASCII letters in upper case: how switches, section names and service
// names compare, whatever their letter case.
std::wstring AsciiUpper(std::wstring_view text);

}  // namespace svctune
