#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "access/encryption.h"
#include "program_info.h"
#include "registry/registry_access.h"

namespace svctune::access {

// The start-up password store: value EnablePassword (1 asks for the password at start-up)
// and value Password (the password enciphered under kPasswordKey) in one key that the main
// window creates at every start.
inline constexpr std::wstring_view kPasswordStorePath = kProgramKeyPath;
inline constexpr std::wstring_view kPasswordStoreBase = L"Software\\Hollin Soft";
inline constexpr std::wstring_view kPasswordStoreKey = L"Pardell";
inline constexpr std::wstring_view kEnablePasswordValue = L"EnablePassword";
inline constexpr std::wstring_view kPasswordValue = L"Password";
// The key the password is enciphered with.
inline constexpr std::wstring_view kPasswordKey = L"OakLantern";

class PasswordStore {
 public:
  PasswordStore(registry::RegistryAccess& registry, const AnsiCodec& codec);

  // EnablePassword as the full-path read gives it: a number, or the text "Error" when the
  // key or the value is missing.
  registry::Variant ReadEnablePassword();
  // The stored password, deciphered: the empty text when none is stored; nothing when it
  // cannot be deciphered.
  std::optional<std::wstring> ReadPassword();
  // The start-up check, the one rule of the prompt (frmLogin) and of the command line's
  // /password: whether an entry, or none (the command line without /password), lets the
  // program on. It does when it equals the stored password deciphered, no entry counting as
  // the empty one: with EnablePassword 1 and no password stored (the empty text) the prompt
  // takes an empty entry and the command line a run without /password, which cannot
  // give an empty value. A store that cannot be deciphered lets nothing on.
  bool Admits(const std::optional<std::wstring>& entered);

  // The writes go only into an existing key and report nothing; read the store back to
  // learn whether they happened.
  void WriteEnablePassword(std::int32_t value);
  // Writes the password enciphered; writes nothing when it cannot be enciphered.
  void WritePassword(std::wstring_view password);
  // Writes the empty text, as the store holds after the password was removed.
  void WriteEmptyPassword();

  // Whether a password comes back unchanged from the ANSI code page the store keeps it in.
  bool CanHold(std::wstring_view password) const;

 private:
  registry::RegistryAccess& registry_;
  const AnsiCodec& codec_;
  clsEncryption cipher_;
};

}  // namespace svctune::access
