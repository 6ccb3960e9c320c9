#include "optimizer/service_inventory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deployment/service_list_csv.h"
#include "optimizer/service_list.h"
#include "optimizer/start_offers.h"
#include "registry/memory_registry.h"
#include "test_codec.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

using registry::KeyHandle;

class TableTexts final : public IndirectTextResolver {
 public:
  std::optional<std::wstring> Resolve(const std::wstring& indirect) override {
    if (indirect == L"@%SystemRoot%\\system32\\x.dll,-1") {
      return L"已解析的名称";
    }
    return std::nullopt;
  }
};

class TableManager final : public ServiceManager {
 public:
  ServiceAnswer Query(std::wstring_view, ServiceDetails&) override {
    return ServiceAnswer::kManagerUnavailable;
  }
  std::vector<std::pair<std::wstring, bool>> RunningStates() override {
    return {{L"alerter", false}, {L"Shared", true}, {L"CDPUserSvc_1a2b3", true}};
  }
};

std::string Dword(std::uint32_t number) {
  return std::string(reinterpret_cast<const char*>(&number), sizeof number);
}

// A machine with one key of each kind the list tells apart.
class ServiceInventoryTest : public ::testing::Test {
 protected:
  void Value(const std::string& key, const char* name, std::uint32_t type,
             const std::string& data) {
    KeyHandle handle = 0;
    ASSERT_EQ(
        registry::kSuccess,
        registry_.RegCreateKeyA(registry::kLocalMachine,
                                (std::string(kServicesKeyPath) + "\\" + key).c_str(), &handle));
    registry_.RegSetValueExA(handle, name, 0, type,
                             reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
    registry_.RegCloseKey(handle);
  }
  void Service(const std::string& key, std::uint32_t type, std::uint32_t start,
               const std::string& displayName = "") {
    Value(key, "Type", registry::kRegDword, Dword(type));
    Value(key, "Start", registry::kRegDword, Dword(start));
    if (!displayName.empty()) {
      Value(key, "DisplayName", registry::kRegSz, displayName + '\0');
    }
  }
  ServiceInventoryTest() {
    Service("Alerter", 0x10, 4, "Alerter");
    Service("Srv", 0x01, 1);
    Service("Ntfs", 0x02, 0);
    Service("Shared", 0x20, 2, "@%SystemRoot%\\system32\\x.dll,-1");
    Value("Shared", "DelayedAutostart", registry::kRegDword, Dword(1));
    Value("Shared\\TriggerInfo\\0", "Type", registry::kRegDword, Dword(1));
    Service("Interactive", 0x110, 3, "@%SystemRoot%\\system32\\y.dll,-2");
    Service("Manual", 0x10, 3, "zz last \"by\" name");
    Value("Manual", "DelayedAutostart", registry::kRegDword, Dword(1));
    Service("CDPUserSvc", 0x60, 2, "Connected Devices User");
    Service("CDPUserSvc_1a2b3", 0xE0, 2);
    Service("CDPUserSvc_4c5d6", 0xE0, 2);
    Service("Orphan_99", 0xE0, 2);
    Value("NoStart", "Type", registry::kRegDword, Dword(0x10));
    Value("TextStart", "Type", registry::kRegDword, Dword(0x10));
    Value("TextStart", "Start", registry::kRegSz, std::string("2\0", 2));
    Service("Early", 0x10, 1);
    Service("Odd", 0x10, 7, "line\r\nbreak");
    Value("NoType", "Start", registry::kRegDword, Dword(2));
    Service("Locked", 0x10, 3);
    Value("Locked", "Description", registry::kRegSz, std::string(kMaxServiceTextBytes + 1, 'x'));
    registry_.DenyChanges(registry::kLocalMachine, std::string(kServicesKeyPath) + "\\Locked");
  }

  ServiceList List() {
    ServiceInventory inventory = ServiceInventory::Read(registry_, testing::ChineseAnsiCodec());
    EXPECT_EQ(0u, registry_.OpenHandleCount()) << "every key read is closed";
    return ServiceList(std::move(inventory), texts_, manager_);
  }
  static std::vector<std::wstring> Shown(const ServiceList& list) {
    std::vector<std::wstring> keys;
    for (std::size_t i = 0; i < list.Count(); ++i) {
      keys.push_back(list.Row(i).key);
    }
    return keys;
  }

  registry::MemoryRegistry registry_{testing::ChineseAnsiCodec()};
  TableTexts texts_;
  TableManager manager_;
};

// A row in one line: key, display name, start, S service or T template with its instances,
// + running - stopped ? not said, T trigger P protected, recommendation.
std::wstring Line(const ServiceList& list, const ServiceRow& row) {
  const ServiceKeyRecord& record = list.Record(row);
  const bool isTemplate = row.kind == ServiceKind::kPerUserTemplate;
  return row.key + L"|" + row.displayName + L"|" + row.startText + L"|" +
         (isTemplate ? L"T" + std::to_wstring(row.instances) : L"S") + L"|" +
         (row.state == RunState::kRunning   ? L"+"
          : row.state == RunState::kStopped ? L"-"
                                            : L"?") +
         L"|" + (record.hasTriggers ? L"T" : L"") + (record.writeDenied ? L"P" : L"") + L"|" +
         row.recommendation;
}

TEST_F(ServiceInventoryTest, ServicesAndTemplatesAreRowsAsTheMachineHoldsThem) {
  const ServiceList list = List();
  EXPECT_TRUE(list.Inventory().Complete());
  EXPECT_EQ(16u, list.Inventory().Records().size());
  std::vector<std::wstring> lines;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    lines.push_back(Line(list, list.Row(i)));
  }
  EXPECT_EQ((std::vector<std::wstring>{
                L"Alerter|Alerter|禁用|S|-||禁用",
                L"CDPUserSvc|Connected Devices User|自动|T2|+||",
                L"Early||系统|S|?||",
                L"Interactive|@%SystemRoot%\\system32\\y.dll,-2|手动|S|?||",
                L"Locked||手动|S|?|P|",
                L"Manual|zz last \"by\" name|手动|S|?||",
                L"NoStart||启动方式已损坏（没有 Start 值）|S|?||",
                L"Odd|line\r\nbreak|7|S|?||",
                L"Shared|已解析的名称|自动（延迟启动）|S|+|T|",
                L"TextStart||启动方式已损坏（Start 是 REG_SZ，不是 REG_DWORD）|S|?||",
            }),
            lines);
  EXPECT_EQ(L"", list.Record(list.Row(4)).description)
      << "a text longer than the limit is left out";
}

