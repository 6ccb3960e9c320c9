#include "control_settings.h"

#include <cstdio>

namespace svctune::host {

std::wstring MissingControlMessage(std::wstring_view progId) {
  return L"无法创建控件“" + std::wstring(progId) +
         L"”：它所在的控件库没有注册。请先用 regsvr32 注册该控件库。";
}

std::wstring FailedControlMessage(std::wstring_view progId, long result) {
  wchar_t code[16] = {};
  std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
  return L"无法创建控件“" + std::wstring(progId) + L"”（错误 " + code + L"）。";
}

}  // namespace svctune::host
