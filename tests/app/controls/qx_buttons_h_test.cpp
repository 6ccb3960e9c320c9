#include "controls/qx_buttons_h.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qx_fake_site.h"

namespace svctune {
namespace {

using testing::ButtonInItsOwnContainer;
using testing::FakePicture;
using testing::FakeSite;
using testing::MemoryGroupStore;
using testing::PointAndPress;

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

// Records the button's events in the order they come.
class EventTrace {
 public:
  explicit EventTrace(qxButtons_H& button) {
    auto& e = button.Events();
    e.KeyDown = [this](std::int16_t& code, std::int16_t&) {
      log.push_back(L"KeyDown" + std::to_wstring(code));
    };
    e.KeyUp = [this](std::int16_t& code, std::int16_t&) {
      log.push_back(L"KeyUp" + std::to_wstring(code));
    };
    e.MouseDown = [this](std::int16_t& b, std::int16_t&, float&, float&) {
      log.push_back(L"MouseDown" + std::to_wstring(b));
    };
    e.Click = [this] { log.push_back(L"Click"); };
    e.DoubleClick = [this](std::int16_t& b) { log.push_back(L"DoubleClick" + std::to_wstring(b)); };
  }
  int Count(const std::wstring& event) const {
    return static_cast<int>(std::count(log.begin(), log.end(), event));
  }
  std::vector<std::wstring> log;
};

TEST_F(QxButtonModel, ArrowReleaseSelectsAnUnsetOptionOnly) {
  const struct {
    std::int32_t mode;
    bool set;
    std::int16_t key;
    int clicks;
  } cases[] = {
      {2, false, 0x25, 1}, {2, false, 0x26, 1}, {2, false, 0x27, 1}, {2, false, 0x28, 1},
      {2, true, 0x27, 0},  {1, false, 0x27, 0}, {0, false, 0x28, 0},
  };
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& button = own.button;
    qxButtons_H other(own.site);
    other.SetMode(2);
    other.SetValue(true);  // a set member: focus alone would select nothing
    if (c.set) {
      button.SetValue(true);
    }
    EventTrace trace(button);
    button.KeyUp(c.key, 0);
    EXPECT_EQ(c.clicks, trace.Count(L"Click")) << c.mode << " " << c.key;
    EXPECT_EQ(0, trace.Count(L"KeyUp" + std::to_wstring(c.key)));  // consumed in every mode
    EXPECT_EQ(c.mode == 2, button.Value()) << c.mode << " " << c.key;
    EXPECT_EQ(c.mode != 2, other.Value());  // a selected option clears its group
  }
}

TEST_F(QxButtonModel, FocusOnAnOptionSelectsItOnlyWhenNoneOfItsGroupIsSet) {
  const struct {
    std::int32_t mode;
    bool otherSet;
    int clicks;
  } cases[] = {{2, false, 1}, {2, true, 0}, {1, false, 0}, {0, false, 0}};
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& button = own.button;
    qxButtons_H other(own.site);
    other.SetMode(2);
    other.SetValue(c.otherSet);
    EventTrace trace(button);
    button.FocusGained();
    EXPECT_EQ(c.clicks, trace.Count(L"Click")) << c.mode << c.otherSet;
    EXPECT_EQ(c.clicks == 1, button.Value());
    EXPECT_EQ(c.otherSet, other.Value());
  }
}

