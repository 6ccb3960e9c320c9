#include "access/frm_login.h"

#include <utility>

#include "program_info.h"

namespace svctune::access {

frmLogin::frmLogin(const AccessServices& services)
    : services_(services), store_(services.registry, services.codec) {}

void frmLogin::txtPassword_Change(std::wstring text) {
  txtPassword_ = std::move(text);
}

void frmLogin::txtPassword_KeyPress(int& keyAscii) {
  if (keyAscii != 13) {
    return;
  }
  keyAscii = 0;
  CheckPassword();
}

void frmLogin::cmdOK_Click() {
  CheckPassword();
}

void frmLogin::cmdCancel_Click() {
  if (outcome_ == LoginOutcome::kOpen) {
    outcome_ = LoginOutcome::kCancelled;
  }
}

void frmLogin::Form_QueryUnload() {
  cmdCancel_Click();
}

void frmLogin::lblTitle_MouseDown([[maybe_unused]] int button, int x, int y) {
  titleDrag_.MouseDown(x, y);
}

std::optional<WindowOffset> frmLogin::lblTitle_MouseMove(int button, int x, int y) {
  return titleDrag_.MouseMove(button, x, y);
}

bool frmLogin::TakeFocusRequest() {
  return std::exchange(focusRequested_, false);
}

void frmLogin::CheckPassword() {
  if (outcome_ != LoginOutcome::kOpen) {
    return;
  }
  if (store_.Admits(txtPassword_)) {
    outcome_ = LoginOutcome::kAccepted;
    return;
  }
  services_.messages.Show(kWrongPasswordMessage, kProgramTitle, MessageIcon::kCritical);
  txtPassword_.clear();
  focusRequested_ = true;
}

}  // namespace svctune::access
