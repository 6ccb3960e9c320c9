// The frmLogin window under Wine: the modal prompt over its owner, typing, OK, Enter,
// cancel and every other way of closing, the title drag and the look.
#include "access/win/login_window.h"

#include <gtest/gtest.h>

#include "access_fixture.h"
#include "win/scoped_gdi.h"
#include "window_test_support.h"

namespace svctune::access::win {
namespace {

class LoginWindowTest : public ::testing::Test, public AccessTest {
 protected:
  LoginWindowTest() : AccessTest(testing::BackendKind::kSystem) {}
  void SetUp() override { StorePassword(L"秘密secret"); }

  static HWND Prompt() { return FindWindowW(kAccessFormClass, frmLogin::kCaption.data()); }

  // Runs the prompt over the owner while script plays the user.
  LoginResult RunWith(std::function<void(HWND prompt)> script) {
    const HWND owner = owner_->get();
    ScriptInLoop user([&] {
      const HWND prompt = Prompt();
      ASSERT_NE(nullptr, prompt);
      EXPECT_TRUE(IsWindowVisible(prompt));
      EXPECT_EQ(owner, GetWindow(prompt, GW_OWNER));
      EXPECT_FALSE(IsWindowEnabled(owner)) << "the main window takes no input meanwhile";
      script(prompt);
    });
    const LoginResult result = RunLoginPrompt(owner, Services());
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, Prompt()) << "the prompt is gone";
    return result;
  }

  static void SetUpTestSuite() { owner_ = new OwnerWindow(); }
  static void TearDownTestSuite() {
    delete owner_;
    owner_ = nullptr;
  }

