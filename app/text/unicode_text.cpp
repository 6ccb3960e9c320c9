#include "text/unicode_text.h"

#include <functional>

namespace svctune {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// Calls visit with each code point of the wide text; a lone surrogate is U+FFFD.
void ForEachCodePoint(std::wstring_view text, const std::function<void(char32_t)>& visit) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    auto c = static_cast<char32_t>(text[at]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size()) {
      const auto low = static_cast<char32_t>(text[at + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        visit(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        ++at;
        continue;
      }
    }
    visit(IsSurrogate(c) || c > 0x10FFFF ? kReplacement : c);
  }
}

void AppendCodePoint(std::wstring& text, char32_t c) {
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    c -= 0x10000;
    text += static_cast<wchar_t>(0xD800 + (c >> 10));
    text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    text += static_cast<wchar_t>(c);
  }
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string bytes;
  ForEachCodePoint(text, [&](char32_t c) {
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  });
  return bytes;
}

std::string ToUtf16Le(std::wstring_view text) {
  std::string bytes;
  auto unit = [&](char32_t u) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  };
  ForEachCodePoint(text, [&](char32_t c) {
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  });
  return bytes;
}

std::wstring FromUtf8(std::string_view bytes) {
  std::wstring text;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    bool valid = length > 0 && at + length <= bytes.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && c >= kSmallest[length] && c <= 0x10FFFF && !IsSurrogate(c);
    AppendCodePoint(text, valid ? c : kReplacement);
    at += valid ? length : 1;
  }
  return text;
}

std::wstring FromUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text;
  auto unit = [&](std::size_t at) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (first << 8) | second : (second << 8) | first;
  };
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const char32_t c = unit(at);
    if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 &&
        unit(at + 2) <= 0xDFFF) {
      AppendCodePoint(text, 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00));
      at += 2;
    } else {
      AppendCodePoint(text, IsSurrogate(c) ? kReplacement : c);
    }
  }
  if (at < bytes.size()) {
    AppendCodePoint(text, kReplacement);
  }
  return text;
}

std::wstring AsciiUpper(std::wstring_view text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') {
      c = static_cast<wchar_t>(c - L'a' + L'A');
    }
  }
  return upper;
}

}  // namespace svctune
