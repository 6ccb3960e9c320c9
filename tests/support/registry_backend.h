#pragma once

#include <memory>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace svctune::testing {

enum class BackendKind { kMemory, kSystem };

// The registry one test runs against. The system registry (Windows only) is the real
// advapi32 with HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER redirected into a fresh scratch key
// for the life of the object, so tests never touch the machine's own keys.
class RegistryBackend {
 public:
  static std::unique_ptr<RegistryBackend> Create(BackendKind kind);
  virtual ~RegistryBackend() = default;
  virtual registry::RegistryApi& Api() = 0;
  // Keys the backend has open on behalf of callers, when it can tell (-1 otherwise).
  virtual long OpenHandles() const = 0;
};

// Every backend available on this platform.
std::vector<BackendKind> AvailableBackends();
std::string BackendName(BackendKind kind);

}  // namespace svctune::testing
