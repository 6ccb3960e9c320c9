#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/modes_and_presets.h"
#include "optimizer/saved_choices.h"
#include "optimizer/service_dependents.h"
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

// The status line in the bottom strip of the window: what it says, and whether it warns.
struct StatusLine {
  std::wstring text;
  bool warning = false;
};

struct RestoreOutcome {
  int restored = 0;  // services that hold their record now and did not before
  std::vector<std::pair<const ServiceEntry*, RestoreFailure>> notRestored;  // catalogue order
  // Services outside the catalogue with a record that are not back, by key.
  std::vector<std::pair<std::wstring, RestoreFailure>> othersNotRestored;
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

  // Reads every service's real start type again, and the services that depend on each; a
  // warning on the status line is over then.
  void RefreshAll();
  // A box changed: its service is read again at the next RefreshChanged, once the change
  // has been written.
  void MarkChanged(int box);
  // Reads the services marked or written since the last call, and the dependents afresh;
  // returns their catalogue numbers. A service a box's write disabled that automatic services
  // need is warned of (Warnings), and the status line says so until the pointer moves to
  // another service.
  std::vector<int> RefreshChanged();
  CaptionLook Look(int number) const;

  // The status line for the service of catalogue entry number; reads the machine afresh.
  std::wstring StatusText(int number);

  // The pointer moved onto a service (its caption or one of its boxes): the status line shows
  // it, read afresh, unless it warns about this very service. False when the pointer was on
  // the service already.
  bool PointAt(int number);
  // The pointer left the service: the status line empties, unless it warns.
  void PointerLeft(int number);
  const StatusLine& Status() const { return status_; }

  // The services that the writes before the last RefreshChanged disabled and that automatic
  // services need, with the keys of those services.
  const std::vector<DisableWarning>& Warnings() const { return warnings_; }
  const ServiceDependents& Dependents() const { return dependents_; }

  // Puts every service back to its recorded start type: drops the preset selection (so the
  // next start applies no preset), unticks every box without writing and selects "手动优化",
  // then writes each usable record the machine does not hold, once, and reads it back. Every
  // other service the program recorded (changed in the list of all services) and every
  // recorded DelayedAutostart is written back the same way.
  RestoreOutcome RestoreOriginals(ModesAndPresets& modes);
  // "还原初始设置": asks first, saves the preset list without its selection, restores, and
  // names every service not restored and why. When the list cannot be saved so, nothing is
  // restored and the message says why: the next start would apply the preset again.
  void OnRestoreClick(ModesAndPresets& modes, SavedChoices& choices, Confirmation& confirmation,
                      MessagePresenter& messages);

  // The current start type of every installed service, in catalogue order.
  std::vector<ServiceStartType> CurrentStartTypes();
  // The registry the machine is read and written through.
  registry::RegistryAccess& Registry() { return registry_; }
  // A service's Start value as the machine holds it now.
  StartValue ReadStart(const ServiceEntry& entry);

 private:
  struct Reading {
    StartValue start;
    bool writable = true;  // probed only when a box disagrees
  };

  registry::NumberReading ReadRecord(const ServiceEntry& entry);
  void RestoreOthers(RestoreOutcome& outcome);
  // The services outside the catalogue whose usable record the machine does not hold.
  int OthersToRestore();
  void Refresh(const ServiceEntry& entry);
  void ReadDependents();
  std::wstring ComposeStatus(const ServiceEntry& entry);
  std::wstring WarningText() const;
  bool Agrees(const ServiceEntry& entry, const StartValue& start) const;
  std::optional<StartType> FirstTickedType(const ServiceEntry& entry) const;
  static std::size_t Slot(int number) { return static_cast<std::size_t>(number); }

  registry::RegistryAccess& registry_;
  StartTypeTriads& triads_;
  ServiceManager& services_;
  std::array<Reading, 58> readings_{};  // indexed by catalogue number
  std::array<bool, 58> changed_{};
  // The start type a box's handler last wrote, since the last refresh.
  std::array<std::optional<StartType>, 58> written_{};
  ServiceDependents dependents_{{}, false};
  // What Windows Vista and later add to a start type, by the key in capitals: a delayed
  // automatic start, and a start on a trigger.
  struct StartExtras {
    bool delayed = false;
    bool triggered = false;
  };
  std::map<std::wstring, StartExtras> startExtras_;
  std::vector<DisableWarning> warnings_;
  int hovered_ = 0;  // catalogue number of the service under the pointer
  StatusLine status_;
  std::vector<std::wstring> warnedKeys_;  // the services the status line warns about
};

// "自动", "手动", "禁用", or the number for any other start type.
std::wstring StartTypeName(std::uint32_t start);
// What a Start value is: its start type's name, or what is wrong with it.
std::wstring DescribeStartValue(const StartValue& start);

}  // namespace svctune
