#pragma once

// What the end-to-end tests share: where svctune is installed in the test prefix, the ids of
// its controls, reading and writing the prefix's registry and files, and the fixture that
// resets the machine before each test.
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "access/encryption.h"
#include "automation.h"
#include "catalogue/service_catalogue.h"
#include "win/code_page_codec.h"

namespace svctune::e2e {

using namespace automation;
using std::chrono::seconds;

inline constexpr const wchar_t* kProgram = L"C:\\svctune\\svctune.exe";
inline constexpr const wchar_t* kPresetFile = L"C:\\svctune\\TQSE.ini";
inline constexpr const wchar_t* kPresetBackup = L"C:\\svctune\\TQSE.ini.bak";
inline constexpr const wchar_t* kInstanceMutex = L"Global\\svctune.formhome.instance";
inline constexpr const wchar_t* kMainClass = L"svctune.formhome";
inline constexpr const wchar_t* kPanelClass = L"svctune.ProgressBar";
inline constexpr const wchar_t* kLoginCaption = L"欢迎你使用Trevane";
inline constexpr const wchar_t* kServices = L"SYSTEM\\CurrentControlSet\\Services\\";
inline constexpr const wchar_t* kProgramKey = L"Software\\Hollin Soft\\Pardell";
inline constexpr int kCheckBase = 1000;
inline constexpr int kCaptionBase = 2000;
inline constexpr int kOption1 = 3001;
inline constexpr int kOption2 = 3002;
inline constexpr int kXPCombo1 = 3003;
inline constexpr int kCmdEnd = 3004;
inline constexpr int kLabel33 = 2033;
inline constexpr int kLabel60 = 2060;
inline constexpr int kPicture1 = 4001;
inline constexpr int kPicture6 = 4006;
inline constexpr int kLoginTxtPassword = 1004;
inline constexpr int kLblCap4 = 2304;
inline constexpr const wchar_t* kGateClass = L"svctune.passs";
inline constexpr const wchar_t* kPasswordSettingsCaption = L"密码设置";
inline constexpr int kGateText1 = 110;
inline constexpr int kGateText2 = 111;
inline constexpr int kGateCheck1 = 120;
inline constexpr int kGateLabel4 = 132;
inline constexpr int kGateCommandBase = 140;
inline constexpr int kStatusLine = 2500;
inline constexpr int kRestoreLink = 2501;
inline constexpr int kExportLink = 2502;
inline constexpr int kServicesLink = 2503;
// The window "全部服务" and its controls.
inline constexpr const wchar_t* kServicesClass = L"svctune.services";
inline constexpr int kServicesFilter = 101;
inline constexpr int kServicesList = 102;
inline constexpr int kServicesDetails = 103;
inline constexpr int kServicesChoiceBase = 110;  // + 0 自动, 1 自动（延迟启动）, 2 手动, 3 禁用
inline constexpr int kServicesRefusal = 120;
inline constexpr int kServicesStatus = 121;
inline constexpr COLORREF kCaptionInk = RGB(0, 51, 153);
inline constexpr COLORREF kMissingInk = RGB(150, 150, 150);
inline constexpr COLORREF kWarningInk = RGB(214, 64, 0);

// The repository's data folder, as the Windows side sees it.
std::wstring DataFile(const wchar_t* name);
std::string ReadFile(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// A file as text: UTF-16 after a byte-order mark, else the Chinese ANSI code page.
std::wstring TextOfFile(const std::wstring& path);

// The keys of the Windows 10 machine that Windows protects (flag P in data/win10-services.txt)
// made to deny KEY_SET_VALUE by protect-keys.exe (SVCTUNE_PROTECT_KEYS). Wine keeps a key's
// security only while the prefix's server runs, and a test program may have a server of its own
// (under emulation each program runs in a namespace of its own, whose processes only its own
// server can reach): each test program of that machine protects them as it starts.
class ProtectedWindows10Keys : public ::testing::Environment {
 public:
  void SetUp() override;
};

// The XP start types of data/xp-services.reg, by service key.
std::map<std::wstring, DWORD> XpStartTypes();

// Values of the prefix's registry: a REG_DWORD or REG_SZ read (nothing when missing or of
// another type), written into a key made when missing.
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const wchar_t* name);
std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* name);
void WriteDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD value);
void WriteText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text);

// A control's saved state: its key under HKLM, and the text stored there.
std::wstring SettingsKey(const std::wstring& stem);
std::optional<std::wstring> SavedState(const std::wstring& stem);