TEST_F(ServiceInventoryTest, ListWritesEveryRowAsCsv) {
  EXPECT_EQ(
      "\xEF\xBB\xBFName,DisplayName,Start,Delayed,Trigger,PerUser,Protected,Catalogue,Running\r\n"
      "Alerter,Alerter,4,0,0,,0,1,0\r\n"
      "CDPUserSvc,Connected Devices User,2,0,0,template,0,0,1\r\n"
      "Early,,1,0,0,,0,0,\r\n"
      "Interactive,\"@%SystemRoot%\\system32\\y.dll,-2\",3,0,0,,0,0,\r\n"
      "Locked,,3,0,0,,1,0,\r\n"
      "Manual,\"zz last \"\"by\"\" name\",3,0,0,,0,0,\r\n"
      "NoStart,,,0,0,,0,0,\r\n"
      "Odd,\"line\r\nbreak\",,0,0,,0,0,\r\n"
      "Shared,\xE5\xB7\xB2\xE8\xA7\xA3\xE6\x9E\x90\xE7\x9A\x84\xE5\x90\x8D\xE7\xA7\xB0,2,1,1,,0,0,1\r\n"
      "TextStart,,,0,0,,0,0,\r\n",
      ServiceListCsv(List()));
}

TEST_F(ServiceInventoryTest, SortingAndFilteringAreTheLists) {
  ServiceList list = List();
  list.SetFilter(L"usER");
  EXPECT_EQ((std::vector<std::wstring>{L"CDPUserSvc"}), Shown(list)) << "key or display name";
  list.SetFilter(L"解析");
  EXPECT_EQ((std::vector<std::wstring>{L"Shared"}), Shown(list)) << "the resolved name";
  list.SetFilter(L"ZZ LAST");
  EXPECT_EQ((std::vector<std::wstring>{L"Manual"}), Shown(list));

  list.SetFilter(L"");
  list.SortBy(ServiceColumn::kStart, true);
  EXPECT_EQ(
      (std::vector<std::wstring>{L"Early", L"CDPUserSvc", L"Shared", L"Interactive", L"Locked",
                                 L"Manual", L"Alerter", L"Odd", L"NoStart", L"TextStart"}),
      Shown(list));
  list.SortBy(ServiceColumn::kState, false);
  EXPECT_EQ(
      (std::vector<std::wstring>{L"CDPUserSvc", L"Shared", L"Alerter", L"Early", L"Interactive",
                                 L"Locked", L"Manual", L"NoStart", L"Odd", L"TextStart"}),
      Shown(list))
      << "ties stay in the order of their keys";
  list.SortBy(ServiceColumn::kDisplayName, true);
  EXPECT_EQ(L"Early", list.Row(0).key);
  EXPECT_EQ(L"Shared", list.Row(list.Count() - 1).key);
  list.SortBy(ServiceColumn::kTrigger, false);
  EXPECT_EQ(L"Shared", list.Row(0).key);
  list.SortBy(ServiceColumn::kRecommendation, true);
  EXPECT_EQ(L"Alerter", list.Row(0).key);
  list.SortBy(ServiceColumn::kKey, false);
  EXPECT_EQ(L"TextStart", list.Row(0).key);
}

