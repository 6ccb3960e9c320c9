#include "registry/registry_access.h"

#include "registry/memory_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "recording_presenter.h"
#include "registry_backend.h"
#include "test_codec.h"

namespace svctune::registry {
namespace {

using testing::BackendKind;

class RegistryAccessTest : public ::testing::TestWithParam<BackendKind> {
 protected:
  RegistryAccessTest()
      : backend_(testing::RegistryBackend::Create(GetParam())),
        api_(backend_->Api()),
        access_(api_, testing::ChineseAnsiCodec(), messages_, L"svctune") {}

  void TearDown() override {
    if (backend_->OpenHandles() >= 0) {
      EXPECT_EQ(0, backend_->OpenHandles()) << "every operation closes what it opened";
    }
  }

  // Raw access for arranging and checking, independent of the layer under test.
  void CreateKey(KeyHandle root, const char* path) {
    KeyHandle key = 0;
    ASSERT_EQ(kSuccess, api_.RegCreateKeyA(root, path, &key));
    api_.RegCloseKey(key);
  }
  bool KeyExists(KeyHandle root, const char* path) {
    KeyHandle key = 0;
    if (api_.RegOpenKeyExA(root, path, 0, kKeyRead, &key) != kSuccess) {
      return false;
    }
    api_.RegCloseKey(key);
    return true;
  }
  void SetRaw(KeyHandle root, const char* path, const char* name, std::uint32_t type,
              const void* data, std::uint32_t size) {
    KeyHandle key = 0;
    ASSERT_EQ(kSuccess, api_.RegCreateKeyA(root, path, &key));
    ASSERT_EQ(kSuccess, api_.RegSetValueExA(key, name, 0, type,
                                            static_cast<const std::uint8_t*>(data), size));
    api_.RegCloseKey(key);
  }
  // Type and bytes of a value; type 0 when it is missing.
  std::pair<std::uint32_t, std::string> GetRaw(KeyHandle root, const char* path, const char* name) {
    KeyHandle key = 0;
    if (api_.RegOpenKeyExA(root, path, 0, kKeyRead, &key) != kSuccess) {
      return {0, {}};
    }
    std::uint32_t type = 0;
    std::uint32_t size = 256;
    char buffer[256] = {};
    const Status status = api_.RegQueryValueExA(key, name, nullptr, &type,
                                                reinterpret_cast<std::uint8_t*>(buffer), &size);
    api_.RegCloseKey(key);
    return status == kSuccess ? std::make_pair(type, std::string(buffer, size))
                              : std::make_pair(0u, std::string());
  }

