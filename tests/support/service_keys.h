#pragma once

#include <cstdint>
#include <string>

#include "registry/registry_api.h"

namespace svctune::testing {

// The services' keys under HKLM\SYSTEM\CurrentControlSet\Services, arranged and read back
// through the raw seam.
class ServiceKeys {
 public:
  // A Start value that no check box writes.
  static constexpr std::int32_t kUntouched = 99;

  explicit ServiceKeys(registry::RegistryApi& api) : api_(api) {}

  void Install(const std::string& service, std::int32_t start = kUntouched);
  void InstallAll(std::int32_t start = kUntouched);
  void SetStart(const std::string& service, std::int32_t start);
  // The Start value; -1 when the key or a number value is missing.
  std::int32_t Start(const std::string& service) const;
  bool Exists(const std::string& service) const;

 private:
  registry::RegistryApi& api_;
};

}  // namespace svctune::testing
