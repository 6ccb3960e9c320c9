#include "movebar_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svctune::lamina {
namespace {

scene::Size Metric(const std::wstring& text, const FontSpec& font) {
  return scene::Size{100.0 * static_cast<double>(text.size()), 200.0 * font.points / 9.0};
}

constexpr WindowHandle kHolder = 0x1234;

// A screen with one window, recording what the bar does to it.
class FakeWindows : public WindowSystem {
 public:
  WindowHandle HolderWindow() override { return kHolder; }
  std::optional<ScreenRect> WindowRect(WindowHandle) override { return window; }
  std::optional<ScreenRect> DesktopRect() override { return ScreenRect{0, 0, 1024, 768}; }
  std::optional<ScreenRect> TaskbarRect() override { return taskbar; }
  std::optional<ScreenPoint> CursorPos() override { return pointer; }
  void ShowWindow(WindowHandle target, int command) override {
    log.push_back("show " + std::to_string(target) + " " + std::to_string(command));
  }
  void PlaceWindow(WindowHandle, int x, int y, int width, int height) override {
    log.push_back("place " + std::to_string(x) + "," + std::to_string(y) + " " +
                  std::to_string(width) + "x" + std::to_string(height));
  }
  void MoveWindow(WindowHandle, int x, int y) override {
    window = ScreenRect{x, y, x + window.right - window.left, y + window.bottom - window.top};
  }
  void Close(WindowHandle target) override { log.push_back("close " + std::to_string(target)); }
  void SetTitle(WindowHandle target, const std::wstring& title) override {
    log.push_back("title " + std::to_string(target));
    lastTitle = title;
  }
  bool PumpOnce() override {
    ++pumps;
    return onPump ? onPump(pumps) : true;
  }

  ScreenRect window{100, 100, 400, 300};
  std::optional<ScreenRect> taskbar;
  ScreenPoint pointer{150, 105};
  std::function<bool(int)> onPump;
  int pumps = 0;
  std::vector<std::string> log;
  std::wstring lastTitle;
};

class MoveBarModelTest : public ::testing::Test {
 protected:
  MoveBarModelTest()
      : model(Metric, windows, [this](std::wstring_view name) { changed.emplace_back(name); }) {
    ambient.displayName = L"MoveBar1";
    model.InitProperties(ambient);
    model.Resize(2400, 500);
    changed.clear();
  }
  void Click(std::size_t button, short mouseButton = scene::kLeftButton) {
    const scene::Rect& bounds = model.Surface().at(button).bounds;
    model.MouseDown(mouseButton, 0, bounds.left + 10, bounds.top + 10);
    model.MouseUp(mouseButton, 0, bounds.left + 10, bounds.top + 10);
  }

  scene::AmbientInfo ambient;
  FakeWindows windows;
  std::vector<std::wstring> changed;
  MoveBarModel model;
};

TEST_F(MoveBarModelTest, LayoutFixesTheHeightAndPlacesTheButtonsAtTheRightEnd) {
  struct Case {
    int width;
    int height;
    int laidWidth;
  };
  for (const Case& c : {Case{2400, 500, 2400}, Case{1200, 100, 1600}}) {
    model.Resize(c.width, c.height);
    EXPECT_EQ(model.Width(), c.laidWidth);
    EXPECT_EQ(model.Height(), 270);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(model.Surface().at(i).bounds.left, c.laidWidth - 720 + 240 * static_cast<int>(i));
    }
    EXPECT_EQ(model.Surface().at(MoveBarModel::kTitle).bounds.top, (270 - 200) / 2);
  }
  model.SetMinimize(false);
  EXPECT_EQ(model.Surface().at(MoveBarModel::kMaximise).bounds.left, 1600 - 480);
  EXPECT_FALSE(model.Surface().at(MoveBarModel::kMinimise).visible);
}

TEST_F(MoveBarModelTest, ButtonsActOnTheHoldingWindow) {
  Click(MoveBarModel::kMinimise);
  Click(MoveBarModel::kClose);
  EXPECT_EQ(windows.log, (std::vector<std::string>{"show 4660 6", "close 4660"}));
  windows.log.clear();
  Click(MoveBarModel::kClose, scene::kRightButton);
  EXPECT_TRUE(windows.log.empty());
  const scene::Element& close = model.Surface().at(MoveBarModel::kClose);
  EXPECT_EQ(close.backColour, kBarButtonPressedFace);
  EXPECT_EQ(close.foreColour, kBarButtonPressedText);
}

