// Figures of svctune's main window under Wine: the load step on a clean machine and with all
// 170 saved values present, each preset, the shutdown, the registry calls each makes (counted
// through the registry seam) next to the number the behaviour requires, the peak working set
// and the GDI and USER objects of the main window. Registry work goes to a scratch key.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/formhome.h"
#include "optimizer/machine_start_types.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "registry/counting_registry.h"
#include "service_keys.h"
#include "win/code_page_codec.h"
#include "win/file_preset_store.h"
#include "win/formhome_window.h"
#include "win/gui_resources.h"
#include "win/scm_service_manager.h"
#include "win/scratch_hives.h"

namespace {

using svctune::ServiceCatalogue;

// Registry calls of one operation of the layer, as the behaviour fixes them.
constexpr int kCreateKeyCalls = 2;     // create, close
constexpr int kWriteCalls = 3;         // open or create, set, close
constexpr int kMissingReadCalls = 1;   // an open that finds no key
constexpr int kPresentReadCalls = 4;   // open, size, data, close
constexpr int kInformationValues = 7;  // FirstRun and six texts
constexpr int kPolicyKeys = 7;
constexpr int kSavedControls = 170;
constexpr int kServices = 56;
constexpr int kDifferingEntries = 5;

constexpr int kInformationBlockCalls = kCreateKeyCalls + kInformationValues * kWriteCalls;
constexpr int kPolicyCalls = kPolicyKeys * kCreateKeyCalls;

class QuietHost final : public svctune::FormhomeHost {
 public:
  bool RunLoginPrompt() override { return true; }
  void BringToFront() override {}
  void CloseWindow() override {}
  void Minimize() override {}
  void OpenAccessGate() override {}
  void OpenWebPage(std::wstring_view) override {}
  void TrimWorkingSet(std::size_t, std::size_t) override {}
  void StartStartupTimer() override {}
};

double Milliseconds(const std::function<void()>& work) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

int failures = 0;

void Report(const char* what, double milliseconds, std::size_t calls, int required) {
  const bool exact = calls == static_cast<std::size_t>(required);
  failures += exact ? 0 : 1;
  std::printf("%-44s %9.2f ms %7zu calls %7d required %s\n", what, milliseconds, calls, required,
              exact ? "" : "MISMATCH");
}

// Calls beyond what the behaviour of the service list requires: what the window reads to show
// the machine's real start types, and the record, restore and backup of them.
void ReportExtra(const char* what, double milliseconds, std::size_t registryCalls,
                 std::size_t managerCalls) {
  std::printf("%-44s %9.2f ms %7zu calls %7zu service-manager calls\n", what, milliseconds,
              registryCalls, managerCalls);
}

class AlwaysYes final : public svctune::Confirmation {
 public:
  bool AskYesNo(std::wstring_view, std::wstring_view) override { return true; }
};

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int wmain() {
  svctune::testing::ScratchHives hives;
  svctune::registry::CountingRegistry counting(hives.Api());
  const svctune::CodePageCodec systemCodePage(CP_ACP);
  const svctune::CodePageCodec presetCodePage(936);
  svctune::testing::RecordingPresenter messages;
  svctune::registry::RegistryAccess registry(counting, systemCodePage, messages,
                                             std::wstring(svctune::kProgramTitle));
  svctune::testing::ServiceKeys(hives.Api()).InstallAll();

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  svctune::win::FilePresetStore presetFile(std::wstring(temp) + L"svctune-bench-TQSE.ini");
  presetFile.Write(svctune::FormatPresetFile({L"细致优化", L"普通优化"}, -1, presetCodePage));
  QuietHost host;

  std::printf("%-44s %12s %13s %16s\n", "operation", "time", "measured", "by behaviour");
  {
    svctune::Formhome form(registry, presetFile, presetCodePage, messages, host);
    counting.Reset();
    double time = Milliseconds([&] { form.Load(); });
    Report("load step, clean machine", time, counting.Total(),
           kInformationBlockCalls + kPolicyCalls + kSavedControls * kMissingReadCalls);

    form.Modes().SetOption(2, true);
    counting.Reset();
    time = Milliseconds([&] { form.Modes().ChooseItem(0); });
    Report("preset 细致优化 from unticked boxes", time, counting.Total(), kServices * kWriteCalls);

    counting.Reset();
    time = Milliseconds([&] { form.Modes().ChooseItem(1); });
    // Each differing entry: 自动 ticked (writes 2), 禁用 cleared (writes 2).
    Report("preset 普通优化 after 细致优化", time, counting.Total(),
           kDifferingEntries * 2 * kWriteCalls);

    counting.Reset();
    for (int tick = 0; tick < 3; ++tick) {
      form.OnTimer2();
    }
    Report("start-up gate (third tick of Timer2)", 0.0, counting.Total(), kWriteCalls);

    counting.Reset();
    time = Milliseconds([&] { form.Unload(); });
    Report("shutdown", time, counting.Total(), kSavedControls * kWriteCalls);
  }
  {
    // The values just saved: the file's preset (普通优化, from unticked boxes) is applied
    // first, then every value is read (and kept); the saved ticks equal the preset's.
    svctune::Formhome form(registry, presetFile, presetCodePage, messages, host);
    counting.Reset();
    const double time = Milliseconds([&] { form.Load(); });
    Report("load step, all 170 saved values present", time, counting.Total(),
           kInformationBlockCalls + kPolicyCalls + kServices * kWriteCalls +
               kSavedControls * kPresentReadCalls);
  }

  {
    // What the machine really holds: beside the behaviour's counts, on lines of their own.
    svctune::Formhome form(registry, presetFile, presetCodePage, messages, host);
    svctune::win::ScmServiceManager manager;
    svctune::MachineStartTypes machine(registry, form.Triads(), manager);
    auto measure = [&](const char* what, const std::function<void()>& work) {
      counting.Reset();
      const std::size_t managerBefore = manager.Calls();
      const double time = Milliseconds(work);
      ReportExtra(what, time, counting.Total(), manager.Calls() - managerBefore);
    };
    measure("extra: record of the first start", [&] { machine.RecordOriginals(); });
    measure("extra: record at a later start", [&] { machine.RecordOriginals(); });
    measure("extra: real start types read at start", [&] { machine.RefreshAll(); });
    const svctune::ServiceEntry& alerter = *ServiceCatalogue::FindEntry(1);
    form.Triads().SetState(alerter.disabledBox, 1);
    measure("extra: read back after one box change", [&] {
      machine.MarkChanged(alerter.disabledBox);
      machine.RefreshChanged();
    });
    measure("extra: status line of one service", [&] { machine.StatusText(alerter.number); });
    AlwaysYes yes;
    measure("extra: restore of the first start's types",
            [&] { machine.OnRestoreClick(form.Modes(), yes, messages); });
    measure("extra: start types for the backup file", [&] { machine.CurrentStartTypes(); });
  }

  // The real window: objects it holds, and the time to create it (load step included) and to
  // close it (shutdown included).
  const svctune::testing::GuiObjectCounts before = svctune::testing::CurrentGuiObjectCounts();
  svctune::win::FormhomeServices services;
  services.runLoginPrompt = [](HWND) { return true; };
  services.openAccessGate = [](HWND) {};
  auto window = std::make_unique<svctune::win::FormhomeWindow>(
      GetModuleHandleW(nullptr), registry, presetFile, presetCodePage, messages, services);
  counting.Reset();
  double time = Milliseconds([&] {
    window->Create(SW_SHOWNOACTIVATE);
    PumpMessages();
  });
  std::printf("%-44s %9.2f ms %7zu calls\n", "main window created and shown", time,
              counting.Total());
  const svctune::testing::GuiObjectCounts shown = svctune::testing::CurrentGuiObjectCounts();
  std::printf("%-44s %9ld GDI %7ld USER\n", "objects of the main window", shown.gdi - before.gdi,
              shown.user - before.user);
  time = Milliseconds([&] {
    DestroyWindow(window->hwnd());
    PumpMessages();
  });
  std::printf("%-44s %9.2f ms\n", "main window closed (shutdown included)", time);
  window.reset();

  // The longest preset list the program takes, filled into the window's list in one go.
  presetFile.Write(svctune::FormatPresetFile(
      std::vector<std::wstring>(svctune::kMaxPresetItems, L"方案"), -1, presetCodePage));
  window = std::make_unique<svctune::win::FormhomeWindow>(
      GetModuleHandleW(nullptr), registry, presetFile, presetCodePage, messages, services);
  time = Milliseconds([&] {
    window->Create(SW_SHOWNOACTIVATE);
    PumpMessages();
  });
  std::printf("%-44s %9.2f ms\n", "main window with 10,000 preset items", time);
  DestroyWindow(window->hwnd());
  PumpMessages();
  window.reset();

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    std::printf("%-44s %9.1f MiB\n", "peak working set",
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }
  DeleteFileW(presetFile.path().c_str());
  std::printf(failures == 0 ? "registry calls: every count as required\n"
                            : "registry calls: %d counts differ from the required\n",
              failures);
  return failures == 0 ? 0 : 1;
}
