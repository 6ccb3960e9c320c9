#include "deployment/service_list_csv.h"

#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::uint32_t kHighestStartType = 4;

const wchar_t* Flag(bool set) {
  return set ? L"1" : L"0";
}

}  // namespace

std::wstring CsvField(std::wstring_view text) {
  if (text.find_first_of(L",\"\r\n") == std::wstring_view::npos) {
    return std::wstring(text);
  }
  std::wstring quoted = L"\"";
  for (wchar_t c : text) {
    quoted += c;
    if (c == L'"') {
      quoted += c;
    }
  }
  return quoted + L"\"";
}

std::string ServiceListCsv(const ServiceList& list) {
  std::string csv = "\xEF\xBB\xBF" + std::string(kServiceListCsvHeader) + "\r\n";
  for (const ServiceRow& row : list.Rows()) {
    const ServiceKeyRecord& record = list.Record(row);
    std::wstring start;
    if (record.start.kind == StartValue::Kind::kNumber &&
        record.start.number <= kHighestStartType) {
      start = std::to_wstring(record.start.number);
    }
    const wchar_t* running = row.state == RunState::kRunning   ? L"1"
                             : row.state == RunState::kStopped ? L"0"
                                                               : L"";
    const std::wstring line =
        CsvField(row.key) + L"," + CsvField(row.displayName) + L"," + start + L"," +
        Flag(record.DelayedStart()) + L"," + Flag(record.hasTriggers) + L"," +
        (row.kind == ServiceKind::kPerUserTemplate ? L"template" : L"") + L"," +
        Flag(record.writeDenied) + L"," + Flag(row.catalogue != nullptr) + L"," + running;
    csv += ToUtf8(line) + "\r\n";
  }
  return csv;
}

}  // namespace svctune
