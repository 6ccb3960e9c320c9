#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "optimizer/machine_start_types.h"
#include "optimizer/service_dependents.h"
#include "optimizer/service_inventory.h"
#include "optimizer/start_offers.h"
#include "registry/registry_access.h"

namespace svctune {

// Where the DelayedAutostart values found before the program first changed a service are kept:
// one REG_DWORD per service key, beside the recorded start types. A service that had no
// DelayedAutostart value is recorded as 0, which Windows reads the same way; a missing value
// here means nothing was recorded.
inline constexpr std::wstring_view kOriginalDelayedAutostartBase =
    L"Software\\Hollin Soft\\Pardell\\OriginalDelayedAutostart";

// "自动", "自动（延迟启动）", "手动", "禁用".
std::wstring_view ChoiceName(StartChoice choice);
// The Start value a choice writes: 2, 3 or 4 (a delayed start is 2 with DelayedAutostart).
std::uint32_t StartNumberOf(StartChoice choice);

// A service the change left as it was, and why.
struct ServiceChangeFailure {
  std::wstring serviceKey;
  std::wstring reason;
};

// What a change of start type did.
struct ServiceChangeOutcome {
  StartChoice choice = StartChoice::kManual;
  std::vector<std::wstring> changed;  // the services that hold the choice now
  std::vector<ServiceChangeFailure> failures;
  // The services disabled now that automatic services need, with the texts naming them.
  std::vector<DisableWarning> warnings;
  std::wstring warningText;
  ServiceInventory inventory{{}, false};  // the machine read again after the writes

  // What the window's status text says: how many services changed, each one that did not and
  // why, and the warning.
  std::wstring Report() const;
};

// What RestoreService did for one service.
struct ServiceRestoreOutcome {
  bool restored = false;  // a recorded value was written back and reads back now
  std::optional<RestoreFailure> failure;
};

// Changes services' start types from the list of all services: each change is refused where
// OfferStart refuses it, else the service's original Start and DelayedAutostart are recorded
// first (never over a record already there), then Start is written once through the access
// layer and read back.
class ServiceChanges {
 public:
  ServiceChanges(registry::RegistryAccess& registry, WindowsVersion version);

  const WindowsVersion& Version() const { return version_; }

  // Whether a choice is offered for a selection: when at least one of the services takes it.
  // When none does, the refusal gives each distinct reason once.
  StartOffer Offer(const std::vector<const ServiceKeyRecord*>& selection, StartChoice choice) const;

  // Gives the choice to every service of the selection that takes it, then reads the machine
  // again. 自动（延迟启动） writes DelayedAutostart 1 and Start 2; 自动 leaves DelayedAutostart.
  ServiceChangeOutcome Change(const std::vector<const ServiceKeyRecord*>& selection,
                              StartChoice choice);

  // Writes back a service's recorded Start (a REG_DWORD from 0 to 4) and DelayedAutostart,
  // where the machine holds something else, and reads them back.
  ServiceRestoreOutcome RestoreService(std::wstring_view serviceKey);

 private:
  std::optional<std::wstring> RecordOriginals(const std::wstring& serviceKey);
  std::optional<std::wstring> Write(const std::wstring& serviceKey, StartChoice choice);
  std::wstring WhyNotWritten(const std::wstring& path);

  registry::RegistryAccess& registry_;
  WindowsVersion version_;
};

}  // namespace svctune
