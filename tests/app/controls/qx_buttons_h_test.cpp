#include "controls/qx_buttons_h.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "qx_fake_site.h"

namespace svctune {
namespace {

using testing::FakePicture;
using testing::FakeSite;
using testing::MemoryGroupStore;

TEST(QxButtonColours, ShiftColorFollowsItsChannelRules) {
  EXPECT_EQ(0xE0E0DFu, ShiftColor(0xFFFFFF, -32));
  EXPECT_EQ(0x404040u, ShiftColor(0, 0, false, true));
  EXPECT_EQ(0x676766u, ShiftColor(0x808080, -26));
  EXPECT_EQ(0x717170u, ShiftColor(0x808080, -16));
  EXPECT_EQ(0x000000u, ShiftColor(0xFFFFFF, 0, false, false, true));
  // Blue moves in proportion to itself: 129 + (32 x 129) div 192 = 150.
  EXPECT_EQ(0x96A1A0u, ShiftColor(0x808080, 32, true));
  EXPECT_EQ(0xE0E0DFu, DeriveColours(0, 0xFFFFFF, 0xFFFFFF).light);
}

TEST(QxButtonColours, GradientBandsFollowTheScreenRatio) {
  GradientBands bands = GradientOf(2, 100, 1024, 0x000000, 0xFF0000);
  EXPECT_EQ(100, bands.count);
  EXPECT_EQ(1, bands.thickness);
  EXPECT_EQ(0xFF0000u, bands.colours.front());  // reversed: the gradient colour on the left
  EXPECT_EQ(0x000000u, bands.colours.back());
  bands = GradientOf(3, 400, 1024, 0x000000, 0x0000FF);
  EXPECT_EQ(200, bands.count);
  EXPECT_EQ(2, bands.thickness);
  // The running sum of 199 steps may fall just short of the end.
  EXPECT_NEAR(255, static_cast<int>(bands.colours.back()), 1);
}

TEST(QxButtonShape, DiagonalButtonWidensPastItsSlant) {
  EXPECT_EQ(21, SlantOf(3, 20));
  EXPECT_EQ(30, WidthForShape(3, 20, 20));
  EXPECT_EQ(26, WidthForShape(1, 26, 20));
  EXPECT_EQ(20, WidthForShape(0, 20, 20));
  const auto outline = DiagonalOutline(3, 30, 20);
  EXPECT_EQ((PixelPoint{21, 21}), outline[1]);
  EXPECT_EQ((PixelPoint{10, 0}), outline[3]);
}

TEST(QxButtonLayout, PlacesCaptionAndPicture) {
  const TextMeasure measure = [](const std::wstring& text, int maxWidth, int) {
    const int lines = text.find(L"\r\n") == std::wstring::npos ? 1 : 2;
    return PixelPoint{std::min(static_cast<int>(text.size()) * 6, maxWidth), 12 * lines};
  };
  LayoutInput in;
  in.width = 100;
  in.height = 60;
  in.caption = CaptionLines(L"Top||Down");
  EXPECT_EQ(L"Top\r\nDown", in.caption);
  in.hasPicture = true;
  in.pictureAlign = 4;
  ButtonLayout layout = LayoutOf(in, measure);
  EXPECT_EQ((PixelRect{42, 10, 58, 26}), layout.picture);
  EXPECT_EQ(layout.picture.bottom + 2, layout.caption.top);
  EXPECT_EQ(24, layout.caption.height());

  in.caption = L"A caption far too long for this button";
  in.pictureAlign = 0;
  in.captionAlign = 0;
  layout = LayoutOf(in, measure);
  EXPECT_EQ((PixelRect{4, 22, 20, 38}), layout.picture);
  EXPECT_EQ(24, layout.caption.left);
  EXPECT_EQ(96, layout.caption.right);

  in.picturePixels = 40;
  in.buttonShape = 6;
  EXPECT_EQ((PixelRect{1, 1, 99, 59}), LayoutOf(in, measure).picture);
  in.picturePixels = 48;
  in.buttonShape = 0;
  in.pictureWidth = 32;
  in.pictureHeight = 16;
  EXPECT_EQ((PixelRect{6, 8, 94, 52}), LayoutOf(in, measure).picture);
}

class QxButtonModel : public ::testing::Test {
 protected:
  QxButtonModel() : site_(&group_), button_(site_) {
    button_.OnPropertyChanged([this](std::wstring_view key) { reports_.emplace_back(key); });
  }
  MemoryGroupStore group_;
  FakeSite site_;
  qxButtons_H button_;
  std::vector<std::wstring> reports_;
};

TEST_F(QxButtonModel, AccessKeyComesFromTheLastSingleAmpersand) {
  const struct {
    const wchar_t* caption;
    wchar_t key;
  } cases[] = {{L"E&xit", L'x'}, {L"Save && Exit", L'x'}, {L"A&&B&c", L'c'}, {L"&Open", L'O'}};
  for (const auto& c : cases) {
    button_.SetCaption(c.caption);
    EXPECT_EQ(c.key, button_.AccessKey()) << c.caption;
  }
  qxButtons_H fresh(site_);
  fresh.SetCaption(L"Save && Exit");
  EXPECT_EQ(0, fresh.AccessKey());
}

TEST_F(QxButtonModel, CommandModeRefusesValueAndSaysSoOnlyInDesignMode) {
  button_.SetValue(true);
  EXPECT_FALSE(button_.Value());
  EXPECT_TRUE(site_.messages.empty());
  site_.userMode = false;
  button_.SetValue(true);
  EXPECT_FALSE(button_.Value());
  ASSERT_EQ(1u, site_.messages.size());
  EXPECT_EQ(L"This property is not applicable for command button modes.", site_.messages[0]);
  button_.SetMode(1);
  button_.SetValue(true);
  button_.SetMode(0);
  EXPECT_FALSE(button_.Value());
}

TEST_F(QxButtonModel, OptionGroupOfThreeLosesAMemberToCheckBoxMode) {
  qxButtons_H second(site_);
  qxButtons_H third(site_);
  for (qxButtons_H* b : {&button_, &second, &third}) {
    b->SetMode(2);
  }
  EXPECT_EQ(3, group_.Get(L"qx_OptCount"));
  button_.SetValue(true);
  third.SetValue(true);
  second.SetValue(true);
  EXPECT_FALSE(button_.Value());
  EXPECT_TRUE(second.Value());
  EXPECT_FALSE(third.Value());

  second.SetMode(1);
  EXPECT_EQ(2, group_.Get(L"qx_OptCount"));
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(&button_), group_.Get(L"1qx_Obj"));
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(&third), group_.Get(L"2qx_Obj"));
  EXPECT_EQ(0, group_.Get(L"3qx_Obj"));
  button_.SetValue(true);
  third.SetValue(true);
  EXPECT_FALSE(button_.Value());
  EXPECT_TRUE(second.Value());  // a check box now, outside the group

