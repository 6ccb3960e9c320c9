// The password settings' behaviour: opening, the check box, the rules for a new password,
// saving and removing, and a store that cannot be written.
#include "access/frm_password.h"

#include <gtest/gtest.h>

#include "access_fixture.h"
#include "registry/memory_registry.h"

namespace svctune::access {
namespace {

class PasswordTest : public ::testing::TestWithParam<testing::BackendKind>, public AccessTest {
 protected:
  PasswordTest() : AccessTest(GetParam()) {}

  // Opens the settings with the box ticked and both entries holding entry1 and entry2.
  std::unique_ptr<frmPassword> OpenTicked(const std::wstring& entry1, const std::wstring& entry2) {
    auto settings = std::make_unique<frmPassword>(Services());
    settings->Form_Load();
    if (settings->chkPasswordValue() != 1) {
      settings->chkPassword_Click();
    }
    settings->txtPassword1_Change(entry1);
    settings->txtPassword2_Change(entry2);
    return settings;
  }

  void ExpectOnlyMessage(std::wstring_view text, MessageIcon icon) {
    ASSERT_EQ(1u, Messages().shown.size());
    EXPECT_EQ(text, Messages().shown[0].text);
    EXPECT_EQ(kProgramTitle, Messages().shown[0].title);
    EXPECT_EQ(icon, Messages().shown[0].icon);
  }

