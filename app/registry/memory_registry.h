#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry_api.h"
#include "text/ansi_codec.h"

namespace svctune::registry {

// An in-memory registry that answers the ten calls with the status codes, byte counts and
// handle rules of the system's registry (checked by the contract tests, which run the same
// cases against advapi32):
//   - key and value names are matched without regard to letter case;
//   - text values are held as wide text, converted through the ANSI code page on the way in
//     and out, so byte counts are those of the ANSI form;
//   - a key that still has sub-keys cannot be deleted (5); a handle opened without the
//     needed right is refused (5); a handle of a deleted key answers 1018;
//   - sub-keys enumerate in case-insensitive name order.
// One difference is deliberate: RegSetValueExA never reads past the byte count it is given
// (the system peeks one byte further to add a forgotten terminating zero).
class MemoryRegistry final : public RegistryApi {
 public:
  explicit MemoryRegistry(const AnsiCodec& codec);
  ~MemoryRegistry() override;

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

  // Makes every key at and below root\path refuse changes with 5, as the registry does for
  // a user without administrator rights under HKEY_LOCAL_MACHINE. The key need not exist.
  void DenyChanges(KeyHandle root, std::string_view path);

  // Handles opened and not yet closed (predefined roots are not counted).
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  struct Key;
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;  // raw data of non-text types
    std::wstring text;                // data of text types, as the wide text it converts to
  };
  struct OpenKey {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
  };

  Status Resolve(KeyHandle handle, std::uint32_t neededAccess, std::shared_ptr<Key>* key) const;
  Status Walk(const std::shared_ptr<Key>& start, const char* subKey, bool create,
              std::shared_ptr<Key>* found, bool* created);
  KeyHandle NewHandle(std::shared_ptr<Key> key, std::uint32_t access);
  bool ChangesDenied(const Key& key) const;
  std::vector<std::uint8_t> AnsiData(const Value& value) const;

  const AnsiCodec& codec_;
  std::map<KeyHandle, std::shared_ptr<Key>> roots_;
  std::map<KeyHandle, OpenKey> handles_;
  std::vector<std::pair<KeyHandle, std::vector<std::wstring>>> deniedPaths_;
  KeyHandle nextHandle_ = 0x1000;
};

}  // namespace svctune::registry