  // A member that goes away leaves no reference behind.
  {
    qxButtons_H fourth(site_);
    fourth.SetMode(2);
    EXPECT_EQ(3, group_.Get(L"qx_OptCount"));
  }
  EXPECT_EQ(2, group_.Get(L"qx_OptCount"));
  EXPECT_EQ(0, group_.Get(L"3qx_Obj"));
}

TEST_F(QxButtonModel, ArrowKeysMoveFocusAndSelectAnOptionOnce) {
  qxButtons_H second(site_);
  button_.SetMode(2);
  second.SetMode(2);
  int clicks = 0;
  second.Events().Click = [&] { ++clicks; };
  std::int16_t seenKeyDown = -1;
  button_.Events().KeyDown = [&](std::int16_t& code, std::int16_t&) { seenKeyDown = code; };
  button_.KeyDown(0x27, 0);
  EXPECT_EQ(-1, seenKeyDown);  // consumed
  ASSERT_EQ(1u, site_.posted.size());
  EXPECT_EQ(std::make_pair(0x27, std::uint32_t{0x4D0001}), site_.posted[0]);
  // The container gave second the focus; the key's release reaches it there.
  second.FocusGained();
  second.KeyUp(0x27, 0);
  EXPECT_TRUE(second.Value());
  EXPECT_EQ(1, clicks);
}

