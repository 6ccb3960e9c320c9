// The owner-drawn button on screen: pixels of its shapes, styles and states read from its own
// off-screen surface, its window region, the hover timer, and GDI objects over many repaints
// and many buttons.
#include "controls/win/qx_buttons_h_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "qx_fake_site.h"
#include "test_host.h"
#include "win/gui_resources.h"
#include "win/window_class.h"

namespace svctune::testing {
namespace {

using win::qxButtons_HView;

std::wstring ArtFile(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"art\\" + name;
}

class QxButtonWindow : public ::testing::Test {
 protected:
  QxButtonWindow() : form_(400, 200) { CoInitialize(nullptr); }
  ~QxButtonWindow() override { CoUninitialize(); }

  std::unique_ptr<qxButtons_HView> Make(const RECT& place) {
    auto view = qxButtons_HView::Create(Instance(), form_.hwnd(), 100, place, nullptr, L"qx");
    EXPECT_TRUE(view != nullptr);
    return view;
  }
  // A surface pixel as an OLE colour (0x00BBGGRR).
  static OleColour Pixel(qxButtons_HView& view, int x, int y) {
    return static_cast<OleColour>(GetPixel(view.hdc(), x, y));
  }
  static OleColour Face() { return static_cast<OleColour>(GetSysColor(COLOR_BTNFACE)); }

  HostForm form_;
};

TEST_F(QxButtonWindow, RectangleIsRaisedNormallyAndACheckBoxSunkenWhileHeld) {
  auto view = Make(RECT{10, 10, 110, 40});
  ASSERT_TRUE(view);
  view->Model().SetCaption(L"");
  EXPECT_EQ(kWhite, Pixel(*view, 0, 10));     // outer left
  EXPECT_EQ(kWhite, Pixel(*view, 50, 0));     // outer top
  EXPECT_EQ(kBlack, Pixel(*view, 99, 10));    // outer right
  EXPECT_EQ(kBlack, Pixel(*view, 50, 29));    // outer bottom
  EXPECT_EQ(kGray, Pixel(*view, 98, 10));     // middle right
  EXPECT_EQ(kPaleGray, Pixel(*view, 1, 10));  // middle left
  EXPECT_EQ(Face(), Pixel(*view, 50, 15));

  // A command button held without the pointer over it is not sunken; with the focus it
  // shows itself as the default button, and keeps that look when released.
  SendMessageW(view->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 15));
  EXPECT_EQ(kBlack, Pixel(*view, 0, 10));
  EXPECT_EQ(kBlack, Pixel(*view, 99, 10));
  SendMessageW(view->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 15));
  EXPECT_EQ(kBlack, Pixel(*view, 0, 10));
  EXPECT_EQ(kWhite, Pixel(*view, 1, 10));
  EXPECT_EQ(kPaleGray, Pixel(*view, 2, 10));

  view->Model().SetMode(1);
  SendMessageW(view->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 15));
  EXPECT_EQ(kBlack, Pixel(*view, 0, 10));
  EXPECT_EQ(kWhite, Pixel(*view, 99, 10));
  SendMessageW(view->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 15));
}

