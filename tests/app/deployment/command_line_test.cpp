#include "deployment/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "optimizer/modes_and_presets.h"

namespace svctune {
namespace {

using Arguments = std::vector<std::wstring>;

struct Accepted {
  Arguments arguments;
  CommandAction action;
  std::wstring preset;
  std::wstring file;
  ExportFormat format;
  std::optional<std::wstring> password;
  std::optional<std::wstring> logFile;
};

TEST(CommandLine, ReadsEachActionWithItsValueAndTheOptionalSwitches) {
  const Accepted cases[] = {
      {{L"/preset", L"1"}, CommandAction::kPreset, L"1", L"", ExportFormat::kRegistryFile, {}, {}},
      {{L"-PRESET", L"细致优化", L"/Password", L"p w", L"/LOG", L"C:\\logs\\run.log"},
       CommandAction::kPreset,
       L"细致优化",
       L"",
       ExportFormat::kRegistryFile,
       L"p w",
       L"C:\\logs\\run.log"},
      {{L"/manual"}, CommandAction::kManual, L"", L"", ExportFormat::kRegistryFile, {}, {}},
      {{L"/password", L"/manual", L"/Restore"},
       CommandAction::kRestore,
       L"",
       L"",
       ExportFormat::kRegistryFile,
       L"/manual",
       {}},
      {{L"/export", L"D:\\backup.REG"},
       CommandAction::kExport,
       L"",
       L"D:\\backup.REG",
       ExportFormat::kRegistryFile,
       {},
       {}},
      {{L"/export:x.Inf"},
       CommandAction::kExport,
       L"",
       L"x.Inf",
       ExportFormat::kSecurityTemplate,
       {},
       {}},
      {{L"/log:C:\\a b.log", L"/apply", L"policy.txt"},
       CommandAction::kApply,
       L"",
       L"policy.txt",
       ExportFormat::kRegistryFile,
       {},
       L"C:\\a b.log"},
      {{L"/list"}, CommandAction::kList, L"", L"", ExportFormat::kRegistryFile, {}, {}},
      {{L"/list", L"/password", L"p"}, CommandAction::kList, L"", L"", {}, L"p", {}},
      {{L"/list", L"all.CSV", L"/log", L"run.csv"},
       CommandAction::kList,
       L"",
       L"all.CSV",
       {},
       {},
       L"run.csv"},
  };
  for (const Accepted& expected : cases) {
    SCOPED_TRACE(ArgumentsForLog(expected.arguments));
    const ParsedArguments parsed = ParseArguments(expected.arguments);
    ASSERT_TRUE(parsed.command) << std::string(parsed.error.begin(), parsed.error.end());
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_EQ(expected.action, parsed.command->action);
    EXPECT_EQ(expected.preset, parsed.command->preset);
    EXPECT_EQ(expected.file, parsed.command->file);
    EXPECT_EQ(expected.format, parsed.command->exportFormat);
    EXPECT_EQ(expected.password, parsed.command->password);
    EXPECT_EQ(expected.logFile, parsed.command->logFile);
  }
}

TEST(CommandLine, AQuestionMarkAnywhereAsksForTheUsageWhateverElseIsGiven) {
  for (const Arguments& arguments :
       {Arguments{L"/?"}, Arguments{L"-?"}, Arguments{L"/preset", L"1", L"/?"},
        Arguments{L"/bogus", L"/?"}, Arguments{L"/manual", L"/restore", L"-?"}}) {
    const ParsedArguments parsed = ParseArguments(arguments);
    ASSERT_TRUE(parsed.command);
    EXPECT_EQ(CommandAction::kUsage, parsed.command->action);
  }
  // As a switch's value it is only a value.
  const ParsedArguments password = ParseArguments({L"/password", L"/?", L"/manual"});
  ASSERT_TRUE(password.command);
  EXPECT_EQ(CommandAction::kManual, password.command->action);
  EXPECT_EQ(L"/?", password.command->password);
}

struct Refused {
  Arguments arguments;
  std::wstring saying;
};

TEST(CommandLine, BadArgumentsMakeNoCommandAndSayWhy) {
  const Refused cases[] = {
      {{L"/password", L"x"}, L"没有指定要做的事"},
      {{L"/log", L"a.log"}, L"没有指定要做的事"},
      {{L"/preset"}, L"/preset 后面缺少预设名称或序号"},
      {{L"/preset:"}, L"/preset 后面缺少预设名称或序号"},
      {{L"/apply", L""}, L"/apply 后面缺少模板文件名"},
      {{L"/manual", L"/restore"}, L"/manual 和 /restore 不能同时使用"},
      {{L"/preset", L"1", L"/export", L"a.reg"}, L"/preset 和 /export 不能同时使用"},
      {{L"/manual", L"/LOG", L"a", L"/log", L"b"}, L"开关 /log 给了不止一次"},
      {{L"/export", L"backup.txt"}, L".reg（注册表文件）或 .inf（安全模板）"},
      {{L"/export", L"backup.inf.bak"}, L"backup.inf.bak"},
      {{L"/manual:yes"}, L"/manual 不带值"},
      {{L"/manual", L"/all"}, L"/all 只能与 /export 一起使用"},
      {{L"/export", L"a.reg", L"/all:x"}, L"/all 不带值"},
      {{L"/list", L"TQSE.ini"}, L"/list 的文件名须以 .csv 结尾：TQSE.ini"},
      {{L"/list:"}, L"/list 后面缺少CSV 文件名"},
      {{L"/frobnicate"}, L"未知的开关：/frobnicate"},
      {{L"manual"}, L"无法识别的参数：manual"},
      {{L"/manual", L"extra file"}, L"无法识别的参数：\"extra file\""},
      {{L"/"}, L"无法识别的参数：/"},
  };
  for (const Refused& expected : cases) {
    SCOPED_TRACE(ArgumentsForLog(expected.arguments));
    const ParsedArguments parsed = ParseArguments(expected.arguments);
    EXPECT_FALSE(parsed.command);
    EXPECT_NE(std::wstring::npos, parsed.error.find(expected.saying))
        << std::string(parsed.error.begin(), parsed.error.end());
    EXPECT_NE(std::wstring::npos, parsed.error.find(L"/?"));
  }
}

TEST(CommandLine, TheLogLineMasksWhatTheParseTakesForThePasswordAndEscapesControls) {
  const std::pair<Arguments, std::wstring> cases[] = {
      {{L"/preset", L"1", L"/password", L"secret", L"/log", L"C:\\my logs\\a.log"},
       L"/preset 1 /password ****** /log \"C:\\my logs\\a.log\""},
      {{L"-PASSWORD:hunter2", L"/manual"}, L"-PASSWORD:****** /manual"},
      // A switch taken as the value of another is only a value.
      {{L"/password", L"/log", L"/restore"}, L"/password ****** /restore"},
      {{L"/preset", L"/password", L"/password", L"S3cret3", L"/log", L"x"},
       L"/preset /password /password ****** /log x"},
      {{L"/log", L"/password", L"/password", L"S3cret4", L"/manual"},
       L"/log /password /password ****** /manual"},
      {{L"/log:/password:x", L"/manual"}, L"/log:/password:x /manual"},
      {{L"/password", L"a", L"/password:b", L"/?"}, L"/password ****** /password:****** /?"},
      {{L"", L"say \"hi\"", L"C:\\dir \\", L"a\\b"},
       L"\"\" \"say \\\"hi\\\"\" \"C:\\dir \\\\\" a\\b"},
      {{L"/apply", L"a\r\n==== b\tc\x1B\x85\u2028"},
       L"/apply \"a<U+000D><U+000A>==== b<U+0009>c<U+001B><U+0085><U+2028>\""},
  };
  for (const auto& [arguments, logged] : cases) {
    EXPECT_EQ(logged, ArgumentsForLog(arguments));
  }
}

TEST(CommandLine, APresetIsNamedByItsTextOrItsNumberInTheList) {
  const std::vector<std::wstring> items = {std::wstring(kThoroughPreset), L"其他",
                                           std::wstring(kOrdinaryPreset)};
  std::wstring error;
  EXPECT_EQ(0, ResolvePreset(L"1", items, error));
  EXPECT_EQ(2, ResolvePreset(L"003", items, error));
  EXPECT_EQ(2, ResolvePreset(kOrdinaryPreset, items, error));
  EXPECT_EQ(0, ResolvePreset(kThoroughPreset, items, error));
  EXPECT_TRUE(error.empty());

  const struct {
    std::wstring preset;
    std::vector<std::wstring> items;
    std::wstring saying;
  } refused[] = {
      {L"0", items, L"没有第 0 项（共 3 项）"},
      {L"4", items, L"没有第 4 项"},
      {L"99999999999999999999", items, L"没有第 99999999999999999999 项"},
      {L"2", items, L"第 2 项“其他”不是本程序的预设"},
      {L"其他", items, L"不是本程序的预设"},
      {L"细致", items, L"预设列表中没有“细致”"},
      {L"1", {}, L"预设列表是空的"},
  };
  for (const auto& expected : refused) {
    error.clear();
    EXPECT_FALSE(ResolvePreset(expected.preset, expected.items, error));
    EXPECT_NE(std::wstring::npos, error.find(expected.saying));
  }
}

TEST(CommandLine, TheUsageNamesEverySwitchAndEveryExitCode) {
  const std::wstring usage = UsageText();
  for (const wchar_t* part :
       {L"/preset", L"/manual", L"/restore", L"/export", L"/all", L"/apply", L"/password", L"/log",
        L"/?", L"  0  ", L"  1  ", L"  2  ", L"  3  ", L"  4  "}) {
    EXPECT_NE(std::wstring::npos, usage.find(part)) << std::string(part, part + wcslen(part));
  }
  EXPECT_EQ(std::wstring::npos, usage.find(L"\n\n")) << "lines end in CR LF";
}

}  // namespace
}  // namespace svctune