TEST_F(QxButtonModel, EverySetterReportsItsBagKey) {
  const auto bitmap = std::make_shared<FakePicture>(PictureKind::kBitmap, L"a.bmp");
  const auto icon = std::make_shared<FakePicture>(PictureKind::kIcon, L"a.cur");
  FontSpec font;
  font.name = L"Arial";
  const struct {
    const char* what;
    std::function<void(qxButtons_H&)> set;
    std::vector<std::wstring> reports;
  } cases[] = {
      {"Caption", [](qxButtons_H& b) { b.SetCaption(L"Go"); }, {L"Caption"}},
      {"CaptionAlign", [](qxButtons_H& b) { b.SetCaptionAlign(0); }, {L"CapAlign"}},
      {"CaptionStyle", [](qxButtons_H& b) { b.SetCaptionStyle(1); }, {L"CapStyle"}},
      {"ButtonStyle", [](qxButtons_H& b) { b.SetButtonStyle(3); }, {L"BackStyle"}},
      {"ButtonShape", [](qxButtons_H& b) { b.SetButtonShape(2); }, {L"Shape"}},
      {"Mode", [](qxButtons_H& b) { b.SetMode(1); }, {L"Mode"}},
      {"CustomClick", [](qxButtons_H& b) { b.SetCustomClick(4); }, {L"CustomClick"}},
      {"Picture", [&](qxButtons_H& b) { b.SetPicture(bitmap); }, {L"Image"}},
      {"PictureAlign", [](qxButtons_H& b) { b.SetPictureAlign(1); }, {L"ImgAlign"}},
      {"PictureSize", [](qxButtons_H& b) { b.SetPictureSize(2); }, {L"ImgSize"}},
      {"Enabled", [](qxButtons_H& b) { b.SetEnabled(false); }, {L"Enabled"}},
      {"ShowFocusRect", [](qxButtons_H& b) { b.SetShowFocusRect(false); }, {L"Focus"}},
      {"MousePointer", [](qxButtons_H& b) { b.SetMousePointer(2); }, {L"mPointer"}},
      {"MouseIcon", [&](qxButtons_H& b) { b.SetMouseIcon(icon); }, {L"mPointer", L"mIcon"}},
      {"Font", [&](qxButtons_H& b) { b.SetFont(font); }, {L"Font"}},
      {"FontStyle", [](qxButtons_H& b) { b.SetFontStyle(4); }, {L"Font"}},
      {"ForeColor", [](qxButtons_H& b) { b.SetForeColor(0x123456); }, {L"cFore"}},
      {"BackColor", [](qxButtons_H& b) { b.SetBackColor(0x123456); }, {L"cBack"}},
      {"GradientColor", [](qxButtons_H& b) { b.SetGradientColor(0x123456); }, {L"cGradient"}},
      {"GradientMode", [](qxButtons_H& b) { b.SetGradientMode(1); }, {L"Gradient"}},
      {"HoverColorLocks", [](qxButtons_H& b) { b.SetHoverColorLocks(3); }, {L"LockHover"}},
      {"HoverColorLocks tied",
       [](qxButtons_H& b) { b.SetHoverColorLocks(0); },
       {L"cBhover", L"cFHover", L"LockHover"}},
      {"HoverForeColor", [](qxButtons_H& b) { b.SetHoverForeColor(0x123456); }, {L"cFHover"}},
      {"HoverBackColor", [](qxButtons_H& b) { b.SetHoverBackColor(0x123456); }, {L"cBhover"}},
      // Refused values report nothing.
      {"Mode 5", [](qxButtons_H& b) { b.SetMode(5); }, {}},
      {"ButtonStyle 9", [](qxButtons_H& b) { b.SetButtonStyle(9); }, {}},
      {"Value in command mode", [](qxButtons_H& b) { b.SetValue(true); }, {}},
  };
  for (const auto& c : cases) {
    qxButtons_H button(site_);
    std::vector<std::wstring> reports;
    button.OnPropertyChanged([&](std::wstring_view key) { reports.emplace_back(key); });
    c.set(button);
    EXPECT_EQ(c.reports, reports) << c.what;
  }
  button_.SetMode(2);
  reports_.clear();
  button_.SetValue(true);
  EXPECT_EQ(std::vector<std::wstring>{L"Value"}, reports_);
}

TEST_F(QxButtonModel, CustomClickMovesAPressedCommandButtonOnePixelAndBack) {
  const PixelPoint directions[] = {{0, -1}, {1, -1}, {-1, -1}, {1, 1},
                                   {-1, 1}, {1, 0},  {0, 1},   {-1, 0}};
  site_.pointerOver = true;
  for (std::int32_t click = 1; click <= 8; ++click) {
    qxButtons_H button(site_);
    button.SetCustomClick(click);
    EXPECT_FALSE(button.TakeClickMove());  // not pressed: stays
    button.MouseMove(0, 0, 5, 5);
    button.MouseDown(1, 0, 5, 5);
    const auto down = button.TakeClickMove();
    ASSERT_TRUE(down) << click;
    EXPECT_EQ(directions[click - 1], down->offset) << click;
    EXPECT_TRUE(down->endsPass);
    EXPECT_FALSE(button.TakeClickMove());  // moved once while held
    button.MouseUp(1, 0, 5, 5);
    const auto up = button.TakeClickMove();
    ASSERT_TRUE(up) << click;
    EXPECT_EQ((PixelPoint{-directions[click - 1].x, -directions[click - 1].y}), up->offset);
    EXPECT_FALSE(up->endsPass);
    EXPECT_FALSE(button.TakeClickMove());
  }
  // No movement without CustomClick, nor for check-box buttons.
  for (const std::int32_t mode : {0, 1}) {
    qxButtons_H button(site_);
    button.SetMode(mode);
    button.SetCustomClick(mode == 0 ? 0 : 3);
    button.MouseMove(0, 0, 5, 5);
    button.MouseDown(1, 0, 5, 5);
    EXPECT_FALSE(button.TakeClickMove()) << mode;
  }
}

