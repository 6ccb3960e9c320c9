// The real svctune.exe on the Windows 10 machine (scripts/e2e-prefix.sh --services win10):
// the window "全部服务" and the command line on a set with per-user templates, drivers,
// delayed starts and keys Windows protects, with the registry and the files read back.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace svctune {
namespace {

using namespace automation;
using namespace e2e;
using std::chrono::seconds;

constexpr int kStartColumn = 2;
constexpr const wchar_t* kOriginalStarts = L"Software\\Hollin Soft\\Pardell\\OriginalStartTypes";
constexpr const wchar_t* kOriginalDelayed =
    L"Software\\Hollin Soft\\Pardell\\OriginalDelayedAutostart";

[[maybe_unused]] const ::testing::Environment* const kProtectedKeys =
    ::testing::AddGlobalTestEnvironment(new ProtectedWindows10Keys);

// The services the tests change, set back around each test to their start types in
// data/win10-services.txt.
const struct {
  const wchar_t* service;
  DWORD start;
  DWORD delayed;
} kChangedServices[] = {
    {L"AJRouter", 3, 0}, {L"AudioEndpointBuilder", 2, 0}, {L"MapsBroker", 2, 1}};

std::wstring ServiceKey(const std::wstring& service) {
  return kServices + service;
}

std::optional<DWORD> DelayedOf(const std::wstring& service) {
  return ReadDword(HKEY_LOCAL_MACHINE, ServiceKey(service), L"DelayedAutostart");
}

void ResetChangedServices() {
  for (const auto& changed : kChangedServices) {
    WriteDword(HKEY_LOCAL_MACHINE, ServiceKey(changed.service), L"Start", changed.start);
    WriteDword(HKEY_LOCAL_MACHINE, ServiceKey(changed.service), L"DelayedAutostart",
               changed.delayed);
  }
}

class Win10EndToEnd : public ProgramEndToEnd {
 protected:
  void SetUp() override {
    ProgramEndToEnd::SetUp();
    ResetChangedServices();
  }
  void TearDown() override {
    ResetChangedServices();
    ForgetProgramState();
  }

  // The window "全部服务", opened from the main window's link; the main window in main_, the
  // list in list_.
  HWND OpenServicesWindow() {
    main_ = Launch();
    if (main_ == nullptr || !WaitForInput(main_)) {
      ADD_FAILURE() << "the main window did not come";
      return nullptr;
    }
    Click(FindDescendant(main_, kServicesLink));
    HWND window = WaitForTopLevelWindow(program_->id(), kServicesClass, nullptr, seconds(60));
    if (window == nullptr) {
      return nullptr;
    }
    list_ = FindDescendant(window, kServicesList);
    // The keys after the first screen are read while the window idles; its status line says
    // so until every one is read.
    HWND status = FindDescendant(window, kServicesStatus);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(status).empty(); }, seconds(60)))
        << Utf8(TextOf(status));
    return window;
  }
  int Rows() const { return static_cast<int>(ListView_GetItemCount(list_)); }
  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> cells;
    for (int row = 0; row < Rows(); ++row) {
      cells.push_back(CellText(list_, row, column));
    }
    return cells;
  }
  void Filter(HWND window, const std::wstring& text) {
    HWND filter = FindDescendant(window, kServicesFilter);
    SendMessageW(filter, EM_SETSEL, 0, -1);
    TypeText(filter, L"\b" + text);
  }
  // Filters the list down to the service and selects its row.
  bool Select(HWND window, const std::wstring& service) {
    Filter(window, service);
    if (Rows() != 1 || CellText(list_, 0) != service) {
      return false;
    }
    PressKey(list_, VK_HOME);
    return WaitUntil(
        [&] {
          return TextOf(FindDescendant(window, kServicesDetails)).find(L"（" + service + L"）") !=
                 std::wstring::npos;
        },
        seconds(5));
  }

  HWND main_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(Win10EndToEnd, TheWindowListsTemplatesOnceAndNoDriverAndSortsByStartType) {
  HWND window = OpenServicesWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_GE(Rows(), 200 + 23);
  const struct {
    const wchar_t* filter;
    std::vector<std::wstring> rows;
  } filters[] = {
      {L"CDPUserSvc", {L"CDPUserSvc（每用户服务，2 个实例）"}},
      // The drivers WdBoot and WdFilter have display names of this kind too.
      {L"Defender Antivirus", {L"WdNisSvc", L"WinDefend"}},
  };
  for (const auto& filter : filters) {
    Filter(window, filter.filter);
    EXPECT_EQ(filter.rows, Column(0)) << Utf8(filter.filter);
  }

  Filter(window, L"");
  ASSERT_GE(Rows(), 200 + 23);
  const int keyWidth = ListView_GetColumnWidth(list_, 0);
  const int nameWidth = ListView_GetColumnWidth(list_, 1);
  ClickAt(ListView_GetHeader(list_), keyWidth + nameWidth + 10, 8);
  const std::vector<std::wstring> order = {L"引导", L"系统", L"自动", L"自动（延迟启动）",
                                           L"手动", L"禁用"};
  const auto rankOf = [&](const std::wstring& text) {
    return std::find(order.begin(), order.end(), text) - order.begin();
  };
  std::vector<std::wstring> starts;
  const auto sortedByStart = [&] {
    starts = Column(kStartColumn);
    return std::is_sorted(starts.begin(), starts.end(),
                          [&](const auto& a, const auto& b) { return rankOf(a) < rankOf(b); });
  };
  EXPECT_TRUE(WaitUntil(sortedByStart, seconds(10)));
  EXPECT_NE(starts.end(), std::find(starts.begin(), starts.end(), L"自动（延迟启动）"));
  CloseAndWait(main_);
}

