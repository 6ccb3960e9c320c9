#include "gate/passs.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "program_info.h"
#include "recording_presenter.h"
#include "registry/memory_registry.h"
#include "test_codec.h"

namespace svctune {
namespace {

class FakeGateHost final : public PasssHost {
 public:
  void ShowPasswordSettings() override { calls.push_back("settings"); }
  void Unload() override { calls.push_back("unload"); }
  void OpenInstructions() override { calls.push_back("instructions"); }
  std::vector<std::string> calls;
};

class PasssTest : public ::testing::Test {
 protected:
  PasssTest()
      : registry_(testing::ChineseAnsiCodec()),
        access_(registry_, testing::ChineseAnsiCodec(), messages_, L"svctune") {
    Open();
  }

  Passs& Open() {
    gate_ = std::make_unique<Passs>(access_, testing::ChineseAnsiCodec(), messages_, host_);
    gate_->Load();
    return *gate_;
  }
  registry::Variant Stored() {
    return access_.ReadStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue);
  }
  void Enter(const std::wstring& password) {
    gate_->SetText1(password);
    gate_->OnCommand1Click();
  }
  void ChangeTo(const std::wstring& password) {
    gate_->OnCheck1Click(true);
    gate_->SetText2(password);
    gate_->OnCommand2Click();
  }

