#include "optimizer/machine_start_types.h"

#include <algorithm>

#include "optimizer/service_changes.h"
#include "optimizer/service_inventory.h"
#include "program_info.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::uint32_t kHighestStartType = 4;  // 0 boot, 1 system, 2, 3, 4

std::optional<std::uint32_t> NumberOf(const registry::Variant& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return static_cast<std::uint32_t>(*number);
  }
  return std::nullopt;
}

// A start type the machine can be given back: a REG_DWORD from 0 to 4.
std::optional<std::uint32_t> Restorable(const registry::NumberReading& reading) {
  if (reading.number && *reading.number <= kHighestStartType) {
    return reading.number;
  }
  return std::nullopt;
}

std::wstring TypeName(std::uint32_t type) {
  switch (type) {
    case registry::kRegSz:
      return L"REG_SZ";
    case registry::kRegExpandSz:
      return L"REG_EXPAND_SZ";
    case registry::kRegBinary:
      return L"REG_BINARY";
    case registry::kRegDword:
      return L"REG_DWORD";
    case registry::kRegDwordBigEndian:
      return L"REG_DWORD_BIG_ENDIAN";
    default:
      return L"类型 " + std::to_wstring(type);
  }
}

}  // namespace

std::wstring DescribeStartValue(const StartValue& start) {
  switch (start.kind) {
    case StartValue::Kind::kNumber:
      return StartTypeName(start.number);
    case StartValue::Kind::kNoValue:
      return L"启动方式已损坏（没有 Start 值）";
    case StartValue::Kind::kWrongType:
      return start.type == registry::kRegDword
                 ? L"启动方式已损坏（Start 不是 4 字节的 REG_DWORD）"
                 : L"启动方式已损坏（Start 是 " + TypeName(start.type) + L"，不是 REG_DWORD）";
    case StartValue::Kind::kUnreadable:
      return L"启动方式无法读取";
    case StartValue::Kind::kNoService:
      break;
  }
  return L"本机没有此服务";
}

namespace {

std::wstring FailureText(RestoreFailure failure) {
  switch (failure) {
    case RestoreFailure::kNoRecord:
      return L"没有初始设置的记录";
    case RestoreFailure::kDamagedRecord:
      return L"初始设置的记录已损坏";
    case RestoreFailure::kNoRights:
      return L"没有写入权限";
    case RestoreFailure::kGone:
      return L"本机已没有该服务";
  }
  return {};
}

}  // namespace

std::wstring StartTypeName(std::uint32_t start) {
  switch (start) {
    case static_cast<std::uint32_t>(StartType::kAutomatic):
      return L"自动";
    case static_cast<std::uint32_t>(StartType::kManual):
      return L"手动";
    case static_cast<std::uint32_t>(StartType::kDisabled):
      return L"禁用";
    default:
      return std::to_wstring(start);
  }
}

MachineStartTypes::MachineStartTypes(registry::RegistryAccess& registry, StartTypeTriads& triads,
                                     ServiceManager& services)
    : registry_(registry), triads_(triads), services_(services) {
  triads_.OnStartTypeWritten([this](const ServiceEntry& entry, StartType type) {
    changed_[Slot(entry.number)] = true;
    written_[Slot(entry.number)] = type;
  });
}

StartValue MachineStartTypes::ReadStart(const ServiceEntry& entry) {
  const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
  const registry::NumberReading reading =
      registry_.ReadNumber(location.root, location.path, location.valueName, false);
  StartValue start;
  if (reading.keyStatus == registry::kFileNotFound) {
    start.kind = StartValue::Kind::kNoService;
  } else if (reading.keyStatus != registry::kSuccess) {
    start.kind = StartValue::Kind::kUnreadable;
  } else if (!reading.valueFound) {
    start.kind = StartValue::Kind::kNoValue;
  } else if (!reading.number) {
    start.kind = StartValue::Kind::kWrongType;
    start.type = reading.type;
  } else {
    start.kind = StartValue::Kind::kNumber;
    start.number = *reading.number;
  }
  return start;
}

registry::NumberReading MachineStartTypes::ReadRecord(const ServiceEntry& entry) {
  return registry_.ReadNumber(registry::kLocalMachine, kOriginalStartTypesBase, entry.serviceKey,
                              false);
}

std::optional<std::uint32_t> MachineStartTypes::Original(const ServiceEntry& entry) {
  return Restorable(ReadRecord(entry));
}

