#include "optimizer/service_list.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::wstring_view kRecommendationMark = L"建议：";

// Boot, system, automatic, delayed, manual, disabled, other numbers; damaged values last.
std::uint64_t StartRank(const ServiceKeyRecord& record) {
  if (record.start.kind != StartValue::Kind::kNumber) {
    return UINT64_MAX;
  }
  return std::uint64_t{record.start.number} * 2 + (record.DelayedStart() ? 1 : 0);
}

int StateRank(RunState state) {
  switch (state) {
    case RunState::kRunning:
      return 2;
    case RunState::kStopped:
      return 1;
    case RunState::kUnknown:
      break;
  }
  return 0;
}

}  // namespace

std::wstring StartText(const ServiceKeyRecord& record) {
  if (record.start.kind != StartValue::Kind::kNumber) {
    return DescribeStartValue(record.start);
  }
  switch (record.start.number) {
    case 0:
      return L"引导";
    case 1:
      return L"系统";
    default:
      return record.DelayedStart() ? L"自动（延迟启动）" : StartTypeName(record.start.number);
  }
}

std::wstring Recommendation(const ServiceEntry& entry) {
  const std::wstring_view hover = entry.hoverText;
  const std::size_t mark = hover.rfind(kRecommendationMark);
  if (mark == std::wstring_view::npos) {
    return {};
  }
  std::wstring_view rest = hover.substr(mark + kRecommendationMark.size());
  rest = rest.substr(0, rest.find(L'）'));
  const std::size_t first = rest.find_first_not_of(L' ');
  const std::size_t last = rest.find_last_not_of(L' ');
  return first == std::wstring_view::npos ? std::wstring()
                                          : std::wstring(rest.substr(first, last - first + 1));
}

std::wstring ResolvedText(const std::wstring& text, IndirectTextResolver& texts) {
  if (text.empty() || text.front() != L'@') {
    return text;
  }
  return texts.Resolve(text).value_or(text);
}

ServiceList::ServiceList(ServiceInventory inventory, IndirectTextResolver& texts,
                         ServiceManager& services)
    : inventory_(std::move(inventory)), texts_(&texts) {
  for (const auto& [key, runs] : services.RunningStates()) {
    running_[AsciiUpper(key)] = runs;
  }
  MakeRows(0);
}

void ServiceList::Add(std::vector<ServiceKeyRecord> more, bool complete) {
  const std::size_t first = inventory_.Records().size();
  inventory_.Add(std::move(more), complete);
  MakeRows(first);
}

void ServiceList::MakeRows(std::size_t firstRecord) {
  std::map<std::wstring, const ServiceEntry*> catalogue;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    catalogue.emplace(AsciiUpper(entry.serviceKey), &entry);
  }
  const std::vector<ServiceKeyRecord>& records = inventory_.Records();
  for (std::size_t i = firstRecord; i < records.size(); ++i) {
    const ServiceKeyRecord& record = records[i];
    const ServiceKind kind = KindOf(record);
    if (kind == ServiceKind::kPerUserInstance) {
      unfolded_.push_back(i);
    }
    if (kind != ServiceKind::kService && kind != ServiceKind::kPerUserTemplate) {
      continue;
    }
    const std::wstring folded = AsciiUpper(record.key);
    ServiceRow row;
    row.record = i;
    row.key = record.key;
    row.displayName = ResolvedText(record.displayName, *texts_);
    row.startText = StartText(record);
    row.kind = kind;
    if (const auto runs = running_.find(folded); runs != running_.end()) {
      row.state = runs->second ? RunState::kRunning : RunState::kStopped;
    }
    if (const auto entry = catalogue.find(folded); entry != catalogue.end()) {
      row.catalogue = entry->second;
      row.recommendation = Recommendation(*entry->second);
    }
    rows_.push_back(std::move(row));
  }
  std::sort(rows_.begin(), rows_.end(), [](const ServiceRow& a, const ServiceRow& b) {
    return AsciiUpper(a.key) < AsciiUpper(b.key);
  });
  // An instance counts for its template, and runs it; one without a template is no row.
  std::map<std::wstring, std::size_t> rowOfKey;  // folded key -> row
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    rowOfKey.emplace(AsciiUpper(rows_[row].key), row);
  }
  std::vector<std::size_t> unfolded;
  for (std::size_t i : unfolded_) {
    const std::wstring& key = records[i].key;
    const auto templateRow = rowOfKey.find(AsciiUpper(TemplateKeyOf(key)));
    if (templateRow == rowOfKey.end() ||
        rows_[templateRow->second].kind != ServiceKind::kPerUserTemplate) {
      unfolded.push_back(i);
      continue;
    }
    ServiceRow& row = rows_[templateRow->second];
    ++row.instances;
    if (const auto runs = running_.find(AsciiUpper(key)); runs != running_.end() && runs->second) {
      row.state = RunState::kRunning;
    }
  }
  unfolded_ = std::move(unfolded);
  Arrange();
}

void ServiceList::SortBy(ServiceColumn column, bool ascending) {
  column_ = column;
  ascending_ = ascending;
  Arrange();
}

void ServiceList::SetFilter(std::wstring_view text) {
  filter_ = AsciiUpper(text);
  Arrange();
}

void ServiceList::Arrange() {
  shown_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (filter_.empty() || AsciiUpper(rows_[i].key).find(filter_) != std::wstring::npos ||
        AsciiUpper(rows_[i].displayName).find(filter_) != std::wstring::npos) {
      shown_.push_back(i);
    }
  }
  const auto less = [this](std::size_t a, std::size_t b) {
    const ServiceRow& x = rows_[a];
    const ServiceRow& y = rows_[b];
    switch (column_) {
      case ServiceColumn::kKey:
        return a < b;
      case ServiceColumn::kDisplayName:
        return AsciiUpper(x.displayName) < AsciiUpper(y.displayName);
      case ServiceColumn::kStart:
        return StartRank(Record(x)) < StartRank(Record(y));
      case ServiceColumn::kTrigger:
        return Record(x).hasTriggers < Record(y).hasTriggers;
      case ServiceColumn::kState:
        return StateRank(x.state) < StateRank(y.state);
      case ServiceColumn::kRecommendation:
        return std::make_tuple(x.recommendation.empty(), x.recommendation) <
               std::make_tuple(y.recommendation.empty(), y.recommendation);
    }
    return false;
  };
  std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
    return ascending_ ? less(a, b) : less(b, a);
  });
}

}  // namespace svctune
