// The real svctune.exe in a prefix of its own, driven the way a user's tools drive it: windows
// found by class, caption and position, clicks and keys sent to them, the window closed and
// the program started again; the registry and TQSE.ini are read back.
#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "access/encryption.h"
#include "automation.h"
#include "e2e_support.h"
#include "catalogue/service_catalogue.h"
#include "ui/twips.h"
#include "win/code_page_codec.h"

namespace svctune {
namespace {

using namespace automation;
using namespace e2e;
using std::chrono::seconds;

TEST_F(SvctuneEndToEnd, FirstStartShowsTheWholeServiceListAndSavesItOnClose) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));

  // Every box is a real check box on its page panel, at its place in the grid.
  const int columns[] = {120, 4320, 8520};
  const int offsets[] = {1200, 2160, 3120};
  const wchar_t* captions[] = {L"自动", L"手动", L"禁用"};
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const int boxes[] = {entry.automaticBox, entry.manualBox, entry.disabledBox};
    for (int i = 0; i < 3; ++i) {
      HWND box = Box(main, boxes[i]);
      ASSERT_NE(nullptr, box) << "Check" << boxes[i];
      EXPECT_EQ(L"Button", ClassOf(box));
      EXPECT_EQ(captions[i], TextOf(box));
      HWND panel = GetParent(box);
      EXPECT_EQ(kPanelClass, ClassOf(panel));
      EXPECT_EQ(entry.page == 1 ? kPicture6 : kPicture1, GetDlgCtrlID(panel));
      const RECT place = RectInParent(box);
      EXPECT_EQ(TwipsToPixels(columns[ServiceCatalogue::ColumnOf(entry)] + offsets[i]), place.left);
      EXPECT_EQ(TwipsToPixels(240 + 480 * ServiceCatalogue::RowOf(entry)), place.top);
      EXPECT_EQ(BST_UNCHECKED, CheckState(box));
      EXPECT_TRUE(IsEnabled(box));
    }
    HWND caption = FindDescendant(main, kCaptionBase + entry.number);
    ASSERT_NE(nullptr, caption);
    EXPECT_EQ(std::wstring(entry.caption), TextOf(caption));
  }
  EXPECT_EQ(BST_CHECKED, CheckState(FindDescendant(main, kOption1)));
  HWND combo = FindDescendant(main, kXPCombo1);
  EXPECT_EQ(2, SendMessageW(combo, CB_GETCOUNT, 0, 0));
  EXPECT_EQ(CB_ERR, SendMessageW(combo, CB_GETCURSEL, 0, 0));
  EXPECT_FALSE(IsEnabled(combo));
  EXPECT_TRUE(IsVisible(FindDescendant(main, kPicture6)));
  EXPECT_FALSE(IsVisible(FindDescendant(main, kPicture1)));

  CloseAndWait(main);

  EXPECT_EQ(0u, ReadDword(HKEY_LOCAL_MACHINE, kProgramKey, L"FirstRun"));
  EXPECT_EQ(L"Oren Vask", ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Author"));
  EXPECT_EQ(L"Hollin?Soft", ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Company"));
  EXPECT_EQ(L"1.1.0", ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Version"));
  HKEY policy = nullptr;
  ASSERT_EQ(
      ERROR_SUCCESS,
      RegOpenKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Policies\\Microsoft\\Internet Explorer\\Toolbars\\Restrictions", 0,
                    KEY_READ, &policy));
  RegCloseKey(policy);
  for (int box : ServiceCatalogue::BoxNumbers()) {
    EXPECT_EQ(L"0", SavedState(ServiceCatalogue::BoxStem(box))) << "Check" << box;
  }
  EXPECT_EQ(L"True", SavedState(L"tqxzza"));
  EXPECT_EQ(L"False", SavedState(L"tqxzzb"));
  EXPECT_EQ(ReadFile(DataFile(L"TQSE.ini")), ReadFile(kPresetFile));
  for (const auto& [service, start] : xpStarts_) {
    EXPECT_EQ(start, StartOf(service))
        << "no service is touched: " << std::string(service.begin(), service.end());
  }
}

TEST_F(SvctuneEndToEnd, BoxesPresetsAndPagesWorkAndComeBackAfterARestart) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));

  ClickButton(Box(main, 3));
  EXPECT_EQ(4u, StartOf(L"Alerter")) << "the start type is written at once";
  EXPECT_FALSE(IsEnabled(Box(main, 1)));
  EXPECT_FALSE(IsEnabled(Box(main, 2)));
  ClickButton(Box(main, 3));
  EXPECT_EQ(2u, StartOf(L"Alerter"));
  EXPECT_TRUE(IsEnabled(Box(main, 1)));

  ClickButton(FindDescendant(main, kOption2));
  HWND combo = FindDescendant(main, kXPCombo1);
  EXPECT_TRUE(IsEnabled(combo));
  ChooseComboItem(combo, 0);
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(static_cast<DWORD>(entry.thorough), StartOf(KeyOf(entry))) << entry.number;
    EXPECT_EQ(BST_CHECKED, CheckState(Box(main, entry.BoxOf(entry.thorough))));
  }
  ChooseComboItem(combo, 1);
  EXPECT_EQ(2u, StartOf(L"Spooler"));
  EXPECT_EQ(BST_CHECKED, CheckState(Box(main, 171)));
  EXPECT_EQ(BST_UNCHECKED, CheckState(Box(main, 169)));
  EXPECT_FALSE(IsEnabled(Box(main, 170)));

  Click(FindDescendant(main, kLabel33));
  EXPECT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(main, kPicture1)); }, seconds(5)));
  EXPECT_FALSE(IsVisible(FindDescendant(main, kPicture6)));
  EXPECT_TRUE(IsVisible(FindDescendant(main, kPicture1)));
  HWND remoteAccess = FindDescendant(main, kCaptionBase + 51);
  SendMessageW(remoteAccess, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(std::wstring(ServiceCatalogue::FindEntry(51)->hoverText),
            TextOf(FindDescendant(main, kLabel60)));

  // The close control ends the program through its shutdown.
  Click(FindDescendant(main, kCmdEnd));
  ExpectExit();
  const std::string presets = ReadFile(kPresetFile);
  EXPECT_EQ("1\r\n", presets.substr(presets.size() - 3));
  EXPECT_EQ(L"1", SavedState(L"tqfwfh"));
  EXPECT_EQ(L"True", SavedState(L"tqxzzb"));

  // Changed outside the program: the restart writes the saved choice back.
  WriteDword(HKEY_LOCAL_MACHINE, std::wstring(kServices) + L"Spooler", L"Start", 4);
  WriteDword(HKEY_LOCAL_MACHINE, std::wstring(kServices) + L"Alerter", L"Start", 3);
  main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  EXPECT_EQ(2u, StartOf(L"Spooler"));
  EXPECT_EQ(4u, StartOf(L"Alerter"));
  EXPECT_EQ(BST_CHECKED, CheckState(Box(main, 171)));
  EXPECT_EQ(BST_CHECKED, CheckState(FindDescendant(main, kOption2)));
  EXPECT_EQ(1, SendMessageW(FindDescendant(main, kXPCombo1), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(L"1", SavedState(L"tqfwfh")) << "restored values stay until the shutdown";

  ClickButton(FindDescendant(main, kOption1));
  EXPECT_EQ(2u, StartOf(L"Alerter"));
  EXPECT_EQ(BST_UNCHECKED, CheckState(Box(main, 171)));
  CloseAndWait(main);
  EXPECT_EQ(L"0", SavedState(L"tqfwfh"));
}

// The start-up password: a wrong entry is refused, the right one lets the user in; closing the
// prompt in any other way ends the program through the main window's shutdown.
TEST_F(SvctuneEndToEnd, StartupPasswordGuardsTheMainWindow) {
  RequireStartupPassword(L"secret1");

  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  HWND prompt = WaitForTopLevelWindow(program_->id(), nullptr, kLoginCaption, seconds(20));
  ASSERT_NE(nullptr, prompt);
  EXPECT_FALSE(IsEnabled(main)) << "no input before the right password";
  HWND entry = FindDescendant(prompt, kLoginTxtPassword);
  ASSERT_NE(nullptr, entry);

  TypeText(entry, L"secret2");
  PressKey(entry, VK_RETURN);
  const std::optional<MessageBoxInfo> refusal = WaitForMessageBox(program_->id(), seconds(10));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(L"密码不正确，请重新输入", refusal->text);
  Acknowledge(*refusal);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(entry).empty(); }, seconds(5)));
  EXPECT_FALSE(IsEnabled(main));

  TypeText(entry, L"secret1");
  PressKey(entry, VK_RETURN);
  EXPECT_TRUE(WaitForInput(main));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, seconds(10)));
  CloseAndWait(main);

  // Alt+F4 on the prompt cancels: the program ends and still saves its state.
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, SettingsKey(L"tqala").c_str());
  main = Launch();
  ASSERT_NE(nullptr, main);
  prompt = WaitForTopLevelWindow(program_->id(), nullptr, kLoginCaption, seconds(20));
  ASSERT_NE(nullptr, prompt);
  SystemClose(prompt);
  ExpectExit();
  EXPECT_EQ(L"0", SavedState(L"tqala"));
}

