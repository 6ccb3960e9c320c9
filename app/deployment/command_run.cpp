#include "deployment/command_run.h"

#include <algorithm>
#include <map>
#include <optional>

#include "access/password_store.h"
#include "deployment/service_list_csv.h"
#include "deployment/start_type_export.h"
#include "optimizer/formhome.h"
#include "optimizer/machine_start_types.h"
#include "optimizer/saved_choices.h"
#include "optimizer/service_changes.h"
#include "optimizer/service_inventory.h"
#include "text/unicode_text.h"
#include "program_info.h"
#include "registry/registry_access.h"

namespace svctune {
namespace {

constexpr std::wstring_view kNoRecordText = L"没有记录到初始设置，无法还原。";
constexpr std::wstring_view kManualAlreadyText =
    L"“手动优化”本来就已选中：与在窗口中选择它一样，各项选择保持不变";

// A message a model would show becomes a line of the output: no message box in a run that no
// one watches.
class PrintedMessages final : public MessagePresenter {
 public:
  void Show(std::wstring_view text, std::wstring_view, MessageIcon) override {
    std::wstring line;
    for (wchar_t c : text) {
      if (c == L'\r' || c == L'\n') {
        if (!line.empty() && line.back() != L' ') {
          line += L' ';
        }
      } else {
        line += c;
      }
    }
    notes.push_back(line);
  }
  std::vector<std::wstring> notes;
};

// The window's models, driven without the window.
struct Session {
  Session(registry::RegistryAccess& registry, PresetFileStore& presetFile,
          const AnsiCodec& codePage936, PrintedMessages& shown)
      : messages(shown),
        form(registry, presetFile, codePage936, messages, host),
        machine(registry, form.Triads(), services) {
    form.Triads().OnStartTypeWritten(
        [this](const ServiceEntry& entry, StartType type) { written[&entry] = type; });
  }

  // Every service's Start value, in catalogue order.
  std::vector<StartValue> ReadAll() {
    std::vector<StartValue> values;
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      values.push_back(machine.ReadStart(entry));
    }
    return values;
  }

  HeadlessFormhomeHost host;
  NoServiceManager services;
  PrintedMessages& messages;
  Formhome form;
  MachineStartTypes machine;
  // The start type the boxes' handlers wrote last, per service.
  std::map<const ServiceEntry*, StartType> written;
};

std::size_t IndexOf(const ServiceEntry& entry) {
  const auto& entries = ServiceCatalogue::Entries();
  return static_cast<std::size_t>(&entry - &entries[0]);
}

CommandOutcome Refused(int exitCode, std::wstring_view reason) {
  return {exitCode, FormatRefusal(reason)};
}

// What the run did to each service, read before and after, and what the writes of the boxes
// came to: a service without its key is skipped, one that does not hold what was written last
// is a failure.
void Compare(Session& session, const std::vector<StartValue>& before,
             const std::vector<StartValue>& after, RunReport& report) {
  const auto& entries = ServiceCatalogue::Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (after[i].kind != StartValue::Kind::kNumber) {
      continue;
    }
    if (before[i].Holds(after[i].number)) {
      ++report.unchanged;
      continue;
    }
    StartTypeChange change{std::wstring(entries[i].serviceKey), std::nullopt, after[i].number};
    if (before[i].kind == StartValue::Kind::kNumber) {
      change.before = before[i].number;
    } else if (before[i].kind != StartValue::Kind::kNoService) {
      change.beforeProblem = DescribeStartValue(before[i]);
    }
    report.changes.push_back(change);
  }
  for (const ServiceEntry& entry : entries) {
    const auto written = session.written.find(&entry);
    if (written == session.written.end()) {
      continue;
    }
    const auto wanted = static_cast<std::uint32_t>(written->second);
    const StartValue& found = after[IndexOf(entry)];
    if (found.kind == StartValue::Kind::kNoService) {
      report.skips.push_back({std::wstring(entry.serviceKey), SkipReason::kNotOnMachine, 0, 0});
    } else if (!found.Holds(wanted)) {
      RunFailure failure{std::wstring(entry.serviceKey), wanted, std::nullopt, L""};
      if (found.kind == StartValue::Kind::kNumber) {
        failure.found = found.number;
      } else {
        failure.problem = DescribeStartValue(found);
      }
      report.failures.push_back(failure);
    }
  }
}

