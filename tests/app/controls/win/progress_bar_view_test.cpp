// The gradient progress bar on screen: the pixels a refresh draws, the window showing them,
// and the bar as a container panel of standard controls.
#include "controls/win/progress_bar_view.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls/win/progress_bar_painter.h"
#include "test_host.h"

namespace svctune::testing {
namespace {

using win::PaintProgressBar;
using win::ProgressBarView;

constexpr OleColour kBack = 0x00C0C0C0;  // light grey
constexpr std::uint32_t kMarker = 0x123456;

class ProgressBarPixels : public ::testing::Test {
 protected:
  ProgressBarPixels() : bar_(win::OleColourTranslator()) {
    bar_.SetBackColor(kBack);
    bar_.SetBorderStyle(0);
  }

  PixelImage Draw(int width, int height) {
    return Render(width, height, kMarker,
                  [&](HDC dc) { ASSERT_TRUE(PaintProgressBar(dc, bar_.Drawing(width, height))); });
  }
  // The colour of line i, as a pixel.
  std::uint32_t Line(int i) const { return PixelOf(bar_.LineColour(i)); }

  ProgressBar bar_;
};

TEST_F(ProgressBarPixels, EmptyBarShowsOnlyTheBackColour) {
  const PixelImage image = Draw(120, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 120; ++x) {
      ASSERT_EQ(PixelOf(kBack), image.At(x, y)) << x << "," << y;
    }
  }
}

// With 255 pixels across, one logical unit is one pixel: the 3-pixel line i covers columns
// i - 2 to i, so column x ends with the colour of line x + 2.
TEST_F(ProgressBarPixels, RightwardsGradientRunsFromWhiteToBlue) {
  bar_.SetValue(100);
  const PixelImage image = Draw(255, 12);
  EXPECT_LE(ChannelDistance(0xFFFFFF, image.At(0, 6)), 2);
  EXPECT_EQ(0x0000FFu, image.At(254, 6));
  for (int x = 0; x < 253; x += 11) {
    EXPECT_LE(ChannelDistance(Line(x + 2), image.At(x, 6)), 1) << x;
  }
  // Lines cross the whole height.
  EXPECT_EQ(image.At(100, 0), image.At(100, 11));
}

TEST_F(ProgressBarPixels, HalfFullBarEndsAfterLine127) {
  bar_.SetValue(50);
  const PixelImage image = Draw(255, 12);
  EXPECT_LE(ChannelDistance(Line(127), image.At(126, 6)), 1);
  EXPECT_LE(ChannelDistance(Line(127), image.At(127, 6)), 1);
  for (int x = 128; x < 255; ++x) {
    ASSERT_EQ(PixelOf(kBack), image.At(x, 6)) << x;
  }
}

TEST_F(ProgressBarPixels, FillScalesToTheBarsWidth) {
  bar_.SetValue(50);
  const PixelImage image = Draw(200, 12);
  // Line 127 stands at logical 126, that is pixel 98.8 of 200.
  EXPECT_NE(PixelOf(kBack), image.At(97, 6));
  EXPECT_EQ(PixelOf(kBack), image.At(102, 6));
}

TEST_F(ProgressBarPixels, EachOrientationGrowsFromItsOwnSide) {
  bar_.SetValue(100);
  struct Case {
    int orientation;
    int width;
    int height;
    POINT start;  // where the fill starts: FromColor
    POINT end;    // where a full fill ends: ToColor
  };
  const Case cases[] = {
      {0, 12, 255, {6, 254}, {6, 0}},
      {1, 255, 12, {0, 6}, {254, 6}},
      {2, 255, 12, {254, 6}, {0, 6}},
      {3, 12, 255, {6, 0}, {6, 254}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.orientation);
    bar_.SetOrientation(c.orientation);
    const PixelImage image = Draw(c.width, c.height);
    EXPECT_LE(ChannelDistance(0xFFFFFF, image.At(c.start.x, c.start.y)), 3);
    EXPECT_EQ(0x0000FFu, image.At(c.end.x, c.end.y));
  }
}

TEST_F(ProgressBarPixels, HalfFullBarInEachOrientation) {
  bar_.SetValue(50);
  struct Case {
    int orientation;
    int width;
    int height;
    POINT filled;
    POINT empty;
  };
  const Case cases[] = {
      {0, 12, 255, {6, 131}, {6, 126}},
      {1, 255, 12, {124, 6}, {129, 6}},
      {2, 255, 12, {131, 6}, {126, 6}},
      {3, 12, 255, {6, 124}, {6, 129}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.orientation);
    bar_.SetOrientation(c.orientation);
    const PixelImage image = Draw(c.width, c.height);
    EXPECT_NE(PixelOf(kBack), image.At(c.filled.x, c.filled.y));
    EXPECT_EQ(PixelOf(kBack), image.At(c.empty.x, c.empty.y));
  }
}

TEST_F(ProgressBarPixels, LineBorderIsOnePixelOfTheBorderColour) {
  bar_.SetBorderStyle(4);
  bar_.SetBorderColor(0x000000FF);  // red
  const PixelImage image = Draw(60, 20);
  for (POINT p : {POINT{0, 0}, POINT{30, 0}, POINT{59, 10}, POINT{30, 19}, POINT{0, 10}}) {
    EXPECT_EQ(0xFF0000u, image.At(p.x, p.y)) << p.x << "," << p.y;
  }
  EXPECT_EQ(PixelOf(kBack), image.At(1, 1));
  EXPECT_EQ(PixelOf(kBack), image.At(58, 18));
}

TEST_F(ProgressBarPixels, SunkenBorderUsesTheSystemEdgeColours) {
  bar_.SetBorderStyle(5);
  const PixelImage image = Draw(60, 20);
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_BTNSHADOW)), image.At(30, 0));
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_3DDKSHADOW)), image.At(30, 1));
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)), image.At(30, 19));
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_3DLIGHT)), image.At(30, 18));
  EXPECT_EQ(PixelOf(kBack), image.At(30, 10));
}

