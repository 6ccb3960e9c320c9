#include "progress_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svctune::lamina {
namespace {

// 100 twips per character, 200 twips high.
scene::Size Metric(const std::wstring& text, const FontSpec&) {
  return scene::Size{100.0 * static_cast<double>(text.size()), 200.0};
}

class ProgressLog : public ProgressEvents {
 public:
  void Progress(short& value) override {
    values.push_back(value);
    value = -1;  // a handler may change its argument; nothing reads it back
  }
  std::vector<short> values;
};

class ProgressModelTest : public ::testing::Test {
 protected:
  ProgressModelTest()
      : model(
            Metric, events, [this](std::wstring_view name) { changed.emplace_back(name); },
            [this](int width, int height) {
              requested.push_back({width, height});
            }) {
    model.InitProperties(ambient);
    model.Resize(1500, 255);
    changed.clear();
  }
  const scene::Rect& Bar() const { return model.Children().at(ProgressModel::kPress).bounds; }
  const scene::Element& Text() const { return model.Children().at(ProgressModel::kTxtPress); }

  scene::AmbientInfo ambient;
  ProgressLog events;
  std::vector<std::wstring> changed;
  std::vector<std::pair<int, int>> requested;
  ProgressModel model;
};

TEST_F(ProgressModelTest, BarLengthIsValueTimesTheRoundedUnitStep) {
  EXPECT_EQ(model.UnitStep().Scaled(), 150000);
  model.SetValue(37);
  EXPECT_DOUBLE_EQ(Bar().left, -15);
  EXPECT_DOUBLE_EQ(Bar().top, -15);
  EXPECT_DOUBLE_EQ(Bar().width, 555);
  EXPECT_DOUBLE_EQ(Bar().height, 255);
  EXPECT_EQ(Text().caption, L"37/100");

  model.Resize(1000, 255);
  model.SetMax(3);
  EXPECT_EQ(model.UnitStep().Scaled(), 3333333);
  model.SetValue(3);
  EXPECT_DOUBLE_EQ(Bar().width, 999.9999);
}

TEST_F(ProgressModelTest, ValueIsClampedAndEveryAssignmentRaisesProgress) {
  struct Case {
    short assigned;
    short stored;
  };
  for (const Case& c : {Case{150, 100}, Case{-5, 0}, Case{40, 40}, Case{40, 40}}) {
    model.SetValue(c.assigned);
    EXPECT_EQ(model.Value(), c.stored) << c.assigned;
    EXPECT_EQ(events.values.back(), c.stored);
  }
  EXPECT_EQ(events.values.size(), 4u);
  EXPECT_EQ(changed, std::vector<std::wstring>(4, L"Value"));
}

TEST_F(ProgressModelTest, MaxBelowOneIsIgnoredAndALowerMaxPullsTheValueDown) {
  model.SetValue(80);
  events.values.clear();
  changed.clear();
  for (short ignored : {0, -3}) {
    model.SetMax(ignored);
  }
  EXPECT_EQ(model.Max(), 100);
  EXPECT_TRUE(changed.empty());

  model.SetMax(200);
  EXPECT_EQ(model.Value(), 80);
  EXPECT_EQ(Text().caption, L"80/100");  // the look waits for the next assignment
  EXPECT_DOUBLE_EQ(Bar().width, 1200);
  EXPECT_TRUE(events.values.empty());

  model.SetMax(50);
  EXPECT_EQ(model.Value(), 50);
  EXPECT_EQ(events.values, std::vector<short>{50});
  EXPECT_EQ(Text().caption, L"50/50");
  EXPECT_EQ(changed, (std::vector<std::wstring>{L"Max", L"Max", L"Value"}));
}

TEST_F(ProgressModelTest, VerticalExchangesTheSidesHidesTheTextAndFillsFromBelow) {
  model.SetValue(50);
  model.SetVertical(true);
  EXPECT_EQ(requested, (std::vector<std::pair<int, int>>{{255, 1500}}));
  EXPECT_EQ(model.StoredWidth(), 255);
  EXPECT_EQ(model.StoredHeight(), 1500);
  EXPECT_FALSE(model.ShowTxt());
  EXPECT_DOUBLE_EQ(Bar().top, (1500 - 15) - 750);
  EXPECT_DOUBLE_EQ(Bar().height, 1500);
  model.SetValue(100);
  EXPECT_DOUBLE_EQ(Bar().top, -15);

  model.SetShowTxt(true);
  model.SetVertical(false);
  EXPECT_TRUE(model.ShowTxt());
  EXPECT_DOUBLE_EQ(Bar().width, 1500);
  EXPECT_EQ(changed.back(), L"Vertical");
}

TEST_F(ProgressModelTest, LayoutStopsOnAZeroScaleOrASizeThe16BitFieldsCannotHold) {
  ProgressLog otherEvents;
  ProgressModel fresh(Metric, otherEvents, nullptr, nullptr);
  fresh.Resize(1500, 255);  // Max is 0 before the properties are loaded
  EXPECT_TRUE(fresh.UnitStep().IsZero());
  EXPECT_DOUBLE_EQ(fresh.Children().at(ProgressModel::kPress).bounds.width, 0);

  model.SetValue(10);
  model.Resize(40000, 255);
  EXPECT_EQ(model.StoredWidth(), 1500);
  EXPECT_DOUBLE_EQ(Bar().width, 150);

  PropertyBag zeroMax;
  zeroMax.Put(L"max", std::int32_t{0});
  zeroMax.Put(L"value", std::int32_t{7});
  fresh.ReadProperties(zeroMax, ambient);
  EXPECT_EQ(fresh.Max(), 0);
  EXPECT_EQ(fresh.Value(), 7);
  EXPECT_TRUE(fresh.UnitStep().IsZero());
}

TEST_F(ProgressModelTest, SettingsRoundTripAndDefaultsAreNotWritten) {
  PropertyBag untouched;
  model.WriteProperties(untouched, ambient);
  EXPECT_EQ(untouched.size(), 0u);

  model.SetFillColor(0x00FF00);
  model.SetMax(300);
  model.SetValue(120);
  model.SetShowTxt(false);
  PropertyBag bag;
  model.WriteProperties(bag, ambient);
  EXPECT_EQ(bag.size(), 4u);

  ProgressLog otherEvents;
  ProgressModel loaded(Metric, otherEvents, nullptr, nullptr);
  loaded.Resize(1500, 255);
  loaded.ReadProperties(bag, ambient);
  EXPECT_EQ(loaded.FillColor(), 0x00FF00u);
  EXPECT_EQ(loaded.Max(), 300);
  EXPECT_EQ(loaded.Value(), 120);
  EXPECT_FALSE(loaded.ShowTxt());
  EXPECT_EQ(loaded.UnitStep().Scaled(), 50000);  // laid out once the scale is known
  EXPECT_TRUE(otherEvents.values.empty());
}

}  // namespace
}  // namespace svctune::lamina
