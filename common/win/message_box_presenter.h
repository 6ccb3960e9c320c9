#pragma once

#include <windows.h>

#include <functional>

#include "ui/message_presenter.h"

namespace svctune::win {

// MessageBoxW with an OK button, owned by the window the owner function names at the time of
// the message (the active window of the program when it yields nothing).
class MessageBoxPresenter final : public MessagePresenter {
 public:
  explicit MessageBoxPresenter(std::function<HWND()> owner = {}) : owner_(std::move(owner)) {}
  void Show(std::wstring_view text, std::wstring_view title, MessageIcon icon) override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace svctune::win
