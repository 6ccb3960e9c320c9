// svctune.exe with arguments, run as a deployment tool runs it: its output read from a pipe or
// a file, its exit code taken, the registry and TQSE.ini read back; and the window's parts of
// the same work (the dependents on the status line, the template in the save dialog).
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "catalogue/service_catalogue.h"
#include "e2e_support.h"

namespace svctune {
namespace {

using namespace automation;
using namespace e2e;
using std::chrono::seconds;

constexpr const wchar_t* kMadeUpService = L"MadeUpAutoSvc";
constexpr const wchar_t* kMadeUpName = L"Made Up Automatic Service";

bool Contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

class CommandLineEndToEnd : public SvctuneEndToEnd {
 protected:
  void SetUp() override {
    SvctuneEndToEnd::SetUp();
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kServices + std::wstring(kMadeUpService)).c_str());
  }
  void TearDown() override {
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kServices + std::wstring(kMadeUpService)).c_str());
  }

  // What svctune keeps and what the machine holds: every service's Start, every saved control
  // state, the program's own key and TQSE.ini.
  std::map<std::wstring, std::wstring> MachineState() {
    std::map<std::wstring, std::wstring> state;
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      state[L"Start " + KeyOf(entry)] = std::to_wstring(StartOf(KeyOf(entry)));
      state[L"Original " + KeyOf(entry)] = std::to_wstring(
          ReadDword(HKEY_LOCAL_MACHINE, std::wstring(kProgramKey) + L"\\OriginalStartTypes",
                    KeyOf(entry).c_str())
              .value_or(999));
    }
    std::vector<std::wstring> stems = {L"tqxzza", L"tqxzzb"};
    for (int box : ServiceCatalogue::BoxNumbers()) {
      stems.push_back(ServiceCatalogue::BoxStem(box));
    }
    for (const std::wstring& stem : stems) {
      state[L"Saved " + stem] = SavedState(stem).value_or(L"(none)");
    }
    state[L"Author"] = ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Author").value_or(L"(none)");
    const std::string presets = ReadFile(kPresetFile);
    state[L"TQSE.ini"] = std::wstring(presets.begin(), presets.end());
    return state;
  }

  // An automatic service of no catalogue entry that needs Alerter, as a real one needs its
  // dependencies.
  void AddServiceNeedingAlerter() {
    const std::wstring key = kServices + std::wstring(kMadeUpService);
    WriteDword(HKEY_LOCAL_MACHINE, key, L"Start", 2);
    WriteDword(HKEY_LOCAL_MACHINE, key, L"Type", 0x10);
    WriteText(HKEY_LOCAL_MACHINE, key, L"DisplayName", kMadeUpName);
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &opened));
    const wchar_t needs[] = L"Alerter\0";
    RegSetValueExW(opened, L"DependOnService", 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(needs), sizeof needs);
    RegCloseKey(opened);
  }
};

// "细致优化" chosen in the window of a freshly set up machine, then "/preset 1" on the same
// machine set up afresh: the same start types, the same saved choices, the same TQSE.ini.
TEST_F(CommandLineEndToEnd, PresetOneLeavesWhatChoosingTheThoroughPresetInTheWindowLeaves) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  ClickButton(FindDescendant(main, kOption2));
  ChooseComboItem(FindDescendant(main, kXPCombo1), 0);
  ASSERT_EQ(4u, StartOf(L"Alerter"));
  CloseAndWait(main);
  const std::map<std::wstring, std::wstring> window = MachineState();

  SvctuneEndToEnd::SetUp();
  const std::wstring log = L"C:\\svctune\\e2e-run.log";
  DeleteFileW(log.c_str());
  const CommandRun run = RunSvctune(L"/preset 1 /log " + log);
  EXPECT_EQ(0u, run.exitCode) << Utf8(run.output);
  const std::map<std::wstring, std::wstring> commandLine = MachineState();
  EXPECT_EQ(window, commandLine);
  for (const auto& [what, value] : window) {
    EXPECT_EQ(value, commandLine.at(what)) << Utf8(what);
  }

  const std::wstring names[] = {L"", L"", L"自动(2)", L"手动(3)", L"禁用(4)"};
  EXPECT_TRUE(Contains(run.output, L"已更改 ALG：" + names[xpStarts_[L"ALG"]] + L" -> 禁用(4)\r\n"))
      << Utf8(run.output);
  EXPECT_TRUE(Contains(run.output, L"完成：更改 ")) << Utf8(run.output);
  const std::string logged = ReadFile(log);
  EXPECT_EQ(0u, logged.find("\xEF\xBB\xBF==== ")) << logged;
  EXPECT_NE(std::string::npos, logged.find("  svctune.exe /preset 1 /log " + Utf8(log) + "\r\n"));
  EXPECT_NE(std::string::npos, logged.find(Utf8(run.output)));
}

