// A late-bound scripting client (cscript with VBScript) creates the controls with
// CreateObject and reads and writes their members by name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;
};

Outcome RunScript(const std::wstring& script) {
  Outcome outcome;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    return outcome;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring command = L"cscript.exe //nologo \"" + script + L"\"";
  const BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
      outcome.output.append(buffer, read);
    }
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return outcome;
}

std::wstring ScriptPath(const char* name) {
  std::wstring path;
  for (const char* c = SVCTUNE_SCRIPTS_DIR; *c != '\0'; ++c) {
    path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  }
  for (const char* c = name; *c != '\0'; ++c) {
    path.push_back(static_cast<wchar_t>(*c));
  }
  return path;
}

TEST(VbscriptClientTest, CreatesTheControlsAndUsesTheirMembersByName) {
  const Outcome outcome = RunScript(ScriptPath("\\controls.vbs"));
  EXPECT_EQ(outcome.exitCode, 0u) << outcome.output;
  EXPECT_NE(outcome.output.find("controls.vbs passed"), std::string::npos) << outcome.output;
}

}  // namespace
