#include "recording_registry.h"

namespace svctune::testing {

using namespace registry;

std::string RecordingRegistry::PathOf(KeyHandle key, const char* subKey) const {
  std::string path;
  switch (key) {
    case kLocalMachine:
      path = "HKLM";
      break;
    case kCurrentUser:
      path = "HKCU";
      break;
    case kClassesRoot:
      path = "HKCR";
      break;
    default: {
      auto known = paths_.find(key);
      path = known != paths_.end() ? known->second : "?";
    }
  }
  if (subKey != nullptr && *subKey != '\0') {
    path += "\\";
    path += subKey;
  }
  return path;
}

void RecordingRegistry::Remember(Status status, KeyHandle key, const char* subKey,
                                 const KeyHandle* result) {
  if (status == kSuccess && result != nullptr) {
    paths_[*result] = PathOf(key, subKey);
  }
}

Status RecordingRegistry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                                        std::uint32_t access, KeyHandle* result) {
  const Status status = inner_.RegOpenKeyExA(key, subKey, options, access, result);
  Remember(status, key, subKey, result);
  return status;
}

Status RecordingRegistry::RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  const Status status = inner_.RegOpenKeyA(key, subKey, result);
  Remember(status, key, subKey, result);
  return status;
}

Status RecordingRegistry::RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  const Status status = inner_.RegCreateKeyA(key, subKey, result);
  Remember(status, key, subKey, result);
  return status;
}

Status RecordingRegistry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                          const char* keyClass, std::uint32_t options,
                                          std::uint32_t access, KeyHandle* result,
                                          std::uint32_t* disposition) {
  const Status status =
      inner_.RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, result, disposition);
  Remember(status, key, subKey, result);
  return status;
}

Status RecordingRegistry::RegSetValueExA(KeyHandle key, const char* valueName,
                                         std::uint32_t reserved, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t dataSize) {
  const Status status = inner_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
  if (status == kSuccess) {
    writes.push_back({PathOf(key, nullptr), valueName ? valueName : "", type,
                      std::string(reinterpret_cast<const char*>(data), dataSize)});
  }
  return status;
}

Status RecordingRegistry::RegCloseKey(KeyHandle key) {
  paths_.erase(key);
  return inner_.RegCloseKey(key);
}

std::vector<std::string> RecordingRegistry::StartWrites() const {
  static const std::string kServices = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\";
  std::vector<std::string> starts;
  for (const RegistryWrite& write : writes) {
    if (write.name == "Start" && write.key.compare(0, kServices.size(), kServices) == 0 &&
        write.data.size() == 4) {
      starts.push_back(write.key.substr(kServices.size()) + "=" +
                       std::to_string(static_cast<unsigned char>(write.data[0])));
    }
  }
  return starts;
}

}  // namespace svctune::testing
