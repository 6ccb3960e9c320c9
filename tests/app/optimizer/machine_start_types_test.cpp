#include "optimizer/machine_start_types.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "memory_preset_file.h"
#include "optimizer/backup_file.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry/memory_registry.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

std::string Ascii(std::wstring_view text) {
  return std::string(text.begin(), text.end());
}

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

  // A value of any type, written through the raw seam.
  void SetRaw(const std::string& key, const char* name, std::uint32_t type,
              const std::string& data) {
    registry::KeyHandle handle = 0;
    ASSERT_EQ(registry::kSuccess,
              registry_.RegCreateKeyA(registry::kLocalMachine, key.c_str(), &handle));
    registry_.RegSetValueExA(handle, name, 0, type,
                             reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
    registry_.RegCloseKey(handle);
  }
  void DeleteRawValue(const std::string& key, const char* name) {
    registry::KeyHandle handle = 0;
    ASSERT_EQ(registry::kSuccess, registry_.RegOpenKeyExA(registry::kLocalMachine, key.c_str(), 0,
                                                          registry::kKeyWrite, &handle));
    registry_.RegDeleteValueA(handle, name);
    registry_.RegCloseKey(handle);
  }
  static std::string ServiceKey(const std::string& service) {
    return "SYSTEM\\CurrentControlSet\\Services\\" + service;
  }
  static std::string Dword(std::uint32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
  }

  registry::MemoryRegistry registry_{testing::ChineseAnsiCodec()};
  testing::RecordingRegistry recorder_;
  testing::ServiceKeys keys_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
  StartTypeTriads triads_;
  ModesAndPresets modes_;
  testing::MemoryPresetFile presetFile_;
  SavedChoices choices_{access_, presetFile_, testing::ChineseAnsiCodec(), triads_, modes_};
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
  EXPECT_EQ(std::optional<std::uint32_t>(4), machine_.Original(Alg()));
  EXPECT_EQ(std::nullopt, machine_.Original(*ServiceCatalogue::FindEntry(1)));

  // Later starts, even after the machine changed, keep the first record.
  keys_.SetStart("ALG", 2);
  keys_.Install("Alerter", 2);
  recorder_.writes.clear();
  machine_.RecordOriginals();
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_EQ(std::optional<std::uint32_t>(4), machine_.Original(Alg()));
}