// Log-off: the session end saves everything once, before Windows may end the process, and a
// process killed later keeps the user's choices for the next start.
TEST_F(SvctuneEndToEnd, ChoicesSurviveTheSessionEndAndAKill) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  ClickButton(Box(main, 3));
  EXPECT_EQ(TRUE, SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(L"1", SavedState(L"tqalc"));
  EXPECT_EQ(L"0", SavedState(L"tqala"));
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, SettingsKey(L"tqala").c_str());
  CloseAndWait(main);
  EXPECT_FALSE(SavedState(L"tqala")) << "the shutdown ran once, at the session end";

  for (int start = 0; start < 2; ++start) {
    WriteDword(HKEY_LOCAL_MACHINE, std::wstring(kServices) + L"Alerter", L"Start", 2);
    main = Launch();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitForInput(main));
    EXPECT_EQ(BST_CHECKED, CheckState(Box(main, 3))) << "start " << start;
    EXPECT_EQ(4u, StartOf(L"Alerter"));
    program_.reset();  // killed: no shutdown
  }
}

// TQSE.ini held open by another program: read all the same when it shares reading; left as it
// is when it shares nothing, rather than replaced by the empty list the program could read.
TEST_F(SvctuneEndToEnd, APresetFileHeldByAnotherProgramIsNeverLost) {
  const std::string original = ReadFile(kPresetFile);
  for (DWORD sharing : {DWORD{FILE_SHARE_READ}, DWORD{0}}) {
    HANDLE held = CreateFileW(kPresetFile, GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    HWND main = Launch();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitForInput(main));
    EXPECT_EQ(sharing == 0 ? 0 : 2,
              SendMessageW(FindDescendant(main, kXPCombo1), CB_GETCOUNT, 0, 0))
        << "sharing " << sharing;
    CloseHandle(held);  // let go before the shutdown: replacing the file could succeed now
    CloseAndWait(main);
    EXPECT_EQ(original, ReadFile(kPresetFile)) << "sharing " << sharing;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kPresetBackup));
  }
}