  std::unique_ptr<testing::RegistryBackend> backend_;
  RegistryApi& api_;
  testing::RecordingPresenter messages_;
  RegistryAccess access_;
};

TEST(RegistryRoots, FullPathNamesAreExactAndKeyPartNamesIgnoreCase) {
  EXPECT_EQ(kLocalMachine, RegistryAccess::RootFromName(L"HKEY_LOCAL_MACHINE"));
  EXPECT_EQ(kDynData, RegistryAccess::RootFromName(L"HKEY_DYN_DATA"));
  EXPECT_EQ(kPerformanceData, RegistryAccess::RootFromName(L"HKEY_PERFORMANCE_DATA"));
  EXPECT_EQ(0u, RegistryAccess::RootFromName(L"HKEY_Local_Machine"));

  EXPECT_EQ(kCurrentUser, RegistryAccess::RootHandleFromName(L"hkey_current_user"));
  EXPECT_EQ(kCurrentConfig, RegistryAccess::RootHandleFromName(L"HKEY_CURRENT_CONFIG"));
  EXPECT_EQ(0u, RegistryAccess::RootHandleFromName(L"HKEY_DYN_DATA"));
  EXPECT_EQ(0u, RegistryAccess::RootHandleFromName(L"HKEY_PERFORMANCE_DATA"));

  EXPECT_EQ(L"HKEY_USERS", RegistryAccess::RootNameFromHandle(kUsers));
  EXPECT_EQ(L"", RegistryAccess::RootNameFromHandle(kDynData));
  EXPECT_EQ(L"", RegistryAccess::RootNameFromHandle(0x12345));
}

TEST(RegistryPaths, BuildKeyPathJoinsPartsAndCollapsesBackslashes) {
  EXPECT_EQ(L"SOFTWARE\\App", RegistryAccess::BuildKeyPath(L"SOFTWARE", L"App", L""));
  EXPECT_EQ(L"x", RegistryAccess::BuildKeyPath(L"", L"", L"x"));
  EXPECT_EQ(L"a\\b", RegistryAccess::BuildKeyPath(L"a\\\\\\b", L"", L""));
  EXPECT_EQ(L"SOFTWARE\\ApptqalaChek\\tqalaChek",
            RegistryAccess::BuildKeyPath(L"SOFTWARE", L"ApptqalaChek", L"tqalaChek"));
  EXPECT_EQ(L"a\\b", RegistryAccess::BuildKeyPath(L"a\\", L"\\b", L""));
  // Slashes turn into backslashes after the runs were collapsed.
  EXPECT_EQ(L"a\\b\\\\c", RegistryAccess::BuildKeyPath(L"a/b", L"/c", L""));
  EXPECT_EQ(L"", RegistryAccess::BuildKeyPath(L"", L"", L""));
}

TEST(RegistryValues, NumericTextConvertsAsNumbersDo) {
  EXPECT_EQ(3, ToNumber(std::wstring(L"3")));
  EXPECT_EQ(-12, ToNumber(std::wstring(L" -12 ")));
  EXPECT_EQ(2, ToNumber(std::wstring(L"2.5")));
  EXPECT_EQ(4, ToNumber(std::wstring(L"3.5")));
  EXPECT_EQ(3, ToNumber(std::wstring(L"2.51")));
  EXPECT_EQ(0, ToNumber(Variant()));
  EXPECT_EQ(std::nullopt, ToNumber(std::wstring(L"")));
  EXPECT_EQ(std::nullopt, ToNumber(std::wstring(L"3x")));
  EXPECT_EQ(std::nullopt, ToNumber(std::wstring(L"4294967296")));
  EXPECT_EQ(2147483647, ToNumber(std::wstring(L"2147483647")));
  EXPECT_EQ(L"-7", ToText(std::int32_t{-7}));
}

TEST_P(RegistryAccessTest, FullPathsAreSplitAtTheirRoot) {
  std::wstring path = L"HKEY_LOCAL_MACHINE";
  KeyHandle root = 0;
  access_.SplitRootPath(path, root);
  EXPECT_EQ(kLocalMachine, root);
  EXPECT_EQ(L"", path);

  path = L"HKEY_CURRENT_USER\\Software\\A";
  access_.SplitRootPath(path, root);
  EXPECT_EQ(kCurrentUser, root);
  EXPECT_EQ(L"Software\\A", path);

  path = L"HKEY_NOWHERE\\x";
  access_.SplitRootPath(path, root);
  EXPECT_EQ(0u, root);
  EXPECT_TRUE(messages_.shown.empty()) << "an unknown root passes the format test silently";
}

TEST_P(RegistryAccessTest, MalformedFullPathsAreRefusedWithAMessage) {
  EXPECT_TRUE(IsEmpty(access_.GetDwordByPath(L"hkey_local_machine\\Software", L"v")));
  access_.CreateKeyByPath(L"HKEY_CURRENT_USER\\Made\\");
  ASSERT_EQ(2u, messages_.shown.size());
  EXPECT_EQ(L"Incorrect Format:\n\nhkey_local_machine\\Software", messages_.shown[0].text);
  EXPECT_EQ(L"Incorrect Format:\n\nHKEY_CURRENT_USER\\Made\\", messages_.shown[1].text);
  EXPECT_EQ(L"svctune", messages_.shown[1].title);
  EXPECT_FALSE(KeyExists(kCurrentUser, "Made"));

  EXPECT_TRUE(IsEmpty(access_.GetDwordByPath(L"HKEY_NOWHERE\\Software", L"v")));
  EXPECT_EQ(2u, messages_.shown.size());
}

TEST_P(RegistryAccessTest, FullPathWritesGoOnlyIntoExistingKeys) {
  access_.SetDwordByPath(L"HKEY_CURRENT_USER\\Absent", L"n", 5);
  access_.SetStringByPath(L"HKEY_CURRENT_USER\\Absent", L"s", L"x");
  EXPECT_FALSE(KeyExists(kCurrentUser, "Absent"));

  access_.CreateKeyByPath(L"HKEY_CURRENT_USER\\Software\\Hollin Soft\\Pardell");
  ASSERT_TRUE(KeyExists(kCurrentUser, "Software\\Hollin Soft\\Pardell"));
  access_.SetDwordByPath(L"HKEY_CURRENT_USER\\Software\\Hollin Soft\\Pardell", L"FirstRun", -2);
  access_.SetStringByPath(L"HKEY_CURRENT_USER\\Software\\Hollin Soft\\Pardell", L"Name", L"服务");
  EXPECT_EQ(std::make_pair(kRegDword, std::string("\xfe\xff\xff\xff", 4)),
            GetRaw(kCurrentUser, "Software\\Hollin Soft\\Pardell", "FirstRun"));
  // Double-byte text is stored whole: four ANSI bytes and the terminating zero.
  EXPECT_EQ(std::make_pair(kRegSz, std::string("\xb7\xfe\xce\xf1\0", 5)),
            GetRaw(kCurrentUser, "Software\\Hollin Soft\\Pardell", "Name"));
}

TEST_P(RegistryAccessTest, GetDwordByPathReadsOnlyFourByteNumbers) {
  const std::int32_t one = 1;
  SetRaw(kCurrentUser, "Store", "EnablePassword", kRegDword, &one, 4);
  SetRaw(kCurrentUser, "Store", "Text", kRegSz, "ab", 3);
  SetRaw(kCurrentUser, "Store", "Raw", kRegBinary, "\x01\0\0\0", 4);
  SetRaw(kCurrentUser, "Store", "Short", kRegDword, "\x01\0", 2);

  EXPECT_EQ(Variant(1), access_.GetDwordByPath(L"HKEY_CURRENT_USER\\Store", L"EnablePassword"));
  const Variant error(std::wstring(L"Error"));
  EXPECT_EQ(error, access_.GetDwordByPath(L"HKEY_CURRENT_USER\\Store", L"Missing"));
  EXPECT_EQ(error, access_.GetDwordByPath(L"HKEY_CURRENT_USER\\NoKey", L"EnablePassword"));
  EXPECT_EQ(error, access_.GetDwordByPath(L"HKEY_CURRENT_USER\\Store", L"Text"));
  EXPECT_EQ(error, access_.GetDwordByPath(L"HKEY_CURRENT_USER\\Store", L"Raw"));
  EXPECT_EQ(error, access_.GetDwordByPath(L"HKEY_CURRENT_USER\\Store", L"Short"));
}

// What stands where a number belongs: a missing key, a missing value, another type or size.
TEST_P(RegistryAccessTest, ReadNumberTellsWhatStandsInPlaceOfANumber) {
  const std::uint32_t all = 0xFFFFFFFF;
  SetRaw(kCurrentUser, "Service", "Start", kRegDword, &all, 4);
  SetRaw(kCurrentUser, "Service", "Text", kRegSz, "a long text", 12);
  SetRaw(kCurrentUser, "Service", "Short", kRegDword, "\x02\0", 2);
  SetRaw(kCurrentUser, "Service", "Big", kRegDwordBigEndian, "\0\0\0\x02", 4);
  const struct {
    const wchar_t* path;
    const wchar_t* name;
    Status keyStatus;
    bool valueFound;
    std::uint32_t type;
    std::optional<std::uint32_t> number;
  } cases[] = {
      {L"Service", L"Start", kSuccess, true, kRegDword, 0xFFFFFFFFu},
      {L"Service", L"Missing", kSuccess, false, kRegNone, std::nullopt},
      {L"Service", L"Text", kSuccess, true, kRegSz, std::nullopt},
      {L"Service", L"Short", kSuccess, true, kRegDword, std::nullopt},
      {L"Service", L"Big", kSuccess, true, kRegDwordBigEndian, std::nullopt},
      {L"NoService", L"Start", kFileNotFound, false, kRegNone, std::nullopt},
  };
  for (bool forWrite : {false, true}) {
    for (const auto& c : cases) {
      const NumberReading reading = access_.ReadNumber(kCurrentUser, c.path, c.name, forWrite);
      EXPECT_EQ(c.keyStatus, reading.keyStatus) << c.name;
      EXPECT_EQ(c.valueFound, reading.valueFound) << c.name;
      EXPECT_EQ(c.type, reading.type) << c.name;
      EXPECT_EQ(c.number, reading.number) << c.name;
    }
  }
}

TEST_P(RegistryAccessTest, ReadSettingFallsBackToItsDefault) {
  const std::int32_t zero = 0;
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "zero", kRegDword, &zero, 4);
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "blanks", kRegSz, "   ", 4);
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "text", kRegSz, " 1 ", 4);
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "multi", 7, "a\0b\0\0", 5);
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "raw", kRegBinary, "\x0a\xff\x00", 3);
  SetRaw(kLocalMachine, "SOFTWARE\\Part\\Sub", "expand", kRegExpandSz, "%x%", 4);
  auto read = [&](const wchar_t* name) {
    return access_.ReadSetting(L"Part", L"Sub", name, L"dflt", kLocalMachine, L"SOFTWARE", false);
  };
  EXPECT_EQ(Variant(0), read(L"zero"));
  EXPECT_EQ(Variant(std::wstring(L" 1 ")), read(L"text"));
  EXPECT_EQ(Variant(std::wstring(L"0A FF 00")), read(L"raw"));
  EXPECT_EQ(Variant(std::wstring(L"%x%")), read(L"expand"));
  EXPECT_EQ(Variant(std::wstring(L"dflt")), read(L"blanks"));
  EXPECT_EQ(Variant(std::wstring(L"dflt")), read(L"multi"));
  EXPECT_EQ(Variant(std::wstring(L"dflt")), read(L"missing"));
  EXPECT_EQ(Variant(std::wstring(L"dflt")),
            access_.ReadSetting(L"Nope", L"", L"zero", L"dflt", kLocalMachine, L"SOFTWARE", true));
}

