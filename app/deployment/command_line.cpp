#include "deployment/command_line.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/unicode_text.h"
#include "optimizer/modes_and_presets.h"

namespace svctune {
namespace {

constexpr std::wstring_view kUsageHint = L"（用 /? 查看用法）";
constexpr std::wstring_view kMaskedPassword = L"******";

struct Switch {
  std::wstring_view name;
  std::optional<CommandAction> action;
  std::wstring_view valueName;  // empty: the switch takes no value
  bool valueOptional = false;   // a next argument that is a switch is not its value
};

constexpr std::array<Switch, 9> kSwitches = {{
    {L"preset", CommandAction::kPreset, L"预设名称或序号"},
    {L"manual", CommandAction::kManual, L""},
    {L"restore", CommandAction::kRestore, L""},
    {L"export", CommandAction::kExport, L"文件名"},
    {L"apply", CommandAction::kApply, L"模板文件名"},
    {L"password", std::nullopt, L"密码"},
    {L"log", std::nullopt, L"日志文件名"},
    {L"list", CommandAction::kList, L"CSV 文件名", true},
    {L"all", std::nullopt, L""},
}};

bool IsSwitch(std::wstring_view argument) {
  return argument.size() >= 2 && (argument[0] == L'/' || argument[0] == L'-');
}

// The switch's name, and the value written after a colon, if any.
std::wstring SwitchName(std::wstring_view argument, std::optional<std::wstring>* inlineValue) {
  std::wstring_view body = argument.substr(1);
  const std::size_t colon = body.find(L':');
  if (colon != std::wstring_view::npos) {
    if (inlineValue != nullptr) {
      *inlineValue = std::wstring(body.substr(colon + 1));
    }
    body = body.substr(0, colon);
  }
  return std::wstring(body);
}

const Switch* FindSwitch(std::wstring_view name) {
  for (const Switch& candidate : kSwitches) {
    if (AsciiUpper(candidate.name) == AsciiUpper(name)) {
      return &candidate;
    }
  }
  return nullptr;
}

bool EndsWith(std::wstring_view text, std::wstring_view ending) {
  return text.size() >= ending.size() &&
         AsciiUpper(text.substr(text.size() - ending.size())) == AsciiUpper(ending);
}

// One argument as the C runtime splits it back out of a command line.
std::wstring Quoted(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos) {
    return std::wstring(argument);
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

bool IsWholeNumber(std::wstring_view text) {
  return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring_view::npos;
}

// The files beside the program that it reads or writes itself.
std::vector<std::wstring> ProgramFiles(std::wstring_view programPath) {
  const std::size_t slash = programPath.find_last_of(L"\\/");
  const std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view(L".")
                                                             : programPath.substr(0, slash));
  std::vector<std::wstring> files = {std::wstring(programPath)};
  for (const wchar_t* name :
       {L"TQSE.ini", L"TQSE.ini.bak", L"tqpass.txt", L"Lamina.dll", L"Vellum.dll"}) {
    files.push_back(folder + L"\\" + name);
  }
  return files;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::wstring>& arguments) {
  ParsedArguments parsed;
  Command command;
  std::wstring actionSwitch;
  std::vector<std::wstring> seen;
  bool usage = false;
  auto fail = [&](std::wstring error) {
    if (parsed.error.empty()) {
      parsed.error = std::move(error) + std::wstring(kUsageHint);
    }
  };

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (!IsSwitch(argument)) {
      fail(L"无法识别的参数：" + Quoted(argument));
      continue;
    }
    std::optional<std::wstring> value;
    const std::wstring name = SwitchName(argument, &value);
    if (name == L"?" && !value) {
      usage = true;
      continue;
    }
    const Switch* known = FindSwitch(name);
    if (known == nullptr) {
      fail(L"未知的开关：" + Quoted(argument));
      continue;
    }
    const std::wstring shown = L"/" + std::wstring(known->name);
    if (known->valueName.empty()) {
      if (value) {
        fail(shown + L" 不带值");
        continue;
      }
    } else if (!value && i + 1 < arguments.size() &&
               !(known->valueOptional && IsSwitch(arguments[i + 1]))) {
      value = arguments[++i];
      if (known->name == L"password") {
        parsed.passwordValues.push_back({i, 0});
      }
    } else if (value && known->name == L"password") {
      parsed.passwordValues.push_back({i, argument.size() - value->size()});
    }
    if (!known->valueName.empty() && (value ? value->empty() : !known->valueOptional)) {
      fail(shown + L" 后面缺少" + std::wstring(known->valueName));
      continue;
    }
    bool repeated = false;
    for (const std::wstring& earlier : seen) {
      repeated = repeated || earlier == known->name;
    }
    if (repeated) {
      fail(L"开关 " + shown + L" 给了不止一次");
      continue;
    }
    seen.push_back(std::wstring(known->name));

    if (known->name == L"all") {
      command.allServices = true;
      continue;
    }
    if (!known->action) {
      (known->name == L"password" ? command.password : command.logFile) = *value;
      continue;
    }
    if (!actionSwitch.empty()) {
      fail(L"一次只能做一项操作：" + actionSwitch + L" 和 " + shown + L" 不能同时使用");
      continue;
    }
    actionSwitch = shown;
    command.action = *known->action;
    if (command.action == CommandAction::kPreset) {
      command.preset = *value;
    } else if (command.action == CommandAction::kApply) {
      command.file = *value;
    } else if (command.action == CommandAction::kExport) {
      command.file = *value;
      if (EndsWith(*value, L".inf")) {
        command.exportFormat = ExportFormat::kSecurityTemplate;
      } else if (!EndsWith(*value, L".reg")) {
        fail(L"/export 的文件名须以 .reg（注册表文件）或 .inf（安全模板）结尾：" + Quoted(*value));
      }
    } else if (command.action == CommandAction::kList && value) {
      command.file = *value;
      if (!EndsWith(*value, L".csv")) {
        fail(L"/list 的文件名须以 .csv 结尾：" + Quoted(*value));
      }
    }
  }