TEST_F(CommandLineEndToEnd, ATemplateExportedAndAppliedElsewhereGivesTheSameStartTypes) {
  const std::map<std::wstring, DWORD> reference = {
      {L"Alerter", 4}, {L"ALG", 2}, {L"Spooler", 3}, {L"Themes", 4}, {L"wuauserv", 3}};
  for (const auto& [service, start] : reference) {
    WriteDword(HKEY_LOCAL_MACHINE, kServices + service, L"Start", start);
  }
  std::map<std::wstring, DWORD> exported;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    exported[KeyOf(entry)] = StartOf(KeyOf(entry));
  }
  const std::wstring file = L"C:\\svctune\\e2e-services.inf";
  DeleteFileW(file.c_str());
  const CommandRun exportRun = RunSvctune(L"/export " + file, Output::kFile);
  EXPECT_EQ(0u, exportRun.exitCode) << Utf8(exportRun.output);
  EXPECT_TRUE(Contains(exportRun.output, L"完成：已把 56 项服务的启动方式导出到 " + file))
      << Utf8(exportRun.output);
  const std::string bytes = ReadFile(file);
  ASSERT_EQ(0u, bytes.find(std::string("\xFF\xFE[\0U\0n\0i\0c\0o\0d\0e\0]\0\r\0\n\0", 24)));

  // Another machine: other start types, and a saved choice that the template overrides.
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    WriteDword(HKEY_LOCAL_MACHINE, kServices + KeyOf(entry), L"Start",
               exported[KeyOf(entry)] == 2 ? 4 : 2);
  }
  const CommandRun applyRun = RunSvctune(L"/apply " + file);
  EXPECT_EQ(0u, applyRun.exitCode) << Utf8(applyRun.output);
  for (const auto& [service, start] : exported) {
    EXPECT_EQ(start, StartOf(service)) << Utf8(service);
  }
  // The window's next start brings the template's start types back, not others.
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  CloseAndWait(main);
  for (const auto& [service, start] : exported) {
    EXPECT_EQ(start, StartOf(service)) << Utf8(service);
  }
}