TEST_F(MoveBarModelTest, MaximiseFitsToTheTaskbarThenRestores) {
  struct Case {
    ScreenRect taskbar;
    std::string placed;
  };
  for (const Case& c : {
           Case{{-2, 738, 1026, 770}, "place 0,0 1024x738"},
           Case{{-2, -2, 60, 770}, "place 59,0 966x768"},
           Case{{-2, -2, 1026, 30}, "place 0,29 1024x740"},
           Case{{980, -2, 1026, 770}, "place 0,0 980x768"},
       }) {
    windows.taskbar = c.taskbar;
    windows.log.clear();
    Click(MoveBarModel::kMaximise);
    EXPECT_EQ(model.Surface().at(MoveBarModel::kMaximise).caption, kRestoreGlyph);
    Click(MoveBarModel::kMaximise);
    EXPECT_EQ(model.Surface().at(MoveBarModel::kMaximise).caption, kMaximiseGlyph);
    EXPECT_EQ(windows.log, (std::vector<std::string>{"show 4660 3", c.placed, "show 4660 9"}));
  }
  windows.taskbar.reset();
  windows.log.clear();
  Click(MoveBarModel::kMaximise);
  EXPECT_EQ(windows.log, (std::vector<std::string>{"show 4660 3"}));
}

TEST_F(MoveBarModelTest, DragMovesTheWindowWithThePointerUntilTheRelease) {
  const std::vector<std::pair<const char*, ScreenPoint>> grips{{"surface", {10, 10}},
                                                               {"title", {250, 50}}};
  for (const auto& [name, grip] : grips) {
    windows.window = ScreenRect{100, 100, 400, 300};
    windows.pointer = ScreenPoint{150, 105};
    windows.pumps = 0;
    windows.onPump = [&](int pumps) {
      windows.pointer = ScreenPoint{150 + 10 * pumps, 105 + 5 * pumps};
      if (pumps == 3) {
        model.MouseUp(scene::kLeftButton, 0, grip.x, grip.y);
      }
      return true;
    };
    model.MouseDown(scene::kLeftButton, 0, grip.x, grip.y);
    EXPECT_FALSE(model.Dragging()) << name;
    EXPECT_EQ(windows.pumps, 3) << name;
    EXPECT_EQ(windows.window, (ScreenRect{130, 115, 430, 315})) << name;
  }
}

TEST_F(MoveBarModelTest, DragEndsWhenThePumpSaysTheMouseIsGone) {
  windows.onPump = [](int pumps) { return pumps < 5; };
  model.MouseDown(scene::kRightButton, 0, 10, 10);
  EXPECT_EQ(windows.pumps, 5);
  EXPECT_FALSE(model.Dragging());
}

TEST_F(MoveBarModelTest, ARightPressOnTheTitleDoesNotDrag) {
  model.MouseDown(scene::kRightButton, 0, 250, 50);
  EXPECT_EQ(windows.pumps, 0);
}

TEST_F(MoveBarModelTest, ShowCopiesTheCaptionToTheHoldingWindow) {
  model.SetCaption(L"系统服务优化");
  model.Show();
  EXPECT_EQ(windows.log, (std::vector<std::string>{"title 4660"}));
  EXPECT_EQ(windows.lastTitle, L"系统服务优化");
}

TEST_F(MoveBarModelTest, PersistenceUsesTheInstanceNameAsTheCaptionDefault) {
  EXPECT_EQ(model.Caption(), L"MoveBar1");
  PropertyBag unchanged;
  model.WriteProperties(unchanged, ambient);
  EXPECT_EQ(unchanged.size(), 0u);

  PropertyBag bag;
  bag.Put(L"backcolor", std::int32_t{0xFF});
  bag.Put(L"norclose", false);
  bag.Put(L"caption", std::wstring(L"Title"));
  model.ReadProperties(bag, ambient);
  EXPECT_EQ(model.BackColor(), 0xFFu);
  EXPECT_FALSE(model.NorClose());
  EXPECT_TRUE(model.Minimize());
  EXPECT_EQ(model.Caption(), L"Title");
  PropertyBag written;
  model.WriteProperties(written, ambient);
  EXPECT_EQ(written.size(), 3u);
  model.SetEnabled(false);
  Click(MoveBarModel::kClose);
  EXPECT_TRUE(windows.log.empty());
}

}  // namespace
}  // namespace svctune::lamina