// Choices are saved as they change: killed right after choosing "细致优化" over a saved
// "普通优化", the next start brings "细致优化" back.
TEST_F(SvctuneEndToEnd, TheLatestChoiceSurvivesAKill) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  ClickButton(FindDescendant(main, kOption2));
  ChooseComboItem(FindDescendant(main, kXPCombo1), 1);
  CloseAndWait(main);

  main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  ChooseComboItem(FindDescendant(main, kXPCombo1), 0);
  const ServiceEntry& spooler = *ServiceCatalogue::FindEntry(57);
  EXPECT_EQ(L"1", SavedState(ServiceCatalogue::BoxStem(spooler.disabledBox)));
  EXPECT_EQ(L"0", SavedState(ServiceCatalogue::BoxStem(spooler.automaticBox)));
  const std::string presets = ReadFile(kPresetFile);
  EXPECT_EQ("\r\n0\r\n", presets.substr(presets.size() - 5)) << "the selection is saved";
  program_.reset();  // killed: no shutdown

  main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  EXPECT_EQ(0, SendMessageW(FindDescendant(main, kXPCombo1), CB_GETCURSEL, 0, 0));
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(static_cast<DWORD>(entry.thorough), StartOf(KeyOf(entry))) << entry.number;
    EXPECT_EQ(BST_CHECKED, CheckState(Box(main, entry.BoxOf(entry.thorough)))) << entry.number;
  }
  EXPECT_EQ(BST_UNCHECKED, CheckState(Box(main, spooler.automaticBox)));
  CloseAndWait(main);
}

