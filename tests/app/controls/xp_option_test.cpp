// The XP-style check box: its click, hover and focus state machine, the properties and their
// bag, and the three variants.
#include "controls/xp_option.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace svctune {
namespace {

FontSpec AmbientFont() {
  FontSpec font;
  font.name = L"宋体";
  font.points = 9;
  return font;
}

class XPOptionTest : public ::testing::Test {
 protected:
  XPOptionTest() : control_(XPOptionVariant::kXPOption, AmbientFont()) {
    control_.OnValueChanged([this](bool& value) { raised_.push_back(value); });
    control_.OnPropertyChanged([this](std::wstring_view key) { reported_.emplace_back(key); });
  }

  void Click() {
    control_.MouseDown();
    control_.MouseUp();
  }

  XPOption control_;
  std::vector<bool> raised_;
  std::vector<std::wstring> reported_;
};

TEST_F(XPOptionTest, NewControlIsUncheckedWithTheDesignCaption) {
  EXPECT_FALSE(control_.Value());
  EXPECT_TRUE(control_.Enabled());
  EXPECT_EQ(L"XP Option Button", control_.Caption());
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
  EXPECT_FALSE(control_.TimerEnabled());
  EXPECT_FALSE(control_.FocusFrameVisible());
}

TEST_F(XPOptionTest, ClickTogglesOnceAndRaisesValueChangedOnceWithTheNewValue) {
  Click();
  EXPECT_TRUE(control_.Value());
  EXPECT_EQ(std::vector<bool>{true}, raised_);
  EXPECT_EQ(CheckImage::kChecked, control_.ShownImage());
  EXPECT_FALSE(control_.MouseHeld());

  Click();
  EXPECT_FALSE(control_.Value());
  EXPECT_EQ((std::vector<bool>{true, false}), raised_);
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
  // The toggle by a click is not reported as a property change.
  EXPECT_TRUE(reported_.empty());
}

TEST_F(XPOptionTest, PressShowsTheDownImageOfTheCurrentValue) {
  control_.MouseDown();
  EXPECT_EQ(CheckImage::kDown, control_.ShownImage());
  EXPECT_TRUE(control_.MouseHeld());
  EXPECT_FALSE(control_.Value());
  EXPECT_TRUE(raised_.empty());
  control_.MouseUp();

  control_.MouseDown();
  EXPECT_EQ(CheckImage::kCheckedDown, control_.ShownImage());
}

TEST_F(XPOptionTest, HandlerThatRestoresTheOldValueKeepsTheOldImage) {
  control_.OnValueChanged([](bool& value) { value = !value; });
  control_.MouseDown();
  control_.MouseUp();
  EXPECT_FALSE(control_.Value());
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
}

TEST_F(XPOptionTest, HandlerSeesTheToggledValueOnTheControlItself) {
  bool seen = false;
  control_.OnValueChanged([&](bool&) { seen = control_.Value(); });
  Click();
  EXPECT_TRUE(seen);
}

TEST_F(XPOptionTest, HandlerMayDestroyTheControl) {
  auto owned = std::make_unique<XPOption>(XPOptionVariant::kXPOption, AmbientFont());
  int calls = 0;
  owned->OnValueChanged([&](bool&) {
    ++calls;
    owned.reset();
  });
  owned->MouseDown();
  owned->MouseUp();
  EXPECT_EQ(1, calls);
  EXPECT_EQ(nullptr, owned);
}

TEST_F(XPOptionTest, ReleaseWithoutPressIsNoClick) {
  control_.MouseUp();
  EXPECT_FALSE(control_.Value());
  EXPECT_TRUE(raised_.empty());
}

TEST_F(XPOptionTest, LostCaptureCancelsThePress) {
  control_.MouseDown();
  control_.MouseCaptureLost();
  EXPECT_FALSE(control_.MouseHeld());
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
  control_.MouseUp();
  EXPECT_FALSE(control_.Value());
  EXPECT_TRUE(raised_.empty());
}

TEST_F(XPOptionTest, MoveShowsHoverAndStartsTheTimer) {
  control_.MouseMove({100, 200});
  EXPECT_EQ(CheckImage::kOver, control_.ShownImage());
  EXPECT_TRUE(control_.TimerEnabled());

  control_.SetValue(true);
  control_.MouseMove({101, 200});
  EXPECT_EQ(CheckImage::kCheckedOver, control_.ShownImage());
}

TEST_F(XPOptionTest, TimerKeepsHoverWhileTheCursorStaysWhereTheLastMoveLeftIt) {
  control_.MouseMove({100, 200});
  control_.TimerTick({100, 200});
  control_.TimerTick({100, 200});
  EXPECT_EQ(CheckImage::kOver, control_.ShownImage());
  EXPECT_TRUE(control_.TimerEnabled());
}

TEST_F(XPOptionTest, TimerEndsHoverWhenTheCursorMovedAwayInXOrY) {
  control_.MouseMove({100, 200});
  control_.TimerTick({100, 260});
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
  EXPECT_FALSE(control_.TimerEnabled());

  control_.SetValue(true);
  control_.MouseMove({100, 200});
  control_.TimerTick({40, 200});
  EXPECT_EQ(CheckImage::kChecked, control_.ShownImage());
  EXPECT_FALSE(control_.TimerEnabled());
}

TEST_F(XPOptionTest, HeldMouseIgnoresMovesAndTicks) {
  control_.MouseMove({10, 10});
  control_.MouseDown();
  control_.MouseMove({500, 500});
  EXPECT_EQ(CheckImage::kDown, control_.ShownImage());
  control_.TimerTick({900, 900});
  EXPECT_EQ(CheckImage::kDown, control_.ShownImage());
  EXPECT_TRUE(control_.TimerEnabled());

  // Released far away: still a click, and back to the normal image of the new value.
  control_.MouseUp();
  EXPECT_EQ(std::vector<bool>{true}, raised_);
  EXPECT_EQ(CheckImage::kChecked, control_.ShownImage());
  // The move while held did not count: the last position is still the one before the press.
  control_.MouseMove({10, 10});
  control_.TimerTick({10, 10});
  EXPECT_EQ(CheckImage::kCheckedOver, control_.ShownImage());
}

TEST_F(XPOptionTest, ValueFromCodeRaisesNothingReportsAndShowsTheNormalImage) {
  control_.MouseMove({1, 1});
  control_.SetValue(true);
  EXPECT_TRUE(control_.Value());
  EXPECT_TRUE(raised_.empty());
  EXPECT_EQ(std::vector<std::wstring>{L"Value"}, reported_);
  EXPECT_EQ(CheckImage::kChecked, control_.ShownImage());
  control_.SetValue(false);
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());
}

