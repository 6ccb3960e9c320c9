#include "scroll_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace svctune::lamina {
namespace {

scene::Size Metric(const std::wstring& text, const FontSpec&) {
  return scene::Size{100.0 * static_cast<double>(text.size()), 200.0};
}

class ChangeCounter : public ScrollEvents {
 public:
  void Change() override { ++changes; }
  int changes = 0;
};

// A Vscroll 255 wide and 2295 high, or the Hscroll of the same size turned on its side.
class ScrollModelTest : public ::testing::TestWithParam<ScrollOrientation> {
 protected:
  ScrollModelTest()
      : model(GetParam(), Metric, events,
              [this](std::wstring_view name) { changed.emplace_back(name); }) {
    model.InitProperties();
    EXPECT_TRUE(model.Resize(Vertical() ? 255 : 2295, Vertical() ? 2295 : 255).has_value());
    changed.clear();
  }
  bool Vertical() const { return GetParam() == ScrollOrientation::kVertical; }
  // Mouse input along the track (the other coordinate in the middle of the bar).
  void Down(double along, short button = scene::kLeftButton) {
    Vertical() ? model.MouseDown(button, 0, 120, along) : model.MouseDown(button, 0, along, 120);
  }
  void Move(double along) {
    Vertical() ? model.MouseMove(scene::kLeftButton, 0, 120, along)
               : model.MouseMove(scene::kLeftButton, 0, along, 120);
  }
  void Up(double along, short button = scene::kLeftButton) {
    Vertical() ? model.MouseUp(button, 0, 120, along) : model.MouseUp(button, 0, along, 120);
  }
  const scene::Element& Element(std::size_t id) const { return model.Children().at(id); }

  ChangeCounter events;
  std::vector<std::wstring> changed;
  ScrollModel model;
};

TEST_P(ScrollModelTest, LayoutPlacesTheArrowsAndTheThumbOnTheRoundedScale) {
  EXPECT_EQ(model.MinPos(), 240);
  EXPECT_EQ(model.MaxPos(), 1785);
  EXPECT_EQ(model.UnitStep().Scaled(), 154500);
  const scene::Rect& increment = Element(ScrollModel::kIncrement).bounds;
  EXPECT_DOUBLE_EQ(Vertical() ? increment.top : increment.left, 2040);
  EXPECT_DOUBLE_EQ(Vertical() ? increment.width : increment.height, 255);
  model.SetMoveValue(40);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 858);
  EXPECT_EQ(events.changes, 1);

  // Below the minimum size the layout uses the minimum; past 16 bits it refuses.
  const auto raised = model.Resize(10, 10);
  ASSERT_TRUE(raised.has_value());
  EXPECT_EQ(raised->width, Vertical() ? 200 : 1000);
  EXPECT_EQ(raised->height, Vertical() ? 1000 : 200);
  EXPECT_EQ(model.MaxPos(), 490);
  EXPECT_FALSE(model.Resize(40000, 40000).has_value());
  EXPECT_EQ(model.MaxPos(), 490);
}

TEST_P(ScrollModelTest, RangeAndStepSettersIgnoreWhatBreaksTheirBounds) {
  struct Case {
    Assignment (ScrollModel::*set)(std::int16_t);
    std::int16_t value;
    std::int16_t (ScrollModel::*get)() const;
    std::int16_t expected;
  };
  const Case cases[] = {
      {&ScrollModel::SetMinChange, 200, &ScrollModel::MinChange, 1},
      {&ScrollModel::SetMaxChange, 0, &ScrollModel::MaxChange, 10},
      {&ScrollModel::SetMax, 0, &ScrollModel::Max, 100},
      {&ScrollModel::SetMin, 150, &ScrollModel::Min, 0},
      {&ScrollModel::SetMinChange, 0, &ScrollModel::MinChange, 0},
      {&ScrollModel::SetMaxChange, 100, &ScrollModel::MaxChange, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ((model.*c.set)(c.value), Assignment::kDone);
    EXPECT_EQ((model.*c.get)(), c.expected) << c.value;
  }
  EXPECT_EQ(changed, (std::vector<std::wstring>{L"MinChange", L"MaxChange"}));
  // A range past 16 bits is the overflow error, and nothing changes.
  EXPECT_EQ(model.SetMin(-32768), Assignment::kOverflow);
  ASSERT_EQ(model.SetMin(-32000), Assignment::kDone);
  EXPECT_EQ(model.Min(), -32000);
  EXPECT_EQ(model.SetMax(32767), Assignment::kOverflow);
  EXPECT_EQ(model.Max(), 100);
}

TEST_P(ScrollModelTest, ANarrowerRangePullsTheValueInWithOneChange) {
  model.SetMoveValue(80);
  events.changes = 0;
  ASSERT_EQ(model.SetMax(50), Assignment::kDone);
  EXPECT_EQ(model.MoveValue(), 50);
  EXPECT_EQ(model.SetMin(60), Assignment::kDone);
  EXPECT_EQ(model.Min(), 0);  // 60 is not below Max 50
  ASSERT_EQ(model.SetMin(20), Assignment::kDone);
  EXPECT_EQ(model.MoveValue(), 50);
  EXPECT_EQ(events.changes, 1);
  model.SetMoveValue(500);
  EXPECT_EQ(model.MoveValue(), 50);
  model.SetMoveValue(-500);
  EXPECT_EQ(model.MoveValue(), 20);
}

TEST_P(ScrollModelTest, TrackClicksPageAndTheThumbDragsToTheValueOfItsPlace) {
  model.SetMoveValue(5);
  events.changes = 0;
  Down(241);  // above the thumb (at 317.25)
  Up(241);
  EXPECT_EQ(model.MoveValue(), 0);
  EXPECT_EQ(events.changes, 1);
  Down(1500);  // below
  Up(1500);
  EXPECT_EQ(model.MoveValue(), 10);
  Down(1500, scene::kRightButton);  // only the left button pages
  EXPECT_EQ(model.MoveValue(), 10);
  Up(1500, scene::kRightButton);

  ASSERT_EQ(model.SetMin(20), Assignment::kDone);
  ASSERT_EQ(model.SetMax(120), Assignment::kDone);
  events.changes = 0;
  const double thumb = model.ThumbPos();
  Down(thumb + 100);  // grabbed 100 twips into the thumb
  EXPECT_TRUE(model.Dragging());
  Move(2040);  // over the increment arrow: still the thumb's drag
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 1785);
  Move(1012.5 + 100);                        // half-way
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 1012);  // whole twips
  EXPECT_EQ(events.changes, 0);
  Up(1112);
  EXPECT_EQ(model.MoveValue(), 70);
  EXPECT_EQ(events.changes, 1);
  Down(model.ThumbPos());
  Move(-5000);
  Up(-5000);
  EXPECT_EQ(model.MoveValue(), 20);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 240);
}

