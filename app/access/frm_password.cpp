#include "access/frm_password.h"

#include <utility>

#include "program_info.h"

namespace svctune::access {

frmPassword::frmPassword(const AccessServices& services)
    : services_(services), store_(services.registry, services.codec) {
  chkPassword_.OnChange([this] { chkPassword_Changed(); });
}

void frmPassword::Form_Load() {
  // "Error" (no value) or a number a check box cannot show leaves the box as it is.
  const std::optional<std::int32_t> enable = registry::ToNumber(store_.ReadEnablePassword());
  if (enable && *enable >= 0 && *enable <= 2) {
    chkPassword_.Set(*enable);
  }
}

void frmPassword::chkPassword_Click() {
  if (!closed_) {
    chkPassword_.Set(chkPassword_.Get() == 1 ? 0 : 1);
  }
}

void frmPassword::txtPassword1_Change(std::wstring text) {
  txtPassword1_ = std::move(text);
}

void frmPassword::txtPassword2_Change(std::wstring text) {
  txtPassword2_ = std::move(text);
}

void frmPassword::txtPassword2_KeyPress(int& keyAscii) {
  if (keyAscii != 13) {
    return;
  }
  keyAscii = 0;
  Save();
}

void frmPassword::cmdOK_Click() {
  Save();
}

void frmPassword::cmdCancel_Click() {
  closed_ = true;
}

void frmPassword::Form_QueryUnload() {
  closed_ = true;
}

void frmPassword::lblSetPassword_MouseDown([[maybe_unused]] int button, int x, int y) {
  titleDrag_.MouseDown(x, y);
}

std::optional<WindowOffset> frmPassword::lblSetPassword_MouseMove(int button, int x, int y) {
  return titleDrag_.MouseMove(button, x, y);
}

std::optional<PasswordFocus> frmPassword::TakeFocusRequest() {
  return std::exchange(focusRequest_, std::nullopt);
}

void frmPassword::chkPassword_Changed() {
  if (chkPassword_.Get() == 1) {
    // The current password is shown, as symbols, in both boxes.
    fraSetPasswordEnabled_ = true;
    const std::wstring current = store_.ReadPassword().value_or(std::wstring());
    txtPassword1_ = current;
    txtPassword2_ = current;
    focusRequest_ = PasswordFocus::kTxtPassword1;
  } else {
    fraSetPasswordEnabled_ = false;
    txtPassword1_.clear();
    txtPassword2_.clear();
    focusRequest_ = PasswordFocus::kCmdOK;
  }
}

void frmPassword::Save() {
  if (closed_) {
    return;
  }
  if (chkPassword_.Get() == 1) {
    if (txtPassword1_ != txtPassword2_) {
      Refuse(kMismatchMessage);
      return;
    }
    if (txtPassword1_.size() < kMinimumLength) {
      Refuse(kTooShortMessage);
      return;
    }
    if (!store_.CanHold(txtPassword1_)) {
      Refuse(kUnstorableMessage);
      return;
    }
    store_.WriteEnablePassword(1);
    store_.WritePassword(txtPassword1_);
    if (!StoreHolds(1, txtPassword1_)) {
      services_.messages.Show(kSetFailedMessage, kProgramTitle, MessageIcon::kCritical);
      return;
    }
    services_.messages.Show(kSetMessage, kProgramTitle, MessageIcon::kInformation);
  } else {
    store_.WriteEnablePassword(0);
    store_.WriteEmptyPassword();
    if (!StoreHolds(0, L"")) {
      services_.messages.Show(kRemoveFailedMessage, kProgramTitle, MessageIcon::kCritical);
      return;
    }
    services_.messages.Show(kRemovedMessage, kProgramTitle, MessageIcon::kInformation);
  }
  closed_ = true;
}

void frmPassword::Refuse(std::wstring_view message) {
  services_.messages.Show(message, kProgramTitle, MessageIcon::kCritical);
  txtPassword1_.clear();
  txtPassword2_.clear();
  focusRequest_ = PasswordFocus::kTxtPassword1;
}

bool frmPassword::StoreHolds(std::int32_t enable, std::wstring_view password) {
  const registry::Variant stored = store_.ReadEnablePassword();
  const auto* number = std::get_if<std::int32_t>(&stored);
  const std::optional<std::wstring> storedPassword = store_.ReadPassword();
  return number != nullptr && *number == enable && storedPassword && *storedPassword == password;
}

}  // namespace svctune::access