TEST_F(XPOptionTest, SettersReportTheirBagKeys) {
  control_.SetCaption(L"关闭");
  control_.SetEnabled(false);
  FontSpec bold = AmbientFont();
  bold.bold = true;
  control_.SetFont(bold);
  EXPECT_EQ((std::vector<std::wstring>{L"Caption", L"Enabled", L"Font"}), reported_);
  EXPECT_EQ(L"关闭", control_.Caption());
  EXPECT_TRUE(control_.Font().bold);
}

TEST_F(XPOptionTest, EnabledIsMirroredToTheLabel) {
  control_.SetEnabled(false);
  EXPECT_FALSE(control_.Enabled());
  EXPECT_FALSE(control_.LabelEnabled());
  control_.SetEnabled(true);
  EXPECT_TRUE(control_.LabelEnabled());

  PropertyBag bag;
  bag.Put(L"Enabled", false);
  control_.ReadProperties(bag);
  EXPECT_FALSE(control_.LabelEnabled());
}

TEST_F(XPOptionTest, DisplayListenerHearsEveryVisibleChange) {
  int changes = 0;
  control_.OnDisplayChanged([&] { ++changes; });
  control_.MouseMove({1, 1});
  control_.MouseDown();
  control_.MouseUp();
  control_.FocusGained();
  control_.SetCaption(L"x");
  control_.SetLabelSize(300, 180);
  control_.SetLabelSize(300, 180);
  EXPECT_EQ(6, changes);
}

TEST_F(XPOptionTest, FocusFrameSurroundsTheLabelByTwoUnits) {
  control_.SetLabelSize(900, 180);
  control_.FocusGained();
  EXPECT_TRUE(control_.FocusFrameVisible());
  const TwipsRect label = control_.LabelRect();
  EXPECT_EQ((TwipsRect{255, 0, 900, 180}), label);
  EXPECT_EQ((TwipsRect{253, -2, 904, 184}), control_.FocusFrame());
  control_.FocusLost();
  EXPECT_FALSE(control_.FocusFrameVisible());
}

