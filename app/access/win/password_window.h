#pragma once

#include <windows.h>

#include "access/access_services.h"
#include "access/frm_password.h"
#include "access/win/access_window.h"

namespace svctune::access::win {

// Shows the password settings frmPassword as an ordinary (non-modal) window owned by owner
// (the main window; may be null) and returns at once with its handle. The window lives
// until its OK succeeds or it is cancelled or closed, then destroys itself. There is one at
// a time: while it is open, another call brings it to the front and returns its handle.
// Returns null when the window cannot be created. services must outlive the window.
HWND ShowPasswordSettings(HWND owner, const AccessServices& services);

// Control identifiers of frmPassword; its controls are children of picBackground
// (kPicBackgroundId).
inline constexpr int kPasswordCmdOKId = IDOK;
inline constexpr int kPasswordCmdCancelId = IDCANCEL;
inline constexpr int kPasswordLblSetPasswordId = 1101;
inline constexpr int kPasswordChkPasswordId = 1102;
inline constexpr int kPasswordFraSetPasswordId = 1103;
inline constexpr int kPasswordLabel1Id = 1104;
inline constexpr int kPasswordTxtPassword1Id = 1105;
inline constexpr int kPasswordLabel2Id = 1106;
inline constexpr int kPasswordTxtPassword2Id = 1107;

}  // namespace svctune::access::win
