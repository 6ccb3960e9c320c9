// svctune's control container with the real Lamina.Button and Vellum.CorvidForm: creation by
// ProgID from stored settings, calls by name, events with by-reference arguments, the looks
// on screen and clean teardown.
#include "win/control_container.h"

#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com_test_support.h"
#include "win/gui_resources.h"
#include "win/window_object.h"

namespace svctune::host {
namespace {

using testing::HostWindow;
using testing::OleApartment;
using testing::PumpMessages;
using testing::ScreenPixel;

LPARAM Point(int x, int y) {
  return MAKELPARAM(x, y);
}

// The gate's stored button: the keys a host window keeps, in lower case.
ControlSettings GateButton(const std::wstring& name) {
  ControlSettings settings;
  settings.progId = L"Lamina.Button";
  settings.name = name;
  settings.bag.Put(L"_extentx", std::int32_t{2196});
  settings.bag.Put(L"_extenty", std::int32_t{661});
  settings.bag.Put(L"font", FontSpec{});
  settings.bag.Put(L"caption", std::wstring(L"确定"));
  return settings;
}

ControlSettings Skin() {
  ControlSettings settings;
  settings.progId = L"Vellum.CorvidForm";
  settings.name = L"CorvidForm1";
  settings.bag.Put(L"caption", std::wstring(L"设置登陆密码验证"));
  return settings;
}

class ControlContainerTest : public ::testing::Test {
 protected:
  ControlContainerTest() : host(320, 240), container(host.get()) {}
  OleApartment apartment;
  HostWindow host;
  ControlContainer container;
};

TEST_F(ControlContainerTest, MissingLibraryGivesAMessageNamingTheProgId) {
  ControlSettings settings;
  settings.progId = L"Lamina.NoSuchControl";
  settings.name = L"Command9";
  std::wstring error;
  HRESULT result = S_OK;
  EXPECT_EQ(container.Create(settings, RECT{0, 0, 50, 20}, &error, &result), nullptr);
  EXPECT_TRUE(FAILED(result));
  EXPECT_EQ(error, MissingControlMessage(L"Lamina.NoSuchControl"));
  EXPECT_TRUE(container.Controls().empty());
}

TEST_F(ControlContainerTest, ButtonLoadsLowerCaseKeysAndWritesOnlyWhatDiffers) {
  std::wstring error;
  HostedControl* button = container.Create(GateButton(L"Command1"), RECT{10, 10, 93, 44}, &error);
  ASSERT_NE(button, nullptr) << std::string(error.begin(), error.end());
  EXPECT_EQ(button->GetText(L"Caption"), std::wstring(L"确定"));
  ASSERT_NE(button->Window(), nullptr);
  EXPECT_TRUE(IsWindowVisible(button->Window()));
  EXPECT_EQ(GetParent(button->Window()), host.get());
  EXPECT_FALSE(button->Modified());

  const std::optional<PropertyBag> saved = button->Save();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->Read<std::wstring>(L"caption", L""), L"确定");
  EXPECT_FALSE(saved->Contains(L"font"));
  EXPECT_FALSE(saved->Contains(L"FocusFore"));
  EXPECT_TRUE(saved->Contains(L"_extentx"));

  ControlSettings fresh;
  fresh.progId = L"Lamina.Button";
  fresh.name = L"Command2";
  HostedControl* other = container.Create(fresh, RECT{10, 50, 93, 84});
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->GetText(L"Caption"), std::wstring(L"Command2"));
  const std::optional<PropertyBag> unchanged = other->Save();
  ASSERT_TRUE(unchanged.has_value());
  EXPECT_EQ(unchanged->size(), 2u);  // the extent only
}

TEST_F(ControlContainerTest, MembersByNameAndPropertyChangeNotices) {
  HostedControl* button = container.Create(GateButton(L"Command1"), RECT{10, 10, 93, 44});
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->PutText(L"caption", L"OK"), S_OK);
  EXPECT_EQ(button->GetText(L"CAPTION"), std::wstring(L"OK"));
  EXPECT_TRUE(button->Modified());
  EXPECT_EQ(button->PutLong(L"FocusFore", 0x123456), S_OK);
  EXPECT_EQ(button->GetLong(L"FocusFore"), 0x123456L);
  com::Variant ignored;
  EXPECT_EQ(button->Get(L"NoSuchMember", ignored), DISP_E_UNKNOWNNAME);

  com::Variant font;
  ASSERT_EQ(button->Get(L"Font", font), S_OK);
  ASSERT_EQ(font->vt, VT_DISPATCH);
  com::ComPtr<IFont> bigger;
  ASSERT_EQ(font->pdispVal->QueryInterface(IID_IFont, bigger.ReceiveVoid()), S_OK);
  CY size{};
  size.int64 = 180000;
  bigger->put_Size(size);
  EXPECT_EQ(button->PutRef(L"Font", font->pdispVal), S_OK);
  const std::optional<PropertyBag> saved = button->Save();
  ASSERT_TRUE(saved.has_value());
  ASSERT_TRUE(saved->Contains(L"font"));
  EXPECT_GT(saved->Read<FontSpec>(L"font", FontSpec{}).points, 17.0);
}