// A service whose boxes could not be saved as they stand is not written (the next start would
// write the saved boxes' start type again): a failure, with what its ticked box asks for.
void HeldWrites(Session& session, const std::vector<StartValue>& machine, RunReport& report) {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const std::wstring reason = session.form.Choices().UnsavedReason(entry);
    if (reason.empty()) {
      continue;
    }
    RunFailure failure{std::wstring(entry.serviceKey),
                       static_cast<std::uint32_t>(StartType::kAutomatic), std::nullopt, L"",
                       L"所选未能保存（" + reason + L"），因此未写入启动方式"};
    for (StartType type : {StartType::kAutomatic, StartType::kManual, StartType::kDisabled}) {
      if (session.form.Triads().State(entry.BoxOf(type)) == kTicked) {
        failure.wanted = static_cast<std::uint32_t>(type);
      }
    }
    const StartValue& found = machine[IndexOf(entry)];
    if (found.kind == StartValue::Kind::kNumber) {
      failure.found = found.number;
    } else {
      failure.problem = DescribeStartValue(found);
    }
    report.failures.push_back(failure);
  }
}

// Ticks the box of each start type the template sets, with the box's own write. The preset
// selection was dropped before the load step: the saved choices then hold the template's start
// types, and the next start applies no preset under them.
void ApplyTemplate(Session& session, const SecurityTemplate& securityTemplate, RunReport& report) {
  for (const TemplateSetting& setting : securityTemplate.settings) {
    if (session.machine.ReadStart(*setting.entry).kind == StartValue::Kind::kNoService) {
      report.skips.push_back({std::wstring(setting.entry->serviceKey), SkipReason::kNotOnMachine,
                              setting.line, static_cast<std::uint32_t>(setting.type)});
      continue;
    }
    session.form.Triads().TickOnly(*setting.entry, setting.type);
    report.descriptorsIgnored += setting.hasDescriptor ? 1 : 0;
  }
}

// The template's lines for services outside the catalogue: each service this machine has gets
// its start type as the list of all services gives it (refused where the list refuses, the
// original recorded first), one change per start type for all its services. What is refused
// or not written is a failure; disabling what an automatic service needs is warned of.
void ApplyToOtherServices(Session& session, const SecurityTemplate& securityTemplate,
                          RunReport& report, std::vector<DisableWarning>& warnings) {
  registry::RegistryAccess& registry = session.machine.Registry();
  const ServiceInventory inventory = ServiceInventory::Read(registry.Api(), registry.Codec());
  std::map<std::wstring, const ServiceKeyRecord*> byKey;
  for (const ServiceKeyRecord& record : inventory.Records()) {
    byKey.emplace(AsciiUpper(record.key), &record);
  }
  std::map<StartChoice, std::vector<const ServiceKeyRecord*>> selections;
  for (const TemplateSkip& line : securityTemplate.skipped) {
    if (line.reason != TemplateSkipReason::kNotInCatalogue) {
      continue;
    }
    const auto found = byKey.find(AsciiUpper(line.serviceName));
    if (found == byKey.end()) {
      report.skips.push_back({line.serviceName, SkipReason::kNotOnMachine, line.line,
                              static_cast<std::uint32_t>(line.mode)});
      continue;
    }
    const StartChoice choice = line.mode == 2   ? StartChoice::kAutomatic
                               : line.mode == 3 ? StartChoice::kManual
                                                : StartChoice::kDisabled;
    selections[choice].push_back(found->second);
  }
  ServiceChanges changes(registry, WindowsVersion{});
  for (const auto& [choice, selection] : selections) {
    const ServiceChangeOutcome outcome = changes.Change(selection, choice);
    for (const ServiceChangeFailure& failure : outcome.failures) {
      RunFailure line{failure.serviceKey, StartNumberOf(choice), std::nullopt, L"", failure.reason};
      const auto record = byKey.find(AsciiUpper(failure.serviceKey));
      if (record->second->start.kind == StartValue::Kind::kNumber) {
        line.found = record->second->start.number;
      } else {
        line.problem = DescribeStartValue(record->second->start);
      }
      report.failures.push_back(line);
    }
    warnings.insert(warnings.end(), outcome.warnings.begin(), outcome.warnings.end());
  }
}

// Whether the template names a service outside the catalogue whose key this machine has: a
// template of such services alone still sets them.
bool NamesOtherServicesOfThisMachine(registry::RegistryAccess& registry,
                                     const SecurityTemplate& securityTemplate) {
  return std::any_of(
      securityTemplate.skipped.begin(), securityTemplate.skipped.end(),
      [&](const TemplateSkip& line) {
        return line.reason == TemplateSkipReason::kNotInCatalogue &&
               registry.ReadNumber(registry::kLocalMachine,
                                   L"SYSTEM\\CurrentControlSet\\Services\\" + line.serviceName,
                                   L"Start", false)
                       .keyStatus != registry::kFileNotFound;
      });
}

