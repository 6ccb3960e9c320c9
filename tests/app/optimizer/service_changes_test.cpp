#include "optimizer/service_changes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "optimizer/services_window_model.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry/memory_registry.h"
#include "test_codec.h"

namespace svctune {
namespace {

constexpr WindowsVersion kXp{};
constexpr WindowsVersion kWindows10{10, 0, 19045};
const std::string kServices = std::string(kServicesKeyPath) + "\\";

std::string Dword(std::uint32_t number) {
  return std::string(reinterpret_cast<const char*>(&number), sizeof number);
}

// Plain starts manually and NeedsPlain, automatic, needs it; the others are one of each kind
// OfferStart refuses something for.
struct Machine {
  Machine() {
    Service("Plain", 0x10, 3);
    Service("NeedsPlain", 0x10, 2);
    Set(kServices + "NeedsPlain", "DependOnService", registry::kRegMultiSz,
        std::string("Plain\0\0", 7));
    Service("Delayed", 0x20, 2);
    Set(kServices + "Delayed", "DelayedAutostart", registry::kRegDword, Dword(1));
    Service("Early", 0x10, 1);
    Service("RpcSs", 0x20, 2);
    Service("Locked", 0x10, 3);
    registry_.DenyChanges(registry::kLocalMachine, kServices + "Locked");
    Service("Tmpl", 0x60, 3);
    Service("Tmpl_1a2b", 0xE0, 3);
  }
  void Set(const std::string& key, const char* name, std::uint32_t type, const std::string& data) {
    registry::KeyHandle handle = 0;
    ASSERT_EQ(registry::kSuccess,
              registry_.RegCreateKeyA(registry::kLocalMachine, key.c_str(), &handle));
    registry_.RegSetValueExA(handle, name, 0, type,
                             reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
    registry_.RegCloseKey(handle);
  }
  void Service(const std::string& key, std::uint32_t type, std::uint32_t start) {
    Set(kServices + key, "Type", registry::kRegDword, Dword(type));
    Set(kServices + key, "Start", registry::kRegDword, Dword(start));
  }
  // A REG_DWORD value; -1 when it is missing or of another kind.
  std::int64_t Number(const std::string& key, const char* name) {
    registry::KeyHandle handle = 0;
    if (registry_.RegOpenKeyExA(registry::kLocalMachine, key.c_str(), 0, registry::kKeyRead,
                                &handle) != registry::kSuccess) {
      return -1;
    }
    std::uint32_t type = 0;
    std::uint32_t value = 0;
    std::uint32_t size = sizeof value;
    const registry::Status status = registry_.RegQueryValueExA(
        handle, name, nullptr, &type, reinterpret_cast<std::uint8_t*>(&value), &size);
    registry_.RegCloseKey(handle);
    return status == registry::kSuccess && type == registry::kRegDword ? std::int64_t{value} : -1;
  }
  std::int64_t Original(const char* base, const char* service) {
    return Number(std::string("Software\\Hollin Soft\\Pardell\\") + base, service);
  }
  ServiceChangeOutcome Change(
      const std::string& key, StartChoice choice, WindowsVersion version,
      const std::function<void()>& afterReading = [] {}) {
    const ServiceInventory inventory =
        ServiceInventory::Read(registry_, testing::ChineseAnsiCodec());
    afterReading();
    for (const ServiceKeyRecord& record : inventory.Records()) {
      if (record.key == std::wstring(key.begin(), key.end())) {
        return ServiceChanges(access_, version).Change({&record}, choice);
      }
    }
    ADD_FAILURE() << "no key " << key;
    return {};
  }

  registry::MemoryRegistry registry_{testing::ChineseAnsiCodec()};
  testing::RecordingRegistry recorder_{registry_};
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_{recorder_, testing::ChineseAnsiCodec(), messages_,
                                   std::wstring(kProgramTitle)};
};

class ServiceChangesTest : public ::testing::Test, protected Machine {};

TEST(ServiceChanges, WritesWhatIsOfferedAndNamesWhatIsNot) {
  const auto gone = [](Machine& m) {
    m.registry_.RegDeleteKeyA(registry::kLocalMachine, (kServices + "Plain").c_str());
  };
  const auto locked = [](Machine& m) {
    m.registry_.DenyChanges(registry::kLocalMachine, kServices + "Plain");
  };
  struct Case {
    const char* key;
    StartChoice choice;
    WindowsVersion version;
    std::int64_t start, delayed;  // afterwards
    const wchar_t* failure;       // part of the reason; null when it changed
    std::function<void(Machine&)> afterReading;
  } cases[] = {
      {"Plain", StartChoice::kDisabled, kXp, 4, -1, nullptr, {}},
      {"Plain", StartChoice::kDelayedAutomatic, kWindows10, 2, 1, nullptr, {}},
      {"Plain", StartChoice::kDelayedAutomatic, kXp, 3, -1, L"Windows Vista", {}},
      {"Delayed", StartChoice::kAutomatic, kWindows10, 2, 1, nullptr, {}},
      {"Early", StartChoice::kManual, kWindows10, 1, -1, L"引导和系统启动", {}},
      {"RpcSs", StartChoice::kDisabled, kWindows10, 2, -1, L"不能禁用", {}},
      {"RpcSs", StartChoice::kManual, kWindows10, 3, -1, nullptr, {}},
      {"Locked", StartChoice::kManual, kWindows10, 3, -1, L"受 Windows 保护", {}},
      {"Tmpl_1a2b", StartChoice::kDisabled, kWindows10, 3, -1, L"模板 Tmpl", {}},
      {"Plain", StartChoice::kManual, kXp, -1, -1, L"本机已没有该服务", gone},
      {"Plain", StartChoice::kDisabled, kXp, 3, -1, L"没有写入权限", locked},
  };
  for (const Case& c : cases) {
    Machine machine;
    const std::function<void()> after = [&] {
      if (c.afterReading) {
        c.afterReading(machine);
      }
    };
    const ServiceChangeOutcome outcome = machine.Change(c.key, c.choice, c.version, after);
    const std::string key = kServices + c.key;
    EXPECT_EQ(c.start, machine.Number(key, "Start")) << c.key;
    EXPECT_EQ(c.delayed, machine.Number(key, "DelayedAutostart")) << c.key;
    if (c.failure == nullptr) {
      EXPECT_TRUE(outcome.failures.empty()) << c.key;
      EXPECT_NE(std::wstring::npos, outcome.Report().find(L"已把 1 项服务设为")) << c.key;
      continue;
    }
    ASSERT_EQ(1u, outcome.failures.size()) << c.key;
    EXPECT_NE(std::wstring::npos, outcome.failures[0].reason.find(c.failure)) << c.key;
    EXPECT_NE(std::wstring::npos, outcome.Report().find(L"未更改：")) << c.key;
    if (!c.afterReading) {
      EXPECT_TRUE(machine.recorder_.writes.empty()) << c.key << ": a refusal writes nothing";
    }
  }
}

TEST_F(ServiceChangesTest, RecordsTheOriginalsOnceAndRestoresThem) {
  Set("Software\\Hollin Soft\\Pardell\\OriginalStartTypes", "RpcSs", registry::kRegSz, "2");
  Change("Plain", StartChoice::kDelayedAutomatic, kWindows10);
  Change("Plain", StartChoice::kDisabled, kWindows10);
  Change("RpcSs", StartChoice::kManual, kWindows10);
  Change("Delayed", StartChoice::kManual, kWindows10);
  EXPECT_EQ(3, Original("OriginalStartTypes", "Plain"));
  EXPECT_EQ(0, Original("OriginalDelayedAutostart", "Plain"));
  EXPECT_EQ(-1, Original("OriginalStartTypes", "RpcSs")) << "a record there is never overwritten";
  EXPECT_EQ(1, Original("OriginalDelayedAutostart", "Delayed"));

  ServiceChanges changes(access_, kWindows10);
  const ServiceRestoreOutcome plain = changes.RestoreService(L"Plain");
  EXPECT_TRUE(plain.restored);
  EXPECT_EQ(3, Number(kServices + "Plain", "Start"));
  EXPECT_EQ(0, Number(kServices + "Plain", "DelayedAutostart"));
  EXPECT_EQ(RestoreFailure::kDamagedRecord, changes.RestoreService(L"RpcSs").failure);
  EXPECT_EQ(3, Number(kServices + "RpcSs", "Start"));
  EXPECT_EQ(RestoreFailure::kNoRecord, changes.RestoreService(L"Early").failure);
  recorder_.writes.clear();
  const ServiceRestoreOutcome again = changes.RestoreService(L"Plain");
  EXPECT_FALSE(again.restored || again.failure);
  EXPECT_TRUE(recorder_.writes.empty()) << "what the machine holds is not written again";
}

TEST_F(ServiceChangesTest, DisablingANeededServiceWarnsNamingItsAutomaticDependents) {
  const ServiceChangeOutcome outcome = Change("Plain", StartChoice::kDisabled, kXp);
  ASSERT_EQ(1u, outcome.warnings.size());
  EXPECT_EQ(std::vector<std::wstring>{L"NeedsPlain"}, outcome.warnings[0].automaticDependents);
  EXPECT_NE(std::wstring::npos, outcome.Report().find(L"Plain：注意：自动启动的 NeedsPlain"))
      << "report";
  EXPECT_TRUE(Change("NeedsPlain", StartChoice::kDisabled, kXp).warnings.empty());
}

TEST_F(ServiceChangesTest, TheWindowActsOnlyOnWhatItOffersAndKeepsTheSelection) {
  NoIndirectTexts texts;
  NoServiceManager manager;
  ServicesWindowModel window(access_, texts, manager, kWindows10);
  const auto rowOf = [&](const wchar_t* key) {
    for (std::size_t i = 0; i < window.Count(); ++i) {
      if (window.CellText(i, ServiceColumn::kKey) == key) {
        return i;
      }
    }
    return window.Count();
  };
  window.Select({rowOf(L"RpcSs")});
  EXPECT_FALSE(window.Offer(StartChoice::kDisabled).offered);
  EXPECT_EQ(0u, window.RefusalText().find(L"禁用：Windows 离不开此服务"));
  EXPECT_FALSE(window.Choose(StartChoice::kDisabled)) << "a posted command of a refused choice";
  EXPECT_TRUE(recorder_.writes.empty());

  window.OnHeaderClick(ServiceColumn::kStart);
  window.OnHeaderClick(ServiceColumn::kStart);
  EXPECT_FALSE(window.Ascending());
  window.Select({rowOf(L"Plain"), rowOf(L"RpcSs")});
  EXPECT_TRUE(window.Choose(StartChoice::kManual));
  EXPECT_EQ(3, Number(kServices + "RpcSs", "Start"));
  EXPECT_EQ((std::vector<std::size_t>{rowOf(L"Plain"), rowOf(L"RpcSs")}), window.SelectedRows());
  EXPECT_EQ(L"手动", window.CellText(rowOf(L"RpcSs"), ServiceColumn::kStart));
  window.SetFilter(L"rpc");
  EXPECT_EQ(std::vector<std::size_t>{0}, window.SelectedRows());
  window.SetFilter(L"");
  EXPECT_EQ(std::vector<std::size_t>{rowOf(L"RpcSs")}, window.SelectedRows())
      << "hidden is unselected";
}

// Tmpl is the last key of the first part, its instance the first of the second.
TEST_F(ServiceChangesTest, TheWindowReadsTheMachineInPartsKeepingOrderAndSelection) {
  for (int i = 0; i < 57; ++i) {
    Service("A" + std::to_string(100 + i), 0x10, 3);
  }
  NoIndirectTexts texts;
  NoServiceManager manager;
  ServicesWindowModel window(access_, texts, manager, kWindows10);
  ASSERT_TRUE(window.Reading());
  EXPECT_EQ(L"正在读取服务……已读 64 项", window.Status().text);
  window.OnHeaderClick(ServiceColumn::kKey);
  window.Select({window.Count() - 1});
  EXPECT_EQ(L"Tmpl（每用户服务，0 个实例）", window.CellText(0, ServiceColumn::kKey));

  window.ReadMore();
  EXPECT_FALSE(window.Reading());
  EXPECT_EQ(L"", window.Status().text);
  ASSERT_EQ(64u, window.Count());
  EXPECT_EQ(L"Tmpl（每用户服务，1 个实例）", window.CellText(0, ServiceColumn::kKey));
  EXPECT_EQ(L"A100", window.CellText(63, ServiceColumn::kKey)) << "still by key, descending";
  EXPECT_EQ(std::vector<std::size_t>{63}, window.SelectedRows());
}

}  // namespace
}  // namespace svctune
