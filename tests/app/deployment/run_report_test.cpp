#include "deployment/run_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deployment/command_line.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

TEST(RunReport, PrintsChangesSkipsFailuresAndWarningsThenASummary) {
  RunReport report;
  report.changes = {{L"Alerter", 3, 4}, {L"Spooler", 4, 2}, {L"Odd", 7, 3}};
  report.unchanged = 50;
  report.skips = {{L"MadeUpSvc", SkipReason::kNotInCatalogue, 12, 4},
                  {L"Themes", SkipReason::kUnsupportedMode, 13, 1},
                  {L"WudfSvc", SkipReason::kNotOnMachine, 0, 0}};
  report.failures = {{L"Browser", 4, 3, L""}, {L"Gone", 3, std::nullopt, L""}};
  report.warnings = {{L"RpcSs", {L"DcomLaunch", L"MadeUpAuto"}}};
  report.descriptorsIgnored = 2;
  EXPECT_EQ(
      L"已更改 Alerter：手动(3) -> 禁用(4)\r\n"
      L"已更改 Spooler：禁用(4) -> 自动(2)\r\n"
      L"已更改 Odd：7 -> 手动(3)\r\n"
      L"跳过 第 12 行 MadeUpSvc：不在本程序的服务列表中\r\n"
      L"跳过 第 13 行 Themes：启动方式 1 不是 2、3 或 4\r\n"
      L"跳过 WudfSvc：本机没有此服务\r\n"
      L"失败 Browser：未能写入 禁用(4)，现为 手动(3)\r\n"
      L"失败 Gone：未能写入 手动(3)，此服务已不存在\r\n"
      L"警告 已禁用 RpcSs，依赖它的自动启动服务将无法启动：DcomLaunch、MadeUpAuto\r\n"
      L"说明 模板中有 2 行带安全描述符：本程序不应用安全描述符，只设置启动方式\r\n"
      L"完成：更改 3 项，未变 50 项，跳过 3 项，失败 2 项。\r\n",
      FormatRunReport(report));
  EXPECT_EQ(kExitSomeWritesFailed, ExitCodeOf(report));

  report.failures.clear();
  EXPECT_EQ(kExitDone, ExitCodeOf(report));
  EXPECT_EQ(L"完成：更改 0 项，未变 0 项，跳过 0 项，失败 0 项。\r\n",
            FormatRunReport(RunReport{}));
}

TEST(RunReport, TemplateSkipsAndLeftOutServicesBecomeReportLines) {
  SecurityTemplate read;
  read.skipped = {{7, L"MadeUpSvc", 4, TemplateSkipReason::kNotInCatalogue},
                  {8, L"Alerter", 0, TemplateSkipReason::kUnsupportedMode}};
  const std::vector<RunSkip> fromTemplate = SkipsOf(read);
  ASSERT_EQ(2u, fromTemplate.size());
  EXPECT_EQ(SkipReason::kNotInCatalogue, fromTemplate[0].reason);
  EXPECT_EQ(7, fromTemplate[0].line);
  EXPECT_EQ(SkipReason::kUnsupportedMode, fromTemplate[1].reason);
  EXPECT_EQ(0, fromTemplate[1].mode);

  const SecurityTemplateFile written =
      FormatSecurityTemplate({{L"Alerter", 1}, {L"ALG", 4}, {L"Sl/ash", 3}});
  EXPECT_EQ(
      L"跳过 Alerter：启动方式 1 不是 2、3 或 4\r\n"
      L"跳过 Sl/ash：服务名无法写入安全模板\r\n"
      L"跳过 WudfSvc：本机没有此服务\r\n"
      L"完成：已把 1 项服务的启动方式导出到 C:\\x.inf，跳过 3 项。\r\n",
      [&] {
        std::vector<RunSkip> skips = SkipsOf(written);
        skips.push_back({L"WudfSvc", SkipReason::kNotOnMachine, 0, 0});
        return FormatExportReport(L"C:\\x.inf", written.written, skips);
      }());
  EXPECT_EQ(L"错误：启动密码不正确。未写入任何内容。\r\n", FormatRefusal(kPasswordWrongText));
  // A file named in an argument starts no line of its own.
  EXPECT_EQ(L"错误：无法读取文件 a<U+000D><U+000A>==== b\r\n",
            FormatRefusal(L"无法读取文件 a\r\n==== b"));
  EXPECT_NE(std::wstring::npos, FormatExportReport(L"a\n==== b", 0, {}).find(L"a<U+000A>==== b，"));
}

TEST(RunReport, TheLogEntryIsUtf8HeadedByTheTimeAndTheArgumentsWithoutThePassword) {
  const std::vector<std::wstring> arguments = {L"/preset", L"1",    L"/password",
                                               L"密码123", L"/log", L"C:\\日志 文件.log"};
  const std::wstring printed = L"已更改 Alerter：手动(3) -> 禁用(4)\r\n完成。\r\n";
  const std::string entry = FormatLogEntry({2024, 3, 7, 9, 5, 1}, arguments, printed, false);
  EXPECT_EQ(ToUtf8(L"==== 2024-03-07 09:05:01  svctune.exe /preset 1 /password ****** /log "
                   L"\"C:\\日志 文件.log\"\r\n" +
                   printed + L"\r\n"),
            entry);
  EXPECT_EQ(std::string::npos, entry.find(ToUtf8(L"密码123")));

  const std::string first =
      FormatLogEntry({2024, 12, 31, 23, 59, 59}, {L"/manual"}, L"完成。", true);
  EXPECT_EQ(
      "\xEF\xBB\xBF" + ToUtf8(L"==== 2024-12-31 23:59:59  svctune.exe /manual\r\n完成。\r\n\r\n"),
      first);
}

}  // namespace
}  // namespace svctune
