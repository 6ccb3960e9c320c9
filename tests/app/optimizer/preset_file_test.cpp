#include "optimizer/preset_file.h"

#include <gtest/gtest.h>

#include <string>

#include "test_codec.h"

namespace svctune {
namespace {

const AnsiCodec& Gbk() {
  return testing::ChineseAnsiCodec();
}

const std::string kThoroughGbk = "\xcf\xb8\xd6\xc2\xd3\xc5\xbb\xaf";
const std::string kOrdinaryGbk = "\xc6\xd5\xcd\xa8\xd3\xc5\xbb\xaf";

TEST(PresetFile, WritesCountQuotedItemsAndIndexInCodePage936) {
  EXPECT_EQ("0\r\n-1\r\n", FormatPresetFile({}, -1, Gbk()));
  EXPECT_EQ("2\r\n\"" + kThoroughGbk + "\"\r\n\"" + kOrdinaryGbk + "\"\r\n0\r\n",
            FormatPresetFile({L"细致优化", L"普通优化"}, 0, Gbk()));
}

TEST(PresetFile, ReadsBackWhatItWrote) {
  const std::vector<std::wstring> items = {L"细致优化", L"普通优化", L"a, b", L""};
  const PresetFileContent content = ParsePresetFile(FormatPresetFile(items, 3, Gbk()), Gbk());
  EXPECT_EQ(items, content.items);
  EXPECT_EQ(3, content.selectedIndex);
}

TEST(PresetFile, ReadsFieldsAsSequentialTextFilesAreRead) {
  const PresetFileContent content =
      ParsePresetFile("  3\n\"x,y\" junk\nplain text  ,\"second\"\n 1", Gbk());
  EXPECT_EQ((std::vector<std::wstring>{L"x,y", L"plain text", L"second"}), content.items);
  EXPECT_EQ(1, content.selectedIndex);
}

TEST(PresetFile, StopsAtTheFirstFieldItCannotRead) {
  EXPECT_TRUE(ParsePresetFile("", Gbk()).items.empty());
  EXPECT_TRUE(ParsePresetFile("garbage\r\n\"a\"\r\n0\r\n", Gbk()).items.empty());
  EXPECT_FALSE(ParsePresetFile("garbage\r\n", Gbk()).selectedIndex);

  const PresetFileContent missingIndex = ParsePresetFile("2\r\n\"a\"\r\n\"b\"\r\n", Gbk());
  EXPECT_EQ(2u, missingIndex.items.size());
  EXPECT_FALSE(missingIndex.selectedIndex);

  const PresetFileContent badIndex = ParsePresetFile("1\r\n\"a\"\r\nx\r\n", Gbk());
  EXPECT_EQ(1u, badIndex.items.size());
  EXPECT_FALSE(badIndex.selectedIndex);

  const PresetFileContent shortList = ParsePresetFile("5\r\n\"a\"\r\n\"b\"\r\n", Gbk());
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), shortList.items);
  EXPECT_FALSE(shortList.selectedIndex);
}

TEST(PresetFile, DamagedFilesCostBoundedWork) {
  const PresetFileContent huge = ParsePresetFile("2000000000\r\n\"a\"\r\n0\r\n", Gbk());
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"0"}), huge.items);
  EXPECT_FALSE(ParsePresetFile("99999999999999999999\r\n", Gbk()).selectedIndex);

  std::string many = "20000\r\n";
  for (int i = 0; i < 20000; ++i) {
    many += "\"x\"\r\n";
  }
  EXPECT_EQ(static_cast<std::size_t>(kMaxPresetItems), ParsePresetFile(many, Gbk()).items.size());

  std::string oversized = "1\r\n\"";
  oversized.append(kMaxPresetFileBytes, 'z');
  const PresetFileContent cut = ParsePresetFile(oversized + "\"\r\n0\r\n", Gbk());
  ASSERT_EQ(1u, cut.items.size());
  EXPECT_EQ(kMaxPresetFileBytes - 4, cut.items[0].size());
  EXPECT_FALSE(cut.selectedIndex);
}