// A second start brings the running window forward and ends before it touches anything.
TEST_F(SvctuneEndToEnd, ASecondStartLeavesTheRunningOneAlone) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, kProgramKey);
  DeleteFileW(kPresetFile);

  std::optional<Process> second = Process::Start(kProgram);
  ASSERT_TRUE(second);
  EXPECT_EQ(std::optional<DWORD>(0), second->WaitForExit(seconds(30)));
  EXPECT_TRUE(program_->Running());
  EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Author"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kPresetFile));
  CloseAndWait(main);
}

// A start-up mark held by something that is no running svctune: the start says so and ends,
// having touched nothing.
TEST_F(SvctuneEndToEnd, AStartMarkHeldElsewhereIsReported) {
  // Held for this test only, whatever its outcome: later tests start the program again.
  const std::unique_ptr<void, decltype(&CloseHandle)> held(
      CreateMutexW(nullptr, TRUE, kInstanceMutex), &CloseHandle);
  ASSERT_NE(nullptr, held.get());
  program_ = Process::Start(kProgram);
  ASSERT_TRUE(program_);
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(program_->id(), seconds(30));
  ASSERT_TRUE(box);
  EXPECT_EQ(L"另一个 svctune 正在运行，或其启动标记被占用", box->text);
  EXPECT_TRUE(TopLevelWindows(program_->id(), kMainClass).empty());
  Acknowledge(*box);
  EXPECT_EQ(std::optional<DWORD>(1), program_->WaitForExit(seconds(30)));
  EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kProgramKey, L"Author")) << "nothing was written";
}

// While the start-up password is asked for, clicks posted to the main window's controls by
// another program change nothing.
TEST_F(SvctuneEndToEnd, PostedClicksWaitForThePassword) {
  RequireStartupPassword(L"secret1");
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  HWND prompt = WaitForTopLevelWindow(program_->id(), nullptr, kLoginCaption, seconds(20));
  ASSERT_NE(nullptr, prompt);

  PostMessageW(Box(main, 3), BM_CLICK, 0, 0);
  PostMessageW(FindDescendant(main, kOption2), BM_CLICK, 0, 0);
  HWND combo = FindDescendant(main, kXPCombo1);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(kXPCombo1, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(combo));
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kLblCap4, STN_CLICKED), 0);
  Sleep(1000);
  EXPECT_EQ(xpStarts_[L"Alerter"], StartOf(L"Alerter"));
  EXPECT_EQ(xpStarts_[L"Spooler"], StartOf(L"Spooler"));
  EXPECT_EQ(BST_UNCHECKED, CheckState(Box(main, 3)));
  EXPECT_EQ(BST_CHECKED, CheckState(FindDescendant(main, kOption1)));
  EXPECT_TRUE(TopLevelWindows(program_->id(), kGateClass).empty());
  SystemClose(prompt);
  ExpectExit();
}

// The visible flat button of the gate (Command1, 2 or 3 share one place).
HWND VisibleGateButton(HWND gate) {
  for (HWND button : Children(gate, L"LaminaButton")) {
    if (IsVisible(button)) {
      return button;
    }
  }
  return nullptr;
}

void EnterInto(HWND entry, const std::wstring& text) {
  SetWindowTextW(entry, L"");
  TypeText(entry, text);
  PressKey(entry, VK_RETURN);
}