TEST_F(QxButtonModel, CaptionMovesWhileShownPressedOrSetExceptInStyle3) {
  const struct {
    std::int32_t shape;
    std::int32_t style;
    std::int32_t mode;
    bool hover;
    bool press;
    PixelPoint offset;
  } cases[] =
      {
          {0, 0, 0, true, true, {1, 1}},  {3, 1, 0, true, true, {1, 1}},
          {5, 0, 0, true, true, {0, 1}},  {0, 3, 0, true, true, {0, 0}},
          {0, 0, 0, false, true, {0, 0}},  // held without the pointer over it
          {0, 0, 0, true, false, {0, 0}}, {0, 0, 1, false, true, {1, 1}},  // a set check box
          {4, 0, 2, false, true, {0, 1}}, {0, 3, 1, false, true, {0, 0}},
      };
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& button = own.button;
    button.SetButtonShape(c.shape);
    button.SetButtonStyle(c.style);
    PointAndPress(button, own.site, c.hover, c.press);
    if (c.press && c.mode != 0) {
      button.MouseUp(1, 0, 5, 5);
      button.PlatformClick();  // sets it
    }
    EXPECT_EQ(c.offset, button.PressedOffset())
        << c.shape << " " << c.style << " " << c.mode << " " << c.hover << " " << c.press;
  }
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
    ButtonInItsOwnContainer own(c.mode);
    own.button.SetValue(c.set);
    PointAndPress(own.button, own.site, c.hover, c.press);
    EXPECT_EQ(c.state, own.button.CurrentEdgeState()) << c.mode << c.hover << c.press << c.set;
  }
  // The space bar holds a command button as the mouse does.
  qxButtons_H button(site_);
  button.KeyDown(0x20, 0);
  EXPECT_TRUE(button.HeldDown());
  EXPECT_NE(EdgeState::kSunken, button.CurrentEdgeState());
}

TEST_F(QxButtonModel, ShowFocusRectOffClearsTheDefaultMarkingAtRunTime) {
  site_.displayAsDefault = true;
  button_.AmbientChanged(L"DisplayAsDefault");
  ASSERT_NE(0, button_.StateFlags() & kDefaultMarking);
  EXPECT_EQ(EdgeState::kDefault, button_.CurrentEdgeState());
  button_.SetShowFocusRect(false);
  EXPECT_EQ(0, button_.StateFlags() & kDefaultMarking);
  EXPECT_EQ(EdgeState::kNormal, button_.CurrentEdgeState());
  button_.AmbientChanged(L"DisplayAsDefault");  // stays off while ShowFocusRect is
  EXPECT_EQ(0, button_.StateFlags() & kDefaultMarking);
  EXPECT_TRUE(site_.messages.empty());

  // In design mode the marking stays and the designer is told why.
  site_.userMode = false;
  button_.AmbientChanged(L"DisplayAsDefault");
  ASSERT_NE(0, button_.StateFlags() & kDefaultMarking);
  button_.SetShowFocusRect(false);
  EXPECT_NE(0, button_.StateFlags() & kDefaultMarking);
  EXPECT_EQ(1u, site_.messages.size());
}