// Only a start type that could be written back is recorded.
void MachineStartTypes::RecordOriginals() {
  if (NumberOf(registry_.GetDwordByPath(std::wstring(kProgramKeyPath), kOriginalsRecordedValue)) ==
      1u) {
    return;
  }
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (ReadRecord(entry).valueFound) {
      continue;
    }
    const StartValue start = ReadStart(entry);
    if (start.kind == StartValue::Kind::kNumber && start.number <= kHighestStartType) {
      registry_.WriteSetting(L"", L"", entry.serviceKey, static_cast<std::int32_t>(start.number),
                             registry::kLocalMachine, kOriginalStartTypesBase, registry::kRegDword);
    }
  }
  registry_.WriteSetting(L"", L"", kOriginalsRecordedValue, std::int32_t{1},
                         registry::kLocalMachine, kProgramKeyBase, registry::kRegDword);
}

std::optional<StartType> MachineStartTypes::FirstTickedType(const ServiceEntry& entry) const {
  for (StartType type : {StartType::kAutomatic, StartType::kManual, StartType::kDisabled}) {
    if (triads_.State(entry.BoxOf(type)) == kTicked) {
      return type;
    }
  }
  return std::nullopt;
}

// A triad without a ticked box makes no claim. A preset may leave two boxes ticked; the
// machine agrees when it holds the start type of either.
bool MachineStartTypes::Agrees(const ServiceEntry& entry, const StartValue& start) const {
  bool claims = false;
  for (StartType type : {StartType::kAutomatic, StartType::kManual, StartType::kDisabled}) {
    if (triads_.State(entry.BoxOf(type)) == kTicked) {
      claims = true;
      if (start.Holds(static_cast<std::uint32_t>(type))) {
        return true;
      }
    }
  }
  return !claims;
}

void MachineStartTypes::Refresh(const ServiceEntry& entry) {
  Reading& reading = readings_[Slot(entry.number)];
  reading.start = ReadStart(entry);
  reading.writable = true;
  if (reading.start.kind != StartValue::Kind::kNoService && !Agrees(entry, reading.start)) {
    // The write of a box opens the key with every specific right; a key that does not open
    // so was refused for lack of rights.
    const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
    reading.writable =
        registry_.ReadNumber(location.root, location.path, location.valueName, true).keyStatus !=
        registry::kAccessDenied;
  }
}

// Every key under Services is read: any of them may need a service of the catalogue.
void MachineStartTypes::ReadDependents() {
  const ServiceInventory inventory = ServiceInventory::Read(
      registry_.Api(), registry_.Codec(), ServiceInventory::Detail::kStartsAndNeeds);
  dependents_ = inventory.Dependents();
  startExtras_.clear();
  for (const ServiceKeyRecord& record : inventory.Records()) {
    if (record.DelayedStart() || record.hasTriggers) {
      startExtras_[AsciiUpper(record.key)] = {record.DelayedStart(), record.hasTriggers};
    }
  }
}

void MachineStartTypes::RefreshAll() {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    Refresh(entry);
  }
  ReadDependents();
  changed_.fill(false);
  written_.fill(std::nullopt);
  warnings_.clear();
  // The whole machine read afresh (after a restore): a warning of an earlier change is over.
  if (status_.warning) {
    status_ = {};
    warnedKeys_.clear();
  }
}

void MachineStartTypes::MarkChanged(int box) {
  if (const std::optional<BoxInfo> info = ServiceCatalogue::FindBox(box)) {
    changed_[Slot(info->entry->number)] = true;
  }
}

std::vector<int> MachineStartTypes::RefreshChanged() {
  std::vector<int> refreshed;
  std::vector<std::wstring> disabled;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const std::size_t slot = Slot(entry.number);
    if (!changed_[slot]) {
      continue;
    }
    changed_[slot] = false;
    Refresh(entry);
    refreshed.push_back(entry.number);
    if (written_[slot] == StartType::kDisabled &&
        readings_[slot].start.Holds(static_cast<std::uint32_t>(StartType::kDisabled))) {
      disabled.emplace_back(entry.serviceKey);
    }
    written_[slot].reset();
  }
  if (refreshed.empty()) {
    return refreshed;
  }
  ReadDependents();
  warnings_ = DisableWarnings(dependents_, disabled);
  const auto touched = [&](int number) {
    return std::find(refreshed.begin(), refreshed.end(), number) != refreshed.end();
  };
  bool warnedTouched = false;
  for (const std::wstring& key : warnedKeys_) {
    const ServiceEntry* entry = ServiceCatalogue::FindEntryByKey(key);
    warnedTouched = warnedTouched || (entry != nullptr && touched(entry->number));
  }
  if (!warnings_.empty()) {
    warnedKeys_.clear();
    for (const DisableWarning& warning : warnings_) {
      warnedKeys_.push_back(warning.serviceKey);
    }
    status_ = {WarningText(), true};
  } else if ((status_.warning && warnedTouched) || (!status_.warning && touched(hovered_))) {
    warnedKeys_.clear();
    const ServiceEntry* hovered = ServiceCatalogue::FindEntry(hovered_);
    status_ = {hovered != nullptr ? ComposeStatus(*hovered) : std::wstring(), false};
  }
  return refreshed;
}

