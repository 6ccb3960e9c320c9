#include "win/system_error.h"

#include <string_view>

namespace svctune::win {

std::wstring SystemErrorText(DWORD error) {
  std::wstring text = L"系统错误 " + std::to_wstring(error);
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  if (length > 0 && message != nullptr) {
    std::wstring described(message, length);
    while (!described.empty() &&
           std::wstring_view(L"\r\n 。.").find(described.back()) != std::wstring_view::npos) {
      described.pop_back();
    }
    text += L"：" + described;
  }
  if (message != nullptr) {
    LocalFree(message);
  }
  return text;
}

}  // namespace svctune::win
