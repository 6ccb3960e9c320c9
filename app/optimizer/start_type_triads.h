#pragma once

#include <array>
#include <functional>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "registry/registry_access.h"
#include "ui/control_state.h"

namespace svctune {

// Check box states.
inline constexpr int kUnticked = 0;
inline constexpr int kTicked = 1;
inline constexpr int kGreyed = 2;  // set only by program; handled as unticked

// The 168 start-type check boxes of the optimizer: three per service, 自动, 手动 and 禁用.
// A change of a box's state is applied at once: ticking a box writes its start type into the
// service's key and disables the two other boxes; unticking re-enables them and, for 手动 and
// 禁用, returns the service to automatic start.
class StartTypeTriads {
 public:
  explicit StartTypeTriads(registry::RegistryAccess& registry);
  StartTypeTriads(const StartTypeTriads&) = delete;
  StartTypeTriads& operator=(const StartTypeTriads&) = delete;

  int State(int box) const;
  bool Enabled(int box) const;

  // Sets a state by program: runs the box's handler only when the state changes, also while
  // the box is disabled.
  void SetState(int box, int state);
  // The user's click on an enabled box: ticks an unticked box, unticks a ticked or greyed one.
  void Click(int box);
  void SetEnabled(int box, bool enabled);
  // Unticks and enables every box without running the boxes' handlers: no start type is
  // written. For the restore, which writes each service's start type itself.
  void ClearWithoutWriting();
  // Leaves the entry with the one box of the start type ticked, and that start type written by
  // the box's own handler: the entry's boxes are cleared without writing, then the box is ticked.
  // No service passes through another start type on the way, and the write happens even when
  // the box was ticked already.
  void TickOnly(const ServiceEntry& entry, StartType type);

  // Adds a listener called after a box's state or enabled flag changed (a view shows it, the
  // saved choices keep it). A box's handler calls them before it writes the start type.
  void OnBoxChanged(std::function<void(int box)> listener) {
    listeners_.push_back(std::move(listener));
  }
  // Adds a listener called after a handler wrote a start type (the write is not checked: the
  // key may be missing or refuse it).
  void OnStartTypeWritten(std::function<void(const ServiceEntry&, StartType)> listener) {
    writeListeners_.push_back(std::move(listener));
  }
  // Sets what a handler asks before it writes a start type. A write it refuses is held back:
  // nothing is written and no write listener is told. The saved choices refuse while a
  // service's boxes are not stored as they stand, so that the machine never holds a start type
  // the next start would not write again.
  void HoldWritesUnless(std::function<bool(const ServiceEntry&)> mayWrite) {
    mayWrite_ = std::move(mayWrite);
  }
  // False while the entry's start type writes are held back.
  bool MayWrite(const ServiceEntry& entry) const { return !mayWrite_ || mayWrite_(entry); }

 private:
  struct Box {
    ControlState<int> state{kUnticked};
    bool enabled = true;
  };

  void CheckClick(int box);
  void Clear(int box);
  void SetPartnersEnabled(const ServiceEntry& entry, int box, bool enabled);
  void WriteStartType(const ServiceEntry& entry, StartType type);
  void Notify(int box) const;

  registry::RegistryAccess& registry_;
  std::array<Box, kHighestBoxNumber + 1> boxes_;  // indexed by box number
  std::vector<std::function<void(int)>> listeners_;
  std::vector<std::function<void(const ServiceEntry&, StartType)>> writeListeners_;
  std::function<bool(const ServiceEntry&)> mayWrite_;
};

}  // namespace svctune
