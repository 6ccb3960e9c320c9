#include <windows.h>

#include <gtest/gtest.h>

#include "com/com_ptr.h"
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

MSG KeyMessage(HWND window, UINT message, WPARAM key) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = key;
  return msg;
}

TEST(ButtonWindowTest, TakesEnterAndLeavesTabAndEscapeToTheContainer) {
  OleApartment apartment;
  HostWindow host(320, 240);
  ControlContainer container(host.get());
  ControlSettings first;
  first.progId = L"Lamina.Button";
  first.name = L"Command1";
  ControlSettings second = first;
  second.name = L"Command2";
  HostedControl* one = container.Create(first, RECT{10, 10, 93, 44});
  HostedControl* two = container.Create(second, RECT{10, 60, 93, 94});
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  int clicks = 0;
  one->On(L"Click", [&](host::EventArgs&) { ++clicks; });
  EXPECT_NE(GetWindowLongPtrW(one->Window(), GWL_STYLE) & WS_TABSTOP, 0);

  // After a click the button has the focus and still lets Tab and Esc go.
  SendMessageW(one->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(one->Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(clicks, 1);
  SetFocus(one->Window());
  for (WPARAM key : {static_cast<WPARAM>(VK_TAB), static_cast<WPARAM>(VK_ESCAPE)}) {
    MSG asked = KeyMessage(one->Window(), WM_KEYDOWN, key);
    const LRESULT code =
        SendMessageW(one->Window(), WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB), 0) << key;
  }
  com::ComPtr<IOleInPlaceActiveObject> active =
      com::ComPtr<IUnknown>(one->Object()).As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
  ASSERT_TRUE(active);
  MSG escape = KeyMessage(one->Window(), WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(active->TranslateAccelerator(&escape), S_FALSE);
  MSG tab = KeyMessage(one->Window(), WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(active->TranslateAccelerator(&tab), S_FALSE);
  EXPECT_TRUE(IsDialogMessageW(host.get(), &tab));
  EXPECT_EQ(GetFocus(), two->Window());

  // Enter is the button's: offered to it first, it presses and releases the button.
  SetFocus(one->Window());
  MSG enterDown = KeyMessage(one->Window(), WM_KEYDOWN, VK_RETURN);
  MSG enterUp = KeyMessage(one->Window(), WM_KEYUP, VK_RETURN);
  EXPECT_EQ(active->TranslateAccelerator(&enterDown), S_OK);
  EXPECT_EQ(active->TranslateAccelerator(&enterUp), S_OK);
  PumpMessages(20);
  EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace svctune::lamina
