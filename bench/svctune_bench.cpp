// Figures of svctune's main window under Wine, each beside a baseline measured in the same
// process and the same minute, several rounds each, medians compared:
//   - the registry work of the load step on a clean machine and with all 170 saved values
//     present, of a preset and of the shutdown, against the same calls (recorded through the
//     registry seam) made straight to advapi32;
//   - creating and showing the main window, load step included, against a plain Win32 window
//     with the same child windows; closing it, shutdown included, against closing the plain
//     window plus the shutdown's calls made straight.
// Also: the registry calls of each operation next to the number the behaviour requires, the
// GDI and USER objects of both windows and the peak working set. Registry work goes to scratch
// keys. With /services: the figures of the window "全部服务" (services_window_figures.h).
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/formhome.h"
#include "optimizer/machine_start_types.h"
#include "optimizer/service_dependents.h"
#include "plain_window.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "registry/counting_registry.h"
#include "registry_replay.h"
#include "service_keys.h"
#include "services_window_figures.h"
#include "win/advapi32_registry.h"
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
constexpr int kDwordReadCalls = 3;     // open, read, close
constexpr int kInformationValues = 7;  // FirstRun and six texts
constexpr int kPolicyKeys = 7;
constexpr int kSavedControls = 170;
constexpr int kServices = 56;
constexpr int kDifferingEntries = 5;
// A box that changes is saved as it changes (one value written), before its start type.
constexpr int kBoxChangeCalls = 2 * kWriteCalls;

// The dependents read from every key under Services: the Services key opened and closed, one
// enumeration per key and the one that ends the list; each key opened, Start, DelayedAutostart,
// DisplayName and DependOnService asked once (read at once, or missing), the TriggerInfo subkey
// looked for (missing), the key closed.
constexpr int kDependentsKeyCalls = 7;
constexpr int kDependentsCalls = 2 + (kServices + 1) + kServices * kDependentsKeyCalls;

constexpr int kInformationBlockCalls = kCreateKeyCalls + kInformationValues * kWriteCalls;
constexpr int kPolicyCalls = kPolicyKeys * kCreateKeyCalls;

// Rounds of each measurement after one warm-up round; the median is compared. The machine is
// shared: many rounds keep a burst of other work from deciding a figure.
constexpr int kRounds = 15;

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

double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The baseline of the figure above it, and the line tools read: "ratio <name> <value>". Each
// round measures the figure and its baseline side by side; the ratio is the median of the
// rounds' ratios, so a burst of other work on the machine shifts both halves of a round alike.
void ReportRatio(const char* name, const std::vector<double>& measured, const char* baselineWhat,
                 const std::vector<double>& baseline) {
  std::vector<double> ratios;
  for (std::size_t round = 0; round < measured.size() && round < baseline.size(); ++round) {
    if (baseline[round] > 0.0) {
      ratios.push_back(measured[round] / baseline[round]);
    }
  }
  std::printf("  %-42s %9.2f ms\n", baselineWhat, Median(baseline));
  std::printf("ratio %s %.2f\n", name, ratios.empty() ? 0.0 : Median(ratios));
}

// Calls beyond what the behaviour of the service list requires: what the window reads to show
// the machine's real start types, and the record, restore and backup of them.
void ReportExtra(const char* what, double milliseconds, std::size_t registryCalls,
                 std::size_t managerCalls) {
  std::printf("%-44s %9.2f ms %7zu calls %7zu service-manager calls\n", what, milliseconds,
              registryCalls, managerCalls);
}

// TQSE.ini kept in memory: the registry figures and their baselines time registry work alone,
// not the file's reading and writing as well.
class PresetFileInMemory final : public svctune::PresetFileStore {
 public:
  svctune::PresetFileRead Read() override {
    return {svctune::PresetFileRead::Outcome::kRead, content_};
  }
  bool Write(std::string_view bytes, std::wstring&) override {
    content_ = std::string(bytes);
    return true;
  }
  bool KeepBackup(std::wstring&) override { return true; }

