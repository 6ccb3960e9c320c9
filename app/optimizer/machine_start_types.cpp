#include "optimizer/machine_start_types.h"

#include "program_info.h"

namespace svctune {
namespace {

constexpr std::wstring_view kMachinePrefix = L"HKEY_LOCAL_MACHINE\\";

std::optional<std::int32_t> NumberOf(const registry::Variant& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return *number;
  }
  return std::nullopt;
}

std::wstring FullPath(std::wstring_view path) {
  return std::wstring(kMachinePrefix) + std::wstring(path);
}

}  // namespace

std::wstring StartTypeName(std::int32_t start) {
  switch (start) {
    case static_cast<std::int32_t>(StartType::kAutomatic):
      return L"自动";
    case static_cast<std::int32_t>(StartType::kManual):
      return L"手动";
    case static_cast<std::int32_t>(StartType::kDisabled):
      return L"禁用";
    default:
      return std::to_wstring(start);
  }
}

MachineStartTypes::MachineStartTypes(registry::RegistryAccess& registry, StartTypeTriads& triads,
                                     ServiceManager& services)
    : registry_(registry), triads_(triads), services_(services) {}

std::optional<std::int32_t> MachineStartTypes::ReadStart(const ServiceEntry& entry) {
  const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
  return NumberOf(registry_.GetDwordByPath(FullPath(location.path), location.valueName));
}

std::optional<std::int32_t> MachineStartTypes::Original(const ServiceEntry& entry) {
  return NumberOf(registry_.GetDwordByPath(FullPath(kOriginalStartTypesBase), entry.serviceKey));
}

void MachineStartTypes::RecordOriginals() {
  if (NumberOf(registry_.GetDwordByPath(std::wstring(kProgramKeyPath), kOriginalsRecordedValue)) ==
      1) {
    return;
  }
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (Original(entry)) {
      continue;
    }
    if (const std::optional<std::int32_t> start = ReadStart(entry)) {
      registry_.WriteSetting(L"", L"", entry.serviceKey, *start, registry::kLocalMachine,
                             kOriginalStartTypesBase, registry::kRegDword);
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
bool MachineStartTypes::Agrees(const ServiceEntry& entry, std::int32_t start) const {
  bool claims = false;
  for (StartType type : {StartType::kAutomatic, StartType::kManual, StartType::kDisabled}) {
    if (triads_.State(entry.BoxOf(type)) == kTicked) {
      claims = true;
      if (static_cast<std::int32_t>(type) == start) {
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
  if (reading.start && !Agrees(entry, *reading.start)) {
    // The write of a box opens the key with every specific right; a key that does not open
    // so was refused for lack of rights.
    const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
    reading.writable =
        registry_.ReadSetting(L"", L"", location.valueName, L"", location.root, location.path,
                              true) != registry::Variant(std::wstring());
  }
}

void MachineStartTypes::RefreshAll() {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    Refresh(entry);
  }
  changed_.fill(false);
}

void MachineStartTypes::MarkChanged(int box) {
  if (const std::optional<BoxInfo> info = ServiceCatalogue::FindBox(box)) {
    changed_[Slot(info->entry->number)] = true;
  }
}

std::vector<int> MachineStartTypes::RefreshChanged() {
  std::vector<int> refreshed;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (changed_[Slot(entry.number)]) {
      changed_[Slot(entry.number)] = false;
      Refresh(entry);
      refreshed.push_back(entry.number);
    }
  }
  return refreshed;
}

CaptionLook MachineStartTypes::Look(int number) const {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return CaptionLook::kNormal;
  }
  const Reading& reading = readings_[Slot(number)];
  if (!reading.start) {
    return CaptionLook::kMissing;
  }
  return Agrees(*entry, *reading.start) ? CaptionLook::kNormal : CaptionLook::kDisagrees;
}

std::wstring MachineStartTypes::StatusText(int number) {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return L"";
  }
  Refresh(*entry);
  const Reading& reading = readings_[Slot(number)];
  const std::wstring key(entry->serviceKey);
  if (!reading.start) {
    return std::wstring(entry->caption) + L"（" + key + L"）：本机没有此服务";
  }
  ServiceDetails details;
  const ServiceAnswer answer = services_.Query(entry->serviceKey, details);
  std::wstring text = answer == ServiceAnswer::kAnswered && !details.displayName.empty()
                          ? details.displayName + L"（" + key + L"）"
                          : key;
  text += L"：" + StartTypeName(*reading.start);
  if (answer == ServiceAnswer::kAnswered) {
    text += details.running ? L"，正在运行" : L"，未运行";
    if (details.dependents) {
      text += L"。依赖此服务的服务：";
      if (details.dependents->empty()) {
        text += L"无";
      }
      for (std::size_t i = 0; i < details.dependents->size(); ++i) {
        text += (i == 0 ? L"" : L"、") + (*details.dependents)[i];
      }
    }
  }
  if (!Agrees(*entry, *reading.start)) {
    const std::optional<StartType> claimed = FirstTickedType(*entry);
    text += L"。所选“" + StartTypeName(static_cast<std::int32_t>(*claimed)) + L"”与本机不符：";
    text += reading.writable ? L"已在本程序之外更改" : L"未能写入：需要管理员权限";
  }
  return text;
}

void MachineStartTypes::OnRestoreClick(ModesAndPresets& modes, Confirmation& confirmation,
                                       MessagePresenter& messages) {
  const std::wstring title(kProgramTitle);
  struct Plan {
    const ServiceEntry* entry;
    std::int32_t original;
    std::optional<std::int32_t> before;
  };
  std::vector<Plan> plans;
  int changes = 0;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (const std::optional<std::int32_t> original = Original(entry)) {
      plans.push_back({&entry, *original, ReadStart(entry)});
      changes += plans.back().before != original ? 1 : 0;
    }
  }
  if (plans.empty()) {
    messages.Show(L"没有记录到初始设置，无法还原。", title, MessageIcon::kCritical);
    return;
  }
  if (!confirmation.AskYesNo(L"将清除所有选择，并把 " + std::to_wstring(changes) +
                                 L" 项服务的启动方式还原为初始设置。是否继续？",
                             title)) {
    return;
  }
  modes.SetOption(1, true);
  for (int box : ServiceCatalogue::BoxNumbers()) {
    triads_.SetState(box, kUnticked);
  }
  int restored = 0;
  int failed = 0;
  for (const Plan& plan : plans) {
    const ServiceLocation location = ServiceCatalogue::LocationOf(*plan.entry);
    std::optional<std::int32_t> now = ReadStart(*plan.entry);
    if (now != plan.original) {
      registry_.SetKeyValue(location.root, location.path, location.valueName, plan.original,
                            registry::kRegDword);
      now = ReadStart(*plan.entry);
    }
    if (now != plan.original) {
      ++failed;
    } else if (plan.before != plan.original) {
      ++restored;
    }
  }
  RefreshAll();
  std::wstring report = L"已还原 " + std::to_wstring(restored) + L" 项服务的启动方式";
  if (failed > 0) {
    report += L"，" + std::to_wstring(failed) + L" 项未能写入（没有写入权限，或本机已没有该服务）";
  }
  messages.Show(report + L"。", title,
                failed > 0 ? MessageIcon::kCritical : MessageIcon::kInformation);
}

std::vector<ServiceStartType> MachineStartTypes::CurrentStartTypes() {
  std::vector<ServiceStartType> current;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (const std::optional<std::int32_t> start = ReadStart(entry)) {
      current.push_back({std::wstring(entry.serviceKey), *start});
    }
  }
  return current;
}

}  // namespace svctune