TEST_P(ScrollModelTest, ArrowsStepOnceAndComeBackInTheCurrentNormalColours) {
  const double decrementMiddle = 100;
  ASSERT_EQ(model.SetMinChange(3), Assignment::kDone);
  Down(2100);  // the increment arrow
  EXPECT_EQ(Element(ScrollModel::kIncrement).backColour, kDefaultScrollFocusBC);
  EXPECT_EQ(Element(ScrollModel::kIncrement).foreColour, kDefaultScrollFocusFC);
  model.SetUnFocusBC(0x00FF00);
  Up(2100);
  EXPECT_EQ(Element(ScrollModel::kIncrement).backColour, 0x00FF00u);
  EXPECT_EQ(model.MoveValue(), 3);
  Down(decrementMiddle, scene::kRightButton);  // any button steps
  Up(decrementMiddle, scene::kRightButton);
  EXPECT_EQ(model.MoveValue(), 0);
  EXPECT_EQ(events.changes, 2);
}

TEST_P(ScrollModelTest, KeysStepAndAStepPast16BitsIsNotTaken) {
  const short smaller = Vertical() ? kUpKey : kLeftKey;
  const short larger = Vertical() ? kDownKey : kRightKey;
  const short other = Vertical() ? kLeftKey : kUpKey;
  struct Case {
    short key;
    std::int16_t expected;
  };
  for (const Case& c : {Case{kPageDownKey, 10}, Case{larger, 11}, Case{smaller, 10},
                        Case{kPageUpKey, 0}, Case{other, 0}, Case{13, 0}}) {
    EXPECT_EQ(model.HandlesKey(c.key), c.key != other && c.key != 13);
    model.KeyDown(c.key);
    EXPECT_EQ(model.MoveValue(), c.expected) << c.key;
  }
  EXPECT_EQ(events.changes, 4);
  ASSERT_EQ(model.SetMax(32767), Assignment::kDone);
  model.SetMoveValue(32767);
  events.changes = 0;
  model.KeyDown(larger);
  EXPECT_EQ(model.MoveValue(), 32767);
  EXPECT_EQ(events.changes, 0);
}

TEST_P(ScrollModelTest, EveryAssignmentRaisesChangeAlsoWithoutAChangeOfValue) {
  const short larger = Vertical() ? kDownKey : kRightKey;
  const struct {
    const char* what;
    std::function<void()> assign;
    std::int16_t value;
  } cases[] = {
      {"the same value by code", [&] { model.SetMoveValue(0); }, 0},
      {"again", [&] { model.SetMoveValue(0); }, 0},
      {"an arrow at Min",
       [&] {
         Down(100);
         Up(100);
       },
       0},
      {"a page at Min",
       [&] {
         const double below = model.ThumbPos() + 300;
         Down(below);
         Up(below);
       },
       10},
      {"to Max", [&] { model.SetMoveValue(100); }, 100},
      {"a key at Max", [&] { model.KeyDown(larger); }, 100},
      {"past Max", [&] { model.SetMoveValue(500); }, 100},
  };
  int expected = 0;
  for (const auto& c : cases) {
    c.assign();
    EXPECT_EQ(++expected, events.changes) << c.what;
    EXPECT_EQ(c.value, model.MoveValue()) << c.what;
  }
  EXPECT_EQ(std::count(changed.begin(), changed.end(), L"MoveValue"), expected);
}

