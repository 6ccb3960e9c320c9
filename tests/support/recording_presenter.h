#pragma once

#include <string>
#include <vector>

#include "ui/message_presenter.h"

namespace svctune::testing {

struct ShownMessage {
  std::wstring text;
  std::wstring title;
  MessageIcon icon;
};

// Keeps every message instead of showing it.
class RecordingPresenter final : public MessagePresenter {
 public:
  void Show(std::wstring_view text, std::wstring_view title, MessageIcon icon) override {
    shown.push_back({std::wstring(text), std::wstring(title), icon});
  }
  std::vector<ShownMessage> shown;
};

}  // namespace svctune::testing