TEST(ProgressBarColours, SystemColourIsTranslatedByThePlatform) {
  ProgressBar bar(win::OleColourTranslator());
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), bar.BackColor());
  bar.SetFromColor(0x80000005);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), bar.FromColor());
  bar.SetToColor(0x800000FF);  // no such system colour
  EXPECT_EQ(0x800000FFu, bar.ToColor());
}

// A host form with a bar used as a panel, holding standard controls.
class ProgressBarPanel : public ::testing::Test {
 protected:
  static constexpr int kCheckId = 101;
  static constexpr int kLabelId = 102;
  static constexpr int kEditId = 103;

  ProgressBarPanel() : form_(400, 240) {
    PropertyBag bag;
    bag.Put(L"Value", std::int32_t{100});
    bag.Put(L"FromColor", static_cast<std::int32_t>(0x00FFE0C0));
    bag.Put(L"ToColor", static_cast<std::int32_t>(0x00804000));
    panel_ = ProgressBarView::Create(Instance(), form_.hwnd(), 100, RECT{10, 10, 370, 210}, &bag);
    check_ = CreateChild(panel_->hwnd(), L"Button", L"自动", BS_AUTOCHECKBOX | WS_TABSTOP, kCheckId,
                         20, 20, 120, 20);
    label_ = CreateChild(panel_->hwnd(), L"Static", L"标签", SS_LEFT, kLabelId, 20, 60, 200, 20);
    edit_ = CreateChild(panel_->hwnd(), L"Edit", L"", WS_BORDER, kEditId, 20, 100, 120, 22);
    UpdateWindow(form_.hwnd());
    PumpMessages();
  }

  HostForm form_;
  std::unique_ptr<ProgressBarView> panel_;
  HWND check_ = nullptr;
  HWND label_ = nullptr;
  HWND edit_ = nullptr;
};

TEST_F(ProgressBarPanel, WindowShowsTheModelsDrawing) {
  ASSERT_NE(nullptr, panel_);
  const ProgressBarDrawing drawing = panel_->Model().Drawing(360, 200);
  const PixelImage expected =
      Render(360, 200, kMarker, [&](HDC dc) { PaintProgressBar(dc, drawing); });
  const PixelImage shown = ReadWindow(panel_->hwnd());
  ASSERT_EQ(360, shown.width());
  // Compare a row below the children.
  for (int x = 0; x < 360; ++x) {
    ASSERT_EQ(expected.At(x, 180), shown.At(x, 180)) << x;
  }
}