// Every listed service outside the catalogue, by key, as the machine holds it.
std::map<std::wstring, StartValue> OtherServices(Session& session) {
  std::map<std::wstring, StartValue> others;
  registry::RegistryAccess& registry = session.machine.Registry();
  const ServiceInventory inventory = ServiceInventory::Read(registry.Api(), registry.Codec());
  for (const ServiceKeyRecord& record : inventory.Records()) {
    const ServiceKind kind = KindOf(record);
    if ((kind == ServiceKind::kService || kind == ServiceKind::kPerUserTemplate) &&
        ServiceCatalogue::FindEntryByKey(record.key) == nullptr) {
      others.emplace(record.key, record.start);
    }
  }
  return others;
}

// A line for each of them whose start type the run changed.
void CompareOthers(const std::map<std::wstring, StartValue>& before,
                   const std::map<std::wstring, StartValue>& after, RunReport& report) {
  for (const auto& [key, now] : after) {
    const auto was = before.find(key);
    if (now.kind != StartValue::Kind::kNumber ||
        (was != before.end() && was->second.Holds(now.number))) {
      continue;
    }
    StartTypeChange change{key, std::nullopt, now.number};
    if (was != before.end() && was->second.kind == StartValue::Kind::kNumber) {
      change.before = was->second.number;
    } else if (was != before.end()) {
      change.beforeProblem = DescribeStartValue(was->second);
    }
    report.changes.push_back(change);
  }
}

void ReportRestore(Session& session, const RestoreOutcome& outcome,
                   const std::vector<StartValue>& after,
                   const std::map<std::wstring, StartValue>& othersAfter, RunReport& report) {
  for (const auto& [key, failure] : outcome.othersNotRestored) {
    if (failure == RestoreFailure::kNoRights) {
      RunFailure line{key,
                      session.machine.Registry()
                          .ReadNumber(registry::kLocalMachine, kOriginalStartTypesBase, key, false)
                          .number.value_or(0),
                      std::nullopt, L""};
      const auto found = othersAfter.find(key);
      if (found != othersAfter.end() && found->second.kind == StartValue::Kind::kNumber) {
        line.found = found->second.number;
      } else if (found != othersAfter.end()) {
        line.problem = DescribeStartValue(found->second);
      }
      report.failures.push_back(line);
    } else {
      report.skips.push_back({key,
                              failure == RestoreFailure::kDamagedRecord ? SkipReason::kDamagedRecord
                                                                        : SkipReason::kNotOnMachine,
                              0, 0});
    }
  }
  for (const auto& [entry, failure] : outcome.notRestored) {
    const std::wstring key(entry->serviceKey);
    switch (failure) {
      case RestoreFailure::kNoRecord:
        report.skips.push_back({key, SkipReason::kNoRecord, 0, 0});
        break;
      case RestoreFailure::kDamagedRecord:
        report.skips.push_back({key, SkipReason::kDamagedRecord, 0, 0});
        break;
      case RestoreFailure::kGone:
        report.skips.push_back({key, SkipReason::kNotOnMachine, 0, 0});
        break;
      case RestoreFailure::kNoRights: {
        RunFailure line{key, session.machine.Original(*entry).value_or(0), std::nullopt, L""};
        const StartValue& found = after[IndexOf(*entry)];
        if (found.kind == StartValue::Kind::kNumber) {
          line.found = found.number;
        } else {
          line.problem = DescribeStartValue(found);
        }
        report.failures.push_back(line);
        break;
      }
    }
  }
}

// The items TQSE.ini lists, read as the load step reads them, to name the preset before
// anything is written.
std::optional<int> PresetBeforeLoad(const std::wstring& preset, PresetFileStore& presetFile,
                                    const AnsiCodec& codePage936, std::wstring& error) {
  const PresetFileRead read = presetFile.Read();
  if (read.outcome == PresetFileRead::Outcome::kFailed) {
    error = L"无法读取预设列表 TQSE.ini";
    return std::nullopt;
  }
  std::vector<std::wstring> items;
  if (read.outcome == PresetFileRead::Outcome::kRead) {
    items = ParsePresetFile(read.bytes, codePage936).items;
  }
  return ResolvePreset(preset, items, error);
}