// The access gate: opened from "设置密码", its default password, a new gate password that a
// restart of the program accepts, and the way on to the password settings.
TEST_F(SvctuneEndToEnd, AccessGateLeadsToThePasswordSettings) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  HWND gate = OpenGateFirstTime(main);
  ASSERT_NE(nullptr, gate);
  EXPECT_EQ(L"设置登陆密码验证", TextOf(gate));
  EXPECT_EQ(3u, Children(gate, L"LaminaButton").size()) << "the flat buttons are hosted";
  EXPECT_EQ(1u, Children(gate, L"VellumCorvidForm").size()) << "the skin frames the gate";
  Click(FindDescendant(main, kLblCap4));
  Sleep(500);
  EXPECT_EQ(1u, TopLevelWindows(program_->id(), kGateClass).size()) << "one gate at a time";

  EnterInto(FindDescendant(gate, kGateText1), L"135790");
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateLabel4)); }, seconds(10)));
  EXPECT_FALSE(IsVisible(FindDescendant(gate, kGateText1)));
  EXPECT_TRUE(WaitUntil(
      [] {
        return ReadText(HKEY_CURRENT_USER, L"Software\\exp1orer", L"pass") ==
               std::optional<std::wstring>(L"3<:864");
      },
      seconds(5)))
      << "the timer stores the default";

  ClickButton(FindDescendant(gate, kGateCheck1));
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateText2)); }, seconds(5)));
  EnterInto(FindDescendant(gate, kGateText2), L"abc123");
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateText1)); }, seconds(5)));
  EXPECT_EQ(L"654fed", ReadText(HKEY_CURRENT_USER, L"Software\\exp1orer", L"pass"));
  EnterInto(FindDescendant(gate, kGateText1), L"abc123");
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateLabel4)); }, seconds(10)));
  SystemClose(gate);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(gate); }, seconds(10)));
  CloseAndWait(main);

  main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  Click(FindDescendant(main, kLblCap4));
  gate = WaitForTopLevelWindow(program_->id(), kGateClass, nullptr, seconds(20));
  ASSERT_NE(nullptr, gate);
  EnterInto(FindDescendant(gate, kGateText1), L"135790");
  Sleep(500);
  EXPECT_FALSE(IsVisible(FindDescendant(gate, kGateLabel4))) << "the old password is refused";
  EnterInto(FindDescendant(gate, kGateText1), L"abc123");
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateLabel4)); }, seconds(10)));
  // The gate shows its button just after the label: a slow machine can be looked at between.
  HWND command3 = nullptr;
  WaitUntil([&] { return (command3 = VisibleGateButton(gate)) != nullptr; }, seconds(10));
  ASSERT_NE(nullptr, command3);
  Click(command3);
  HWND settings =
      WaitForTopLevelWindow(program_->id(), nullptr, kPasswordSettingsCaption, seconds(20));
  EXPECT_NE(nullptr, settings) << "frmPassword opens";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gate); }, seconds(10))) << "and the gate closes";
  if (settings != nullptr) {
    SystemClose(settings);
  }
  CloseAndWait(main);
}

// Another program posts the gate's commands and sets its hidden boxes, as the attack did: the
// gate gives neither the password settings nor a new gate password without the gate password.
TEST_F(SvctuneEndToEnd, PostedCommandsDoNotGetPastTheGate) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  HWND gate = OpenGateFirstTime(main);
  ASSERT_NE(nullptr, gate);
  HWND text1 = FindDescendant(gate, kGateText1);
  HWND text2 = FindDescendant(gate, kGateText2);
  const std::optional<std::wstring> defaultStored(L"3<:864");
  ASSERT_TRUE(WaitUntil(
      [&] { return ReadText(HKEY_CURRENT_USER, L"Software\\exp1orer", L"pass") == defaultStored; },
      seconds(5)));
  EXPECT_FALSE(IsEnabled(text2)) << "a hidden box is disabled";

  // The settings command, a new password put into the hidden box with its store command, and
  // clicks on the hidden flat buttons.
  auto attack = [&] {
    PostMessageW(gate, WM_COMMAND, MAKEWPARAM(kGateCommandBase + 3, BN_CLICKED), 0);
    SendMessageW(text2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"evil99"));
    PostMessageW(gate, WM_COMMAND, MAKEWPARAM(kGateCommandBase + 2, BN_CLICKED), 0);
    for (HWND button : Children(gate, L"LaminaButton")) {
      if (!IsVisible(button)) {
        EXPECT_FALSE(IsEnabled(button)) << "a hidden flat button is disabled";
        Click(button);
      }
    }
  };
  attack();
  // Posted after the attack, so handled after it: the gate password, typed as a user would.
  SendMessageW(text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"135790"));
  PostMessageW(gate, WM_COMMAND, MAKEWPARAM(kGateCommandBase + 1, BN_CLICKED), 0);
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(FindDescendant(gate, kGateLabel4)); }, seconds(10)));
  EXPECT_TRUE(TopLevelWindows(program_->id(), nullptr, kPasswordSettingsCaption).empty());
  EXPECT_EQ(defaultStored, ReadText(HKEY_CURRENT_USER, L"Software\\exp1orer", L"pass"));

  // Confirmed: a new password still needs "更改密码", and what stood in the hidden box before
  // is not taken.
  SendMessageW(text2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"evil99"));
  PostMessageW(gate, WM_COMMAND, MAKEWPARAM(kGateCommandBase + 2, BN_CLICKED), 0);
  PostMessageW(FindDescendant(gate, kGateCheck1), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(text2); }, seconds(5)));
  EXPECT_EQ(L"", TextOf(text2));
  EXPECT_EQ(defaultStored, ReadText(HKEY_CURRENT_USER, L"Software\\exp1orer", L"pass"));
  EXPECT_TRUE(TopLevelWindows(program_->id(), nullptr, kPasswordSettingsCaption).empty());
  SystemClose(gate);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(gate); }, seconds(10)));
  CloseAndWait(main);
}

