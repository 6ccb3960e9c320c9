// The gallery as a user meets it: it starts, shows every kind of control, logs an event as it
// arrives, answers the keyboard in its own message loop and closes cleanly.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

// The gallery started for a test, and closed the way a user closes it.
class GalleryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gallery_ = Process::Start(GalleryPath());
    ASSERT_TRUE(gallery_);
    window_ = WaitForTopLevelWindow(gallery_->id(), L"svctune.Gallery", nullptr, seconds(60));
    ASSERT_NE(window_, nullptr);
  }
  // Closes the window through its system menu; the gallery must end cleanly.
  void CloseCleanly() {
    SystemClose(window_);
    const std::optional<DWORD> exitCode = gallery_->WaitForExit(seconds(30));
    ASSERT_TRUE(exitCode);
    EXPECT_EQ(*exitCode, 0u);
  }

  std::optional<Process> gallery_;
  HWND window_ = nullptr;
};

TEST_F(GalleryTest, ShowsEveryControlKindLogsEventsAndClosesCleanly) {
  const HWND window = window_;

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
  CloseCleanly();
}

// How often the log holds exactly this line.
int LogCount(HWND log, const std::wstring& line) {
  const auto count = static_cast<int>(SendMessageW(log, LB_GETCOUNT, 0, 0));
  int found = 0;
  for (int i = 0; i < count; ++i) {
    found += LogLine(log, i) == line ? 1 : 0;
  }
  return found;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
}

// The gallery's owner-drawn page, its buttons found by caption and their events in the log.
class OwnerDrawnPage {
 public:
  OwnerDrawnPage(HWND gallery, HWND page, HWND log) : gallery_(gallery), page_(page), log_(log) {}

  HWND Button(const wchar_t* caption) const {
    const std::vector<HWND> found = Children(page_, L"qxButtons_H", caption);
    return found.size() == 1 ? found[0] : nullptr;
  }
  // The button's Click events so far; the log names a button after its control identifier.
  int Clicks(HWND button) const {
    return LogCount(log_, L"qxButton" + std::to_wstring(GetDlgCtrlID(button) - 1000) + L".Click");
  }
  bool WaitForClicks(HWND button, int clicks) const {
    return WaitUntil([&] { return Clicks(button) == clicks; }, seconds(10)) &&
           Clicks(button) == clicks;
  }
  // A click by the user: the pointer on the button, then the press and the release.
  bool ClickOn(HWND button) const {
    RECT place{};
    GetWindowRect(button, &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    Click(button);
    return WaitUntil([&] { return FocusOf(gallery_) == button; }, seconds(10));
  }
  // A key as the keyboard gives it: down to the window with the focus; once the focus has
  // gone where the key takes it (expected, when given), up to the window that has it then.
  bool Press(WPARAM key, HWND expected = nullptr) const {
    PostMessageW(FocusOf(gallery_), WM_KEYDOWN, key, 1);
    if (expected != nullptr &&
        !WaitUntil([&] { return FocusOf(gallery_) == expected; }, seconds(10))) {
      return false;
    }
    PostMessageW(FocusOf(gallery_), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    return true;
  }

 private:
  HWND gallery_;
  HWND page_;
  HWND log_;
};

// The owner-drawn buttons in the gallery's own message loop (IsDialogMessage): Enter presses
// the focused command button, else the page's default button; Escape the cancel button; the
// arrow keys go round the option buttons and select the one they land on.
TEST_F(GalleryTest, OwnerDrawnButtonsAnswerEnterEscapeAndTheArrowKeys) {
  const HWND window = window_;
  const std::vector<HWND> tabs = Children(window, L"SysTabControl32");
  const std::vector<HWND> pages = Children(window, L"svctune.OwnerDrawnPage");
  const HWND log = FindDescendant(window, 100);
  ASSERT_EQ(tabs.size(), 1u);
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_NE(log, nullptr);
  // The page's tab, as a keyboard user reaches it.
  SendMessageW(tabs[0], TCM_SETCURFOCUS, 3, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(pages[0]); }, seconds(10)));
  const OwnerDrawnPage page(window, pages[0], log);
  const HWND command = page.Button(L"Style 0");
  const HWND check = page.Button(L"Check 1");
  const HWND options[] = {page.Button(L"Option 1"), page.Button(L"Option 2"),
                          page.Button(L"Option 3")};
  const HWND ok = page.Button(L"确定");
  const HWND cancel = page.Button(L"取消");
  for (const HWND button : {command, check, options[0], options[1], options[2], ok, cancel}) {
    ASSERT_NE(button, nullptr);
  }

  // Enter: a focused command button takes it itself; from a check box, or from a control
  // outside the page that takes neither key (the event log: the dialog manager's IDOK), it
  // goes to the default button. Escape goes to the cancel button.
  const struct {
    HWND from;
    int fromClicks;  // after the click that gives it the focus; -1: it logs none
    HWND enter;
    int enterClicks;
    int cancelClicks;
  } starts[] = {{command, 1, command, 2, 1}, {check, 1, ok, 1, 2}, {log, -1, ok, 2, 3}};
  for (const auto& start : starts) {
    ASSERT_TRUE(page.ClickOn(start.from));
    if (start.fromClicks >= 0) {
      ASSERT_TRUE(page.WaitForClicks(start.from, start.fromClicks));
    }
    page.Press(VK_RETURN);
    EXPECT_TRUE(page.WaitForClicks(start.enter, start.enterClicks));
    page.Press(VK_ESCAPE);
    EXPECT_TRUE(page.WaitForClicks(cancel, start.cancelClicks));
  }
  EXPECT_EQ(page.Clicks(check), 1);  // Enter left the check box as it was

  // The arrow keys go round the option buttons; each one they land on is selected once.
  ASSERT_TRUE(page.ClickOn(options[0]));
  ASSERT_TRUE(page.WaitForClicks(options[0], 1));
  const struct {
    WPARAM key;
    int lands;
    int clicks;
  } moves[] = {{VK_RIGHT, 1, 1}, {VK_DOWN, 2, 1}, {VK_RIGHT, 0, 2}, {VK_LEFT, 2, 2}};
  for (const auto& move : moves) {
    EXPECT_TRUE(page.Press(move.key, options[move.lands])) << move.key;
    EXPECT_TRUE(page.WaitForClicks(options[move.lands], move.clicks)) << move.key;
  }
  // From a command button the arrows move on to the next button.
  ASSERT_TRUE(page.ClickOn(command));
  EXPECT_TRUE(page.Press(VK_RIGHT, page.Button(L"Style 1")));
  CloseCleanly();
}

}  // namespace