TEST_P(ScrollModelTest, ArrowsShowTheirCaptionsInTheUnFocusTextColour) {
  const std::wstring captions[] = {Vertical() ? L"\u2227" : L"<", Vertical() ? L"\u2228" : L">"};
  for (const std::size_t arrow : {ScrollModel::kDecrement, ScrollModel::kIncrement}) {
    EXPECT_EQ(Element(arrow).caption, captions[arrow]);
    EXPECT_EQ(Element(arrow).foreColour, kDefaultScrollUnFocusFC);
  }
  model.SetUnFocusFC(0x00FF00);
  EXPECT_EQ(model.UnFocusFC(), 0x00FF00u);
  EXPECT_EQ(changed, std::vector<std::wstring>{L"UnFocusFC"});
  for (const std::size_t arrow : {ScrollModel::kDecrement, ScrollModel::kIncrement}) {
    EXPECT_EQ(Element(arrow).foreColour, 0x00FF00u) << arrow;
  }
  // A pressed arrow takes the focus text colour and comes back in the new one.
  Down(2100);
  EXPECT_EQ(Element(ScrollModel::kIncrement).foreColour, kDefaultScrollFocusFC);
  Up(2100);
  EXPECT_EQ(Element(ScrollModel::kIncrement).foreColour, 0x00FF00u);

  PropertyBag bag;
  model.WriteProperties(bag);
  EXPECT_EQ(bag.Read<std::int32_t>(L"UnFocusFC", 0), 0x00FF00);
  ChangeCounter otherEvents;
  ScrollModel loaded(GetParam(), Metric, otherEvents, nullptr);
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.UnFocusFC(), 0x00FF00u);
  for (const std::size_t arrow : {ScrollModel::kDecrement, ScrollModel::kIncrement}) {
    EXPECT_EQ(loaded.Children().at(arrow).foreColour, 0x00FF00u) << arrow;
  }
}

TEST_P(ScrollModelTest, FocusColoursTheThumbAndFocusColoursAreForDesignTimeOnly) {
  model.GotFocus();
  EXPECT_EQ(Element(ScrollModel::kThumb).backColour, kDefaultScrollFocusBC);
  model.LostFocus();
  EXPECT_EQ(Element(ScrollModel::kThumb).backColour, kDefaultScrollUnFocusBC);
  EXPECT_EQ(model.SetFocusBC(0x123456, true), Assignment::kDesignTimeOnly);
  EXPECT_EQ(model.SetFocusFC(0x123456, true), Assignment::kDesignTimeOnly);
  EXPECT_EQ(model.FocusBC(), kDefaultScrollFocusBC);
  EXPECT_EQ(model.SetFocusBC(0x123456, false), Assignment::kDone);
  EXPECT_EQ(model.FocusBC(), 0x123456u);
  EXPECT_EQ(changed, std::vector<std::wstring>{L"FocusBC"});
}

TEST_P(ScrollModelTest, SettingsRoundTripAndAScaleReadWithMaxEqualToMinDoesNotDivide) {
  PropertyBag untouched;
  model.WriteProperties(untouched);
  // The surface of a new Vscroll is the window background, not the BackColor default.
  EXPECT_EQ(untouched.size(), Vertical() ? 1u : 0u);

  PropertyBag flat;
  flat.Put(L"max", std::int32_t{7});
  flat.Put(L"min", std::int32_t{7});
  flat.Put(L"movevalue", std::int32_t{7});
  ChangeCounter otherEvents;
  ScrollModel loaded(GetParam(), Metric, otherEvents, nullptr);
  loaded.Resize(Vertical() ? 255 : 2295, Vertical() ? 2295 : 255);
  loaded.ReadProperties(flat);
  EXPECT_TRUE(loaded.UnitStep().IsZero());
  loaded.MouseDown(scene::kLeftButton, 0, Vertical() ? 120 : 300, Vertical() ? 300 : 120);
  loaded.MouseUp(scene::kLeftButton, 0, Vertical() ? 120 : 300, Vertical() ? 300 : 120);
  EXPECT_EQ(loaded.MoveValue(), 7);
  EXPECT_EQ(otherEvents.changes, 0);
  PropertyBag written;
  loaded.WriteProperties(written);
  EXPECT_EQ(written.Read<std::int32_t>(L"Max", 0), 7);
  EXPECT_EQ(written.Read<std::int32_t>(L"MoveValue", 0), 7);
}

INSTANTIATE_TEST_SUITE_P(Bars, ScrollModelTest,
                         ::testing::Values(ScrollOrientation::kVertical,
                                           ScrollOrientation::kHorizontal),
                         [](const ::testing::TestParamInfo<ScrollOrientation>& info) {
                           return std::string(
                               info.param == ScrollOrientation::kVertical ? "Vscroll" : "Hscroll");
                         });

}  // namespace
}  // namespace svctune::lamina
