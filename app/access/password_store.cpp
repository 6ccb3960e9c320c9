#include "access/password_store.h"

namespace svctune::access {

PasswordStore::PasswordStore(registry::RegistryAccess& registry, const AnsiCodec& codec)
    : registry_(registry), codec_(codec), cipher_(codec) {}

registry::Variant PasswordStore::ReadEnablePassword() {
  return registry_.GetDwordByPath(std::wstring(kPasswordStorePath), kEnablePasswordValue);
}

std::optional<std::wstring> PasswordStore::ReadPassword() {
  const registry::Variant stored =
      registry_.ReadSetting(L"", kPasswordStoreKey, kPasswordValue, L"", registry::kLocalMachine,
                            kPasswordStoreBase, false);
  return cipher_.Cryption(registry::ToText(stored), kPasswordKey, false);
}

bool PasswordStore::Admits(const std::optional<std::wstring>& entered) {
  const std::optional<std::wstring> password = ReadPassword();
  return password && *password == entered.value_or(std::wstring());
}

void PasswordStore::WriteEnablePassword(std::int32_t value) {
  registry_.SetDwordByPath(std::wstring(kPasswordStorePath), kEnablePasswordValue, value);
}

void PasswordStore::WritePassword(std::wstring_view password) {
  if (const std::optional<std::wstring> enciphered =
          cipher_.Cryption(password, kPasswordKey, true)) {
    registry_.SetStringByPath(std::wstring(kPasswordStorePath), kPasswordValue, *enciphered);
  }
}

void PasswordStore::WriteEmptyPassword() {
  registry_.SetStringByPath(std::wstring(kPasswordStorePath), kPasswordValue, L"");
}

bool PasswordStore::CanHold(std::wstring_view password) const {
  return codec_.FromAnsi(codec_.ToAnsi(password)) == password;
}

}  // namespace svctune::access
