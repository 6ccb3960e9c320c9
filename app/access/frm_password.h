#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "access/access_services.h"
#include "access/password_store.h"
#include "access/title_drag.h"
#include "ui/control_state.h"

namespace svctune::access {

enum class PasswordFocus { kTxtPassword1, kCmdOK };

// The password settings: switch the start-up password on or off and set it. Saving writes
// the store, reads it back and closes the window only when the store holds what was meant;
// otherwise it says the change failed and stays open.
class frmPassword {
 public:
  static constexpr std::wstring_view kCaption = L"密码设置";
  static constexpr std::wstring_view kLblSetPasswordCaption = L"密码设置";
  static constexpr std::wstring_view kChkPasswordCaption = L"设置/取消登陆密码";
  static constexpr std::wstring_view kLabel1Caption = L"新密码:";
  static constexpr std::wstring_view kLabel2Caption = L"确认密码:";
  static constexpr std::wstring_view kCmdOKCaption = L"确定";
  static constexpr std::wstring_view kCmdCancelCaption = L"取消";

  static constexpr std::wstring_view kMismatchMessage = L"两次密码不相符，请重新输入";
  static constexpr std::wstring_view kTooShortMessage = L"密码位数不能少于6位，请重新输入";
  static constexpr std::wstring_view kUnstorableMessage =
      L"密码中含有系统无法保存的字符，请重新输入";
  static constexpr std::wstring_view kSetMessage = L"密码已设置，下次打开时需要输入密码";
  static constexpr std::wstring_view kRemovedMessage = L"密码已删除，下次打开时不需要输入密码";
  static constexpr std::wstring_view kSetFailedMessage =
      L"密码设置失败：无法写入注册表。请以管理员身份登录后重试";
  static constexpr std::wstring_view kRemoveFailedMessage =
      L"密码删除失败：无法写入注册表。请以管理员身份登录后重试";

  // The shortest password accepted.
  static constexpr std::size_t kMinimumLength = 6;

  explicit frmPassword(const AccessServices& services);

  // Opening: the check box takes the stored EnablePassword (0, 1 or 2); when that is missing
  // or out of range it keeps its initial state (unticked).
  void Form_Load();
  // The user clicked the check box: a ticked box becomes unticked, any other one ticked.
  void chkPassword_Click();
  void txtPassword1_Change(std::wstring text);
  void txtPassword2_Change(std::wstring text);
  // Enter (13) in the confirmation box saves and is consumed (keyAscii becomes 0).
  void txtPassword2_KeyPress(int& keyAscii);
  void cmdOK_Click();
  void cmdCancel_Click();
  // Closing in any other way: as cancel, nothing is written.
  void Form_QueryUnload();

  void lblSetPassword_MouseDown(int button, int x, int y);
  std::optional<WindowOffset> lblSetPassword_MouseMove(int button, int x, int y);

  int chkPasswordValue() const { return chkPassword_.Get(); }
  bool fraSetPasswordEnabled() const { return fraSetPasswordEnabled_; }
  const std::wstring& txtPassword1Text() const { return txtPassword1_; }
  const std::wstring& txtPassword2Text() const { return txtPassword2_; }
  // True once the window should close (saved or cancelled).
  bool Closed() const { return closed_; }
  // Where the focus should go, once after it was asked for.
  std::optional<PasswordFocus> TakeFocusRequest();

 private:
  void chkPassword_Changed();
  void Save();
  void Refuse(std::wstring_view message);
  bool StoreHolds(std::int32_t enable, std::wstring_view password);

  AccessServices services_;
  PasswordStore store_;
  ControlState<int> chkPassword_{0};
  bool fraSetPasswordEnabled_ = false;
  std::wstring txtPassword1_;
  std::wstring txtPassword2_;
  bool closed_ = false;
  std::optional<PasswordFocus> focusRequest_;
  TitleDrag titleDrag_;
};

}  // namespace svctune::access
