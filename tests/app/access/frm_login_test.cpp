// The start-up password prompt's behaviour.
#include "access/frm_login.h"

#include <gtest/gtest.h>

#include "access/frm_password.h"
#include "access_fixture.h"

namespace svctune::access {
namespace {

class LoginTest : public ::testing::TestWithParam<testing::BackendKind>, public AccessTest {
 protected:
  LoginTest() : AccessTest(GetParam()) {}

  void Enter(frmLogin& login, std::wstring_view text) {
    login.txtPassword_Change(std::wstring(text));
    int key = 13;
    login.txtPassword_KeyPress(key);
    EXPECT_EQ(0, key) << "Enter is consumed";
  }
};

TEST_P(LoginTest, TheRightPasswordLetsTheUserOn) {
  StorePassword(L"secret7");
  frmLogin login(Services());
  login.txtPassword_Change(L"secret7");
  login.cmdOK_Click();
  EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_P(LoginTest, EnterInTheEntryBoxChecksAndOtherKeysDoNot) {
  StorePassword(L"secret7");
  frmLogin login(Services());
  login.txtPassword_Change(L"secret7");
  int key = 'a';
  login.txtPassword_KeyPress(key);
  EXPECT_EQ('a', key);
  EXPECT_EQ(LoginOutcome::kOpen, login.Outcome());
  Enter(login, L"secret7");
  EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
}

TEST_P(LoginTest, AWrongEntryIsEmptiedAndTheUserMayTryAgainAndAgain) {
  StorePassword(L"secret7");
  frmLogin login(Services());
  for (const std::wstring_view wrong : {L"", L"secret", L"Secret7", L"secret7 ", L"secret8"}) {
    Messages().shown.clear();
    Enter(login, wrong);
    ASSERT_EQ(1u, Messages().shown.size()) << "entry " << std::string(wrong.begin(), wrong.end());
    EXPECT_EQ(frmLogin::kWrongPasswordMessage, Messages().shown[0].text);
    EXPECT_EQ(kProgramTitle, Messages().shown[0].title);
    EXPECT_EQ(MessageIcon::kCritical, Messages().shown[0].icon);
    EXPECT_EQ(L"", login.txtPasswordText());
    EXPECT_TRUE(login.TakeFocusRequest());
    EXPECT_FALSE(login.TakeFocusRequest()) << "asked once";
    EXPECT_EQ(LoginOutcome::kOpen, login.Outcome());
  }
  for (int attempt = 0; attempt < 50; ++attempt) {
    login.txtPassword_Change(L"nope");
    login.cmdOK_Click();
  }
  EXPECT_EQ(LoginOutcome::kOpen, login.Outcome());
  Enter(login, L"secret7");
  EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
}

TEST_P(LoginTest, CancelAndEveryOtherWayOfClosingEndTheProgram) {
  StorePassword(L"secret7");
  frmLogin cancelled(Services());
  cancelled.txtPassword_Change(L"secret7");
  cancelled.cmdCancel_Click();
  EXPECT_EQ(LoginOutcome::kCancelled, cancelled.Outcome());
  cancelled.cmdOK_Click();
  EXPECT_EQ(LoginOutcome::kCancelled, cancelled.Outcome()) << "no way back after a cancel";

  frmLogin closed(Services());
  closed.txtPassword_Change(L"secret7");
  closed.Form_QueryUnload();
  EXPECT_EQ(LoginOutcome::kCancelled, closed.Outcome());

  frmLogin accepted(Services());
  accepted.txtPassword_Change(L"secret7");
  accepted.cmdOK_Click();
  accepted.Form_QueryUnload();
  EXPECT_EQ(LoginOutcome::kAccepted, accepted.Outcome());
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_P(LoginTest, AMissingPasswordAcceptsAnEmptyEntryOnly) {
  CreateStore();
  StoreEnable(1);
  frmLogin login(Services());
  Enter(login, L"anything");
  EXPECT_EQ(LoginOutcome::kOpen, login.Outcome());
  Enter(login, L"");
  EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
}

TEST_P(LoginTest, APasswordStoredByAnEarlierVersionIsAccepted) {
  CreateStore();
  StoreEnable(1);
  StoreRawPassword(L"UWY[]_");
  frmLogin login(Services());
  Enter(login, L"abcdef");
  EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
}

TEST_P(LoginTest, EveryPasswordTheSettingsAcceptWorksAtTheNextStart) {
  for (const std::wstring_view password :
       {L"abcdef", L"我的电脑密码", L"Ｐａｓｓ１２３", L",+*)('", L"~~~~~~~~~~~~~~~~~~~~~~~~"}) {
    CreateStore();
    frmPassword settings(Services());
    settings.Form_Load();
    if (settings.chkPasswordValue() != 1) {
      settings.chkPassword_Click();
    }
    settings.txtPassword1_Change(std::wstring(password));
    settings.txtPassword2_Change(std::wstring(password));
    settings.cmdOK_Click();
    ASSERT_TRUE(settings.Closed());

    frmLogin login(Services());
    Enter(login, password);
    EXPECT_EQ(LoginOutcome::kAccepted, login.Outcome());
  }
}

TEST_P(LoginTest, OnlyALeftDragOfTheTitleMovesTheWindow) {
  frmLogin login(Services());
  login.lblTitle_MouseDown(kLeftButton, 40, 8);
  const std::optional<WindowOffset> moved = login.lblTitle_MouseMove(kLeftButton, 55, 3);
  ASSERT_TRUE(moved);
  EXPECT_EQ(15, moved->dx);
  EXPECT_EQ(-5, moved->dy);
  login.lblTitle_MouseDown(kRightButton, 40, 8);
  EXPECT_FALSE(login.lblTitle_MouseMove(kRightButton, 55, 3));
  EXPECT_FALSE(login.lblTitle_MouseMove(kLeftButton | kRightButton, 55, 3));
  EXPECT_FALSE(login.lblTitle_MouseMove(0, 55, 3));
}

INSTANTIATE_TEST_SUITE_P(Backends, LoginTest, ::testing::ValuesIn(testing::AvailableBackends()),
                         BackendParamName);

}  // namespace
}  // namespace svctune::access