// The two presets as other editors save them: with a byte-order mark, in UTF-8 or UTF-16.
TEST(PresetFile, FilesWithAByteOrderMarkAreReadInTheirEncoding) {
  const std::string utf8 =
      "2\r\n\"\xe7\xbb\x86\xe8\x87\xb4\xe4\xbc\x98\xe5\x8c\x96\"\r\n"
      "\"\xe6\x99\xae\xe9\x80\x9a\xe4\xbc\x98\xe5\x8c\x96\"\r\n1\r\n";
  const std::u16string text = u"2\r\n\"细致优化\"\r\n\"普通优化\"\r\n1\r\n";
  std::string utf16le = "\xff\xfe";
  std::string utf16be = "\xfe\xff";
  for (char16_t unit : text) {
    utf16le += {static_cast<char>(unit & 0xff), static_cast<char>(unit >> 8)};
    utf16be += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xff)};
  }
  for (const std::string& file : {"\xef\xbb\xbf" + utf8, utf16le, utf16be}) {
    const PresetFileContent content = ParsePresetFile(file, Gbk());
    EXPECT_EQ((std::vector<std::wstring>{L"细致优化", L"普通优化"}), content.items);
    EXPECT_EQ(1, content.selectedIndex);
    EXPECT_TRUE(content.whole);
  }
  const PresetFileContent korean = ParsePresetFile(
      "\xef\xbb\xbf"
      "1\r\n\"\xed\x95\x9c\"\r\n0\r\n",
      Gbk());
  EXPECT_EQ(1u, korean.items.size());
  EXPECT_FALSE(korean.whole) << "a character code page 936 cannot keep would be lost";

  // Bytes that are no UTF-8 (a lead byte above 0xF4, an overlong form) are not read as some
  // character of code page 936: the file was not taken whole.
  for (const std::string item : {"\xf5\x80\x80", "\xc0\xaf", "\xed\xa0\x80"}) {
    const PresetFileContent damaged = ParsePresetFile(
        "\xef\xbb\xbf"
        "1\r\n\"" +
            item + "\"\r\n0\r\n",
        Gbk());
    EXPECT_FALSE(damaged.whole) << item;
  }
}

// Whether replacing the file would lose anything that was not taken from it.
TEST(PresetFile, TellsWhetherTheFileWasTakenWhole) {
  std::string oversized = "1\r\n\"\"\r\n0\r\n";
  oversized.append(kMaxPresetFileBytes, ' ');
  std::string tooMany = std::to_string(kMaxPresetItems + 1) + "\r\n";
  for (int i = 0; i <= kMaxPresetItems; ++i) {
    tooMany += "\"x\"\r\n";
  }
  const std::string mine = "\"\xce\xd2\xb5\xc4\"";  // "我的"
  const struct {
    std::string file;
    bool whole;
  } cases[] = {
      {"", true},
      {"  \r\n", true},
      {FormatPresetFile({L"细致优化"}, 0, Gbk()), true},
      {"0\r\n-1\r\n", true},
      {"3\n\"a\"  \n plain ,\"b\"\n1\n\n", true},
      {"1\r\n\"unclosed\r\n0\r\n", true},
      {"garbage\r\n", false},
      {"2\r\n\"a\"\r\n", false},
      {"1\r\n\"a\"\r\nx\r\n", false},
      {tooMany + "0\r\n", false},
      {oversized, false},
      // What the reader would drop or change: lines after the index, an item with a quote
      // inside, bytes code page 936 has no character for, an index outside the list.
      {"1\r\n\"a\"\r\n0\r\n\"more\"\r\n", false},
      {"1\r\n\"a\"\r\n0,1\r\n", false},
      {"1\r\n" + mine + "\xb7\xbd\xb0\xb8\"\r\n0\r\n", false},
      {"1\r\nplain \"quoted\"\r\n0\r\n", false},
      {"1\r\n\"\x81\x20ok\"\r\n0\r\n", false},
      {"1\r\n\"\xff\"\r\n0\r\n", false},
      {"1\r\n\"a\"\r\n1\r\n", false},
      {"1\r\n\"a\"\r\n-2\r\n", false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(test.whole, ParsePresetFile(test.file, Gbk()).whole) << test.file.substr(0, 40);
  }
}

TEST(PresetFile, BytesOutsideTheCodePageAreReplacedNotFatal) {
  const PresetFileContent content = ParsePresetFile("1\r\n\"\x81\x20ok\"\r\n0\r\n", Gbk());
  ASSERT_EQ(1u, content.items.size());
  EXPECT_NE(std::wstring::npos, content.items[0].find(L"ok"));
  EXPECT_EQ(0, content.selectedIndex);
}

}  // namespace
}  // namespace svctune
