// The combo box and the move bar in a window: their child windows, looks, events and the
// windows they act on.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_test_support.h"
#include "win/control_container.h"

namespace svctune::lamina {
namespace {

using host::ControlContainer;
using host::ControlSettings;
using host::EventArgs;
using host::HostedControl;
using testing::HostWindow;
using testing::OleApartment;
using testing::PumpMessages;
using testing::ScreenPixel;

int Height(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

HWND Child(HWND control, const wchar_t* windowClass) {
  return FindWindowExW(control, nullptr, windowClass, nullptr);
}

void Click(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class ComBoxWindowTest : public ::testing::Test {
 protected:
  ComBoxWindowTest() : host(320, 240), container(host.get()) {
    ControlSettings settings;
    settings.progId = L"Lamina.ComBox";
    settings.name = L"Combo1";
    combo = container.Create(settings, RECT{10, 10, 143, 29});
    if (combo != nullptr) {
      for (const wchar_t* item : {L"一", L"二", L"三"}) {
        VARIANT text;
        text.vt = VT_BSTR;
        text.bstrVal = SysAllocString(item);
        combo->Call(L"AddItem", {text});
        VariantClear(&text);
      }
      combo->On(L"Change", [this](EventArgs&) { events.push_back(L"Change"); });
      combo->On(L"Click", [this](EventArgs&) { events.push_back(L"Click"); });
      combo->On(L"KeyDown", [this](EventArgs& args) {
        events.push_back(L"KeyDown" + std::to_wstring(args.Short(0)));
        args.SetShort(0, 0);
      });
    }
  }

  OleApartment apartment;
  HostWindow host;
  ControlContainer container;
  HostedControl* combo = nullptr;
  std::vector<std::wstring> events;
};

TEST_F(ComBoxWindowTest, DropButtonGrowsTheControlAndChoosingAnItemShrinksIt) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND list = Child(window, L"ListBox");
  ASSERT_NE(Child(window, L"Edit"), nullptr);
  ASSERT_NE(list, nullptr);
  PumpMessages(50);
  const int closed = Height(window);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(ScreenPixel(window, 125, 9), RGB(0xE0, 0xE0, 0xE0));
  // The text box takes BackColor through the control's colour answer.
  ASSERT_EQ(combo->PutLong(L"BackColor", 0x00FFFF), S_OK);
  PumpMessages(20);
  EXPECT_EQ(ScreenPixel(Child(window, L"Edit"), 100, 8), RGB(0xFF, 0xFF, 0));

  Click(window, 125, 9);
  PumpMessages(50);
  // The list hangs below the text box and the control grows to hold it.
  EXPECT_GT(Height(window), closed + 20);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT control{};
  RECT listRect{};
  GetWindowRect(window, &control);
  GetWindowRect(list, &listRect);
  EXPECT_NEAR(listRect.bottom, control.bottom, 1);  // the list starts 10 twips up
  EXPECT_EQ(ScreenPixel(window, 125, 9), RGB(0xE0, 0xE0, 0xE0));

  RECT item{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  Click(list, item.left + 5, item.top + 2);
  PumpMessages(50);
  EXPECT_EQ(combo->GetText(L"Text").value_or(L""), L"二");
  EXPECT_EQ(combo->GetLong(L"ListIndex").value_or(-2), 1);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"Change", L"Click"}));
  EXPECT_EQ(Height(window), closed);
  EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(ComBoxWindowTest, TextBoxKeysReachTheSinkAndLeavingTheControlClosesTheList) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND edit = Child(window, L"Edit");
  SendMessageW(edit, WM_KEYDOWN, 'A', 0);
  SendMessageW(edit, WM_CHAR, 'a', 0);
  PumpMessages(20);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"KeyDown65", L"Change"}));
  EXPECT_EQ(combo->GetText(L"Text").value_or(L""), L"aList");

  const int closed = Height(window);
  Click(window, 125, 9);
  SetFocus(edit);
  ASSERT_GT(Height(window), closed);
  SetFocus(host.get());
  PumpMessages(20);
  EXPECT_EQ(Height(window), closed);
}

// The pixel height of the font a child window draws with.
LONG FontHeight(HWND child) {
  LOGFONTW description{};
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
  return font != nullptr && GetObjectW(font, sizeof description, &description) != 0
             ? description.lfHeight
             : 0;
}

TEST_F(ComBoxWindowTest, AFontChangedThroughTheHandedOutObjectReachesTheChildWindows) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  com::Variant value;
  ASSERT_EQ(combo->Get(L"Font", value), S_OK);
  ASSERT_EQ(value->vt, VT_DISPATCH);
  com::ComPtr<IFont> font = com::ComPtr<IDispatch>(value->pdispVal).As<IFont>(IID_IFont);
  ASSERT_TRUE(font);
  CY twelve{};
  twelve.int64 = 120000;
  ASSERT_EQ(font->put_Size(twelve), S_OK);
  PumpMessages(20);
  EXPECT_EQ(FontHeight(Child(window, L"Edit")), -16);
  EXPECT_EQ(FontHeight(Child(window, L"ListBox")), -16);
  EXPECT_EQ(Height(window), (12 * 15 + 135 + 15) / 15);
  EXPECT_TRUE(combo->Modified());
}

// Records WM_CLOSE instead of closing.
LRESULT CALLBACK CountCloses(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    SetPropW(window, L"closes",
             reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(GetPropW(window, L"closes")) + 1));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR Closes(HWND window) {
  return reinterpret_cast<INT_PTR>(GetPropW(window, L"closes"));
}

TEST(MoveBarWindowTest, LooksTitleAndCloseActOnTheHoldingWindowOnly) {
  OleApartment apartment;
  HostWindow holder(320, 120);
  HostWindow other(100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(other.get(), HWND_BOTTOM, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  for (HWND window : {holder.get(), other.get()}) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountCloses));
  }
  ControlContainer container(holder.get());
  ControlSettings settings;
  settings.progId = L"Lamina.MoveBar";
  settings.name = L"MoveBar1";
  HostedControl* bar = container.Create(settings, RECT{0, 0, 200, 40});
  ASSERT_NE(bar, nullptr);
  const HWND window = bar->Window();
  PumpMessages(50);
  EXPECT_EQ(Height(window), 18);
  wchar_t title[64] = {};
  GetWindowTextW(holder.get(), title, 64);
  EXPECT_STREQ(title, L"MoveBar1");

  EXPECT_EQ(ScreenPixel(window, 100, 2), RGB(0xFF, 0xC0, 0x80));  // BackColor 0x80C0FF
  EXPECT_EQ(ScreenPixel(window, 1, 1), RGB(0, 0, 0xFF));          // the window picture's edge
  EXPECT_EQ(ScreenPixel(window, 154, 3), RGB(0xE0, 0xE0, 0xE0));  // the minimise button

  ASSERT_EQ(bar->PutLong(L"BackColor", 0x00FF00), S_OK);
  PumpMessages(20);
  EXPECT_EQ(ScreenPixel(window, 100, 2), RGB(0, 0xFF, 0));

  // Another window of the program is active when the close button is clicked.
  SetActiveWindow(other.get());
  Click(window, 200 - 8, 6);
  EXPECT_EQ(Closes(holder.get()), 1);
  EXPECT_EQ(Closes(other.get()), 0);
  for (HWND host : {holder.get(), other.get()}) {
    RemovePropW(host, L"closes");
  }
}

}  // namespace
}  // namespace svctune::lamina
