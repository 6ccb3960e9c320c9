// The password store through the registry layer, against every backend: under Windows the
// real registry, whose text values make the trip wide text -> ANSI -> wide text in the
// system's code page (936 in the tests).
#include "access/password_store.h"

#include <gtest/gtest.h>

#include <string>

#include "access_fixture.h"

namespace svctune::access {
namespace {

class PasswordStoreTest : public ::testing::TestWithParam<testing::BackendKind>, public AccessTest {
 protected:
  PasswordStoreTest() : AccessTest(GetParam()) {}
  PasswordStore Store() { return PasswordStore(Registry(), testing::ChineseAnsiCodec()); }
};

TEST_P(PasswordStoreTest, EveryPasswordTheCodePageHoldsComesBackFromTheRegistry) {
  CreateStore();
  PasswordStore store = Store();
  const std::wstring passwords[] = {
      L"abcdef",
      L"Pass word 123!",
      L"~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",  // codes of 128 and more from position 15
      L"zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz",
      L" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~",
      L",+*)('",   // enciphers to six blanks
      L",+*)('&",  // seven
      L"密码测试abc",
      L"我的电脑我的密码",
      L"ＡＢＣ１２３～",
      L"丂丄丅丆丏乀乁",
      L"  lead and trail  ",
  };
  for (const std::wstring& password : passwords) {
    ASSERT_TRUE(store.CanHold(password)) << "not a password of the code page";
    store.WritePassword(password);
    EXPECT_EQ(password, store.ReadPassword());
  }
  EXPECT_TRUE(Messages().shown.empty());
}

TEST_P(PasswordStoreTest, EveryEncipheredCodeComesBackFromTheRegistry) {
  CreateStore();
  std::string codes;
  for (int round = 0; round < 2; ++round) {
    for (int code = 1; code <= 255; ++code) {
      codes += static_cast<char>(code);
    }
  }
  const AnsiCodec& codec = testing::ChineseAnsiCodec();
  StoreRawPassword(codec.FromAnsi(clsEncryption::StoredBytes(codes)));
  const std::optional<std::wstring> stored = RawPassword();
  ASSERT_TRUE(stored);
  EXPECT_EQ(codes, clsEncryption::CodesOfStoredBytes(codec.ToAnsi(*stored)));
}

TEST_P(PasswordStoreTest, AStoreOfAnEarlierVersionStillReads) {
  CreateStore();
  StoreRawPassword(L"UWY[]_");
  EXPECT_EQ(L"abcdef", Store().ReadPassword());
}

TEST_P(PasswordStoreTest, AMissingPasswordReadsAsTheEmptyText) {
  EXPECT_EQ(L"", Store().ReadPassword());
  CreateStore();
  EXPECT_EQ(L"", Store().ReadPassword());
}

TEST_P(PasswordStoreTest, TheEnableFlagReadsAsANumberOrError) {
  PasswordStore store = Store();
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), store.ReadEnablePassword());
  CreateStore();
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), store.ReadEnablePassword());
  store.WriteEnablePassword(1);
  EXPECT_EQ(registry::Variant(1), store.ReadEnablePassword());
}

TEST_P(PasswordStoreTest, WritesGoOnlyIntoAnExistingKey) {
  PasswordStore store = Store();
  store.WriteEnablePassword(1);
  store.WritePassword(L"abcdef");
  EXPECT_EQ(registry::Variant(std::wstring(L"Error")), store.ReadEnablePassword());
  EXPECT_FALSE(RawPassword());
}

TEST_P(PasswordStoreTest, OnlyTextOfTheCodePageCanBeHeld) {
  PasswordStore store = Store();
  EXPECT_TRUE(store.CanHold(L"abc密码"));
  EXPECT_FALSE(store.CanHold(L"비밀번호"));
  EXPECT_FALSE(store.CanHold(L"abc\U0001F600"));
}

INSTANTIATE_TEST_SUITE_P(Backends, PasswordStoreTest,
                         ::testing::ValuesIn(testing::AvailableBackends()), BackendParamName);

}  // namespace
}  // namespace svctune::access