CaptionLook MachineStartTypes::Look(int number) const {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return CaptionLook::kNormal;
  }
  const Reading& reading = readings_[Slot(number)];
  if (reading.start.kind == StartValue::Kind::kNoService) {
    return CaptionLook::kMissing;
  }
  return Agrees(*entry, reading.start) ? CaptionLook::kNormal : CaptionLook::kDisagrees;
}

std::wstring MachineStartTypes::StatusText(int number) {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return L"";
  }
  Refresh(*entry);
  ReadDependents();
  return ComposeStatus(*entry);
}

// What the status line says of a service, from what was read last.
std::wstring MachineStartTypes::ComposeStatus(const ServiceEntry& entry) {
  const Reading& reading = readings_[Slot(entry.number)];
  const std::wstring key(entry.serviceKey);
  if (reading.start.kind == StartValue::Kind::kNoService) {
    return std::wstring(entry.caption) + L"（" + key + L"）：" + DescribeStartValue(reading.start);
  }
  ServiceDetails details;
  const ServiceAnswer answer = services_.Query(entry.serviceKey, details);
  std::wstring text = answer == ServiceAnswer::kAnswered && !details.displayName.empty()
                          ? details.displayName + L"（" + key + L"）"
                          : key;
  const auto extras = startExtras_.find(AsciiUpper(key));
  const bool delayed = extras != startExtras_.end() && extras->second.delayed;
  text += L"：" + (delayed ? std::wstring(L"自动（延迟启动）") : DescribeStartValue(reading.start));
  if (extras != startExtras_.end() && extras->second.triggered) {
    text += L"，触发启动";
  }
  if (answer == ServiceAnswer::kAnswered) {
    text += details.running ? L"，正在运行" : L"，未运行";
  }
  const std::wstring dependents =
      DependentsStatusText(dependents_.Of(entry.serviceKey), dependents_.Complete());
  if (!dependents.empty()) {
    text += L"。" + dependents;
  }
  if (!Agrees(entry, reading.start)) {
    const std::optional<StartType> claimed = FirstTickedType(entry);
    text += L"。所选“" + StartTypeName(static_cast<std::uint32_t>(*claimed)) + L"”与本机不符：";
    if (!triads_.MayWrite(entry)) {
      text += L"选择未能保存，未写入";
    } else {
      text += reading.writable ? L"已在本程序之外更改" : L"未能写入：需要管理员权限";
    }
  }
  return text;
}

// One warning per disabled service, each named by its caption.
std::wstring MachineStartTypes::WarningText() const {
  std::wstring text;
  for (const DisableWarning& warning : warnings_) {
    const ServiceEntry* entry = ServiceCatalogue::FindEntryByKey(warning.serviceKey);
    const std::wstring name = entry != nullptr ? std::wstring(entry->caption) : warning.serviceKey;
    text += (text.empty() ? L"" : L"；") + name + L"：" +
            DisableWarningText(dependents_.AutomaticOf(warning.serviceKey));
  }
  return text;
}

bool MachineStartTypes::PointAt(int number) {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr || number == hovered_) {
    return false;
  }
  hovered_ = number;
  const bool warnsAboutIt =
      status_.warning && std::find(warnedKeys_.begin(), warnedKeys_.end(),
                                   std::wstring(entry->serviceKey)) != warnedKeys_.end();
  if (!warnsAboutIt) {
    warnedKeys_.clear();
    status_ = {StatusText(number), false};
  }
  return true;
}

void MachineStartTypes::PointerLeft(int number) {
  if (number != hovered_) {
    return;
  }
  hovered_ = 0;
  if (!status_.warning) {
    status_ = {};
  }
}

RestoreOutcome MachineStartTypes::RestoreOriginals(ModesAndPresets& modes) {
  modes.SetListIndex(-1);
  triads_.ClearWithoutWriting();
  modes.SetOption(1, true);
  RestoreOutcome outcome;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const registry::NumberReading record = ReadRecord(entry);
    const std::optional<std::uint32_t> original = Restorable(record);
    if (!original) {
      outcome.notRestored.emplace_back(
          &entry, record.valueFound ? RestoreFailure::kDamagedRecord : RestoreFailure::kNoRecord);
      continue;
    }
    const StartValue before = ReadStart(entry);
    if (before.Holds(*original)) {
      continue;
    }
    if (before.kind != StartValue::Kind::kNoService) {
      const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
      registry_.SetKeyValue(location.root, location.path, location.valueName,
                            static_cast<std::int32_t>(*original), registry::kRegDword);
    }
    const StartValue after = ReadStart(entry);
    if (after.Holds(*original)) {
      ++outcome.restored;
    } else {
      outcome.notRestored.emplace_back(&entry, after.kind == StartValue::Kind::kNoService
                                                   ? RestoreFailure::kGone
                                                   : RestoreFailure::kNoRights);
    }
  }
  RestoreOthers(outcome);
  RefreshAll();
  return outcome;
}

