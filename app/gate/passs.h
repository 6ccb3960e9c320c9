#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "registry/registry_access.h"
#include "text/ansi_codec.h"
#include "ui/message_presenter.h"

namespace svctune {

// What the access gate asks of the platform around it.
class PasssHost {
 public:
  virtual ~PasssHost() = default;
  // Shows the password settings window frmPassword (not modal).
  virtual void ShowPasswordSettings() = 0;
  // Unloads the gate window.
  virtual void Unload() = 0;
  // Opens tqpass.txt beside the program with the shell's "open" verb.
  virtual void OpenInstructions() = 0;
};

inline constexpr std::wstring_view kDefaultGatePassword = L"135790";
inline constexpr std::wstring_view kGateStorePath = L"Software\\exp1orer";
inline constexpr std::wstring_view kGateStoreValue = L"pass";

// The access gate passs in front of the password settings. The gate password is kept per user,
// reversed and scrambled by lockCode, in HKCU\Software\exp1orer, value "pass".
//
// Each control's visibility is a flag of its own, set by the handlers exactly as the gate's
// steps set it (so the gate's states Asking, Confirmed, New password and Confirming, and the
// mixtures its steps make, such as ticking Check1 again while confirming, which shows Text2 and
// Command2 beside Text1 and Command1).
//
// Those flags alone decide what the gate does: a command or an entry of a control that is not
// shown is refused, whoever sends it (the window disables what it hides). Command3 is shown
// only by a correct entry and Command2 only by ticking Check1 after one, so the password
// settings open and a new gate password is stored only after the gate password was given in
// this gate session.
class Passs {
 public:
  Passs(registry::RegistryAccess& registry, const AnsiCodec& systemCodePage,
        MessagePresenter& messages, PasssHost& host);

  // The scrambling: each character's ANSI code c becomes 16 for 8, 24 for 12, 32 for 18 and
  // c + 3 otherwise; unlockCode maps back (16 to 8, 24 to 12, 32 to 18, c to c - 3).
  std::wstring lockCode(std::wstring_view coded) const;
  std::wstring unlockCode(std::wstring_view coded) const;
  // The stored form of a gate password: lockCode of the password reversed.
  std::wstring StoredForm(std::wstring_view password) const;

  // Form load: reads the store (or falls back to the default, with a message).
  void Load();
  // Command1, or Enter in Text1: checks the gate password typed into Text1.
  void OnCommand1Click();
  // Check1 changed by the user.
  void OnCheck1Click(bool ticked);
  // Command2, or Enter in Text2: stores the new gate password typed into Text2.
  void OnCommand2Click();
  // Command3: on to the password settings; the gate closes.
  void OnCommand3Click();
  // Timer1, every 500 ms: keeps the store holding the current password.
  void OnTimer1();
  void OnLabel2Click();
  void OnLabel2MouseMove();
  // The pointer moved over the window or the skin control.
  void OnSurfaceMouseMove();
  // The skin's close button.
  void OnUnloadClick();

  // Entry boxes, as the view reports typing; taken only while the box is shown.
  void SetText1(std::wstring text);
  void SetText2(std::wstring text);
  const std::wstring& Text1() const { return text1_; }
  const std::wstring& Text2() const { return text2_; }

  // What the window shows (and lets the user use: a hidden control is disabled as well).
  enum class Focus { kNone, kText1, kText2 };
  struct Visibility {
    bool label1[3] = {true, false, false};
    bool text1 = true;
    bool text2 = false;
    bool command1 = true;
    bool command2 = false;
    bool command3 = false;
    bool check1 = true;
    bool label4 = false;
  };
  const Visibility& Visible() const { return visible_; }
  bool Check1() const { return check1_; }
  bool Label2Underlined() const { return label2Underlined_; }
  Focus FocusTarget() const { return focus_; }
  // Whether Text1's whole text is selected for retyping.
  bool Text1Selected() const { return text1Selected_; }
  // The permission to change the gate password: granted by a correct entry.
  bool pd() const { return pd_; }
  const std::wstring& pass() const { return pass_; }
  // Label3: the default gate password.
  static std::wstring Label3Text();

  void OnChanged(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  // A password whose stored form would not read back as typed is refused.
  bool ReadsBackAsTyped(const std::wstring& password) const;
  std::wstring Map(std::wstring_view coded, bool lock) const;
  void Notify() const;

  registry::RegistryAccess& registry_;
  const AnsiCodec& codec_;
  MessagePresenter& messages_;
  PasssHost& host_;
  std::wstring pass_;
  bool pd_ = false;
  std::wstring text1_;
  std::wstring text2_;
  bool check1_ = false;
  bool label2Underlined_ = false;
  bool text1Selected_ = false;
  Focus focus_ = Focus::kNone;
  Visibility visible_;
  std::function<void()> listener_;
};

}  // namespace svctune