TEST_F(QxButtonModel, SecondClickOfADoubleClickRaisesDoubleClickThenMouseDown) {
  std::vector<std::wstring> events;
  auto& e = button_.Events();
  e.MouseDown = [&](std::int16_t& b, std::int16_t&, float&, float&) {
    events.push_back(L"MouseDown" + std::to_wstring(b));
  };
  e.MouseUp = [&](std::int16_t&, std::int16_t&, float&, float&) { events.push_back(L"MouseUp"); };
  e.Click = [&] { events.push_back(L"Click"); };
  e.DoubleClick = [&](std::int16_t& b) { events.push_back(L"DoubleClick" + std::to_wstring(b)); };
  button_.MouseDown(1, 0, 5, 5);
  button_.MouseUp(1, 0, 5, 5);
  button_.PlatformClick();
  button_.DoubleClick(5, 5);
  EXPECT_TRUE(button_.StateFlags() & kPressed);
  button_.MouseUp(1, 0, 5, 5);
  button_.PlatformClick();
  EXPECT_EQ((std::vector<std::wstring>{L"MouseDown1", L"MouseUp", L"Click", L"DoubleClick1",
                                       L"MouseDown1", L"MouseUp"}),
            events);
}

TEST_F(QxButtonModel, HoverColoursFollowUntilSetApart) {
  button_.SetBackColor(0x112233);
  EXPECT_EQ(0x112233u, button_.HoverBackColor());
  button_.SetHoverBackColor(0x445566);
  EXPECT_EQ(1, button_.HoverColorLocks());
  button_.SetBackColor(0x778899);
  EXPECT_EQ(0x445566u, button_.HoverBackColor());
  button_.SetHoverForeColor(0x0000FF);
  EXPECT_EQ(3, button_.HoverColorLocks());
  button_.SetHoverColorLocks(0);
  EXPECT_EQ(0x778899u, button_.HoverBackColor());
  EXPECT_EQ(kButtonText, button_.HoverForeColor());
  button_.SetGradientMode(1);
  button_.SetGradientColor(0x00FF00);
  EXPECT_EQ(0x00FF00u, button_.HoverBackColor());
}

TEST_F(QxButtonModel, PropertyBagLeavesDefaultsOutAndReadsInAnyCase) {
  PropertyBag bag;
  button_.SetCaption(L"OK");
  button_.WriteProperties(bag);
  EXPECT_EQ(4u, bag.size());  // Caption, Mode, Value, cBack
  EXPECT_TRUE(bag.Contains(L"Mode") && bag.Contains(L"Value") && bag.Contains(L"cBack"));

  PropertyBag stored;
  stored.Put(L"ImgSize", std::int32_t{40});
  stored.Put(L"cBhover", std::int32_t{0x123456});
  stored.Put(L"Shape", std::int32_t{12});  // out of range: the default
  stored.Put(L"Caption", std::wstring(L"&Go"));
  button_.ReadProperties(stored);
  EXPECT_EQ(3, button_.PictureSize());
  EXPECT_EQ(0x123456u, button_.HoverBackColor());
  EXPECT_EQ(0, button_.ButtonShape());
  EXPECT_EQ(L'G', button_.AccessKey());
}

TEST_F(QxButtonModel, HoverStartsOnceAndEndsWhenThePointerLeaves) {
  std::vector<bool> transitions;
  button_.Events().MouseOnButton = [&](bool& on) { transitions.push_back(on); };
  button_.MouseMove(0, 0, 3, 3);  // the pointer is over a window in front
  EXPECT_FALSE(button_.HoverTracking());
  site_.pointerOver = true;
  button_.MouseMove(0, 0, 3, 3);
  button_.MouseMove(0, 0, 4, 3);
  button_.HoverTimerTick(qxButtons_H::kHoverTimerId);
  EXPECT_TRUE(site_.timerRunning);
  site_.pointerOver = false;
  button_.HoverTimerTick(qxButtons_H::kHoverTimerId);
  EXPECT_FALSE(site_.timerRunning);
  EXPECT_EQ(qxButtons_H::kHoverTimerId, site_.stoppedTimer);
  EXPECT_EQ((std::vector<bool>{true, false}), transitions);
  EXPECT_EQ(0, button_.StateFlags() & kHover);

  site_.pointerOver = true;
  {
    qxButtons_H other(site_);
    other.MouseMove(0, 0, 1, 1);
    EXPECT_TRUE(site_.timerRunning);
  }
  EXPECT_FALSE(site_.timerRunning);
}