// Each state painted into a memory DC as the view paints its surface: a command button held
// with the pointer over it is shown pressed (style 0 keeps its light outer edge on the left
// and top and draws gray inside the right and bottom), while a check box held or set is
// sunken (the outer edges change colour).
TEST(QxButtonLook, HeldCommandButtonIsShownPressedAndCheckBoxesSink) {
  constexpr int kWidth = 80;
  constexpr int kHeight = 24;
  constexpr OleColour kFace = 0x30A0C0;
  const OleColour light = ShiftColor(kWhite, -32);
  const struct {
    const char* what;
    std::int32_t mode;
    bool hover;
    bool press;
    bool set;
    OleColour outerLeft;
    OleColour middleLeft;
    OleColour middleRight;
    OleColour outerRight;
  } cases[] = {
      {"normal", 0, false, false, false, kWhite, kPaleGray, kGray, kBlack},
      {"held command", 0, true, true, false, kWhite, kFace, kGray, kBlack},
      {"held away", 0, false, true, false, kWhite, kPaleGray, kGray, kBlack},
      {"held check box", 1, true, true, false, kBlack, kFace, kPaleGray, kWhite},
      {"set check box", 1, false, false, true, kBlack, light, kPaleGray, kWhite},
      {"set option", 2, true, false, true, kBlack, light, kPaleGray, kWhite},
  };
  for (const auto& c : cases) {
    ButtonInItsOwnContainer own(c.mode);
    qxButtons_H& model = own.button;
    model.InitProperties();
    model.SetCaption(L"");
    model.SetBackColor(kFace);
    model.SetValue(c.set);
    PointAndPress(model, own.site, c.hover, c.press);
    const PixelImage image = Render(kWidth, kHeight, 0x00FF00, [&](HDC dc) {
      win::QxPaintInput input;
      input.dc = dc;
      input.width = kWidth;
      input.height = kHeight;
      input.screenWidth = 1024;
      input.screenHeight = 768;
      EXPECT_TRUE(win::PaintQxButton(model, input)) << c.what;
    });
    ASSERT_EQ(kWidth, image.width());
    const int y = kHeight / 2;
    EXPECT_EQ(PixelOf(c.outerLeft), image.At(0, y)) << c.what;
    EXPECT_EQ(PixelOf(c.middleLeft), image.At(1, y)) << c.what;
    EXPECT_EQ(PixelOf(c.middleRight), image.At(kWidth - 2, y)) << c.what;
    EXPECT_EQ(PixelOf(c.outerRight), image.At(kWidth - 1, y)) << c.what;
    EXPECT_EQ(PixelOf(c.outerLeft), image.At(kWidth / 2, 0)) << c.what;  // top as left
    EXPECT_EQ(PixelOf(c.outerRight), image.At(kWidth / 2, kHeight - 1)) << c.what;
  }
}

TEST_F(QxButtonWindow, StylesAndStatesGiveTheirFaceAndFrame) {
  auto view = Make(RECT{10, 10, 110, 40});
  ASSERT_TRUE(view);
  qxButtons_H& model = view->Model();
  model.SetCaption(L"");
  model.SetButtonStyle(3);
  EXPECT_EQ(kFlatFrameColour, Pixel(*view, 0, 10));
  EXPECT_EQ(kFlatFrameColour, Pixel(*view, 99, 10));
  // Styles 2 and 7 derive a lighter face.
  model.SetBackColor(0x606060);
  model.SetButtonStyle(7);
  EXPECT_EQ(ShiftColor(0x606060, 31), Pixel(*view, 50, 15));
  // A set check box is filled with the light colour and drawn sunken.
  model.SetButtonStyle(0);
  model.SetMode(1);
  model.SetValue(true);
  EXPECT_EQ(ShiftColor(kWhite, -32), Pixel(*view, 50, 15));
  EXPECT_EQ(kBlack, Pixel(*view, 0, 10));
}

TEST_F(QxButtonWindow, GradientPaintsBandsFromTheGradientColour) {
  auto view = Make(RECT{10, 10, 110, 40});
  ASSERT_TRUE(view);
  qxButtons_H& model = view->Model();
  model.SetCaption(L"");
  model.SetBackColor(0x000000);
  model.SetGradientColor(0xFF0000);
  model.SetGradientMode(2);
  const OleColour left = Pixel(*view, 3, 15);
  const OleColour right = Pixel(*view, 96, 15);
  EXPECT_GE(BlueOf(left), 240);
  EXPECT_LE(BlueOf(right), 16);
  EXPECT_GT(BlueOf(Pixel(*view, 30, 15)), BlueOf(Pixel(*view, 60, 15)));
}

