#include "deployment/command_run.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "access/frm_login.h"
#include "access/password_store.h"
#include "optimizer/formhome.h"
#include "memory_preset_file.h"
#include "optimizer/machine_start_types.h"
#include "optimizer/service_changes.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry/memory_registry.h"
#include "service_keys.h"
#include "test_codec.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

using Arguments = std::vector<std::wstring>;

using testing::MemoryPresetFile;

class FakePlatform final : public CommandPlatform {
 public:
  Instance ClaimInstance() override {
    ++claims;
    return instance;
  }
  LogTime Now() override { return {2024, 5, 6, 7, 8, 9}; }
  FileRead ReadFile(const std::wstring& path, std::size_t limit) override {
    const auto found = files.find(path);
    if (found == files.end()) {
      return {false, "", L"找不到文件"};
    }
    return {true, found->second.substr(0, limit), L""};
  }
  bool WriteFile(const std::wstring& path, std::string_view bytes, std::wstring& error) override {
    if (!writable) {
      error = L"拒绝访问";
      return false;
    }
    files[path] = std::string(bytes);
    return true;
  }
  bool AppendToFile(const std::wstring& path, const std::function<std::string(bool)>& entry,
                    std::wstring& error) override {
    if (!writable) {
      error = L"拒绝访问";
      return false;
    }
    std::string& file = files[path];
    file += entry(file.empty());
    return true;
  }

  std::wstring ProgramPath() override { return L"C:\\svctune\\svctune.exe"; }
  bool SameFile(const std::wstring& first, const std::wstring& second) override {
    return AsciiUpper(first) == AsciiUpper(second);
  }

  Instance instance = Instance::kNone;
  bool writable = true;
  int claims = 0;
  std::map<std::wstring, std::string> files;
};

std::string Ascii(std::wstring_view text) {
  return std::string(text.begin(), text.end());
}

// One machine: its registry with the catalogue's services (every one manual, WudfSvc missing),
// and TQSE.ini with the two presets, none chosen.
struct Machine {
  Machine() {
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      if (entry.serviceKey != L"WudfSvc") {
        keys.Install(Ascii(entry.serviceKey), 3);
      }
    }
    presetFile.content =
        FormatPresetFile({L"细致优化", L"普通优化"}, -1, testing::ChineseAnsiCodec());
  }

  CommandOutcome Run(const Arguments& arguments) {
    return RunCommandLine(arguments, recorder, testing::ChineseAnsiCodec(), presetFile,
                          testing::ChineseAnsiCodec(), platform);
  }

  // What the next start brings back and what the machine holds: every service's Start, every
  // saved control state, the record of the first start, and TQSE.ini.
  std::map<std::string, std::wstring> Snapshot() {
    std::map<std::string, std::wstring> state;
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      state["Start " + Ascii(entry.serviceKey)] =
          std::to_wstring(keys.Start(Ascii(entry.serviceKey)));
      state["Original " + Ascii(entry.serviceKey)] = registry::ToText(access.GetDwordByPath(
          L"HKEY_LOCAL_MACHINE\\" + std::wstring(kOriginalStartTypesBase), entry.serviceKey));
    }
    std::vector<std::wstring> stems;
    for (int box : ServiceCatalogue::BoxNumbers()) {
      stems.push_back(ServiceCatalogue::BoxStem(box));
    }
    stems.push_back(ServiceCatalogue::SettingsStem(L"Option1"));
    stems.push_back(ServiceCatalogue::SettingsStem(L"Option2"));
    for (const std::wstring& stem : stems) {
      state["Saved " + Ascii(stem)] = registry::ToText(
          access.ReadSetting(L"App" + stem + L"Chek", stem + L"Chek", stem + L"ChekValue",
                             L"(none)", registry::kLocalMachine, L"SOFTWARE", false));
    }
    state["TQSE.ini"] = testing::ChineseAnsiCodec().FromAnsi(presetFile.content.value_or(""));
    return state;
  }

  // A service the catalogue does not know (a Win32 service of its own process), with its start
  // type and the services it needs.
  void AddService(const std::string& key, std::int32_t start, const std::string& dependsOn) {
    keys.Install(key, start);
    access.SetKeyValue(
        registry::kLocalMachine,
        L"SYSTEM\\CurrentControlSet\\Services\\" + std::wstring(key.begin(), key.end()), L"Type",
        std::int32_t{0x10}, registry::kRegDword);
    registry::KeyHandle handle = 0;
    ASSERT_EQ(registry::kSuccess,
              registry.RegOpenKeyExA(registry::kLocalMachine,
                                     ("SYSTEM\\CurrentControlSet\\Services\\" + key).c_str(), 0,
                                     registry::kKeyWrite, &handle));
    registry.RegSetValueExA(handle, "DependOnService", 0, registry::kRegMultiSz,
                            reinterpret_cast<const std::uint8_t*>(dependsOn.data()),
                            static_cast<std::uint32_t>(dependsOn.size()));
    registry.RegCloseKey(handle);
  }

  void SetStartupPassword(const std::wstring& password) {
    access::PasswordStore store(access, testing::ChineseAnsiCodec());
    access.CreateKeyByPath(std::wstring(kProgramKeyPath));
    store.WriteEnablePassword(1);
    store.WritePassword(password);
  }

  registry::MemoryRegistry registry{testing::ChineseAnsiCodec()};
  testing::RecordingRegistry recorder{registry};
  testing::ServiceKeys keys{registry};
  testing::RecordingPresenter messages;
  registry::RegistryAccess access{registry, testing::ChineseAnsiCodec(), messages,
                                  std::wstring(kProgramTitle)};
  MemoryPresetFile presetFile;
  FakePlatform platform;
};

