#pragma once

#include <windows.h>

namespace svctune::win {

// A window class description with the arrow pointer and nothing else set but its module,
// name and procedure.
WNDCLASSEXW WindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// Registers the class once per module; a class the module already has counts as registered.
bool EnsureWindowClass(const WNDCLASSEXW& windowClass);

}  // namespace svctune::win