// A service outside the catalogue goes the whole round of a fleet: exported with /all, set by
// a template (a service Windows cannot run without refused on its own line), restored.
TEST_F(CommandLineEndToEnd, ServicesOutsideTheCatalogueAreExportedAppliedAndRestored) {
  AddServiceNeedingAlerter();
  const std::wstring all = L"C:\\svctune\\e2e-all.inf";
  DeleteFileW(all.c_str());
  const CommandRun exported = RunSvctune(L"/export " + all + L" /all");
  EXPECT_EQ(0u, exported.exitCode) << Utf8(exported.output);
  const std::wstring text = TextOfFile(all);
  EXPECT_TRUE(Contains(text, L"\r\n\"MadeUpAutoSvc\",2,\"\"\r\n")) << Utf8(text);

  const std::wstring policy = L"C:\\svctune\\e2e-others.inf";
  WriteBytes(policy,
             "[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n\"MadeUpAutoSvc\",4,\"\"\r\n"
             "\"RpcSs\",4,\"\"\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
  const DWORD rpcss = StartOf(L"RpcSs");
  const CommandRun applied = RunSvctune(L"/apply " + policy);
  EXPECT_EQ(1u, applied.exitCode) << Utf8(applied.output);
  EXPECT_TRUE(Contains(applied.output, L"\r\n失败 RpcSs：")) << Utf8(applied.output);
  EXPECT_EQ(4u, StartOf(kMadeUpService));
  EXPECT_EQ(rpcss, StartOf(L"RpcSs"));
  EXPECT_EQ(2u, ReadDword(HKEY_LOCAL_MACHINE, std::wstring(kProgramKey) + L"\\OriginalStartTypes",
                          kMadeUpService));

  const CommandRun restored = RunSvctune(L"/restore");
  EXPECT_EQ(0u, restored.exitCode) << Utf8(restored.output);
  EXPECT_EQ(2u, StartOf(kMadeUpService));
}

// The inventory a fleet collects, to a file and to standard output alike; nothing is written.
TEST_F(CommandLineEndToEnd, ListGivesEveryServiceAsCsvAndWritesNothing) {
  AddServiceNeedingAlerter();
  const std::map<std::wstring, std::wstring> before = MachineState();
  const std::wstring file = L"C:\\svctune\\e2e-services.csv";
  DeleteFileW(file.c_str());
  const CommandRun toFile = RunSvctune(L"/list " + file);
  EXPECT_EQ(0u, toFile.exitCode) << Utf8(toFile.output);
  const std::string csv = ReadFile(file);
  EXPECT_EQ(0u, csv.find("\xEF\xBB\xBFName,DisplayName,Start,Delayed,Trigger,PerUser,Protected,"
                         "Catalogue,Running\r\n"))
      << csv;
  EXPECT_NE(std::string::npos, csv.find("\r\nMadeUpAutoSvc,Made Up Automatic Service,2,0,0,,0,0,"))
      << csv;
  const CommandRun toOutput = RunSvctune(L"/list");
  EXPECT_EQ(0u, toOutput.exitCode);
  EXPECT_EQ(csv, toOutput.bytes);
  EXPECT_EQ(before, MachineState());
}

TEST_F(CommandLineEndToEnd, RefusedRunsExitWithTheirCodeAndWriteNothing) {
  const std::wstring badTemplate = L"C:\\svctune\\e2e-bad.inf";
  const std::wstring link = L"C:\\svctune\\e2e-link.log";  // TQSE.ini by another name
  DeleteFileW(link.c_str());
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), kPresetFile, nullptr));
  {
    const std::string text =
        "[Version]\r\nsignature=\"$CHICAGO$\"\r\n[Service General Setting]\r\n"
        "\"Alerter\",4,\"\"\r\nALG 4\r\n";
    HANDLE file = CreateFileW(badTemplate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  const struct {
    std::wstring arguments;
    DWORD exitCode;
    std::wstring saying;
  } badArguments[] = {
      {L"/preset 9", 2, L"预设列表没有第 9 项"},
      {L"/apply " + badTemplate, 2, L"第 5 行"},
      {L"/apply C:\\svctune\\no-such.inf", 2, L"无法读取文件"},
      {L"/export C:\\svctune\\x.txt", 2, L".reg（注册表文件）或 .inf（安全模板）"},
      {L"/restore /frobnicate", 2, L"未知的开关"},
      {L"/manual /log svctune\\tqse.ini.", 2, L"本程序自己读写的文件 C:\\svctune\\TQSE.ini"},
      {L"/restore /log C:\\SVCTUNE\\TQSE.ini.bak", 2, L"本程序自己读写的文件"},
      {L"/manual /log " + link, 2, L"本程序自己读写的文件 C:\\svctune\\TQSE.ini"},
  };
  std::map<std::wstring, std::wstring> before = MachineState();
  for (const auto& c : badArguments) {
    const CommandRun run = RunSvctune(c.arguments);
    EXPECT_EQ(c.exitCode, run.exitCode) << Utf8(c.arguments);
    EXPECT_EQ(0u, run.output.find(L"错误：")) << Utf8(run.output);
    EXPECT_TRUE(Contains(run.output, c.saying)) << Utf8(run.output);
    EXPECT_FALSE(Contains(run.output, L"。。")) << Utf8(run.output);
    EXPECT_EQ(before, MachineState()) << Utf8(c.arguments);
  }

  RequireStartupPassword(L"e2e-secret");
  before = MachineState();
  for (const std::wstring& arguments :
       {std::wstring(L"/preset 1"), std::wstring(L"/restore /password wrong-one"),
        std::wstring(L"/export C:\\svctune\\e2e-refused.inf")}) {
    const CommandRun run = RunSvctune(arguments);
    EXPECT_EQ(3u, run.exitCode) << Utf8(arguments);
    EXPECT_EQ(before, MachineState()) << Utf8(arguments);
  }
  EXPECT_FALSE(PathFileExistsW(L"C:\\svctune\\e2e-refused.inf"));
  const CommandRun allowed = RunSvctune(L"/manual /password e2e-secret");
  EXPECT_EQ(0u, allowed.exitCode) << Utf8(allowed.output);
  // Switched on with no password stored: as the prompt lets the empty entry in, a run without
  // /password goes on, and any password given is wrong.
  WriteText(HKEY_LOCAL_MACHINE, kProgramKey, L"Password", L"");
  EXPECT_EQ(3u, RunSvctune(L"/manual /password e2e-secret").exitCode);
  const CommandRun noPassword = RunSvctune(L"/manual");
  EXPECT_EQ(0u, noPassword.exitCode) << Utf8(noPassword.output);
  WriteDword(HKEY_LOCAL_MACHINE, kProgramKey, L"EnablePassword", 0);

  // The window runs: its shutdown would write its own choices over the run's.
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  before = MachineState();
  const CommandRun whileWindow = RunSvctune(L"/preset 1");
  EXPECT_EQ(4u, whileWindow.exitCode);
  EXPECT_TRUE(Contains(whileWindow.output, L"本机正在运行 svctune 窗口"))
      << Utf8(whileWindow.output);
  EXPECT_EQ(before, MachineState());
  CloseAndWait(main);

  // Something else holds the start-up mark.
  HANDLE mark = CreateMutexW(nullptr, TRUE, kInstanceMutex);
  ASSERT_NE(nullptr, mark);
  before = MachineState();
  const CommandRun whileMarked = RunSvctune(L"/restore");
  EXPECT_EQ(4u, whileMarked.exitCode);
  EXPECT_TRUE(Contains(whileMarked.output, L"启动标记被占用")) << Utf8(whileMarked.output);
  EXPECT_EQ(before, MachineState());
  CloseHandle(mark);
}

TEST_F(CommandLineEndToEnd, EveryModeEndsWithoutAWindow) {
  AddServiceNeedingAlerter();
  const std::wstring file = L"C:\\svctune\\e2e-modes";
  const std::vector<std::wstring> modes = {L"/?",
                                           L"-PRESET:普通优化",
                                           L"/manual",
                                           L"/export " + file + L".reg",
                                           L"/export " + file + L".inf",
                                           L"/apply " + file + L".inf",
                                           L"/restore",
                                           L"/bogus"};
  for (const std::wstring& arguments : modes) {
    const CommandRun run = RunSvctune(arguments);
    EXPECT_NE(STILL_ACTIVE, run.exitCode) << Utf8(arguments);
    EXPECT_FALSE(run.output.empty()) << Utf8(arguments);
  }
  // Started without handles of its own, it ends all the same, having done its work.
  ASSERT_TRUE(RunAndWait(L"\"" + std::wstring(kProgram) + L"\" /preset 2"));
  EXPECT_EQ(2u, StartOf(L"Spooler"));
  EXPECT_EQ(4u, StartOf(L"Alerter"));
}

// Typed at a console prompt: no handles of its own, so it writes into the console of the
// program that started it.
TEST_F(CommandLineEndToEnd, WithoutStandardOutputItWritesToTheConsoleItWasStartedFrom) {
  const HANDLE savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE savedError = GetStdHandle(STD_ERROR_HANDLE);
  const HANDLE savedInput = GetStdHandle(STD_INPUT_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  // A console's GUI child gets no standard handles of its own on Windows; Wine would hand it
  // the console's, so they are given as none.
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info = {};
  std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\" /bogus";
  const BOOL started = CreateProcessW(kProgram, &commandLine[0], nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &info);
  DWORD exitCode = STILL_ACTIVE;
  std::wstring shown(400, L' ');
  if (started) {
    WaitForSingleObject(info.hProcess, 30000);
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, &shown[0], static_cast<DWORD>(shown.size()), COORD{0, 0},
                                &read);
  }
  CloseHandle(console);
  FreeConsole();
  SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
  SetStdHandle(STD_ERROR_HANDLE, savedError);
  SetStdHandle(STD_INPUT_HANDLE, savedInput);
  ASSERT_TRUE(started);
  EXPECT_EQ(2u, exitCode);
  EXPECT_EQ(0u, shown.find(L"错误：未知的开关：/bogus（用 /? 查看用法）")) << Utf8(shown);
}

// A file dropped on the program in Explorer: no console and no handles to write to, so the
// refusal is shown where the user sees it.
TEST_F(CommandLineEndToEnd, WithNowhereToWriteARefusalIsShownInAMessageBox) {
  FreeConsole();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info = {};
  std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\" C:\\svctune\\tqpass.txt";
  ASSERT_TRUE(CreateProcessW(kProgram, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info));
  CloseHandle(info.hThread);
  const std::optional<MessageBoxInfo> shown = WaitForMessageBox(info.dwProcessId, seconds(20));
  if (shown) {
    EXPECT_EQ(L"错误：无法识别的参数：C:\\svctune\\tqpass.txt（用 /? 查看用法）", shown->text);
    Acknowledge(*shown);
  }
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 99);
  }
  GetExitCodeProcess(info.hProcess, &exitCode);
  CloseHandle(info.hProcess);
  EXPECT_TRUE(shown);
  EXPECT_EQ(2u, exitCode);
}

