#include "optimizer/service_inventory.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "registry/scoped_key.h"

namespace svctune {
namespace {

// Key names are at most 255 characters, two bytes each in a double-byte code page.
constexpr std::uint32_t kKeyNameBufferSize = 1024;
constexpr std::size_t kMaxServiceNameLength = 256;
constexpr std::int32_t kAutomatic = 2;

struct RawValue {
  bool found = false;
  bool tooBig = false;  // found, but bigger than was asked for; not read
  std::uint32_t type = registry::kRegNone;
  std::string bytes;
};

// Read into a buffer of this size at once; only a bigger value is asked for its size first.
// Each call is a round trip to the registry, and a machine has thousands of these values.
constexpr std::uint32_t kFirstReadBytes = 512;

RawValue ReadValue(registry::RegistryApi& api, registry::KeyHandle key, const char* name,
                   std::uint32_t maxBytes) {
  RawValue value;
  value.bytes.assign(std::min(kFirstReadBytes, maxBytes), '\0');
  std::uint32_t size = static_cast<std::uint32_t>(value.bytes.size());
  registry::Status status = api.RegQueryValueExA(
      key, name, nullptr, &value.type, reinterpret_cast<std::uint8_t*>(&value.bytes[0]), &size);
  if (status == registry::kMoreData) {
    if (size > maxBytes) {
      value.found = true;
      value.tooBig = true;
      value.bytes.clear();
      return value;
    }
    value.bytes.assign(size, '\0');
    status = api.RegQueryValueExA(key, name, nullptr, &value.type,
                                  reinterpret_cast<std::uint8_t*>(&value.bytes[0]), &size);
  }
  if (status != registry::kSuccess) {
    return RawValue{};
  }
  value.found = true;
  value.bytes.resize(std::min<std::size_t>(size, value.bytes.size()));
  return value;
}

std::optional<std::uint32_t> Number(const RawValue& value) {
  if (!value.found || value.tooBig || value.type != registry::kRegDword ||
      value.bytes.size() != 4) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  std::memcpy(&number, value.bytes.data(), sizeof number);
  return number;
}

// A text value up to its first zero; empty when it is missing, too big or no text.
std::wstring Text(const RawValue& value, const AnsiCodec& ansiCodePage) {
  if (!value.found || value.tooBig ||
      (value.type != registry::kRegSz && value.type != registry::kRegExpandSz)) {
    return {};
  }
  return ansiCodePage.FromAnsi(value.bytes.substr(0, value.bytes.find('\0')));
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

StartValue StartOf(const RawValue& value) {
  StartValue start;
  if (!value.found) {
    start.kind = StartValue::Kind::kNoValue;
  } else if (const std::optional<std::uint32_t> number = Number(value)) {
    start.kind = StartValue::Kind::kNumber;
    start.number = *number;
  } else {
    start.kind = StartValue::Kind::kWrongType;
    start.type = value.type;
  }
  return start;
}

ServiceKeyRecord ReadRecord(registry::RegistryApi& api, const AnsiCodec& ansiCodePage,
                            registry::KeyHandle services, const char* name,
                            ServiceInventory::Detail detail, bool& complete) {
  const bool whole = detail == ServiceInventory::Detail::kWhole;
  ServiceKeyRecord record;
  record.key = ansiCodePage.FromAnsi(name);
  if (whole) {
    // Windows 10 and later keep some services' keys from administrators: the one open for
    // writing tells.
    registry::ScopedKey probe(api);
    record.writeDenied = api.RegOpenKeyExA(services, name, 0, registry::kKeySetValue,
                                           probe.Receive()) == registry::kAccessDenied;
  }
  registry::ScopedKey key(api);
  if (api.RegOpenKeyExA(services, name, 0, registry::kKeyRead, key.Receive()) !=
      registry::kSuccess) {
    record.start.kind = StartValue::Kind::kUnreadable;
    complete = false;
    return record;
  }
  record.start = StartOf(ReadValue(api, key.get(), "Start", 4));
  record.delayedAutostart = Number(ReadValue(api, key.get(), "DelayedAutostart", 4));
  record.displayName =
      Text(ReadValue(api, key.get(), "DisplayName", kMaxDisplayNameBytes), ansiCodePage);
  if (whole) {
    record.type = Number(ReadValue(api, key.get(), "Type", 4));
    record.description =
        Text(ReadValue(api, key.get(), "Description", kMaxServiceTextBytes), ansiCodePage);
    record.objectName =
        Text(ReadValue(api, key.get(), "ObjectName", kMaxServiceTextBytes), ansiCodePage);
    record.imagePath =
        Text(ReadValue(api, key.get(), "ImagePath", kMaxServiceTextBytes), ansiCodePage);
  }
  // Only a dependency list too big to read leaves the map incomplete.
  const RawValue depends = ReadValue(api, key.get(), "DependOnService", kMaxDependOnServiceBytes);
  complete = complete && !depends.tooBig;
  if (depends.found && !depends.tooBig &&
      (depends.type == registry::kRegMultiSz || depends.type == registry::kRegSz)) {
    record.dependsOn = SplitNames(ansiCodePage.FromAnsi(depends.bytes), complete);
  }
  registry::ScopedKey triggers(api);
  const registry::Status triggerStatus =
      api.RegOpenKeyExA(key.get(), "TriggerInfo", 0, registry::kKeyQueryValue, triggers.Receive());
  record.hasTriggers =
      triggerStatus == registry::kSuccess || triggerStatus == registry::kAccessDenied;
  return record;
}

}  // namespace

bool ServiceKeyRecord::DelayedStart() const {
  return start.Holds(kAutomatic) && delayedAutostart.value_or(0) != 0;
}

ServiceKind KindOf(const ServiceKeyRecord& record) {
  if (!record.type || (*record.type & kDriverTypeBits) != 0 ||
      (*record.type & kWin32TypeBits) == 0) {
    return ServiceKind::kNotListed;
  }
  if ((*record.type & kUserServiceInstanceBit) != 0) {
    return ServiceKind::kPerUserInstance;
  }
  return (*record.type & kUserServiceBit) != 0 ? ServiceKind::kPerUserTemplate
                                               : ServiceKind::kService;
}

std::wstring_view TemplateKeyOf(std::wstring_view instanceKey) {
  const std::size_t underscore = instanceKey.rfind(L'_');
  return underscore == std::wstring_view::npos ? instanceKey : instanceKey.substr(0, underscore);
}

ServiceInventory::ServiceInventory(std::vector<ServiceKeyRecord> records, bool complete)
    : records_(std::move(records)), complete_(complete) {}

void ServiceInventory::Add(std::vector<ServiceKeyRecord> more, bool complete) {
  records_.insert(records_.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
  complete_ = complete;
}

ServiceInventory ServiceInventory::Read(registry::RegistryApi& api, const AnsiCodec& ansiCodePage,
                                        Detail detail) {
  ServiceInventoryReader reader(api, ansiCodePage, detail);
  std::vector<ServiceKeyRecord> records = reader.ReadMore(kMaxServiceKeys);
  return ServiceInventory(std::move(records), reader.Complete());
}

ServiceInventoryReader::ServiceInventoryReader(registry::RegistryApi& api,
                                               const AnsiCodec& ansiCodePage,
                                               ServiceInventory::Detail detail)
    : api_(api), ansiCodePage_(ansiCodePage), detail_(detail), services_(api) {
  if (api.RegOpenKeyExA(registry::kLocalMachine, kServicesKeyPath, 0, registry::kKeyRead,
                        services_.Receive()) != registry::kSuccess) {
    done_ = true;
    complete_ = false;
  }
}

std::vector<ServiceKeyRecord> ServiceInventoryReader::ReadMore(std::size_t keys) {
  std::vector<ServiceKeyRecord> records;
  char name[kKeyNameBufferSize];
  while (!done_ && records.size() < keys) {
    if (index_ == kMaxServiceKeys) {
      complete_ = false;
      done_ = true;
      break;
    }
    const registry::Status status =
        api_.RegEnumKeyA(services_.get(), index_++, name, kKeyNameBufferSize);
    if (status == registry::kNoMoreItems) {
      done_ = true;
      break;
    }
    if (status != registry::kSuccess) {
      complete_ = false;
      done_ = status != registry::kMoreData;
      continue;
    }
    records.push_back(ReadRecord(api_, ansiCodePage_, services_.get(), name, detail_, complete_));
  }
  return records;
}

ServiceDependents ServiceInventory::Dependents() const {
  std::vector<ServiceRecord> records;
  records.reserve(records_.size());
  for (const ServiceKeyRecord& key : records_) {
    ServiceRecord record;
    record.key = key.key;
    // "@file.dll,-100" names a string resource: the status line shows the key instead.
    if (!key.displayName.empty() && key.displayName.front() != L'@') {
      record.displayName = key.displayName;
    }
    if (key.start.kind == StartValue::Kind::kNumber) {
      record.start = static_cast<std::int32_t>(key.start.number);
    }
    record.dependsOn = key.dependsOn;
    records.push_back(std::move(record));
  }
  return ServiceDependents(std::move(records), complete_);
}

}  // namespace svctune