TEST_F(QxButtonModel, DesignModeExplainsRefusalsThatRunModeKeepsQuiet) {
  for (const bool userMode : {true, false}) {
    qxButtons_H button(site_);
    site_.userMode = userMode;
    site_.messages.clear();
    button.SetButtonShape(7);  // no picture yet
    EXPECT_EQ(0, button.ButtonShape());
    button.SetPicture(std::make_shared<FakePicture>(PictureKind::kIcon, L"a.ico"));
    button.SetButtonShape(8);  // an icon cannot cut a shape
    EXPECT_EQ(0, button.ButtonShape());
    button.SetPictureAlign(4);
    button.SetCaptionAlign(0);  // a picture above keeps the caption centred
    EXPECT_EQ(2, button.CaptionAlign());
    button.SetPicture(std::make_shared<FakePicture>(PictureKind::kBitmap, L"a.bmp"));
    button.SetButtonShape(7);
    EXPECT_EQ(7, button.ButtonShape());
    EXPECT_EQ(4, button.PictureSize());
    button.SetPictureSize(1);  // shaped buttons keep their size
    EXPECT_EQ(4, button.PictureSize());
    button.SetPicture(std::make_shared<FakePicture>(PictureKind::kIcon, L"b.ico"));
    EXPECT_EQ(0, button.ButtonShape());
    EXPECT_EQ(userMode ? 0u : 5u, site_.messages.size());
  }
}

TEST_F(QxButtonModel, PropertiesSurviveTheBag) {
  button_.SetCaption(L"Go||On");
  button_.SetButtonStyle(5);
  button_.SetMode(1);
  button_.SetValue(true);
  button_.SetPicture(std::make_shared<FakePicture>(PictureKind::kBitmap, L"c:\\a.bmp"));
  button_.SetPictureAlign(3);
  button_.SetGradientMode(2);
  button_.SetGradientColor(0x00FF00);
  button_.SetFontStyle(2 + 8);
  button_.SetEnabled(false);
  PropertyBag bag;
  button_.WriteProperties(bag);
  qxButtons_H copy(site_);
  copy.ReadProperties(bag);
  PropertyBag again;
  copy.WriteProperties(again);
  EXPECT_EQ(bag.Entries(), again.Entries());
  EXPECT_EQ(L"c:\\a.bmp", copy.Picture()->source());
  EXPECT_EQ(10, copy.FontStyle());
  EXPECT_EQ(0x00FF00u, copy.HoverBackColor());
}

TEST_F(QxButtonModel, SpaceBarClicksOnReleaseAndEnterLeavesCheckBoxesAlone) {
  int clicks = 0;
  button_.Events().Click = [&] { ++clicks; };
  button_.KeyDown(0x20, 0);
  EXPECT_TRUE(button_.StateFlags() & kPressed);
  EXPECT_EQ(0, clicks);
  button_.KeyUp(0x20, 0);
  EXPECT_EQ(1, clicks);
  button_.SetMode(1);
  button_.AccessKeyPressed(13);
  button_.AccessKeyPressed(27);
  EXPECT_EQ(1, clicks);
  button_.AccessKeyPressed(L'G');
  EXPECT_EQ(2, clicks);
  EXPECT_TRUE(button_.Value());
}

