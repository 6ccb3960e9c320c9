#include "scene/scene.h"

#include <gtest/gtest.h>

#include <vector>

namespace svctune::scene {
namespace {

// Ten twips per character, 180 twips high, whatever the font.
Size FixedMetric(const std::wstring& text, const FontSpec& font) {
  return Size{10.0 * static_cast<double>(text.size()) * font.points / 9.0, 180};
}

struct Recorded {
  std::size_t id;
  MouseAction action;
  short button;
  float x;
  float y;
};

class Recorder : public LabelMouseHandler {
 public:
  void LabelMouse(std::size_t id, MouseAction action, short button, short, float x,
                  float y) override {
    events.push_back({id, action, button, x, y});
  }
  void LabelClick(std::size_t id) override { clicks.push_back(id); }
  void SurfaceMouse(MouseAction action, short button, short, float x, float y) override {
    events.push_back({kOnSurface, action, button, x, y});
  }
  static constexpr std::size_t kOnSurface = 99;
  std::vector<Recorded> events;
  std::vector<std::size_t> clicks;
};

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : scene(FixedMetric) {
    back = scene.AddLabel();
    rect = scene.AddFilledRect();
    front = scene.AddLabel();
    scene.Move(back, 0, 0, 1000, 500);
    scene.Move(rect, 100, 100, 300, 300);
    scene.Move(front, 200, 200, 100, 100);
    scene.SetMouseHandler(&recorder);
  }
  Scene scene;
  Recorder recorder;
  std::size_t back = 0;
  std::size_t rect = 0;
  std::size_t front = 0;
};

TEST_F(SceneTest, TopmostVisibleLabelReceivesTheHit) {
  EXPECT_EQ(scene.HitTest(250, 250), front);
  scene.SendToBack(front);
  EXPECT_EQ(scene.HitTest(250, 250), back);
  scene.BringToFront(front);
  scene.SetVisible(front, false);
  EXPECT_EQ(scene.HitTest(250, 250), back);
}

TEST_F(SceneTest, FilledRectanglesLetTheMouseFallThrough) {
  EXPECT_EQ(scene.HitTest(150, 150), back);
  scene.SetVisible(back, false);
  EXPECT_FALSE(scene.HitTest(150, 150).has_value());
}

TEST_F(SceneTest, RightAndBottomEdgesLieOutsideAnElement) {
  EXPECT_EQ(scene.HitTest(299.5, 200), front);
  EXPECT_EQ(scene.HitTest(300, 200), back);
  EXPECT_EQ(scene.HitTest(200, 300), back);
  EXPECT_FALSE(scene.HitTest(1000, 10).has_value());
}

TEST_F(SceneTest, PressedLabelKeepsTheMouseAndClicksOnlyOnLeftReleaseOverIt) {
  scene.MouseDown(kLeftButton, 0, 250, 260);
  scene.MouseMove(kLeftButton, 0, 900, 400);
  scene.MouseUp(kLeftButton, 0, 250, 250);
  ASSERT_EQ(recorder.events.size(), 3u);
  for (const Recorded& event : recorder.events) {
    EXPECT_EQ(event.id, front);
  }
  EXPECT_FLOAT_EQ(recorder.events[0].x, 50);
  EXPECT_FLOAT_EQ(recorder.events[0].y, 60);
  EXPECT_FLOAT_EQ(recorder.events[1].x, 700);
  EXPECT_EQ(recorder.clicks, std::vector<std::size_t>{front});

  scene.MouseDown(kLeftButton, 0, 250, 250);
  scene.MouseUp(kLeftButton, 0, 900, 400);
  scene.MouseDown(kRightButton, 0, 250, 250);
  scene.MouseUp(kRightButton, 0, 250, 250);
  EXPECT_EQ(recorder.clicks.size(), 1u);
  EXPECT_FALSE(scene.HasCapture());
}

TEST_F(SceneTest, ThePressedSurfaceKeepsTheMouseOverLabelsAndNeverClicks) {
  scene.SetVisible(back, false);
  scene.MouseMove(0, 0, 150, 150);  // over the filled rectangle: the surface's
  scene.MouseDown(kLeftButton, 0, 150, 150);
  scene.MouseMove(kLeftButton, 0, 250, 250);  // over the front label, still the surface's
  scene.MouseUp(kLeftButton, 0, 250, 250);
  scene.MouseMove(0, 0, 250, 250);
  ASSERT_EQ(recorder.events.size(), 5u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(recorder.events[i].id, Recorder::kOnSurface);
  }
  EXPECT_FLOAT_EQ(recorder.events[2].x, 250);  // surface coordinates
  EXPECT_EQ(recorder.events[3].action, MouseAction::kUp);
  EXPECT_EQ(recorder.events[4].id, front);
  EXPECT_TRUE(recorder.clicks.empty());
  EXPECT_FALSE(scene.HasCapture());
}

TEST_F(SceneTest, AutoSizedLabelFollowsCaptionAndFontAndReportsCaptionChanges) {
  std::vector<std::size_t> changed;
  scene.OnCaptionChanged([&](std::size_t id) { changed.push_back(id); });
  scene.SetAutoSize(front, true);
  scene.SetCaption(front, L"abcd");
  EXPECT_DOUBLE_EQ(scene.at(front).bounds.width, 40);
  EXPECT_DOUBLE_EQ(scene.at(front).bounds.height, 180);
  FontSpec big;
  big.points = 18;
  scene.SetFont(front, big);
  EXPECT_DOUBLE_EQ(scene.at(front).bounds.width, 80);
  scene.SetCaption(front, L"abcd");
  EXPECT_EQ(changed, std::vector<std::size_t>{front});
  scene.SetCaption(back, L"x");
  EXPECT_DOUBLE_EQ(scene.at(back).bounds.width, 1000);
}

TEST_F(SceneTest, PointerComesFromTheLabelUnderTheMouse) {
  scene.SetPointer(front, MousePointer::kHand);
  EXPECT_EQ(scene.PointerAt(250, 250), MousePointer::kHand);
  EXPECT_EQ(scene.PointerAt(50, 50), MousePointer::kDefault);
  scene.MouseDown(kLeftButton, 0, 250, 250);
  EXPECT_EQ(scene.PointerAt(50, 50), MousePointer::kHand);
}

}  // namespace
}  // namespace svctune::scene
