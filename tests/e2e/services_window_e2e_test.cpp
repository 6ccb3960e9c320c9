// The window "全部服务" of the real svctune.exe: opened from its link, found and driven as a
// user's tools would, with the registry read back.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace svctune {
namespace {

using namespace automation;
using namespace e2e;
using std::chrono::seconds;

constexpr int kDisableButton = kServicesChoiceBase + 3;

TEST_F(SvctuneEndToEnd, AllServicesWindowListsFiltersSortsAndChanges) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  Click(FindDescendant(main, kServicesLink));
  HWND window = WaitForTopLevelWindow(program_->id(), kServicesClass, nullptr, seconds(20));
  ASSERT_NE(nullptr, window);
  Click(FindDescendant(main, kServicesLink));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, seconds(5)));
  EXPECT_EQ(1u, TopLevelWindows(program_->id(), kServicesClass).size()) << "one at a time";
  EXPECT_TRUE(IsEnabled(main)) << "the main window stays usable";

  const std::vector<HWND> lists = Children(window, WC_LISTVIEWW);
  ASSERT_EQ(1u, lists.size());
  HWND list = lists[0];
  EXPECT_EQ(LVS_OWNERDATA | LVS_REPORT,
            GetWindowLongW(list, GWL_STYLE) & (LVS_OWNERDATA | LVS_TYPEMASK));
  const auto rows = [&] { return static_cast<std::size_t>(ListView_GetItemCount(list)); };
  // The keys after the first screen are read while the window idles.
  HWND status = FindDescendant(window, kServicesStatus);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(status).empty(); }, seconds(20)))
      << Utf8(TextOf(status));
  const std::size_t all = rows();
  EXPECT_GE(all, xpStarts_.size()) << "every XP service of the set, and Wine's own";

  // Sorting by 服务名 again turns the order round.
  const std::wstring last = CellText(list, static_cast<int>(all) - 1);
  ASSERT_NE(CellText(list, 0), last);
  ClickAt(ListView_GetHeader(list), 20, 8);
  EXPECT_TRUE(WaitUntil([&] { return CellText(list, 0) == last; }, seconds(5)))
      << Utf8(CellText(list, 0));

  HWND filter = FindDescendant(window, kServicesFilter);
  HWND disable = FindDescendant(window, kDisableButton);
  const auto show = [&](const wchar_t* text) {
    SendMessageW(filter, EM_SETSEL, 0, -1);
    TypeText(filter, text);
    return WaitUntil([&] { return rows() == 1; }, seconds(5));
  };
  ASSERT_TRUE(show(L"Application Layer Gateway"));
  EXPECT_EQ(L"ALG", CellText(list, 0));
  EXPECT_FALSE(IsEnabled(disable)) << "nothing selected";
  PressKey(list, VK_HOME);
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(disable); }, seconds(5)));
  ClickButton(disable);
  EXPECT_TRUE(WaitUntil([&] { return StartOf(L"ALG") == 4; }, seconds(5)));
  const std::wstring delayed = std::wstring(kProgramKey) + L"\\OriginalDelayedAutostart";
  EXPECT_EQ(0u, ReadDword(HKEY_LOCAL_MACHINE, delayed, L"ALG"));

  // Wine's RpcSs is on the guard list: its 禁用 is refused, even as a posted command.
  const std::optional<DWORD> rpcss =
      ReadDword(HKEY_LOCAL_MACHINE, kServices + std::wstring(L"RpcSs"), L"Start");
  ASSERT_TRUE(show(L"RpcSs"));
  PressKey(list, VK_HOME);
  HWND refusal = FindDescendant(window, kServicesRefusal);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(refusal).find(L"不能禁用") != std::wstring::npos; },
                        seconds(5)))
      << Utf8(TextOf(refusal));
  EXPECT_FALSE(IsEnabled(disable));
  // The close comes after the command: once the window is gone, the command has been handled.
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(kDisableButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(disable));
  SystemClose(window);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, seconds(10)));
  EXPECT_EQ(rpcss, ReadDword(HKEY_LOCAL_MACHINE, kServices + std::wstring(L"RpcSs"), L"Start"));
  EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, kProgramKey, L"ServicesWindowWidth").has_value());
  CloseAndWait(main);
}

}  // namespace
}  // namespace svctune
