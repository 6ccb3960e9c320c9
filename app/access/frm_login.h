#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "access/access_services.h"
#include "access/password_store.h"
#include "access/title_drag.h"

namespace svctune::access {

enum class LoginOutcome { kOpen, kAccepted, kCancelled };

// The start-up password prompt: lets the program go on only after the right password. Closing
// it any other way than with the right password is a cancel; there is no limit on the
// number of attempts.
class frmLogin {
 public:
  static constexpr std::wstring_view kCaption = L"欢迎你使用Trevane";
  static constexpr std::wstring_view kLabel1Caption = L"请输入密码:";
  static constexpr std::wstring_view kCmdOKCaption = L"确定";
  static constexpr std::wstring_view kCmdCancelCaption = L"取消";
  static constexpr std::wstring_view kWrongPasswordMessage = L"密码不正确，请重新输入";

  explicit frmLogin(const AccessServices& services);

  // The user edited the entry box.
  void txtPassword_Change(std::wstring text);
  // A character typed in the entry box; Enter (13) checks the password and is consumed
  // (keyAscii becomes 0).
  void txtPassword_KeyPress(int& keyAscii);
  void cmdOK_Click();
  void cmdCancel_Click();
  // The window is being closed in any other way (system close command, Alt+F4, Esc, its
  // owner going away): a cancel unless the right password was already given.
  void Form_QueryUnload();

  void lblTitle_MouseDown(int button, int x, int y);
  std::optional<WindowOffset> lblTitle_MouseMove(int button, int x, int y);

  const std::wstring& txtPasswordText() const { return txtPassword_; }
  LoginOutcome Outcome() const { return outcome_; }
  // True once after the prompt asked for the focus to go to the entry box.
  bool TakeFocusRequest();

 private:
  void CheckPassword();

  AccessServices services_;
  PasswordStore store_;
  std::wstring txtPassword_;
  LoginOutcome outcome_ = LoginOutcome::kOpen;
  bool focusRequested_ = false;
  TitleDrag titleDrag_;
};

}  // namespace svctune::access