TEST_F(MachineStartTypesTest, AnInterruptedRecordingIsCompletedWithoutOverwriting) {
  access_.WriteSetting(L"", L"", L"ALG", std::int32_t{4}, registry::kLocalMachine,
                       kOriginalStartTypesBase, registry::kRegDword);
  recorder_.writes.clear();
  machine_.RecordOriginals();
  EXPECT_EQ(55u, recorder_.writes.size()) << "54 services not recorded yet and the flag";
  EXPECT_EQ(std::optional<std::uint32_t>(4), machine_.Original(Alg()));
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

// A box whose new state cannot be saved writes no start type, since the next start would write
// the saved one again; the status line says so. Other services are not held back.
TEST_F(MachineStartTypesTest, ABoxWhoseStateCannotBeSavedWritesNoStartType) {
  choices_.RestoreControlStates();
  const std::string stem = Ascii(ServiceCatalogue::BoxStem(Alg().disabledBox));
  registry_.DenyChanges(registry::kLocalMachine, "SOFTWARE\\App" + stem + "Chek");
  machine_.RefreshAll();
  recorder_.writes.clear();

  triads_.Click(Alg().disabledBox);
  triads_.Click(ServiceCatalogue::FindEntry(5)->disabledBox);
  EXPECT_EQ(std::vector<std::string>{"BITS=4"}, recorder_.StartWrites());
  EXPECT_EQ(3, keys_.Start("ALG"));
  machine_.MarkChanged(Alg().disabledBox);
  machine_.RefreshChanged();
  EXPECT_EQ(CaptionLook::kDisagrees, machine_.Look(Alg().number));
  EXPECT_NE(std::wstring::npos, machine_.StatusText(Alg().number).find(L"选择未能保存，未写入"));
  EXPECT_NE(std::wstring::npos, choices_.UnsavedReason(Alg()).find(
                                    L"App" + ServiceCatalogue::BoxStem(Alg().disabledBox)));
}

// What Windows Vista and later add to a start type: a delayed automatic start, a trigger.
TEST_F(MachineStartTypesTest, StatusLineNamesADelayedAndATriggeredStart) {
  SetRaw(ServiceKey("ALG"), "Start", registry::kRegDword, Dword(2));
  EXPECT_EQ(L"ALG：自动。被依赖：无", machine_.StatusText(Alg().number));
  SetRaw(ServiceKey("ALG"), "DelayedAutostart", registry::kRegDword, Dword(1));
  SetRaw(ServiceKey("ALG") + "\\TriggerInfo\\0", "Type", registry::kRegDword, Dword(1));
  EXPECT_EQ(L"ALG：自动（延迟启动），触发启动。被依赖：无", machine_.StatusText(Alg().number));
}

TEST_F(MachineStartTypesTest, StatusLineSaysWhatTheMachineHolds) {
  const ServiceEntry& alg = Alg();
  services_.services[L"ALG"] = {L"Application Layer Gateway Service", true};
  EXPECT_EQ(L"Application Layer Gateway Service（ALG）：手动，正在运行。被依赖：无",
            machine_.StatusText(alg.number));
  EXPECT_EQ(L"Alerter（Alerter）：本机没有此服务", machine_.StatusText(1));

  // The dependents are read from the registry afresh with the service, automatic ones first.
  SetRaw(ServiceKey("SharedAccess"), "DisplayName", registry::kRegSz,
         std::string("Windows Firewall\0", 17));
  SetRaw(ServiceKey("SharedAccess"), "DependOnService", registry::kRegMultiSz,
         std::string("Netman\0ALG\0\0", 12));
  SetRaw(ServiceKey("Ics"), "Start", registry::kRegDword, Dword(2));
  SetRaw(ServiceKey("Ics"), "DependOnService", registry::kRegMultiSz,
         std::string("SharedAccess\0\0", 14));
  EXPECT_EQ(
      L"Application Layer Gateway Service（ALG）：手动，正在运行。被依赖：Ics、Windows Firewall",
      machine_.StatusText(alg.number));

  services_.available = false;
  registry_.DenyChanges(registry::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\ALG");
  triads_.SetState(alg.disabledBox, kTicked);
  EXPECT_EQ(
      L"ALG：手动。被依赖：Ics、Windows Firewall。所选“禁用”与本机不符：未能写入：需要管理员权限",
      machine_.StatusText(alg.number));
  EXPECT_EQ(CaptionLook::kDisagrees, machine_.Look(alg.number));

  const ServiceEntry& appMgmt = *ServiceCatalogue::FindEntry(3);
  triads_.SetState(appMgmt.automaticBox, kTicked);
  keys_.SetStart("AppMgmt", 9);
  EXPECT_EQ(L"AppMgmt：9。被依赖：无。所选“自动”与本机不符：已在本程序之外更改",
            machine_.StatusText(appMgmt.number));
}

// A box's write that disables a service an automatic service needs is warned of on the status
// line, until the pointer moves on to another service.
TEST_F(MachineStartTypesTest, DisablingWhatAnAutomaticServiceNeedsWarnsUntilThePointerMovesOn) {
  services_.available = false;
  SetRaw(ServiceKey("MadeUp"), "Start", registry::kRegDword, Dword(2));
  SetRaw(ServiceKey("MadeUp"), "DisplayName", registry::kRegSz, std::string("Made Up\0", 8));
  SetRaw(ServiceKey("MadeUp"), "DependOnService", registry::kRegMultiSz, std::string("ALG\0\0", 5));
  SetRaw(ServiceKey("NeedsBits"), "Start", registry::kRegDword, Dword(2));
  SetRaw(ServiceKey("NeedsBits"), "DependOnService", registry::kRegMultiSz,
         std::string("BITS\0\0", 6));
  SetRaw(ServiceKey("NeedsAlerter"), "Start", registry::kRegDword, Dword(2));
  SetRaw(ServiceKey("NeedsAlerter"), "DependOnService", registry::kRegMultiSz,
         std::string("Alerter\0\0", 9));
  SetRaw(ServiceKey("Browser"), "DependOnService", registry::kRegMultiSz,
         std::string("lanmanserver\0\0", 14));
  keys_.SetStart("Browser", 2);
  machine_.RefreshAll();
  const ServiceEntry& alg = Alg();
  const std::wstring algWarning = L"ALG：注意：自动启动的 Made Up 依赖此服务，禁用后它们无法启动";

  EXPECT_TRUE(machine_.PointAt(alg.number));
  EXPECT_FALSE(machine_.PointAt(alg.number)) << "the pointer was on it already";
  EXPECT_EQ(L"ALG：手动。被依赖：Made Up", machine_.Status().text);
  EXPECT_FALSE(machine_.Status().warning);

  triads_.Click(alg.disabledBox);
  EXPECT_EQ(std::vector<int>{alg.number}, machine_.RefreshChanged());
  ASSERT_EQ(1u, machine_.Warnings().size());
  EXPECT_EQ(L"ALG", machine_.Warnings()[0].serviceKey);
  EXPECT_EQ(std::vector<std::wstring>{L"MadeUp"}, machine_.Warnings()[0].automaticDependents);
  EXPECT_EQ(algWarning, machine_.Status().text);
  EXPECT_TRUE(machine_.Status().warning);
  machine_.PointerLeft(alg.number);
  EXPECT_EQ(algWarning, machine_.Status().text) << "leaving the service keeps the warning";
  machine_.PointAt(alg.number);
  EXPECT_EQ(algWarning, machine_.Status().text) << "coming back to it too";

  // Enabling it again ends the warning: the status line shows the service again.
  triads_.Click(alg.disabledBox);
  machine_.RefreshChanged();
  EXPECT_TRUE(machine_.Warnings().empty());
  EXPECT_EQ(L"ALG：自动。被依赖：Made Up", machine_.Status().text);
  EXPECT_FALSE(machine_.Status().warning);

  triads_.Click(alg.disabledBox);
  machine_.RefreshChanged();
  EXPECT_EQ(algWarning, machine_.Status().text);
  machine_.PointAt(3);
  EXPECT_FALSE(machine_.Status().warning);
  EXPECT_EQ(0u, machine_.Status().text.find(L"AppMgmt：手动")) << "another service ends it";
  machine_.PointAt(alg.number);
  triads_.Click(alg.disabledBox);
  machine_.RefreshChanged();

  // A preset names every service it disabled that an automatic one needs, except where the
  // write did not take (Alerter is not on this machine) or the same run disabled the
  // automatic service too (Browser needs the server).
  machine_.PointerLeft(alg.number);
  modes_.AddItems({std::wstring(kThoroughPreset)});
  modes_.SetOption(2, true);
  modes_.ChooseItem(0);
  machine_.RefreshChanged();
  ASSERT_EQ(2u, machine_.Warnings().size());
  EXPECT_EQ(algWarning + L"；BITS：注意：自动启动的 NeedsBits 依赖此服务，禁用后它们无法启动",
            machine_.Status().text);
  EXPECT_TRUE(machine_.Status().warning);
  machine_.RefreshAll();
  EXPECT_EQ(StatusLine{}.text, machine_.Status().text) << "the machine read afresh as a whole";
  EXPECT_FALSE(machine_.Status().warning);
  machine_.PointAt(1);
  EXPECT_EQ(L"Alerter（Alerter）：本机没有此服务", machine_.Status().text);
}

// A key that exists is a service, whatever its Start holds; only a missing key is a missing
// service.
TEST_F(MachineStartTypesTest, AStartOfAnotherTypeIsADamagedStartTypeNotAMissingService) {
  const ServiceEntry& alg = Alg();
  services_.available = false;
  const struct {
    std::uint32_t type;
    std::string data;
    std::wstring shown;
  } cases[] = {
      {registry::kRegDword, Dword(0xFFFFFFFF), L"ALG：4294967295。被依赖：无"},
      {registry::kRegSz, std::string("3\0", 2),
       L"ALG：启动方式已损坏（Start 是 REG_SZ，不是 REG_DWORD）。被依赖：无"},
      {registry::kRegBinary, Dword(3),
       L"ALG：启动方式已损坏（Start 是 REG_BINARY，不是 REG_DWORD）。被依赖：无"},
      {registry::kRegDword, std::string("\x03\0", 2),
       L"ALG：启动方式已损坏（Start 不是 4 字节的 REG_DWORD）。被依赖：无"},
  };
  for (const auto& c : cases) {
    SetRaw(ServiceKey("ALG"), "Start", c.type, c.data);
    EXPECT_EQ(c.shown, machine_.StatusText(alg.number));
    EXPECT_EQ(CaptionLook::kNormal, machine_.Look(alg.number)) << "no box is ticked";
  }
  DeleteRawValue(ServiceKey("ALG"), "Start");
  EXPECT_EQ(L"ALG：启动方式已损坏（没有 Start 值）。被依赖：无", machine_.StatusText(alg.number));
  EXPECT_EQ(CaptionLook::kNormal, machine_.Look(alg.number));
  EXPECT_EQ(54u, machine_.CurrentStartTypes().size()) << "the backup leaves ALG out";

  triads_.SetState(alg.manualBox, kTicked);  // writes Start = 3
  DeleteRawValue(ServiceKey("ALG"), "Start");
  EXPECT_EQ(
      L"ALG：启动方式已损坏（没有 Start 值）。被依赖：无。所选“手动”与本机不符：已在本程序之外更改",
      machine_.StatusText(alg.number))
      << "the key opens for writing: no lack of rights";
  EXPECT_EQ(CaptionLook::kDisagrees, machine_.Look(alg.number));
  EXPECT_EQ(CaptionLook::kMissing, machine_.Look(1));
}

// The restore writes each usable record once, straight; the boxes are unticked without a
// write, so no service passes through start type 2. Every service it leaves alone is named,
// with the reason.
TEST_F(MachineStartTypesTest, RestoreWritesEachRecordOnceAndNamesWhatItCouldNot) {
  machine_.RecordOriginals();  // every service but Alerter: 3
  const ServiceEntry& alg = Alg();
  const ServiceEntry& appMgmt = *ServiceCatalogue::FindEntry(3);
  modes_.AddItems({std::wstring(kThoroughPreset)});
  modes_.SetOption(2, true);
  modes_.ChooseItem(0);
  triads_.SetState(alg.disabledBox, kTicked);
  triads_.SetState(appMgmt.automaticBox, kTicked);
  const std::string records = "Software\\Hollin Soft\\Pardell\\OriginalStartTypes";
  SetRaw(records, "BITS", registry::kRegDword, Dword(7));
  SetRaw(records, "Browser", registry::kRegSz, std::string("3\0", 2));
  DeleteRawValue(records, "CiSvc");
  registry_.DenyChanges(registry::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\ClipSrv");
  ASSERT_EQ(registry::kSuccess,
            registry_.RegDeleteKeyA(registry::kLocalMachine, ServiceKey("COMSysApp").c_str()));
  const std::int32_t bits = keys_.Start("BITS");
  const std::int32_t browser = keys_.Start("Browser");
  const std::int32_t ciSvc = keys_.Start("CiSvc");
  ASSERT_NE(3, ciSvc) << "the preset changed it";

  ScriptedConfirmation confirmation;
  confirmation.answer = false;
  recorder_.writes.clear();
  machine_.OnRestoreClick(modes_, choices_, confirmation, messages_);
  EXPECT_TRUE(recorder_.writes.empty()) << "no is no";
  ASSERT_EQ(1u, confirmation.questions.size());

  confirmation.answer = true;
  machine_.OnRestoreClick(modes_, choices_, confirmation, messages_);
  std::map<std::string, int> writes;
  for (const std::string& write : recorder_.StartWrites()) {
    ++writes[write.substr(0, write.find('='))];
    EXPECT_EQ("3", write.substr(write.find('=') + 1)) << write << ": only records are written";
  }
  for (const auto& [service, count] : writes) {
    EXPECT_EQ(1, count) << service << " is written once";
  }
  EXPECT_EQ(3, keys_.Start("ALG"));
  EXPECT_EQ(3, keys_.Start("AppMgmt"));
  EXPECT_EQ(0u, writes.count("BITS") + writes.count("Browser") + writes.count("CiSvc") +
                    writes.count("ClipSrv"));
  EXPECT_EQ(bits, keys_.Start("BITS")) << "a record of 7 is not written";
  EXPECT_EQ(browser, keys_.Start("Browser")) << "a text record is not written";
  EXPECT_EQ(ciSvc, keys_.Start("CiSvc")) << "no record: the untick wrote no 2";
  EXPECT_EQ(-1, modes_.ListIndex()) << "the next start applies no preset over the records";
  EXPECT_TRUE(modes_.OptionSelected(1));
  for (int box : ServiceCatalogue::BoxNumbers()) {
    EXPECT_EQ(kUnticked, triads_.State(box)) << box;
    EXPECT_TRUE(triads_.Enabled(box)) << box;
  }
  ASSERT_FALSE(messages_.shown.empty());
  const std::wstring& report = messages_.shown.back().text;
  EXPECT_EQ(MessageIcon::kCritical, messages_.shown.back().icon);
  for (const wchar_t* line :
       {L"Alerter（Alerter）：没有初始设置的记录", L"BITS（BITS）：初始设置的记录已损坏",
        L"Browser（Browser）：初始设置的记录已损坏", L"CiSvc（CiSvc）：没有初始设置的记录",
        L"ClipSrv（ClipSrv）：没有写入权限", L"COMSysApp（COMSysApp）：本机已没有该服务"}) {
    EXPECT_NE(std::wstring::npos, report.find(std::wstring(L"\n") + line)) << line;
  }
  EXPECT_EQ(0u, report.find(L"已还原 ")) << report;
  EXPECT_NE(std::wstring::npos, report.find(L"以下 6 项服务未还原："));
}

TEST(BackupFile, IsARegedit4FileInTheCodePageGivenWithoutUnwritableKeys) {
  const BackupFile file = FormatBackupFile(
      {{L"Alerter", 4}, {L"Bad\\Name", 2}, {L"Bad]", 2}, {L"服务", 3}, {L"Odd", 0x12}},
      testing::ChineseAnsiCodec());
  EXPECT_EQ(2u, file.leftOut.size());
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
