#pragma once

#include <map>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace svctune::testing {

// One value written through the seam: the key's path as the caller opened it ("HKLM\..."),
// the value name, its type and data.
struct RegistryWrite {
  std::string key;
  std::string name;
  std::uint32_t type;
  std::string data;
};

// Forwards to another registry and keeps, in order, every value written, with the path of the
// key it was written into.
class RecordingRegistry final : public registry::RegistryApi {
 public:
  explicit RecordingRegistry(registry::RegistryApi& inner) : inner_(inner) {}

  std::vector<RegistryWrite> writes;

  // The Start values written, as "service=digit", in order.
  std::vector<std::string> StartWrites() const;

  registry::Status RegOpenKeyExA(registry::KeyHandle key, const char* subKey, std::uint32_t options,
                                 std::uint32_t access, registry::KeyHandle* result) override;
  registry::Status RegOpenKeyA(registry::KeyHandle key, const char* subKey,
                               registry::KeyHandle* result) override;
  registry::Status RegCreateKeyA(registry::KeyHandle key, const char* subKey,
                                 registry::KeyHandle* result) override;
  registry::Status RegCreateKeyExA(registry::KeyHandle key, const char* subKey,
                                   std::uint32_t reserved, const char* keyClass,
                                   std::uint32_t options, std::uint32_t access,
                                   registry::KeyHandle* result,
                                   std::uint32_t* disposition) override;
  registry::Status RegQueryValueExA(registry::KeyHandle key, const char* valueName,
                                    std::uint32_t* reserved, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* dataSize) override {
    return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
  }
  registry::Status RegSetValueExA(registry::KeyHandle key, const char* valueName,
                                  std::uint32_t reserved, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t dataSize) override;
  registry::Status RegDeleteValueA(registry::KeyHandle key, const char* valueName) override {
    return inner_.RegDeleteValueA(key, valueName);
  }
  registry::Status RegDeleteKeyA(registry::KeyHandle key, const char* subKey) override {
    return inner_.RegDeleteKeyA(key, subKey);
  }
  registry::Status RegEnumKeyA(registry::KeyHandle key, std::uint32_t index, char* name,
                               std::uint32_t nameSize) override {
    return inner_.RegEnumKeyA(key, index, name, nameSize);
  }
  registry::Status RegCloseKey(registry::KeyHandle key) override;

 private:
  std::string PathOf(registry::KeyHandle key, const char* subKey) const;
  void Remember(registry::Status status, registry::KeyHandle key, const char* subKey,
                const registry::KeyHandle* result);

  registry::RegistryApi& inner_;
  std::map<registry::KeyHandle, std::string> paths_;
};

}  // namespace svctune::testing
