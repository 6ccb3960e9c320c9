#pragma once

#include <windows.h>

namespace svctune::win::modQxTimer {

// Window properties a hovered button keeps on its own window: the button (an uncounted
// reference, borrowed for one tick) and its timer identifier.
inline constexpr const wchar_t* kButtonProperty = L"qx_ClassID";
inline constexpr const wchar_t* kTimerProperty = L"qx_TimerID";

// The hover timer's callback: finds the button through the window's properties and lets it
// check whether the pointer is still over it.
void CALLBACK HoverTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

}  // namespace svctune::win::modQxTimer
