// The password cipher: its arithmetic over ANSI codes, the stored form of enciphered codes
// and the round trip of every text the code page holds.
#include "access/encryption.h"

#include <gtest/gtest.h>

#include <string>

#include "access/password_store.h"
#include "test_codec.h"

namespace svctune::access {
namespace {

std::string Codes(std::initializer_list<int> values) {
  std::string codes;
  for (const int value : values) {
    codes += static_cast<char>(value);
  }
  return codes;
}

std::string AllCodesFrom(int first) {
  std::string codes;
  for (int code = first; code <= 255; ++code) {
    codes += static_cast<char>(code);
  }
  return codes;
}

// The cipher's steps written out literally, loops and all.
int LiteralStep(int code, int keySum, int position, bool encipher) {
  int value = encipher ? code + keySum + position : code - keySum - position;
  while (encipher && value >= 256) {
    value -= 255;
  }
  while (!encipher && value <= 0) {
    value += 255;
  }
  return value;
}

TEST(Encryption, SumsAndDifferencesAreBroughtIntoOneTo255By255s) {
  EXPECT_EQ(137, clsEncryption::BringDown(392));
  EXPECT_EQ(255, clsEncryption::BringDown(510));
  EXPECT_EQ(1, clsEncryption::BringDown(511));
  EXPECT_EQ(1, clsEncryption::BringDown(256));
  EXPECT_EQ(255, clsEncryption::BringDown(255));
  EXPECT_EQ(255, clsEncryption::BringUp(0));
  EXPECT_EQ(210, clsEncryption::BringUp(-300));
  EXPECT_EQ(255, clsEncryption::BringUp(-255));
  EXPECT_EQ(1, clsEncryption::BringUp(1));
  EXPECT_EQ(127, clsEncryption::BringDown(2147483647));
  EXPECT_EQ(127, clsEncryption::BringUp(-2147483647 - 1));
}

TEST(Encryption, EveryStepMatchesTheLiteralLoops) {
  for (const int keySum : {0, 7, 255, 1007, 65535}) {
    std::string key;
    for (int left = keySum; left > 0; left -= 255) {
      key += static_cast<char>(left >= 255 ? 255 : left);
    }
    const std::string codes = AllCodesFrom(0) + AllCodesFrom(0) + AllCodesFrom(200);
    const auto enciphered = clsEncryption::CryptCodes(codes, key, true);
    const auto deciphered = clsEncryption::CryptCodes(codes, key, false);
    ASSERT_TRUE(enciphered && deciphered);
    ASSERT_EQ(codes.size(), enciphered->size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
      const int code = static_cast<unsigned char>(codes[i]);
      const int position = static_cast<int>(i) + 1;
      ASSERT_EQ(LiteralStep(code, keySum, position, true),
                static_cast<unsigned char>((*enciphered)[i]))
          << "key sum " << keySum << " position " << position;
      ASSERT_EQ(LiteralStep(code, keySum, position, false),
                static_cast<unsigned char>((*deciphered)[i]))
          << "key sum " << keySum << " position " << position;
    }
  }
}

TEST(Encryption, DecipheringWithTheSameKeyGivesEveryCodeBack) {
  const std::string codes = AllCodesFrom(1) + AllCodesFrom(1) + "abcabc";
  for (const char* key : {"", "OakLantern", "\xC3\xDC\xC2\xEB", "\xFF\xFF\xFF\xFF"}) {
    const auto enciphered = clsEncryption::CryptCodes(codes, key, true);
    ASSERT_TRUE(enciphered);
    EXPECT_EQ(std::string::npos, enciphered->find('\0')) << "code 0 never comes out";
    EXPECT_EQ(codes, clsEncryption::CryptCodes(*enciphered, key, false));
  }
}

TEST(Encryption, AnotherKeyGivesOtherTextOfTheSameLength) {
  const auto enciphered = clsEncryption::CryptCodes("secret7", "OakLantern", true);
  ASSERT_TRUE(enciphered);
  const auto wrong = clsEncryption::CryptCodes(*enciphered, "OakLanterm", false);
  ASSERT_TRUE(wrong);
  EXPECT_EQ(7u, wrong->size());
  EXPECT_NE("secret7", *wrong);
}

TEST(Encryption, TheSameCharacterAtTwoPositionsEnciphersDifferently) {
  const auto enciphered = clsEncryption::CryptCodes("aa", "OakLantern", true);
  ASSERT_TRUE(enciphered);
  ASSERT_EQ(2u, enciphered->size());
  EXPECT_NE((*enciphered)[0], (*enciphered)[1]);
}

TEST(Encryption, AnEmptyKeyShiftsByThePositionsOnly) {
  EXPECT_EQ("bdf", clsEncryption::CryptCodes("abc", "", true));
  EXPECT_EQ(Codes({1}), clsEncryption::CryptCodes(Codes({255}), "", true));
  EXPECT_EQ("", clsEncryption::CryptCodes("", "OakLantern", true));
}

TEST(Encryption, OverflowOfTheKeySumOrOfAStepFailsTheCall) {
  // 8421505 codes of 255 sum to more than 2^31 - 1.
  const std::string hugeKey(8421505, '\xFF');
  EXPECT_FALSE(clsEncryption::CryptCodes("a", hugeKey, true));
  EXPECT_FALSE(clsEncryption::CryptCodes("", hugeKey, false));

  // A key sum of 2^31 - 28 (8421504 * 255 + 100): it still fits, and so does a code of 1 at
  // position 1; a code of 27 at position 1 does not.
  std::string nearlyFull(8421504, '\xFF');
  nearlyFull += static_cast<char>(100);
  EXPECT_TRUE(clsEncryption::CryptCodes(Codes({1}), nearlyFull, true));
  EXPECT_FALSE(clsEncryption::CryptCodes(Codes({27, 1}), nearlyFull, true));
  EXPECT_TRUE(clsEncryption::CryptCodes(Codes({1, 1}), nearlyFull, false));
}

TEST(Encryption, SingleByteTextEnciphersAsEarlierVersionsStoredIt) {
  const clsEncryption cipher(testing::ChineseAnsiCodec());
  // Key sum of "OakLantern" is 1007: "a" at position 1 is 97 + 1007 + 1 - 4 * 255 = 85.
  EXPECT_EQ(L"UWY[]_", cipher.Cryption(L"abcdef", kPasswordKey, true));
  EXPECT_EQ(L"abcdef", cipher.Cryption(L"UWY[]_", kPasswordKey, false));
  EXPECT_EQ(L"", cipher.Cryption(L"", kPasswordKey, true));
  EXPECT_EQ(L"", cipher.Cryption(L"", kPasswordKey, false));
}

TEST(Encryption, DoubleByteTextRoundTripsWithOneStoredCharacterPerCode) {
  const clsEncryption cipher(testing::ChineseAnsiCodec());
  for (const std::wstring_view plain :
       {L"密码测试abc", L"我的密码", L"ＡＢＣ１２３", L"～！＠＃￥％", L"a啊b", L"丂丄丅丆丏"}) {
    const auto stored = cipher.Cryption(plain, kPasswordKey, true);
    ASSERT_TRUE(stored);
    EXPECT_EQ(testing::ChineseAnsiCodec().ToAnsi(plain).size(), stored->size());
    EXPECT_EQ(plain, cipher.Cryption(*stored, kPasswordKey, false));
  }
}

TEST(Encryption, CodesBelow128AreStoredAsThemselvesAndTheRestDoubleByte) {
  EXPECT_EQ("UWY[]_", clsEncryption::StoredBytes("UWY[]_"));
  EXPECT_EQ(" x ", clsEncryption::StoredBytes(" x "));
  EXPECT_EQ("\xB2\xA1", clsEncryption::StoredBytes(Codes({128})));
  EXPECT_EQ("a\xB3\xE0z", clsEncryption::StoredBytes(Codes({'a', 255, 'z'})));
}

TEST(Encryption, AStoredFormOfBlanksOnlyStartsWithADoubleByteBlank) {
  EXPECT_EQ("      ", clsEncryption::CryptCodes(",+*)('", "OakLantern", true));
  const std::string stored = clsEncryption::StoredBytes("   ");
  EXPECT_EQ("\xB0\xC1  ", stored);
  EXPECT_EQ("   ", clsEncryption::CodesOfStoredBytes(stored));
}

TEST(Encryption, EveryCodeSurvivesTheTripThroughTheCodePage) {
  const AnsiCodec& codec = testing::ChineseAnsiCodec();
  for (int code = 1; code <= 255; ++code) {
    for (const std::string& codes : {Codes({code}), Codes({'x', code, code, 'y'})}) {
      const std::string bytes = clsEncryption::StoredBytes(codes);
      const std::wstring text = codec.FromAnsi(bytes);
      ASSERT_EQ(bytes, codec.ToAnsi(text)) << "code " << code;
      ASSERT_EQ(codes, clsEncryption::CodesOfStoredBytes(codec.ToAnsi(text))) << "code " << code;
    }
  }
}

TEST(Encryption, BytesOutsideTheTableAreCodesOfTheirOwn) {
  // Whatever an earlier version or another program left there reads without loss.
  EXPECT_EQ(Codes({0xB0, 'a'}), clsEncryption::CodesOfStoredBytes("\xB0"
                                                                  "a"));
  EXPECT_EQ(Codes({0xB4, 0xA1}), clsEncryption::CodesOfStoredBytes("\xB4\xA1"));
  EXPECT_EQ(Codes({0xB1, 0xE1}), clsEncryption::CodesOfStoredBytes("\xB1\xE1"));
  EXPECT_EQ(Codes({0xB1}), clsEncryption::CodesOfStoredBytes("\xB1"));
}

}  // namespace
}  // namespace svctune::access