TEST(StartOffers, RefusalsSayWhyTheChoiceIsNotOffered) {
  const auto record = [](std::wstring key, std::uint32_t type, std::uint32_t start, bool denied) {
    ServiceKeyRecord r;
    r.key = std::move(key);
    r.type = type;
    r.start.kind = StartValue::Kind::kNumber;
    r.start.number = start;
    r.writeDenied = denied;
    return r;
  };
  const WindowsVersion xp{5, 1, 2600};
  const WindowsVersion vista{6, 0, 6000};
  const struct {
    ServiceKeyRecord record;
    StartChoice choice;
    WindowsVersion version;
    std::wstring refusal;  // a part of the reason; empty: offered
  } cases[] = {
      {record(L"Alerter", 0x10, 3, false), StartChoice::kDisabled, xp, L""},
      {record(L"Alerter", 0x10, 3, false), StartChoice::kDelayedAutomatic, xp,
       L"需要 Windows Vista"},
      {record(L"Alerter", 0x10, 3, false), StartChoice::kDelayedAutomatic, vista, L""},
      {record(L"CDPUserSvc_1a2b3", 0xE0, 3, false), StartChoice::kManual, vista,
       L"模板 CDPUserSvc，"},
      {record(L"Early", 0x10, 0, false), StartChoice::kAutomatic, vista, L"引导和系统启动的服务"},
      {record(L"Early", 0x10, 1, false), StartChoice::kManual, vista, L"引导和系统启动的服务"},
      {record(L"Locked", 0x10, 3, true), StartChoice::kAutomatic, vista, L"受 Windows 保护"},
      {record(L"rpcss", 0x20, 2, false), StartChoice::kDisabled, vista, L"不能禁用：COM 和 DCOM"},
      {record(L"RpcSs", 0x20, 2, false), StartChoice::kManual, vista, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record.key);
    const StartOffer offer = OfferStart(c.record, c.choice, c.version);
    EXPECT_EQ(c.refusal.empty(), offer.offered);
    EXPECT_NE(std::wstring::npos, offer.refusal.find(c.refusal));
  }
  for (const GuardEntry& entry : GuardList()) {
    EXPECT_EQ(&entry, FindGuard(AsciiUpper(entry.serviceKey)));
  }
}

}  // namespace
}  // namespace svctune
