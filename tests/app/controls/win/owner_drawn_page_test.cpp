// The gallery's page of owner-drawn buttons makes its buttons, logs their events and goes away.
#include "owner_drawn_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_file.h"
#include "test_host.h"

namespace svctune::testing {
namespace {

TEST(OwnerDrawnPage, HoldsEveryButtonAndLogsItsEvents) {
  HostForm form(900, 400);
  std::vector<std::wstring> log;
  const HWND page = CreateOwnerDrawnPage(Instance(), form.hwnd(), RECT{0, 0, 900, 400},
                                         [&](const std::wstring& line) { log.push_back(line); });
  ASSERT_NE(nullptr, page);
  int buttons = 0;
  HWND first = nullptr;
  for (HWND child = GetWindow(page, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    if (GetClassNameW(child, name, 32) > 0 && lstrcmpW(name, L"qxButtons_H") == 0) {
      ++buttons;
      first = first == nullptr ? child : first;
    }
  }
  EXPECT_EQ(9 + 8 + 3 + 3 + 4 + 1 + 2, buttons);

  // A picture of the page (owner_drawn_page.png in the test's working folder) for people to
  // judge the look.
  RedrawWindow(form.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(100);
  const PixelImage shot = ReadWindow(form.hwnd());
  EXPECT_TRUE(WritePng("owner_drawn_page.png", shot.width(), shot.height(), shot.pixels()));

  ASSERT_NE(nullptr, first);
  SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(first, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(L"qxButton1.MouseDown(1, 0, 5, 5)", log.front());
  DestroyWindow(page);
  EXPECT_FALSE(IsWindow(first));
}

}  // namespace
}  // namespace svctune::testing
