#pragma once

#include <windows.h>

#include "access/access_services.h"
#include "access/frm_login.h"
#include "access/win/access_window.h"

namespace svctune::access::win {

enum class LoginResult { kAccepted, kCancelled };

// Runs the start-up password prompt frmLogin modally over owner (the main window; may be
// null): owner is disabled until the prompt is answered, so it takes no input before the
// right password. Returns kAccepted after the right password; kCancelled after cancel, Esc,
// Alt+F4, the system close command, a WM_QUIT (which is posted again) or when the prompt
// cannot be created. The prompt is gone and owner enabled again when it returns; on
// kCancelled the caller ends the program (closes the main window through its shutdown).
LoginResult RunLoginPrompt(HWND owner, const AccessServices& services);

// Control identifiers of frmLogin; its controls are children of picBackground
// (kPicBackgroundId).
inline constexpr int kLoginCmdOKId = IDOK;
inline constexpr int kLoginCmdCancelId = IDCANCEL;
inline constexpr int kLoginLblTitleId = 1001;
inline constexpr int kLoginFrame1Id = 1002;
inline constexpr int kLoginLabel1Id = 1003;
inline constexpr int kLoginTxtPasswordId = 1004;

// The frmLogin window: shows what the model says and passes the user's actions to it.
class LoginWindow final : public AccessWindow {
 public:
  explicit LoginWindow(const AccessServices& services) : model_(services) {}
  ~LoginWindow() override { Destroy(); }

  // Creates the window hidden, owned by owner.
  bool Create(HWND owner);
  void Show() { ShowInFront(); }
  LoginOutcome Outcome() const { return model_.Outcome(); }
  using AccessWindow::Destroy;

 private:
  void OnCommand(int id, int code) override;
  void OnKeyPress(int id, int& keyAscii) override;
  void OnCancelKey() override;
  void OnClose() override;
  void OnTitleMouseDown(int button, int x, int y) override;
  std::optional<WindowOffset> OnTitleMouseMove(int button, int x, int y) override;
  void OnDestroyed() override;
  // Brings the controls in line with the model.
  void Sync();

  frmLogin model_;
  HWND txtPassword_ = nullptr;
};

}  // namespace svctune::access::win
