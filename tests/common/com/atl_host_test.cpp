// The controls in a standard container: ATL's AtlAxWin window class (atl.dll), which creates
// the control from the ProgID in its window text, activates it in place and releases it when
// the window is destroyed.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "com_test_support.h"
#include "win/gui_resources.h"

namespace svctune::testing {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
using AnyFunction = void (*)();

// A control by ProgID, and one of its properties to read through the host.
struct Hosted {
  const char* name;
  const wchar_t* progId;
  const wchar_t* property;
};

class AtlHostTest : public ::testing::TestWithParam<Hosted> {
 protected:
  // atl.dll stays loaded for the rest of the process: its window class outlives the test.
  AtlHostTest() : atl_(LoadLibraryW(L"atl.dll")) {
    if (atl_ != nullptr) {
      getControl_ = reinterpret_cast<AtlAxGetControlFn>(
          reinterpret_cast<AnyFunction>(GetProcAddress(atl_, "AtlAxGetControl")));
      static const BOOL initialised = reinterpret_cast<AtlAxWinInitFn>(
          reinterpret_cast<AnyFunction>(GetProcAddress(atl_, "AtlAxWinInit")))();
      initialised_ = initialised != FALSE;
    }
  }

  // Creates, shows and destroys one control; a property is read through the host.
  void Cycle(HWND parent, bool checkProperty) {
    HWND window = CreateWindowExW(0, L"AtlAxWin", GetParam().progId, WS_CHILD | WS_VISIBLE, 0, 0,
                                  300, 200, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    PumpMessages(10);
    com::ComPtr<IUnknown> control;
    ASSERT_EQ(getControl_(window, control.Receive()), S_OK);
    ASSERT_TRUE(control);
    if (checkProperty) {
      com::ComPtr<IDispatch> dispatch = control.As<IDispatch>(IID_IDispatch);
      ASSERT_TRUE(dispatch);
      LPOLESTR names[] = {const_cast<LPOLESTR>(GetParam().property)};
      DISPID id = DISPID_UNKNOWN;
      ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      com::Variant value;
      EXPECT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 value.get(), nullptr, nullptr),
                S_OK);
      EXPECT_NE(value->vt, VT_EMPTY);
      HWND controlWindow = GetWindow(window, GW_CHILD);
      ASSERT_NE(controlWindow, nullptr);
      EXPECT_TRUE(IsWindowVisible(controlWindow));
    }
    control.Reset();
    DestroyWindow(window);
    PumpMessages(5);
  }

  OleApartment apartment;
  HMODULE atl_;
  bool initialised_ = false;
  AtlAxGetControlFn getControl_ = nullptr;
};

TEST_P(AtlHostTest, CreatesShowsAndDestroysWithoutLeaks) {
  ASSERT_NE(getControl_, nullptr);
  ASSERT_TRUE(initialised_);
  HostWindow parent(320, 240);
  Cycle(parent.get(), true);
  const GuiObjectCounts baseline = CurrentGuiObjectCounts();
  EXPECT_GT(baseline.gdi, 0);
  EXPECT_GT(baseline.user, 0);
  for (int i = 0; i < 100; ++i) {
    Cycle(parent.get(), false);
  }
  const GuiObjectCounts after = CurrentGuiObjectCounts();
  EXPECT_EQ(after.gdi, baseline.gdi);
  EXPECT_EQ(after.user, baseline.user);
}

INSTANTIATE_TEST_SUITE_P(Controls, AtlHostTest,
                         ::testing::Values(Hosted{"Button", L"Lamina.Button", L"Caption"},
                                           Hosted{"Progress", L"Lamina.Progress", L"Max"},
                                           Hosted{"Vscroll", L"Lamina.Vscroll", L"MoveValue"},
                                           Hosted{"Hscroll", L"Lamina.Hscroll", L"MoveValue"},
                                           Hosted{"ComBox", L"Lamina.ComBox", L"Text"},
                                           Hosted{"MoveBar", L"Lamina.MoveBar", L"Caption"},
                                           Hosted{"CorvidForm", L"Vellum.CorvidForm", L"Caption"}),
                         [](const ::testing::TestParamInfo<Hosted>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace svctune::testing
