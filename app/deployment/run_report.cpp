#include "deployment/run_report.h"

#include "deployment/command_line.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

// "禁用(4)", or the bare number for a start type the boxes do not name.
std::wstring Describe(std::uint32_t start) {
  const std::wstring name = StartTypeName(start);
  const std::wstring number = std::to_wstring(start);
  return name == number ? number : name + L"(" + number + L")";
}

std::wstring SkipLine(const RunSkip& skip) {
  std::wstring line = L"跳过 ";
  if (skip.line > 0) {
    line += L"第 " + std::to_wstring(skip.line) + L" 行 ";
  }
  return line + DescribeSkip(skip);
}

std::wstring Padded(int number, std::size_t width) {
  std::wstring text = std::to_wstring(number);
  return text.size() < width ? std::wstring(width - text.size(), L'0') + text : text;
}

}  // namespace

std::wstring DescribeSkip(const RunSkip& skip) {
  const std::wstring named = skip.serviceKey + L"：";
  switch (skip.reason) {
    case SkipReason::kNotInCatalogue:
      return named + L"不在本程序的服务列表中";
    case SkipReason::kUnsupportedMode:
      return named + L"启动方式 " + std::to_wstring(skip.mode) + L" 不是 2、3 或 4";
    case SkipReason::kNotOnMachine:
      return named + L"本机没有此服务";
    case SkipReason::kNameNotWritable:
      return named + L"服务名无法写入安全模板";
    case SkipReason::kKeyNotWritable:
      return named + L"服务名无法写入注册表文件";
    case SkipReason::kDamagedStartType:
      return named + L"启动方式已损坏或无法读取";
    case SkipReason::kNoRecord:
      return named + L"没有初始设置的记录";
    case SkipReason::kDamagedRecord:
      return named + L"初始设置的记录已损坏";
  }
  return named;
}

std::vector<RunSkip> SkipsOf(const SecurityTemplate& securityTemplate) {
  std::vector<RunSkip> skips;
  for (const TemplateSkip& skip : securityTemplate.skipped) {
    skips.push_back({skip.serviceName,
                     skip.reason == TemplateSkipReason::kNotInCatalogue
                         ? SkipReason::kNotInCatalogue
                         : SkipReason::kUnsupportedMode,
                     skip.line, static_cast<std::uint32_t>(skip.mode)});
  }
  return skips;
}

std::vector<RunSkip> SkipsOf(const SecurityTemplateFile& written) {
  std::vector<RunSkip> skips;
  for (const ServiceStartType& service : written.leftOut) {
    skips.push_back({service.serviceKey,
                     IsTemplateStartMode(service.start) ? SkipReason::kNameNotWritable
                                                        : SkipReason::kUnsupportedMode,
                     0, service.start});
  }
  return skips;
}

std::wstring FormatRunReport(const RunReport& report) {
  std::wstring text;
  auto line = [&](const std::wstring& content) {
    text += content;
    text += kLineEnd;
  };
  for (const StartTypeChange& change : report.changes) {
    const std::wstring before = change.before                  ? Describe(*change.before)
                                : change.beforeProblem.empty() ? std::wstring(L"无")
                                                               : change.beforeProblem;
    line(L"已更改 " + change.serviceKey + L"：" + before + L" -> " + Describe(change.after));
  }
  for (const RunSkip& skip : report.skips) {
    line(SkipLine(skip));
  }
  for (const RunFailure& failure : report.failures) {
    line(L"失败 " + failure.serviceKey + L"：未能写入 " + Describe(failure.wanted) +
         (failure.found             ? L"，现为 " + Describe(*failure.found)
          : failure.problem.empty() ? std::wstring(L"，此服务已不存在")
                                    : L"，" + failure.problem) +
         (failure.cause.empty() ? std::wstring() : L"：" + failure.cause));
  }
  for (const auto& [what, why] : report.unsaved) {
    line(L"失败 " + what + L"：未能保存，下次启动时仍按原先保存的内容处理：" + why);
  }
  for (const DisableWarning& warning : report.warnings) {
    std::wstring dependents;
    for (const std::wstring& key : warning.automaticDependents) {
      dependents += (dependents.empty() ? L"" : L"、") + key;
    }
    line(L"警告 已禁用 " + warning.serviceKey + L"，依赖它的自动启动服务将无法启动：" + dependents);
  }
  for (const std::wstring& note : report.notes) {
    line(L"说明 " + note);
  }
  if (report.descriptorsIgnored > 0) {
    line(L"说明 模板中有 " + std::to_wstring(report.descriptorsIgnored) +
         L" 行带安全描述符：本程序不应用安全描述符，只设置启动方式");
  }
  line(L"完成：更改 " + std::to_wstring(report.changes.size()) + L" 项，未变 " +
       std::to_wstring(report.unchanged) + L" 项，跳过 " + std::to_wstring(report.skips.size()) +
       L" 项，失败 " + std::to_wstring(report.failures.size() + report.unsaved.size()) + L" 项。");
  return text;
}

int ExitCodeOf(const RunReport& report) {
  return report.failures.empty() && report.unsaved.empty() ? kExitDone : kExitSomeWritesFailed;
}

std::wstring FormatExportReport(std::wstring_view file, std::size_t exported,
                                const std::vector<RunSkip>& skips) {
  std::wstring text;
  for (const RunSkip& skip : skips) {
    text += SkipLine(skip) + std::wstring(kLineEnd);
  }
  text += L"完成：已把 " + std::to_wstring(exported) + L" 项服务的启动方式导出到 " +
          EscapeControlCharacters(file) + L"，跳过 " + std::to_wstring(skips.size()) + L" 项。";
  return text + std::wstring(kLineEnd);
}

std::wstring FormatRefusal(std::wstring_view reason) {
  return L"错误：" + EscapeControlCharacters(reason) + std::wstring(kLineEnd);
}

std::wstring FormatNothingToApply(const SecurityTemplate& securityTemplate) {
  RunReport report;
  report.skips = SkipsOf(securityTemplate);
  // Nothing can be set: a service outside the catalogue that it names is not on this machine.
  for (RunSkip& skip : report.skips) {
    if (skip.reason == SkipReason::kNotInCatalogue) {
      skip.reason = SkipReason::kNotOnMachine;
    }
  }
  const std::wstring why = !securityTemplate.hasServiceSection
                               ? L"模板中没有 [Service General Setting] 节（节名写错了？）"
                           : report.skips.empty() ? L"模板的 [Service General Setting] 节是空的"
                                                  : L"模板中没有本程序能设置的服务";
  report.notes.push_back(why + L"：未写入任何内容");
  return FormatRunReport(report);
}

std::string FormatLogEntry(const LogTime& time, const std::vector<std::wstring>& arguments,
                           std::wstring_view printed, bool newFile) {
  std::wstring text = L"==== " + Padded(time.year, 4) + L"-" + Padded(time.month, 2) + L"-" +
                      Padded(time.day, 2) + L" " + Padded(time.hour, 2) + L":" +
                      Padded(time.minute, 2) + L":" + Padded(time.second, 2) + L"  svctune.exe " +
                      ArgumentsForLog(arguments) + std::wstring(kLineEnd);
  text += printed;
  if (!printed.empty() && printed.back() != L'\n') {
    text += kLineEnd;
  }
  text += kLineEnd;
  return (newFile ? std::string("\xEF\xBB\xBF") : std::string()) + ToUtf8(text);
}

}  // namespace svctune
