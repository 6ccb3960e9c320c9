#include "win/code_page_codec.h"

#include <windows.h>

#include <climits>

namespace svctune {

std::string CodePageCodec::ToAnsi(std::wstring_view text) const {
  if (text.empty() || text.size() > INT_MAX / 2) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(codePage_, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    return {};
  }
  std::string result(static_cast<std::size_t>(needed), '\0');
  const int written =
      WideCharToMultiByte(codePage_, 0, text.data(), length, &result[0], needed, nullptr, nullptr);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

std::wstring CodePageCodec::FromAnsi(std::string_view bytes) const {
  if (bytes.empty() || bytes.size() > INT_MAX) {
    return {};
  }
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage_, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) {
    return {};
  }
  std::wstring result(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(codePage_, 0, bytes.data(), length, &result[0], needed);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace svctune