struct Recorded {
  std::vector<std::string> names;
  std::vector<short> buttons;
  std::vector<float> xs;
};

void Record(HostedControl* control, Recorded& recorded) {
  for (const wchar_t* name :
       {L"Click", L"MouseDown", L"MouseUp", L"KeyDown", L"KeyUp", L"KeyPress"}) {
    const std::string narrow(name, name + wcslen(name));
    ASSERT_TRUE(control->On(name, [&recorded, narrow](EventArgs& args) {
      recorded.names.push_back(narrow);
      if (narrow == "MouseDown" || narrow == "MouseUp") {
        recorded.buttons.push_back(args.Short(0));
        recorded.xs.push_back(args.Float(2));
      }
      if (narrow == "KeyPress") {
        args.SetShort(0, 0);
      }
    }));
  }
}

TEST_F(ControlContainerTest, ButtonEventsArriveWithTheirArgumentsByReference) {
  HostedControl* button = container.Create(GateButton(L"Command1"), RECT{10, 10, 93, 44});
  ASSERT_NE(button, nullptr);
  Recorded recorded;
  Record(button, recorded);
  EXPECT_FALSE(button->On(L"NoSuchEvent", [](EventArgs&) {}));
  const HWND window = button->Window();

  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(20, 10));
  SendMessageW(window, WM_RBUTTONUP, 0, Point(20, 10));
  EXPECT_TRUE(recorded.names.empty());

  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(2, 3));
  SendMessageW(window, WM_LBUTTONUP, 0, Point(2, 3));
  EXPECT_EQ(recorded.names, (std::vector<std::string>{"MouseDown", "Click", "MouseUp"}));
  EXPECT_EQ(recorded.buttons, (std::vector<short>{1, 1}));
  EXPECT_FLOAT_EQ(recorded.xs[0], 30.0f);  // relative to the face label at (0, 0)

  recorded.names.clear();
  SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(window, WM_CHAR, 13, 0);
  SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0x40000000);
  SendMessageW(window, WM_KEYUP, VK_RETURN, 0xC0000000);
  EXPECT_EQ(recorded.names,
            (std::vector<std::string>{"KeyDown", "KeyPress", "KeyDown", "Click", "KeyUp"}));
}

TEST_F(ControlContainerTest, PressedButtonFaceMovesThreeRightAndTwoDown) {
  HostedControl* button = container.Create(GateButton(L"Command1"), RECT{10, 10, 93, 44});
  ASSERT_NE(button, nullptr);
  ASSERT_EQ(button->PutLong(L"UnFocusBack", 0x00FF00), S_OK);
  const HWND window = button->Window();
  PumpMessages(100);
  const COLORREF surface = RGB(0xE0, 0xE0, 0xE0);
  const COLORREF face = RGB(0, 0xFF, 0);
  EXPECT_EQ(ScreenPixel(window, 1, 1), face);
  EXPECT_EQ(ScreenPixel(window, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel(window, 81, 10), surface);  // the uncovered strip on the right

  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(window, 1, 1), surface);
  EXPECT_EQ(ScreenPixel(window, 3, 2), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel(window, 4, 3), face);

  SendMessageW(window, WM_LBUTTONUP, 0, Point(5, 5));
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(window, 1, 1), face);
}