TEST_F(Win10EndToEnd, TheWindowChangesOtherServicesWithinTheRefusals) {
  HWND window = OpenServicesWindow();
  ASSERT_NE(nullptr, window);
  HWND refusal = FindDescendant(window, kServicesRefusal);
  const struct {
    const wchar_t* service;
    bool offered[4];  // by StartChoice
    std::wstring refusal;
  } offers[] = {
      {L"AJRouter", {true, true, true, true}, L""},
      {L"WinDefend", {false, false, false, false}, L"受 Windows 保护"},
      {L"BrokerInfrastructure",
       {true, true, true, false},
       L"禁用：Windows 离不开此服务，不能禁用："},
  };
  for (const auto& offer : offers) {
    SCOPED_TRACE(Utf8(offer.service));
    ASSERT_TRUE(Select(window, offer.service));
    for (int choice = 0; choice < 4; ++choice) {
      EXPECT_EQ(offer.offered[choice],
                IsEnabled(FindDescendant(window, kServicesChoiceBase + choice)))
          << choice;
    }
    EXPECT_EQ(offer.refusal, TextOf(refusal).substr(0, offer.refusal.size()));
    EXPECT_EQ(offer.refusal.empty(), TextOf(refusal).empty());
  }

  ASSERT_TRUE(Select(window, L"AJRouter"));
  ClickButton(FindDescendant(window, kServicesChoiceBase + 1));
  EXPECT_EQ(2u, StartOf(L"AJRouter"));
  EXPECT_EQ(1u, DelayedOf(L"AJRouter"));
  EXPECT_EQ(3u, ReadDword(HKEY_LOCAL_MACHINE, kOriginalStarts, L"AJRouter"));
  EXPECT_EQ(0u, ReadDword(HKEY_LOCAL_MACHINE, kOriginalDelayed, L"AJRouter"));
  EXPECT_EQ(L"自动（延迟启动）", CellText(list_, 0, kStartColumn));

  // Audiosrv starts automatically and needs AudioEndpointBuilder.
  ASSERT_TRUE(Select(window, L"AudioEndpointBuilder"));
  ClickButton(FindDescendant(window, kServicesChoiceBase + 3));
  EXPECT_EQ(4u, StartOf(L"AudioEndpointBuilder"));
  const std::wstring status = TextOf(FindDescendant(window, kServicesStatus));
  EXPECT_NE(std::wstring::npos, status.find(L"自动启动的 Audiosrv 依赖此服务")) << Utf8(status);
  CloseAndWait(main_);
}

