// The frmPassword window under Wine: what it shows on opening, the check box, typing and
// saving through OK and Enter, refusals, a store that cannot be written, cancel and close,
// one window at a time, the title drag and the look.
#include "access/win/password_window.h"

#include <gtest/gtest.h>

#include "access_fixture.h"
#include "win/scoped_gdi.h"
#include "window_test_support.h"

namespace svctune::access::win {
namespace {

class PasswordWindowTest : public ::testing::Test, public AccessTest {
 protected:
  PasswordWindowTest() : AccessTest(testing::BackendKind::kSystem) {}
  void TearDown() override {
    if (IsWindow(form_)) {
      DestroyWindow(form_);
    }
    Pump();
  }

  void Open() {
    form_ = ShowPasswordSettings(owner_->get(), Services());
    ASSERT_NE(nullptr, form_);
    Pump();
  }
  HWND Control(int id) const { return Child(form_, id); }
  int Checked() const {
    return static_cast<int>(SendMessageW(Control(kPasswordChkPasswordId), BM_GETCHECK, 0, 0));
  }
  std::optional<std::wstring> StoredPassword() {
    return PasswordStore(Registry(), testing::ChineseAnsiCodec()).ReadPassword();
  }
  void ExpectOnlyMessage(std::wstring_view text, MessageIcon icon) {
    ASSERT_EQ(1u, Messages().shown.size());
    EXPECT_EQ(text, Messages().shown[0].text);
    EXPECT_EQ(kProgramTitle, Messages().shown[0].title);
    EXPECT_EQ(icon, Messages().shown[0].icon);
  }

  static void SetUpTestSuite() { owner_ = new OwnerWindow(); }
  static void TearDownTestSuite() {
    delete owner_;
    owner_ = nullptr;
  }

  static inline OwnerWindow* owner_ = nullptr;
  HWND form_ = nullptr;
};

TEST_F(PasswordWindowTest, OpeningWithAPasswordSetShowsItTickedAndFilled) {
  StorePassword(L"secret7");
  Open();
  EXPECT_EQ(frmPassword::kCaption, TextOf(form_));
  EXPECT_EQ(owner_->get(), GetWindow(form_, GW_OWNER));
  EXPECT_TRUE(IsWindowEnabled(owner_->get())) << "not modal";
  EXPECT_EQ(BST_CHECKED, Checked());
  EXPECT_EQ(L"secret7", TextOf(Control(kPasswordTxtPassword1Id)));
  EXPECT_EQ(L"secret7", TextOf(Control(kPasswordTxtPassword2Id)));
  EXPECT_TRUE(IsWindowEnabled(Control(kPasswordTxtPassword1Id)));
  EXPECT_TRUE(IsWindowEnabled(Control(kPasswordFraSetPasswordId)));
  EXPECT_EQ(Control(kPasswordTxtPassword1Id), GetFocus());
}

TEST_F(PasswordWindowTest, OpeningWithoutAStoreLeavesTheBoxUntickedAndTheFrameOff) {
  Open();
  EXPECT_EQ(BST_UNCHECKED, Checked());
  EXPECT_FALSE(IsWindowEnabled(Control(kPasswordTxtPassword1Id)));
  EXPECT_FALSE(IsWindowEnabled(Control(kPasswordTxtPassword2Id)));
  EXPECT_FALSE(IsWindowEnabled(Control(kPasswordLabel1Id)));
  EXPECT_EQ(Control(kPasswordChkPasswordId), GetFocus());
  PressTab(GetFocus());
  EXPECT_EQ(Control(kPasswordCmdOKId), GetFocus()) << "the disabled entries are passed over";
}

TEST_F(PasswordWindowTest, TickingAndTypingSetsThePasswordAndCloses) {
  CreateStore();
  Open();
  Click(Control(kPasswordChkPasswordId));
  EXPECT_EQ(BST_CHECKED, Checked());
  EXPECT_EQ(Control(kPasswordTxtPassword1Id), GetFocus());
  Type(Control(kPasswordTxtPassword1Id), L"我的密码abc");
  PressTab(Control(kPasswordTxtPassword1Id));
  EXPECT_EQ(Control(kPasswordTxtPassword2Id), GetFocus());
  Type(Control(kPasswordTxtPassword2Id), L"我的密码abc");
  Click(Control(kPasswordCmdOKId));
  Pump();
  ExpectOnlyMessage(frmPassword::kSetMessage, MessageIcon::kInformation);
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_EQ(registry::Variant(1), EnablePassword());
  EXPECT_EQ(L"我的密码abc", StoredPassword());
}

TEST_F(PasswordWindowTest, EnterInTheConfirmationBoxSaves) {
  StorePassword(L"secret7");
  Open();
  SetWindowTextW(Control(kPasswordTxtPassword1Id), L"another1");
  SetWindowTextW(Control(kPasswordTxtPassword2Id), L"another1");
  PressEnter(Control(kPasswordTxtPassword1Id));
  Pump();
  EXPECT_TRUE(IsWindow(form_)) << "Enter in the first box does not save";
  PressEnter(Control(kPasswordTxtPassword2Id));
  Pump();
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_EQ(L"another1", StoredPassword());
}

TEST_F(PasswordWindowTest, AShortOrMismatchedPasswordIsRefusedAndTheEntriesEmptied) {
  StorePassword(L"secret7");
  Open();
  SetWindowTextW(Control(kPasswordTxtPassword1Id), L"abcde");
  SetWindowTextW(Control(kPasswordTxtPassword2Id), L"abcde");
  Click(Control(kPasswordCmdOKId));
  Pump();
  ExpectOnlyMessage(frmPassword::kTooShortMessage, MessageIcon::kCritical);
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_EQ(L"", TextOf(Control(kPasswordTxtPassword1Id)));
  EXPECT_EQ(L"", TextOf(Control(kPasswordTxtPassword2Id)));
  EXPECT_EQ(Control(kPasswordTxtPassword1Id), GetFocus());

  Messages().shown.clear();
  Type(Control(kPasswordTxtPassword1Id), L"Abcdef");
  Type(Control(kPasswordTxtPassword2Id), L"abcdef");
  PressEnter(Control(kPasswordTxtPassword2Id));
  Pump();
  ExpectOnlyMessage(frmPassword::kMismatchMessage, MessageIcon::kCritical);
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_EQ(L"secret7", StoredPassword());
}

TEST_F(PasswordWindowTest, UntickingEmptiesTheEntriesAndOKRemovesThePassword) {
  StorePassword(L"secret7");
  Open();
  Click(Control(kPasswordChkPasswordId));
  EXPECT_EQ(BST_UNCHECKED, Checked());
  EXPECT_EQ(L"", TextOf(Control(kPasswordTxtPassword1Id)));
  EXPECT_FALSE(IsWindowEnabled(Control(kPasswordTxtPassword2Id)));
  EXPECT_EQ(Control(kPasswordCmdOKId), GetFocus());
  PressEnter(Control(kPasswordCmdOKId));
  Pump();
  ExpectOnlyMessage(frmPassword::kRemovedMessage, MessageIcon::kInformation);
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_EQ(registry::Variant(0), EnablePassword());
  EXPECT_EQ(L"", RawPassword());
}

TEST_F(PasswordWindowTest, AStoreThatCannotBeWrittenIsReportedAndTheWindowStays) {
  Open();  // no store key: nothing can be written
  Click(Control(kPasswordChkPasswordId));
  SetWindowTextW(Control(kPasswordTxtPassword1Id), L"abcdef");
  SetWindowTextW(Control(kPasswordTxtPassword2Id), L"abcdef");
  Click(Control(kPasswordCmdOKId));
  Pump();
  ExpectOnlyMessage(frmPassword::kSetFailedMessage, MessageIcon::kCritical);
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_EQ(L"abcdef", TextOf(Control(kPasswordTxtPassword1Id)));
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), EnablePassword());
}

