#include "optimizer/machine_start_types.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "optimizer/backup_file.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry/memory_registry.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

class FakeServiceManager final : public ServiceManager {
 public:
  ServiceAnswer Query(std::wstring_view serviceKey, ServiceDetails& details) override {
    if (!available) {
      return ServiceAnswer::kManagerUnavailable;
    }
    const auto known = services.find(std::wstring(serviceKey));
    if (known == services.end()) {
      return ServiceAnswer::kNotInstalled;
    }
    details = known->second;
    return ServiceAnswer::kAnswered;
  }
  bool available = true;
  std::map<std::wstring, ServiceDetails> services;
};

class ScriptedConfirmation final : public Confirmation {
 public:
  bool AskYesNo(std::wstring_view text, std::wstring_view) override {
    questions.emplace_back(text);
    return answer;
  }
  bool answer = true;
  std::vector<std::wstring> questions;
};

// Entry 1 "Alerter" is missing on this machine; every other service starts manually.
class MachineStartTypesTest : public ::testing::Test {
 protected:
  MachineStartTypesTest()
      : recorder_(registry_),
        keys_(registry_),
        access_(recorder_, testing::ChineseAnsiCodec(), messages_, std::wstring(kProgramTitle)),
        triads_(access_),
        modes_(triads_),
        machine_(access_, triads_, services_) {
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      if (entry.serviceKey != L"Alerter") {
        keys_.Install(std::string(entry.serviceKey.begin(), entry.serviceKey.end()), 3);
      }
    }
  }

  std::vector<std::string> WrittenKeys() const {
    std::vector<std::string> keys;
    for (const auto& write : recorder_.writes) {
      keys.push_back(write.key + "\\" + write.name);
    }
    return keys;
  }

  static const ServiceEntry& Alg() { return *ServiceCatalogue::FindEntry(2); }

  registry::MemoryRegistry registry_{testing::ChineseAnsiCodec()};
  testing::RecordingRegistry recorder_;
  testing::ServiceKeys keys_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
  StartTypeTriads triads_;
  ModesAndPresets modes_;
  FakeServiceManager services_;
  MachineStartTypes machine_;
};

TEST_F(MachineStartTypesTest, OriginalsAreRecordedOnceInTheProgramsOwnKey) {
  keys_.SetStart("ALG", 4);
  machine_.RecordOriginals();
  const std::vector<std::string> keys = WrittenKeys();
  ASSERT_EQ(56u, keys.size()) << "55 installed services and the flag";
  EXPECT_EQ("HKLM\\Software\\Hollin Soft\\Pardell\\OriginalStartTypes\\ALG", keys[0]);
  EXPECT_EQ("HKLM\\Software\\Hollin Soft\\Pardell\\OriginalStartTypesRecorded", keys.back());
  EXPECT_EQ(std::optional<std::int32_t>(4), machine_.Original(Alg()));
  EXPECT_EQ(std::nullopt, machine_.Original(*ServiceCatalogue::FindEntry(1)));

  // Later starts, even after the machine changed, keep the first record.
  keys_.SetStart("ALG", 2);
  keys_.Install("Alerter", 2);
  recorder_.writes.clear();
  machine_.RecordOriginals();
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_EQ(std::optional<std::int32_t>(4), machine_.Original(Alg()));
}

TEST_F(MachineStartTypesTest, AnInterruptedRecordingIsCompletedWithoutOverwriting) {
  access_.WriteSetting(L"", L"", L"ALG", std::int32_t{4}, registry::kLocalMachine,
                       kOriginalStartTypesBase, registry::kRegDword);
  recorder_.writes.clear();
  machine_.RecordOriginals();
  EXPECT_EQ(55u, recorder_.writes.size()) << "54 services not recorded yet and the flag";
  EXPECT_EQ(std::optional<std::int32_t>(4), machine_.Original(Alg()));
}

TEST_F(MachineStartTypesTest, CaptionLookComparesTheTickedBoxWithTheMachine) {
  struct Case {
    int tickedBox;  // 0: none
    std::int32_t start;
    CaptionLook look;
  };
  const ServiceEntry& alg = Alg();
  for (const Case& c :
       {Case{0, 4, CaptionLook::kNormal}, Case{alg.manualBox, 3, CaptionLook::kNormal},
        Case{alg.disabledBox, 3, CaptionLook::kDisagrees},
        Case{alg.automaticBox, 7, CaptionLook::kDisagrees}}) {
    for (int box : {alg.automaticBox, alg.manualBox, alg.disabledBox}) {
      triads_.SetState(box, kUnticked);
    }
    if (c.tickedBox != 0) {
      triads_.SetState(c.tickedBox, kTicked);
    }
    keys_.SetStart("ALG", c.start);
    machine_.RefreshAll();
    EXPECT_EQ(c.look, machine_.Look(alg.number)) << c.tickedBox << " " << c.start;
  }
  EXPECT_EQ(CaptionLook::kMissing, machine_.Look(1));

  // A box change is read back once it has been written.
  triads_.SetState(alg.manualBox, kTicked);
  machine_.MarkChanged(alg.manualBox);
  EXPECT_EQ(std::vector<int>{alg.number}, machine_.RefreshChanged());
  EXPECT_EQ(CaptionLook::kNormal, machine_.Look(alg.number));
  EXPECT_TRUE(machine_.RefreshChanged().empty());
}

