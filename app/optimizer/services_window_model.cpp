#include "optimizer/services_window_model.h"

#include <algorithm>
#include <utility>

#include "text/unicode_text.h"

namespace svctune {
namespace {

std::optional<int> SizeValue(registry::RegistryAccess& registry, std::wstring_view name,
                             int minimum) {
  const registry::NumberReading reading =
      registry.ReadNumber(registry::kLocalMachine, kProgramKeyBase, name, false);
  if (!reading.number || *reading.number < static_cast<std::uint32_t>(minimum) ||
      *reading.number > static_cast<std::uint32_t>(kServicesWindowMaxSize)) {
    return std::nullopt;
  }
  return static_cast<int>(*reading.number);
}

std::wstring KeyCell(const ServiceRow& row) {
  if (row.kind != ServiceKind::kPerUserTemplate) {
    return row.key;
  }
  return row.key + L"（每用户服务，" + std::to_wstring(row.instances) + L" 个实例）";
}

std::wstring StateCell(RunState state) {
  switch (state) {
    case RunState::kRunning:
      return L"正在运行";
    case RunState::kStopped:
      return L"已停止";
    case RunState::kUnknown:
      break;
  }
  return {};
}

}  // namespace

ServicesWindowModel::ServicesWindowModel(registry::RegistryAccess& registry,
                                         IndirectTextResolver& texts, ServiceManager& services,
                                         WindowsVersion version)
    : registry_(registry),
      texts_(texts),
      services_(services),
      changes_(registry, version),
      reader_(std::make_unique<ServiceInventoryReader>(registry.Api(), registry.Codec())),
      list_(ServiceInventory({}, false), texts, services) {
  ReadKeys(kFirstKeys);
}

void ServicesWindowModel::ReadMore() {
  ReadKeys(kKeysPerPart);
}

void ServicesWindowModel::ReadKeys(std::size_t keys) {
  if (!reader_) {
    return;
  }
  std::vector<ServiceKeyRecord> more = reader_->ReadMore(keys);
  const bool done = reader_->Done();
  list_.Add(std::move(more), done && reader_->Complete());
  // What depends on a service is known once every key is read.
  if (done) {
    reader_.reset();
    dependents_ = list_.Inventory().Dependents();
  }
}

StatusLine ServicesWindowModel::Status() const {
  if (status_.text.empty() && Reading()) {
    return {L"正在读取服务……已读 " + std::to_wstring(list_.Inventory().Records().size()) + L" 项",
            false};
  }
  return status_;
}

std::wstring ServicesWindowModel::CellText(std::size_t row, ServiceColumn column) const {
  if (row >= list_.Count()) {
    return {};
  }
  const ServiceRow& shown = list_.Row(row);
  switch (column) {
    case ServiceColumn::kKey:
      return KeyCell(shown);
    case ServiceColumn::kDisplayName:
      return shown.displayName;
    case ServiceColumn::kStart:
      return shown.startText;
    case ServiceColumn::kTrigger:
      return list_.Record(shown).hasTriggers ? L"是" : L"";
    case ServiceColumn::kState:
      return StateCell(shown.state);
    case ServiceColumn::kRecommendation:
      break;
  }
  return shown.recommendation;
}

void ServicesWindowModel::SetFilter(std::wstring_view text) {
  filter_ = text;
  list_.SetFilter(filter_);
  KeepShownSelection();
}

void ServicesWindowModel::OnHeaderClick(ServiceColumn column) {
  ascending_ = column == column_ ? !ascending_ : true;
  column_ = column;
  list_.SortBy(column_, ascending_);
}

void ServicesWindowModel::Select(const std::vector<std::size_t>& rows) {
  selected_.clear();
  for (std::size_t row : rows) {
    if (row < list_.Count()) {
      selected_.insert(list_.Row(row).key);
    }
  }
}

std::vector<std::size_t> ServicesWindowModel::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < list_.Count() && rows.size() < selected_.size(); ++i) {
    if (selected_.count(list_.Row(i).key) != 0) {
      rows.push_back(i);
    }
  }
  return rows;
}

void ServicesWindowModel::KeepShownSelection() {
  std::set<std::wstring> shown;
  for (std::size_t row : SelectedRows()) {
    shown.insert(list_.Row(row).key);
  }
  selected_ = std::move(shown);
}

std::vector<const ServiceKeyRecord*> ServicesWindowModel::SelectedRecords() const {
  std::vector<const ServiceKeyRecord*> records;
  for (std::size_t row : SelectedRows()) {
    records.push_back(&list_.Record(list_.Row(row)));
  }
  return records;
}

std::vector<StartChoice> ServicesWindowModel::Choices() const {
  std::vector<StartChoice> choices = {StartChoice::kAutomatic, StartChoice::kManual,
                                      StartChoice::kDisabled};
  if (changes_.Version().HasDelayedStart()) {
    choices.push_back(StartChoice::kDelayedAutomatic);
  }
  return choices;
}