TEST_F(QxButtonModel, ResetDefaultColorsActsInDesignModeOnly) {
  const auto colour = [](qxButtons_H& b) {
    b.SetBackColor(0x102030);
    b.SetForeColor(0x405060);
    b.SetGradientMode(2);
    b.SetGradientColor(0x708090);
    b.SetHoverForeColor(0x0000FF);
    b.SetHoverBackColor(0x00FF00);
  };
  colour(button_);
  ASSERT_EQ(3, button_.HoverColorLocks());
  button_.SetResetDefaultColors(true);  // run mode: nothing
  EXPECT_EQ(0x102030u, button_.BackColor());

  site_.userMode = false;
  button_.SetResetDefaultColors(false);
  EXPECT_EQ(0x102030u, button_.BackColor());
  reports_.clear();
  button_.SetResetDefaultColors(true);
  EXPECT_EQ(kButtonFace, button_.BackColor());
  EXPECT_EQ(kButtonText, button_.ForeColor());
  EXPECT_EQ(kButtonFace, button_.GradientColor());
  EXPECT_EQ(0, button_.GradientMode());
  EXPECT_EQ(0, button_.HoverColorLocks());
  EXPECT_EQ(kButtonFace, button_.HoverBackColor());
  EXPECT_EQ(kButtonText, button_.HoverForeColor());
  EXPECT_FALSE(button_.ResetDefaultColors());
  ASSERT_GE(reports_.size(), 2u);
  EXPECT_EQ(L"cGradient", reports_[reports_.size() - 2]);
  EXPECT_EQ(L"cBack", reports_.back());
  EXPECT_FALSE(button_.DrawingDelayed());
}

TEST_F(QxButtonModel, KeyUpOfShiftAndArrowsIsConsumedAndOtherKeysPass) {
  EventTrace trace(button_);
  for (const std::int16_t key : {16, 0x25, 0x28, 0x41, 0x0D}) {
    button_.KeyUp(key, 0);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"KeyUp65", L"KeyUp13"}), trace.log);
  button_.KeyDown(16, 1);  // only its release is consumed
  EXPECT_EQ(1, trace.Count(L"KeyDown16"));
}

TEST_F(QxButtonModel, MouseIconMakesThePointerCustom) {
  button_.SetMousePointer(3);
  reports_.clear();
  button_.SetMouseIcon(std::make_shared<FakePicture>(PictureKind::kIcon, L"hand.cur"));
  EXPECT_EQ(qxButtons_H::kCustomPointer, button_.MousePointer());
  EXPECT_EQ(qxButtons_H::kCustomPointer, site_.appliedPointer);
  EXPECT_EQ((std::vector<std::wstring>{L"mPointer", L"mIcon"}), reports_);
  PropertyBag bag;
  button_.WriteProperties(bag);
  EXPECT_EQ(99, bag.Read<std::int32_t>(L"mPointer", 0));
}

TEST_F(QxButtonModel, SecondClickOfADoubleClickIsNoClick) {
  EventTrace trace(button_);
  button_.MouseDown(1, 0, 5, 5);
  button_.MouseUp(1, 0, 5, 5);
  button_.PlatformClick();
  button_.DoubleClick(5, 5);
  button_.Click();  // a click now would be the double click's second one
  button_.MouseUp(1, 0, 5, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"MouseDown1", L"Click", L"DoubleClick1", L"MouseDown1"}),
            trace.log);
  // After the release the next click counts again.
  button_.MouseDown(1, 0, 5, 5);
  button_.MouseUp(1, 0, 5, 5);
  button_.PlatformClick();
  EXPECT_EQ(2, trace.Count(L"Click"));

  // A double click of another button presses nothing.
  button_.MouseDown(2, 0, 5, 5);
  button_.MouseUp(2, 0, 5, 5);
  button_.DoubleClick(5, 5);
  EXPECT_EQ(L"DoubleClick2", trace.log[trace.log.size() - 2]);
  EXPECT_EQ(L"MouseDown1", trace.log.back());
  EXPECT_EQ(0, button_.StateFlags() & kPressed);
}

