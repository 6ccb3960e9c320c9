#pragma once

#include <cstdint>

namespace svctune::registry {

// A registry key handle as the system hands it out. The predefined roots keep their
// documented 32-bit values.
using KeyHandle = std::uintptr_t;

inline constexpr KeyHandle kClassesRoot = 0x80000000;
inline constexpr KeyHandle kCurrentUser = 0x80000001;
inline constexpr KeyHandle kLocalMachine = 0x80000002;
inline constexpr KeyHandle kUsers = 0x80000003;
inline constexpr KeyHandle kPerformanceData = 0x80000004;
inline constexpr KeyHandle kCurrentConfig = 0x80000005;
inline constexpr KeyHandle kDynData = 0x80000006;

// System result codes (a LONG on Windows).
using Status = long;
inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kInvalidParameter = 87;
inline constexpr Status kBadPathname = 161;
inline constexpr Status kMoreData = 234;
inline constexpr Status kNoMoreItems = 259;
inline constexpr Status kKeyDeleted = 1018;

// Access masks used when opening or creating keys.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllSpecificRights = 0x3F;

// Value types (registry type codes).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegMultiSz = 7;

// The ten ANSI registry calls the program makes, with the arguments and status codes of
// advapi32. Names and text data are bytes in the system's ANSI code page. Pointers that
// advapi32 allows to be null may be null here too.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  virtual Status RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                               std::uint32_t access, KeyHandle* result) = 0;
  virtual Status RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) = 0;
  virtual Status RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) = 0;
  virtual Status RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                 const char* keyClass, std::uint32_t options, std::uint32_t access,
                                 KeyHandle* result, std::uint32_t* disposition) = 0;
  virtual Status RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* dataSize) = 0;
  virtual Status RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                                std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t dataSize) = 0;
  virtual Status RegDeleteValueA(KeyHandle key, const char* valueName) = 0;
  virtual Status RegDeleteKeyA(KeyHandle key, const char* subKey) = 0;
  virtual Status RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                             std::uint32_t nameSize) = 0;
  virtual Status RegCloseKey(KeyHandle key) = 0;
};

}  // namespace svctune::registry
