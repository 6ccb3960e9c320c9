#include "optimizer/service_dependents.h"

#include <algorithm>

#include "optimizer/service_inventory.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::int32_t kAutomatic = 2;

std::wstring JoinNames(const std::vector<Dependent>& dependents) {
  std::wstring joined;
  for (const Dependent& dependent : dependents) {
    joined += (joined.empty() ? L"" : L"、") + dependent.name;
  }
  return joined;
}

}  // namespace

ServiceDependents::ServiceDependents(std::vector<ServiceRecord> records, bool complete)
    : records_(std::move(records)), complete_(complete) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    byKey_.emplace(AsciiUpper(records_[i].key), i);
    std::vector<std::wstring>& needed = records_[i].dependsOn;
    if (needed.size() > kMaxDependenciesPerService) {
      needed.resize(kMaxDependenciesPerService);
      complete_ = false;
    }
    for (const std::wstring& name : needed) {
      if (total == kMaxDependencies) {
        complete_ = false;
        break;
      }
      needs_[AsciiUpper(name)].push_back(i);
      ++total;
    }
  }
}

ServiceDependents ServiceDependents::Read(registry::RegistryApi& api,
                                          const AnsiCodec& ansiCodePage) {
  return ServiceInventory::Read(api, ansiCodePage, ServiceInventory::Detail::kStartsAndNeeds)
      .Dependents();
}

std::vector<Dependent> ServiceDependents::Of(std::wstring_view serviceKey) const {
  struct Found {
    std::size_t record;
    std::size_t depth;
    bool automatic;
    std::wstring folded;
  };
  std::vector<Found> found;
  std::vector<bool> visited(records_.size(), false);
  std::wstring start = AsciiUpper(serviceKey);
  if (const auto self = byKey_.find(start); self != byKey_.end()) {
    visited[self->second] = true;
  }
  std::vector<std::wstring> frontier{std::move(start)};
  for (std::size_t depth = 1; !frontier.empty(); ++depth) {
    std::vector<std::wstring> next;
    for (const std::wstring& key : frontier) {
      const auto needing = needs_.find(key);
      if (needing == needs_.end()) {
        continue;
      }
      for (std::size_t record : needing->second) {
        if (visited[record]) {
          continue;
        }
        visited[record] = true;
        std::wstring folded = AsciiUpper(records_[record].key);
        found.push_back({record, depth, records_[record].start == kAutomatic, folded});
        next.push_back(std::move(folded));
      }
    }
    frontier = std::move(next);
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.automatic != b.automatic) {
      return a.automatic;
    }
    if (a.depth != b.depth) {
      return a.depth < b.depth;
    }
    return a.folded < b.folded;
  });
  std::vector<Dependent> dependents;
  for (const Found& item : found) {
    const ServiceRecord& record = records_[item.record];
    dependents.push_back(
        {record.key, record.displayName.empty() ? record.key : record.displayName, record.start});
  }
  return dependents;
}

std::vector<Dependent> ServiceDependents::AutomaticOf(std::wstring_view serviceKey) const {
  std::vector<Dependent> automatic = Of(serviceKey);
  automatic.erase(std::remove_if(automatic.begin(), automatic.end(),
                                 [](const Dependent& d) { return d.start != kAutomatic; }),
                  automatic.end());
  return automatic;
}

std::wstring DependentsStatusText(const std::vector<Dependent>& dependents, bool complete) {
  if (dependents.empty()) {
    return complete ? L"被依赖：无" : L"";
  }
  return L"被依赖：" + JoinNames(dependents);
}

std::wstring DisableWarningText(const std::vector<Dependent>& automaticDependents) {
  if (automaticDependents.empty()) {
    return L"";
  }
  return L"注意：自动启动的 " + JoinNames(automaticDependents) + L" 依赖此服务，禁用后它们无法启动";
}

std::vector<DisableWarning> DisableWarnings(const ServiceDependents& dependents,
                                            const std::vector<std::wstring>& disabledKeys) {
  std::vector<DisableWarning> warnings;
  for (const std::wstring& key : disabledKeys) {
    const std::vector<Dependent> automatic = dependents.AutomaticOf(key);
    if (automatic.empty()) {
      continue;
    }
    DisableWarning warning{key, {}};
    for (const Dependent& dependent : automatic) {
      warning.automaticDependents.push_back(dependent.key);
    }
    warnings.push_back(std::move(warning));
  }
  return warnings;
}

}  // namespace svctune
