// The examples of docs/activex.md run as a reader would run them, with the libraries
// registered: the VBScript client under cscript, and the C++ program that hosts the controls
// in ATL's AtlAxWin windows, closed with the skin's own close button. Each must print what
// the document says it prints.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "markdown_text.h"
#include "skin_layout.h"

namespace {

using namespace svctune::automation;
using std::chrono::seconds;

// The output the document shows after the line that ends with `lead`.
std::string DocumentedOutput(const std::string& lead) {
  const std::string section = svctune::testing::MarkdownSection(
      svctune::testing::ReadTextFile(SVCTUNE_ACTIVEX_DOC), "## Using the controls in your program");
  return svctune::testing::IndentedBlockAfter(section, lead);
}

std::wstring WindowsPath(const char* path) {
  std::wstring result;
  for (const char* c = path; *c != '\0'; ++c) {
    result.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  }
  return result;
}

// A program started with its standard output and error going into a pipe.
class CapturedProgram {
 public:
  explicit CapturedProgram(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    // Room for all the examples print, so that they never wait for the reader.
    if (!CreatePipe(&readEnd_, &writeEnd_, &inherit, 1 << 16)) {
      return;
    }
    SetHandleInformation(readEnd_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd_;
    startup.hStdError = writeEnd_;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process_)) {
      CloseHandle(process_.hThread);
      process_.hThread = nullptr;
    }
    CloseHandle(writeEnd_);
    writeEnd_ = nullptr;
  }
  ~CapturedProgram() {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 255);
      }
      CloseHandle(process_.hProcess);
    }
    if (readEnd_ != nullptr) {
      CloseHandle(readEnd_);
    }
  }
  CapturedProgram(const CapturedProgram&) = delete;
  CapturedProgram& operator=(const CapturedProgram&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Id() const { return process_.dwProcessId; }

  // The exit code once the program has ended, or nothing when it runs past the timeout.
  std::optional<DWORD> WaitForExit(seconds timeout) const {
    const auto milliseconds = static_cast<DWORD>(timeout.count() * 1000);
    DWORD code = 0;
    if (!Started() || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.hProcess, &code)) {
      return std::nullopt;
    }
    return code;
  }

  // Everything the program printed, with plain line ends; call once it has ended.
  std::string Output() const {
    std::string output;
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(readEnd_, buffer, sizeof buffer, &read, nullptr) && read > 0) {
      output.append(buffer, read);
    }
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return output;
  }

 private:
  HANDLE readEnd_ = nullptr;
  HANDLE writeEnd_ = nullptr;
  PROCESS_INFORMATION process_{};
};

TEST(EmbedExamplesTest, VbscriptExampleReportsWhatTheControlsAnswer) {
  const std::string documented = DocumentedOutput("The script prints:");
  ASSERT_FALSE(documented.empty());
  CapturedProgram script(L"cscript.exe //nologo \"" + WindowsPath(SVCTUNE_CONTROLS_VBS) + L"\"");
  ASSERT_TRUE(script.Started());
  const std::optional<DWORD> exitCode = script.WaitForExit(seconds(120));
  ASSERT_TRUE(exitCode);
  const std::string output = script.Output();
  EXPECT_EQ(*exitCode, 0u) << output;
  EXPECT_EQ(output, documented);
}

// The hosted control's window inside an AtlAxWin window with the given ProgID.
HWND HostedWindow(HWND parent, const wchar_t* progId, const wchar_t* controlClass) {
  const std::vector<HWND> hosts = Children(parent, L"AtlAxWin", progId);
  if (hosts.size() != 1) {
    return nullptr;
  }
  const std::vector<HWND> controls = Children(hosts.front(), controlClass);
  return controls.size() == 1 ? controls.front() : nullptr;
}

TEST(EmbedExamplesTest, AtlHostShowsTheControlsAndEndsWithTheSkinsCloseButton) {
  const std::string documented = DocumentedOutput("Before the window shows, it prints:");
  ASSERT_FALSE(documented.empty());
  CapturedProgram host(L"\"" + WindowsPath(SVCTUNE_ATL_HOST_EXE) + L"\"");
  ASSERT_TRUE(host.Started());
  // The window shows once the controls are set up; a program that fails before ends instead.
  HWND window = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = TopLevelWindows(host.Id(), L"EmbedSample");
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr || host.WaitForExit(seconds(0));
      },
      seconds(60));
  if (window == nullptr) {
    const std::optional<DWORD> exitCode = host.WaitForExit(seconds(0));
    ASSERT_TRUE(exitCode) << "no window within a minute";
    FAIL() << "ended without a window, exit code " << *exitCode << "\n" << host.Output();
  }

  const HWND form = HostedWindow(window, L"Vellum.CorvidForm", L"VellumCorvidForm");
  const HWND button = HostedWindow(window, L"Lamina.Button", L"LaminaButton");
  ASSERT_NE(form, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(IsVisible(form));
  EXPECT_TRUE(IsVisible(button));
  // The button lies on the skin, above it.
  const HWND buttonHost = GetParent(button);
  const RECT buttonRect = RectInParent(buttonHost);
  const POINT onButton{(buttonRect.left + buttonRect.right) / 2,
                       (buttonRect.top + buttonRect.bottom) / 2};
  EXPECT_EQ(ChildWindowFromPointEx(window, onButton, CWP_SKIPINVISIBLE), buttonHost);

  // The skin raises UnloadClick for its close button; the program's event sink closes the
  // window, and the program ends with 0.
  RECT client{};
  GetClientRect(form, &client);
  const svctune::vellum::TwipRect close =
      svctune::vellum::LayoutSkin(client.right * 15, client.bottom * 15, true).closeButton;
  ClickAt(form, (close.left + close.width / 2) / 15, (close.top + close.height / 2) / 15);
  const std::optional<DWORD> exitCode = host.WaitForExit(seconds(60));
  ASSERT_TRUE(exitCode) << "the skin's close button did not end the program";
  const std::string output = host.Output();
  EXPECT_EQ(*exitCode, 0u) << output;
  EXPECT_EQ(output, documented);
}

}  // namespace