  if (usage) {
    parsed.command = Command{};
    parsed.error.clear();
    return parsed;
  }
  if (command.allServices && command.action != CommandAction::kExport) {
    fail(L"/all 只能与 /export 一起使用");
  }
  if (parsed.error.empty() && actionSwitch.empty()) {
    fail(L"没有指定要做的事：/preset、/manual、/restore、/export、/apply 或 /list");
  }
  if (parsed.error.empty()) {
    parsed.command = std::move(command);
  }
  return parsed;
}

std::wstring ArgumentsForLog(const std::vector<std::wstring>& arguments) {
  std::vector<std::wstring> shown = arguments;
  for (const PasswordValue& password : ParseArguments(arguments).passwordValues) {
    std::wstring& argument = shown[password.argument];
    argument = argument.substr(0, password.offset) + std::wstring(kMaskedPassword);
  }
  std::wstring line;
  for (const std::wstring& argument : shown) {
    line += (line.empty() ? L"" : L" ") + Quoted(EscapeControlCharacters(argument));
  }
  return line;
}

bool IsControlCharacter(wchar_t c) {
  return c < L' ' || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

std::wstring EscapeControlCharacters(std::wstring_view text) {
  constexpr std::wstring_view kHexDigits = L"0123456789ABCDEF";
  std::wstring escaped;
  for (wchar_t c : text) {
    if (!IsControlCharacter(c)) {
      escaped += c;
      continue;
    }
    escaped += L"<U+";
    for (int shift = 12; shift >= 0; shift -= 4) {
      escaped += kHexDigits[(static_cast<unsigned>(c) >> shift) & 0xF];
    }
    escaped += L'>';
  }
  return escaped;
}

std::wstring RefusedTarget(const Command& command, std::wstring_view programPath,
                           const SameFileTest& sameFile) {
  // The action's file, which /apply reads and /export and /list write.
  const std::wstring action = command.action == CommandAction::kApply    ? L"/apply"
                              : command.action == CommandAction::kExport ? L"/export"
                                                                         : L"/list";
  std::vector<std::pair<std::wstring, std::wstring>> targets;  // switch, file
  if (!command.file.empty() && command.action != CommandAction::kApply) {
    targets.emplace_back(action, command.file);
  }
  if (command.logFile) {
    targets.emplace_back(L"/log", *command.logFile);
  }
  const std::wstring refused = L"。未写入任何内容。";
  for (const auto& [name, file] : targets) {
    for (const std::wstring& own : ProgramFiles(programPath)) {
      if (sameFile(file, own)) {
        return name + L" 不能写入 " + file + L"：这是本程序自己读写的文件 " + own + refused;
      }
    }
  }
  if (command.logFile && !command.file.empty() && sameFile(*command.logFile, command.file)) {
    return L"/log 不能写入 " + *command.logFile + L"：这是 " + action +
           (command.action == CommandAction::kApply ? L" 要读取的模板" : L" 要写入的文件") +
           refused;
  }
  return {};
}

std::optional<int> ResolvePreset(std::wstring_view preset, const std::vector<std::wstring>& items,
                                 std::wstring& error) {
  if (items.empty()) {
    error = L"预设列表是空的（TQSE.ini 缺失或没有列出预设）";
    return std::nullopt;
  }
  std::optional<std::size_t> index;
  if (IsWholeNumber(preset)) {
    const std::wstring_view digits =
        preset.substr(std::min(preset.find_first_not_of(L'0'), preset.size()));
    std::size_t number = 0;
    if (digits.size() <= 6) {
      for (wchar_t digit : digits) {
        number = number * 10 + static_cast<std::size_t>(digit - L'0');
      }
    }
    if (number < 1 || number > items.size()) {
      error = L"预设列表没有第 " + std::wstring(preset) + L" 项（共 " +
              std::to_wstring(items.size()) + L" 项）";
      return std::nullopt;
    }
    index = number - 1;
  } else {
    for (std::size_t i = 0; i < items.size() && !index; ++i) {
      if (items[i] == preset) {
        index = i;
      }
    }
    if (!index) {
      error = L"预设列表中没有“" + std::wstring(preset) + L"”";
      return std::nullopt;
    }
  }
  const std::wstring& item = items[*index];
  if (item != kThoroughPreset && item != kOrdinaryPreset) {
    error = L"预设列表第 " + std::to_wstring(*index + 1) + L" 项“" + item + L"”不是本程序的预设（" +
            std::wstring(kThoroughPreset) + L"、" + std::wstring(kOrdinaryPreset) + L"）";
    return std::nullopt;
  }
  return static_cast<int>(*index);
}

std::wstring UsageText() {
  return L"svctune.exe 命令行用法（不打开窗口；既没有标准输出也没有控制台时，\r\n"
         L"出错的运行把输出显示在消息框中）：\r\n"
         L"\r\n"
         L"  svctune.exe /preset 名称|序号  [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /manual            [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /restore           [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /export 文件.reg|文件.inf [/all]  [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /apply 文件.inf    [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /list [文件.csv]   [/password 密码] [/log 日志文件]\r\n"
         L"  svctune.exe /?\r\n"
         L"\r\n"
         L"  /preset    应用预设列表（TQSE.ini）中的预设，与在窗口中选择它相同；\r\n"
         L"             序号从 1 数起，例如 /preset 1 或 /preset 细致优化\r\n"
         L"  /manual    手动优化：清除所有选择，与选择“手动优化”相同\r\n"
         L"  /restore   还原初始设置，不再询问\r\n"
         L"  /export    导出本机各服务的启动方式：.reg 为注册表文件，.inf 为安全模板\r\n"
         L"             （可导入组策略，或用 secedit /configure 应用）；\r\n"
         L"             加 /all 时导出本机的全部服务，否则只导出本程序列表内的服务\r\n"
         L"  /apply     按安全模板 [Service General Setting] 节设置本机各服务的启动方式；\r\n"
         L"             模板中的安全描述符不应用\r\n"
         L"  /list      列出本机的全部服务（CSV，UTF-8），不给文件名时写到标准输出；\r\n"
         L"             不写注册表\r\n"
         L"  /password  设置了启动密码时必须给出\r\n"
         L"  /log       把输出追加到日志文件（UTF-8），每次运行前写上日期、时间和参数\r\n"
         L"  /?         显示本用法\r\n"
         L"\r\n"
         L"开关不区分大小写，可用 / 或 - 开头；值可跟在冒号后，例如 /log:C:\\svctune.log。\r\n"
         L"\r\n"
         L"退出代码：\r\n"
         L"  0  完成\r\n"
         L"  1  完成，但有服务未能写入（逐项列出）\r\n"
         L"  2  参数错误，或文件无法读取、格式不对（未写入任何内容）\r\n"
         L"  3  缺少启动密码或密码错误（未写入任何内容）\r\n"
         L"  4  本机正在运行 svctune 窗口（未写入任何内容）\r\n";
}

}  // namespace svctune
