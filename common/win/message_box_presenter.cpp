#include "win/message_box_presenter.h"

#include <string>

namespace svctune::win {

void MessageBoxPresenter::Show(std::wstring_view text, std::wstring_view title, MessageIcon icon) {
  UINT style = MB_OK;
  if (icon == MessageIcon::kCritical) {
    style |= MB_ICONERROR;
  } else if (icon == MessageIcon::kInformation) {
    style |= MB_ICONINFORMATION;
  }
  HWND owner = owner_ ? owner_() : nullptr;
  if (owner == nullptr) {
    owner = GetActiveWindow();
  }
  const std::wstring body(text);
  const std::wstring caption(title);
  MessageBoxW(owner, body.c_str(), caption.c_str(), style);
}

}  // namespace svctune::win
