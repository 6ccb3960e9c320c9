#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "access/access_services.h"
#include "access/password_store.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "registry/registry_access.h"
#include "registry_backend.h"
#include "test_codec.h"

namespace svctune::access {

// A registry backend with the access layer over it, a presenter that records the messages
// and the services the password windows take, in the code page of a Chinese system.
class AccessTest {
 public:
  explicit AccessTest(testing::BackendKind kind)
      : backend_(testing::RegistryBackend::Create(kind)),
        registry_(backend_->Api(), testing::ChineseAnsiCodec(), messages_,
                  std::wstring(kProgramTitle)) {}

  AccessServices Services() { return {registry_, testing::ChineseAnsiCodec(), messages_}; }
  registry::RegistryAccess& Registry() { return registry_; }
  testing::RecordingPresenter& Messages() { return messages_; }

  // The key the main window creates at every start.
  void CreateStore() { registry_.CreateKeyByPath(std::wstring(kPasswordStorePath)); }
  void StoreEnable(std::int32_t value) {
    registry_.SetDwordByPath(std::wstring(kPasswordStorePath), kEnablePasswordValue, value);
  }
  void StoreRawPassword(std::wstring_view stored) {
    registry_.SetStringByPath(std::wstring(kPasswordStorePath), kPasswordValue, stored);
  }
  // The start-up password switched on with password (stored enciphered).
  void StorePassword(std::wstring_view password) {
    CreateStore();
    StoreEnable(1);
    PasswordStore(registry_, testing::ChineseAnsiCodec()).WritePassword(password);
  }
  registry::Variant EnablePassword() {
    return registry_.GetDwordByPath(std::wstring(kPasswordStorePath), kEnablePasswordValue);
  }
  // Password exactly as stored (enciphered); nothing when the value is missing.
  std::optional<std::wstring> RawPassword() {
    const registry::Variant stored = registry_.ReadStringValue(
        registry::kLocalMachine, L"Software\\Hollin Soft\\Pardell", kPasswordValue);
    if (registry::IsEmpty(stored)) {
      return std::nullopt;
    }
    return registry::ToText(stored);
  }

 private:
  std::unique_ptr<testing::RegistryBackend> backend_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess registry_;
};

// Prints backend parameters by name.
inline std::string BackendParamName(const ::testing::TestParamInfo<testing::BackendKind>& info) {
  return testing::BackendName(info.param);
}

}  // namespace svctune::access