TEST_F(QxButtonModel, ComingBackWithTheButtonHeldHoldsItAgain) {
  for (const std::int32_t mode : {0, 1}) {
    FakeSite site;
    qxButtons_H button(site);
    button.SetMode(mode);
    site.pointerOver = true;
    button.MouseMove(1, 0, 5, 5);
    button.MouseDown(1, 0, 5, 5);
    site.pointerOver = false;
    site.leftButtonDown = true;
    button.HoverTimerTick(qxButtons_H::kHoverTimerId);
    EXPECT_FALSE(button.HeldDown());
    EXPECT_FALSE(button.ShownPressed());
    site.pointerOver = true;
    button.MouseMove(1, 0, 5, 5);
    EXPECT_TRUE(button.HeldDown()) << mode;
    EXPECT_TRUE(button.ShownPressed());
    EXPECT_EQ(mode == 0 ? EdgeState::kPressed : EdgeState::kSunken, button.CurrentEdgeState());
  }
  // Hovering with the button up holds nothing.
  site_.pointerOver = true;
  button_.MouseMove(0, 0, 5, 5);
  EXPECT_FALSE(button_.HeldDown());
}

TEST_F(QxButtonModel, SpaceReleaseRaisesKeyUpAfterTheClickOfACommandButtonOnly) {
  const struct {
    std::int32_t mode;
    std::vector<std::wstring> events;
  } cases[] = {
      {0, {L"KeyDown32", L"Click", L"KeyUp32"}},
      {1, {L"KeyDown32", L"KeyUp32", L"Click"}},
      {2, {L"KeyDown32", L"KeyUp32", L"Click"}},
  };
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& button = own.button;
    EventTrace trace(button);
    button.KeyDown(0x20, 0);
    EXPECT_TRUE(button.HeldDown());
    button.KeyUp(0x20, 0);
    EXPECT_EQ(c.events, trace.log) << c.mode;
    EXPECT_EQ(c.mode != 0, button.Value());
    EXPECT_FALSE(button.HeldDown());
    EXPECT_EQ(0, button.StateFlags() & kPressed);
  }
}

TEST_F(QxButtonModel, CustomClickOnAPlainShapeIsStoredWithAWordInDesignMode) {
  const struct {
    bool userMode;
    bool customShape;
    std::int32_t value;
    std::size_t messages;
  } cases[] = {
      {false, false, 3, 1}, {false, true, 3, 0}, {false, false, 0, 0}, {true, false, 3, 0}};
  for (const auto& c : cases) {
    FakeSite site;
    qxButtons_H button(site);
    site.userMode = c.userMode;
    if (c.customShape) {
      button.SetPicture(std::make_shared<FakePicture>(PictureKind::kBitmap, L"a.bmp"));
      button.SetButtonShape(7);
    }
    site.messages.clear();
    button.SetCustomClick(c.value);
    EXPECT_EQ(c.value, button.CustomClick());
    ASSERT_EQ(c.messages, site.messages.size()) << c.userMode << c.customShape << c.value;
    if (c.messages == 1) {
      EXPECT_EQ(L"This property has no effect unless the Button Shape is a custom shape.",
                site.messages[0]);
    }
  }
}

TEST_F(QxButtonModel, AButtonJoiningTheGroupSetClearsTheOthers) {
  qxButtons_H checkBox(site_);
  button_.SetMode(2);
  button_.SetValue(true);
  checkBox.SetMode(1);
  checkBox.SetValue(true);
  checkBox.SetMode(2);
  EXPECT_TRUE(checkBox.Value());
  EXPECT_FALSE(button_.Value());

  // So does one read set from the bag.
  PropertyBag stored;
  stored.Put(L"Mode", std::int32_t{2});
  stored.Put(L"Value", true);
  qxButtons_H loaded(site_);
  loaded.ReadProperties(stored);
  EXPECT_TRUE(loaded.Value());
  EXPECT_FALSE(checkBox.Value());
  EXPECT_EQ(3, group_.Get(L"qx_OptCount"));
}

TEST_F(QxButtonModel, EnterAndEscapeClickOnlyACommandButton) {
  const struct {
    std::int32_t mode;
    int key;
    int clicks;
  } cases[] = {{0, 13, 1}, {0, 27, 1},   {0, L'G', 1}, {1, 13, 0},
               {1, 27, 0}, {1, L'G', 1}, {2, 13, 0},   {2, L'G', 1}};
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& button = own.button;
    EventTrace trace(button);
    button.AccessKeyPressed(c.key);
    EXPECT_EQ(c.clicks, trace.Count(L"Click")) << c.mode << " " << c.key;
    EXPECT_EQ(c.mode != 0 && c.clicks == 1, button.Value());
  }
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
