// The gradient progress bar: clamping, colour translation, the property bag, and the exact
// lines and colours a refresh draws.
#include "controls/progress_bar.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

namespace svctune {
namespace {

constexpr OleColour kFaceRgb = 0xC8D0D4;

// System colours as a display might have them; index 0xFF does not exist.
class FakeSystemColours {
 public:
  ColourTranslator Translator() {
    return [this](OleColour colour) -> std::optional<OleColour> {
      auto found = colours_.find(static_cast<int>(colour & 0xFF));
      if (found == colours_.end()) {
        return std::nullopt;
      }
      return found->second;
    };
  }
  void Set(int index, OleColour rgb) { colours_[index] = rgb; }

 private:
  std::map<int, OleColour> colours_{{0x0F, kFaceRgb}, {0x05, 0xFFFFFF}, {0x12, 0x000000}};
};

class ProgressBarTest : public ::testing::Test {
 protected:
  ProgressBarTest() : bar_(system_.Translator()) {
    bar_.OnPropertyChanged([this](std::wstring_view key) { reported_.emplace_back(key); });
    bar_.OnRefresh([this] { ++refreshes_; });
  }

  FakeSystemColours system_;
  ProgressBar bar_;
  std::vector<std::wstring> reported_;
  int refreshes_ = 0;
};

TEST_F(ProgressBarTest, NewBarHasTheDefaults) {
  EXPECT_EQ(100, bar_.Steps());
  EXPECT_EQ(0, bar_.Value());
  EXPECT_EQ(0xFFFFFFu, bar_.FromColor());
  EXPECT_EQ(0xFF0000u, bar_.ToColor());
  EXPECT_EQ(kFaceRgb, bar_.BackColor());
  EXPECT_EQ(5, bar_.BorderStyle());
  EXPECT_EQ(0u, bar_.BorderColor());
  EXPECT_EQ(1, bar_.Orientation());
}

TEST_F(ProgressBarTest, ValueIsClampedToZeroThroughSteps) {
  bar_.SetValue(150);
  EXPECT_EQ(100, bar_.Value());
  bar_.SetValue(-3);
  EXPECT_EQ(0, bar_.Value());
  bar_.SetSteps(-10);
  EXPECT_EQ(0, bar_.Steps());
  bar_.SetValue(1);
  EXPECT_EQ(0, bar_.Value());
}

TEST_F(ProgressBarTest, LoweringStepsBelowValueLowersValue) {
  bar_.SetValue(80);
  reported_.clear();
  refreshes_ = 0;
  bar_.SetSteps(30);
  EXPECT_EQ(30, bar_.Value());
  EXPECT_EQ((std::vector<std::wstring>{L"Steps", L"Value"}), reported_);
  EXPECT_EQ(1, refreshes_);
}

TEST_F(ProgressBarTest, StepAddsThroughTheClampedSetter) {
  bar_.Step(30);
  bar_.Step(30);
  EXPECT_EQ(60, bar_.Value());
  bar_.Step(-100);
  EXPECT_EQ(0, bar_.Value());
  bar_.SetSteps(INT_MAX);
  bar_.SetValue(INT_MAX - 1);
  bar_.Step(INT_MAX);
  EXPECT_EQ(INT_MAX, bar_.Value());
  bar_.SetValue(0);
  bar_.Step(INT_MIN);
  EXPECT_EQ(0, bar_.Value());
}

TEST_F(ProgressBarTest, EverySetterReportsItsKeyAndRefreshesOnce) {
  bar_.SetSteps(50);
  bar_.SetValue(10);
  bar_.SetFromColor(0x123456);
  bar_.SetToColor(0x654321);
  bar_.SetBackColor(0x000080);
  bar_.SetBorderStyle(2);
  bar_.SetBorderColor(0x00FF00);
  bar_.SetOrientation(3);
  bar_.Step(1);
  EXPECT_EQ((std::vector<std::wstring>{L"Steps", L"Value", L"FromColor", L"ToColor", L"BackColor",
                                       L"BorderStyle", L"BorderColor", L"Orientation", L"Value"}),
            reported_);
  EXPECT_EQ(9, refreshes_);
}

TEST_F(ProgressBarTest, EnumeratedPropertiesHaveNoRangeCheck) {
  bar_.SetOrientation(7);
  bar_.SetBorderStyle(-4);
  EXPECT_EQ(7, bar_.Orientation());
  EXPECT_EQ(-4, bar_.BorderStyle());
}

TEST_F(ProgressBarTest, SystemColourIsStoredAsItsRgbAtThatMoment) {
  bar_.SetFromColor(0x8000000F);
  EXPECT_EQ(kFaceRgb, bar_.FromColor());
  system_.Set(0x0F, 0x112233);
  EXPECT_EQ(kFaceRgb, bar_.FromColor());
  EXPECT_EQ(kFaceRgb, bar_.LineColour(0));

  bar_.SetBorderColor(0x80000012);
  EXPECT_EQ(0u, bar_.BorderColor());
  bar_.SetToColor(0x80000005);
  EXPECT_EQ(0xFFFFFFu, bar_.ToColor());
  bar_.SetBackColor(0x8000000F);
  EXPECT_EQ(0x112233u, bar_.BackColor());
}

TEST_F(ProgressBarTest, UntranslatableColourIsStoredUnchanged) {
  bar_.SetBackColor(0x800000FF);
  EXPECT_EQ(0x800000FFu, bar_.BackColor());
  // Drawing uses the RGB bits only.
  EXPECT_EQ(0x0000FFu, bar_.Drawing(10, 10).backColour);
}

TEST_F(ProgressBarTest, ValueZeroDrawsNothingButBackAndBorder) {
  const ProgressBarDrawing drawing = bar_.Drawing(200, 20);
  EXPECT_TRUE(drawing.lines.empty());
  EXPECT_EQ(kFaceRgb, drawing.backColour);
  EXPECT_EQ(BorderKind::kSunken, drawing.border);
}

TEST_F(ProgressBarTest, HalfOfHundredStepsDrawsLinesZeroTo127) {
  bar_.SetValue(50);
  const ProgressBarDrawing drawing = bar_.Drawing(200, 20);
  ASSERT_EQ(128u, drawing.lines.size());
  for (std::size_t i = 0; i < drawing.lines.size(); ++i) {
    EXPECT_EQ(static_cast<int>(i), drawing.lines[i].index);
  }
  EXPECT_TRUE(bar_.LineFilled(127));
  EXPECT_FALSE(bar_.LineFilled(128));
}

TEST_F(ProgressBarTest, FullBarDrawsAll256Lines) {
  bar_.SetValue(100);
  EXPECT_EQ(256u, bar_.Drawing(200, 20).lines.size());
}

TEST_F(ProgressBarTest, BoundaryLineIsDecidedExactly) {
  // 85 x 3 / 255 is exactly 1: line 85 is drawn, line 86 is not.
  bar_.SetSteps(3);
  bar_.SetValue(1);
  EXPECT_EQ(86u, bar_.Drawing(100, 10).lines.size());
  // One step of one: every line.
  bar_.SetSteps(1);
  bar_.SetValue(1);
  EXPECT_EQ(256u, bar_.Drawing(100, 10).lines.size());
  // More steps than lines: the first line needs a non-zero value.
  bar_.SetSteps(1000);
  bar_.SetValue(3);
  EXPECT_EQ(1u, bar_.Drawing(100, 10).lines.size());
}

TEST_F(ProgressBarTest, StepsZeroFillsNothing) {
  bar_.SetSteps(0);
  bar_.SetValue(5);
  EXPECT_TRUE(bar_.Drawing(100, 10).lines.empty());
}

TEST_F(ProgressBarTest, GradientRunsFromFromColorToToColor) {
  bar_.SetValue(100);
  const ProgressBarDrawing drawing = bar_.Drawing(300, 20);
  EXPECT_EQ(0xFFFFFFu, drawing.lines.front().colour);
  EXPECT_EQ(0xFF0000u, drawing.lines.back().colour);
  // Line 127: red and green 255 - 127, blue stays 255.
  EXPECT_EQ(Rgb(128, 128, 255), drawing.lines[127].colour);
}

TEST_F(ProgressBarTest, LineColoursRoundEachComponent) {
  bar_.SetFromColor(Rgb(10, 200, 0));
  bar_.SetToColor(Rgb(20, 0, 255));
  // red 10 + i x 10/255, green 200 - i x 200/255, blue i.
  EXPECT_EQ(Rgb(10, 200, 0), bar_.LineColour(0));
  EXPECT_EQ(Rgb(10, 199, 1), bar_.LineColour(1));      // 10.04, 199.22, 1
  EXPECT_EQ(Rgb(15, 100, 128), bar_.LineColour(128));  // 15.02, 99.61, 128
  EXPECT_EQ(Rgb(20, 0, 255), bar_.LineColour(255));
}

TEST_F(ProgressBarTest, LineCoordinatesOfEachOrientation) {
  bar_.SetValue(100);
  struct Expected {
    int orientation;
    int extentX;
    int extentY;
    GradientLine first;
    GradientLine last;
  };
  const std::vector<Expected> cases{
      {0, 200, 255, {0, 0, 0, 256, 200, 256}, {255, 0, 0, 1, 200, 1}},
      {1, 255, 30, {0, 0, -1, 0, -1, 30}, {255, 0, 254, 0, 254, 30}},
      {2, 255, 30, {0, 0, 256, 0, 256, 30}, {255, 0, 1, 0, 1, 30}},
      {3, 200, 255, {0, 0, 0, -1, 200, -1}, {255, 0, 0, 254, 200, 254}},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(expected.orientation);
    bar_.SetOrientation(expected.orientation);
    const ProgressBarDrawing drawing = bar_.Drawing(200, 30);
    EXPECT_EQ(expected.extentX, drawing.windowExtentX);
    EXPECT_EQ(expected.extentY, drawing.windowExtentY);
    EXPECT_EQ(3, drawing.penWidth);
    ASSERT_EQ(256u, drawing.lines.size());
    for (const auto& [line, want] : {std::pair{drawing.lines.front(), expected.first},
                                     std::pair{drawing.lines.back(), expected.last}}) {
      EXPECT_EQ(want.index, line.index);
      EXPECT_EQ(want.fromX, line.fromX);
      EXPECT_EQ(want.fromY, line.fromY);
      EXPECT_EQ(want.toX, line.toX);
      EXPECT_EQ(want.toY, line.toY);
    }
  }
}

TEST_F(ProgressBarTest, OrientationWithoutDirectionFillsNothing) {
  bar_.SetValue(100);
  bar_.SetOrientation(4);
  const ProgressBarDrawing drawing = bar_.Drawing(200, 30);
  EXPECT_TRUE(drawing.lines.empty());
  EXPECT_EQ(BorderKind::kSunken, drawing.border);
}

TEST(ProgressBarBorder, KindOfEachStyle) {
  EXPECT_EQ(BorderKind::kNone, BorderKindOf(0));
  EXPECT_EQ(BorderKind::kBump, BorderKindOf(1));
  EXPECT_EQ(BorderKind::kEtched, BorderKindOf(2));
  EXPECT_EQ(BorderKind::kRaised, BorderKindOf(3));
  EXPECT_EQ(BorderKind::kLine, BorderKindOf(4));
  EXPECT_EQ(BorderKind::kSunken, BorderKindOf(5));
  EXPECT_EQ(BorderKind::kNone, BorderKindOf(6));
  EXPECT_EQ(BorderKind::kNone, BorderKindOf(-1));
}

TEST_F(ProgressBarTest, BorderColourOfALineBorder) {
  bar_.SetBorderStyle(4);
  bar_.SetBorderColor(0x0000FF);
  const ProgressBarDrawing drawing = bar_.Drawing(50, 10);
  EXPECT_EQ(BorderKind::kLine, drawing.border);
  EXPECT_EQ(0x0000FFu, drawing.borderColour);
}

TEST_F(ProgressBarTest, InitPropertiesRestoresDefaultsAndRefreshes) {
  bar_.SetValue(40);
  bar_.SetOrientation(0);
  refreshes_ = 0;
  reported_.clear();
  bar_.InitProperties();
  EXPECT_EQ(0, bar_.Value());
  EXPECT_EQ(1, bar_.Orientation());
  EXPECT_EQ(kFaceRgb, bar_.BackColor());
  EXPECT_EQ(1, refreshes_);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(ProgressBarTest, DefaultsWriteOnlyTheTranslatedBackColour) {
  PropertyBag bag;
  bar_.WriteProperties(bag);
  // The stored back colour is RGB, never the system colour that is the bag's default.
  ASSERT_EQ(1u, bag.size());
  EXPECT_EQ(static_cast<std::int32_t>(kFaceRgb), bag.Read<std::int32_t>(L"BackColor", 0));
}

TEST_F(ProgressBarTest, BagRoundTripOfAllEightKeys) {
  bar_.SetSteps(40);
  bar_.SetValue(25);
  bar_.SetFromColor(0x0000FF);
  bar_.SetToColor(0x00FF00);
  bar_.SetBackColor(0x202020);
  bar_.SetBorderStyle(4);
  bar_.SetBorderColor(0x0080FF);
  bar_.SetOrientation(3);
  PropertyBag bag;
  bar_.WriteProperties(bag);
  EXPECT_EQ(8u, bag.size());

  ProgressBar restored(system_.Translator());
  int refreshes = 0;
  restored.OnRefresh([&] { ++refreshes; });
  restored.ReadProperties(bag);
  EXPECT_EQ(40, restored.Steps());
  EXPECT_EQ(25, restored.Value());
  EXPECT_EQ(0x0000FFu, restored.FromColor());
  EXPECT_EQ(0x00FF00u, restored.ToColor());
  EXPECT_EQ(0x202020u, restored.BackColor());
  EXPECT_EQ(4, restored.BorderStyle());
  EXPECT_EQ(0x0080FFu, restored.BorderColor());
  EXPECT_EQ(3, restored.Orientation());
  EXPECT_EQ(1, refreshes);
}

TEST_F(ProgressBarTest, ReadingAnEmptyBagGivesTheDefaults) {
  bar_.SetValue(70);
  bar_.ReadProperties(PropertyBag{});
  EXPECT_EQ(100, bar_.Steps());
  EXPECT_EQ(0, bar_.Value());
  EXPECT_EQ(kFaceRgb, bar_.BackColor());
  EXPECT_EQ(5, bar_.BorderStyle());
  EXPECT_EQ(1u, reported_.size());  // only the SetValue above
}

TEST_F(ProgressBarTest, DamagedBagValuesAreCorrectedOrIgnored) {
  PropertyBag bag;
  bag.Put(L"steps", std::int32_t{-5});
  bag.Put(L"VALUE", std::int32_t{9});
  bag.Put(L"fromcolor", std::wstring(L"red"));
  bag.Put(L"BackColor", static_cast<std::int32_t>(0x80000005));
  bag.Put(L"bordercolor", static_cast<std::int32_t>(0x800000FF));
  bag.Put(L"Orientation", true);
  bar_.ReadProperties(bag);
  EXPECT_EQ(0, bar_.Steps());
  EXPECT_EQ(0, bar_.Value());
  EXPECT_EQ(0xFFFFFFu, bar_.FromColor());
  EXPECT_EQ(0xFFFFFFu, bar_.BackColor());
  EXPECT_EQ(0x800000FFu, bar_.BorderColor());
  EXPECT_EQ(1, bar_.Orientation());

  PropertyBag tooHigh;
  tooHigh.Put(L"Steps", std::int32_t{10});
  tooHigh.Put(L"Value", std::int32_t{11});
  bar_.ReadProperties(tooHigh);
  EXPECT_EQ(10, bar_.Value());
}

}  // namespace
}  // namespace svctune
