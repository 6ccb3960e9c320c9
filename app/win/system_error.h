#pragma once

#include <windows.h>

#include <string>

namespace svctune::win {

// "系统错误 5：拒绝访问", in the system's language: the number and the system's own text,
// without its full stop (the caller ends the sentence).
std::wstring SystemErrorText(DWORD error);

}  // namespace svctune::win
