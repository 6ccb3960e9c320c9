#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_test_support.h"
#include "win/control_container.h"

namespace svctune::vellum {
namespace {

using host::ControlContainer;
using host::ControlSettings;
using host::HostedControl;
using testing::HostWindow;
using testing::OleApartment;
using testing::PumpMessages;

ControlSettings Skin() {
  ControlSettings settings;
  settings.progId = L"Vellum.CorvidForm";
  settings.name = L"CorvidForm1";
  return settings;
}

class CorvidFormWindowTest : public ::testing::Test {
 protected:
  CorvidFormWindowTest() : host(320, 240), container(host.get()) {}
  OleApartment apartment;
  HostWindow host;
  ControlContainer container;
};

TEST_F(CorvidFormWindowTest, ASmallerPlaceGrowsToTheMinimumSize) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 66, 33});
  ASSERT_NE(form, nullptr);
  RECT bounds{};
  GetClientRect(form->Window(), &bounds);
  EXPECT_EQ(bounds.right, 117);  // 1750 twips
  EXPECT_EQ(bounds.bottom, 73);  // 1100 twips
}

TEST_F(CorvidFormWindowTest, IconAndCaptionSurviveTheHostsBag) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->PutText(L"Caption", L"设置登陆密码验证"), S_OK);
  const std::optional<PropertyBag> saved = form->Save();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->Read<std::wstring>(L"caption", L""), L"设置登陆密码验证");
  EXPECT_TRUE(saved->Contains(L"Icon"));
  EXPECT_FALSE(saved->Contains(L"hwnd"));
}

// A host window that records the system commands it is sent instead of carrying them out.
std::vector<WPARAM> systemCommands;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND) {
    systemCommands.push_back(wParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(CorvidFormWindowTest, LeftPressOnTheTitleAsksTheHostWindowToMove) {
  WNDCLASSEXW recording{};
  recording.cbSize = sizeof recording;
  recording.lpfnWndProc = RecordingProc;
  recording.hInstance = GetModuleHandleW(nullptr);
  recording.lpszClassName = L"SvctuneRecordingHost";
  RegisterClassExW(&recording);
  HWND gate = CreateWindowExW(0, L"SvctuneRecordingHost", L"gate", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(gate, nullptr);
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  systemCommands.clear();
  SendMessageW(form->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10));
  EXPECT_TRUE(systemCommands.empty());  // hwnd is still 0: nothing to move
  ASSERT_EQ(form->PutLong(L"hwnd", static_cast<long>(reinterpret_cast<LONG_PTR>(gate))), S_OK);
  SendMessageW(form->Window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 10));
  SendMessageW(form->Window(), WM_RBUTTONUP, 0, MAKELPARAM(60, 10));
  SendMessageW(form->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10));
  SendMessageW(form->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 100));
  EXPECT_EQ(systemCommands, std::vector<WPARAM>{0xF012});
  DestroyWindow(gate);
}

// The about box runs its own modal loop; a timer of this thread looks at it and closes it.
struct AboutSeen {
  HWND dialog = nullptr;
  std::wstring caption;
  std::vector<std::wstring> texts;
  bool underlinedOverLink = false;
  bool plainOverWindow = false;
};
AboutSeen seen;

bool Underlined(HWND label) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  LOGFONTW description{};
  return font != nullptr && GetObjectW(font, sizeof description, &description) != 0 &&
         description.lfUnderline != FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM) {
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  seen.texts.push_back(text);
  if (std::wstring(text).rfind(L"http://", 0) == 0) {
    SendMessageW(seen.dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    seen.underlinedOverLink = Underlined(child);
    SendMessageW(seen.dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(seen.dialog),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    seen.plainOverWindow = !Underlined(child);
  }
  return TRUE;
}

void CALLBACK InspectAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(L"#32770", L"关于 Corvid Quorra 控件");
  if (dialog == nullptr) {
    return;
  }
  KillTimer(nullptr, timer);
  seen.dialog = dialog;
  wchar_t caption[128] = {};
  GetWindowTextW(dialog, caption, 128);
  seen.caption = caption;
  EnumChildWindows(dialog, CollectText, 0);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(CorvidFormWindowTest, ShowAboutShowsTheModalAboutBoxUntilItIsClosed) {
  HostedControl* form = container.Create(Skin(), RECT{0, 0, 320, 240});
  ASSERT_NE(form, nullptr);
  seen = AboutSeen{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectAbout);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(form->Call(L"ShowAbout"), S_OK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seen.caption, L"关于 Corvid Quorra 控件");
  const auto shown = [](const wchar_t* text) {
    for (const std::wstring& each : seen.texts) {
      if (each == text) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(shown(L"Corvid Quorra ActiveX 控件"));
  EXPECT_TRUE(shown(L"版本 1.0.0"));
  EXPECT_TRUE(shown(L"确定"));
  EXPECT_TRUE(seen.underlinedOverLink);
  EXPECT_TRUE(seen.plainOverWindow);
  EXPECT_FALSE(IsWindow(seen.dialog));
}

}  // namespace
}  // namespace svctune::vellum