// The template names services outside the catalogue: MapsBroker, a delayed automatic start, and
// WinDefend, whose key Windows protects.
TEST_F(Win10EndToEnd, ApplySetsOtherServicesAndRefusesProtectedOnesAndRestoreBringsThemBack) {
  const std::wstring policy = L"C:\\svctune\\win10-apply.inf";
  WriteBytes(policy,
             "[Version]\r\nsignature=\"$CHICAGO$\"\r\n[Service General Setting]\r\n"
             "\"MapsBroker\",3,\"\"\r\n\"WinDefend\",4,\"\"\r\n");
  const CommandRun applied = RunSvctune(L"/apply " + policy);
  EXPECT_EQ(1u, applied.exitCode) << Utf8(applied.output);
  const std::size_t failure = applied.output.find(L"失败 WinDefend：");
  ASSERT_NE(std::wstring::npos, failure) << Utf8(applied.output);
  EXPECT_NE(std::wstring::npos,
            applied.output.substr(failure, applied.output.find(L'\n', failure) - failure)
                .find(L"受 Windows 保护"))
      << Utf8(applied.output);
  EXPECT_EQ(3u, StartOf(L"MapsBroker"));
  EXPECT_EQ(2u, ReadDword(HKEY_LOCAL_MACHINE, kOriginalStarts, L"MapsBroker"));
  EXPECT_EQ(1u, ReadDword(HKEY_LOCAL_MACHINE, kOriginalDelayed, L"MapsBroker"));
  EXPECT_EQ(2u, StartOf(L"WinDefend"));
  EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, kOriginalStarts, L"WinDefend"));
  EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, kOriginalDelayed, L"WinDefend"));
  DeleteFileW(policy.c_str());

  // Meanwhile another tool drops the delayed start, as the services console's 自动 does.
  WriteDword(HKEY_LOCAL_MACHINE, ServiceKey(L"MapsBroker"), L"DelayedAutostart", 0);
  const CommandRun restored = RunSvctune(L"/restore");
  EXPECT_EQ(0u, restored.exitCode) << Utf8(restored.output);
  EXPECT_EQ(2u, StartOf(L"MapsBroker"));
  EXPECT_EQ(1u, DelayedOf(L"MapsBroker"));
}

TEST_F(Win10EndToEnd, ExportAllNamesTheServicesOutsideTheCatalogue) {
  const struct {
    const wchar_t* file;
    std::vector<std::wstring> present;
    std::vector<std::wstring> absent;
  } exports[] = {
      {L"C:\\svctune\\win10-all.inf",
       {L"\"AJRouter\",3,\"\"", L"\"MapsBroker\",2,\"\"", L"\"CDPUserSvc\",2,\"\""},
       {L"\"CDPUserSvc_", L"\"WdBoot\""}},
      {L"C:\\svctune\\win10-all.reg",
       {L"\\Services\\AJRouter]\r\n\"Start\"=dword:00000003",
        L"\\Services\\CDPUserSvc]\r\n\"Start\"=dword:00000002"},
       {L"\\Services\\CDPUserSvc_", L"\\Services\\WdFilter]"}},
  };
  for (const auto& exported : exports) {
    SCOPED_TRACE(Utf8(exported.file));
    const CommandRun run = RunSvctune(L"/export " + std::wstring(exported.file) + L" /all");
    EXPECT_EQ(0u, run.exitCode) << Utf8(run.output);
    const std::wstring text = TextOfFile(exported.file);
    for (const std::wstring& line : exported.present) {
      EXPECT_NE(std::wstring::npos, text.find(line)) << Utf8(line);
    }
    for (const std::wstring& line : exported.absent) {
      EXPECT_EQ(std::wstring::npos, text.find(line)) << Utf8(line);
    }
    DeleteFileW(exported.file);
  }
}

}  // namespace
}  // namespace svctune
