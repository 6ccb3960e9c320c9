#include "win/advapi32_registry.h"

#include <windows.h>

namespace svctune::registry {
namespace {

// The predefined roots are 32-bit values that HKEY carries sign-extended.
HKEY ToHkey(KeyHandle key) {
  if (key >= kClassesRoot && key <= kDynData) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(key);
}

KeyHandle FromHkey(HKEY key) {
  const auto value = reinterpret_cast<std::uintptr_t>(key);
  const auto low = static_cast<std::uint32_t>(value);
  if (low >= kClassesRoot && low <= kDynData &&
      key == reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(low)))) {
    return low;
  }
  return value;
}

}  // namespace

Status Advapi32Registry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                                       std::uint32_t access, KeyHandle* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
  if (status == ERROR_SUCCESS && result != nullptr) {
    *result = FromHkey(opened);
  }
  return status;
}

Status Advapi32Registry::RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyA(ToHkey(key), subKey, &opened);
  if (status == ERROR_SUCCESS && result != nullptr) {
    *result = FromHkey(opened);
  }
  return status;
}

Status Advapi32Registry::RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  HKEY created = nullptr;
  const LONG status = ::RegCreateKeyA(ToHkey(key), subKey, &created);
  if (status == ERROR_SUCCESS && result != nullptr) {
    *result = FromHkey(created);
  }
  return status;
}

Status Advapi32Registry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                         const char* keyClass, std::uint32_t options,
                                         std::uint32_t access, KeyHandle* result,
                                         std::uint32_t* disposition) {
  HKEY created = nullptr;
  DWORD createdOrOpened = 0;
  const LONG status = ::RegCreateKeyExA(ToHkey(key), subKey, reserved, const_cast<LPSTR>(keyClass),
                                        options, access, nullptr, &created, &createdOrOpened);
  if (status == ERROR_SUCCESS) {
    if (result != nullptr) {
      *result = FromHkey(created);
    }
    if (disposition != nullptr) {
      *disposition = createdOrOpened;
    }
  }
  return status;
}

Status Advapi32Registry::RegQueryValueExA(KeyHandle key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* dataSize) {
  DWORD reservedWord = reserved ? *reserved : 0;
  DWORD typeWord = type ? *type : 0;
  DWORD sizeWord = dataSize ? *dataSize : 0;
  const LONG status =
      ::RegQueryValueExA(ToHkey(key), valueName, reserved ? &reservedWord : nullptr,
                         type ? &typeWord : nullptr, data, dataSize ? &sizeWord : nullptr);
  if (type != nullptr) {
    *type = typeWord;
  }
  if (dataSize != nullptr) {
    *dataSize = sizeWord;
  }
  return status;
}

Status Advapi32Registry::RegSetValueExA(KeyHandle key, const char* valueName,
                                        std::uint32_t reserved, std::uint32_t type,
                                        const std::uint8_t* data, std::uint32_t dataSize) {
  return ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataSize);
}

Status Advapi32Registry::RegDeleteValueA(KeyHandle key, const char* valueName) {
  return ::RegDeleteValueA(ToHkey(key), valueName);
}

Status Advapi32Registry::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  return ::RegDeleteKeyA(ToHkey(key), subKey);
}

Status Advapi32Registry::RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                                     std::uint32_t nameSize) {
  return ::RegEnumKeyA(ToHkey(key), index, name, nameSize);
}

Status Advapi32Registry::RegCloseKey(KeyHandle key) {
  return ::RegCloseKey(ToHkey(key));
}

}  // namespace svctune::registry
