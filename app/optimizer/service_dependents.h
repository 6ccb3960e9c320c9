#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry/registry_api.h"
#include "text/ansi_codec.h"

namespace svctune {

// Where the map is read: every key below it is one service or driver.
inline constexpr char kServicesKeyPath[] = "SYSTEM\\CurrentControlSet\\Services";

// Limits that keep damaged or hostile registry data from costing unbounded time or memory.
// A real machine has a few hundred service keys, each naming a handful of services it needs.
inline constexpr std::size_t kMaxServiceKeys = 10000;
inline constexpr std::uint32_t kMaxDependOnServiceBytes = 16 * 1024;
inline constexpr std::size_t kMaxDependenciesPerService = 256;
inline constexpr std::size_t kMaxDependencies = 50000;
inline constexpr std::uint32_t kMaxDisplayNameBytes = 1024;

// A service key as the map holds it.
struct ServiceRecord {
  std::wstring key;
  std::wstring displayName;  // empty when the key has none that can be shown
  std::optional<std::int32_t> start;
  std::vector<std::wstring> dependsOn;  // DependOnService
};

// A service that needs another one to start.
struct Dependent {
  std::wstring key;
  std::wstring name;  // its display name, or its key when it has none
  std::optional<std::int32_t> start;
};

// The reverse of every service key's DependOnService: which services need a given one, read
// from the registry (no service manager rights needed), so that it also answers where the
// service manager cannot list dependents.
class ServiceDependents {
 public:
  explicit ServiceDependents(std::vector<ServiceRecord> records, bool complete = true);

  // The map of the machine's service keys (ServiceInventory::Read), for callers that need
  // nothing else of them: DependOnService (REG_MULTI_SZ, or REG_SZ naming one), DisplayName and
  // Start.
  static ServiceDependents Read(registry::RegistryApi& api, const AnsiCodec& ansiCodePage);

  // Every service that needs serviceKey to start, directly or through other services (each
  // once, however the dependencies loop): those with start type 2 first, then the nearer
  // before the farther, then by key.
  std::vector<Dependent> Of(std::wstring_view serviceKey) const;
  // Those of them that start automatically: what disabling serviceKey keeps from starting.
  std::vector<Dependent> AutomaticOf(std::wstring_view serviceKey) const;

  // False when not every key could be read (the Services key refused, or a limit reached).
  bool Complete() const { return complete_; }
  std::size_t ServiceCount() const { return records_.size(); }

 private:
  std::vector<ServiceRecord> records_;
  std::unordered_map<std::wstring, std::size_t> byKey_;  // folded key -> record
  // Folded service key -> the records whose DependOnService names it.
  std::unordered_map<std::wstring, std::vector<std::size_t>> needs_;
  bool complete_;
};

// The status line's part for a service's dependents: "被依赖：A、B" with display names,
// "被依赖：无" when the map is complete and names none, and nothing when it is incomplete and names
// none.
std::wstring DependentsStatusText(const std::vector<Dependent>& dependents, bool complete);

// What the window says after a service was disabled that automatic services need; empty when
// none does.
std::wstring DisableWarningText(const std::vector<Dependent>& automaticDependents);

// A disabled service and the keys of the automatic services that can no longer start.
struct DisableWarning {
  std::wstring serviceKey;
  std::vector<std::wstring> automaticDependents;
};

// The warnings for the services a run disabled, read against the machine after the run.
std::vector<DisableWarning> DisableWarnings(const ServiceDependents& dependents,
                                            const std::vector<std::wstring>& disabledKeys);

}  // namespace svctune