bool Contains(const std::wstring& text, std::wstring_view part) {
  return text.find(part) != std::wstring::npos;
}

// The window, started on a fresh machine: "选择优化", then "细致优化" chosen, then closed.
TEST(CommandRun, PresetOneDoesWhatChoosingTheThoroughPresetInTheWindowDoes) {
  Machine window;
  {
    testing::RecordingPresenter messages;
    HeadlessFormhomeHost host;
    NoServiceManager manager;
    Formhome form(window.access, window.presetFile, testing::ChineseAnsiCodec(), messages, host);
    MachineStartTypes machine(window.access, form.Triads(), manager);
    machine.RecordOriginals();
    form.Load();
    form.Modes().SetOption(2, true);
    form.Modes().ChooseItem(0);
    form.Unload();
  }

  Machine commandLine;
  const CommandOutcome outcome = commandLine.Run({L"/preset", L"1"});
  EXPECT_EQ(kExitDone, outcome.exitCode) << ToUtf8(outcome.printed);
  EXPECT_EQ(window.Snapshot(), commandLine.Snapshot());

  const ServiceEntry& alerter = *ServiceCatalogue::FindEntry(1);
  EXPECT_EQ(L"3", commandLine.Snapshot()["Original Alerter"]) << "recorded before the change";
  EXPECT_EQ(4, commandLine.keys.Start("Alerter"));
  EXPECT_EQ(
      L"1",
      commandLine.Snapshot()["Saved " + Ascii(ServiceCatalogue::BoxStem(alerter.disabledBox))]);
  EXPECT_TRUE(Contains(outcome.printed, L"已更改 Alerter：手动(3) -> 禁用(4)\r\n"));
  EXPECT_TRUE(Contains(outcome.printed, L"跳过 WudfSvc：本机没有此服务\r\n"));
  EXPECT_TRUE(
      Contains(outcome.printed, L"完成：更改 45 项，未变 10 项，跳过 1 项，失败 0 项。\r\n"))
      << "the ten services the preset makes manual stay as they were";
  EXPECT_EQ(1, commandLine.platform.claims);
}