  void ExpectRefused(frmPassword& settings, std::wstring_view message) {
    ExpectOnlyMessage(message, MessageIcon::kCritical);
    EXPECT_FALSE(settings.Closed());
    EXPECT_EQ(L"", settings.txtPassword1Text());
    EXPECT_EQ(L"", settings.txtPassword2Text());
    EXPECT_EQ(PasswordFocus::kTxtPassword1, settings.TakeFocusRequest());
  }
};

TEST_P(PasswordTest, OpeningWithAPasswordSetShowsTheBoxTickedAndTheCurrentPassword) {
  StorePassword(L"secret7");
  frmPassword settings(Services());
  EXPECT_EQ(0, settings.chkPasswordValue());
  EXPECT_FALSE(settings.fraSetPasswordEnabled());
  settings.Form_Load();
  EXPECT_EQ(1, settings.chkPasswordValue());
  EXPECT_TRUE(settings.fraSetPasswordEnabled());
  EXPECT_EQ(L"secret7", settings.txtPassword1Text());
  EXPECT_EQ(L"secret7", settings.txtPassword2Text());
  EXPECT_EQ(PasswordFocus::kTxtPassword1, settings.TakeFocusRequest());
  EXPECT_FALSE(settings.TakeFocusRequest());
}

TEST_P(PasswordTest, AMissingOrUnusableFlagLeavesTheBoxAsItWas) {
  frmPassword noKey(Services());
  noKey.Form_Load();
  EXPECT_EQ(0, noKey.chkPasswordValue());
  EXPECT_FALSE(noKey.TakeFocusRequest()) << "the check-box step did not run";

  CreateStore();
  for (const std::int32_t odd : {7, -1}) {
    StoreEnable(odd);
    frmPassword settings(Services());
    settings.Form_Load();
    EXPECT_EQ(0, settings.chkPasswordValue());
    EXPECT_FALSE(settings.fraSetPasswordEnabled());
  }
  StoreEnable(0);
  frmPassword off(Services());
  off.Form_Load();
  EXPECT_EQ(0, off.chkPasswordValue());
  EXPECT_FALSE(off.TakeFocusRequest());
}

TEST_P(PasswordTest, AGreyedFlagCountsAsUnticked) {
  StorePassword(L"secret7");
  StoreEnable(2);
  frmPassword settings(Services());
  settings.Form_Load();
  EXPECT_EQ(2, settings.chkPasswordValue());
  EXPECT_FALSE(settings.fraSetPasswordEnabled());
  EXPECT_EQ(L"", settings.txtPassword1Text());
  settings.chkPassword_Click();
  EXPECT_EQ(1, settings.chkPasswordValue());
  EXPECT_EQ(L"secret7", settings.txtPassword1Text());
}

TEST_P(PasswordTest, TheCheckBoxSwitchesTheEntriesOnWithTheCurrentPasswordAndOffEmpty) {
  StorePassword(L"secret7");
  StoreEnable(0);
  frmPassword settings(Services());
  settings.Form_Load();
  settings.chkPassword_Click();
  EXPECT_EQ(1, settings.chkPasswordValue());
  EXPECT_TRUE(settings.fraSetPasswordEnabled());
  EXPECT_EQ(L"secret7", settings.txtPassword2Text());
  EXPECT_EQ(PasswordFocus::kTxtPassword1, settings.TakeFocusRequest());
  settings.chkPassword_Click();
  EXPECT_EQ(0, settings.chkPasswordValue());
  EXPECT_FALSE(settings.fraSetPasswordEnabled());
  EXPECT_EQ(L"", settings.txtPassword1Text());
  EXPECT_EQ(L"", settings.txtPassword2Text());
  EXPECT_EQ(PasswordFocus::kCmdOK, settings.TakeFocusRequest());
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_P(PasswordTest, ASixCharacterPasswordIsSetEncipheredAndTheWindowCloses) {
  CreateStore();
  auto settings = OpenTicked(L"abcdef", L"abcdef");
  settings->cmdOK_Click();
  ExpectOnlyMessage(frmPassword::kSetMessage, MessageIcon::kInformation);
  EXPECT_TRUE(settings->Closed());
  EXPECT_EQ(registry::Variant(1), EnablePassword());
  EXPECT_EQ(L"UWY[]_", RawPassword());
}

TEST_P(PasswordTest, EnterInTheConfirmationBoxSaves) {
  CreateStore();
  auto settings = OpenTicked(L"我的电脑密码", L"我的电脑密码");
  int key = 'x';
  settings->txtPassword2_KeyPress(key);
  EXPECT_FALSE(settings->Closed());
  key = 13;
  settings->txtPassword2_KeyPress(key);
  EXPECT_EQ(0, key);
  EXPECT_TRUE(settings->Closed());
  EXPECT_EQ(registry::Variant(1), EnablePassword());
  EXPECT_EQ(L"我的电脑密码", PasswordStore(Registry(), testing::ChineseAnsiCodec()).ReadPassword());
}

TEST_P(PasswordTest, AFiveCharacterPasswordIsRefusedAndNothingIsWritten) {
  CreateStore();
  auto settings = OpenTicked(L"abcde", L"abcde");
  settings->cmdOK_Click();
  ExpectRefused(*settings, frmPassword::kTooShortMessage);
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), EnablePassword());
  EXPECT_FALSE(RawPassword());
}

TEST_P(PasswordTest, EntriesDifferingOnlyInLetterCaseAreRefused) {
  StorePassword(L"secret7");
  auto settings = OpenTicked(L"Password", L"password");
  settings->cmdOK_Click();
  ExpectRefused(*settings, frmPassword::kMismatchMessage);
  EXPECT_EQ(L"secret7", PasswordStore(Registry(), testing::ChineseAnsiCodec()).ReadPassword());
}

TEST_P(PasswordTest, APasswordTheCodePageCannotHoldIsRefused) {
  CreateStore();
  auto settings = OpenTicked(L"비밀번호비밀번호", L"비밀번호비밀번호");
  settings->cmdOK_Click();
  ExpectRefused(*settings, frmPassword::kUnstorableMessage);
  EXPECT_FALSE(RawPassword());
}

TEST_P(PasswordTest, RemovingWritesZeroAndAnEmptyPassword) {
  StorePassword(L"secret7");
  frmPassword settings(Services());
  settings.Form_Load();
  settings.chkPassword_Click();
  settings.cmdOK_Click();
  ExpectOnlyMessage(frmPassword::kRemovedMessage, MessageIcon::kInformation);
  EXPECT_TRUE(settings.Closed());
  EXPECT_EQ(registry::Variant(0), EnablePassword());
  EXPECT_EQ(L"", RawPassword());
}

TEST_P(PasswordTest, CancelAndClosingWriteNothing) {
  StorePassword(L"secret7");
  auto cancelled = OpenTicked(L"another1", L"another1");
  cancelled->cmdCancel_Click();
  EXPECT_TRUE(cancelled->Closed());
  cancelled->cmdOK_Click();
  auto closed = OpenTicked(L"another1", L"another1");
  closed->Form_QueryUnload();
  EXPECT_TRUE(closed->Closed());
  closed->cmdOK_Click();
  EXPECT_TRUE(Messages().shown.empty());
  EXPECT_EQ(registry::Variant(1), EnablePassword());
  EXPECT_EQ(L"secret7", PasswordStore(Registry(), testing::ChineseAnsiCodec()).ReadPassword());
}

TEST_P(PasswordTest, AMissingStoreKeyIsReportedAsAFailureAndTheWindowStaysOpen) {
  auto setting = OpenTicked(L"abcdef", L"abcdef");
  setting->cmdOK_Click();
  ExpectOnlyMessage(frmPassword::kSetFailedMessage, MessageIcon::kCritical);
  EXPECT_FALSE(setting->Closed());
  EXPECT_EQ(L"abcdef", setting->txtPassword1Text()) << "the entries stay for another try";

  Messages().shown.clear();
  frmPassword removing(Services());
  removing.cmdOK_Click();
  ExpectOnlyMessage(frmPassword::kRemoveFailedMessage, MessageIcon::kCritical);
  EXPECT_FALSE(removing.Closed());
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), EnablePassword());
}

