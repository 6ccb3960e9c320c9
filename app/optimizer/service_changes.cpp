#include "optimizer/service_changes.h"

#include <algorithm>

namespace svctune {
namespace {

constexpr std::wstring_view kServicesPath = L"SYSTEM\\CurrentControlSet\\Services\\";
constexpr std::uint32_t kHighestStartType = 4;

std::wstring PathOf(const std::wstring& serviceKey) {
  return std::wstring(kServicesPath) + serviceKey;
}

}  // namespace

std::uint32_t StartNumberOf(StartChoice choice) {
  switch (choice) {
    case StartChoice::kAutomatic:
    case StartChoice::kDelayedAutomatic:
      return 2;
    case StartChoice::kManual:
      return 3;
    case StartChoice::kDisabled:
      break;
  }
  return 4;
}

std::wstring_view ChoiceName(StartChoice choice) {
  switch (choice) {
    case StartChoice::kAutomatic:
      return L"自动";
    case StartChoice::kDelayedAutomatic:
      return L"自动（延迟启动）";
    case StartChoice::kManual:
      return L"手动";
    case StartChoice::kDisabled:
      break;
  }
  return L"禁用";
}

std::wstring ServiceChangeOutcome::Report() const {
  std::wstring text;
  if (!changed.empty()) {
    text = L"已把 " + std::to_wstring(changed.size()) + L" 项服务设为“" +
           std::wstring(ChoiceName(choice)) + L"”。";
  }
  if (!failures.empty()) {
    text += L"未更改：";
    for (std::size_t i = 0; i < failures.size(); ++i) {
      text += (i == 0 ? L"" : L"；") + failures[i].serviceKey + L"（" + failures[i].reason + L"）";
    }
    text += L"。";
  }
  return text + warningText;
}

ServiceChanges::ServiceChanges(registry::RegistryAccess& registry, WindowsVersion version)
    : registry_(registry), version_(version) {}

StartOffer ServiceChanges::Offer(const std::vector<const ServiceKeyRecord*>& selection,
                                 StartChoice choice) const {
  std::vector<std::wstring> reasons;
  for (const ServiceKeyRecord* record : selection) {
    StartOffer offer = OfferStart(*record, choice, version_);
    if (offer.offered) {
      return offer;
    }
    if (std::find(reasons.begin(), reasons.end(), offer.refusal) == reasons.end()) {
      reasons.push_back(std::move(offer.refusal));
    }
  }
  StartOffer refused{false, {}};
  for (const std::wstring& reason : reasons) {
    refused.refusal += (refused.refusal.empty() ? L"" : L"；") + reason;
  }
  return refused;
}

// A value already recorded stays as it is, whatever it holds. Nothing is changed unless what
// could be recorded reads back from the record.
std::optional<std::wstring> ServiceChanges::RecordOriginals(const std::wstring& serviceKey) {
  const std::wstring path = PathOf(serviceKey);
  const auto record = [&](std::wstring_view base, std::uint32_t value) {
    registry_.WriteSetting(L"", L"", serviceKey, static_cast<std::int32_t>(value),
                           registry::kLocalMachine, base, registry::kRegDword);
    return registry_.ReadNumber(registry::kLocalMachine, base, serviceKey, false).number == value;
  };
  if (!registry_.ReadNumber(registry::kLocalMachine, kOriginalStartTypesBase, serviceKey, false)
           .valueFound) {
    const registry::NumberReading start =
        registry_.ReadNumber(registry::kLocalMachine, path, L"Start", false);
    if (start.keyStatus == registry::kFileNotFound) {
      return std::wstring(L"本机已没有该服务");
    }
    // A damaged start type is not worth bringing back: it is not recorded.
    if (start.number && *start.number <= kHighestStartType &&
        !record(kOriginalStartTypesBase, *start.number)) {
      return std::wstring(L"未能记录初始设置");
    }
  }
  if (!registry_
           .ReadNumber(registry::kLocalMachine, kOriginalDelayedAutostartBase, serviceKey, false)
           .valueFound) {
    const registry::NumberReading delayed =
        registry_.ReadNumber(registry::kLocalMachine, path, L"DelayedAutostart", false);
    const std::optional<std::uint32_t> original =
        delayed.valueFound ? delayed.number : std::optional<std::uint32_t>(0);
    if (delayed.keyStatus == registry::kSuccess && original &&
        !record(kOriginalDelayedAutostartBase, *original)) {
      return std::wstring(L"未能记录初始设置");
    }
  }
  return std::nullopt;
}

std::wstring ServiceChanges::WhyNotWritten(const std::wstring& path) {
  switch (registry_.ReadNumber(registry::kLocalMachine, path, L"Start", true).keyStatus) {
    case registry::kFileNotFound:
      return L"本机已没有该服务";
    case registry::kAccessDenied:
      return L"没有写入权限";
    default:
      return L"写入后读回的启动方式不符";
  }
}

std::optional<std::wstring> ServiceChanges::Write(const std::wstring& serviceKey,
                                                  StartChoice choice) {
  const std::wstring path = PathOf(serviceKey);
  const bool delayed = choice == StartChoice::kDelayedAutomatic;
  // DelayedAutostart first: without the Start that follows it has no effect.
  if (delayed) {
    registry_.SetKeyValue(registry::kLocalMachine, path, L"DelayedAutostart", std::int32_t{1},
                          registry::kRegDword);
  }
  const std::uint32_t start = StartNumberOf(choice);
  registry_.SetKeyValue(registry::kLocalMachine, path, L"Start", static_cast<std::int32_t>(start),
                        registry::kRegDword);
  const bool holds =
      registry_.ReadNumber(registry::kLocalMachine, path, L"Start", false).number == start &&
      (!delayed ||
       registry_.ReadNumber(registry::kLocalMachine, path, L"DelayedAutostart", false).number ==
           1u);
  if (!holds) {
    return WhyNotWritten(path);
  }
  return std::nullopt;
}

ServiceChangeOutcome ServiceChanges::Change(const std::vector<const ServiceKeyRecord*>& selection,
                                            StartChoice choice) {
  ServiceChangeOutcome outcome;
  outcome.choice = choice;
  std::vector<std::wstring> disabled;
  for (const ServiceKeyRecord* record : selection) {
    const StartOffer offer = OfferStart(*record, choice, version_);
    std::optional<std::wstring> failure;
    if (!offer.offered) {
      failure = offer.refusal;
    } else {
      failure = RecordOriginals(record->key);
      if (!failure) {
        failure = Write(record->key, choice);
      }
    }
    if (failure) {
      outcome.failures.push_back({record->key, std::move(*failure)});
      continue;
    }
    outcome.changed.push_back(record->key);
    if (choice == StartChoice::kDisabled) {
      disabled.push_back(record->key);
    }
  }
  outcome.inventory = ServiceInventory::Read(registry_.Api(), registry_.Codec());
  const ServiceDependents dependents = outcome.inventory.Dependents();
  outcome.warnings = DisableWarnings(dependents, disabled);
  for (const DisableWarning& warning : outcome.warnings) {
    outcome.warningText += (outcome.warningText.empty() ? L"" : L"；") + warning.serviceKey +
                           L"：" + DisableWarningText(dependents.AutomaticOf(warning.serviceKey));
  }
  return outcome;
}

ServiceRestoreOutcome ServiceChanges::RestoreService(std::wstring_view serviceKey) {
  const std::wstring key(serviceKey);
  const registry::NumberReading startRecord =
      registry_.ReadNumber(registry::kLocalMachine, kOriginalStartTypesBase, key, false);
  const registry::NumberReading delayedRecord =
      registry_.ReadNumber(registry::kLocalMachine, kOriginalDelayedAutostartBase, key, false);
  const bool hasStart = startRecord.number && *startRecord.number <= kHighestStartType;
  const bool hasDelayed = delayedRecord.number.has_value();
  ServiceRestoreOutcome outcome;
  if (!hasStart) {
    outcome.failure =
        startRecord.valueFound ? RestoreFailure::kDamagedRecord : RestoreFailure::kNoRecord;
  }
  if (!hasStart && !hasDelayed) {
    return outcome;
  }
  const std::wstring path = PathOf(key);
  if (registry_.ReadNumber(registry::kLocalMachine, path, L"Start", false).keyStatus ==
      registry::kFileNotFound) {
    outcome.failure = RestoreFailure::kGone;
    return outcome;
  }
  bool wrote = false;
  // A value the machine lacks counts as 0 for DelayedAutostart, as Windows reads it.
  const auto restore = [&](const wchar_t* name, std::uint32_t original, bool missingIsZero) {
    const registry::NumberReading now =
        registry_.ReadNumber(registry::kLocalMachine, path, name, false);
    if ((!now.valueFound && missingIsZero && original == 0) || now.number == original) {
      return true;
    }
    registry_.SetKeyValue(registry::kLocalMachine, path, name, static_cast<std::int32_t>(original),
                          registry::kRegDword);
    wrote = true;
    return registry_.ReadNumber(registry::kLocalMachine, path, name, false).number == original;
  };
  const bool delayedHeld =
      !hasDelayed || restore(L"DelayedAutostart", delayedRecord.number.value_or(0), true);
  const bool startHeld = !hasStart || restore(L"Start", startRecord.number.value_or(0), false);
  if (!delayedHeld || !startHeld) {
    outcome.failure = RestoreFailure::kNoRights;
  }
  outcome.restored = wrote && delayedHeld && startHeld;
  return outcome;
}

}  // namespace svctune