StartOffer ServicesWindowModel::Offer(StartChoice choice) const {
  const std::vector<StartChoice> choices = Choices();
  if (std::find(choices.begin(), choices.end(), choice) == choices.end()) {
    return {false, {}};
  }
  return changes_.Offer(SelectedRecords(), choice);
}

// A reason that refuses every choice is given alone; others are given with the choices they
// refuse.
std::wstring ServicesWindowModel::RefusalText() const {
  std::vector<std::pair<std::wstring, std::wstring>> reasons;  // reason, the choices it refuses
  std::size_t refused = 0;
  for (StartChoice choice : Choices()) {
    StartOffer offer = Offer(choice);
    if (offer.offered || offer.refusal.empty()) {
      continue;
    }
    ++refused;
    const auto same = std::find_if(reasons.begin(), reasons.end(), [&](const auto& reason) {
      return reason.first == offer.refusal;
    });
    if (same != reasons.end()) {
      same->second += L"、" + std::wstring(ChoiceName(choice));
    } else {
      reasons.emplace_back(std::move(offer.refusal), ChoiceName(choice));
    }
  }
  if (reasons.size() == 1 && refused == Choices().size()) {
    return reasons.front().first;
  }
  std::wstring text;
  for (const auto& [reason, choices] : reasons) {
    text += (text.empty() ? L"" : L"\r\n") + choices + L"：" + reason;
  }
  return text;
}

bool ServicesWindowModel::Choose(StartChoice choice) {
  if (!Offer(choice).offered) {
    return false;
  }
  ServiceChangeOutcome outcome = changes_.Change(SelectedRecords(), choice);
  status_ = {outcome.Report(), !outcome.warnings.empty()};
  Show(std::move(outcome.inventory));
  return true;
}

void ServicesWindowModel::Show(ServiceInventory inventory) {
  reader_.reset();
  list_ = ServiceList(std::move(inventory), texts_, services_);
  list_.SortBy(column_, ascending_);
  list_.SetFilter(filter_);
  dependents_ = list_.Inventory().Dependents();
  KeepShownSelection();
}

const ServiceRow* ServicesWindowModel::RowOfKey(std::wstring_view key) const {
  const std::wstring folded = AsciiUpper(key);
  const auto row = std::find_if(
      list_.Rows().begin(), list_.Rows().end(),
      [&](const ServiceRow& candidate) { return AsciiUpper(candidate.key) == folded; });
  return row == list_.Rows().end() ? nullptr : &*row;
}

std::wstring ServicesWindowModel::DetailsText() const {
  const std::vector<std::size_t> rows = SelectedRows();
  if (rows.size() > 1) {
    return L"已选择 " + std::to_wstring(rows.size()) + L" 项服务";
  }
  if (rows.empty()) {
    return {};
  }
  const ServiceRow& row = list_.Row(rows.front());
  const ServiceKeyRecord& record = list_.Record(row);
  std::wstring needs;
  for (const std::wstring& key : record.dependsOn) {
    const ServiceRow* needed = RowOfKey(key);
    const std::wstring name =
        needed != nullptr && !needed->displayName.empty() ? needed->displayName : key;
    needs += (needs.empty() ? L"" : L"、") + name;
  }
  std::wstring text = row.displayName.empty() ? row.key : row.displayName + L"（" + row.key + L"）";
  // Descriptions are resolved only when shown: most are indirect, each a string library.
  const std::wstring description = ResolvedText(record.description, texts_);
  text += L"\r\n" + (description.empty() ? std::wstring(L"没有描述") : description);
  text += L"\r\n依赖：" + (needs.empty() ? std::wstring(L"无") : needs);
  const std::wstring dependents =
      DependentsStatusText(dependents_.Of(row.key), dependents_.Complete());
  if (!dependents.empty()) {
    text += L"\r\n" + dependents;
  }
  text += L"\r\n程序：" + record.imagePath;
  text += L"\r\n登录身份：" + record.objectName;
  return text;
}

std::optional<WindowSize> ServicesWindowModel::SavedSize() const {
  const std::optional<int> width =
      SizeValue(registry_, kServicesWindowWidthValue, kServicesWindowMinWidth);
  const std::optional<int> height =
      SizeValue(registry_, kServicesWindowHeightValue, kServicesWindowMinHeight);
  if (!width || !height) {
    return std::nullopt;
  }
  return WindowSize{*width, *height};
}

void ServicesWindowModel::SaveSize(WindowSize size) {
  const auto save = [&](std::wstring_view name, int value, int minimum) {
    registry_.WriteSetting(L"", L"", name, std::clamp(value, minimum, kServicesWindowMaxSize),
                           registry::kLocalMachine, kProgramKeyBase, registry::kRegDword);
  };
  save(kServicesWindowWidthValue, size.width, kServicesWindowMinWidth);
  save(kServicesWindowHeightValue, size.height, kServicesWindowMinHeight);
}

}  // namespace svctune
