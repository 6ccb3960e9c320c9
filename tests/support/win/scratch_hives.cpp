#include "win/scratch_hives.h"

#include <shlwapi.h>

#include <stdexcept>
#include <string>

namespace svctune::testing {
namespace {

HKEY CreateKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create scratch key " + path);
  }
  return key;
}

}  // namespace

ScratchHives::ScratchHives() {
  static unsigned serial = 0;
  scratchPath_ = "Software\\svctune-tests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++serial);
  SHDeleteKeyA(HKEY_CURRENT_USER, scratchPath_.c_str());
  localMachine_ = CreateKey(HKEY_CURRENT_USER, scratchPath_ + "\\HKLM");
  currentUser_ = CreateKey(HKEY_CURRENT_USER, scratchPath_ + "\\HKCU");
  if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_) != ERROR_SUCCESS ||
      RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_) != ERROR_SUCCESS) {
    throw std::runtime_error("RegOverridePredefKey failed");
  }
}

ScratchHives::~ScratchHives() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegCloseKey(currentUser_);
  RegCloseKey(localMachine_);
  SHDeleteKeyA(HKEY_CURRENT_USER, scratchPath_.c_str());
}

}  // namespace svctune::testing