// The catalogue's start types are back by now: what is left of theirs is a delayed start.
void MachineStartTypes::RestoreOthers(RestoreOutcome& outcome) {
  ServiceChanges changes(registry_, WindowsVersion{});
  const ServiceInventory inventory = ServiceInventory::Read(
      registry_.Api(), registry_.Codec(), ServiceInventory::Detail::kStartsAndNeeds);
  for (const ServiceKeyRecord& record : inventory.Records()) {
    const bool catalogued = ServiceCatalogue::FindEntryByKey(record.key) != nullptr;
    const ServiceRestoreOutcome restored = changes.RestoreService(record.key);
    if (restored.restored && !catalogued) {
      ++outcome.restored;
    } else if (!catalogued && restored.failure && *restored.failure != RestoreFailure::kNoRecord) {
      outcome.othersNotRestored.emplace_back(record.key, *restored.failure);
    }
  }
}

int MachineStartTypes::OthersToRestore() {
  int differing = 0;
  const ServiceInventory inventory = ServiceInventory::Read(
      registry_.Api(), registry_.Codec(), ServiceInventory::Detail::kStartsAndNeeds);
  for (const ServiceKeyRecord& record : inventory.Records()) {
    if (ServiceCatalogue::FindEntryByKey(record.key) != nullptr) {
      continue;
    }
    const registry::NumberReading original =
        registry_.ReadNumber(registry::kLocalMachine, kOriginalStartTypesBase, record.key, false);
    differing += Restorable(original) && !record.start.Holds(*original.number) ? 1 : 0;
  }
  return differing;
}

void MachineStartTypes::OnRestoreClick(ModesAndPresets& modes, SavedChoices& choices,
                                       Confirmation& confirmation, MessagePresenter& messages) {
  const std::wstring title(kProgramTitle);
  int records = 0;
  int changes = 0;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (const std::optional<std::uint32_t> original = Original(entry)) {
      ++records;
      changes += ReadStart(entry).Holds(*original) ? 0 : 1;
    }
  }
  changes += OthersToRestore();
  if (records == 0) {
    messages.Show(L"没有记录到初始设置，无法还原。", title, MessageIcon::kCritical);
    return;
  }
  if (!confirmation.AskYesNo(L"将清除所有选择，并把 " + std::to_wstring(changes) +
                                 L" 项服务的启动方式还原为初始设置。是否继续？",
                             title)) {
    return;
  }
  std::wstring reason;
  if (!choices.DropPresetSelection(reason)) {
    messages.Show(L"无法保存预设列表 TQSE.ini：" + reason +
                      L"。\n\n未还原任何服务：否则下次启动时会重新应用所选的预设。",
                  title, MessageIcon::kCritical);
    return;
  }
  const RestoreOutcome outcome = RestoreOriginals(modes);
  std::wstring report = L"已还原 " + std::to_wstring(outcome.restored) + L" 项服务的启动方式。";
  bool failed = false;
  if (!outcome.notRestored.empty()) {
    report += L"\n\n以下 " + std::to_wstring(outcome.notRestored.size()) + L" 项服务未还原：";
    for (const auto& [entry, failure] : outcome.notRestored) {
      report += L"\n" + std::wstring(entry->caption) + L"（" + std::wstring(entry->serviceKey) +
                L"）：" + FailureText(failure);
      failed = failed || failure != RestoreFailure::kNoRecord;
    }
  }
  if (!outcome.othersNotRestored.empty()) {
    report +=
        L"\n\n以下 " + std::to_wstring(outcome.othersNotRestored.size()) + L" 项其他服务未还原：";
    for (const auto& [key, failure] : outcome.othersNotRestored) {
      report += L"\n" + key + L"：" + FailureText(failure);
    }
    failed = true;
  }
  messages.Show(report, title, failed ? MessageIcon::kCritical : MessageIcon::kInformation);
}

std::vector<ServiceStartType> MachineStartTypes::CurrentStartTypes() {
  std::vector<ServiceStartType> current;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const StartValue start = ReadStart(entry);
    if (start.kind == StartValue::Kind::kNumber) {
      current.push_back({std::wstring(entry.serviceKey), start.number});
    }
  }
  return current;
}

}  // namespace svctune