INSTANTIATE_TEST_SUITE_P(Backends, PasswordTest, ::testing::ValuesIn(testing::AvailableBackends()),
                         BackendParamName);

// A user without administrator rights: the store key exists but refuses every change.
class PasswordWithoutRightsTest : public ::testing::Test {
 protected:
  PasswordWithoutRightsTest()
      : registry_(testing::ChineseAnsiCodec()),
        access_(registry_, testing::ChineseAnsiCodec(), messages_, std::wstring(kProgramTitle)) {
    access_.CreateKeyByPath(std::wstring(kPasswordStorePath));
    access_.SetDwordByPath(std::wstring(kPasswordStorePath), kEnablePasswordValue, 1);
    PasswordStore(access_, testing::ChineseAnsiCodec()).WritePassword(L"secret7");
    registry_.DenyChanges(registry::kLocalMachine, "Software\\Hollin Soft");
  }
  AccessServices Services() { return {access_, testing::ChineseAnsiCodec(), messages_}; }
  PasswordStore Store() { return PasswordStore(access_, testing::ChineseAnsiCodec()); }

  registry::MemoryRegistry registry_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
};

TEST_F(PasswordWithoutRightsTest, RemovingFailsVisiblyAndTheStoreKeepsThePassword) {
  frmPassword settings(Services());
  settings.Form_Load();
  settings.chkPassword_Click();
  settings.cmdOK_Click();
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ(frmPassword::kRemoveFailedMessage, messages_.shown[0].text);
  EXPECT_EQ(MessageIcon::kCritical, messages_.shown[0].icon);
  EXPECT_FALSE(settings.Closed());
  EXPECT_EQ(registry::Variant(1), Store().ReadEnablePassword());
  EXPECT_EQ(L"secret7", Store().ReadPassword());
}

TEST_F(PasswordWithoutRightsTest, ChangingFailsVisiblyAndTheOldPasswordStays) {
  frmPassword settings(Services());
  settings.Form_Load();
  settings.txtPassword1_Change(L"another1");
  settings.txtPassword2_Change(L"another1");
  settings.cmdOK_Click();
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ(frmPassword::kSetFailedMessage, messages_.shown[0].text);
  EXPECT_FALSE(settings.Closed());
  EXPECT_EQ(L"secret7", Store().ReadPassword());
}

}  // namespace
}  // namespace svctune::access