TEST_P(RegistryAccessTest, TextReadBackKeepsEveryCharacter) {
  // Stored without a terminating zero: the last character stays.
  SetRaw(kCurrentUser, "Texts", "bare", kRegSz, "1Q", 1);
  SetRaw(kCurrentUser, "Texts", "empty", kRegSz, "", 0);
  SetRaw(kCurrentUser, "Texts", "padded", kRegSz, "ab\0\0", 4);
  SetRaw(kCurrentUser, "Texts", "wide", kRegSz, "\xd6\xd0\xce\xc4", 4);
  auto query = [&](const char* name) {
    KeyHandle key = 0;
    EXPECT_EQ(kSuccess, api_.RegOpenKeyExA(kCurrentUser, "Texts", 0, kKeyRead, &key));
    Variant value;
    EXPECT_EQ(kSuccess,
              access_.QueryValueTyped(key, std::wstring(name, name + strlen(name)), value));
    api_.RegCloseKey(key);
    return value;
  };
  EXPECT_EQ(Variant(std::wstring(L"1")), query("bare"));
  EXPECT_EQ(Variant(std::wstring()), query("empty"));
  EXPECT_EQ(Variant(std::wstring(L"ab")), query("padded"));
  EXPECT_EQ(Variant(std::wstring(L"中文")), query("wide"));
  EXPECT_EQ(Variant(std::wstring(L"1")),
            access_.ReadSetting(L"Texts", L"", L"bare", L"", kCurrentUser, L"", false));
  EXPECT_EQ(Variant(std::wstring(L"中文")),
            access_.ReadStringValue(kCurrentUser, L"Texts", L"wide"));
}

