#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace svctune::bench {

// One registry call as the access layer made it through the seam. Keys are named by slot:
// a predefined root by its value, any other key by the number of the call result that
// opened it, so the calls can be made again on the handles a later run receives.
struct RegistryCall {
  enum Kind {
    kOpenKeyEx,
    kOpenKey,
    kCreateKey,
    kCreateKeyEx,
    kQueryValueEx,
    kSetValueEx,
    kDeleteValue,
    kDeleteKey,
    kEnumKey,
    kClose
  };
  Kind kind = kOpenKeyEx;
  registry::KeyHandle root = 0;  // the predefined root the call names, else 0
  int key = -1;                  // the slot of the key the call names, when not a root
  int result = -1;               // the slot the call fills with the key it opens or creates
  std::string subKey;
  std::string valueName;
  bool hasSubKey = false;
  bool hasValueName = false;
  std::uint32_t options = 0;
  std::uint32_t access = 0;
  std::uint32_t type = 0;
  std::string data;          // the bytes a write passes
  std::uint32_t size = 0;    // the data size a write passes, or the buffer size of a read
  bool hasData = false;      // a read with a buffer, a write with data
  bool hasType = false;      // a read asking for the type
  bool hasDataSize = false;  // a read passing its buffer size
  bool hasDisposition = false;
  std::uint32_t index = 0;
};

// Forwards every call to another registry; while a log is attached, appends each call to it.
class RecordingSeam final : public registry::RegistryApi {
 public:
  explicit RecordingSeam(registry::RegistryApi& inner) : inner_(inner) {}

  // Starts (log not null) or stops recording.
  void Record(std::vector<RegistryCall>* log);

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
                                    std::uint8_t* data, std::uint32_t* dataSize) override;
  registry::Status RegSetValueExA(registry::KeyHandle key, const char* valueName,
                                  std::uint32_t reserved, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t dataSize) override;
  registry::Status RegDeleteValueA(registry::KeyHandle key, const char* valueName) override;
  registry::Status RegDeleteKeyA(registry::KeyHandle key, const char* subKey) override;
  registry::Status RegEnumKeyA(registry::KeyHandle key, std::uint32_t index, char* name,
                               std::uint32_t nameSize) override;
  registry::Status RegCloseKey(registry::KeyHandle key) override;

 private:
  RegistryCall& Append(RegistryCall::Kind kind, registry::KeyHandle key);
  void Opened(registry::Status status, const registry::KeyHandle* result);

  registry::RegistryApi& inner_;
  std::vector<RegistryCall>* log_ = nullptr;
  std::vector<std::pair<registry::KeyHandle, int>> open_;  // live handle, its slot
  int slots_ = 0;
};

// Makes the recorded calls again straight against advapi32, with buffers made beforehand, so
// that a run costs the calls alone.
class RegistryReplay {
 public:
  explicit RegistryReplay(const std::vector<RegistryCall>& calls);
  // Makes every call once; the number of calls made.
  std::size_t Run();

 private:
  const std::vector<RegistryCall>& calls_;
  std::vector<std::uintptr_t> keys_;
  std::vector<std::vector<std::uint8_t>> buffers_;
};

}  // namespace svctune::bench