TEST_F(MachineStartTypesTest, StatusLineSaysWhatTheMachineHolds) {
  const ServiceEntry& alg = Alg();
  services_.services[L"ALG"] = {L"Application Layer Gateway Service", true,
                                std::vector<std::wstring>{L"Windows Firewall", L"ICS"}};
  EXPECT_EQ(
      L"Application Layer Gateway Service（ALG）：手动，正在运行。依赖此服务的服务：Windows "
      L"Firewall、ICS",
      machine_.StatusText(alg.number));
  EXPECT_EQ(L"Alerter（Alerter）：本机没有此服务", machine_.StatusText(1));
  services_.services[L"ALG"].dependents.reset();  // the manager could not list them
  EXPECT_EQ(L"Application Layer Gateway Service（ALG）：手动，正在运行",
            machine_.StatusText(alg.number));

  services_.available = false;
  registry_.DenyChanges(registry::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\ALG");
  triads_.SetState(alg.disabledBox, kTicked);
  EXPECT_EQ(L"ALG：手动。所选“禁用”与本机不符：未能写入：需要管理员权限",
            machine_.StatusText(alg.number));
  EXPECT_EQ(CaptionLook::kDisagrees, machine_.Look(alg.number));

  const ServiceEntry& appMgmt = *ServiceCatalogue::FindEntry(3);
  triads_.SetState(appMgmt.automaticBox, kTicked);
  keys_.SetStart("AppMgmt", 9);
  EXPECT_EQ(L"AppMgmt：9。所选“自动”与本机不符：已在本程序之外更改",
            machine_.StatusText(appMgmt.number));
}

TEST_F(MachineStartTypesTest, RestoreUnticksEveryBoxFirstThenWritesTheRecords) {
  machine_.RecordOriginals();
  const ServiceEntry& alg = Alg();
  const ServiceEntry& appMgmt = *ServiceCatalogue::FindEntry(3);
  modes_.SetOption(2, true);
  triads_.SetState(alg.disabledBox, kTicked);
  triads_.SetState(appMgmt.automaticBox, kTicked);
  keys_.SetStart("BITS", 4);  // changed behind the program's back
  registry_.DenyChanges(registry::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\BITS");

  ScriptedConfirmation confirmation;
  confirmation.answer = false;
  recorder_.writes.clear();
  machine_.OnRestoreClick(modes_, confirmation, messages_);
  EXPECT_TRUE(recorder_.writes.empty()) << "no is no";
  ASSERT_EQ(1u, confirmation.questions.size());
  EXPECT_NE(std::wstring::npos, confirmation.questions[0].find(L" 3 项服务"));

  confirmation.answer = true;
  machine_.OnRestoreClick(modes_, confirmation, messages_);
  EXPECT_EQ((std::vector<std::string>{"ALG=2", "ALG=3", "AppMgmt=3"}), recorder_.StartWrites())
      << "the untick of ALG's 禁用 writes 2 (AppMgmt's 自动 writes nothing), then the records";
  EXPECT_EQ(3, keys_.Start("ALG"));
  EXPECT_EQ(3, keys_.Start("AppMgmt"));
  EXPECT_EQ(4, keys_.Start("BITS"));
  EXPECT_TRUE(modes_.OptionSelected(1));
  for (int box : ServiceCatalogue::BoxNumbers()) {
    EXPECT_EQ(kUnticked, triads_.State(box)) << box;
  }
  ASSERT_FALSE(messages_.shown.empty());
  EXPECT_EQ(L"已还原 2 项服务的启动方式，1 项未能写入（没有写入权限，或本机已没有该服务）。",
            messages_.shown.back().text);
}

TEST(BackupFile, IsARegedit4FileInTheCodePageGivenWithoutUnwritableKeys) {
  const BackupFile file = FormatBackupFile(
      {{L"Alerter", 4}, {L"Bad\\Name", 2}, {L"Bad]", 2}, {L"服务", 3}, {L"Odd", 0x12}},
      testing::ChineseAnsiCodec());
  EXPECT_EQ(2u, file.leftOut);
  const std::string expectedServices =
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Alerter]\r\n"
      "\"Start\"=dword:00000004\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\\xB7\xFE\xCE\xF1]\r\n"
      "\"Start\"=dword:00000003\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Odd]\r\n"
      "\"Start\"=dword:00000012\r\n\r\n";
  ASSERT_EQ(0u, file.bytes.rfind("REGEDIT4\r\n\r\n;", 0));
  EXPECT_NE(std::string::npos, file.bytes.find("\xD7\xD4\xB6\xAF")) << "自动 in code page 936";
  ASSERT_GE(file.bytes.size(), expectedServices.size());
  EXPECT_EQ(expectedServices, file.bytes.substr(file.bytes.size() - expectedServices.size()));
}

}  // namespace
}  // namespace svctune