TEST_F(SvctuneEndToEnd, ShowsWhatTheMachineHoldsAndTakesItBack) {
  // This machine lacks two of the services.
  for (const wchar_t* missing : {L"mnmsrvc", L"SwPrv"}) {
    ASSERT_EQ(ERROR_SUCCESS,
              SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kServices + std::wstring(missing)).c_str()));
  }
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  SetForegroundWindow(main);
  const std::vector<COLORREF> inks = {kCaptionInk, kMissingInk, kWarningInk};
  auto caption = [&](int number) { return FindDescendant(main, kCaptionBase + number); };
  HWND status = FindDescendant(main, kStatusLine);
  ASSERT_NE(nullptr, status);
  const std::wstring originals = std::wstring(kProgramKey) + L"\\OriginalStartTypes";
  EXPECT_EQ(xpStarts_[L"ALG"], ReadDword(HKEY_LOCAL_MACHINE, originals, L"ALG"));
  EXPECT_EQ(std::nullopt, ReadDword(HKEY_LOCAL_MACHINE, originals, L"mnmsrvc"));

  EXPECT_TRUE(WaitUntil([&] { return InkOf(caption(22), inks) == kMissingInk; }, seconds(5)));
  EXPECT_EQ(kMissingInk, InkOf(caption(24), inks));
  EXPECT_EQ(kCaptionInk, InkOf(caption(2), inks));
  PointAt(caption(22));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(status) == L"mnmsrvc（mnmsrvc）：本机没有此服务"; },
                        seconds(5)))
      << Utf8(TextOf(status));
  PointAt(caption(26));  // NetDDEdsdm: Network DDE depends on it, and ClipBook on Network DDE
  // The dependents come from the registry, so Wine (whose service manager cannot list them)
  // names them too, the nearer first.
  const std::wstring dsdm =
      L"Network DDE DSDM（NetDDEdsdm）：禁用，未运行。被依赖：Network DDE、ClipBook";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(status) == dsdm; }, seconds(5)))
      << Utf8(TextOf(status));

  // ALG's 禁用 ticked, then its start type changed behind the program's back.
  const ServiceEntry& alg = *ServiceCatalogue::FindEntry(2);
  ClickButton(Box(main, alg.disabledBox));
  EXPECT_EQ(4u, StartOf(L"ALG"));
  WriteDword(HKEY_LOCAL_MACHINE, kServices + std::wstring(L"ALG"), L"Start", 3);
  PointAt(caption(2));
  const std::wstring algHead = L"Application Layer Gateway Service（ALG）：手动，未运行";
  const std::wstring algWarning = L"。所选“禁用”与本机不符：已在本程序之外更改";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(status) == algHead + L"。被依赖：无" + algWarning; },
                        seconds(5)))
      << Utf8(TextOf(status));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(caption(2), inks) == kWarningInk; }, seconds(5)));

  // A preset, then the way back: every recorded start type returns.
  ClickButton(FindDescendant(main, kOption2));
  ChooseComboItem(FindDescendant(main, kXPCombo1), 0);
  EXPECT_EQ(4u, StartOf(L"Alerter"));
  Click(FindDescendant(main, kRestoreLink));
  std::optional<MessageBoxInfo> question = WaitForMessageBox(program_->id(), seconds(10));
  ASSERT_TRUE(question);
  EXPECT_NE(std::wstring::npos, question->text.find(L"还原为初始设置")) << Utf8(question->text);
  PostMessageW(question->window, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question->window, IDYES)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question->window); }, seconds(10)));
  std::optional<MessageBoxInfo> report = WaitForMessageBox(program_->id(), seconds(20));
  ASSERT_TRUE(report);
  EXPECT_EQ(0u, report->text.find(L"已还原 ")) << Utf8(report->text);
  Acknowledge(*report);
  for (const auto& [service, start] : xpStarts_) {
    if (service == L"mnmsrvc" || service == L"SwPrv") {
      EXPECT_EQ(std::nullopt, ReadDword(HKEY_LOCAL_MACHINE, kServices + service, L"Start"));
    } else {
      EXPECT_EQ(start, StartOf(service)) << std::string(service.begin(), service.end());
    }
  }
  EXPECT_EQ(BST_CHECKED, CheckState(FindDescendant(main, kOption1)));
  EXPECT_EQ(BST_UNCHECKED, CheckState(Box(main, alg.disabledBox)));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(caption(2), inks) == kCaptionInk; }, seconds(5)));

  // The backup, through the standard save dialog, imports again with regedit.
  const std::wstring backup = L"C:\\svctune\\e2e-backup.reg";
  DeleteFileW(backup.c_str());
  Click(FindDescendant(main, kExportLink));
  HWND dialog = WaitForTopLevelWindow(program_->id(), L"#32770", nullptr, seconds(10));
  ASSERT_NE(nullptr, dialog);
  HWND name = SaveDialogNameBox(dialog);
  ASSERT_NE(nullptr, name);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(backup.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, seconds(10)));
  std::optional<MessageBoxInfo> exported = WaitForMessageBox(program_->id(), seconds(10));
  ASSERT_TRUE(exported);
  EXPECT_EQ(L"已把 54 项服务的启动方式导出到：" + backup, exported->text);
  Acknowledge(*exported);
  CloseAndWait(main);

  for (const auto& [service, start] : xpStarts_) {
    WriteDword(HKEY_LOCAL_MACHINE, kServices + service, L"Start", 7);
  }
  ASSERT_TRUE(RunAndWait(L"regedit /S " + backup));
  for (const auto& [service, start] : xpStarts_) {
    EXPECT_EQ(service == L"mnmsrvc" || service == L"SwPrv" ? 7u : start, StartOf(service))
        << std::string(service.begin(), service.end());
  }
  // The two services come back whole for the other scenarios.
  ASSERT_TRUE(RunAndWait(L"regedit /S \"" + DataFile(L"xp-services.reg") + L"\""));
  DeleteFileW(backup.c_str());
}

