// OLE drag and drop of the owner-drawn button, driven through its drop target, drop source and
// data object as OLE would call them, without a real mouse drag.
#include "controls/win/qx_ole_drag.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/win/qx_buttons_h_view.h"
#include "test_host.h"

namespace svctune::testing {
namespace {

using win::qxButtons_HView;
using win::QxDataObject;
using win::QxDropSource;
using win::QxDropTarget;

class QxOleDrag : public ::testing::Test {
 protected:
  QxOleDrag() : form_(300, 100) {
    initialised_ = SUCCEEDED(OleInitialize(nullptr));
    view_ = qxButtons_HView::Create(Instance(), form_.hwnd(), 100, RECT{10, 10, 110, 40}, nullptr,
                                    L"qx");
  }
  ~QxOleDrag() override {
    view_.reset();
    if (initialised_) {
      OleUninitialize();
    }
  }
  POINTL ScreenPoint(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(view_->hwnd(), &point);
    return POINTL{point.x, point.y};
  }

  bool initialised_ = false;
  HostForm form_;
  std::unique_ptr<qxButtons_HView> view_;
};

std::wstring ReadUnicode(const STGMEDIUM& medium) {
  const auto* text = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal));
  std::wstring result = text != nullptr ? text : L"";
  GlobalUnlock(medium.hGlobal);
  return result;
}

TEST_F(QxOleDrag, DropTargetRaisesDragOverAndDropAndAnswersTheHandlersEffect) {
  ASSERT_TRUE(initialised_);
  ASSERT_TRUE(view_);
  // The window is registered: OLE refuses a second target for it.
  auto other = QxDropTarget::Create(view_->hwnd(), view_->Model());
  EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(view_->hwnd(), other.get()));

  struct Seen {
    std::wstring text;
    std::int32_t effect;
    std::int16_t button, shift;
    float x, y;
    std::int16_t state;  // -1 for a drop
  };
  std::vector<Seen> seen;
  qxButtons_HEvents& events = view_->Model().Events();
  events.OLEDragOver = [&](OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                           std::int16_t& shift, float& x, float& y, std::int16_t& state) {
    seen.push_back(
        {data.GetData(kFormatUnicodeText).value_or(L"?"), effect, button, shift, x, y, state});
    if (state == kDragOver) {
      effect = kDropEffectMove;
    }
  };
  events.OLEDragDrop = [&](OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                           std::int16_t& shift, float& x, float& y) {
    seen.push_back(
        {data.GetData(kFormatUnicodeText).value_or(L"?"), effect, button, shift, x, y, -1});
    EXPECT_FALSE(data.SetData(kFormatText, L"no"));  // the data of a drop is read only
    effect = kDropEffectMove;
  };
  auto data = QxDataObject::Create(nullptr);
  ASSERT_TRUE(data->SetData(kFormatUnicodeText, L"dropped"));

  auto target = QxDropTarget::Create(view_->hwnd(), view_->Model());
  const DWORD copyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  DWORD effect = copyMove;
  ASSERT_EQ(S_OK, target->DragEnter(data.get(), MK_LBUTTON | MK_SHIFT, ScreenPoint(5, 6), &effect));
  EXPECT_EQ(DWORD{DROPEFFECT_COPY}, effect);
  effect = copyMove;
  ASSERT_EQ(S_OK, target->DragOver(MK_RBUTTON | MK_CONTROL, ScreenPoint(7, 8), &effect));
  EXPECT_EQ(DWORD{DROPEFFECT_MOVE}, effect);
  ASSERT_EQ(S_OK, target->DragLeave());
  effect = copyMove;
  ASSERT_EQ(S_OK, target->Drop(data.get(), MK_ALT, ScreenPoint(9, 10), &effect));
  EXPECT_EQ(DWORD{DROPEFFECT_MOVE}, effect);

  ASSERT_EQ(4u, seen.size());
  const Seen expected[] = {{L"dropped", 3, 1, 1, 5, 6, kDragEnter},
                           {L"dropped", 3, 2, 2, 7, 8, kDragOver},
                           {L"dropped", 0, 2, 2, 7, 8, kDragLeave},
                           {L"dropped", 3, 0, 4, 9, 10, -1}};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(expected[i].text, seen[i].text) << i;
    EXPECT_EQ(expected[i].effect, seen[i].effect) << i;
    EXPECT_EQ(expected[i].button, seen[i].button) << i;
    EXPECT_EQ(expected[i].shift, seen[i].shift) << i;
    EXPECT_EQ(expected[i].x, seen[i].x) << i;
    EXPECT_EQ(expected[i].y, seen[i].y) << i;
    EXPECT_EQ(expected[i].state, seen[i].state) << i;
  }

  // Once the button is gone the target takes nothing and reaches nothing.
  target->Detach();
  view_.reset();
  effect = copyMove;
  EXPECT_EQ(S_OK, target->DragEnter(data.get(), MK_LBUTTON, POINTL{0, 0}, &effect));
  EXPECT_EQ(DWORD{DROPEFFECT_NONE}, effect);
  EXPECT_EQ(4u, seen.size());
}

