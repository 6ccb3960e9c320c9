// The XP-style check box on screen: the image the window shows in each state, mouse input
// turned into clicks and hovers, the caption, focus frame and height, and its look on a
// gradient panel.
#include "controls/win/xp_option_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win/gdi_font.h"
#include "controls/win/progress_bar_painter.h"
#include "controls/win/progress_bar_view.h"
#include "test_host.h"
#include "ui/twips.h"

namespace svctune::testing {
namespace {

using win::XPOptionView;

constexpr std::uint32_t kMarker = 0x123456;

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

// The state image whose opaque pixels the window shows at its image place, if any.
std::optional<CheckImage> ImageOnScreen(HWND window, CheckArtwork artwork) {
  const PixelImage shown = ReadWindow(window);
  if (shown.width() < kCheckImageSize || shown.height() < kCheckImageSize) {
    return std::nullopt;
  }
  for (int i = 0; i < kCheckImageCount; ++i) {
    const auto image = static_cast<CheckImage>(i);
    const PixelImage& art = CheckImageOf(artwork, image);
    bool same = true;
    for (int y = 0; y < kCheckImageSize && same; ++y) {
      for (int x = 0; x < kCheckImageSize && same; ++x) {
        const std::uint32_t pixel = art.At(x, y);
        same = AlphaOf(pixel) != 0xFF || RgbOf(pixel) == shown.At(x, y);
      }
    }
    if (same) {
      return image;
    }
  }
  return std::nullopt;
}

class XPOptionWindow : public ::testing::Test {
 protected:
  static constexpr int kId = 201;

  XPOptionWindow() : form_(300, 120) {
    option_ = XPOptionView::Create(Instance(), form_.hwnd(), kId, RECT{10, 10, 200, 40},
                                   XPOptionVariant::kXPOption, L"关闭", FontSpec{});
    if (option_ != nullptr) {
      option_->OnValueChanged([this](bool& value) { raised_.push_back(value); });
    }
    PumpMessages();
  }

  std::optional<CheckImage> Shown() {
    UpdateWindow(option_->hwnd());
    return ImageOnScreen(option_->hwnd(), CheckArtwork::kLunaBlue);
  }
  void Post(UINT message, LPARAM where) {
    PostMessageW(option_->hwnd(), message, 0, where);
    PumpMessages();
  }
  POINT OnScreen(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(option_->hwnd(), &point);
    return point;
  }

