// The gallery as a user meets it: it starts, shows every kind of control, logs an event as it
// arrives and closes cleanly.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "automation.h"

namespace {

using namespace svctune::automation;
using std::chrono::seconds;

std::wstring GalleryPath() {
  std::wstring path;
  for (const char* c = SVCTUNE_GALLERY_EXE; *c != '\0'; ++c) {
    path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  }
  return path;
}

BOOL CALLBACK CollectClass(HWND window, LPARAM classes) {
  reinterpret_cast<std::set<std::wstring>*>(classes)->insert(ClassOf(window));
  return TRUE;
}

BOOL CALLBACK FindLaminaButton(HWND window, LPARAM found) {
  if (ClassOf(window) != L"LaminaButton") {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

std::wstring LogLine(HWND log, int index) {
  const auto length = SendMessageW(log, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) {
    return {};
  }
  std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(log, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line[0]));
  line.resize(static_cast<std::size_t>(length));
  return line;
}

TEST(GalleryTest, ShowsEveryControlKindLogsEventsAndClosesCleanly) {
  std::optional<Process> gallery = Process::Start(GalleryPath());
  ASSERT_TRUE(gallery);
  const HWND window =
      WaitForTopLevelWindow(gallery->id(), L"svctune.Gallery", nullptr, seconds(60));
  ASSERT_NE(window, nullptr);

  std::set<std::wstring> classes;
  EnumChildWindows(window, &CollectClass, reinterpret_cast<LPARAM>(&classes));
  for (const wchar_t* expected :
       {L"LaminaButton", L"LaminaProgress", L"LaminaVscroll", L"LaminaHscroll", L"LaminaComBox",
        L"LaminaMoveBar", L"VellumCorvidForm", L"svctune.XPOption", L"svctune.ProgressBar",
        L"qxButtons_H", L"SysTabControl32"}) {
    EXPECT_EQ(classes.count(expected), 1u) << std::string(expected, expected + wcslen(expected));
  }

  const HWND log = FindDescendant(window, 100);
  ASSERT_NE(log, nullptr);
  HWND button = nullptr;
  EnumChildWindows(window, &FindLaminaButton, reinterpret_cast<LPARAM>(&button));
  ASSERT_NE(button, nullptr);
  ClickAt(button, 20, 10);
  // The button raises MouseDown, Click and MouseUp, each logged as it arrives.
  const auto logged = [log](const std::wstring& prefix, const std::wstring& suffix) {
    const auto count = static_cast<int>(SendMessageW(log, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const std::wstring line = LogLine(log, i);
      if (line.rfind(prefix, 0) == 0 && line.size() >= suffix.size() &&
          line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil([&] { return logged(L"Button", L".Click()"); }, seconds(10)));
  EXPECT_TRUE(logged(L"Button", L".MouseDown(Button=1, Shift=0, X=300, Y=150)"));

  SystemClose(window);
  const std::optional<DWORD> exitCode = gallery->WaitForExit(seconds(30));
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
}

}  // namespace