TEST_F(ControlContainerTest, SkinPaintsItsFrameAndShapesTheHostWindow) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->GetText(L"Caption"), std::wstring(L"设置登陆密码验证"));
  ASSERT_EQ(form->PutLong(L"hwnd", static_cast<long>(reinterpret_cast<LONG_PTR>(host.get()))),
            S_OK);
  com::ComPtr<IDispatch> hostObject =
      com::ComPtr<IDispatch>::Adopt(WindowObject::Create(host.get()));
  VARIANT objectArgument;
  VariantInit(&objectArgument);
  objectArgument.vt = VT_DISPATCH;
  objectArgument.pdispVal = hostObject.get();
  VARIANT rgnArgument;
  VariantInit(&rgnArgument);
  rgnArgument.vt = VT_I4;
  rgnArgument.lVal = 5;
  EXPECT_EQ(form->Call(L"SetRgn", {objectArgument, rgnArgument}), S_OK);
  PumpMessages(200);

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(host.get(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 160, 0));
  EXPECT_TRUE(PtInRegion(region, 160, 120));
  EXPECT_NE(GetWindowRgn(form->Window(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 319, 239));
  EXPECT_TRUE(PtInRegion(region, 300, 200));
  DeleteObject(region);

  const HWND window = form->Window();
  EXPECT_EQ(ScreenPixel(window, 20, 60), RGB(0xEB, 0xF6, 0xFF));  // the body box
  int captionPixels = 0;
  for (int y = 6; y < 22; ++y) {
    for (int x = 27; x < 140; ++x) {
      captionPixels += ScreenPixel(window, x, y) == RGB(0x02, 0x42, 0xA6) ? 1 : 0;
    }
  }
  EXPECT_GT(captionPixels, 20);

  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_DISPATCH;
  missing.pdispVal = form->Dispatch();
  EXPECT_TRUE(FAILED(form->Call(L"SetRgn", {missing, rgnArgument})));
}

int CaptionPixels(HWND window, int fromX, int toX) {
  int count = 0;
  for (int y = 6; y < 22; ++y) {
    for (int x = fromX; x < toX; ++x) {
      count += ScreenPixel(window, x, y) == RGB(0x02, 0x42, 0xA6) ? 1 : 0;
    }
  }
  return count;
}

TEST_F(ControlContainerTest, CaptionStartsAfterTheIconOrAtTheLeftWithoutOne) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  PumpMessages(100);
  EXPECT_EQ(CaptionPixels(form->Window(), 6, 26), 0);  // 401 twips: after the icon
  EXPECT_GT(CaptionPixels(form->Window(), 27, 60), 0);
  ASSERT_EQ(form->PutRef(L"Icon", nullptr), S_OK);
  PumpMessages(100);
  EXPECT_GT(CaptionPixels(form->Window(), 6, 26), 0);  // 101 twips
  com::Variant icon;
  ASSERT_EQ(form->Get(L"Icon", icon), S_OK);
  EXPECT_TRUE(icon->vt == VT_EMPTY || (icon->vt == VT_DISPATCH && icon->pdispVal == nullptr));
}

TEST_F(ControlContainerTest, SkinCloseButtonRaisesUnloadClickAndTheHandlerMayCloseIt) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  int unloads = 0;
  int clicks = 0;
  ASSERT_TRUE(form->On(L"UnloadClick", [&](EventArgs&) {
    ++unloads;
    container.Destroy(form);
  }));
  ASSERT_TRUE(form->On(L"Click", [&](EventArgs&) { ++clicks; }));
  const HWND window = form->Window();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(160, 150));
  SendMessageW(window, WM_LBUTTONUP, 0, Point(160, 150));
  EXPECT_EQ(clicks, 1);
  // The close button: 490 twips from the right edge, 100 from the top, 8 x 9 pixels.
  const int closeX = 320 - 33 + 3;
  SendMessageW(window, WM_MOUSEMOVE, 0, Point(closeX, 10));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(closeX, 10));
  SendMessageW(window, WM_LBUTTONUP, 0, Point(closeX, 10));
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(container.Controls().empty());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(ControlContainerTest, CreatingAndDestroyingLeaksNoGdiOrUserObjects) {
  const auto cycle = [&] {
    HostedControl* button = container.Create(GateButton(L"Command1"), RECT{10, 10, 93, 44});
    HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
    ASSERT_NE(button, nullptr);
    ASSERT_NE(form, nullptr);
    form->PutText(L"Caption", L"设置登陆密码验证");
    SendMessageW(button->Window(), WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
    SendMessageW(button->Window(), WM_LBUTTONUP, 0, Point(5, 5));
    PumpMessages(5);
    container.DestroyAll();
    PumpMessages(5);
    // The libraries may unload now; the next round loads them again.
    CoFreeUnusedLibrariesEx(0, 0);
  };
  cycle();
  EXPECT_EQ(GetModuleHandleW(L"Lamina.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"Vellum.dll"), nullptr);
  const testing::GuiObjectCounts baseline = testing::CurrentGuiObjectCounts();
  EXPECT_GT(baseline.gdi, 0);
  EXPECT_GT(baseline.user, 0);
  for (int i = 0; i < 100; ++i) {
    cycle();
  }
  const testing::GuiObjectCounts after = testing::CurrentGuiObjectCounts();
  EXPECT_EQ(after.gdi, baseline.gdi);
  EXPECT_EQ(after.user, baseline.user);
}

}  // namespace
}  // namespace svctune::host