TEST_P(RegistryAccessTest, QueryValueTypedReportsOtherTypesAndMissingValues) {
  SetRaw(kCurrentUser, "Typed", "multi", 7, "a\0\0", 3);
  KeyHandle key = 0;
  ASSERT_EQ(kSuccess, api_.RegOpenKeyExA(kCurrentUser, "Typed", 0, kKeyRead, &key));
  Variant value = 5;
  EXPECT_EQ(-1, access_.QueryValueTyped(key, L"multi", value));
  EXPECT_EQ(Variant(std::wstring()), value);
  value = 5;
  EXPECT_EQ(kFileNotFound, access_.QueryValueTyped(key, L"none", value));
  EXPECT_EQ(Variant(std::wstring()), value);
  api_.RegCloseKey(key);
}

TEST_P(RegistryAccessTest, WriteSettingCreatesTheKeysAndWritesTypedValues) {
  EXPECT_TRUE(access_.WriteSetting(L"ApptqalaChek", L"tqalaChek", L"tqalaChekValue",
                                   std::wstring(L"1"), kLocalMachine, L"SOFTWARE", kRegSz));
  EXPECT_EQ(std::make_pair(kRegSz, std::string("1\0", 2)),
            GetRaw(kLocalMachine, "SOFTWARE\\ApptqalaChek\\tqalaChek", "tqalaChekValue"));

  EXPECT_TRUE(access_.WriteSetting(L"N", L"", L"num", std::wstring(L"3"), kLocalMachine,
                                   L"SOFTWARE", kRegDword));
  EXPECT_EQ(std::make_pair(kRegDword, std::string("\x03\0\0\0", 4)),
            GetRaw(kLocalMachine, "SOFTWARE\\N", "num"));

  // A value that does not convert is an interrupted write; other types write nothing.
  EXPECT_FALSE(access_.WriteSetting(L"N", L"", L"bad", std::wstring(L"x"), kLocalMachine,
                                    L"SOFTWARE", kRegDword));
  EXPECT_TRUE(access_.WriteSetting(L"N", L"", L"raw", std::wstring(L"x"), kLocalMachine,
                                   L"SOFTWARE", kRegBinary));
  EXPECT_EQ(0u, GetRaw(kLocalMachine, "SOFTWARE\\N", "bad").first);
  EXPECT_EQ(0u, GetRaw(kLocalMachine, "SOFTWARE\\N", "raw").first);
}

