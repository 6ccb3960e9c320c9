#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "registry/registry_api.h"
#include "text/ansi_codec.h"
#include "ui/message_presenter.h"

namespace svctune::registry {

// What a registry read hands back: nothing (empty), a 32-bit number, or text.
using Variant = std::variant<std::monostate, std::int32_t, std::wstring>;

inline bool IsEmpty(const Variant& value) {
  return std::holds_alternative<std::monostate>(value);
}
// The value as text: a number in decimal, empty as the empty text.
std::wstring ToText(const Variant& value);
// The value as a 32-bit number the way a numeric text converts ("3" is 3, " 2.5 " is 2);
// nothing when it does not convert. Empty converts to 0.
std::optional<std::int32_t> ToNumber(const Variant& value);

// A value read where a 32-bit number belongs, told apart from what may stand in its place: a
// key that is missing or cannot be opened, a missing value, a value of another type or size.
struct NumberReading {
  Status keyStatus = kFileNotFound;  // of opening the key
  bool valueFound = false;
  std::uint32_t type = kRegNone;        // the value's type, when it was found
  std::optional<std::uint32_t> number;  // a REG_DWORD of four bytes
};

// Status that SetValueTyped returns when the value does not convert to the requested type
// (the system's ERROR_INVALID_DATA); nothing is written then.
inline constexpr Status kValueDoesNotConvert = 13;

// The only code that touches the registry. Four families of operations, differing in how a
// key is addressed:
//   - full paths that begin with a root name ("HKEY_LOCAL_MACHINE\Software\..."),
//   - key parts (root handle, base path and up to two parts) with defaults for reads,
//   - SetKeyValue, the typed write of the service check boxes,
//   - plain text values (ReadStringValue, WriteStringValue).
// Names and text cross the seam in the ANSI code page. No operation raises an error; every
// operation opens (or creates) its key, does one read, write or delete, and closes it.
class RegistryAccess {
 public:
  RegistryAccess(RegistryApi& api, const AnsiCodec& codec, MessagePresenter& messages,
                 std::wstring programTitle);

  // The seam and the ANSI code page underneath, for readers that walk many keys at once.
  RegistryApi& Api() const { return api_; }
  const AnsiCodec& Codec() const { return codec_; }

  // Root names. RootFromName knows all seven roots and compares exactly;
  // RootHandleFromName ignores case and RootNameFromHandle answers for the five roots of
  // the key-part family only. Unknown names yield 0, unknown handles the empty text.
  static KeyHandle RootFromName(std::wstring_view name);
  static KeyHandle RootHandleFromName(std::wstring_view name);
  static std::wstring RootNameFromHandle(KeyHandle root);

  // Full-path operations.
  // Splits "ROOT\sub\key" into the root handle and the sub-key path (possibly empty).
  // A path that does not begin with "HKEY_" or ends with a backslash is refused with the
  // message "Incorrect Format:" and root 0.
  void SplitRootPath(std::wstring& path, KeyHandle& root);
  void CreateKeyByPath(std::wstring path);
  void SetDwordByPath(std::wstring path, std::wstring_view valueName, std::int32_t value);
  void SetStringByPath(std::wstring path, std::wstring_view valueName, std::wstring_view text);
  // The number stored in the value; the text "Error" when the key or a 4-byte number value
  // cannot be read; empty when the path names no known root or was refused.
  Variant GetDwordByPath(std::wstring path, std::wstring_view valueName);

  // Key-part operations.
  static std::wstring BuildKeyPath(std::wstring_view base, std::wstring_view part1,
                                   std::wstring_view part2);
  Variant ReadSetting(std::wstring_view part1, std::wstring_view part2, std::wstring_view valueName,
                      const std::wstring& defaultValue, KeyHandle root, std::wstring_view base,
                      bool forWrite);
  bool WriteSetting(std::wstring_view part1, std::wstring_view part2, std::wstring_view valueName,
                    const Variant& value, KeyHandle root, std::wstring_view base,
                    std::uint32_t type);
  // WriteSetting for a caller that must know whether the value took: the status of the key's
  // opening, else of the write (kSuccess when it took).
  Status StoreSetting(std::wstring_view part1, std::wstring_view part2, std::wstring_view valueName,
                      const Variant& value, KeyHandle root, std::wstring_view base,
                      std::uint32_t type);
  bool DeleteSetting(std::wstring_view part1, std::wstring_view part2, std::wstring_view valueName,
                     KeyHandle root, std::wstring_view base);
  // Reads a value of type 1 to 5 into value (text, hex text of raw bytes, or number);
  // returns the system status, or -1 for any other type.
  Status QueryValueTyped(KeyHandle key, std::wstring_view valueName, Variant& value);
  Status SetValueTyped(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                       const Variant& value);
  void EnumSubKeys(std::wstring_view rootName, std::wstring_view path, bool withChildFlags,
                   std::vector<std::wstring>& names, std::vector<bool>& hasChildren);

  // Opens root\path (for reading, or with every specific right as the boxes' write does),
  // asks for the value into a 4-byte buffer, closes the key.
  NumberReading ReadNumber(KeyHandle root, std::wstring_view path, std::wstring_view valueName,
                           bool forWrite);

  // Typed write into an existing key (types 1 and 4); nothing happens when the key is
  // missing or cannot be opened for writing.
  void SetKeyValue(KeyHandle root, std::wstring_view path, std::wstring_view valueName,
                   const Variant& value, std::uint32_t type);

  // Plain text-value operations.
  Variant ReadStringValue(KeyHandle root, std::wstring_view path, std::wstring_view valueName);
  void WriteStringValue(KeyHandle root, std::wstring_view path, std::wstring_view valueName,
                        std::wstring_view text);

 private:
  std::string Ansi(std::wstring_view text) const { return codec_.ToAnsi(text); }
  Status WriteText(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                   std::wstring_view text);
  Status WriteNumber(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                     std::int32_t number);
  bool DeleteKeyTree(KeyHandle root, const std::wstring& path);

  RegistryApi& api_;
  const AnsiCodec& codec_;
  MessagePresenter& messages_;
  std::wstring programTitle_;
};

}  // namespace svctune::registry