std::wstring KeyOf(const ServiceEntry& entry);
// A service's Start value; 0 when it has none.
DWORD StartOf(const std::wstring& service);
std::string Utf8(const std::wstring& text);

// Runs a program of the prefix with arguments and waits for it to end.
bool RunAndWait(const std::wstring& commandLine);

// A run of svctune.exe with arguments, as a deployment tool makes it.
struct CommandRun {
  DWORD exitCode = STILL_ACTIVE;
  std::wstring output;
  std::string bytes;  // the output as it came
  // A window the run's process made, seen while it ran (a message box would also keep it from
  // ending).
  bool windowSeen = false;
};
enum class Output { kPipe, kFile };
// Runs svctune.exe with the arguments: its standard output a pipe read while it runs, or a file
// read when it has ended. A run that makes a window, or does not end within two minutes, fails
// the test.
CommandRun RunSvctune(const std::wstring& arguments, Output output = Output::kPipe);

// The colour of a label's text as the screen shows it: of the colours the window may use, the
// one nearest to the label's inkiest pixel (the one farthest from the background).
COLORREF InkOf(HWND label, const std::vector<COLORREF>& candidates);

// The file name box of a standard save dialog (the combo box cmb13 or the edit edt1), waited
// for; nothing when it does not come.
HWND SaveDialogNameBox(HWND dialog);

// Puts the pointer on the middle of a window, as a user's mouse would.
void PointAt(HWND window);

// Forgets what svctune keeps on the machine: its own key with the recorded originals, every
// saved control state and what the access gate keeps; TQSE.ini as shipped.
void ForgetProgramState();

// The text of a cell of another process's list, read as accessibility tools do: through
// memory of that process.
std::wstring CellText(HWND list, int row, int column = 0);

// The program as one test sees it: its state forgotten before, the program stopped after.
class ProgramEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ForgetProgramState(); }

  // Starts the program and waits for its main window to take input.
  HWND Launch() {
    program_ = Process::Start(kProgram);
    EXPECT_TRUE(program_.has_value());
    if (!program_) {
      return nullptr;
    }
    HWND main = WaitForTopLevelWindow(program_->id(), kMainClass, nullptr, seconds(30));
    EXPECT_NE(nullptr, main);
    return main;
  }
  bool WaitForInput(HWND main) {
    return WaitUntil([&] { return IsEnabled(main); }, seconds(20));
  }
  // Closes the window with the system close command and waits for the program to end.
  void CloseAndWait(HWND window) {
    SystemClose(window);
    ExpectExit();
  }
  void ExpectExit() {
    ASSERT_TRUE(program_);
    const std::optional<DWORD> code = program_->WaitForExit(seconds(30));
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(0u, *code);
  }
  std::optional<Process> program_;
};

// The machine of the 56 services: their XP start types set before each test.
class SvctuneEndToEnd : public ProgramEndToEnd {
 protected:
  void SetUp() override {
    ProgramEndToEnd::SetUp();
    xpStarts_ = XpStartTypes();
    ASSERT_EQ(56u, xpStarts_.size());
    for (const auto& [service, start] : xpStarts_) {
      WriteDword(HKEY_LOCAL_MACHINE, kServices + service, L"Start", start);
    }
  }

  HWND Box(HWND main, int number) { return FindDescendant(main, kCheckBase + number); }
  // Opens the access gate from "设置密码" with no gate password stored yet: the gate first asks
  // for the initial password.
  HWND OpenGateFirstTime(HWND main) {
    Click(FindDescendant(main, kLblCap4));
    const std::optional<MessageBoxInfo> initial = WaitForMessageBox(program_->id(), seconds(20));
    EXPECT_TRUE(initial);
    if (!initial) {
      return nullptr;
    }
    EXPECT_EQ(L"请输入初始密码", initial->text);
    Acknowledge(*initial);
    return WaitForTopLevelWindow(program_->id(), kGateClass, nullptr, seconds(20));
  }
  // Switches the start-up password on, stored as the password settings store it.
  void RequireStartupPassword(const wchar_t* password) {
    const CodePageCodec systemCodePage(CP_ACP);
    const std::optional<std::wstring> stored =
        access::clsEncryption(systemCodePage).Cryption(password, L"OakLantern", true);
    ASSERT_TRUE(stored);
    WriteDword(HKEY_LOCAL_MACHINE, kProgramKey, L"EnablePassword", 1);
    WriteText(HKEY_LOCAL_MACHINE, kProgramKey, L"Password", *stored);
  }

  std::map<std::wstring, DWORD> xpStarts_;
};

}  // namespace svctune::e2e