TEST_F(QxButtonWindow, ShapesGiveTheWindowItsOutline) {
  auto view = Make(RECT{10, 10, 30, 30});
  ASSERT_TRUE(view);
  view->Model().SetButtonShape(3);
  RECT window{};
  GetWindowRect(view->hwnd(), &window);
  EXPECT_EQ(30, window.right - window.left);  // widened past its 21-pixel slant
  win::ScopedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(ERROR, GetWindowRgn(view->hwnd(), region.get()));
  EXPECT_FALSE(PtInRegion(region.get(), 1, 18));  // cut by the slanted left edge
  EXPECT_FALSE(PtInRegion(region.get(), 28, 1));  // cut by the slanted right edge
  EXPECT_TRUE(PtInRegion(region.get(), 15, 10));

  view->Model().SetButtonShape(4);
  ASSERT_NE(ERROR, GetWindowRgn(view->hwnd(), region.get()));
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.get(), 15, 10));

  // A custom shape is cut from the picture: its magenta background falls outside.
  ASSERT_TRUE(view->LoadPictureFile(ArtFile(L"picture.bmp")));
  view->Model().SetButtonShape(7);
  GetWindowRect(view->hwnd(), &window);
  EXPECT_EQ(32, window.right - window.left);
  ASSERT_NE(ERROR, GetWindowRgn(view->hwnd(), region.get()));
  EXPECT_FALSE(PtInRegion(region.get(), 1, 1));
  EXPECT_TRUE(PtInRegion(region.get(), 16, 16));
}

TEST_F(QxButtonWindow, PicturesOfEveryKindDrawAndAFailedLoadKeepsTheOld) {
  auto view = Make(RECT{10, 10, 110, 50});
  ASSERT_TRUE(view);
  qxButtons_H& model = view->Model();
  model.SetCaption(L"");
  model.SetPictureAlign(4);
  for (const wchar_t* file : {L"picture.jpg", L"picture.ico", L"pointer.cur", L"picture.bmp"}) {
    ASSERT_TRUE(view->LoadPictureFile(ArtFile(file))) << file;
  }
  EXPECT_EQ(PictureKind::kBitmap, model.Picture()->kind());
  EXPECT_FALSE(view->LoadPictureFile(ArtFile(L"missing.bmp")));
  ASSERT_TRUE(model.Picture());
  // The 16-pixel picture is centred (42..58, 12..28): its yellow centre shows, its
  // magenta background does not.
  EXPECT_EQ(0x00D0FFu, Pixel(*view, 50, 20));
  EXPECT_EQ(Face(), Pixel(*view, 43, 13));
  // Disabled: a flat gray silhouette.
  model.SetEnabled(false);
  EXPECT_EQ(kGray, Pixel(*view, 50, 20));
  EXPECT_EQ(Face(), Pixel(*view, 43, 13));
}

TEST_F(QxButtonWindow, DisabledCaptionIsEtched) {
  auto view = Make(RECT{10, 10, 110, 40});
  ASSERT_TRUE(view);
  view->Model().SetCaption(L"\x2588\x2588\x2588\x2588");
  view->Model().SetEnabled(false);
  int gray = 0;
  int white = 0;
  for (int y = 4; y < 26; ++y) {
    for (int x = 4; x < 96; ++x) {
      const OleColour pixel = Pixel(*view, x, y);
      gray += pixel == kGray ? 1 : 0;
      white += pixel == kWhite ? 1 : 0;
    }
  }
  EXPECT_GT(gray, 0);
  EXPECT_GT(white, 0);
}

// The pointer rests on the button; a window put over it ends the hover at the next tick.
TEST_F(QxButtonWindow, HoverEndsWhenAWindowCoversThePointerAndDiesWithTheButton) {
  auto view = Make(RECT{10, 10, 110, 40});
  ASSERT_TRUE(view);
  std::vector<bool> transitions;
  view->Model().Events().MouseOnButton = [&](bool& on) { transitions.push_back(on); };
  view->Model().SetCaption(L"");
  view->Model().SetHoverBackColor(0x00C0FF);
  ShowWindow(form_.hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(form_.hwnd());
  POINT over{60, 25};
  ClientToScreen(form_.hwnd(), &over);
  ASSERT_TRUE(SetCursorPos(over.x, over.y));
  PumpFor(100);
  SendMessageW(view->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 15));
  ASSERT_TRUE(view->Model().HoverTracking());
  EXPECT_EQ(0x00C0FFu, Pixel(*view, 50, 15));
  PumpFor(150);
  EXPECT_TRUE(view->Model().HoverTracking());

  const HWND cover =
      CreateWindowExW(WS_EX_TOPMOST, L"Button", L"", WS_POPUP | WS_VISIBLE, over.x - 10,
                      over.y - 10, 20, 20, nullptr, nullptr, Instance(), nullptr);
  ASSERT_NE(nullptr, cover);
  EXPECT_TRUE(PumpUntil([&] { return !view->Model().HoverTracking(); }, 1000));
  EXPECT_EQ((std::vector<bool>{true, false}), transitions);
  EXPECT_EQ(Face(), Pixel(*view, 50, 15));
  DestroyWindow(cover);
  PumpFor(50);

  SendMessageW(view->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 15));
  ASSERT_TRUE(view->Model().HoverTracking());
  const HWND window = view->hwnd();
  view.reset();
  EXPECT_FALSE(IsWindow(window));
  ASSERT_TRUE(SetCursorPos(over.x + 300, over.y + 300));
  PumpFor(200);  // no tick may reach the destroyed button
  EXPECT_EQ(3u, transitions.size());
}