CommandOutcome Export(const Command& command, Session& session, const AnsiCodec& codePage936,
                      CommandPlatform& platform) {
  std::optional<ServiceInventory> everyService;
  if (command.allServices) {
    registry::RegistryAccess& registry = session.machine.Registry();
    everyService = ServiceInventory::Read(registry.Api(), registry.Codec());
  }
  const StartTypeExport file = ExportStartTypes(session.machine, command.exportFormat, codePage936,
                                                everyService ? &*everyService : nullptr);
  std::wstring error;
  if (!platform.WriteFile(command.file, file.bytes, error)) {
    return Refused(kExitBadArguments, L"无法写入文件 " + command.file + L"：" + error);
  }
  return {kExitDone, FormatExportReport(command.file, file.exported, file.skips)};
}

// The inventory of every service, read and written without a write to the registry.
CommandOutcome List(const Command& command, registry::RegistryAccess& registry,
                    CommandPlatform& platform) {
  const ServiceList list(ServiceInventory::Read(registry.Api(), registry.Codec()),
                         platform.IndirectTexts(), platform.Services());
  const bool complete = list.Inventory().Complete();
  CommandOutcome outcome{complete ? kExitDone : kExitSomeWritesFailed, L""};
  if (command.file.empty()) {
    outcome.bytes = ServiceListCsv(list);
    return outcome;
  }
  std::wstring error;
  if (!platform.WriteFile(command.file, ServiceListCsv(list), error)) {
    return Refused(kExitBadArguments, L"无法写入文件 " + command.file + L"：" + error);
  }
  if (!complete) {
    outcome.printed = L"警告 未能读取全部服务键：清单不完整\r\n";
  }
  outcome.printed += L"完成：已把 " + std::to_wstring(list.Rows().size()) + L" 项服务列入 " +
                     command.file + L"。\r\n";
  return outcome;
}

CommandOutcome Execute(const Command& command, registry::RegistryAccess& registry,
                       PresetFileStore& presetFile, const AnsiCodec& codePage936,
                       PrintedMessages& messages, CommandPlatform& platform) {
  if (command.action == CommandAction::kList) {
    return List(command, registry, platform);
  }
  Session session(registry, presetFile, codePage936, messages);
  if (command.action == CommandAction::kExport) {
    return Export(command, session, codePage936, platform);
  }

  // Everything that can refuse the run is settled before the first write.
  SecurityTemplate securityTemplate;
  if (command.action == CommandAction::kApply) {
    const CommandPlatform::FileRead read =
        platform.ReadFile(command.file, kMaxSecurityTemplateBytes + 1);
    if (!read.read) {
      return Refused(kExitBadArguments,
                     L"无法读取文件 " + command.file + L"：" + read.error + L"。未写入任何内容。");
    }
    securityTemplate = ParseSecurityTemplate(read.bytes, registry.Codec());
    if (!securityTemplate.wellFormed) {
      const std::wstring where =
          securityTemplate.errorLine > 0
              ? L" 第 " + std::to_wstring(securityTemplate.errorLine) + L" 行"
              : std::wstring();
      return Refused(kExitBadArguments,
                     command.file + where + L"：" + securityTemplate.error + L"。未写入任何内容。");
    }
    if (securityTemplate.settings.empty() &&
        !NamesOtherServicesOfThisMachine(registry, securityTemplate)) {
      return {kExitDone, FormatNothingToApply(securityTemplate)};
    }
  }
  if (command.action == CommandAction::kPreset) {
    std::wstring error;
    if (!PresetBeforeLoad(command.preset, presetFile, codePage936, error)) {
      return Refused(kExitBadArguments, error + L"。未写入任何内容。");
    }
  }

  // A run that drops the preset selection saves that before anything else: were TQSE.ini to keep
  // it, the next start would apply the preset again over what the run wrote.
  if (command.action == CommandAction::kApply || command.action == CommandAction::kRestore) {
    std::wstring reason;
    if (!SavePresetListWithoutSelection(presetFile, codePage936, reason)) {
      return Refused(kExitBadArguments,
                     L"无法保存预设列表 TQSE.ini：" + reason +
                         L"；否则下次启动时会重新应用所选的预设。未写入任何内容。");
    }
  }
  const std::vector<StartValue> before = session.ReadAll();
  const std::map<std::wstring, StartValue> othersBefore = OtherServices(session);
  session.machine.RecordOriginals();
  if (command.action == CommandAction::kRestore) {
    bool recorded = false;
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      recorded = recorded || session.machine.Original(entry).has_value();
    }
    if (!recorded) {
      return Refused(kExitSomeWritesFailed, kNoRecordText);
    }
  }
  session.form.Load();
  session.machine.RefreshAll();

  RunReport report;
  std::vector<DisableWarning> otherWarnings;
  std::optional<RestoreOutcome> restored;
  ModesAndPresets& modes = session.form.Modes();
  switch (command.action) {
    case CommandAction::kPreset: {
      std::wstring error;
      const std::optional<int> index = ResolvePreset(command.preset, modes.Items(), error);
      if (!index) {
        return Refused(kExitBadArguments, error);
      }
      modes.SetOption(2, true);
      modes.ChooseItem(*index);
      break;
    }
    case CommandAction::kManual:
      if (modes.OptionSelected(1)) {
        report.notes.emplace_back(kManualAlreadyText);
      }
      modes.SetOption(1, true);
      break;
    case CommandAction::kRestore:
      // The restore writes past the boxes and names what it could not restore itself; what the
      // load step's boxes wrote before is overwritten or left as the machine had it.
      session.written.clear();
      restored = session.machine.RestoreOriginals(modes);
      break;
    case CommandAction::kApply:
      ApplyTemplate(session, securityTemplate, report);
      ApplyToOtherServices(session, securityTemplate, report, otherWarnings);
      for (const RunSkip& skip : SkipsOf(securityTemplate)) {
        if (skip.reason != SkipReason::kNotInCatalogue) {
          report.skips.push_back(skip);
        }
      }
      break;
    case CommandAction::kUsage:
    case CommandAction::kExport:
    case CommandAction::kList:
      break;
  }
  session.machine.RefreshChanged();
  report.warnings = session.machine.Warnings();
  report.warnings.insert(report.warnings.end(), otherWarnings.begin(), otherWarnings.end());
  const std::vector<StartValue> written = session.ReadAll();
  HeldWrites(session, written, report);
  session.form.Unload();
  for (auto& unsaved : session.form.Choices().UnsavedOthers()) {
    report.unsaved.push_back(std::move(unsaved));
  }

  const std::vector<StartValue> after = session.ReadAll();
  Compare(session, before, after, report);
  const std::map<std::wstring, StartValue> othersAfter = OtherServices(session);
  CompareOthers(othersBefore, othersAfter, report);
  if (restored) {
    ReportRestore(session, *restored, after, othersAfter, report);
  }
  report.notes.insert(report.notes.end(), session.messages.notes.begin(),
                      session.messages.notes.end());
  return {ExitCodeOf(report), FormatRunReport(report)};
}

}  // namespace