TEST_F(CommandLineEndToEnd, AnAutomaticServiceNeedingWhatThePresetDisablesIsNamed) {
  AddServiceNeedingAlerter();
  const CommandRun run = RunSvctune(L"/preset 细致优化");
  EXPECT_EQ(0u, run.exitCode) << Utf8(run.output);
  EXPECT_TRUE(Contains(run.output, L"警告 已禁用 Alerter，依赖它的自动启动服务将无法启动：" +
                                       std::wstring(kMadeUpService) + L"\r\n"))
      << Utf8(run.output);
  EXPECT_EQ(4u, StartOf(L"Alerter")) << "a warning, not a refusal";
}

// The window: the dependents from the registry on the status line, and the warning after a
// click that disables what an automatic service needs.
TEST_F(CommandLineEndToEnd, TheStatusLineNamesDependentsAndWarnsWhenOneCanNoLongerStart) {
  AddServiceNeedingAlerter();
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  SetForegroundWindow(main);
  HWND status = FindDescendant(main, kStatusLine);
  ASSERT_NE(nullptr, status);
  const std::vector<COLORREF> inks = {kCaptionInk, kWarningInk};

  PointAt(FindDescendant(main, kCaptionBase + 1));
  EXPECT_TRUE(
      WaitUntil([&] { return Contains(TextOf(status), L"。被依赖：" + std::wstring(kMadeUpName)); },
                seconds(5)))
      << Utf8(TextOf(status));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(status, inks) == kCaptionInk; }, seconds(5)));

  HWND disabled = Box(main, 3);
  PointAt(disabled);
  ClickButton(disabled);
  const std::wstring warning = L"Alerter：注意：自动启动的 " + std::wstring(kMadeUpName) +
                               L" 依赖此服务，禁用后它们无法启动";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(status) == warning; }, seconds(5)))
      << Utf8(TextOf(status));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(status, inks) == kWarningInk; }, seconds(5)));
  EXPECT_EQ(4u, StartOf(L"Alerter"));

  PointAt(FindDescendant(main, kCaptionBase + 2));
  EXPECT_TRUE(WaitUntil([&] { return Contains(TextOf(status), L"（ALG）"); }, seconds(5)))
      << Utf8(TextOf(status));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(status, inks) == kCaptionInk; }, seconds(5)));
  CloseAndWait(main);
}

