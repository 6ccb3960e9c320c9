#include "win/windows_version.h"

#include <windows.h>

namespace svctune::win {

WindowsVersion ReadWindowsVersion() {
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  WindowsVersion version;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) {
    return version;
  }
  // Through void (*)(): the one function type a cast may pass on to any other.
  const auto getVersion = reinterpret_cast<GetVersionFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion != nullptr && getVersion(&info) == 0) {
    version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
  }
  return version;
}

}  // namespace svctune::win
