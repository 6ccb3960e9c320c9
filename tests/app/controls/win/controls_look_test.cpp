// A window holding the controls the way the main window uses them, saved as a screenshot
// (controls_look.png in the test's working folder) for people to judge the look.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/win/progress_bar_view.h"
#include "controls/win/xp_option_view.h"
#include "png_file.h"
#include "test_host.h"

namespace svctune::testing {
namespace {

using win::ProgressBarView;
using win::XPOptionView;

std::unique_ptr<ProgressBarView> Bar(HWND parent, const RECT& rect, std::int32_t value,
                                     std::int32_t orientation, std::int32_t border, OleColour from,
                                     OleColour to) {
  PropertyBag bag;
  bag.Put(L"Value", value);
  bag.Put(L"Orientation", orientation);
  bag.Put(L"BorderStyle", border);
  bag.Put(L"BorderColor", static_cast<std::int32_t>(Rgb(0, 60, 116)));
  bag.Put(L"FromColor", static_cast<std::int32_t>(from));
  bag.Put(L"ToColor", static_cast<std::int32_t>(to));
  return ProgressBarView::Create(Instance(), parent, 0, rect, &bag);
}

TEST(ControlsLook, ScreenshotOfPanelsAndCheckBoxes) {
  HostForm form(480, 320);
  const HWND host = form.hwnd();
  CreateChild(host, L"Static", L"系统服务优化", SS_LEFT, 0, 12, 8, 200, 18);

  // A page panel: gradient growing downwards, holding standard controls.
  auto page = Bar(host, RECT{10, 30, 300, 310}, 100, 3, 5, Rgb(255, 255, 255), Rgb(166, 202, 240));
  ASSERT_NE(nullptr, page);
  const HWND panel = page->hwnd();
  const wchar_t* services[] = {L"Alerter", L"ClipBook", L"Messenger"};
  for (int row = 0; row < 3; ++row) {
    const int y = 12 + row * 26;
    CreateChild(panel, L"Static", services[row], SS_LEFT, 0, 12, y + 2, 90, 18);
    const wchar_t* boxes[] = {L"自动", L"手动", L"禁用"};
    for (int column = 0; column < 3; ++column) {
      const HWND box = CreateChild(panel, L"Button", boxes[column], BS_AUTOCHECKBOX | WS_TABSTOP,
                                   100 + row * 3 + column, 100 + column * 58, y, 56, 20);
      SendMessageW(box, BM_SETCHECK, column == row ? BST_CHECKED : BST_UNCHECKED, 0);
      EnableWindow(box, column == row || row == 0);
    }
  }
  CreateChild(panel, L"Static", L"（建议： 手动）鼠标移到服务名称上可看到说明。", SS_LEFT, 0, 12,
              96, 260, 34);
  CreateChild(panel, L"Button", L"细致优化", BS_AUTORADIOBUTTON | WS_GROUP, 200, 12, 136, 80, 20);
  CreateChild(panel, L"Button", L"普通优化", BS_AUTORADIOBUTTON, 201, 100, 136, 80, 20);
  CreateChild(panel, L"Button", L"手动优化", BS_AUTORADIOBUTTON, 202, 188, 136, 80, 20);
  SendMessageW(GetDlgItem(panel, 200), BM_SETCHECK, BST_CHECKED, 0);
  const HWND combo =
      CreateChild(panel, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 300, 12, 166, 140, 200);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"细致优化"));
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"普通优化"));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  CreateChild(panel, L"Button", L"应用", BS_PUSHBUTTON, 301, 170, 165, 80, 24);

  std::vector<std::unique_ptr<XPOptionView>> options;
  options.push_back(XPOptionView::Create(Instance(), panel, 400, RECT{20, 222, 120, 240},
                                         XPOptionVariant::kXPOption, L"关闭", FontSpec{}));
  options.push_back(XPOptionView::Create(Instance(), panel, 401, RECT{20, 244, 120, 262},
                                         XPOptionVariant::kMyCmd, L"MyCmd", FontSpec{}));
  options.push_back(XPOptionView::Create(Instance(), panel, 402, RECT{140, 222, 260, 240},
                                         XPOptionVariant::kMyOpt, L"MyOpt", FontSpec{}));
  options.push_back(XPOptionView::Create(Instance(), panel, 403, RECT{140, 244, 260, 262},
                                         XPOptionVariant::kMyOpt, L"Hover", FontSpec{}));
  for (const auto& option : options) {
    ASSERT_NE(nullptr, option);
  }
  CreateChild(panel, L"Button", L"关闭方式", BS_GROUPBOX, 302, 8, 200, 270, 70);
  options[1]->Model().SetValue(true);
  options[2]->Model().SetValue(true);
  SendMessageW(options[3]->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(options[0]->hwnd(), WM_SETFOCUS, 0, 0);

  // Bars of each orientation, half full, with border styles 1 to 4.
  std::vector<std::unique_ptr<ProgressBarView>> bars;
  bars.push_back(Bar(host, RECT{310, 30, 470, 52}, 50, 1, 1, Rgb(255, 255, 255), Rgb(0, 0, 255)));
  bars.push_back(Bar(host, RECT{310, 60, 470, 82}, 50, 2, 2, Rgb(255, 255, 255), Rgb(0, 128, 0)));
  bars.push_back(Bar(host, RECT{310, 90, 340, 250}, 50, 0, 3, Rgb(255, 255, 0), Rgb(255, 0, 0)));
  bars.push_back(Bar(host, RECT{350, 90, 380, 250}, 50, 3, 4, Rgb(255, 255, 255), Rgb(0, 60, 116)));
  bars.push_back(Bar(host, RECT{390, 90, 470, 112}, 0, 1, 5, Rgb(255, 255, 255), Rgb(0, 0, 255)));
  bars.push_back(
      Bar(host, RECT{390, 120, 470, 142}, 100, 1, 0, Rgb(255, 255, 255), Rgb(0, 0, 255)));

  RedrawWindow(host, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(100);

  const PixelImage shot = ReadWindow(host);
  ASSERT_EQ(480, shot.width());
  ASSERT_EQ(320, shot.height());
  EXPECT_TRUE(WritePng("controls_look.png", shot.width(), shot.height(), shot.pixels()));
}

}  // namespace
}  // namespace svctune::testing
