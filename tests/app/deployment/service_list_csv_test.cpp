#include "deployment/service_list_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svctune {
namespace {

TEST(ServiceListCsv, FieldsAreQuotedAsRfc4180Says) {
  const struct {
    std::wstring field, written;
  } cases[] = {
      {L"", L""},
      {L"Plain name", L"Plain name"},
      {L"a,b", L"\"a,b\""},
      {L"say \"hi\"", L"\"say \"\"hi\"\"\""},
      {L"two\r\nlines", L"\"two\r\nlines\""},
      {L"lf\nonly", L"\"lf\nonly\""},
      {L"传真", L"传真"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.written, CsvField(c.field));
  }
}

class Running final : public ServiceManager {
 public:
  ServiceAnswer Query(std::wstring_view, ServiceDetails&) override {
    return ServiceAnswer::kManagerUnavailable;
  }
  std::vector<std::pair<std::wstring, bool>> RunningStates() override {
    return {{L"Alerter", true}, {L"Fax", false}};
  }
};

TEST(ServiceListCsv, EveryRowInTheOrderOfItsKeyWithTheHeaderFirst) {
  const auto record = [](std::wstring key, std::uint32_t type, StartValue::Kind kind,
                         std::uint32_t start) {
    ServiceKeyRecord r;
    r.key = std::move(key);
    r.type = type;
    r.start.kind = kind;
    r.start.number = start;
    return r;
  };
  std::vector<ServiceKeyRecord> records = {
      record(L"Fax", 0x10, StartValue::Kind::kNumber, 4),
      record(L"Alerter", 0x20, StartValue::Kind::kNumber, 2),
      record(L"Odd", 0x10, StartValue::Kind::kNumber, 7),
      record(L"Broken", 0x10, StartValue::Kind::kWrongType, 0),
      record(L"UserSvc", 0x60, StartValue::Kind::kNumber, 3),
      record(L"UserSvc_12ab", 0xE0, StartValue::Kind::kNumber, 3),
  };
  records[0].displayName = L"传真, \"Fax\"";
  records[1].delayedAutostart = 1;
  records[1].hasTriggers = true;
  records[3].writeDenied = true;
  NoIndirectTexts texts;
  Running running;
  const ServiceList list(ServiceInventory(records, true), texts, running);
  EXPECT_EQ(
      "\xEF\xBB\xBF"
      "Name,DisplayName,Start,Delayed,Trigger,PerUser,Protected,Catalogue,Running\r\n"
      "Alerter,,2,1,1,,0,1,1\r\n"
      "Broken,,,0,0,,1,0,\r\n"
      "Fax,\"\xE4\xBC\xA0\xE7\x9C\x9F, \"\"Fax\"\"\",4,0,0,,0,0,0\r\n"
      "Odd,,,0,0,,0,0,\r\n"
      "UserSvc,,3,0,0,template,0,0,\r\n",
      ServiceListCsv(list));
}

}  // namespace
}  // namespace svctune
