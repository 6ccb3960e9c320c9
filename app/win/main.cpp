// svctune.exe: the program starts by loading its main window. Started with arguments, it runs
// its command line instead and shows no window.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "access/win/login_window.h"
#include "program_info.h"
#include "registry/registry_access.h"
#include "win/advapi32_registry.h"
#include "win/command_line_main.h"
#include "win/code_page_codec.h"
#include "win/file_preset_store.h"
#include "win/formhome_window.h"
#include "win/instance_mark.h"
#include "win/message_box_presenter.h"
#include "win/passs_window.h"
#include "win/scoped_gdi.h"
#include "win/services_window.h"

namespace {

constexpr unsigned kPresetFileCodePage = 936;

// The running copy makes its window soon after it took the mutex: a second start made at the
// same moment looks for it a little while before it gives up.
constexpr DWORD kWindowSearchMilliseconds = 3000;
constexpr DWORD kWindowSearchStepMilliseconds = 100;
constexpr UINT kAnswerMilliseconds = 5000;
constexpr const wchar_t* kNoRunningWindow = L"另一个 svctune 正在运行，或其启动标记被占用";

// Asks the running copy to bring its window to the front, and lets it take the foreground
// that this start was given. False when no window of a running copy answers (the mutex is
// held by a copy in another session, or by some other program).
bool ShowRunningInstance() {
  const DWORD searchStart = GetTickCount();
  HWND running = FindWindowW(svctune::win::FormhomeWindow::kClassName, nullptr);
  while (running == nullptr && GetTickCount() - searchStart < kWindowSearchMilliseconds) {
    Sleep(kWindowSearchStepMilliseconds);
    running = FindWindowW(svctune::win::FormhomeWindow::kClassName, nullptr);
  }
  if (running == nullptr) {
    return false;
  }
  DWORD process = 0;
  if (GetWindowThreadProcessId(running, &process) != 0) {
    AllowSetForegroundWindow(process);
  }
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(running, svctune::win::FormhomeWindow::ShowInstanceMessage(), 0, 0,
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerMilliseconds, &answer) != 0;
}

// Runs the message loop until the program's last window has closed. Tab moves between the
// controls of the main window and of "全部服务"; the password windows handle their keys
// themselves.
int RunMessageLoop(HWND formhome) {
  MSG message;
  BOOL received;
  while ((received = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (received == -1) {
      return 1;
    }
    if (IsWindow(formhome) && GetAncestor(message.hwnd, GA_ROOT) == formhome &&
        IsDialogMessageW(formhome, &message)) {
      continue;
    }
    if (svctune::win::ServicesWindow::HandleDialogKeys(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // With arguments the program runs for a deployment tool or a script: no window at all.
  const std::vector<std::wstring> arguments = svctune::win::ProgramArguments();
  if (!arguments.empty()) {
    return svctune::win::RunCommandLineMode(arguments);
  }
  svctune::win::ScopedKernelObject instanceMutex;
  if (svctune::win::AnotherInstanceRuns(instanceMutex)) {
    if (ShowRunningInstance()) {
      return 0;
    }
    const std::wstring title(svctune::kProgramTitle);
    MessageBoxW(nullptr, kNoRunningWindow, title.c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (FAILED(OleInitialize(nullptr))) {
    return 1;
  }
  int exitCode = 1;
  {
    svctune::CodePageCodec systemCodePage(CP_ACP);
    svctune::CodePageCodec presetCodePage(kPresetFileCodePage);
    svctune::registry::Advapi32Registry systemRegistry;
    svctune::win::MessageBoxPresenter messages;
    svctune::registry::RegistryAccess registry(systemRegistry, systemCodePage, messages,
                                               std::wstring(svctune::kProgramTitle));
    svctune::win::FilePresetStore presetFile(svctune::win::ProgramFolder() + L"\\TQSE.ini");
    const svctune::access::AccessServices access{registry, systemCodePage, messages};
    svctune::win::FormhomeServices services;
    services.runLoginPrompt = [&access](HWND owner) {
      return svctune::access::win::RunLoginPrompt(owner, access) ==
             svctune::access::win::LoginResult::kAccepted;
    };
    services.openAccessGate = [instance, &access](HWND) {
      svctune::win::PasssWindow::Open(instance, access);
    };
    svctune::win::FormhomeWindow formhome(instance, registry, presetFile, presetCodePage, messages,
                                          services);
    if (formhome.Create(showCommand)) {
      exitCode = RunMessageLoop(formhome.hwnd());
    }
  }
  OleUninitialize();
  return exitCode;
}