// "导出备份" with a security template's file type: a name typed without an extension gets
// ".inf", and the file is the template; the message names the service it left out. The
// catalogue's 56 services, or every service of the machine.
TEST_F(CommandLineEndToEnd, TheSaveDialogWritesASecurityTemplateOfTheScopeChosen) {
  WriteDword(HKEY_LOCAL_MACHINE, kServices + std::wstring(L"Alerter"), L"Start", 1);
  AddServiceNeedingAlerter();
  const std::wstring base = L"C:\\svctune\\e2e-dialog";
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  for (const int type : {1, 3}) {
    DeleteFileW((base + L".inf").c_str());
    DeleteFileW((base + L".reg").c_str());
    Click(FindDescendant(main, kExportLink));
    HWND dialog = WaitForTopLevelWindow(program_->id(), L"#32770", nullptr, seconds(10));
    ASSERT_NE(nullptr, dialog);
    HWND name = SaveDialogNameBox(dialog);
    ASSERT_NE(nullptr, name);
    HWND types = FindDescendant(dialog, 0x470);  // cmb1, the file types
    ASSERT_NE(nullptr, types);
    ASSERT_EQ(4, SendMessageW(types, CB_GETCOUNT, 0, 0));
    wchar_t chosen[64] = {};
    SendMessageW(types, CB_GETLBTEXT, type, reinterpret_cast<LPARAM>(chosen));
    EXPECT_EQ(type == 1 ? L"安全模板，目录中的 56 项 (*.inf)" : L"安全模板，全部服务 (*.inf)",
              std::wstring(chosen));
    SendMessageW(types, CB_SETCURSEL, type, 0);
    // As the list tells a choice: the selection changed, then the choice confirmed.
    for (const WORD code : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}}) {
      SendMessageW(GetParent(types), WM_COMMAND, MAKEWPARAM(0x470, code),
                   reinterpret_cast<LPARAM>(types));
    }
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(base.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, seconds(10)));
    const std::optional<MessageBoxInfo> exported = WaitForMessageBox(program_->id(), seconds(10));
    ASSERT_TRUE(exported);
    EXPECT_EQ(0u, exported->text.find(L"已把 ")) << Utf8(exported->text);
    EXPECT_TRUE(Contains(exported->text, L".inf\n\n以下 ") &&
                Contains(exported->text, L"\nAlerter：启动方式 1 不是 2、3 或 4"))
        << Utf8(exported->text);
    EXPECT_EQ(type == 1, Contains(exported->text, L"已把 55 项服务")) << Utf8(exported->text);
    Acknowledge(*exported);
    const std::string bytes = ReadFile(base + L".inf");
    EXPECT_EQ(0u, bytes.find("\xFF\xFE[\0U\0n\0i\0c\0o\0d\0e\0]\0", 0, 20));
    const std::string madeUp("M\0a\0d\0e\0U\0p\0A\0u\0t\0o\0S\0v\0c\0", 26);
    EXPECT_EQ(type == 3, bytes.find(madeUp) != std::string::npos);
    EXPECT_FALSE(PathFileExistsW((base + L".reg").c_str()));
  }
  CloseAndWait(main);
}

