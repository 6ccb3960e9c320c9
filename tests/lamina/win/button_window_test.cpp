#include <windows.h>

#include <gtest/gtest.h>

#include "com_test_support.h"
#include "win/control_container.h"

namespace svctune::lamina {
namespace {

using host::ControlContainer;
using host::ControlSettings;
using host::HostedControl;
using testing::HostWindow;
using testing::OleApartment;
using testing::PumpMessages;
using testing::ScreenPixel;

TEST(ButtonWindowTest, HoverColoursFollowThePointerAndComeBackWhenItLeaves) {
  OleApartment apartment;
  HostWindow host(320, 240);
  ControlContainer container(host.get());
  ControlSettings settings;
  settings.progId = L"Lamina.Button";
  settings.name = L"Command1";
  HostedControl* button = container.Create(settings, RECT{10, 10, 93, 44});
  ASSERT_NE(button, nullptr);
  const HWND window = button->Window();
  const COLORREF normal = RGB(0xE0, 0xE0, 0xE0);
  const COLORREF hover = RGB(0x80, 0x80, 0xFF);  // FocusBack 0xFF8080
  PumpMessages(50);
  ASSERT_EQ(ScreenPixel(window, 2, 2), normal);

  RECT rect{};
  GetWindowRect(window, &rect);
  // The right and bottom edge coordinates still count as inside.
  SetCursorPos(rect.right, rect.bottom);
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(window, 2, 2), hover);

  ASSERT_EQ(button->PutLong(L"UnFocusBack", 0x00FF00), S_OK);
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(window, 2, 2), hover);

  SetCursorPos(rect.right + 5, rect.bottom + 5);
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(window, 2, 2), RGB(0, 0xFF, 0));
}

}  // namespace
}  // namespace svctune::lamina
