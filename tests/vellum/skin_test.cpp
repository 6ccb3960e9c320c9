#include "corvid_form_model.h"
#include "skin_layout.h"
#include "version_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace svctune::vellum {
namespace {

TEST(SkinLayoutTest, SmallSizesRiseToTheMinimum) {
  const SkinLayout layout = LayoutSkin(1000, 500, false);
  EXPECT_EQ(layout.width, 1750);
  EXPECT_EQ(layout.height, 1100);
  EXPECT_EQ(MinimumWidth(1751), 1751);
  EXPECT_EQ(MinimumHeight(1100), 1100);
}

TEST(SkinLayoutTest, PaintingStepsForAGateSizedControl) {
  const SkinLayout layout = LayoutSkin(5000, 3000, true);
  const std::vector<SkinBlit> expected = {
      {{420, 0, 120, 600}, {420, 0, 5000, 600}},
      {{420, 1785, 120, 600}, {420, 2400, 5000, 600}},
      {{0, 880, 200, 40}, {0, 0, 200, 3000}},
      {{3615, 880, 210, 40}, {4790, 0, 210, 3000}},
      {{0, 0, 450, 600}, {0, 0, 450, 600}},
      {{0, 1785, 450, 600}, {0, 2400, 450, 600}},
      {{2160, 0, 1660, 435}, {3335, 0, 1640, 435}},
      {{2160, 1860, 1665, 525}, {3335, 2475, 1665, 525}},
  };
  ASSERT_EQ(layout.frame.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(layout.frame[i].source, expected[i].source) << "step " << i + 2;
    EXPECT_EQ(layout.frame[i].destination, expected[i].destination) << "step " << i + 2;
  }
  EXPECT_EQ(layout.icon, (TwipRect{100, 80, 240, 240}));
  EXPECT_EQ(layout.closeButton, (TwipRect{4510, 100, 120, 135}));
  EXPECT_EQ(layout.dragArea, (TwipRect{0, 0, 4300, 375}));
  EXPECT_EQ(layout.body, (TwipRect{50, 415, 4872, 2495}));
}

TEST(SkinLayoutTest, CaptionStartsAfterTheIconOnlyWhenThereIsOne) {
  EXPECT_EQ(LayoutSkin(3000, 2000, true).captionLeft, 401);
  EXPECT_EQ(LayoutSkin(3000, 2000, false).captionLeft, 101);
  EXPECT_EQ(LayoutSkin(3000, 2000, false).captionShadowTop, 101);
  EXPECT_EQ(LayoutSkin(3000, 2000, false).captionTop, 100);
}

class FormEvents : public CorvidFormEvents {
 public:
  void UnloadClick() override { log.push_back("UnloadClick"); }
  void Click() override { log.push_back("Click"); }
  void DblClick() override { log.push_back("DblClick"); }
  void MouseMove(short&, short&, float&, float&) override { log.push_back("MouseMove"); }
  void MouseUp(short&, short&, float&, float&) override { log.push_back("MouseUp"); }
  void MouseDown(short&, short&, float&, float&) override { log.push_back("MouseDown"); }
  std::vector<std::string> log;
};

class CorvidFormModelTest : public ::testing::Test {
 protected:
  CorvidFormModelTest() : model(events) { model.Relayout(4000, 3000, true); }
  FormEvents events;
  CorvidFormModel model;
  // Middle of the close button at (3510, 100), 120 x 135.
  static constexpr double kCloseX = 3570;
  static constexpr double kCloseY = 160;
};

TEST_F(CorvidFormModelTest, CloseButtonLooks) {
  EXPECT_EQ(model.Look(), CloseLook::kInitial);
  model.MouseMove(0, 0, kCloseX, kCloseY);
  EXPECT_EQ(model.Look(), CloseLook::kBright);
  model.MouseMove(0, 0, 2000, 2000);
  EXPECT_EQ(model.Look(), CloseLook::kDark);
  EXPECT_EQ(events.log, std::vector<std::string>{"MouseMove"});
  model.MouseMove(0, 0, kCloseX, kCloseY);
  model.MouseDown(1, 0, kCloseX, kCloseY);
  EXPECT_EQ(model.Look(), CloseLook::kDark);
  model.MouseUp(1, 0, kCloseX, kCloseY);
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove", "UnloadClick"}));
}

TEST_F(CorvidFormModelTest, CloseReleasedElsewhereDoesNotUnload) {
  model.MouseDown(1, 0, kCloseX, kCloseY);
  model.MouseUp(1, 0, 2000, 2000);
  model.MouseDown(2, 0, kCloseX, kCloseY);
  model.MouseUp(2, 0, kCloseX, kCloseY);
  EXPECT_TRUE(events.log.empty());
}

TEST_F(CorvidFormModelTest, OnlyALeftPressOnTheTitleDrags) {
  EXPECT_EQ(model.MouseDown(1, 0, 500, 200), DragRequest::kMoveWindow);
  model.MouseUp(1, 0, 500, 200);
  EXPECT_EQ(model.MouseDown(2, 0, 500, 200), DragRequest::kNone);
  model.MouseUp(2, 0, 500, 200);
  EXPECT_EQ(model.MouseDown(1, 0, 500, 1000), DragRequest::kNone);
  EXPECT_EQ(model.PartAt(3299, 100), SkinPart::kDragArea);
  EXPECT_EQ(model.PartAt(3300, 100), SkinPart::kSurface);
  EXPECT_EQ(model.PartAt(500, 375), SkinPart::kSurface);
}

TEST_F(CorvidFormModelTest, SurfaceRaisesMouseEventsThenClick) {
  model.MouseDown(1, 0, 500, 1000);
  model.MouseUp(1, 0, 500, 1000);
  model.DoubleClick(500, 1000);
  model.DoubleClick(500, 100);
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown", "MouseUp", "Click", "DblClick"}));
}

TEST_F(CorvidFormModelTest, CaptionPersistsWithEmptyDefault) {
  PropertyBag bag;
  model.WriteProperties(bag);
  EXPECT_EQ(bag.size(), 0u);
  model.SetCaption(L"设置登陆密码验证");
  model.WriteProperties(bag);
  PropertyBag lower;
  lower.Put(L"caption", std::wstring(L"设置登陆密码验证"));
  CorvidFormModel other(events);
  other.ReadProperties(lower);
  EXPECT_EQ(other.Caption(), L"设置登陆密码验证");
  EXPECT_EQ(bag.Read<std::wstring>(L"CAPTION", L""), L"设置登陆密码验证");
}

TEST(VersionTextTest, ReadsFixedFileInfoAndFormatsMajorMinorRevision) {
  std::vector<unsigned char> block(92, 0xbd);
  const unsigned char fixed[] = {0xBD, 0x04, 0xEF, 0xFE, 0, 0, 1, 0,
                                 2,    0,    1,    0,    7, 0, 3, 0};  // 1.2.3.7
  std::copy(std::begin(fixed), std::end(fixed), block.begin() + 40);
  const auto version = ParseFileVersion(block.data(), block.size());
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->major, 1);
  EXPECT_EQ(version->minor, 2);
  EXPECT_EQ(version->build, 3);
  EXPECT_EQ(version->revision, 7);
  EXPECT_EQ(VersionLabel(*version), L"版本 1.2.7");
  EXPECT_FALSE(ParseFileVersion(block.data(), 50).has_value());
  EXPECT_FALSE(ParseFileVersion(nullptr, 0).has_value());
}

}  // namespace
}  // namespace svctune::vellum