// "还原初始设置" writes each usable record once and nothing else: a service without a record,
// or with a damaged one, keeps the start type it has (no 2 from unticking its box), and is
// named. The next start does not apply the preset that was chosen before the restore.
TEST_F(SvctuneEndToEnd, RestoreWritesOnlyRecordsAndLastsPastARestart) {
  HWND main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  const std::wstring originals = std::wstring(kProgramKey) + L"\\OriginalStartTypes";
  ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_LOCAL_MACHINE, originals.c_str(), L"Browser"));
  WriteDword(HKEY_LOCAL_MACHINE, originals, L"CiSvc", 7);
  ClickButton(FindDescendant(main, kOption2));
  ChooseComboItem(FindDescendant(main, kXPCombo1), 0);
  ASSERT_EQ(4u, StartOf(L"Browser"));
  ASSERT_EQ(4u, StartOf(L"CiSvc"));

  Click(FindDescendant(main, kRestoreLink));
  const std::optional<MessageBoxInfo> question = WaitForMessageBox(program_->id(), seconds(10));
  ASSERT_TRUE(question);
  PostMessageW(question->window, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question->window, IDYES)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question->window); }, seconds(10)));
  const std::optional<MessageBoxInfo> report = WaitForMessageBox(program_->id(), seconds(20));
  ASSERT_TRUE(report);
  for (const wchar_t* line :
       {L"\nBrowser（Browser）：没有初始设置的记录", L"\nCiSvc（CiSvc）：初始设置的记录已损坏"}) {
    EXPECT_NE(std::wstring::npos, report->text.find(line)) << Utf8(report->text);
  }
  Acknowledge(*report);

  auto expectOriginals = [&] {
    for (const auto& [service, start] : xpStarts_) {
      const bool unrecorded = service == L"Browser" || service == L"CiSvc";
      EXPECT_EQ(unrecorded ? 4u : start, StartOf(service))
          << std::string(service.begin(), service.end());
    }
  };
  expectOriginals();
  CloseAndWait(main);

  main = Launch();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(WaitForInput(main));
  EXPECT_EQ(CB_ERR, SendMessageW(FindDescendant(main, kXPCombo1), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(BST_CHECKED, CheckState(FindDescendant(main, kOption1)));
  expectOriginals();
  CloseAndWait(main);
}

}  // namespace
}  // namespace svctune
