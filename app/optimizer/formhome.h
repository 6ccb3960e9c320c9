#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "optimizer/modes_and_presets.h"
#include "optimizer/preset_file.h"
#include "optimizer/saved_choices.h"
#include "optimizer/start_type_triads.h"
#include "registry/registry_access.h"
#include "ui/message_presenter.h"

namespace svctune {

// What the main window's behaviour asks of the platform around it.
class FormhomeHost {
 public:
  virtual ~FormhomeHost() = default;
  // Shows the start-up password prompt modally; true once the right password was given.
  virtual bool RunLoginPrompt() = 0;
  virtual void BringToFront() = 0;
  // Closes the main window; its shutdown runs on the way.
  virtual void CloseWindow() = 0;
  virtual void Minimize() = 0;
  virtual void OpenAccessGate() = 0;
  // Opens a web page with the shell's "open" verb, showing it without activating.
  virtual void OpenWebPage(std::wstring_view url) = 0;
  virtual void TrimWorkingSet(std::size_t minimumBytes, std::size_t maximumBytes) = 0;
  // Arms Timer2, the start-up timer: 1 ms, enabled.
  virtual void StartStartupTimer() = 0;
};

// The main window's behaviour with nothing around it: no window, no timer, no prompt (a
// command-line run drives the models so). The prompt, were it asked for, is not passed.
class HeadlessFormhomeHost final : public FormhomeHost {
 public:
  bool RunLoginPrompt() override { return false; }
  void BringToFront() override {}
  void CloseWindow() override {}
  void Minimize() override {}
  void OpenAccessGate() override {}
  void OpenWebPage(std::wstring_view) override {}
  void TrimWorkingSet(std::size_t, std::size_t) override {}
  void StartStartupTimer() override {}
};

// Whether the start-up password is switched on: EnablePassword in the program's key is the
// number 1. Anything else (0, another number, a missing value or key) leaves it off.
bool StartupPasswordSwitchedOn(registry::RegistryAccess& registry);

inline constexpr std::wstring_view kApplyReminder = L"系统服务优化完成，请重新启动计算机";
inline constexpr std::wstring_view kNoticeTitle = L"提示";

// The main window formhome: start-up, the start-up timer with its password gate, shutdown,
// and the chrome around the service list (hover help, pages, links, close control).
class Formhome {
 public:
  Formhome(registry::RegistryAccess& registry, PresetFileStore& presetFile,
           const AnsiCodec& codePage936, MessagePresenter& messages, FormhomeHost& host);
  Formhome(const Formhome&) = delete;
  Formhome& operator=(const Formhome&) = delete;

  StartTypeTriads& Triads() { return triads_; }
  ModesAndPresets& Modes() { return modes_; }
  SavedChoices& Choices() { return savedChoices_; }

  // The load step: information block, policy keys, preset list, start-up timer, restored
  // control states. Runs once, before the window is shown. From then on the user's choices are
  // saved as they change (SavedChoices), so a run that ends without its shutdown loses none.
  void Load();
  // Each tick of Timer2 (1 ms, armed by Load).
  void OnTimer2();
  // Each tick of Timer1 (1000 ms): trims the working set.
  void OnTimer1();
  // The shutdown: saves the preset list and the 170 control states. Runs at most once, and
  // only after the load step: a window that never loaded has nothing of the user's to save.
  void Unload();

  // The main window takes no input until the start-up password gate has let the user in.
  bool AcceptsInput() const { return acceptsInput_; }
  std::int16_t StartupCounter() const { return startupCounter_; }

  // Hover help: the mouse moved over the caption label of catalogue entry number.
  void OnCaptionMouseMove(int number);
  // Label59 (page 1) or Label60 (page 2).
  const std::wstring& Description(int page) const;
  // 1 while Picture6 is shown, 2 while Picture1 is.
  int VisiblePage() const { return visiblePage_; }

  void OnLabel33Click();
  void OnLabel58Click();
  void OnLabel162Click();
  void OnLblTaskCloseClick();
  void OnLblCapClick(int index);
  void OnCmdEndValueChanged(bool& value);

  // Called after the description texts, the visible page or the input flag changed.
  void OnChanged(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void WriteProgramInformation();
  void Notify() const;

  registry::RegistryAccess& registry_;
  MessagePresenter& messages_;
  FormhomeHost& host_;
  StartTypeTriads triads_;
  ModesAndPresets modes_;
  SavedChoices savedChoices_;
  std::int16_t startupCounter_ = 0;
  bool loaded_ = false;
  bool unloaded_ = false;
  bool acceptsInput_ = false;
  int visiblePage_ = 1;
  std::wstring descriptions_[2];
  std::function<void()> listener_;
};

}  // namespace svctune