CommandOutcome RunCommandLine(const std::vector<std::wstring>& arguments,
                              registry::RegistryApi& registryApi, const AnsiCodec& systemCodePage,
                              PresetFileStore& presetFile, const AnsiCodec& codePage936,
                              CommandPlatform& platform) {
  const ParsedArguments parsed = ParseArguments(arguments);
  if (!parsed.command) {
    return Refused(kExitBadArguments, parsed.error);
  }
  const Command& command = *parsed.command;
  if (command.action == CommandAction::kUsage) {
    return {kExitDone, UsageText()};
  }
  const std::wstring refusedTarget = RefusedTarget(
      command, platform.ProgramPath(), [&](const std::wstring& first, const std::wstring& second) {
        return platform.SameFile(first, second);
      });
  if (!refusedTarget.empty()) {
    return Refused(kExitBadArguments, refusedTarget);
  }

  PrintedMessages messages;
  registry::RegistryAccess registry(registryApi, systemCodePage, messages,
                                    std::wstring(kProgramTitle));
  CommandOutcome outcome;
  switch (platform.ClaimInstance()) {
    case CommandPlatform::Instance::kWindow:
      outcome = Refused(kExitWindowRunning, kWindowRunningText);
      break;
    case CommandPlatform::Instance::kOther:
      outcome = Refused(kExitWindowRunning, kInstanceMarkHeldText);
      break;
    case CommandPlatform::Instance::kNone:
      if (StartupPasswordSwitchedOn(registry) &&
          !access::PasswordStore(registry, registry.Codec()).Admits(command.password)) {
        outcome = Refused(kExitPasswordRefused,
                          command.password ? kPasswordWrongText : kPasswordMissingText);
      } else {
        outcome = Execute(command, registry, presetFile, codePage936, messages, platform);
      }
      break;
  }

  if (command.logFile) {
    std::wstring error;
    const LogTime time = platform.Now();
    if (!platform.AppendToFile(
            *command.logFile,
            [&](bool empty) { return FormatLogEntry(time, arguments, outcome.printed, empty); },
            error)) {
      outcome.printed += L"警告 无法写入日志文件 " + *command.logFile + L"：" + error + L"\r\n";
    }
  }
  return outcome;
}

}  // namespace svctune
