#include "optimizer/service_dependents.h"

#include <algorithm>
#include <cstring>

#include "text/unicode_text.h"
#include "registry/scoped_key.h"

namespace svctune {
namespace {

// Key names are at most 255 characters, two bytes each in a double-byte code page.
constexpr std::uint32_t kKeyNameBufferSize = 1024;
constexpr std::size_t kMaxServiceNameLength = 256;
constexpr std::int32_t kAutomatic = 2;

struct RawValue {
  std::uint32_t type = 0;
  std::string bytes;
};

// A value's type and data; nothing when it is missing, cannot be read or is bigger than
// maxBytes (then tooBig is set).
std::optional<RawValue> ReadValue(registry::RegistryApi& api, registry::KeyHandle key,
                                  const char* name, std::uint32_t maxBytes, bool& tooBig) {
  RawValue value;
  std::uint32_t size = 0;
  if (api.RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) != registry::kSuccess) {
    return std::nullopt;
  }
  if (size > maxBytes) {
    tooBig = true;
    return std::nullopt;
  }
  value.bytes.assign(size, '\0');
  std::uint32_t read = size;
  if (size > 0 && api.RegQueryValueExA(key, name, nullptr, &value.type,
                                       reinterpret_cast<std::uint8_t*>(&value.bytes[0]),
                                       &read) != registry::kSuccess) {
    return std::nullopt;
  }
  value.bytes.resize(std::min(read, size));
  return value;
}

// The names of a multi-string: they end at the first empty one, as the service manager reads
// them; a last name without its terminating zero still counts.
std::vector<std::wstring> SplitNames(const std::wstring& text, bool& complete) {
  std::vector<std::wstring> names;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find(L'\0', begin);
    if (end == std::wstring::npos) {
      end = text.size();
    }
    if (end == begin) {
      break;
    }
    if (names.size() == kMaxDependenciesPerService) {
      complete = false;
      break;
    }
    if (end - begin <= kMaxServiceNameLength) {
      names.push_back(text.substr(begin, end - begin));
    }
    begin = end + 1;
  }
  return names;
}

ServiceRecord ReadRecord(registry::RegistryApi& api, const AnsiCodec& ansiCodePage,
                         registry::KeyHandle services, const char* name, bool& complete) {
  ServiceRecord record;
  record.key = ansiCodePage.FromAnsi(name);
  registry::ScopedKey key(api);
  if (api.RegOpenKeyExA(services, name, 0, registry::kKeyRead, key.Receive()) !=
      registry::kSuccess) {
    complete = false;
    return record;
  }
  // Only a dependency list too big to read leaves the map incomplete.
  bool tooBig = false;
  bool ignored = false;
  if (auto start = ReadValue(api, key.get(), "Start", 4, ignored);
      start && start->type == registry::kRegDword && start->bytes.size() == 4) {
    std::int32_t number = 0;
    std::memcpy(&number, start->bytes.data(), sizeof number);
    record.start = number;
  }
  if (auto display = ReadValue(api, key.get(), "DisplayName", kMaxDisplayNameBytes, ignored);
      display && (display->type == registry::kRegSz || display->type == registry::kRegExpandSz)) {
    const std::string text = display->bytes.substr(0, display->bytes.find('\0'));
    // "@file.dll,-100" names a string resource, which XP cannot look up; the key is shown.
    if (!text.empty() && text.front() != '@') {
      record.displayName = ansiCodePage.FromAnsi(text);
    }
  }
  if (auto depends = ReadValue(api, key.get(), "DependOnService", kMaxDependOnServiceBytes, tooBig);
      depends && (depends->type == registry::kRegMultiSz || depends->type == registry::kRegSz)) {
    record.dependsOn = SplitNames(ansiCodePage.FromAnsi(depends->bytes), complete);
  }
  complete = complete && !tooBig;
  return record;
}

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
  registry::ScopedKey services(api);
  if (api.RegOpenKeyExA(registry::kLocalMachine, kServicesKeyPath, 0, registry::kKeyRead,
                        services.Receive()) != registry::kSuccess) {
    return ServiceDependents({}, false);
  }
  std::vector<ServiceRecord> records;
  bool complete = true;
  char name[kKeyNameBufferSize];
  for (std::uint32_t index = 0;; ++index) {
    if (index == kMaxServiceKeys) {
      complete = false;
      break;
    }
    const registry::Status status =
        api.RegEnumKeyA(services.get(), index, name, kKeyNameBufferSize);
    if (status == registry::kNoMoreItems) {
      break;
    }
    if (status != registry::kSuccess) {
      complete = false;
      if (status == registry::kMoreData) {
        continue;
      }
      break;
    }
    records.push_back(ReadRecord(api, ansiCodePage, services.get(), name, complete));
  }
  return ServiceDependents(std::move(records), complete);
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