  registry::MemoryRegistry registry_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
  FakeGateHost host_;
  std::unique_ptr<Passs> gate_;
};

TEST_F(PasssTest, ScramblingAddsThreeExceptForThreeControlCodes) {
  EXPECT_EQ(L"fed", gate_->lockCode(L"cba"));
  EXPECT_EQ(std::wstring(L"\x10\x18\x20"), gate_->lockCode(std::wstring(L"\x08\x0c\x12")));
  EXPECT_EQ(std::wstring(L"\x10\x18\x20"), gate_->lockCode(std::wstring(L"\x0d\x15\x1d")));
  EXPECT_EQ(std::wstring(L"\x08\x0c\x12"), gate_->unlockCode(std::wstring(L"\x10\x18\x20")));
  EXPECT_EQ(L"", gate_->lockCode(L""));
  EXPECT_EQ(L"cba", gate_->unlockCode(gate_->lockCode(L"cba")));
  EXPECT_EQ(L"3<:864", gate_->StoredForm(L"135790"));
}

TEST_F(PasssTest, FirstOpeningAsksForTheDefaultAndTheTimerStoresIt) {
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ(L"请输入初始密码", messages_.shown[0].text);
  EXPECT_EQ(kProgramTitle, messages_.shown[0].title);
  EXPECT_EQ(L"135790", gate_->pass());
  EXPECT_TRUE(registry::IsEmpty(Stored()));
  gate_->OnTimer1();
  EXPECT_EQ(registry::Variant(std::wstring(L"3<:864")), Stored());
  EXPECT_EQ(L"初始登陆密码：135790", Passs::Label3Text());

  Enter(L"135790");
  EXPECT_TRUE(gate_->pd());
  EXPECT_TRUE(gate_->Visible().command3);
  EXPECT_TRUE(gate_->Visible().label4);
  EXPECT_FALSE(gate_->Visible().text1);
  EXPECT_FALSE(gate_->Visible().command1);
  EXPECT_EQ(L"", gate_->Text1());
}

TEST_F(PasssTest, AWrongEntryOnlySelectsTheTextForRetyping) {
  Enter(L"000000");
  EXPECT_FALSE(gate_->pd());
  EXPECT_TRUE(gate_->Text1Selected());
  EXPECT_EQ(Passs::Focus::kText1, gate_->FocusTarget());
  EXPECT_TRUE(gate_->Visible().command1);
  EXPECT_EQ(1u, messages_.shown.size()) << "no message for a wrong entry";
}

TEST_F(PasssTest, ChangingThePasswordNeedsACorrectEntryFirst) {
  gate_->OnCheck1Click(true);
  EXPECT_FALSE(gate_->Check1());
  ASSERT_EQ(2u, messages_.shown.size());
  EXPECT_EQ(L"您必须输入正确密码，并确认才能修改密码!", messages_.shown[1].text);
  EXPECT_EQ(L"提示", messages_.shown[1].title);
  EXPECT_EQ(MessageIcon::kCritical, messages_.shown[1].icon);
  Enter(L"wrong");
  gate_->OnCheck1Click(true);
  EXPECT_FALSE(gate_->Check1());
  EXPECT_FALSE(gate_->Visible().text2);

  Enter(L"135790");
  gate_->OnCheck1Click(true);
  EXPECT_TRUE(gate_->Check1());
  EXPECT_TRUE(gate_->Visible().text2);
  EXPECT_TRUE(gate_->Visible().command2);
  EXPECT_FALSE(gate_->Visible().check1);
  EXPECT_FALSE(gate_->Visible().command3);
  EXPECT_EQ(Passs::Focus::kText2, gate_->FocusTarget());

  gate_->SetText2(L"abc123");
  gate_->OnCommand2Click();
  ASSERT_TRUE(gate_->Visible().label1[2]);
  EXPECT_TRUE(gate_->Check1());
  gate_->OnCheck1Click(false);
  EXPECT_EQ(4u, messages_.shown.size()) << "unticking shows the notice too";
  EXPECT_FALSE(gate_->Check1());
  EXPECT_FALSE(gate_->Visible().text2);
}

// Whatever sends them (a posted WM_COMMAND, WM_SETTEXT on a hidden box, a click on a hidden
// button), the gate takes only the commands and entries of the controls it shows.
TEST_F(PasssTest, CommandsOfHiddenControlsAreRefused) {
  const registry::Variant defaultStored(std::wstring(L"3<:864"));
  gate_->OnTimer1();
  // Asking: neither the settings nor a new password.
  gate_->SetText2(L"evil99");
  gate_->OnCommand2Click();
  gate_->OnCommand3Click();
  EXPECT_TRUE(host_.calls.empty()) << "the settings need the gate password";
  EXPECT_EQ(defaultStored, Stored()) << "a new password needs the old one";
  EXPECT_EQ(L"", gate_->Text2());
  EXPECT_EQ(1u, messages_.shown.size()) << "refused without a word, as a hidden control would";

  // Confirmed: Text1, Command1 and Command2 are hidden.
  Enter(L"135790");
  gate_->SetText2(L"evil99");
  gate_->OnCommand2Click();
  Enter(L"135790");
  EXPECT_EQ(defaultStored, Stored());
  EXPECT_EQ(L"", gate_->Text1());
  EXPECT_EQ(Passs::Focus::kNone, gate_->FocusTarget()) << "no retyping into a hidden box";
  // New password: Command3 and Check1 are hidden.
  gate_->OnCheck1Click(true);
  ASSERT_TRUE(gate_->Visible().text2);
  gate_->OnCommand3Click();
  gate_->OnCheck1Click(false);
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_TRUE(gate_->Visible().text2);
  EXPECT_FALSE(gate_->Visible().check1);
  EXPECT_EQ(1u, messages_.shown.size());

  // Confirming, Check1 unticked and ticked again: the tick handler only hides Check1, Command3
  // and Label4 and shows Label1 1, Text2 and Command2, so the confirming controls stay. The
  // new-password box is emptied whenever it is shown: nothing typed before counts.
  gate_->SetText2(L"abc123");
  gate_->OnCommand2Click();
  gate_->OnCheck1Click(false);
  gate_->OnCheck1Click(true);
  const Passs::Visibility& visible = gate_->Visible();
  EXPECT_TRUE(visible.label1[1] && visible.text2 && visible.command2);
  EXPECT_TRUE(visible.label1[2] && visible.text1 && visible.command1);
  EXPECT_FALSE(visible.check1 || visible.command3 || visible.label4 || visible.label1[0]);
  EXPECT_EQ(L"", gate_->Text2());
}

// Every control the gate has, in the order of its table of controls, as the names of those shown.
std::string Shown(const Passs::Visibility& visible) {
  const std::pair<bool, const char*> controls[] = {
      {visible.label1[0], "Label1(0)"}, {visible.label1[1], "Label1(1)"},
      {visible.label1[2], "Label1(2)"}, {visible.text1, "Text1"},
      {visible.text2, "Text2"},         {visible.command1, "Command1"},
      {visible.command2, "Command2"},   {visible.command3, "Command3"},
      {visible.check1, "Check1"},       {visible.label4, "Label4"}};
  std::string shown;
  for (const auto& [on, name] : controls) {
    if (on) {
      shown += (shown.empty() ? "" : " ") + std::string(name);
    }
  }
  return shown;
}

// The gate's sequences, step by step: what each handler shows and hides, and after every step
// each hidden control's command or entry is refused (nothing of the gate changes).
TEST_F(PasssTest, EachStepShowsWhatThePartSetsAndHiddenControlsAreRefused) {
  enum Kind { kEnter, kTick, kUntick, kStore, kSettings };
  struct Step {
    Kind kind;
    const wchar_t* text;
    const char* shown;
  };
  const std::vector<std::vector<Step>> sequences = {
      {{kEnter, L"000000", "Label1(0) Text1 Command1 Check1"},
       {kTick, nullptr, "Label1(0) Text1 Command1 Check1"},
       {kEnter, L"135790", "Command3 Check1 Label4"},
       {kTick, nullptr, "Label1(1) Text2 Command2"},
       {kStore, L"abc123", "Label1(2) Text1 Command1 Check1"},
       {kEnter, L"135790", "Label1(2) Text1 Command1 Check1"},
       {kEnter, L"abc123", "Command3 Check1 Label4"},
       {kUntick, nullptr, "Command3 Check1 Label4"},
       {kSettings, nullptr, "Command3 Check1 Label4"}},
      // Confirming, Check1 unticked and ticked again: both entry boxes and both commands.
      {{kEnter, L"135790", "Command3 Check1 Label4"},
       {kTick, nullptr, "Label1(1) Text2 Command2"},
       {kStore, L"abc123", "Label1(2) Text1 Command1 Check1"},
       {kUntick, nullptr, "Label1(2) Text1 Command1 Check1"},
       {kTick, nullptr, "Label1(1) Label1(2) Text1 Text2 Command1 Command2"},
       {kEnter, L"wrong1", "Label1(1) Label1(2) Text1 Text2 Command1 Command2"},
       {kEnter, L"abc123", "Text2 Command2 Command3 Label4"},
       {kStore, L"xyz789", "Label1(2) Text1 Command1 Command3 Check1"},
       {kSettings, nullptr, "Label1(2) Text1 Command1 Command3 Check1"}},
  };
  auto snapshot = [&] {
    std::wostringstream state;
    state << Shown(gate_->Visible()).c_str() << L'|' << gate_->pass() << L'|' << gate_->pd() << L'|'
          << gate_->Text1() << L'|' << gate_->Text2() << L'|' << gate_->Check1() << L'|'
          << static_cast<int>(gate_->FocusTarget()) << L'|' << registry::ToText(Stored()) << L'|'
          << host_.calls.size() << L'|' << messages_.shown.size();
    return state.str();
  };
  for (std::size_t s = 0; s < sequences.size(); ++s) {
    host_.calls.clear();
    access_.WriteStringValue(registry::kCurrentUser, kGateStorePath, kGateStoreValue,
                             gate_->StoredForm(kDefaultGatePassword));
    Open();
    ASSERT_EQ("Label1(0) Text1 Command1 Check1", Shown(gate_->Visible()));
    for (std::size_t i = 0; i < sequences[s].size(); ++i) {
      const Step& step = sequences[s][i];
      SCOPED_TRACE("sequence " + std::to_string(s) + ", step " + std::to_string(i));
      switch (step.kind) {
        case kEnter:
          Enter(step.text);
          break;
        case kTick:
        case kUntick:
          gate_->OnCheck1Click(step.kind == kTick);
          break;
        case kStore:
          gate_->SetText2(step.text);
          gate_->OnCommand2Click();
          break;
        case kSettings:
          gate_->OnCommand3Click();
          ASSERT_EQ((std::vector<std::string>{"settings", "unload"}), host_.calls);
          continue;
      }
      ASSERT_EQ(step.shown, Shown(gate_->Visible()));
      const Passs::Visibility visible = gate_->Visible();
      const std::wstring before = snapshot();
      if (!visible.text1) {
        gate_->SetText1(gate_->pass());
        gate_->OnCommand1Click();
      }
      if (!visible.text2) {
        gate_->SetText2(L"evil99");
      }
      if (!visible.command1) {
        gate_->OnCommand1Click();
      }
      if (!visible.command2) {
        gate_->OnCommand2Click();
      }
      if (!visible.command3) {
        gate_->OnCommand3Click();
      }
      if (!visible.check1) {
        gate_->OnCheck1Click(!gate_->Check1());
      }
      EXPECT_EQ(before, snapshot());
    }
  }
}

TEST_F(PasssTest, ANewPasswordIsStoredScrambledAndAcceptedAfterARestart) {
  Enter(L"135790");
  ChangeTo(L"abc123");
  EXPECT_EQ(registry::Variant(std::wstring(L"654fed")), Stored());
  EXPECT_TRUE(gate_->Visible().label1[2]);
  EXPECT_FALSE(gate_->Visible().label1[0]);
  EXPECT_TRUE(gate_->Visible().text1);
  EXPECT_TRUE(gate_->Visible().command1);
  EXPECT_TRUE(gate_->Visible().check1);
  Enter(L"abc123");
  EXPECT_TRUE(gate_->Visible().command3);

  messages_.shown.clear();
  Open();
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(L"abc123", gate_->pass());
  Enter(L"abc123");
  EXPECT_TRUE(gate_->pd());
  gate_->OnCommand3Click();
  EXPECT_EQ((std::vector<std::string>{"settings", "unload"}), host_.calls);
}

TEST_F(PasssTest, PasswordsThatWouldNotReadBackAreRefused) {
  Enter(L"135790");
  for (const std::wstring& bad : {std::wstring(L""), std::wstring(L"ab\rcd"),
                                  std::wstring(L"x\x15y"), std::wstring(L"\x7f\x7e")}) {
    messages_.shown.clear();
    ChangeTo(bad);
    ASSERT_EQ(1u, messages_.shown.size()) << "refused";
    EXPECT_EQ(MessageIcon::kCritical, messages_.shown[0].icon);
    EXPECT_EQ(L"135790", gate_->pass());
    EXPECT_TRUE(gate_->Visible().text2) << "the new password is asked for again";
  }
  gate_->OnTimer1();
  EXPECT_EQ(registry::Variant(std::wstring(L"3<:864")), Stored());

  messages_.shown.clear();
  ChangeTo(L"密码ok");
  EXPECT_TRUE(messages_.shown.empty()) << "double-byte characters read back";
  Open();
  EXPECT_EQ(L"密码ok", gate_->pass());
}

TEST_F(PasssTest, InstructionsLinkAndClose) {
  gate_->OnLabel2MouseMove();
  EXPECT_TRUE(gate_->Label2Underlined());
  gate_->OnSurfaceMouseMove();
  EXPECT_FALSE(gate_->Label2Underlined());
  gate_->OnLabel2Click();
  gate_->OnUnloadClick();
  EXPECT_EQ((std::vector<std::string>{"instructions", "unload"}), host_.calls);
}

}  // namespace
}  // namespace svctune
