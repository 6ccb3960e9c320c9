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
  std::uint32_t start;
};

// A service's Start value as the machine holds it.
struct StartValue {
  enum class Kind {
    kNumber,      // a REG_DWORD of four bytes, in number
    kNoService,   // the service's key does not exist
    kNoValue,     // the key exists without a Start value
    kWrongType,   // Start is not a REG_DWORD of four bytes; its type is in type
    kUnreadable,  // the key exists but cannot be opened for reading
  };
  Kind kind = Kind::kNoService;
  std::uint32_t number = 0;
  std::uint32_t type = 0;

  bool Holds(std::uint32_t start) const { return kind == Kind::kNumber && number == start; }
};

// Why "还原初始设置" left a service's start type as it was.
enum class RestoreFailure {
  kNoRecord,       // nothing was recorded for it at the first start
  kDamagedRecord,  // the record is no REG_DWORD from 0 to 4
  kNoRights,       // the service's key refused the write
  kGone,           // the service's key is no longer there
};

struct RestoreOutcome {
  int restored = 0;  // services that hold their record now and did not before
  std::vector<std::pair<const ServiceEntry*, RestoreFailure>> notRestored;  // catalogue order
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
  // recording has run to the end before. A value already there is never overwritten.
  void RecordOriginals();
  // The recorded start type, when the record is a REG_DWORD from 0 to 4.
  std::optional<std::uint32_t> Original(const ServiceEntry& entry);

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

  // Puts every service back to its recorded start type: drops the preset selection (so the
  // next start applies no preset), unticks every box without writing and selects "手动优化",
  // then writes each usable record the machine does not hold, once, and reads it back.
  RestoreOutcome RestoreOriginals(ModesAndPresets& modes);
  // "还原初始设置": asks first, restores, and names every service not restored and why.
  void OnRestoreClick(ModesAndPresets& modes, Confirmation& confirmation,
                      MessagePresenter& messages);

  // The current start type of every installed service, in catalogue order.
  std::vector<ServiceStartType> CurrentStartTypes();

 private:
  struct Reading {
    StartValue start;
    bool writable = true;  // probed only when a box disagrees
  };

  StartValue ReadStart(const ServiceEntry& entry);
  registry::NumberReading ReadRecord(const ServiceEntry& entry);
  void Refresh(const ServiceEntry& entry);
  bool Agrees(const ServiceEntry& entry, const StartValue& start) const;
  std::optional<StartType> FirstTickedType(const ServiceEntry& entry) const;
  static std::size_t Slot(int number) { return static_cast<std::size_t>(number); }

  registry::RegistryAccess& registry_;
  StartTypeTriads& triads_;
  ServiceManager& services_;
  std::array<Reading, 58> readings_{};  // indexed by catalogue number
  std::array<bool, 58> changed_{};
};

// "自动", "手动", "禁用", or the number for any other start type.
std::wstring StartTypeName(std::uint32_t start);

}  // namespace svctune