 private:
  std::string content_;
};

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

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"/services") {
    return svctune::bench::ReportServicesWindow();
  }
  using svctune::bench::RegistryCall;
  using svctune::bench::RegistryReplay;
  using FormPtr = std::unique_ptr<svctune::Formhome>;

  svctune::registry::Advapi32Registry system;
  svctune::bench::RecordingSeam seam(system);
  svctune::registry::CountingRegistry counting(seam);
  const svctune::CodePageCodec systemCodePage(CP_ACP);
  const svctune::CodePageCodec presetCodePage(936);
  svctune::testing::RecordingPresenter messages;
  svctune::registry::RegistryAccess registry(counting, systemCodePage, messages,
                                             std::wstring(svctune::kProgramTitle));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  svctune::win::FilePresetStore presetFile(std::wstring(temp) + L"svctune-bench-TQSE.ini");
  PresetFileInMemory presetInMemory;
  svctune::HeadlessFormhomeHost host;

  std::printf("%-44s %12s %13s %16s\n", "operation", "time", "measured", "by behaviour");
  {
    // The services that depend on a service: every key under Services of this machine read,
    // as the window does at its start, after its boxes' writes and on each service hovered.
    std::vector<double> times;
    std::size_t keys = 0;
    for (int round = 0; round <= kRounds; ++round) {
      counting.Reset();
      times.push_back(Milliseconds([&] {
        keys = svctune::ServiceDependents::Read(counting, systemCodePage).ServiceCount();
      }));
    }
    times.erase(times.begin());
    char what[64];
    std::snprintf(what, sizeof what, "extra: dependents of all %zu service keys", keys);
    ReportExtra(what, Median(times), counting.Total(), 0);
  }

  // The machine as a first start finds it: fresh scratch keys holding the services' keys, and
  // TQSE.ini with the two presets, none selected.
  std::optional<svctune::testing::ScratchHives> hives;
  const auto freshMachine = [&] {
    hives.reset();
    hives.emplace();
    svctune::testing::ServiceKeys(hives->Api()).InstallAll();
    const std::string presets =
        svctune::FormatPresetFile({L"细致优化", L"普通优化"}, -1, presetCodePage);
    std::wstring error;
    presetFile.Write(presets, error);
    presetInMemory.Write(presets, error);
  };
  const auto newForm = [&] {
    return std::make_unique<svctune::Formhome>(registry, presetInMemory, presetCodePage, messages,
                                               host);
  };
  const auto thoroughChosen = [&](FormPtr& form) {
    form = newForm();
    form->Load();
    form->Modes().SetOption(2, true);
    form->Modes().ChooseItem(0);
  };

  {
    freshMachine();
    FormPtr form;
    thoroughChosen(form);
    counting.Reset();
    const double time = Milliseconds([&] { form->Modes().ChooseItem(1); });
    // Each differing entry: 自动 ticked (writes 2), 禁用 cleared (writes 2); both boxes saved.
    Report("preset 普通优化 after 细致优化", time, counting.Total(),
           kDifferingEntries * 2 * kBoxChangeCalls);
    counting.Reset();
    for (int tick = 0; tick < 3; ++tick) {
      form->OnTimer2();
    }
    Report("start-up gate (third tick of Timer2)", 0.0, counting.Total(), kWriteCalls);
  }

  // Each registry operation of the window, through the access layer and as its bare calls,
  // each from the same starting point.
  struct RegistryOperation {
    const char* what;
    const char* ratio;
    int required;
    std::function<void(FormPtr&)> prepare;  // brings the machine and the window to the start
    std::function<void(svctune::Formhome&)> run;
  };
  const RegistryOperation operations[] = {
      {"load step, clean machine", "load-step",
       kInformationBlockCalls + kPolicyCalls + kSavedControls * kMissingReadCalls,
       [&](FormPtr& form) { form = newForm(); }, [](svctune::Formhome& form) { form.Load(); }},
      {"preset 细致优化 from unticked boxes", "preset-thorough", kServices * kBoxChangeCalls,
       [&](FormPtr& form) {
         form = newForm();
         form->Load();
         form->Modes().SetOption(2, true);
       },
       [](svctune::Formhome& form) { form.Modes().ChooseItem(0); }},
      {"shutdown", "shutdown", kSavedControls * kWriteCalls,
       [&](FormPtr& form) {
         thoroughChosen(form);
         form->Modes().ChooseItem(1);
       },
       [](svctune::Formhome& form) { form.Unload(); }},
      // The values just saved: the file's preset (普通优化, from unticked boxes) is applied
      // first, then every value is read (and kept); the saved ticks equal the preset's.
      {"load step, all 170 saved values present", "load-saved",
       kInformationBlockCalls + kPolicyCalls + kServices * kWriteCalls +
           kSavedControls * kPresentReadCalls,
       [&](FormPtr& form) {
         thoroughChosen(form);
         form->Modes().ChooseItem(1);
         form->Unload();
         form = newForm();
       },
       [](svctune::Formhome& form) { form.Load(); }},
  };
  for (const RegistryOperation& operation : operations) {
    std::vector<RegistryCall> calls;
    std::vector<double> layer;
    std::vector<double> straight;
    bool exact = true;
    for (int round = 0; round <= kRounds; ++round) {
      const auto throughLayer = [&] {
        FormPtr form;
        freshMachine();
        operation.prepare(form);
        counting.Reset();
        seam.Record(round == 0 ? &calls : nullptr);
        layer.push_back(Milliseconds([&] { operation.run(*form); }));
        seam.Record(nullptr);
        exact = exact && counting.Total() == static_cast<std::size_t>(operation.required);
      };
      const auto bare = [&] {
        FormPtr form;
        freshMachine();
        operation.prepare(form);
        RegistryReplay replay(calls);
        straight.push_back(Milliseconds([&] { replay.Run(); }));
      };
      // The first round records the calls and warms up; later rounds alternate the order.
      if (round % 2 == 0) {
        throughLayer();
        bare();
      } else {
        bare();
        throughLayer();
      }
      if (round == 0) {
        layer.clear();
        straight.clear();
      }
    }
    Report(operation.what, Median(layer), exact ? calls.size() : 0, operation.required);
    ReportRatio(operation.ratio, layer, "the same calls straight to advapi32", straight);
  }

  {
    // What the machine really holds: beside the behaviour's counts, on lines of their own.
    freshMachine();
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
            [&] { machine.OnRestoreClick(form.Modes(), form.Choices(), yes, messages); });
    measure("extra: start types for the backup file", [&] { machine.CurrentStartTypes(); });
  }

  // The real window, created with the values its last close saved, and a plain window with
  // the same child windows. The first round warms up and copies the main window's layout.
  freshMachine();
  svctune::win::FormhomeServices services;
  services.runLoginPrompt = [](HWND) { return true; };
  services.openAccessGate = [](HWND) {};
  const auto newWindow = [&] {
    return std::make_unique<svctune::win::FormhomeWindow>(
        GetModuleHandleW(nullptr), registry, presetFile, presetCodePage, messages, services);
  };
  std::vector<RegistryCall> shutdownCalls;
  svctune::bench::PlainWindowLayout layout;
  {
    auto window = newWindow();
    window->Create(SW_SHOWNOACTIVATE);
    PumpMessages();
    layout = svctune::bench::CopyLayout(window->hwnd());
    seam.Record(&shutdownCalls);
    DestroyWindow(window->hwnd());
    PumpMessages();
    seam.Record(nullptr);
    svctune::bench::PlainWindow plain(layout);
    plain.Create();
    PumpMessages();
  }
  RegistryReplay shutdownReplay(shutdownCalls);
  std::vector<double> mainCreated;
  std::vector<double> mainClosed;
  std::vector<double> plainCreated;
  std::vector<double> plainClosed;
  std::size_t createCalls = 0;
  std::size_t closeCalls = 0;
  svctune::testing::GuiObjectCounts mainObjects;
  svctune::testing::GuiObjectCounts plainObjects;
  const auto objectsWhile = [](const std::function<void()>& create) {
    const svctune::testing::GuiObjectCounts before = svctune::testing::CurrentGuiObjectCounts();
    create();
    const svctune::testing::GuiObjectCounts after = svctune::testing::CurrentGuiObjectCounts();
    return svctune::testing::GuiObjectCounts{after.gdi - before.gdi, after.user - before.user};
  };
  for (int round = 0; round < kRounds; ++round) {
    const auto measureMain = [&] {
      auto window = newWindow();
      counting.Reset();
      mainObjects = objectsWhile([&] {
        mainCreated.push_back(Milliseconds([&] {
          window->Create(SW_SHOWNOACTIVATE);
          PumpMessages();
        }));
      });
      createCalls = counting.Total();
      counting.Reset();
      mainClosed.push_back(Milliseconds([&] {
        DestroyWindow(window->hwnd());
        PumpMessages();
      }));
      closeCalls = counting.Total();
    };
    const auto measurePlain = [&] {
      svctune::bench::PlainWindow plain(layout);
      plainObjects = objectsWhile([&] {
        plainCreated.push_back(Milliseconds([&] {
          plain.Create();
          PumpMessages();
        }));
      });
      const double closed = Milliseconds([&] {
        plain.Destroy();
        PumpMessages();
      });
      plainClosed.push_back(closed + Milliseconds([&] { shutdownReplay.Run(); }));
    };
    if (round % 2 == 0) {
      measureMain();
      measurePlain();
    } else {
      measurePlain();
      measureMain();
    }
  }
  // The last close saved the values and an empty preset selection: no preset is applied. The
  // window also reads the machine's start types (the record's flag, then each service's Start)
  // and the services that depend on each.
  Report("main window created and shown (load included)", Median(mainCreated), createCalls,
         kInformationBlockCalls + kPolicyCalls + kSavedControls * kPresentReadCalls +
             kDwordReadCalls + kServices * kDwordReadCalls + kDependentsCalls);
  ReportRatio("window-create", mainCreated, "plain window created and shown", plainCreated);
  Report("main window closed (shutdown included)", Median(mainClosed), closeCalls,
         kSavedControls * kWriteCalls);
  ReportRatio("window-close", mainClosed, "plain window closed, shutdown calls straight",
              plainClosed);
  std::printf("%-44s %9ld GDI %7ld USER\n", "objects of the main window", mainObjects.gdi,
              mainObjects.user);
  std::printf("%-44s %9ld GDI %7ld USER\n", "objects of the plain window", plainObjects.gdi,
              plainObjects.user);

  // The longest preset list the program takes, filled into the window's list in one go.
  std::wstring error;
  presetFile.Write(
      svctune::FormatPresetFile(std::vector<std::wstring>(svctune::kMaxPresetItems, L"方案"), -1,
                                presetCodePage),
      error);
  {
    auto window = newWindow();
    const double time = Milliseconds([&] {
      window->Create(SW_SHOWNOACTIVATE);
      PumpMessages();
    });
    std::printf("%-44s %9.2f ms\n", "main window with 10,000 preset items", time);
    DestroyWindow(window->hwnd());
    PumpMessages();
  }

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