TEST_F(QxButtonModel, HeldCommandButtonShowsPressedAndOnlyCheckableButtonsSink) {
  const struct {
    std::int32_t mode;
    bool hover;
    bool press;
    bool set;
    EdgeState state;
  } cases[] = {
      {0, true, true, false, EdgeState::kPressed}, {0, false, true, false, EdgeState::kNormal},
      {0, true, false, false, EdgeState::kNormal}, {1, true, true, false, EdgeState::kSunken},
      {2, false, true, false, EdgeState::kSunken}, {1, false, false, true, EdgeState::kSunken},
      {2, true, false, true, EdgeState::kSunken},
  };
  for (const auto& c : cases) {
    FakeSite site;
    qxButtons_H button(site);
    button.SetMode(c.mode);
    button.SetValue(c.set);
    site.pointerOver = c.hover;
    button.MouseMove(0, 0, 5, 5);
    if (c.press) {
      button.MouseDown(1, 0, 5, 5);
    }
    EXPECT_EQ(c.state, button.CurrentEdgeState()) << c.mode << c.hover << c.press << c.set;
  }
  // The space bar holds a command button as the mouse does.
  qxButtons_H button(site_);
  button.KeyDown(0x20, 0);
  EXPECT_TRUE(button.HeldDown());
  EXPECT_NE(EdgeState::kSunken, button.CurrentEdgeState());
}

// A drop target's data that holds nothing.
class NoData final : public OleDataObject {
 public:
  bool GetFormat(std::int16_t) const override { return false; }
  std::optional<std::wstring> GetData(std::int16_t) const override { return std::nullopt; }
  bool SetData(std::int16_t, std::optional<std::wstring>) override { return false; }
  bool Clear() override { return false; }
};

TEST_F(QxButtonModel, DropAnswersOneEffectTheSourceAllowsAndNoneUnhandled) {
  NoData data;
  constexpr std::int32_t kCopyMove = kDropEffectCopy | kDropEffectMove;
  EXPECT_EQ(kDropEffectNone, button_.OLEDragDrop(data, kCopyMove, 1, 0, 0, 0));
  EXPECT_EQ(kDropEffectNone, button_.OLEDragOver(data, kCopyMove, 1, 0, 0, 0, kDragOver));
  const struct {
    std::int32_t allowed;
    std::int32_t set;  // -1: the handler leaves the effect
    std::int32_t answer;
  } cases[] = {
      {kCopyMove, -1, kDropEffectCopy},
      {kDropEffectMove | kDropEffectLink, -1, kDropEffectMove},
      {kCopyMove, kDropEffectMove, kDropEffectMove},
      {kDropEffectCopy, kDropEffectMove | kDropEffectLink, kDropEffectNone},
      {kCopyMove, kDropEffectMove | kDropEffectScroll, kDropEffectMove | kDropEffectScroll},
  };
  for (const auto& c : cases) {
    button_.Events().OLEDragDrop = [&](OleDataObject&, std::int32_t& effect, std::int16_t&,
                                       std::int16_t&, float&, float&) {
      if (c.set != -1) {
        effect = c.set;
      }
    };
    button_.Events().OLEDragOver = [&](OleDataObject&, std::int32_t& effect, std::int16_t&,
                                       std::int16_t&, float&, float&, std::int16_t&) {
      if (c.set != -1) {
        effect = c.set;
      }
    };
    EXPECT_EQ(c.answer, button_.OLEDragDrop(data, c.allowed, 1, 0, 0, 0)) << c.allowed << c.set;
    EXPECT_EQ(c.answer, button_.OLEDragOver(data, c.allowed, 1, 0, 0, 0, kDragEnter));
  }
}

TEST_F(QxButtonModel, ADragEndsTheClickItsPressBegan) {
  int clicks = 0;
  button_.Events().Click = [&] { ++clicks; };
  button_.MouseDown(1, 0, 5, 5);
  button_.MouseUp(1, 0, 5, 5);
  button_.OLECompleteDrag(kDropEffectCopy);
  button_.PlatformClick();
  EXPECT_EQ(0, clicks);
  button_.MouseDown(1, 0, 5, 5);
  button_.MouseUp(1, 0, 5, 5);
  button_.PlatformClick();
  EXPECT_EQ(1, clicks);
}

}  // namespace
}  // namespace svctune