TEST_F(ProgressBarPanel, PropertyChangeIsReportedAndShownAtOnce) {
  std::vector<std::wstring> reported;
  panel_->Model().OnPropertyChanged([&](std::wstring_view key) { reported.emplace_back(key); });
  panel_->Model().SetValue(0);
  EXPECT_EQ(std::vector<std::wstring>{L"Value"}, reported);
  const PixelImage shown = ReadWindow(panel_->hwnd());
  EXPECT_EQ(PixelOf(panel_->Model().BackColor()), shown.At(300, 180));
}

TEST_F(ProgressBarPanel, ChildCommandsReachTheHostForm) {
  SendMessageW(check_, BM_CLICK, 0, 0);
  ASSERT_EQ(1u, form_.commands().size());
  EXPECT_EQ(kCheckId, form_.commands()[0].id);
  EXPECT_EQ(BN_CLICKED, form_.commands()[0].code);
  EXPECT_EQ(check_, form_.commands()[0].from);
  EXPECT_EQ(BST_CHECKED, SendMessageW(check_, BM_GETCHECK, 0, 0));
}

TEST_F(ProgressBarPanel, HostAnswersForEditFields) {
  win::WindowDc dc(edit_);
  EXPECT_EQ(reinterpret_cast<LRESULT>(form_.editBrush()),
            SendMessageW(panel_->hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                         reinterpret_cast<LPARAM>(edit_)));
}

TEST_F(ProgressBarPanel, LabelsAndCheckBoxesShowTheBarBehindThem) {
  const ProgressBarDrawing drawing = panel_->Model().Drawing(360, 200);
  const PixelImage bar = Render(360, 200, kMarker, [&](HDC dc) { PaintProgressBar(dc, drawing); });
  const PixelImage label = ReadWindow(label_);
  const PixelImage check = ReadWindow(check_);
  // Past the text, where only the background shows; the bar is a gradient there.
  EXPECT_NE(bar.At(20 + 150, 70), bar.At(20 + 190, 70));
  for (int x : {150, 190}) {
    EXPECT_EQ(bar.At(20 + x, 60 + 10), label.At(x, 10)) << x;
  }
  for (int x : {100, 115}) {
    EXPECT_EQ(bar.At(20 + x, 20 + 2), check.At(x, 2)) << x;
  }
}

TEST_F(ProgressBarPanel, ChildrenMoveAndHideWithThePanel) {
  RECT before{};
  GetWindowRect(check_, &before);
  SetWindowPos(panel_->hwnd(), nullptr, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT after{};
  GetWindowRect(check_, &after);
  EXPECT_EQ(before.left + 5, after.left);
  EXPECT_EQ(before.top + 15, after.top);

  ShowWindow(panel_->hwnd(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(check_));
  EXPECT_FALSE(IsWindowVisible(label_));
  ShowWindow(panel_->hwnd(), SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(check_));
}

TEST_F(ProgressBarPanel, BarChangedWhileHiddenIsShownWhenShownAgain) {
  ShowWindow(panel_->hwnd(), SW_HIDE);
  panel_->Model().SetValue(0);
  ShowWindow(panel_->hwnd(), SW_SHOW);
  UpdateWindow(panel_->hwnd());
  const PixelImage shown = ReadWindow(panel_->hwnd());
  EXPECT_EQ(PixelOf(panel_->Model().BackColor()), shown.At(300, 180));
}

TEST_F(ProgressBarPanel, ResizeDrawsTheBarAtItsNewSize) {
  SetWindowPos(panel_->hwnd(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
  UpdateWindow(panel_->hwnd());
  const PixelImage shown = ReadWindow(panel_->hwnd());
  ASSERT_EQ(300, shown.width());
  // The sunken border at the new right and bottom edges.
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)), shown.At(299, 75));
  EXPECT_EQ(PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)), shown.At(150, 149));
}

TEST(ProgressBarViewCreation, WithoutABagTheBarHasTheDefaults) {
  HostForm form(200, 60);
  auto bar = ProgressBarView::Create(Instance(), form.hwnd(), 7, RECT{5, 5, 195, 25}, nullptr);
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(7, GetDlgCtrlID(bar->hwnd()));
  EXPECT_EQ(100, bar->Model().Steps());
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), bar->Model().BackColor());
  EXPECT_TRUE(ProgressBarView::RegisterWindowClass(Instance()));
  bar.reset();
  EXPECT_EQ(nullptr, GetWindow(form.hwnd(), GW_CHILD));
}

}  // namespace
}  // namespace svctune::testing