TEST(CommandRun, NothingIsWrittenWhenTheRunIsRefused) {
  const struct {
    Arguments arguments;
    CommandPlatform::Instance instance;
    std::wstring password;  // the start-up password switched on; empty: none
    int exitCode;
    std::wstring saying;
  } cases[] = {
      {{L"/preset"}, CommandPlatform::Instance::kNone, L"", kExitBadArguments, L"缺少"},
      {{L"/manual", L"/restore"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"不能同时使用"},
      {{L"/preset", L"细致"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"预设列表中没有“细致”"},
      {{L"/preset", L"3"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"没有第 3 项"},
      {{L"/apply", L"C:\\none.inf"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"无法读取文件 C:\\none.inf：找不到文件"},
      {{L"/apply", L"C:\\bad.inf"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"C:\\bad.inf 第 5 行：启动方式“自动”应为一位数字"},
      {{L"/preset", L"1"},
       CommandPlatform::Instance::kWindow,
       L"",
       kExitWindowRunning,
       L"本机正在运行 svctune 窗口"},
      {{L"/restore"},
       CommandPlatform::Instance::kOther,
       L"",
       kExitWindowRunning,
       L"启动标记被占用"},
      {{L"/preset", L"1"},
       CommandPlatform::Instance::kNone,
       L"开门芝麻",
       kExitPasswordRefused,
       L"请用 /password 给出密码"},
      {{L"/export", L"C:\\x.inf"},
       CommandPlatform::Instance::kNone,
       L"开门芝麻",
       kExitPasswordRefused,
       L"请用 /password 给出密码"},
      {{L"/manual", L"/password", L"开门"},
       CommandPlatform::Instance::kNone,
       L"开门芝麻",
       kExitPasswordRefused,
       L"启动密码不正确"},
      {{L"/list", L"C:\\all.csv"},
       CommandPlatform::Instance::kNone,
       L"开门芝麻",
       kExitPasswordRefused,
       L"请用 /password 给出密码"},
      {{L"/manual", L"/log", L"c:\\SVCTUNE\\tqse.ini"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"/log 不能写入 c:\\SVCTUNE\\tqse.ini：这是本程序自己读写的文件 C:\\svctune\\TQSE.ini"},
      {{L"/list", L"C:\\all.csv", L"/log", L"C:\\ALL.CSV"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"/list 要写入的文件"},
      {{L"/apply", L"C:\\bad.inf", L"/log", L"C:\\bad.inf"},
       CommandPlatform::Instance::kNone,
       L"",
       kExitBadArguments,
       L"/apply 要读取的模板"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Ascii(c.saying));
    Machine machine;
    machine.platform.instance = c.instance;
    machine.platform.files[L"C:\\bad.inf"] = ToUtf8(
        L"\uFEFF[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n\"Alerter\",4,\"\"\r\n"
        L"\"ALG\",自动,\"\"\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\n");
    if (!c.password.empty()) {
      machine.SetStartupPassword(c.password);
    }
    machine.recorder.writes.clear();
    const std::optional<std::string> presets = machine.presetFile.content;

    const CommandOutcome outcome = machine.Run(c.arguments);
    EXPECT_EQ(c.exitCode, outcome.exitCode);
    EXPECT_EQ(0u, outcome.printed.find(L"错误：")) << ToUtf8(outcome.printed);
    EXPECT_TRUE(Contains(outcome.printed, c.saying));
    EXPECT_TRUE(machine.recorder.writes.empty()) << machine.recorder.writes.front().key;
    EXPECT_EQ(presets, machine.presetFile.content);
    EXPECT_EQ(0, machine.presetFile.writes);
    EXPECT_EQ(1u, machine.platform.files.size()) << "no file written";
  }
}

TEST(CommandRun, TheRightStartupPasswordLetsTheRunGoOnAndTheUsageNeedsNone) {
  Machine machine;
  machine.SetStartupPassword(L"开门芝麻");
  const CommandOutcome run = machine.Run({L"/password", L"开门芝麻", L"/preset", L"普通优化"});
  EXPECT_EQ(kExitDone, run.exitCode) << ToUtf8(run.printed);
  EXPECT_EQ(2, machine.keys.Start("Spooler"));

  machine.recorder.writes.clear();
  const CommandOutcome usage = machine.Run({L"/manual", L"/?"});
  EXPECT_EQ(kExitDone, usage.exitCode);
  EXPECT_EQ(UsageText(), usage.printed);
  EXPECT_TRUE(machine.recorder.writes.empty());
  EXPECT_EQ(1, machine.platform.claims) << "the usage does not take the mark";
}

// The start-up prompt and /password follow one rule: the prompt lets in an entry exactly when
// the command line lets in a run with it as /password, and an empty entry exactly when a run
// without /password (the command line has no empty value). With EnablePassword 1 and no
// password stored, both let in the empty one.
TEST(CommandRun, ThePromptAndTheCommandLineLetInTheSameEntries) {
  const std::optional<std::wstring> stores[] = {std::nullopt, L"", L"开门芝麻"};
  const std::optional<std::wstring> entries[] = {std::nullopt, L"开门芝麻", L"x"};
  for (const std::optional<std::wstring>& stored : stores) {
    for (const std::optional<std::wstring>& entry : entries) {
      SCOPED_TRACE(ToUtf8(stored.value_or(L"(missing)") + L" / " + entry.value_or(L"(none)")));
      Machine machine;
      access::PasswordStore store(machine.access, testing::ChineseAnsiCodec());
      machine.access.CreateKeyByPath(std::wstring(kProgramKeyPath));
      store.WriteEnablePassword(1);
      if (stored) {
        store.WritePassword(*stored);
      }
      testing::RecordingPresenter messages;
      access::frmLogin prompt({machine.access, testing::ChineseAnsiCodec(), messages});
      prompt.txtPassword_Change(entry.value_or(L""));
      prompt.cmdOK_Click();
      const bool promptLetsIn = prompt.Outcome() == access::LoginOutcome::kAccepted;

      Arguments arguments = {L"/manual"};
      if (entry) {
        arguments.insert(arguments.end(), {L"/password", *entry});
      }
      const CommandOutcome run = machine.Run(arguments);
      EXPECT_EQ(promptLetsIn, run.exitCode != kExitPasswordRefused) << ToUtf8(run.printed);
      EXPECT_EQ(promptLetsIn, stored.value_or(L"") == entry.value_or(L""));
    }
  }
}

TEST(CommandRun, ListGivesTheInventoryAndWritesNothingToTheRegistry) {
  Machine machine;
  machine.SetStartupPassword(L"开门芝麻");
  for (const char* key : {"Alerter", "Spooler"}) {
    registry::KeyHandle handle = 0;
    ASSERT_EQ(registry::kSuccess,
              machine.registry.RegOpenKeyExA(
                  registry::kLocalMachine,
                  (std::string("SYSTEM\\CurrentControlSet\\Services\\") + key).c_str(), 0,
                  registry::kKeyWrite, &handle));
    const std::uint32_t ownProcess = 0x10;
    machine.registry.RegSetValueExA(handle, "Type", 0, registry::kRegDword,
                                    reinterpret_cast<const std::uint8_t*>(&ownProcess), 4);
    machine.registry.RegCloseKey(handle);
  }
  const auto before = machine.Snapshot();
  machine.recorder.writes.clear();

  const CommandOutcome toOutput = machine.Run({L"/list", L"/password", L"开门芝麻"});
  EXPECT_EQ(kExitDone, toOutput.exitCode);
  EXPECT_EQ(L"", toOutput.printed);
  EXPECT_EQ(
      "\xEF\xBB\xBFName,DisplayName,Start,Delayed,Trigger,PerUser,Protected,Catalogue,"
      "Running\r\nAlerter,,3,0,0,,0,1,\r\nSpooler,,3,0,0,,0,1,\r\n",
      toOutput.bytes);

  const CommandOutcome toFile = machine.Run({L"/list:C:\\all.csv", L"/password", L"开门芝麻"});
  EXPECT_EQ(kExitDone, toFile.exitCode);
  EXPECT_EQ(L"完成：已把 2 项服务列入 C:\\all.csv。\r\n", toFile.printed);
  EXPECT_EQ(toOutput.bytes, machine.platform.files[L"C:\\all.csv"]);
  EXPECT_TRUE(machine.recorder.writes.empty()) << machine.recorder.writes.front().key;
  EXPECT_EQ(before, machine.Snapshot());
}

// A template as secedit /export writes it: UTF-16LE, [Version] last, descriptors read from the
// machine, services outside the catalogue.
std::string SeceditTemplate() {
  return "\xFF\xFE" + ToUtf16Le(
                          L"[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n"
                          L"\"Alerter\",4,\"D:AR(A;;CCLCSWLOCRRC;;;AU)\"\r\n"
                          L"\"MadeUpSvc\",2,\"\"\r\n"
                          L"\"Spooler\",2,\"\"\r\n"
                          L"\"Themes\",1,\"\"\r\n"
                          L"\"WudfSvc\",3,\"\"\r\n"
                          L"\"helpsvc\",3,\"\"\r\n"
                          L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
}

TEST(CommandRun, ApplyTicksOneBoxPerSetServiceWithItsOwnWriteAndSkipsWhatItCannotSet) {
  Machine machine;
  machine.platform.files[L"C:\\policy.inf"] = SeceditTemplate();
  // The thorough preset, saved: helpsvc's 禁用 ticked, and the next start would apply it again.
  ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
  ASSERT_EQ(4, machine.keys.Start("helpsvc"));
  machine.recorder.writes.clear();

  const CommandOutcome outcome = machine.Run({L"/apply", L"C:\\policy.inf"});
  EXPECT_EQ(kExitDone, outcome.exitCode) << ToUtf8(outcome.printed);
  EXPECT_EQ(4, machine.keys.Start("Alerter"));
  EXPECT_EQ(2, machine.keys.Start("Spooler"));
  EXPECT_EQ(3, machine.keys.Start("helpsvc"));
  EXPECT_EQ(4, machine.keys.Start("Themes")) << "start mode 1 is not set";
  EXPECT_FALSE(machine.keys.Exists("WudfSvc")) << "no key is made";
  EXPECT_FALSE(machine.keys.Exists("MadeUpSvc"));
  for (const std::wstring line :
       {L"已更改 Spooler：禁用(4) -> 自动(2)", L"已更改 helpsvc：禁用(4) -> 手动(3)",
        L"跳过 第 5 行 MadeUpSvc：本机没有此服务",
        L"跳过 第 7 行 Themes：启动方式 1 不是 2、3 或 4", L"跳过 第 8 行 WudfSvc：本机没有此服务",
        L"说明 模板中有 1 行带安全描述符：本程序不应用安全描述符，只设置启动方式"}) {
    EXPECT_TRUE(Contains(outcome.printed, line + L"\r\n")) << ToUtf8(outcome.printed);
  }
  // After the load step wrote the saved preset again (as every start does), helpsvc went from
  // 4 to 3 without passing through 2.
  std::vector<std::string> helpsvcWrites;
  for (const std::string& write : machine.recorder.StartWrites()) {
    if (write.rfind("helpsvc=", 0) == 0) {
      helpsvcWrites.push_back(write);
    }
    EXPECT_TRUE(write.back() != '2' || write == "Spooler=2") << write;
  }
  EXPECT_EQ((std::vector<std::string>{"helpsvc=4", "helpsvc=3"}), helpsvcWrites);

  // The saved choices hold the template's start types with no preset under them: the next
  // start (the window's load step) writes exactly those again.
  std::map<std::string, std::wstring> saved = machine.Snapshot();
  const ServiceEntry& helpsvc = *ServiceCatalogue::FindEntry(13);
  EXPECT_EQ(L"1", saved["Saved " + Ascii(ServiceCatalogue::BoxStem(helpsvc.manualBox))]);
  EXPECT_EQ(L"0", saved["Saved " + Ascii(ServiceCatalogue::BoxStem(helpsvc.disabledBox))]);
  EXPECT_TRUE(Contains(saved["TQSE.ini"], L"\r\n-1\r\n"));
  {
    testing::RecordingPresenter messages;
    HeadlessFormhomeHost host;
    Formhome form(machine.access, machine.presetFile, testing::ChineseAnsiCodec(), messages, host);
    form.Load();
  }
  EXPECT_EQ(3, machine.keys.Start("helpsvc"));
  EXPECT_EQ(2, machine.keys.Start("Spooler"));
}

TEST(CommandRun, ATemplateThatSetsNoServiceChangesNothingAndSaysSo) {
  const struct {
    std::string services;
    std::wstring saying;
  } cases[] = {
      {"[Service General Settings]\r\n\"Alerter\",4,\"\"\r\n",
       L"中没有 [Service General Setting] 节（节名写错了？）"},
      {"[Service General Setting]\r\n", L"的 [Service General Setting] 节是空的"},
      {"[Service General Setting]\r\n\"MadeUpSvc\",4,\"\"\r\n", L"中没有本程序能设置的服务"},
  };
  for (const auto& c : cases) {
    Machine machine;
    ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
    machine.platform.files[L"C:\\t.inf"] = "[Version]\r\nsignature=\"$CHICAGO$\"\r\n" + c.services;
    const std::map<std::string, std::wstring> before = machine.Snapshot();
    machine.recorder.writes.clear();
    const CommandOutcome outcome = machine.Run({L"/apply", L"C:\\t.inf"});
    EXPECT_EQ(kExitDone, outcome.exitCode);
    EXPECT_TRUE(Contains(outcome.printed, L"说明 模板" + c.saying + L"：未写入任何内容\r\n"))
        << ToUtf8(outcome.printed);
    EXPECT_TRUE(machine.recorder.writes.empty()) << machine.recorder.writes.front().key;
    EXPECT_EQ(before, machine.Snapshot());
    EXPECT_FALSE(Contains(outcome.printed, L"不在本程序的服务列表中")) << "every service is";
  }
}

TEST(CommandRun, ExportThenApplyGivesAnotherMachineTheSameStartTypes) {
  Machine reference;
  reference.keys.SetStart("Alerter", 4);
  reference.keys.SetStart("Spooler", 2);
  reference.keys.SetStart("Themes", 1);
  const CommandOutcome exported = reference.Run({L"/export", L"D:\\svctune.inf"});
  EXPECT_EQ(kExitDone, exported.exitCode);
  EXPECT_TRUE(reference.recorder.writes.empty()) << "an export writes nothing";
  EXPECT_TRUE(Contains(exported.printed, L"跳过 WudfSvc：本机没有此服务\r\n"));
  EXPECT_TRUE(Contains(exported.printed, L"跳过 Themes：启动方式 1 不是 2、3 或 4\r\n"));
  EXPECT_TRUE(Contains(exported.printed,
                       L"完成：已把 54 项服务的启动方式导出到 D:\\svctune.inf，跳过 2 项。"));

  Machine other;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (other.keys.Exists(Ascii(entry.serviceKey))) {
      other.keys.SetStart(Ascii(entry.serviceKey), entry.number % 3 + 2);
    }
  }
  other.keys.SetStart("Themes", 4);
  other.platform.files = reference.platform.files;
  const CommandOutcome applied = other.Run({L"/apply", L"D:\\svctune.inf"});
  EXPECT_EQ(kExitDone, applied.exitCode) << ToUtf8(applied.printed);
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (entry.serviceKey != L"Themes") {
      EXPECT_EQ(reference.keys.Start(Ascii(entry.serviceKey)),
                other.keys.Start(Ascii(entry.serviceKey)))
          << Ascii(entry.serviceKey);
    }
  }
  EXPECT_EQ(4, other.keys.Start("Themes")) << "left out of the template";

  const CommandOutcome registryFile = reference.Run({L"/export", L"D:\\backup.reg"});
  EXPECT_EQ(kExitDone, registryFile.exitCode);
  EXPECT_EQ(0u, reference.platform.files[L"D:\\backup.reg"].find("REGEDIT4\r\n"));
  reference.platform.writable = false;
  const CommandOutcome refused = reference.Run({L"/export", L"D:\\again.reg"});
  EXPECT_EQ(kExitBadArguments, refused.exitCode);
  EXPECT_TRUE(Contains(refused.printed, L"无法写入文件 D:\\again.reg：拒绝访问"));
}

TEST(CommandRun, DisablingAServiceAnAutomaticOneNeedsIsWarnedOfAfterTheRun) {
  Machine machine;
  machine.AddService("MadeUpAuto", 2, std::string("Alerter\0\0", 9));
  machine.AddService("MadeUpManual", 3, std::string("Messenger\0\0", 11));
  // Browser needs the server, and the same run disables both: nothing is kept from starting.
  machine.AddService("Browser", 2, std::string("lanmanserver\0\0", 14));
  const CommandOutcome outcome = machine.Run({L"/preset", L"1"});
  EXPECT_EQ(kExitDone, outcome.exitCode);
  EXPECT_TRUE(Contains(outcome.printed,
                       L"警告 已禁用 Alerter，依赖它的自动启动服务将无法启动：MadeUpAuto\r\n"));
  EXPECT_FALSE(Contains(outcome.printed, L"MadeUpManual"));
  EXPECT_FALSE(Contains(outcome.printed, L"已禁用 lanmanserver"));

  // Choosing "手动优化" disables nothing.
  const CommandOutcome manual = machine.Run({L"/manual"});
  EXPECT_FALSE(Contains(manual.printed, L"警告"));
}

TEST(CommandRun, WritesThatDoNotTakeAreFailuresNamedOneByOne) {
  Machine machine;
  machine.registry.DenyChanges(registry::kLocalMachine,
                               "SYSTEM\\CurrentControlSet\\Services\\Alerter");
  machine.registry.DenyChanges(registry::kLocalMachine,
                               "SYSTEM\\CurrentControlSet\\Services\\Messenger");
  const CommandOutcome outcome = machine.Run({L"/preset", L"1"});
  EXPECT_EQ(kExitSomeWritesFailed, outcome.exitCode);
  EXPECT_TRUE(Contains(outcome.printed, L"失败 Alerter：未能写入 禁用(4)，现为 手动(3)\r\n"));
  EXPECT_TRUE(Contains(outcome.printed, L"失败 Messenger：未能写入 禁用(4)，现为 手动(3)\r\n"));
  EXPECT_TRUE(Contains(outcome.printed, L"失败 2 项。"));
}

TEST(CommandRun, AChangeFromADamagedStartTypeSaysWhatWasThere) {
  Machine machine;
  machine.access.WriteSetting(L"", L"", L"Start", std::wstring(L"4"), registry::kLocalMachine,
                              L"SYSTEM\\CurrentControlSet\\Services\\Alerter", registry::kRegSz);
  const CommandOutcome outcome = machine.Run({L"/preset", L"1"});
  EXPECT_TRUE(
      Contains(outcome.printed,
               L"已更改 Alerter：启动方式已损坏（Start 是 REG_SZ，不是 REG_DWORD） -> 禁用(4)\r\n"))
      << ToUtf8(outcome.printed);
}

// TQSE.ini held open by another program (or unreadable): a run that must drop the saved preset
// selection cannot, and changes nothing that the next start would then undo.
TEST(CommandRun, ARunThatCannotDropThePresetSelectionChangesNothing) {
  for (const bool unreadable : {false, true}) {
    for (const Arguments& arguments :
         {Arguments{L"/apply", L"C:\\policy.inf"}, Arguments{L"/restore"}}) {
      Machine machine;
      machine.platform.files[L"C:\\policy.inf"] = SeceditTemplate();
      ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
      machine.presetFile.writable = false;
      machine.presetFile.unreadable = unreadable;
      const std::map<std::string, std::wstring> before = machine.Snapshot();
      machine.recorder.writes.clear();

      const CommandOutcome outcome = machine.Run(arguments);
      EXPECT_EQ(kExitBadArguments, outcome.exitCode) << ToUtf8(outcome.printed);
      EXPECT_EQ(0u, outcome.printed.find(L"错误：无法保存预设列表 TQSE.ini："))
          << ToUtf8(outcome.printed);
      EXPECT_TRUE(Contains(outcome.printed, L"未写入任何内容。\r\n"));
      EXPECT_TRUE(machine.recorder.writes.empty());
      EXPECT_EQ(before, machine.Snapshot());
    }
  }
}

// The saved 禁用 of Alerter cannot be changed: writing 2 would last only until the next start,
// which ticks the saved 禁用 again. The run writes nothing for Alerter and says so.
TEST(CommandRun, AServiceWhoseChoiceCannotBeSavedIsNotWrittenAndFails) {
  Machine machine;
  machine.platform.files[L"C:\\t.inf"] =
      "\xFF\xFE" + ToUtf16Le(
                       L"[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n"
                       L"\"Alerter\",2,\"\"\r\n\"Spooler\",3,\"\"\r\n"
                       L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
  ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
  const std::string stem =
      Ascii(ServiceCatalogue::BoxStem(ServiceCatalogue::FindEntry(1)->disabledBox));
  machine.registry.DenyChanges(registry::kLocalMachine, "SOFTWARE\\App" + stem + "Chek");

  const CommandOutcome outcome = machine.Run({L"/apply", L"C:\\t.inf"});
  EXPECT_EQ(kExitSomeWritesFailed, outcome.exitCode);
  EXPECT_TRUE(Contains(outcome.printed,
                       L"失败 Alerter：未能写入 自动(2)，现为 禁用(4)：所选未能保存（无法写入 "))
      << ToUtf8(outcome.printed);
  EXPECT_TRUE(Contains(outcome.printed, L"已更改 Spooler："));
  EXPECT_EQ(4, machine.keys.Start("Alerter"));
  {
    testing::RecordingPresenter messages;
    HeadlessFormhomeHost host;
    Formhome form(machine.access, machine.presetFile, testing::ChineseAnsiCodec(), messages, host);
    form.Load();
  }
  EXPECT_EQ(4, machine.keys.Start("Alerter")) << "the next start agrees with the run";
  EXPECT_EQ(3, machine.keys.Start("Spooler"));
}

TEST(CommandRun, ManualClearsThePresetsChoicesAsTheWindowsOptionDoes) {
  Machine machine;
  ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
  const CommandOutcome manual = machine.Run({L"/manual"});
  EXPECT_EQ(kExitDone, manual.exitCode);
  EXPECT_EQ(2, machine.keys.Start("Alerter")) << "an unticked 禁用 box writes 2";
  EXPECT_EQ(L"True", machine.Snapshot()["Saved tqxzza"]);
  EXPECT_FALSE(Contains(manual.printed, L"本来就已选中"));

  const CommandOutcome again = machine.Run({L"/manual"});
  EXPECT_EQ(kExitDone, again.exitCode);
  EXPECT_TRUE(Contains(again.printed, L"说明 “手动优化”本来就已选中"));
  EXPECT_TRUE(Contains(again.printed, L"完成：更改 0 项"));
  EXPECT_EQ(2, machine.keys.Start("Alerter"));
}

TEST(CommandRun, RestoreGoesBackToTheFirstStartsStartTypesAndNamesWhatItCannot) {
  Machine machine;
  machine.keys.SetStart("Alerter", 2);
  ASSERT_EQ(kExitDone, machine.Run({L"/preset", L"1"}).exitCode);
  ASSERT_EQ(4, machine.keys.Start("Alerter"));
  machine.access.WriteSetting(L"", L"", L"ALG", std::wstring(L"3"), registry::kLocalMachine,
                              kOriginalStartTypesBase, registry::kRegSz);

  const CommandOutcome restored = machine.Run({L"/restore"});
  EXPECT_EQ(kExitDone, restored.exitCode) << ToUtf8(restored.printed);
  EXPECT_EQ(2, machine.keys.Start("Alerter"));
  EXPECT_EQ(3, machine.keys.Start("Browser"));
  EXPECT_EQ(4, machine.keys.Start("ALG")) << "a damaged record is not restored";
  EXPECT_TRUE(Contains(restored.printed, L"已更改 Alerter：禁用(4) -> 自动(2)\r\n"));
  EXPECT_TRUE(Contains(restored.printed, L"跳过 ALG：初始设置的记录已损坏\r\n"));
  EXPECT_TRUE(Contains(restored.printed, L"跳过 WudfSvc：没有初始设置的记录\r\n"));
  EXPECT_TRUE(Contains(machine.Snapshot()["TQSE.ini"], L"\r\n-1\r\n"))
      << "the next start applies no preset";

  Machine noRights;
  noRights.registry.DenyChanges(registry::kLocalMachine, "Software\\Hollin Soft");
  noRights.recorder.writes.clear();
  const CommandOutcome refused = noRights.Run({L"/restore"});
  EXPECT_EQ(kExitSomeWritesFailed, refused.exitCode);
  EXPECT_EQ(L"错误：没有记录到初始设置，无法还原。\r\n", refused.printed);
  EXPECT_TRUE(noRights.recorder.StartWrites().empty());
}

TEST(CommandRun, ExportAllAddsTheServicesOutsideTheCatalogue) {
  Machine machine;
  machine.AddService("MadeUpSvc", 4, "");
  for (const bool all : {false, true}) {
    Arguments arguments = {L"/export", L"C:\\all.reg"};
    if (all) {
      arguments.push_back(L"/all");
    }
    EXPECT_EQ(kExitDone, machine.Run(arguments).exitCode);
    EXPECT_EQ(all, machine.platform.files[L"C:\\all.reg"].find("Services\\MadeUpSvc]") !=
                       std::string::npos);
  }
}

// /apply sets every service the template names that this machine has, within the refusals of
// the list of all services: one failure line for each refused or unwritten service; a start mode
// other than 2, 3 or 4 is skipped. A template naming no catalogue service sets them all the same.
TEST(CommandRun, ApplySetsServicesOutsideTheCatalogueWithinTheListsRefusals) {
  for (const std::wstring catalogueLine : {L"\"Alerter\",3,\"\"\r\n", L""}) {
    Machine machine;
    for (const std::string key :
         {"Microsoft SharePoint Workspace Audit Service", "RpcSs", "OtherSvc"}) {
      machine.AddService(key, 2, "");
    }
    machine.platform.files[L"C:\\t.inf"] =
        "\xFF\xFE" + ToUtf16Le(
                         L"[Unicode]\r\nUnicode=yes\r\n[Service General Setting]\r\n"
                         L"\"Microsoft SharePoint Workspace Audit Service\",4,\"\"\r\n"
                         L"\"RpcSs\",4,\"\"\r\n\"OtherSvc\",1,\"\"\r\n" +
                         catalogueLine + L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
    const CommandOutcome outcome = machine.Run({L"/apply", L"C:\\t.inf"});
    EXPECT_EQ(kExitSomeWritesFailed, outcome.exitCode);
    EXPECT_EQ(4, machine.keys.Start("Microsoft SharePoint Workspace Audit Service"));
    EXPECT_EQ(2, machine.keys.Start("RpcSs"));
    EXPECT_EQ(2, machine.keys.Start("OtherSvc"));
    for (const std::wstring line :
         {L"已更改 Microsoft SharePoint Workspace Audit Service：自动(2) -> 禁用(4)\r\n",
          L"失败 RpcSs：未能写入 禁用(4)，现为 自动(2)：", L"失败 1 项。",
          L"跳过 第 6 行 OtherSvc：启动方式 1 不是 2、3 或 4\r\n"}) {
      EXPECT_TRUE(Contains(outcome.printed, line)) << ToUtf8(outcome.printed);
    }
  }
}

// A service outside the catalogue changed in the list of all services (its original recorded
// first) is brought back by /restore like the 56, and named as changed.
TEST(CommandRun, RestoreBringsBackEveryServiceTheProgramChanged) {
  Machine machine;
  machine.AddService("MadeUpSvc", 3, "");
  machine.AddService("OtherSvc", 2, "");
  ServiceChanges changes(machine.access, WindowsVersion{});
  const ServiceInventory inventory =
      ServiceInventory::Read(machine.registry, testing::ChineseAnsiCodec());
  for (const ServiceKeyRecord& record : inventory.Records()) {
    if (record.key == L"MadeUpSvc") {
      ASSERT_TRUE(changes.Change({&record}, StartChoice::kDisabled).failures.empty());
    }
  }
  machine.keys.SetStart("OtherSvc", 4);  // changed elsewhere: nothing recorded, left alone
  ASSERT_EQ(4, machine.keys.Start("MadeUpSvc"));

  const CommandOutcome outcome = machine.Run({L"/restore"});
  EXPECT_EQ(kExitDone, outcome.exitCode) << ToUtf8(outcome.printed);
  EXPECT_EQ(3, machine.keys.Start("MadeUpSvc"));
  EXPECT_EQ(4, machine.keys.Start("OtherSvc"));
  EXPECT_TRUE(Contains(outcome.printed, L"已更改 MadeUpSvc：禁用(4) -> 手动(3)\r\n"))
      << ToUtf8(outcome.printed);
  EXPECT_FALSE(Contains(outcome.printed, L"OtherSvc"));
}

TEST(CommandRun, TheLogGetsEachRunHeadedByTheTimeAndTheArgumentsWithoutThePassword) {
  Machine machine;
  machine.SetStartupPassword(L"开门芝麻");
  const Arguments wrong = {L"/log", L"C:\\logs\\svctune.log", L"/password", L"不对", L"/manual"};
  const CommandOutcome refused = machine.Run(wrong);
  const Arguments right = {L"/log", L"C:\\logs\\svctune.log", L"/password", L"开门芝麻",
                           L"/manual"};
  const CommandOutcome done = machine.Run(right);
  EXPECT_EQ(FormatLogEntry({2024, 5, 6, 7, 8, 9}, wrong, refused.printed, true) +
                FormatLogEntry({2024, 5, 6, 7, 8, 9}, right, done.printed, false),
            machine.platform.files[L"C:\\logs\\svctune.log"]);
  EXPECT_EQ(std::string::npos,
            machine.platform.files[L"C:\\logs\\svctune.log"].find(ToUtf8(L"开门芝麻")));

  machine.platform.writable = false;
  const CommandOutcome unlogged = machine.Run(right);
  EXPECT_EQ(kExitDone, unlogged.exitCode) << "the run itself went well";
  EXPECT_TRUE(
      Contains(unlogged.printed, L"警告 无法写入日志文件 C:\\logs\\svctune.log：拒绝访问\r\n"));
}

}  // namespace
}  // namespace svctune
