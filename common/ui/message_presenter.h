#pragma once

#include <string_view>

namespace svctune {

enum class MessageIcon { kNone, kCritical, kInformation };

// Shows a message box with an OK button. Behaviour code talks to this seam so that tests can
// see every message; the Windows implementation calls MessageBoxW.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual void Show(std::wstring_view text, std::wstring_view title, MessageIcon icon) = 0;
};

}  // namespace svctune
