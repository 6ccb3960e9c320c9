// The progress bar and the scroll bars in a window: their looks on screen, and the scroll
// bars driven by mouse, keys and focus with their Change events reaching the host.
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

constexpr COLORREF kFace = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kPressed = RGB(0x80, 0x80, 0xFF);  // 0xFF8080
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

class ScaleWindowTest : public ::testing::Test {
 protected:
  ScaleWindowTest() : host(400, 260), container(host.get()) {}
  HostedControl* Place(const wchar_t* progId, const RECT& rect) {
    ControlSettings settings;
    settings.progId = progId;
    settings.name = progId;
    HostedControl* control = container.Create(settings, rect);
    PumpMessages(30);
    return control;
  }

  OleApartment apartment;
  HostWindow host;
  ControlContainer container;
};

TEST_F(ScaleWindowTest, ProgressFillsFromTheLeftInsideAWhiteBorder) {
  HostedControl* progress = Place(L"Lamina.Progress", RECT{10, 10, 110, 27});  // 1500 by 255
  ASSERT_NE(progress, nullptr);
  int raised = 0;
  progress->On(L"Progress", [&](host::EventArgs&) { ++raised; });
  ASSERT_EQ(progress->PutLong(L"ShowTxt", 0), S_OK);
  ASSERT_EQ(progress->PutLong(L"Value", 50), S_OK);
  EXPECT_EQ(raised, 1);
  PumpMessages(30);
  const HWND window = progress->Window();
  EXPECT_EQ(ScreenPixel(window, 20, 8), kPressed);
  EXPECT_EQ(ScreenPixel(window, 47, 8), kPressed);
  EXPECT_EQ(ScreenPixel(window, 48, 8), kWhite);  // the bar's right border
  EXPECT_EQ(ScreenPixel(window, 70, 8), kFace);   // the surface
  ASSERT_EQ(progress->PutLong(L"Value", 100), S_OK);
  PumpMessages(30);
  EXPECT_EQ(ScreenPixel(window, 90, 8), kPressed);
}

// Along: the coordinate the thumb moves on; across: the middle of the bar.
struct Bar {
  const char* name;
  const wchar_t* progId;
  bool vertical;
};

class ScrollWindowTest : public ScaleWindowTest, public ::testing::WithParamInterface<Bar> {
 protected:
  LPARAM Point(int along) const {
    return GetParam().vertical ? MAKELPARAM(8, along) : MAKELPARAM(along, 8);
  }
  // Pixels are read one pixel in from the bar's edge, clear of the centred arrow glyphs.
  COLORREF PixelAt(HWND window, int along) const {
    return GetParam().vertical ? ScreenPixel(window, 1, along) : ScreenPixel(window, along, 1);
  }
};

TEST_P(ScrollWindowTest, ArrowsThumbAndTrackLookAndAnswerMouseKeysAndFocus) {
  // 255 by 2295 twips: arrows 17 pixels long at both ends, the thumb's travel from 16 to 119.
  const RECT rect = GetParam().vertical ? RECT{10, 10, 27, 163} : RECT{10, 10, 163, 27};
  HostedControl* bar = Place(GetParam().progId, rect);
  ASSERT_NE(bar, nullptr);
  const HWND window = bar->Window();
  int changes = 0;
  bar->On(L"Change", [&](host::EventArgs&) { ++changes; });
  const COLORREF track = PixelAt(window, 100);

  EXPECT_EQ(PixelAt(window, 15), RGB(0, 0, 0));  // the decrement arrow's border
  EXPECT_EQ(PixelAt(window, 1), kFace);
  EXPECT_EQ(PixelAt(window, 24), kFace);   // the thumb at Min
  EXPECT_EQ(PixelAt(window, 149), kFace);  // the increment arrow
  EXPECT_NE(track, kFace);

  // A click on the track below the thumb pages; the thumb follows.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(100));
  SendMessageW(window, WM_LBUTTONUP, 0, Point(100));
  EXPECT_EQ(bar->GetLong(L"MoveValue"), 10);
  EXPECT_EQ(changes, 1);
  PumpMessages(30);
  EXPECT_EQ(PixelAt(window, 24), track);
  EXPECT_EQ(PixelAt(window, 34), kFace);  // 10 x 15.45 + 240 twips = 26 pixels

  // The thumb dragged past the increment arrow ends at Max, with one Change at the release.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(34));
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, Point(150));
  EXPECT_EQ(changes, 1);
  SendMessageW(window, WM_LBUTTONUP, 0, Point(150));
  EXPECT_EQ(bar->GetLong(L"MoveValue"), 100);
  EXPECT_EQ(changes, 2);

  // The decrement arrow steps once and shows the pressed colours while held.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(5));
  PumpMessages(30);
  EXPECT_EQ(PixelAt(window, 1), kPressed);
  SendMessageW(window, WM_LBUTTONUP, 0, Point(5));
  PumpMessages(30);
  EXPECT_EQ(PixelAt(window, 1), kFace);
  EXPECT_EQ(bar->GetLong(L"MoveValue"), 99);

  // Focus colours the thumb; Page Up steps by MaxChange.
  SetFocus(window);
  PumpMessages(30);
  EXPECT_EQ(PixelAt(window, 120), kPressed);
  SendMessageW(window, WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(bar->GetLong(L"MoveValue"), 89);
  EXPECT_EQ(changes, 4);
  SetFocus(host.get());
  PumpMessages(30);
  EXPECT_EQ(PixelAt(window, 115), kFace);
}

INSTANTIATE_TEST_SUITE_P(Bars, ScrollWindowTest,
                         ::testing::Values(Bar{"Vscroll", L"Lamina.Vscroll", true},
                                           Bar{"Hscroll", L"Lamina.Hscroll", false}),
                         [](const ::testing::TestParamInfo<Bar>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace svctune::lamina
