// The Windows 10 test machine (scripts/e2e-prefix.sh --services win10): what the prefix must
// look like for the tests that run svctune against the Windows 10 service set.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "registry/scoped_key.h"
#include "win/advapi32_registry.h"

namespace {

using svctune::registry::Advapi32Registry;
using svctune::registry::kAccessDenied;
using svctune::registry::kKeyRead;
using svctune::registry::kKeySetValue;
using svctune::registry::kLocalMachine;
using svctune::registry::kNoMoreItems;
using svctune::registry::kSuccess;
using svctune::registry::ScopedKey;

constexpr char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

std::string ServiceKey(const char* name) {
  return std::string(kServices) + "\\" + name;
}

TEST(Win10Prefix, HoldsTwoHundredWin32Services) {
  Advapi32Registry registry;
  ScopedKey services(registry);
  ASSERT_EQ(kSuccess,
            registry.RegOpenKeyExA(kLocalMachine, kServices, 0, kKeyRead, services.Receive()));
  int win32 = 0;
  char name[256];
  for (std::uint32_t i = 0;
       registry.RegEnumKeyA(services.get(), i, name, sizeof name) != kNoMoreItems; ++i) {
    ScopedKey service(registry);
    if (registry.RegOpenKeyExA(services.get(), name, 0, kKeyRead, service.Receive()) != kSuccess) {
      continue;
    }
    std::uint32_t type = 0;
    std::uint32_t size = sizeof type;
    if (registry.RegQueryValueExA(service.get(), "Type", nullptr, nullptr,
                                  reinterpret_cast<std::uint8_t*>(&type), &size) == kSuccess &&
        (type & (SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS)) != 0 &&
        (type & 0xC0) == 0) {
      ++win32;
    }
  }
  EXPECT_GE(win32, 200);
}

TEST(Win10Prefix, ReportsWindows10) {
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto rtlGetVersion = reinterpret_cast<GetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(nullptr, rtlGetVersion);
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_EQ(0, rtlGetVersion(&version));
  EXPECT_EQ(10u, version.dwMajorVersion);
}

// AppIDSvc's display name is "@%SystemRoot%\system32\svctune_strings.dll,-100".
TEST(Win10Prefix, ResolvesIndirectTextsFromTheStringLibrary) {
  Advapi32Registry registry;
  ScopedKey service(registry);
  ASSERT_EQ(kSuccess, registry.RegOpenKeyExA(kLocalMachine, ServiceKey("AppIDSvc").c_str(), 0,
                                             kKeyRead, service.Receive()));
  using LoadMuiFunction =
      LONG(WINAPI*)(HKEY, const wchar_t*, wchar_t*, DWORD, DWORD*, DWORD, const wchar_t*);
  auto regLoadMuiString = reinterpret_cast<LoadMuiFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegLoadMUIStringW")));
  ASSERT_NE(nullptr, regLoadMuiString);
  wchar_t text[128] = L"";
  EXPECT_EQ(ERROR_SUCCESS, regLoadMuiString(reinterpret_cast<HKEY>(service.get()), L"DisplayName",
                                            text, sizeof text, nullptr, 0, nullptr));
  EXPECT_STREQ(L"Application Identity", text);
}

TEST(Win10Prefix, ProtectedKeysRefuseSetValueButRead) {
  struct Case {
    const char* service;
    long setValue;
  };
  const Case cases[] = {
      {"WinDefend", kAccessDenied},
      {"WdNisSvc", kAccessDenied},
      {"WaaSMedicSvc", kAccessDenied},
      {"AppIDSvc", kSuccess},
  };
  Advapi32Registry registry;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.service);
    const std::string path = ServiceKey(c.service);
    ScopedKey writable(registry);
    EXPECT_EQ(c.setValue, registry.RegOpenKeyExA(kLocalMachine, path.c_str(), 0, kKeySetValue,
                                                 writable.Receive()));
    ScopedKey readable(registry);
    EXPECT_EQ(kSuccess,
              registry.RegOpenKeyExA(kLocalMachine, path.c_str(), 0, kKeyRead, readable.Receive()));
  }
}

// svctune.exe /list on this machine: every service and per-user template once, indirect texts
// resolved, protected keys told, no driver and no per-user instance.
TEST(Win10Prefix, ListGivesTheInventoryOfEveryService) {
  const std::wstring csv = L"C:\\svctune\\win10-list.csv";
  DeleteFileW(csv.c_str());
  std::wstring command = L"C:\\svctune\\svctune.exe /list " + csv;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 120000));
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(0u, exitCode);

  HANDLE file = CreateFileW(csv.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  std::string text(1 << 20, '\0');
  DWORD read = 0;
  ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  text.resize(read);
  EXPECT_EQ(0u, text.find("\xEF\xBB\xBFName,DisplayName,Start,Delayed,Trigger,PerUser,Protected,"
                          "Catalogue,Running\r\n"));
  int rows = -1;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       end = text.find("\r\n", end + 2)) {
    ++rows;
  }
  EXPECT_GE(rows, 200 + 23);
  const char* expected[] = {
      "\r\nAppIDSvc,Application Identity,3,0,1,,0,0,",
      "\r\nCDPUserSvc,Connected Devices Platform User Service,2,0,0,template,0,0,",
      "\r\nWinDefend,Microsoft Defender Antivirus Service,2,0,0,,1,0,",
  };
  for (const char* line : expected) {
    EXPECT_NE(std::string::npos, text.find(line)) << line;
  }
  for (const char* absent : {"\r\nWdBoot,", "\r\nWdFilter,", "\r\nCDPUserSvc_"}) {
    EXPECT_EQ(std::string::npos, text.find(absent)) << absent;
  }
}

}  // namespace
