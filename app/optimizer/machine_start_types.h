#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/modes_and_presets.h"
#include "optimizer/service_manager.h"
#include "optimizer/start_type_triads.h"
#include "registry/registry_access.h"
#include "ui/message_presenter.h"

namespace svctune {

// Where the start types found at the program's first start on a machine are kept: one
// 32-bit value per service key in a sub-key of the program's own key, and a flag in the
// program's key once the recording has run to the end.
inline constexpr std::wstring_view kOriginalStartTypesBase =
    L"Software\\Hollin Soft\\Pardell\\OriginalStartTypes";
inline constexpr std::wstring_view kProgramKeyBase = L"Software\\Hollin Soft\\Pardell";
inline constexpr std::wstring_view kOriginalsRecordedValue = L"OriginalStartTypesRecorded";

inline constexpr std::wstring_view kRestoreLinkCaption = L"还原初始设置";
inline constexpr std::wstring_view kExportLinkCaption = L"导出备份";

// How a service's caption is drawn.
enum class CaptionLook {
  kNormal,
  kMissing,    // the machine does not have the service
  kDisagrees,  // a ticked box names another start type than the machine holds
};

// Asks the user a yes/no question.
class Confirmation {
 public:
  virtual ~Confirmation() = default;
  virtual bool AskYesNo(std::wstring_view text, std::wstring_view title) = 0;
};

// A service's current start type, as the backup file keeps it.
struct ServiceStartType {
  std::wstring serviceKey;
  std::int32_t start;
};

// What the machine really holds beside what the boxes claim: the services' real start types,
// read through the registry access layer, and what the Service Control Manager tells about
// them; the start types found at the first start, kept and restorable. Writes nothing that
// the boxes' handlers would not write, apart from the record of the first start.
class MachineStartTypes {
 public:
  MachineStartTypes(registry::RegistryAccess& registry, StartTypeTriads& triads,
                    ServiceManager& services);
  MachineStartTypes(const MachineStartTypes&) = delete;
  MachineStartTypes& operator=(const MachineStartTypes&) = delete;

  // Records the start type of every installed service under the program's key, unless a
  // recording has run to the end before. A value already recorded is never overwritten.
  void RecordOriginals();
  std::optional<std::int32_t> Original(const ServiceEntry& entry);

  // Reads every service's real start type again.
  void RefreshAll();
  // A box changed: its service is read again at the next RefreshChanged, once the change
  // has been written.
  void MarkChanged(int box);
  // Reads the services marked since the last call; returns their catalogue numbers.
  std::vector<int> RefreshChanged();
  CaptionLook Look(int number) const;

  // The status line for the service of catalogue entry number; reads the machine afresh.
  std::wstring StatusText(int number);

  // "还原初始设置": after the user's yes, unticks every box as "手动优化" does, then writes
  // each recorded start type back, and says how it went.
  void OnRestoreClick(ModesAndPresets& modes, Confirmation& confirmation,
                      MessagePresenter& messages);

  // The current start type of every installed service, in catalogue order.
  std::vector<ServiceStartType> CurrentStartTypes();

 private:
  struct Reading {
    std::optional<std::int32_t> start;  // nothing: the machine has no such service
    bool writable = true;               // probed only when a box disagrees
  };

  std::optional<std::int32_t> ReadStart(const ServiceEntry& entry);
  void Refresh(const ServiceEntry& entry);
  bool Agrees(const ServiceEntry& entry, std::int32_t start) const;
  std::optional<StartType> FirstTickedType(const ServiceEntry& entry) const;
  static std::size_t Slot(int number) { return static_cast<std::size_t>(number); }

  registry::RegistryAccess& registry_;
  StartTypeTriads& triads_;
  ServiceManager& services_;
  std::array<Reading, 58> readings_{};  // indexed by catalogue number
  std::array<bool, 58> changed_{};
};

// "自动", "手动", "禁用", or the number for any other start type.
std::wstring StartTypeName(std::int32_t start);

}  // namespace svctune
