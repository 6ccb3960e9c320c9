#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "optimizer/machine_start_types.h"
#include "optimizer/service_changes.h"
#include "optimizer/service_list.h"
#include "registry/registry_access.h"

namespace svctune {

// Where the window "全部服务" keeps its size, in pixels at 96 dpi: values in the program's key.
inline constexpr std::wstring_view kServicesWindowWidthValue = L"ServicesWindowWidth";
inline constexpr std::wstring_view kServicesWindowHeightValue = L"ServicesWindowHeight";
inline constexpr int kServicesWindowMinWidth = 480;
inline constexpr int kServicesWindowMinHeight = 360;
inline constexpr int kServicesWindowMaxSize = 16384;

struct WindowSize {
  int width = 0;
  int height = 0;
};

// The window "全部服务": every service of the machine in a list that the user narrows, sorts
// and selects in, the selected services' details, and the start types offered for them. The
// view shows what this says and passes every user action here; a choice that is not offered
// does nothing, however its command arrives.
class ServicesWindowModel {
 public:
  // Keys read when the model is made; the rest are read a part at a time (ReadMore).
  static constexpr std::size_t kFirstKeys = 64;
  static constexpr std::size_t kKeysPerPart = 256;

  // Reads the first keys of the machine: enough for the first screen of rows.
  ServicesWindowModel(registry::RegistryAccess& registry, IndirectTextResolver& texts,
                      ServiceManager& services, WindowsVersion version);

  // While true, the machine's keys are not all read yet: the view calls ReadMore when it is
  // idle, and the rows grow in the order and under the filter chosen.
  bool Reading() const { return reader_ != nullptr; }
  void ReadMore();

  // The rows shown, and the text of a cell.
  std::size_t Count() const { return list_.Count(); }
  std::wstring CellText(std::size_t row, ServiceColumn column) const;

  // Keeps the rows whose key or display name holds the text; a selected row the filter hides
  // is no longer selected.
  void SetFilter(std::wstring_view text);
  // Sorts by the column, ascending; by the other direction when it sorts by that column.
  void OnHeaderClick(ServiceColumn column);
  ServiceColumn SortColumn() const { return column_; }
  bool Ascending() const { return ascending_; }

  // The rows the user selected, by their place among the rows shown; the selection follows the
  // services through sorting, filtering and reading the machine again.
  void Select(const std::vector<std::size_t>& rows);
  std::vector<std::size_t> SelectedRows() const;

  // The choices the window offers buttons for: 自动（延迟启动） from Windows Vista on.
  std::vector<StartChoice> Choices() const;
  // Whether a choice may be given to the selection, and why not.
  StartOffer Offer(StartChoice choice) const;
  // The reasons of the choices refused for the selection, each once.
  std::wstring RefusalText() const;
  // Gives the choice to the selected services and reads the machine again; does nothing and
  // returns false when the choice is not offered.
  bool Choose(StartChoice choice);
  // What the last change did, in the warning colour when it disabled a service that automatic
  // services need; before any change, how far the reading is.
  StatusLine Status() const;

  // The selected service's description, what it depends on and what depends on it, its
  // program and account; the number of services when several are selected.
  std::wstring DetailsText() const;

  // The size the window had when it was last closed, when it is a usable one.
  std::optional<WindowSize> SavedSize() const;
  void SaveSize(WindowSize size);

 private:
  void ReadKeys(std::size_t keys);
  void Show(ServiceInventory inventory);
  void KeepShownSelection();
  std::vector<const ServiceKeyRecord*> SelectedRecords() const;
  const ServiceRow* RowOfKey(std::wstring_view key) const;

  registry::RegistryAccess& registry_;
  IndirectTextResolver& texts_;
  ServiceManager& services_;
  ServiceChanges changes_;
  std::unique_ptr<ServiceInventoryReader> reader_;  // while keys are left to read
  ServiceList list_;
  ServiceDependents dependents_{{}, false};
  std::wstring filter_;
  ServiceColumn column_ = ServiceColumn::kKey;
  bool ascending_ = true;
  std::set<std::wstring> selected_;  // keys
  StatusLine status_;
};

}  // namespace svctune