TEST_P(RegistryAccessTest, DeleteSettingByValueCreatesAMissingKey) {
  EXPECT_FALSE(access_.DeleteSetting(L"Gone", L"Sub", L"v", kCurrentUser, L"Base"));
  EXPECT_TRUE(KeyExists(kCurrentUser, "Base\\Gone\\Sub"));
  SetRaw(kCurrentUser, "Base\\Gone\\Sub", "v", kRegSz, "x", 2);
  EXPECT_TRUE(access_.DeleteSetting(L"Gone", L"Sub", L"v", kCurrentUser, L"Base"));
  EXPECT_EQ(0u, GetRaw(kCurrentUser, "Base\\Gone\\Sub", "v").first);
  EXPECT_TRUE(KeyExists(kCurrentUser, "Base\\Gone\\Sub"));
}

TEST_P(RegistryAccessTest, DeleteSettingWithoutValueNameDeletesTheWholeTree) {
  CreateKey(kCurrentUser, "Tree\\A\\One");
  CreateKey(kCurrentUser, "Tree\\A\\Two\\Deep");
  CreateKey(kCurrentUser, "Tree\\B");
  CreateKey(kCurrentUser, "Keep");
  EXPECT_TRUE(access_.DeleteSetting(L"Tree", L"", L"", kCurrentUser, L""));
  EXPECT_FALSE(KeyExists(kCurrentUser, "Tree"));
  EXPECT_TRUE(KeyExists(kCurrentUser, "Keep"));

  // Nothing names the root itself: its keys are never deleted this way.
  EXPECT_FALSE(access_.DeleteSetting(L"", L"", L"", kCurrentUser, L""));
  EXPECT_TRUE(KeyExists(kCurrentUser, "Keep"));
}

TEST_P(RegistryAccessTest, EnumSubKeysListsNamesAndWhetherTheyHaveChildren) {
  CreateKey(kCurrentUser, "Enum\\b\\inner");
  CreateKey(kCurrentUser, "Enum\\A");
  std::vector<std::wstring> names;
  std::vector<bool> children;
  access_.EnumSubKeys(L"hkey_current_user", L"Enum/", true, names, children);
  EXPECT_EQ((std::vector<std::wstring>{L"A", L"b"}), names);
  EXPECT_EQ((std::vector<bool>{false, true}), children);
  access_.EnumSubKeys(L"HKEY_CURRENT_USER", L"Missing", true, names, children);
  EXPECT_TRUE(names.empty());
}

