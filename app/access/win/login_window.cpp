#include "access/win/login_window.h"

namespace svctune::access::win {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 150;

}  // namespace

bool LoginWindow::Create(HWND owner) {
  if (!CreateFrame(owner, frmLogin::kCaption, kWidth, kHeight, kLoginLblTitleId)) {
    return false;
  }
  AddLabel(frmLogin::kLabel1Caption, kLoginLabel1Id, {28, 59, 112, 75});
  txtPassword_ = AddEntryBox(kLoginTxtPasswordId, {112, 55, 292, 77});
  const bool buttons =
      AddButton(frmLogin::kCmdOKCaption, kLoginCmdOKId, {146, 108, 222, 134}, true) != nullptr &&
      AddButton(frmLogin::kCmdCancelCaption, kLoginCmdCancelId, {232, 108, 308, 134}, false) !=
          nullptr;
  AddGroupBox(kLoginFrame1Id, {12, 36, 308, 94});
  if (txtPassword_ == nullptr || !buttons) {
    return false;
  }
  RequestFocus(txtPassword_);
  return true;
}

void LoginWindow::OnCommand(int id, int code) {
  if (id == kLoginTxtPasswordId && code == EN_CHANGE && !Showing()) {
    model_.txtPassword_Change(TextOf(txtPassword_));
    return;
  }
  if (code != BN_CLICKED) {
    return;
  }
  if (id == kLoginCmdOKId) {
    model_.cmdOK_Click();
  } else if (id == kLoginCmdCancelId) {
    model_.cmdCancel_Click();
  } else {
    return;
  }
  Sync();
}

void LoginWindow::OnKeyPress(int id, int& keyAscii) {
  if (id == kLoginTxtPasswordId) {
    model_.txtPassword_KeyPress(keyAscii);
    Sync();
  }
}

void LoginWindow::OnCancelKey() {
  model_.cmdCancel_Click();
  Sync();
}

void LoginWindow::OnClose() {
  model_.Form_QueryUnload();
  Sync();
}

void LoginWindow::OnTitleMouseDown(int button, int x, int y) {
  model_.lblTitle_MouseDown(button, x, y);
}

std::optional<WindowOffset> LoginWindow::OnTitleMouseMove(int button, int x, int y) {
  return model_.lblTitle_MouseMove(button, x, y);
}

void LoginWindow::OnDestroyed() {
  txtPassword_ = nullptr;
  model_.Form_QueryUnload();
}

void LoginWindow::Sync() {
  if (txtPassword_ == nullptr) {
    return;
  }
  ShowText(txtPassword_, model_.txtPasswordText());
  if (model_.TakeFocusRequest()) {
    RequestFocus(txtPassword_);
  }
  if (model_.Outcome() != LoginOutcome::kOpen) {
    // Wakes the prompt's message loop, which ends on the answer.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
  }
}

LoginResult RunLoginPrompt(HWND owner, const AccessServices& services) {
  LoginWindow prompt(services);
  if (!prompt.Create(owner)) {
    // Without a prompt nobody can give the password: the program does not go on.
    return LoginResult::kCancelled;
  }
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) {
    EnableWindow(owner, FALSE);
  }
  prompt.Show();
  MSG message{};
  while (prompt.Outcome() == LoginOutcome::kOpen && prompt.hwnd() != nullptr) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is asked to end: it does, after the prompt.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) {
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const LoginResult result = prompt.Outcome() == LoginOutcome::kAccepted ? LoginResult::kAccepted
                                                                         : LoginResult::kCancelled;
  // The owner is enabled before the prompt goes, so that it becomes the active window.
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
  }
  prompt.Destroy();
  return result;
}

}  // namespace svctune::access::win
