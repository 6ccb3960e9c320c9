#include "com/server_module.h"

namespace svctune::com {

namespace {
HINSTANCE moduleInstance = nullptr;
LONG liveObjects = 0;
LONG serverLocks = 0;
}  // namespace

void ServerModule::SetInstance(HINSTANCE instance) {
  moduleInstance = instance;
}

HINSTANCE ServerModule::Instance() {
  return moduleInstance;
}

std::wstring ServerModule::Path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(moduleInstance, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) {
      return std::wstring();
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ServerModule::ObjectCreated() {
  InterlockedIncrement(&liveObjects);
}

void ServerModule::ObjectDestroyed() {
  InterlockedDecrement(&liveObjects);
}

void ServerModule::Lock() {
  InterlockedIncrement(&serverLocks);
}

void ServerModule::Unlock() {
  InterlockedDecrement(&serverLocks);
}

HRESULT ServerModule::CanUnloadNow() {
  return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

}  // namespace svctune::com
