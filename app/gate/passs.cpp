#include "gate/passs.h"

#include <algorithm>

#include "program_info.h"

namespace svctune {
namespace {

constexpr std::wstring_view kEnterInitialPassword = L"请输入初始密码";
constexpr std::wstring_view kChangeRefused = L"您必须输入正确密码，并确认才能修改密码!";
constexpr std::wstring_view kNoticeTitle = L"提示";
constexpr std::wstring_view kUnstorablePassword =
    L"新密码不能为空，也不能含有控制字符或无法保存的字符，请重新输入";
constexpr unsigned kFirstPrintableCode = 32;

std::wstring Reversed(std::wstring_view text) {
  return std::wstring(text.rbegin(), text.rend());
}

unsigned LockedCode(unsigned code) {
  switch (code) {
    case 8:
      return 16;
    case 12:
      return 24;
    case 18:
      return 32;
    default:
      return code + 3;
  }
}

unsigned UnlockedCode(unsigned code) {
  switch (code) {
    case 16:
      return 8;
    case 24:
      return 12;
    case 32:
      return 18;
    default:
      return code - 3;
  }
}

}  // namespace

Passs::Passs(registry::RegistryAccess& registry, const AnsiCodec& systemCodePage,
             MessagePresenter& messages, PasssHost& host)
    : registry_(registry), codec_(systemCodePage), messages_(messages), host_(host) {}

// Works on the ANSI code of each character: one byte, or a double-byte character's two bytes
// read as one 16-bit code.
std::wstring Passs::Map(std::wstring_view coded, bool lock) const {
  std::wstring result;
  for (wchar_t character : coded) {
    const std::string bytes = codec_.ToAnsi(std::wstring_view(&character, 1));
    unsigned code = 0;
    for (unsigned char byte : bytes) {
      code = (code << 8) | byte;
    }
    const unsigned mapped = (lock ? LockedCode(code) : UnlockedCode(code)) & 0xFFFF;
    std::string out;
    if (mapped > 0xFF) {
      out += static_cast<char>(mapped >> 8);
    }
    out += static_cast<char>(mapped & 0xFF);
    result += codec_.FromAnsi(out);
  }
  return result;
}

std::wstring Passs::lockCode(std::wstring_view coded) const {
  return Map(coded, true);
}

std::wstring Passs::unlockCode(std::wstring_view coded) const {
  return Map(coded, false);
}

std::wstring Passs::StoredForm(std::wstring_view password) const {
  return lockCode(Reversed(password));
}

std::wstring Passs::Label3Text() {
  return L"初始登陆密码：" + std::wstring(kDefaultGatePassword);
}

bool Passs::ReadsBackAsTyped(const std::wstring& password) const {
  if (password.empty()) {
    return false;
  }
  for (wchar_t character : password) {
    const std::string bytes = codec_.ToAnsi(std::wstring_view(&character, 1));
    if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < kFirstPrintableCode) {
      return false;
    }
  }
  // The store holds ANSI text: what is written must come back the same and unscramble to
  // the password typed.
  const std::wstring stored = StoredForm(password);
  const std::wstring readBack = codec_.FromAnsi(codec_.ToAnsi(stored));
  return readBack == stored && Reversed(unlockCode(readBack)) == password;
}

void Passs::Load() {
  pd_ = false;
  visible_ = Visibility{};
  const registry::Variant stored =
      registry_.ReadStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue);
  const std::wstring text = registry::ToText(stored);
  if (!text.empty()) {
    pass_ = Reversed(unlockCode(text));
  } else {
    pass_ = std::wstring(kDefaultGatePassword);
    messages_.Show(kEnterInitialPassword, kProgramTitle, MessageIcon::kNone);
  }
  text1_.clear();
  focus_ = Focus::kText1;
  Notify();
}

void Passs::SetText1(std::wstring text) {
  if (visible_.text1) {
    text1_ = std::move(text);
  }
}

void Passs::SetText2(std::wstring text) {
  if (visible_.text2) {
    text2_ = std::move(text);
  }
}

void Passs::OnCommand1Click() {
  if (!visible_.command1) {
    return;
  }
  if (text1_ == pass_) {
    visible_.command1 = false;
    visible_.label1[0] = visible_.label1[1] = visible_.label1[2] = false;
    visible_.text1 = false;
    pd_ = true;
    visible_.label4 = true;
    visible_.command3 = true;
    text1Selected_ = false;
    focus_ = Focus::kNone;
  } else {
    focus_ = Focus::kText1;
    text1Selected_ = true;
  }
  text1_.clear();
  Notify();
}

void Passs::OnCheck1Click(bool ticked) {
  if (!visible_.check1) {
    return;
  }
  check1_ = ticked;
  if (ticked && pd_) {
    visible_.check1 = false;
    visible_.label1[1] = true;
    visible_.text2 = true;
    visible_.command2 = true;
    visible_.command3 = false;
    visible_.label4 = false;
    // Only what is typed from now on can become the new password.
    text2_.clear();
    focus_ = Focus::kText2;
  } else {
    check1_ = false;
    messages_.Show(kChangeRefused, kNoticeTitle, MessageIcon::kCritical);
    visible_.label1[1] = false;
    visible_.text2 = false;
    visible_.command2 = false;
  }
  Notify();
}

void Passs::OnCommand2Click() {
  if (!visible_.command2) {
    return;
  }
  if (!ReadsBackAsTyped(text2_)) {
    messages_.Show(kUnstorablePassword, kProgramTitle, MessageIcon::kCritical);
    text2_.clear();
    focus_ = Focus::kText2;
    Notify();
    return;
  }
  registry_.WriteStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue,
                             StoredForm(text2_));
  pass_ = text2_;
  visible_.command2 = false;
  visible_.command1 = true;
  visible_.label4 = false;
  visible_.label1[1] = false;
  visible_.label1[0] = false;
  visible_.label1[2] = true;
  visible_.text2 = false;
  visible_.text1 = true;
  text1_.clear();
  visible_.check1 = true;
  focus_ = Focus::kText1;
  Notify();
}

void Passs::OnCommand3Click() {
  if (!visible_.command3) {
    return;
  }
  host_.ShowPasswordSettings();
  host_.Unload();
}

void Passs::OnTimer1() {
  const std::wstring stored = StoredForm(pass_);
  const registry::Variant current =
      registry_.ReadStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue);
  if (current != registry::Variant(stored)) {
    registry_.WriteStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue, stored);
  }
}

void Passs::OnLabel2Click() {
  host_.OpenInstructions();
}

void Passs::OnLabel2MouseMove() {
  if (!label2Underlined_) {
    label2Underlined_ = true;
    Notify();
  }
}

void Passs::OnSurfaceMouseMove() {
  if (label2Underlined_) {
    label2Underlined_ = false;
    Notify();
  }
}

void Passs::OnUnloadClick() {
  host_.Unload();
}

void Passs::Notify() const {
  if (listener_) {
    listener_();
  }
}

}  // namespace svctune