TEST_F(PasswordWindowTest, CancelEscAndCloseWriteNothing) {
  StorePassword(L"secret7");
  const std::function<void(HWND)> closings[] = {
      [](HWND form) { Click(Child(form, kPasswordCmdCancelId)); },
      [](HWND form) { PressEscape(Child(form, kPasswordTxtPassword2Id)); },
      [](HWND form) { PressAltF4(Child(form, kPasswordTxtPassword1Id)); },
      [](HWND form) { SendMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (const auto& close : closings) {
    Open();
    Click(Control(kPasswordChkPasswordId));
    close(form_);
    Pump();
    EXPECT_FALSE(IsWindow(form_));
  }
  EXPECT_TRUE(Messages().shown.empty());
  EXPECT_EQ(registry::Variant(1), EnablePassword());
  EXPECT_EQ(L"secret7", StoredPassword());
}

TEST_F(PasswordWindowTest, ThereIsOneWindowAtATime) {
  Open();
  EXPECT_EQ(form_, ShowPasswordSettings(owner_->get(), Services()));
  Click(Control(kPasswordCmdCancelId));
  Pump();
  const HWND next = ShowPasswordSettings(owner_->get(), Services());
  EXPECT_NE(nullptr, next);
  EXPECT_TRUE(IsWindow(next));
  form_ = next;
}

TEST_F(PasswordWindowTest, OnlyALeftDragOfTheTitleMovesTheWindow) {
  Open();
  const HWND title = Control(kPasswordLblSetPasswordId);
  EXPECT_EQ(frmPassword::kLblSetPasswordCaption, TextOf(title));
  const RECT before = WindowRect(form_);
  Drag(title, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 20, 12, -15, 25);
  EXPECT_EQ(before.left, WindowRect(form_).left);
  EXPECT_EQ(before.top, WindowRect(form_).top);
  Drag(title, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 20, 12, -15, 25);
  EXPECT_EQ(before.left - 15, WindowRect(form_).left);
  EXPECT_EQ(before.top + 25, WindowRect(form_).top);
}

TEST_F(PasswordWindowTest, TheWindowIsFramedWithATitleBandOverALightFace) {
  StorePassword(L"secret7");
  Open();
  RedrawWindow(form_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const svctune::win::WindowDc dc(form_);
  ASSERT_NE(nullptr, dc.get());
  const COLORREF frame = GetPixel(dc.get(), 0, 100);
  const COLORREF bandLeft = GetPixel(dc.get(), 2, 3);
  const COLORREF bandRight = GetPixel(dc.get(), 316, 3);
  const COLORREF face = GetPixel(dc.get(), 6, 180);
  EXPECT_EQ(RGB(0x2B, 0x5C, 0xB8), frame);
  EXPECT_EQ(RGB(0xF0, 0xF4, 0xFB), face);
  EXPECT_LT(GetRValue(bandLeft), GetRValue(bandRight)) << "the band lightens to the right";
  EXPECT_LT(GetBValue(bandLeft), GetBValue(bandRight));
  EXPECT_GT(GetBValue(bandLeft), GetRValue(bandLeft)) << "and is blue";
  SaveWindowImage(form_, L"frmPassword.bmp");
}

}  // namespace
}  // namespace svctune::access::win