TEST(XPOptionVariants, HeightOnResize) {
  const FontSpec font = AmbientFont();
  XPOption option(XPOptionVariant::kXPOption, font);
  XPOption command(XPOptionVariant::kMyCmd, font);
  XPOption opt(XPOptionVariant::kMyOpt, font);
  // The height of imgNone (13 pixels) in twips, whatever the resolution.
  EXPECT_EQ(195, option.HeightOnResize(96));
  EXPECT_EQ(156, option.HeightOnResize(120));
  EXPECT_EQ(156, command.HeightOnResize(120));
  // MyOpt keeps one text line of 195 twips.
  EXPECT_EQ(195, opt.HeightOnResize(96));
  EXPECT_EQ(195, opt.HeightOnResize(120));
}

TEST(XPOptionVariants, DesignsDiffer) {
  const XPOptionDesign& option = DesignOf(XPOptionVariant::kXPOption);
  const XPOptionDesign& command = DesignOf(XPOptionVariant::kMyCmd);
  const XPOptionDesign& opt = DesignOf(XPOptionVariant::kMyOpt);
  EXPECT_EQ(L"XPOption", option.name);
  EXPECT_EQ(L"MyCmd", command.name);
  EXPECT_EQ(L"MyOpt", opt.name);
  EXPECT_NE(option.artwork, command.artwork);
  EXPECT_NE(option.artwork, opt.artwork);
  EXPECT_NE(command.artwork, opt.artwork);
  EXPECT_NE(option.labelLeft, command.labelLeft);
  EXPECT_NE(option.labelLeft, opt.labelLeft);
}

TEST(XPOptionVariants, CaptionFontOfANewControl) {
  const FontSpec ambient = AmbientFont();
  EXPECT_EQ(ambient, XPOption(XPOptionVariant::kXPOption, ambient).Font());
  EXPECT_EQ(ambient, XPOption(XPOptionVariant::kMyCmd, ambient).Font());
  const FontSpec opt = XPOption(XPOptionVariant::kMyOpt, ambient).Font();
  EXPECT_EQ(L"Verdana", opt.name);

  // Read from a bag without "Font", every variant takes the container's font.
  XPOption stored(XPOptionVariant::kMyOpt, ambient);
  stored.ReadProperties(PropertyBag{});
  EXPECT_EQ(ambient, stored.Font());
}

TEST_F(XPOptionTest, EmptyBagReadsTheDefaultsAndWritesNothing) {
  control_.SetValue(true);
  control_.SetEnabled(false);
  control_.ReadProperties(PropertyBag{});
  EXPECT_EQ(L"XP Check Box", control_.Caption());
  EXPECT_TRUE(control_.Enabled());
  EXPECT_FALSE(control_.Value());
  EXPECT_EQ(AmbientFont(), control_.Font());
  EXPECT_EQ(CheckImage::kNone, control_.ShownImage());

  PropertyBag written;
  control_.WriteProperties(written);
  EXPECT_EQ(0u, written.size());
}

TEST_F(XPOptionTest, BagRoundTrip) {
  FontSpec font = AmbientFont();
  font.name = L"Tahoma";
  font.italic = true;
  control_.SetCaption(L"退出");
  control_.SetValue(true);
  control_.SetEnabled(false);
  control_.SetFont(font);
  PropertyBag bag;
  control_.WriteProperties(bag);
  EXPECT_EQ(4u, bag.size());

  XPOption restored(XPOptionVariant::kXPOption, AmbientFont());
  restored.ReadProperties(bag);
  EXPECT_EQ(L"退出", restored.Caption());
  EXPECT_TRUE(restored.Value());
  EXPECT_FALSE(restored.Enabled());
  EXPECT_FALSE(restored.LabelEnabled());
  EXPECT_EQ(font, restored.Font());
  EXPECT_EQ(CheckImage::kChecked, restored.ShownImage());
}

TEST_F(XPOptionTest, BagKeysIgnoreLetterCaseAndWrongKindsReadTheDefault) {
  PropertyBag bag;
  bag.Put(L"caption", std::wstring(L"小写"));
  bag.Put(L"VALUE", true);
  bag.Put(L"enabled", std::int32_t{0});  // a number where a boolean belongs
  bag.Put(L"font", std::wstring(L"not a font"));
  control_.ReadProperties(bag);
  EXPECT_EQ(L"小写", control_.Caption());
  EXPECT_TRUE(control_.Value());
  EXPECT_TRUE(control_.Enabled());
  EXPECT_EQ(AmbientFont(), control_.Font());
}

}  // namespace
}  // namespace svctune
