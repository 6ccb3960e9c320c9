#pragma once

#include "registry/registry_api.h"

namespace svctune::registry {

// The system registry: each call forwards to the advapi32 function of the same name.
class Advapi32Registry final : public RegistryApi {
 public:
  Status RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                       std::uint32_t access, KeyHandle* result) override;
  Status RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) override;
  Status RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) override;
  Status RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                         const char* keyClass, std::uint32_t options, std::uint32_t access,
                         KeyHandle* result, std::uint32_t* disposition) override;
  Status RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* dataSize) override;
  Status RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                        std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t dataSize) override;
  Status RegDeleteValueA(KeyHandle key, const char* valueName) override;
  Status RegDeleteKeyA(KeyHandle key, const char* subKey) override;
  Status RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                     std::uint32_t nameSize) override;
  Status RegCloseKey(KeyHandle key) override;
};

}  // namespace svctune::registry
