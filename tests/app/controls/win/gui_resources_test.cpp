// GDI and USER objects stay flat while the controls repaint, hide and show, and come and go.
// The counts are taken after a first round, since first use allocates (fonts, caches).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/win/progress_bar_view.h"
#include "controls/win/xp_option_view.h"
#include "test_host.h"
#include "win/gdi_font.h"
#include "win/gui_resources.h"

namespace svctune::testing {
namespace {

using win::ProgressBarView;
using win::XPOptionView;

TEST(GuiObjectCounter, SeesEachNewObject) {
  const auto createWindow = [] {
    return CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Instance(),
                           nullptr);
  };
  // A thread's windows bring a window of the input method along, which stays while any
  // top-level window of the thread is there.
  const HWND anchor = createWindow();
  const GuiObjectCounts before = CurrentGuiObjectCounts();
  win::ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  const HWND window = createWindow();
  const GuiObjectCounts during = CurrentGuiObjectCounts();
  DestroyWindow(window);
  brush.Reset();
  EXPECT_EQ(before.gdi + 1, during.gdi);
  EXPECT_EQ(before.user + 1, during.user);
  EXPECT_EQ(before, CurrentGuiObjectCounts());
  DestroyWindow(anchor);
}

// A panel with check boxes, option buttons and a label, an XPOption on it and a second bar.
class Scene {
 public:
  explicit Scene(HWND form) {
    PropertyBag bag;
    bag.Put(L"Value", std::int32_t{60});
    panel_ = ProgressBarView::Create(Instance(), form, 1, RECT{0, 0, 300, 180}, &bag);
    for (int i = 0; i < 3; ++i) {
      CreateChild(panel_->hwnd(), L"Button", L"自动", BS_AUTOCHECKBOX, 10 + i, 10, 10 + 25 * i, 100,
                  20);
    }
    CreateChild(panel_->hwnd(), L"Button", L"细致优化", BS_AUTORADIOBUTTON, 20, 150, 10, 100, 20);
    CreateChild(panel_->hwnd(), L"Static", L"说明", SS_LEFT, 21, 150, 40, 100, 20);
    option_ = XPOptionView::Create(Instance(), panel_->hwnd(), 30, RECT{10, 100, 120, 120},
                                   XPOptionVariant::kXPOption, L"关闭", FontSpec{});
    bar_ = ProgressBarView::Create(Instance(), form, 2, RECT{0, 190, 300, 210}, nullptr);
    UpdateWindow(form);
  }
  bool ok() const { return panel_ && option_ && bar_; }
  ProgressBarView& panel() { return *panel_; }
  XPOptionView& option() { return *option_; }
  ProgressBarView& bar() { return *bar_; }

 private:
  std::unique_ptr<ProgressBarView> panel_;
  std::unique_ptr<XPOptionView> option_;
  std::unique_ptr<ProgressBarView> bar_;
};

class GuiResources : public ::testing::Test {
 protected:
  GuiResources() : form_(320, 220) {}

  // Runs step once, takes the counts, runs it rounds more times and compares.
  void ExpectFlat(int rounds, const std::function<void(int)>& step) {
    step(0);
    PumpMessages();
    const GuiObjectCounts baseline = CurrentGuiObjectCounts();
    for (int i = 1; i <= rounds; ++i) {
      step(i);
    }
    PumpMessages();
    const GuiObjectCounts after = CurrentGuiObjectCounts();
    EXPECT_EQ(baseline.gdi, after.gdi);
    EXPECT_EQ(baseline.user, after.user);
  }

  HostForm form_;
};

TEST_F(GuiResources, ThousandRepaintsKeepTheCountsFlat) {
  Scene scene(form_.hwnd());
  ASSERT_TRUE(scene.ok());
  ExpectFlat(1000, [&](int i) {
    scene.panel().Model().SetValue(i % 101);
    scene.bar().Model().Step(1);
    scene.option().Model().SetValue(i % 2 == 0);
    SendMessageW(scene.option().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    RedrawWindow(form_.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
}

TEST_F(GuiResources, HundredHideAndShowCyclesOfAPanelKeepTheCountsFlat) {
  Scene scene(form_.hwnd());
  ASSERT_TRUE(scene.ok());
  ExpectFlat(100, [&](int) {
    ShowWindow(scene.panel().hwnd(), SW_HIDE);
    UpdateWindow(form_.hwnd());
    ShowWindow(scene.panel().hwnd(), SW_SHOW);
    RedrawWindow(scene.panel().hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
}

TEST_F(GuiResources, ControlsComingAndGoingKeepTheCountsFlat) {
  ExpectFlat(50, [&](int) {
    Scene scene(form_.hwnd());
    ASSERT_TRUE(scene.ok());
    SendMessageW(scene.option().hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(4, 4));
    SendMessageW(scene.option().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  });
}

// Option controls take their caption font and state bitmaps from the process: a second one
// holds no GDI object of its own, only its window.
TEST_F(GuiResources, OptionControlsShareFontAndBitmaps) {
  const auto create = [&](int id) {
    return XPOptionView::Create(Instance(), form_.hwnd(), id,
                                RECT{10, 10 + 30 * id, 120, 30 + 30 * id},
                                XPOptionVariant::kXPOption, L"关闭", FontSpec{});
  };
  const auto first = create(1);
  ASSERT_TRUE(first);
  PumpMessages();
  const GuiObjectCounts before = CurrentGuiObjectCounts();
  const auto second = create(2);
  ASSERT_TRUE(second);
  PumpMessages();
  const GuiObjectCounts after = CurrentGuiObjectCounts();
  EXPECT_EQ(before.gdi, after.gdi);
  EXPECT_EQ(before.user + 1, after.user);
  EXPECT_EQ(SendMessageW(first->hwnd(), WM_GETFONT, 0, 0),
            SendMessageW(second->hwnd(), WM_GETFONT, 0, 0));
  FontSpec bold;
  bold.bold = true;
  EXPECT_NE(win::SharedFont(FontSpec{}, 96), win::SharedFont(bold, 96));
  EXPECT_EQ(win::SharedFont(bold, 96), win::SharedFont(bold, 96));
}

}  // namespace
}  // namespace svctune::testing
