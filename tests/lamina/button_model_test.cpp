#include "button_model.h"

#include <gtest/gtest.h>

#include <utility>

#include <string>
#include <vector>

namespace svctune::lamina {
namespace {

// Captions measure 100 twips per character and 200 twips high at 9 points.
scene::Size Metric(const std::wstring& text, const FontSpec& font) {
  return scene::Size{100.0 * static_cast<double>(text.size()) * font.points / 9.0,
                     200.0 * font.points / 9.0};
}

class EventLog : public ButtonEvents {
 public:
  void Click() override { log.push_back("Click"); }
  void MouseUp(short& button, short&, float&, float&) override {
    log.push_back("MouseUp" + std::to_string(button));
  }
  void MouseDown(short& button, short&, float& x, float& y) override {
    log.push_back("MouseDown" + std::to_string(button));
    lastX = x;
    lastY = y;
  }
  void MouseMove(short& button, short&, float&, float&) override {
    log.push_back("MouseMove" + std::to_string(button));
  }
  void KeyUp(short& keyCode, short&) override { log.push_back("KeyUp" + std::to_string(keyCode)); }
  void KeyDown(short& keyCode, short&) override {
    log.push_back("KeyDown" + std::to_string(keyCode));
  }
  void KeyPress(short& keyAscii) override { log.push_back("KeyPress" + std::to_string(keyAscii)); }
  std::vector<std::string> log;
  float lastX = 0;
  float lastY = 0;
};

class ButtonModelTest : public ::testing::Test {
 protected:
  ButtonModelTest()
      : model(Metric, events, [this](std::wstring_view name) { changed.emplace_back(name); }) {
    ambient.displayName = L"Command1";
    model.InitProperties(ambient);
    model.Resize(1245, 510);
    changed.clear();
  }
  const scene::Rect& Face() const { return model.wBACK().at(ButtonModel::kFace).bounds; }
  const scene::Rect& CaptionBox() const { return model.wBACK().at(ButtonModel::kCaption).bounds; }
  OleColour FaceColour() const { return model.wBACK().at(ButtonModel::kFace).backColour; }
  OleColour CaptionColour() const { return model.wBACK().at(ButtonModel::kCaption).foreColour; }

  scene::AmbientInfo ambient;
  EventLog events;
  std::vector<std::wstring> changed;
  ButtonModel model;
};

TEST_F(ButtonModelTest, LayoutLeavesStripsAndCentresTheCaption) {
  EXPECT_EQ(model.Caption(), L"Command1");
  EXPECT_DOUBLE_EQ(Face().width, 1200);
  EXPECT_DOUBLE_EQ(Face().height, 480);
  EXPECT_DOUBLE_EQ(CaptionBox().width, 800);
  EXPECT_DOUBLE_EQ(CaptionBox().left, 200);
  EXPECT_DOUBLE_EQ(CaptionBox().top, 140);
  // Sizes the 16-bit fields cannot hold, and sizes below the strips, change nothing.
  for (const auto& [width, height] :
       {std::pair{40000, 500}, std::pair{1245, -40000}, std::pair{44, 500}, std::pair{1245, 29}}) {
    EXPECT_FALSE(model.Resize(width, height)) << width << " by " << height;
    EXPECT_EQ(model.StoredWidth(), 1245);
    EXPECT_EQ(model.StoredHeight(), 510);
    EXPECT_DOUBLE_EQ(Face().height, 480);
  }
  EXPECT_TRUE(model.Resize(45, 30));
  EXPECT_DOUBLE_EQ(Face().width, 0);
}

TEST_F(ButtonModelTest, CaptionChangeRecentresAtOnceButFontWaitsForRelease) {
  model.SetCaption(L"Longer text");
  EXPECT_DOUBLE_EQ(CaptionBox().left, (1200 - 1100) / 2.0);
  FontSpec big;
  big.points = 18;
  model.SetFont(big);
  EXPECT_DOUBLE_EQ(CaptionBox().width, 2200);
  EXPECT_DOUBLE_EQ(CaptionBox().left, 50);
  model.MouseDown(1, 0, 10, 10);
  model.MouseUp(1, 0, 10, 10);
  EXPECT_DOUBLE_EQ(CaptionBox().left, (1200 - 2200) / 2.0);
  EXPECT_EQ(changed, (std::vector<std::wstring>{L"Caption", L"Font"}));
}

TEST_F(ButtonModelTest, LeftPressShiftsFaceAndReleaseClicks) {
  model.MouseDown(1, 0, 300, 200);
  EXPECT_DOUBLE_EQ(Face().left, 45);
  EXPECT_DOUBLE_EQ(Face().top, 30);
  EXPECT_DOUBLE_EQ(CaptionBox().left, 245);
  EXPECT_DOUBLE_EQ(CaptionBox().top, 170);
  EXPECT_FLOAT_EQ(events.lastX, 100);  // relative to the caption label, which lies on top
  model.MouseUp(1, 0, 300, 200);
  EXPECT_DOUBLE_EQ(Face().left, 0);
  EXPECT_DOUBLE_EQ(CaptionBox().left, 200);
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown1", "Click", "MouseUp1"}));
}

TEST_F(ButtonModelTest, RightButtonDoesNothingButMovesStillArrive) {
  model.MouseDown(2, 0, 300, 200);
  model.MouseMove(2, 0, 310, 200);
  model.MouseUp(2, 0, 300, 200);
  EXPECT_DOUBLE_EQ(Face().left, 0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove2"}));
  EXPECT_TRUE(model.TimerEnabled());
}

TEST_F(ButtonModelTest, UncoveredStripsRaiseNothing) {
  model.MouseDown(1, 0, 1220, 100);
  model.MouseUp(1, 0, 1220, 100);
  model.MouseDown(1, 0, 100, 495);
  EXPECT_TRUE(events.log.empty());
}

TEST_F(ButtonModelTest, EnterAutoRepeatKeepsOnePressAndReleaseClicksOnce) {
  model.KeyDown(kEnterKey, 0);
  model.KeyDown(kEnterKey, 0);
  model.KeyDown(kEnterKey, 0);
  EXPECT_DOUBLE_EQ(CaptionBox().left, 245);
  EXPECT_TRUE(model.KeyPressed());
  model.KeyUp(kEnterKey, 0);
  EXPECT_DOUBLE_EQ(Face().left, 0);
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"KeyDown13", "KeyDown13", "KeyDown13", "Click", "KeyUp13"}));
}