  static inline OwnerWindow* owner_ = nullptr;
};

TEST_F(LoginWindowTest, WrongEntriesAreRefusedUntilTheRightPasswordIsGiven) {
  const LoginResult result = RunWith([&](HWND prompt) {
    const HWND entry = Child(prompt, kLoginTxtPasswordId);
    EXPECT_EQ(entry, GetFocus());
    for (int attempt = 0; attempt < 3; ++attempt) {
      Type(entry, L"wrong");
      PressEnter(entry);
      EXPECT_EQ(L"", TextOf(entry)) << "emptied";
      EXPECT_EQ(entry, GetFocus());
      EXPECT_TRUE(IsWindow(prompt));
      EXPECT_FALSE(IsWindowEnabled(owner_->get()));
    }
    SetWindowTextW(entry, L"秘密Secret");
    Click(Child(prompt, kLoginCmdOKId));
    EXPECT_EQ(L"", TextOf(entry));
    Type(entry, L"秘密secret");
    Click(Child(prompt, kLoginCmdOKId));
  });
  EXPECT_EQ(LoginResult::kAccepted, result);
  ASSERT_EQ(4u, Messages().shown.size());
  for (const testing::ShownMessage& shown : Messages().shown) {
    EXPECT_EQ(frmLogin::kWrongPasswordMessage, shown.text);
    EXPECT_EQ(kProgramTitle, shown.title);
    EXPECT_EQ(MessageIcon::kCritical, shown.icon);
  }
}

TEST_F(LoginWindowTest, EnterInTheEntryBoxAcceptsTheRightPassword) {
  const LoginResult result = RunWith([](HWND prompt) {
    const HWND entry = Child(prompt, kLoginTxtPasswordId);
    Type(entry, L"秘密secret");
    PressEnter(entry);
  });
  EXPECT_EQ(LoginResult::kAccepted, result);
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_F(LoginWindowTest, CancelEscAltF4AndTheSystemCloseCommandAllCancel) {
  const std::function<void(HWND)> closings[] = {
      [](HWND prompt) { Click(Child(prompt, kLoginCmdCancelId)); },
      [](HWND prompt) { PressEscape(Child(prompt, kLoginTxtPasswordId)); },
      [](HWND prompt) { PressEscape(Child(prompt, kLoginCmdOKId)); },
      [](HWND prompt) { PressAltF4(Child(prompt, kLoginTxtPasswordId)); },
      [](HWND prompt) { SendMessageW(prompt, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND prompt) { PostMessageW(prompt, WM_CLOSE, 0, 0); },
  };
  for (const auto& close : closings) {
    const LoginResult result = RunWith([&](HWND prompt) {
      // Even with the right password typed, only OK or Enter accepts it.
      Type(Child(prompt, kLoginTxtPasswordId), L"秘密secret");
      close(prompt);
    });
    EXPECT_EQ(LoginResult::kCancelled, result);
  }
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_F(LoginWindowTest, AnOwnerThatGoesAwayCancelsThePrompt) {
  auto owner = std::make_unique<OwnerWindow>();
  const HWND ownerWindow = owner->get();
  ScriptInLoop user([&] { owner.reset(); });
  EXPECT_EQ(LoginResult::kCancelled, RunLoginPrompt(ownerWindow, Services()));
  EXPECT_EQ(nullptr, Prompt());
}

TEST_F(LoginWindowTest, TabMovesBetweenTheEntryBoxAndTheButtons) {
  LoginWindow prompt(Services());
  ASSERT_TRUE(prompt.Create(owner_->get()));
  prompt.Show();
  const HWND entry = Child(prompt.hwnd(), kLoginTxtPasswordId);
  EXPECT_EQ(entry, GetFocus());
  PressTab(entry);
  EXPECT_EQ(Child(prompt.hwnd(), kLoginCmdOKId), GetFocus());
  PressTab(GetFocus());
  EXPECT_EQ(Child(prompt.hwnd(), kLoginCmdCancelId), GetFocus());
  PressTab(GetFocus());
  EXPECT_EQ(entry, GetFocus());
  PressEnter(Child(prompt.hwnd(), kLoginCmdCancelId));
  EXPECT_EQ(LoginOutcome::kCancelled, prompt.Outcome());
}

TEST_F(LoginWindowTest, OnlyALeftDragOfTheTitleMovesThePrompt) {
  LoginWindow prompt(Services());
  ASSERT_TRUE(prompt.Create(owner_->get()));
  prompt.Show();
  const HWND title = Child(prompt.hwnd(), kLoginLblTitleId);
  const RECT before = WindowRect(prompt.hwnd());
  Drag(title, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 40, 10, 30, 20);
  Drag(title, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, 40, 10, 30, 20);
  Drag(title, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_RBUTTON, 40, 10, 30, 20);
  EXPECT_EQ(before.left, WindowRect(prompt.hwnd()).left);
  EXPECT_EQ(before.top, WindowRect(prompt.hwnd()).top);
  Drag(title, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 40, 10, 30, 20);
  EXPECT_EQ(before.left + 30, WindowRect(prompt.hwnd()).left);
  EXPECT_EQ(before.top + 20, WindowRect(prompt.hwnd()).top);
  EXPECT_EQ(nullptr, GetCapture()) << "released with the button";
}

TEST_F(LoginWindowTest, ThePromptShowsItsCaptionsAndSymbolsInTheEntryBox) {
  LoginWindow prompt(Services());
  ASSERT_TRUE(prompt.Create(owner_->get()));
  prompt.Show();
  EXPECT_EQ(frmLogin::kCaption, TextOf(prompt.hwnd()));
  EXPECT_EQ(frmLogin::kCaption, TextOf(Child(prompt.hwnd(), kLoginLblTitleId)));
  EXPECT_EQ(frmLogin::kLabel1Caption, TextOf(Child(prompt.hwnd(), kLoginLabel1Id)));
  EXPECT_EQ(frmLogin::kCmdOKCaption, TextOf(Child(prompt.hwnd(), kLoginCmdOKId)));
  EXPECT_EQ(frmLogin::kCmdCancelCaption, TextOf(Child(prompt.hwnd(), kLoginCmdCancelId)));
  EXPECT_NE(nullptr, Child(prompt.hwnd(), kLoginFrame1Id));
  // Typed characters show as Wingdings symbols; a system without Wingdings (Wine without
  // the font) shows password characters instead of the password.
  const HWND entry = Child(prompt.hwnd(), kLoginTxtPasswordId);
  Type(entry, L"abc");
  EXPECT_EQ(L"abc", TextOf(entry));
  const auto entryFont = reinterpret_cast<HFONT>(SendMessageW(entry, WM_GETFONT, 0, 0));
  const svctune::win::WindowDc screen(nullptr);
  const svctune::win::SelectedObject selected(screen.get(), entryFont);
  wchar_t face[LF_FACESIZE] = {};
  ASSERT_GT(GetTextFaceW(screen.get(), LF_FACESIZE, face), 0);
  if (lstrcmpiW(face, L"Wingdings") == 0) {
    EXPECT_EQ(0, SendMessageW(entry, EM_GETPASSWORDCHAR, 0, 0));
  } else {
    EXPECT_NE(0, SendMessageW(entry, EM_GETPASSWORDCHAR, 0, 0));
  }
  SaveWindowImage(prompt.hwnd(), L"frmLogin.bmp");
}

}  // namespace
}  // namespace svctune::access::win