// TQSE.ini held open by a program that lets others read and write it but not replace it (an
// editor, a virus scanner), or not even read it: a run that must drop the preset selection
// changes nothing and says so. Once the file is free, what the run changes stays after the
// window's next start.
TEST_F(CommandLineEndToEnd, ARunThatCannotSaveThePresetListChangesNothing) {
  const std::wstring policy = L"C:\\svctune\\e2e-manual.inf";
  WriteBytes(policy,
             "[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n\"Alerter\",3,\"\"\r\n"
             "\"Messenger\",3,\"\"\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
  ASSERT_EQ(0u, RunSvctune(L"/preset 1").exitCode);
  const std::map<std::wstring, std::wstring> before = MachineState();
  for (const DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{0}}) {
    HANDLE held = CreateFileW(kPresetFile, GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (const std::wstring& arguments : {L"/apply " + policy, std::wstring(L"/restore")}) {
      const CommandRun run = RunSvctune(arguments);
      EXPECT_EQ(2u, run.exitCode) << sharing << " " << Utf8(run.output);
      EXPECT_TRUE(Contains(run.output, L"无法保存预设列表 TQSE.ini")) << Utf8(run.output);
    }
    CloseHandle(held);
    EXPECT_EQ(before, MachineState()) << sharing;
  }

  const CommandRun applied = RunSvctune(L"/apply " + policy);
  EXPECT_EQ(0u, applied.exitCode) << Utf8(applied.output);
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  CloseAndWait(main);
  EXPECT_EQ(3u, StartOf(L"Alerter"));
  EXPECT_EQ(3u, StartOf(L"Messenger"));
}

}  // namespace
}  // namespace svctune