TEST_P(RegistryAccessTest, SetKeyValueWritesOnlyIntoAnExistingKey) {
  const wchar_t* alerter = L"SYSTEM\\CurrentControlSet\\Services\\Alerter";
  access_.SetKeyValue(kLocalMachine, alerter, L"Start", std::wstring(L"4"), kRegDword);
  EXPECT_FALSE(KeyExists(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Alerter"));

  CreateKey(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Alerter");
  access_.SetKeyValue(kLocalMachine, alerter, L"Start", std::wstring(L"4"), kRegDword);
  access_.SetKeyValue(kLocalMachine, alerter, L"Text", std::wstring(L"t"), kRegSz);
  access_.SetKeyValue(kLocalMachine, alerter, L"Raw", std::wstring(L"t"), kRegBinary);
  access_.SetKeyValue(kLocalMachine, alerter, L"Bad", std::wstring(L"four"), kRegDword);
  const char* key = "SYSTEM\\CurrentControlSet\\Services\\Alerter";
  EXPECT_EQ(std::make_pair(kRegDword, std::string("\x04\0\0\0", 4)),
            GetRaw(kLocalMachine, key, "Start"));
  EXPECT_EQ(std::make_pair(kRegSz, std::string("t\0", 2)), GetRaw(kLocalMachine, key, "Text"));
  EXPECT_EQ(0u, GetRaw(kLocalMachine, key, "Raw").first);
  EXPECT_EQ(0u, GetRaw(kLocalMachine, key, "Bad").first);
}

TEST_P(RegistryAccessTest, TextValueFamilyReadsTextOnlyAndCreatesKeysToWrite) {
  access_.WriteStringValue(kCurrentUser, L"Software\\exp1orer", L"pass", L"pwd");
  EXPECT_EQ(Variant(std::wstring(L"pwd")),
            access_.ReadStringValue(kCurrentUser, L"Software\\exp1orer", L"pass"));
  SetRaw(kCurrentUser, "Software\\exp1orer", "cut", kRegSz, "ab\0cd", 6);
  SetRaw(kCurrentUser, "Software\\exp1orer", "expand", kRegExpandSz, "x", 2);
  EXPECT_EQ(Variant(std::wstring(L"ab")),
            access_.ReadStringValue(kCurrentUser, L"Software\\exp1orer", L"cut"));
  EXPECT_TRUE(IsEmpty(access_.ReadStringValue(kCurrentUser, L"Software\\exp1orer", L"expand")));
  EXPECT_TRUE(IsEmpty(access_.ReadStringValue(kCurrentUser, L"Software\\exp1orer", L"none")));
  EXPECT_TRUE(IsEmpty(access_.ReadStringValue(kCurrentUser, L"Software\\nokey", L"pass")));
  EXPECT_FALSE(KeyExists(kCurrentUser, "Software\\nokey"));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryAccessTest,
                         ::testing::ValuesIn(testing::AvailableBackends()),
                         [](const auto& info) { return testing::BackendName(info.param); });

// Without administrator rights HKEY_LOCAL_MACHINE refuses every change; nothing is reported
// and reads still work.
TEST(RegistryAccessWithoutRights, WritesAreRefusedSilently) {
  MemoryRegistry registry(testing::ChineseAnsiCodec());
  testing::RecordingPresenter messages;
  RegistryAccess access(registry, testing::ChineseAnsiCodec(), messages, L"svctune");
  access.CreateKeyByPath(L"HKEY_LOCAL_MACHINE\\Software\\Hollin Soft\\Pardell");
  access.SetDwordByPath(L"HKEY_LOCAL_MACHINE\\Software\\Hollin Soft\\Pardell", L"EnablePassword",
                        1);
  registry.DenyChanges(kLocalMachine, "");

  access.SetDwordByPath(L"HKEY_LOCAL_MACHINE\\Software\\Hollin Soft\\Pardell", L"EnablePassword",
                        0);
  EXPECT_TRUE(access.WriteSetting(L"A", L"B", L"v", std::wstring(L"1"), kLocalMachine, L"SOFTWARE",
                                  kRegSz));
  access.CreateKeyByPath(L"HKEY_LOCAL_MACHINE\\Software\\New");
  EXPECT_EQ(Variant(1), access.GetDwordByPath(L"HKEY_LOCAL_MACHINE\\Software\\Hollin Soft\\Pardell",
                                              L"EnablePassword"));
  EXPECT_EQ(Variant(std::wstring(L"d")),
            access.ReadSetting(L"A", L"B", L"v", L"d", kLocalMachine, L"SOFTWARE", false));
  EXPECT_EQ(Variant(std::wstring(L"Error")),
            access.GetDwordByPath(L"HKEY_LOCAL_MACHINE\\Software\\New", L"x"));
  EXPECT_EQ(
      kAccessDenied,
      access.ReadNumber(kLocalMachine, L"Software\\Hollin Soft\\Pardell", L"EnablePassword", true)
          .keyStatus)
      << "opening to write is refused";
  EXPECT_EQ(
      std::optional<std::uint32_t>(1),
      access.ReadNumber(kLocalMachine, L"Software\\Hollin Soft\\Pardell", L"EnablePassword", false)
          .number);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

}  // namespace
}  // namespace svctune::registry
