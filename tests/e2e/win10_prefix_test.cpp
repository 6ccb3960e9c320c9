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

}  // namespace
