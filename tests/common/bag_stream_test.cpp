#include "persist/bag_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace svctune {
namespace {

PropertyBag SampleBag() {
  PropertyBag bag;
  FontSpec font;
  font.name = L"黑体";
  font.points = 10.5;
  font.bold = true;
  font.underline = true;
  bag.Put(L"Caption", std::wstring(L"确定"));
  bag.Put(L"Font", font);
  bag.Put(L"UnFocusBack", std::int32_t{-2147483643});
  bag.Put(L"Enabled", false);
  return bag;
}

TEST(BagStreamTest, EveryKindSurvivesTheRoundTrip) {
  const PropertyBag bag = SampleBag();
  const std::vector<std::uint8_t> bytes = EncodeBag(bag);
  std::size_t consumed = 0;
  const std::optional<PropertyBag> decoded = DecodeBag(bytes.data(), bytes.size(), &consumed);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(consumed, bytes.size());
  EXPECT_EQ(decoded->Entries(), bag.Entries());
  EXPECT_EQ(decoded->Read<std::wstring>(L"caption", L""), L"确定");
}

TEST(BagStreamTest, EveryTruncationAndCorruptionIsRefused) {
  const std::vector<std::uint8_t> bytes = EncodeBag(SampleBag());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(DecodeBag(bytes.data(), size).has_value()) << "cut at " << size;
  }
  std::vector<std::uint8_t> wrongTag = bytes;
  // The first entry's tag follows its key: signature, count, key length, key text.
  const std::size_t keyLength = wrongTag[8];
  wrongTag[12 + 2 * keyLength] = 99;
  EXPECT_FALSE(DecodeBag(wrongTag.data(), wrongTag.size()).has_value());
  std::vector<std::uint8_t> hugeCount = bytes;
  hugeCount[7] = 0x7f;
  EXPECT_FALSE(DecodeBag(hugeCount.data(), hugeCount.size()).has_value());
  EXPECT_FALSE(DecodeBag(nullptr, 10).has_value());
}

TEST(BagStreamTest, TrailingBytesAreLeftForTheCaller) {
  std::vector<std::uint8_t> bytes = EncodeBag(SampleBag());
  const std::size_t length = bytes.size();
  bytes.push_back(0xbd);
  std::size_t consumed = 0;
  ASSERT_TRUE(DecodeBag(bytes.data(), bytes.size(), &consumed).has_value());
  EXPECT_EQ(consumed, length);
}

}  // namespace
}  // namespace svctune
