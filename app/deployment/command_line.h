#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace svctune {

// Exit codes of a command-line run, for deployment tools and scripts.
inline constexpr int kExitDone = 0;
inline constexpr int kExitSomeWritesFailed = 1;  // done, but some writes failed (each named)
inline constexpr int kExitBadArguments = 2;      // or a file unreadable or ill-formed
inline constexpr int kExitPasswordRefused = 3;   // start-up password missing or wrong
inline constexpr int kExitWindowRunning = 4;     // the window runs on this machine

enum class CommandAction {
  kUsage,    // /?
  kPreset,   // /preset NAME|N
  kManual,   // /manual
  kRestore,  // /restore
  kExport,   // /export FILE.reg|FILE.inf
  kApply,    // /apply FILE.inf
  kList,     // /list [FILE.csv]
};

enum class ExportFormat { kRegistryFile, kSecurityTemplate };

struct Command {
  CommandAction action = CommandAction::kUsage;
  std::wstring preset;  // /preset: an item's text, or its number counted from 1
  std::wstring file;    // /export, /apply, /list (empty: standard output)
  ExportFormat exportFormat = ExportFormat::kRegistryFile;
  bool allServices = false;  // /export /all: every service, not only the catalogue's
  std::optional<std::wstring> password;
  std::optional<std::wstring> logFile;
};

// Where the parse found a /password value: the argument's index, and where in that argument
// the value begins (after the colon of "/password:x", otherwise 0).
struct PasswordValue {
  std::size_t argument = 0;
  std::size_t offset = 0;
};

// A command, or the reason the arguments make none (a whole sentence, ready to print).
struct ParsedArguments {
  std::optional<Command> command;
  std::wstring error;
  // Every value the parse took for /password, also when it refuses the arguments.
  std::vector<PasswordValue> passwordValues;
};

// Reads the program's arguments (without the program's own name), as the C runtime splits the
// command line. Switches begin with '/' or '-' and ignore letter case; a switch's value is the
// next argument or follows a colon ("/log:C:\x.log"). Exactly one action is given, each switch
// at most once; "/?" anywhere asks for the usage and nothing else is read.
ParsedArguments ParseArguments(const std::vector<std::wstring>& arguments);

// The arguments as one line for the log, quoted as the C runtime reads them back, with the
// control characters escaped and exactly the values ParseArguments takes for /password masked.
std::wstring ArgumentsForLog(const std::vector<std::wstring>& arguments);

// C0, DEL, C1, and the Unicode line and paragraph separators.
bool IsControlCharacter(wchar_t c);

// The text with each control character written as "<U+000A>": an argument in the output or
// the log starts no line of its own. Windows file names cannot hold '<' or '>'.
std::wstring EscapeControlCharacters(std::wstring_view text);

// Whether two paths name the same file, by whatever name.
using SameFileTest = std::function<bool(const std::wstring&, const std::wstring&)>;

// Why the run must not write the file that /export, /list or /log names: one of the files
// beside the program that it reads or writes itself (the program, TQSE.ini and its backup,
// tqpass.txt, the two control libraries), or for the log the file /apply, /export or /list
// names. Empty when it may.
std::wstring RefusedTarget(const Command& command, std::wstring_view programPath,
                           const SameFileTest& sameFile);

// The index in the preset list that /preset names: a whole number counts the items from 1,
// any other text is an item's text. Only items that are presets ("细致优化", "普通优化") are
// taken; otherwise error says why.
std::optional<int> ResolvePreset(std::wstring_view preset, const std::vector<std::wstring>& items,
                                 std::wstring& error);

// "/?": what the command line does, in Chinese.
std::wstring UsageText();

// What the run says when it writes nothing because of the start-up password or the window.
inline constexpr std::wstring_view kPasswordMissingText =
    L"已设置启动密码：请用 /password 给出密码。未写入任何内容。";
inline constexpr std::wstring_view kPasswordWrongText = L"启动密码不正确。未写入任何内容。";
inline constexpr std::wstring_view kWindowRunningText =
    L"本机正在运行 svctune 窗口，它关闭时会重新写入自己的选择。请先关闭窗口。未写入任何内容。";
inline constexpr std::wstring_view kInstanceMarkHeldText =
    L"另一个 svctune 正在运行，或其启动标记被占用。未写入任何内容。";

}  // namespace svctune
