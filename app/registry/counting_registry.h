#pragma once

#include <array>
#include <cstddef>

#include "registry/registry_api.h"

namespace svctune::registry {

// Forwards every call to another registry and counts the calls of each kind, so tests and the
// benchmark can hold an operation to the number of registry calls it needs.
class CountingRegistry final : public RegistryApi {
 public:
  enum Call {
    kOpenKeyEx,
    kOpenKey,
    kCreateKey,
    kCreateKeyEx,
    kQueryValueEx,
    kSetValueEx,
    kDeleteValue,
    kDeleteKey,
    kEnumKey,
    kCloseKey,
    kCallKinds
  };

  explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}

  std::size_t Count(Call call) const { return counts_[call]; }
  std::size_t Total() const;
  void Reset() { counts_.fill(0); }

  Status RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                       std::uint32_t access, KeyHandle* result) override {
    ++counts_[kOpenKeyEx];
    return inner_.RegOpenKeyExA(key, subKey, options, access, result);
  }
  Status RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) override {
    ++counts_[kOpenKey];
    return inner_.RegOpenKeyA(key, subKey, result);
  }
  Status RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) override {
    ++counts_[kCreateKey];
    return inner_.RegCreateKeyA(key, subKey, result);
  }
  Status RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                         const char* keyClass, std::uint32_t options, std::uint32_t access,
                         KeyHandle* result, std::uint32_t* disposition) override {
    ++counts_[kCreateKeyEx];
    return inner_.RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, result,
                                  disposition);
  }
  Status RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* dataSize) override {
    ++counts_[kQueryValueEx];
    return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
  }
  Status RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                        std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t dataSize) override {
    ++counts_[kSetValueEx];
    return inner_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
  }
  Status RegDeleteValueA(KeyHandle key, const char* valueName) override {
    ++counts_[kDeleteValue];
    return inner_.RegDeleteValueA(key, valueName);
  }
  Status RegDeleteKeyA(KeyHandle key, const char* subKey) override {
    ++counts_[kDeleteKey];
    return inner_.RegDeleteKeyA(key, subKey);
  }
  Status RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                     std::uint32_t nameSize) override {
    ++counts_[kEnumKey];
    return inner_.RegEnumKeyA(key, index, name, nameSize);
  }
  Status RegCloseKey(KeyHandle key) override {
    ++counts_[kCloseKey];
    return inner_.RegCloseKey(key);
  }

 private:
  RegistryApi& inner_;
  std::array<std::size_t, kCallKinds> counts_{};
};

inline std::size_t CountingRegistry::Total() const {
  std::size_t total = 0;
  for (std::size_t count : counts_) {
    total += count;
  }
  return total;
}

}  // namespace svctune::registry
