#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/service_inventory.h"
#include "optimizer/service_manager.h"

namespace svctune {

// Turns an indirect text ("@%SystemRoot%\system32\x.dll,-123", the form Windows Vista and
// later use for DisplayName and Description) into the text it names.
class IndirectTextResolver {
 public:
  virtual ~IndirectTextResolver() = default;
  // Nothing when the text cannot be resolved.
  virtual std::optional<std::wstring> Resolve(const std::wstring& indirect) = 0;
};

// A resolver that resolves nothing: indirect texts are shown as stored.
class NoIndirectTexts final : public IndirectTextResolver {
 public:
  std::optional<std::wstring> Resolve(const std::wstring&) override { return std::nullopt; }
};

// A text as Windows shows it: an indirect one ("@file.dll,-100") resolved, else as stored.
std::wstring ResolvedText(const std::wstring& text, IndirectTextResolver& texts);

enum class RunState { kUnknown, kRunning, kStopped };

// One row of the list of services: a service or a per-user template, with the instances
// folded into it.
struct ServiceRow {
  std::size_t record = 0;  // in the inventory's records
  std::wstring key;
  std::wstring displayName;  // resolved where it is indirect, else as stored
  std::wstring startText;    // as the machine holds it
  ServiceKind kind = ServiceKind::kService;
  std::size_t instances = 0;  // per-user instances of a template
  RunState state = RunState::kUnknown;
  const ServiceEntry* catalogue = nullptr;  // one of the 56
  std::wstring recommendation;              // the catalogue's, for the 56
};

enum class ServiceColumn { kKey, kDisplayName, kStart, kTrigger, kState, kRecommendation };

// "自动", "自动（延迟启动）", "手动", "禁用", "引导", "系统", another number, or what is wrong with
// the Start value as the status line says it.
std::wstring StartText(const ServiceKeyRecord& record);
// The start type the catalogue's hover text recommends ("禁用", "手动").
std::wstring Recommendation(const ServiceEntry& entry);

// Every service of the inventory as the list shows it: rows in a chosen order, narrowed by a
// filter. Texts are resolved and the service manager asked once, when the list is made.
class ServiceList {
 public:
  ServiceList(ServiceInventory inventory, IndirectTextResolver& texts, ServiceManager& services);

  // Adds the rows of records read later (ServiceInventoryReader); complete tells whether the
  // inventory now is. The order and the filter stay as they were chosen.
  void Add(std::vector<ServiceKeyRecord> more, bool complete);

  // The rows the filter lets through, in the chosen order.
  std::size_t Count() const { return shown_.size(); }
  const ServiceRow& Row(std::size_t index) const { return rows_[shown_[index]]; }
  // Every row, in the order of their keys.
  const std::vector<ServiceRow>& Rows() const { return rows_; }
  const ServiceKeyRecord& Record(const ServiceRow& row) const {
    return inventory_.Records()[row.record];
  }
  const ServiceInventory& Inventory() const { return inventory_; }

  // Sorts by a column; rows that tie stay in the order of their keys.
  void SortBy(ServiceColumn column, bool ascending);
  // Keeps the rows whose key or display name holds text, in any letter case; empty keeps all.
  void SetFilter(std::wstring_view text);

 private:
  void MakeRows(std::size_t firstRecord);
  void Arrange();

  ServiceInventory inventory_;
  IndirectTextResolver* texts_;
  std::map<std::wstring, bool> running_;  // folded key -> running, as the manager said once
  std::vector<std::size_t> unfolded_;     // records of instances whose template has no row yet
  std::vector<ServiceRow> rows_;
  std::vector<std::size_t> shown_;
  ServiceColumn column_ = ServiceColumn::kKey;
  bool ascending_ = true;
  std::wstring filter_;  // folded
};

}  // namespace svctune