TEST_F(ButtonModelTest, EnterUpWithoutDownAndOtherKeysOnlyRaiseKeyEvents) {
  model.KeyUp(kEnterKey, 0);
  model.KeyDown(32, 0);
  model.KeyPress(32);
  model.KeyUp(32, 0);
  EXPECT_DOUBLE_EQ(Face().left, 0);
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"KeyUp13", "KeyDown32", "KeyPress32", "KeyUp32"}));
}

TEST_F(ButtonModelTest, HoverTestCountsRightAndBottomEdgesAsInside) {
  const ScreenRect window{100, 50, 183, 84};
  model.MouseMove(0, 0, 100, 100);
  model.HoverTick(window, {183, 84});
  EXPECT_TRUE(model.Hovered());
  EXPECT_EQ(FaceColour(), kDefaultFocusBack);
  EXPECT_EQ(CaptionColour(), kDefaultFocusFore);
  model.HoverTick(window, {184, 84});
  EXPECT_FALSE(model.TimerEnabled());
  EXPECT_EQ(FaceColour(), kDefaultUnFocusBack);
  EXPECT_EQ(CaptionColour(), kDefaultUnFocusFore);
  model.MouseMove(0, 0, 100, 100);
  model.HoverTick(window, {100, 49});
  EXPECT_FALSE(model.Hovered());
}

TEST_F(ButtonModelTest, UnFocusBackSetWhileHoveredShowsAfterLeaving) {
  const ScreenRect window{0, 0, 80, 30};
  model.MouseMove(0, 0, 100, 100);
  model.HoverTick(window, {10, 10});
  model.SetUnFocusBack(0x00FF00);
  EXPECT_EQ(FaceColour(), kDefaultFocusBack);
  EXPECT_EQ(model.UnFocusBack(), 0x00FF00u);
  model.HoverTick(window, {10, 10});
  EXPECT_EQ(FaceColour(), kDefaultFocusBack);
  model.HoverTick(window, {90, 10});
  EXPECT_EQ(FaceColour(), 0x00FF00u);
}

TEST_F(ButtonModelTest, DisabledButtonIgnoresInput) {
  model.SetEnabled(false);
  model.MouseDown(1, 0, 300, 200);
  model.MouseMove(0, 0, 300, 200);
  model.KeyDown(kEnterKey, 0);
  EXPECT_TRUE(events.log.empty());
  EXPECT_DOUBLE_EQ(Face().left, 0);
}

TEST_F(ButtonModelTest, UnchangedNewButtonWritesNothingAndLowerCaseBagReadsTheSame) {
  PropertyBag written;
  model.WriteProperties(written, ambient);
  EXPECT_EQ(written.size(), 0u);

  PropertyBag stored;
  FontSpec font;
  font.name = L"黑体";
  font.points = 12;
  stored.Put(L"caption", std::wstring(L"确定"));
  stored.Put(L"font", font);
  stored.Put(L"unfocusback", std::int32_t{0x123456});
  stored.Put(L"_extentx", std::int32_t{1000});
  ButtonModel other(Metric, events, nullptr);
  other.ReadProperties(stored, ambient);
  EXPECT_EQ(other.Caption(), L"确定");
  EXPECT_EQ(other.Font(), font);
  EXPECT_EQ(other.UnFocusBack(), 0x123456u);
  EXPECT_EQ(other.wBACK().at(ButtonModel::kFace).backColour, 0x123456u);
  EXPECT_TRUE(other.Enabled());

  PropertyBag rewritten;
  other.WriteProperties(rewritten, ambient);
  EXPECT_EQ(rewritten.size(), 3u);
  EXPECT_EQ(rewritten.Read<std::wstring>(L"Caption", L""), L"确定");
}

TEST_F(ButtonModelTest, EmptyBagLooksLikeANewButton) {
  ButtonModel other(Metric, events, nullptr);
  other.ReadProperties(PropertyBag{}, ambient);
  EXPECT_EQ(other.Caption(), model.Caption());
  EXPECT_EQ(other.Font(), model.Font());
  EXPECT_EQ(other.FocusFore(), model.FocusFore());
  EXPECT_EQ(other.FocusBack(), model.FocusBack());
  EXPECT_EQ(other.UnFocusFore(), model.UnFocusFore());
  EXPECT_EQ(other.UnFocusBack(), model.UnFocusBack());
}

}  // namespace
}  // namespace svctune::lamina
