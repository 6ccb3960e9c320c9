#pragma once

#include <windows.h>

#include "registry_backend.h"
#include "win/advapi32_registry.h"

namespace svctune::testing {

// The system registry with HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER redirected
// (RegOverridePredefKey) into fresh keys under HKCU\Software\svctune-tests; the keys are
// deleted and the redirection undone on destruction.
class ScratchHives final : public RegistryBackend {
 public:
  ScratchHives();
  ~ScratchHives() override;
  ScratchHives(const ScratchHives&) = delete;
  ScratchHives& operator=(const ScratchHives&) = delete;

  registry::RegistryApi& Api() override { return registry_; }
  long OpenHandles() const override { return -1; }

 private:
  std::string scratchPath_;
  HKEY localMachine_ = nullptr;
  HKEY currentUser_ = nullptr;
  registry::Advapi32Registry registry_;
};

}  // namespace svctune::testing