TEST_F(QxOleDrag, DragSourceAsksForDeclaredDataAndLetsHandlersChooseTheCursors) {
  ASSERT_TRUE(view_);
  std::vector<std::int16_t> asked;
  std::vector<std::int32_t> feedback;
  qxButtons_HEvents& events = view_->Model().Events();
  events.OLESetData = [&](OleDataObject& data, std::int16_t& format) {
    asked.push_back(format);
    data.SetData(format, L"\u6587\u5b57 text");
  };
  events.OLEGiveFeedback = [&](std::int32_t& effect, bool& defaultCursors) {
    feedback.push_back(effect);
    defaultCursors = effect != kDropEffectMove;
  };

  auto source = QxDropSource::Create(view_->Model());
  EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_LBUTTON));
  EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, MK_LBUTTON));
  EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, MK_SHIFT));
  EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source->GiveFeedback(DROPEFFECT_COPY));
  EXPECT_EQ(S_OK, source->GiveFeedback(DROPEFFECT_MOVE));
  EXPECT_EQ((std::vector<std::int32_t>{kDropEffectCopy, kDropEffectMove}), feedback);

  auto data = QxDataObject::Create(&view_->Model());
  ASSERT_TRUE(data->SetData(kFormatText, L"ab"));
  ASSERT_TRUE(data->SetData(kFormatUnicodeText, std::nullopt));
  EXPECT_FALSE(data->SetData(2, L"a bitmap is no text"));
  FORMATETC unicode{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  EXPECT_EQ(S_OK, data->QueryGetData(&unicode));
  EXPECT_EQ(DV_E_TYMED, data->QueryGetData(&bitmap));
  EXPECT_TRUE(asked.empty());  // declared, not asked for yet

  for (int i = 0; i < 2; ++i) {
    STGMEDIUM medium{};
    ASSERT_EQ(S_OK, data->GetData(&unicode, &medium));
    EXPECT_EQ(L"\u6587\u5b57 text", ReadUnicode(medium));
    ReleaseStgMedium(&medium);
  }
  EXPECT_EQ(std::vector<std::int16_t>{kFormatUnicodeText}, asked);  // set by the first ask

  // Text in the ANSI code page, read back through the data of a drop.
  std::wstring dropped;
  view_->Model().Events().OLEDragDrop = [&](OleDataObject& drop, std::int32_t&, std::int16_t&,
                                            std::int16_t&, float&, float&) {
    dropped = drop.GetData(kFormatText).value_or(L"?");
  };
  auto target = QxDropTarget::Create(view_->hwnd(), view_->Model());
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(S_OK, target->Drop(data.get(), 0, ScreenPoint(1, 1), &effect));
  EXPECT_EQ(L"ab", dropped);
  target->Detach();
}

// The whole way through the system: OLEDrag runs the platform's drag loop, which finds the
// other button's window as a drop target under the pointer and drops there at once, as no
// mouse button is held.
TEST_F(QxOleDrag, OleDragDropsOnAnotherButtonThroughTheSystem) {
  ASSERT_TRUE(initialised_);
  ASSERT_TRUE(view_);
  auto target = qxButtons_HView::Create(Instance(), form_.hwnd(), 101, RECT{150, 10, 250, 40},
                                        nullptr, L"qx2");
  ASSERT_TRUE(target);
  const POINTL over = [&] {
    POINT point{20, 10};
    ClientToScreen(target->hwnd(), &point);
    return POINTL{point.x, point.y};
  }();
  ASSERT_TRUE(SetCursorPos(over.x, over.y));
  PumpMessages();

  std::vector<std::wstring> log;
  qxButtons_HEvents& source = view_->Model().Events();
  source.OLEStartDrag = [&](OleDataObject& data, std::int32_t& allowedEffects) {
    log.push_back(L"OLEStartDrag " + std::to_wstring(allowedEffects));
    data.SetData(kFormatUnicodeText, std::nullopt);
  };
  source.OLESetData = [&](OleDataObject& data, std::int16_t& format) {
    log.push_back(L"OLESetData " + std::to_wstring(format));
    data.SetData(format, L"carried");
  };
  source.OLECompleteDrag = [&](std::int32_t& effect) {
    log.push_back(L"OLECompleteDrag " + std::to_wstring(effect));
  };
  qxButtons_HEvents& dropOn = target->Model().Events();
  dropOn.OLEDragOver = [&](OleDataObject&, std::int32_t&, std::int16_t&, std::int16_t&, float&,
                           float&, std::int16_t& state) {
    if (state == kDragEnter) {
      log.push_back(L"OLEDragOver enter");
    }
  };
  dropOn.OLEDragDrop = [&](OleDataObject& data, std::int32_t&, std::int16_t&, std::int16_t&, float&,
                           float&) {
    log.push_back(L"OLEDragDrop " + data.GetData(kFormatUnicodeText).value_or(L"?"));
  };
  view_->OLEDrag();
  EXPECT_EQ((std::vector<std::wstring>{L"OLEStartDrag 3", L"OLEDragOver enter", L"OLESetData 13",
                                       L"OLEDragDrop carried", L"OLECompleteDrag 1"}),
            log);
}

}  // namespace
}  // namespace svctune::testing
