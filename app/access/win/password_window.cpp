#include "access/win/password_window.h"

namespace svctune::access::win {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 206;

// The frmPassword window: shows what the model says and passes the user's actions to it.
// It owns itself and is deleted with its window.
class PasswordWindow final : public AccessWindow {
 public:
  static HWND Open(HWND owner, const AccessServices& services);

 private:
  explicit PasswordWindow(const AccessServices& services) : model_(services) {}
  ~PasswordWindow() override = default;

  bool Create(HWND owner);
  void OnCommand(int id, int code) override;
  void OnKeyPress(int id, int& keyAscii) override;
  void OnCancelKey() override;
  void OnClose() override;
  void OnTitleMouseDown(int button, int x, int y) override;
  std::optional<WindowOffset> OnTitleMouseMove(int button, int x, int y) override;
  void OnDestroyed() override;
  void Sync();

  static PasswordWindow* open_;

  frmPassword model_;
  HWND chkPassword_ = nullptr;
  HWND fraSetPassword_ = nullptr;
  HWND label1_ = nullptr;
  HWND txtPassword1_ = nullptr;
  HWND label2_ = nullptr;
  HWND txtPassword2_ = nullptr;
  HWND cmdOK_ = nullptr;
  bool closing_ = false;
};

PasswordWindow* PasswordWindow::open_ = nullptr;

HWND PasswordWindow::Open(HWND owner, const AccessServices& services) {
  if (open_ != nullptr && open_->hwnd() != nullptr) {
    ShowWindow(open_->hwnd(), SW_SHOW);
    SetForegroundWindow(open_->hwnd());
    return open_->hwnd();
  }
  auto* window = new PasswordWindow(services);
  if (!window->Create(owner)) {
    // A window that was created is destroyed with its object; one that was not, just the
    // object.
    if (window->hwnd() != nullptr) {
      window->Destroy();
    } else {
      delete window;
    }
    return nullptr;
  }
  open_ = window;
  window->model_.Form_Load();
  window->Sync();
  window->ShowInFront();
  return window->hwnd();
}

bool PasswordWindow::Create(HWND owner) {
  if (!CreateFrame(owner, frmPassword::kCaption, kWidth, kHeight, kPasswordLblSetPasswordId)) {
    return false;
  }
  chkPassword_ =
      AddCheckBox(frmPassword::kChkPasswordCaption, kPasswordChkPasswordId, {20, 38, 240, 58});
  label1_ = AddLabel(frmPassword::kLabel1Caption, kPasswordLabel1Id, {28, 88, 104, 104});
  txtPassword1_ = AddEntryBox(kPasswordTxtPassword1Id, {104, 84, 292, 106});
  label2_ = AddLabel(frmPassword::kLabel2Caption, kPasswordLabel2Id, {28, 120, 104, 136});
  txtPassword2_ = AddEntryBox(kPasswordTxtPassword2Id, {104, 116, 292, 138});
  cmdOK_ = AddButton(frmPassword::kCmdOKCaption, kPasswordCmdOKId, {146, 166, 222, 192}, true);
  const HWND cmdCancel =
      AddButton(frmPassword::kCmdCancelCaption, kPasswordCmdCancelId, {232, 166, 308, 192}, false);
  fraSetPassword_ = AddGroupBox(kPasswordFraSetPasswordId, {12, 64, 308, 152});
  return chkPassword_ != nullptr && label1_ != nullptr && txtPassword1_ != nullptr &&
         label2_ != nullptr && txtPassword2_ != nullptr && cmdOK_ != nullptr &&
         cmdCancel != nullptr && fraSetPassword_ != nullptr;
}

void PasswordWindow::OnCommand(int id, int code) {
  if (code == EN_CHANGE && !Showing()) {
    if (id == kPasswordTxtPassword1Id) {
      model_.txtPassword1_Change(TextOf(txtPassword1_));
    } else if (id == kPasswordTxtPassword2Id) {
      model_.txtPassword2_Change(TextOf(txtPassword2_));
    }
    return;
  }
  if (code != BN_CLICKED) {
    return;
  }
  if (id == kPasswordChkPasswordId) {
    model_.chkPassword_Click();
  } else if (id == kPasswordCmdOKId) {
    model_.cmdOK_Click();
  } else if (id == kPasswordCmdCancelId) {
    model_.cmdCancel_Click();
  } else {
    return;
  }
  Sync();
}

void PasswordWindow::OnKeyPress(int id, int& keyAscii) {
  if (id == kPasswordTxtPassword2Id) {
    model_.txtPassword2_KeyPress(keyAscii);
    Sync();
  }
}

void PasswordWindow::OnCancelKey() {
  model_.cmdCancel_Click();
  Sync();
}

void PasswordWindow::OnClose() {
  model_.Form_QueryUnload();
  Sync();
}

void PasswordWindow::OnTitleMouseDown(int button, int x, int y) {
  model_.lblSetPassword_MouseDown(button, x, y);
}

std::optional<WindowOffset> PasswordWindow::OnTitleMouseMove(int button, int x, int y) {
  return model_.lblSetPassword_MouseMove(button, x, y);
}

void PasswordWindow::OnDestroyed() {
  if (open_ == this) {
    open_ = nullptr;
  }
  delete this;
}

void PasswordWindow::Sync() {
  if (hwnd() == nullptr || closing_) {
    return;
  }
  if (model_.Closed()) {
    closing_ = true;
    DestroyLater();
    return;
  }
  SendMessageW(chkPassword_, BM_SETCHECK, static_cast<WPARAM>(model_.chkPasswordValue()), 0);
  const BOOL enabled = model_.fraSetPasswordEnabled() ? TRUE : FALSE;
  for (HWND control : {fraSetPassword_, label1_, txtPassword1_, label2_, txtPassword2_}) {
    EnableWindow(control, enabled);
  }
  ShowText(txtPassword1_, model_.txtPassword1Text());
  ShowText(txtPassword2_, model_.txtPassword2Text());
  if (const std::optional<PasswordFocus> focus = model_.TakeFocusRequest()) {
    RequestFocus(*focus == PasswordFocus::kTxtPassword1 ? txtPassword1_ : cmdOK_);
  }
}

}  // namespace

HWND ShowPasswordSettings(HWND owner, const AccessServices& services) {
  return PasswordWindow::Open(owner, services);
}

}  // namespace svctune::access::win