// A top-level window holding owner-drawn buttons as a host's dialog does: its procedure
// hands the container's messages to the view, and keys reach it through IsDialogMessage, as
// in the gallery's message loop.
class DialogHost {
 public:
  DialogHost() {
    const WNDCLASSEXW windowClass = win::WindowClass(Instance(), kClass, &Procedure);
    if (win::EnsureWindowClass(windowClass)) {
      hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                              200, nullptr, nullptr, Instance(), nullptr);
    }
  }
  ~DialogHost() {
    if (hwnd_ != nullptr) {
      DestroyWindow(hwnd_);
    }
  }
  DialogHost(const DialogHost&) = delete;
  DialogHost& operator=(const DialogHost&) = delete;
  HWND hwnd() const { return hwnd_; }

  // A key as the keyboard gives it: the key-down to the focused window and all it leads to,
  // then the key-up to whichever window has the focus by then.
  void Press(WPARAM key) {
    for (const auto& [message, data] :
         {std::pair<UINT, LPARAM>{WM_KEYDOWN, 1}, std::pair<UINT, LPARAM>{WM_KEYUP, 0xC0000001}}) {
      MSG input{GetFocus(), message, key, data, 0, {}};
      Deliver(input);
      MSG queued{};
      while (PeekMessageW(&queued, nullptr, 0, 0, PM_REMOVE)) {
        Deliver(queued);
      }
    }
  }

 private:
  static constexpr const wchar_t* kClass = L"svctune.QxDialogHost";
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (qxButtons_HView::HandleContainerMessage(window, message, wParam, lParam, result)) {
      return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  void Deliver(MSG& message) {
    if (!IsDialogMessageW(hwnd_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  HWND hwnd_ = nullptr;
};

TEST(QxButtonDialog, EnterEscapeAndArrowsReachTheButtonsThroughTheDialogManager) {
  CoInitialize(nullptr);
  DialogHost dialog;
  ASSERT_NE(nullptr, dialog.hwnd());
  std::vector<std::wstring> clicks;
  std::vector<std::unique_ptr<qxButtons_HView>> views;
  const auto add = [&](const wchar_t* name, std::int32_t mode) {
    const int n = static_cast<int>(views.size());
    auto view = qxButtons_HView::Create(Instance(), dialog.hwnd(), 101 + n,
                                        RECT{n * 50, 10, n * 50 + 48, 34}, nullptr, name);
    EXPECT_TRUE(view != nullptr);
    view->Model().SetMode(mode);
    view->Model().Events().Click = [&clicks, name] { clicks.emplace_back(name); };
    views.push_back(std::move(view));
    return views.back().get();
  };
  qxButtons_HView* go = add(L"Go", 0);
  qxButtons_HView* check = add(L"Check", 1);
  qxButtons_HView* option1 = add(L"Option1", 2);
  qxButtons_HView* option2 = add(L"Option2", 2);
  qxButtons_HView* option3 = add(L"Option3", 2);
  qxButtons_HView* ok = add(L"OK", 0);
  qxButtons_HView* cancel = add(L"Cancel", 0);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  const HWND edit =
      CreateChild(dialog.hwnd(), L"Edit", L"", WS_TABSTOP | WS_BORDER, 120, 10, 60, 200, 20);

  // The focused command button takes Enter itself; Escape presses the cancel button.
  SetFocus(go->hwnd());
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    MSG asked{go->hwnd(), WM_KEYDOWN, key, 1, 0, {}};
    const LRESULT code =
        SendMessageW(go->hwnd(), WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&asked));
    EXPECT_NE(0, code & DLGC_WANTMESSAGE) << key;
  }
  dialog.Press(VK_RETURN);
  dialog.Press(VK_ESCAPE);
  EXPECT_EQ((std::vector<std::wstring>{L"Go", L"Cancel"}), clicks);

  // From a check box, and from a control that takes neither key, Enter reaches the default
  // button and Escape the cancel button.
  for (const HWND from : {check->hwnd(), edit}) {
    clicks.clear();
    SetFocus(from);
    dialog.Press(VK_RETURN);
    dialog.Press(VK_ESCAPE);
    EXPECT_EQ((std::vector<std::wstring>{L"OK", L"Cancel"}), clicks);
  }
  EXPECT_FALSE(check->Model().Value());
  // Without a default button a check box leaves Enter to the dialog manager.
  ok->SetDefault(false);
  MSG enter{check->hwnd(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
  EXPECT_EQ(
      0, SendMessageW(check->hwnd(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
             DLGC_WANTMESSAGE);

  // The arrows go round the option buttons, and the one they land on is selected once.
  clicks.clear();
  option1->Model().SetValue(true);
  SetFocus(option1->hwnd());
  const struct {
    WPARAM key;
    qxButtons_HView* lands;
  } moves[] = {{VK_RIGHT, option2}, {VK_DOWN, option3}, {VK_RIGHT, option1}, {VK_LEFT, option3}};
  for (const auto& move : moves) {
    dialog.Press(move.key);
    EXPECT_EQ(move.lands->hwnd(), GetFocus()) << move.key;
    for (qxButtons_HView* option : {option1, option2, option3}) {
      EXPECT_EQ(option == move.lands, option->Model().Value());
    }
  }
  EXPECT_EQ((std::vector<std::wstring>{L"Option2", L"Option3", L"Option1", L"Option3"}), clicks);
  // From any other button an arrow moves to the next or previous tab stop.
  SetFocus(go->hwnd());
  dialog.Press(VK_DOWN);
  EXPECT_EQ(check->hwnd(), GetFocus());
  dialog.Press(VK_UP);
  EXPECT_EQ(go->hwnd(), GetFocus());
  views.clear();
  CoUninitialize();
}

class QxButtonResources : public QxButtonWindow {
 protected:
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
};

// 1008 rounds end in the state of the first (styles, caption styles, shapes and the enabled
// flag all come round), so the button holds the same regions as at the baseline.
TEST_F(QxButtonResources, ThousandRepaintsKeepTheCountsFlat) {
  auto plain = Make(RECT{10, 10, 110, 40});
  auto pictured = Make(RECT{120, 10, 240, 60});
  ASSERT_TRUE(plain && pictured);
  ASSERT_TRUE(pictured->LoadPictureFile(ArtFile(L"picture.jpg")));
  plain->Model().SetGradientMode(1);
  ExpectFlat(1008, [&](int i) {
    plain->Model().SetButtonStyle(i % 8);
    plain->Model().SetCaptionStyle(i % 3);
    pictured->Model().SetEnabled(i % 2 == 0);
    pictured->Model().SetButtonShape(i % 7);
    RedrawWindow(form_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
}

TEST_F(QxButtonResources, TwoHundredButtonsComingAndGoingKeepTheCountsFlat) {
  ExpectFlat(200, [&](int i) {
    auto view = Make(RECT{10, 10, 110, 40});
    ASSERT_TRUE(view);
    view->Model().SetMode(2);
    view->Model().SetButtonShape(i % 7);
    SendMessageW(view->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    SendMessageW(view->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  });
  EXPECT_EQ(nullptr, GetPropW(form_.hwnd(), L"qx_OptCount"));
}

}  // namespace
}  // namespace svctune::testing
