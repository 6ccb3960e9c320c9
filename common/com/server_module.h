#pragma once

#include <windows.h>

#include <string>

namespace svctune::com {

// The state an in-process server shares across its objects: the module handle, and the count
// of live objects and of server locks that DllCanUnloadNow answers from.
class ServerModule {
 public:
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE Instance();
  // The full path of the DLL.
  static std::wstring Path();

  static void ObjectCreated();
  static void ObjectDestroyed();
  static void Lock();
  static void Unlock();
  static HRESULT CanUnloadNow();
};

}  // namespace svctune::com