  HostForm form_;
  std::unique_ptr<XPOptionView> option_;
  std::vector<bool> raised_;
};

TEST_F(XPOptionWindow, NewControlShowsTheUncheckedImageAndItsCaption) {
  ASSERT_NE(nullptr, option_);
  EXPECT_EQ(CheckImage::kNone, Shown());
  wchar_t text[16] = {};
  GetWindowTextW(option_->hwnd(), text, 16);
  EXPECT_STREQ(L"关闭", text);
  EXPECT_EQ(kId, GetDlgCtrlID(option_->hwnd()));
  wchar_t className[32] = {};
  GetClassNameW(option_->hwnd(), className, 32);
  EXPECT_STREQ(L"svctune.XPOption", className);
}

TEST_F(XPOptionWindow, PostedClickShowsDownThenRaisesValueChangedOnce) {
  Post(WM_LBUTTONDOWN, At(5, 5));
  EXPECT_EQ(CheckImage::kDown, Shown());
  EXPECT_TRUE(raised_.empty());
  Post(WM_LBUTTONUP, At(5, 5));
  EXPECT_EQ(std::vector<bool>{true}, raised_);
  EXPECT_TRUE(option_->Model().Value());
  EXPECT_EQ(CheckImage::kChecked, Shown());

  Post(WM_LBUTTONDOWN, At(5, 5));
  EXPECT_EQ(CheckImage::kCheckedDown, Shown());
  Post(WM_LBUTTONUP, At(5, 5));
  EXPECT_EQ((std::vector<bool>{true, false}), raised_);
  EXPECT_EQ(CheckImage::kNone, Shown());
}

TEST_F(XPOptionWindow, ClickOnTheCaptionAndWithOtherButtonsCountsToo) {
  Post(WM_LBUTTONDOWN, At(40, 6));
  Post(WM_LBUTTONUP, At(40, 6));
  Post(WM_RBUTTONDOWN, At(5, 5));
  Post(WM_RBUTTONUP, At(5, 5));
  EXPECT_EQ((std::vector<bool>{true, false}), raised_);
}

TEST_F(XPOptionWindow, ReleaseAnywhereCompletesTheClick) {
  Post(WM_LBUTTONDOWN, At(5, 5));
  EXPECT_EQ(option_->hwnd(), GetCapture());
  Post(WM_LBUTTONUP, At(-300, 400));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(std::vector<bool>{true}, raised_);
}

TEST_F(XPOptionWindow, ReleaseWithoutPressDoesNothing) {
  Post(WM_LBUTTONUP, At(5, 5));
  EXPECT_TRUE(raised_.empty());
  EXPECT_EQ(CheckImage::kNone, Shown());
}

TEST_F(XPOptionWindow, HandlerMayChangeTheValue) {
  option_->OnValueChanged([](bool& value) { value = false; });
  Post(WM_LBUTTONDOWN, At(5, 5));
  Post(WM_LBUTTONUP, At(5, 5));
  EXPECT_FALSE(option_->Model().Value());
  EXPECT_EQ(CheckImage::kNone, Shown());
}

TEST_F(XPOptionWindow, HandlerMayDestroyTheControl) {
  const HWND window = option_->hwnd();
  option_->OnValueChanged([this](bool&) { option_.reset(); });
  Post(WM_LBUTTONDOWN, At(5, 5));
  Post(WM_LBUTTONUP, At(5, 5));
  EXPECT_EQ(nullptr, option_);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(XPOptionWindow, HoverEndsWithinATimerIntervalOnceThePointerLeft) {
  const POINT over = OnScreen(5, 5);
  ASSERT_TRUE(SetCursorPos(over.x, over.y));
  Post(WM_MOUSEMOVE, At(5, 5));
  EXPECT_EQ(CheckImage::kOver, Shown());
  EXPECT_TRUE(option_->Model().TimerEnabled());

  // The pointer stays: several ticks keep the hover.
  PumpFor(200);
  EXPECT_EQ(CheckImage::kOver, Shown());

  ASSERT_TRUE(SetCursorPos(over.x + 400, over.y + 300));
  EXPECT_TRUE(PumpUntil([&] { return !option_->Model().TimerEnabled(); }, 1000));
  EXPECT_EQ(CheckImage::kNone, Shown());
}

TEST_F(XPOptionWindow, HoverShowsTheCheckedOverImageWhenChecked) {
  option_->Model().SetValue(true);
  const POINT over = OnScreen(6, 6);
  ASSERT_TRUE(SetCursorPos(over.x, over.y));
  Post(WM_MOUSEMOVE, At(6, 6));
  EXPECT_EQ(CheckImage::kCheckedOver, Shown());
  EXPECT_TRUE(raised_.empty());
}

TEST_F(XPOptionWindow, FocusDrawsAFrameAroundTheCaption) {
  const PixelImage before = ReadWindow(option_->hwnd());
  SendMessageW(option_->hwnd(), WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(option_->Model().FocusFrameVisible());
  UpdateWindow(option_->hwnd());
  const PixelImage focused = ReadWindow(option_->hwnd());
  SendMessageW(option_->hwnd(), WM_KILLFOCUS, 0, 0);
  UpdateWindow(option_->hwnd());
  const PixelImage after = ReadWindow(option_->hwnd());

  const TwipsRect frame = option_->Model().FocusFrame();
  const int dpi = win::ScreenDpi();
  const int left = TwipsToPixels(frame.left, dpi);
  const int top = TwipsToPixels(frame.top, dpi);
  const int right = TwipsToPixels(frame.left + frame.width, dpi) - 1;
  // The frame's edges change, the image beside it does not.
  int changed = 0;
  for (int x = left; x <= right; ++x) {
    changed += before.At(x, top) != focused.At(x, top) ? 1 : 0;
  }
  EXPECT_GT(changed, (right - left) / 3);
  EXPECT_NE(before.At(left, 5), focused.At(left, 5));
  EXPECT_EQ(before.At(6, 6), focused.At(6, 6));
  EXPECT_EQ(before.pixels(), after.pixels());
}

TEST_F(XPOptionWindow, DisablingGreysTheCaption) {
  const PixelImage enabled = ReadWindow(option_->hwnd());
  option_->Model().SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(option_->hwnd()));
  UpdateWindow(option_->hwnd());
  const PixelImage disabled = ReadWindow(option_->hwnd());
  EXPECT_EQ(std::vector<std::uint32_t>(enabled.pixels().begin(), enabled.pixels().begin() + 17),
            std::vector<std::uint32_t>(disabled.pixels().begin(), disabled.pixels().begin() + 17));
  EXPECT_NE(enabled.pixels(), disabled.pixels());

  // Enabling the window from outside reaches the model.
  EnableWindow(option_->hwnd(), TRUE);
  EXPECT_TRUE(option_->Model().Enabled());
  EXPECT_TRUE(option_->Model().LabelEnabled());
}

TEST_F(XPOptionWindow, WindowTextIsTheCaption) {
  std::vector<std::wstring> reported;
  option_->Model().OnPropertyChanged([&](std::wstring_view key) { reported.emplace_back(key); });
  SetWindowTextW(option_->hwnd(), L"退出");
  EXPECT_EQ(L"退出", option_->Model().Caption());
  EXPECT_EQ(std::vector<std::wstring>{L"Caption"}, reported);
  option_->Model().SetCaption(L"再见");
  wchar_t text[16] = {};
  GetWindowTextW(option_->hwnd(), text, 16);
  EXPECT_STREQ(L"再见", text);
}

TEST_F(XPOptionWindow, CaptionLabelSizesItselfToTheText) {
  const TwipsRect shortLabel = option_->Model().LabelRect();
  option_->Model().SetCaption(L"关闭窗口并保存设置");
  const TwipsRect longLabel = option_->Model().LabelRect();
  EXPECT_GT(shortLabel.width, 0);
  EXPECT_GT(longLabel.width, shortLabel.width * 3);
  EXPECT_EQ(shortLabel.height, longLabel.height);
}

TEST_F(XPOptionWindow, SetFontMessageBecomesTheFontProperty) {
  LOGFONTW font{};
  font.lfHeight = -16;
  font.lfWeight = FW_BOLD;
  const std::wstring face = L"Tahoma";
  std::copy(face.begin(), face.end(), font.lfFaceName);
  win::ScopedFont handle(CreateFontIndirectW(&font));
  SendMessageW(option_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), TRUE);
  EXPECT_EQ(L"Tahoma", option_->Model().Font().name);
  EXPECT_TRUE(option_->Model().Font().bold);
  EXPECT_DOUBLE_EQ(12.0, option_->Model().Font().points);
  EXPECT_NE(nullptr, reinterpret_cast<HFONT>(SendMessageW(option_->hwnd(), WM_GETFONT, 0, 0)));
}

TEST(XPOptionVariantsOnScreen, HeightFollowsTheVariant) {
  HostForm form(300, 200);
  for (XPOptionVariant variant :
       {XPOptionVariant::kXPOption, XPOptionVariant::kMyCmd, XPOptionVariant::kMyOpt}) {
    auto option = XPOptionView::Create(Instance(), form.hwnd(), 1, RECT{0, 0, 150, 80}, variant,
                                       L"x", FontSpec{});
    ASSERT_NE(nullptr, option);
    const int expected =
        TwipsToPixels(option->Model().HeightOnResize(win::ScreenDpi()), win::ScreenDpi());
    RECT size{};
    GetClientRect(option->hwnd(), &size);
    EXPECT_EQ(expected, size.bottom);
    SetWindowPos(option->hwnd(), nullptr, 0, 0, 120, 60, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(option->hwnd(), &size);
    EXPECT_EQ(expected, size.bottom);
    EXPECT_EQ(120, size.right);
    UpdateWindow(option->hwnd());
    EXPECT_EQ(CheckImage::kNone, ImageOnScreen(option->hwnd(), DesignOf(variant).artwork));
  }
}

TEST(XPOptionOnAPanel, ShowsThePanelsGradientAroundTheBoxAndCaption) {
  HostForm form(300, 120);
  PropertyBag bag;
  bag.Put(L"Value", std::int32_t{100});
  bag.Put(L"Orientation", std::int32_t{0});
  bag.Put(L"FromColor", static_cast<std::int32_t>(0x00FFE0C0));
  bag.Put(L"ToColor", static_cast<std::int32_t>(0x00602000));
  auto panel = win::ProgressBarView::Create(Instance(), form.hwnd(), 1, RECT{0, 0, 280, 100}, &bag);
  ASSERT_NE(nullptr, panel);
  auto square = XPOptionView::Create(Instance(), panel->hwnd(), 2, RECT{20, 30, 120, 60},
                                     XPOptionVariant::kXPOption, L"关闭", FontSpec{});
  auto round = XPOptionView::Create(Instance(), panel->hwnd(), 3, RECT{20, 60, 120, 90},
                                    XPOptionVariant::kMyOpt, L"Close", FontSpec{});
  ASSERT_NE(nullptr, square);
  ASSERT_NE(nullptr, round);
  UpdateWindow(form.hwnd());
  PumpMessages();

  const ProgressBarDrawing drawing = panel->Model().Drawing(280, 100);
  const PixelImage bar =
      Render(280, 100, kMarker, [&](HDC dc) { win::PaintProgressBar(dc, drawing); });
  const PixelImage squareShown = ReadWindow(square->hwnd());
  const PixelImage roundShown = ReadWindow(round->hwnd());
  // Between the box and the caption, and past the caption.
  EXPECT_EQ(bar.At(20 + 14, 30 + 6), squareShown.At(14, 6));
  EXPECT_EQ(bar.At(20 + 95, 30 + 3), squareShown.At(95, 3));
  // The round box's transparent corner.
  EXPECT_EQ(bar.At(20, 60), roundShown.At(0, 0));
  EXPECT_EQ(CheckImage::kNone, ImageOnScreen(square->hwnd(), CheckArtwork::kLunaBlue));
  EXPECT_EQ(CheckImage::kNone, ImageOnScreen(round->hwnd(), CheckArtwork::kRoundBlue));

  // A new bar image shows through at once.
  panel->Model().SetValue(0);
  UpdateWindow(form.hwnd());
  EXPECT_EQ(PixelOf(panel->Model().BackColor()), ReadWindow(square->hwnd()).At(14, 6));
}

}  // namespace
}  // namespace svctune::testing
