#include "optimizer/formhome.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "optimizer/machine_start_types.h"
#include "program_info.h"
#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry/memory_registry.h"
#include "memory_preset_file.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

using testing::MemoryPresetFile;

class FakeHost final : public FormhomeHost {
 public:
  bool RunLoginPrompt() override {
    ++prompts;
    return acceptLogin;
  }
  void BringToFront() override { ++broughtToFront; }
  void CloseWindow() override { ++closes; }
  void Minimize() override { ++minimised; }
  void OpenAccessGate() override { ++gates; }
  void OpenWebPage(std::wstring_view url) override { pages.emplace_back(url); }
  void TrimWorkingSet(std::size_t minimum, std::size_t maximum) override {
    trims.emplace_back(minimum, maximum);
  }
  void StartStartupTimer() override { ++timersStarted; }

  bool acceptLogin = true;
  int prompts = 0;
  int broughtToFront = 0;
  int closes = 0;
  int minimised = 0;
  int gates = 0;
  int timersStarted = 0;
  std::vector<std::wstring> pages;
  std::vector<std::pair<std::size_t, std::size_t>> trims;
};

// One start of the program over a registry and a preset file that outlive it.
class FormhomeTest : public ::testing::Test {
 protected:
  FormhomeTest()
      : registry_(testing::ChineseAnsiCodec()), recorder_(registry_), services_(registry_) {
    services_.InstallAll();
  }

  Formhome& Start() {
    form_.reset();
    access_ = std::make_unique<registry::RegistryAccess>(recorder_, testing::ChineseAnsiCodec(),
                                                         messages_, std::wstring(kProgramTitle));
    form_ = std::make_unique<Formhome>(*access_, presetFile_, testing::ChineseAnsiCodec(),
                                       messages_, host_);
    form_->Load();
    return *form_;
  }

  registry::Variant Saved(const std::wstring& stem) {
    registry::RegistryAccess reader(registry_, testing::ChineseAnsiCodec(), messages_, L"");
    return reader.ReadSetting(L"App" + stem + L"Chek", stem + L"Chek", stem + L"ChekValue",
                              L"<none>", registry::kLocalMachine, L"SOFTWARE", false);
  }
  void Save(const std::wstring& stem, const registry::Variant& value,
            std::uint32_t type = registry::kRegSz) {
    registry::RegistryAccess writer(registry_, testing::ChineseAnsiCodec(), messages_, L"");
    writer.WriteSetting(L"App" + stem + L"Chek", stem + L"Chek", stem + L"ChekValue", value,
                        registry::kLocalMachine, L"SOFTWARE", type);
  }
  registry::Variant Store(const wchar_t* name) {
    registry::RegistryAccess reader(registry_, testing::ChineseAnsiCodec(), messages_, L"");
    return reader.ReadSetting(L"", L"Pardell", name, L"<none>", registry::kLocalMachine,
                              L"Software\\Hollin Soft", false);
  }
  void SetEnablePassword(std::int32_t value) {
    registry::RegistryAccess writer(registry_, testing::ChineseAnsiCodec(), messages_, L"");
    writer.CreateKeyByPath(std::wstring(kProgramKeyPath));
    writer.SetDwordByPath(std::wstring(kProgramKeyPath), L"EnablePassword", value);
  }

  registry::MemoryRegistry registry_;
  testing::RecordingRegistry recorder_;
  testing::ServiceKeys services_;
  testing::RecordingPresenter messages_;
  MemoryPresetFile presetFile_;
  FakeHost host_;
  std::unique_ptr<registry::RegistryAccess> access_;
  std::unique_ptr<Formhome> form_;
};

TEST_F(FormhomeTest, FirstStartRecordsTheProgramAndTouchesNoService) {
  Formhome& form = Start();
  EXPECT_EQ(registry::Variant(0), Store(L"FirstRun"));
  EXPECT_EQ(registry::Variant(std::wstring(L"Oren Vask")), Store(L"Author"));
  EXPECT_EQ(registry::Variant(std::wstring(L"Hollin?Soft")), Store(L"Company"));
  EXPECT_EQ(registry::Variant(std::wstring(kProgramTitle)), Store(L"Product"));
  EXPECT_EQ(registry::Variant(std::wstring(L"1.1.0")), Store(L"Version"));
  EXPECT_EQ(registry::Variant(std::wstring(kEmail)), Store(L"Email"));
  EXPECT_EQ(registry::Variant(std::wstring(kDownloadUrl)), Store(L"Url"));

  std::vector<std::string> keys;
  for (const auto& write : recorder_.writes) {
    keys.push_back(write.key + "\\" + write.name);
  }
  EXPECT_EQ((std::vector<std::string>{"HKLM\\Software\\Hollin Soft\\Pardell\\FirstRun",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Author",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Email",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Company",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Url",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Product",
                                      "HKLM\\Software\\Hollin Soft\\Pardell\\Version"}),
            keys)
      << "no Start value and no settings value is written at a first start";

  registry::KeyHandle key = 0;
  for (const char* policy : {"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp",
                             "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions",
                             "Software\\Policies\\Microsoft\\Internet Explorer\\Toolbars\\"
                             "Restrictions"}) {
    EXPECT_EQ(registry::kSuccess,
              registry_.RegOpenKeyExA(registry::kCurrentUser, policy, 0, registry::kKeyRead, &key))
        << policy;
    registry_.RegCloseKey(key);
  }

  EXPECT_TRUE(form.Modes().Items().empty());
  EXPECT_EQ(-1, form.Modes().ListIndex());
  EXPECT_TRUE(form.Modes().OptionSelected(1));
  for (int box : ServiceCatalogue::BoxNumbers()) {
    EXPECT_EQ(kUnticked, form.Triads().State(box));
    EXPECT_TRUE(form.Triads().Enabled(box));
  }
  EXPECT_EQ(0, presetFile_.writes);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(1, host_.timersStarted);
}

TEST_F(FormhomeTest, SavedStatesAreAppliedAndOutliveARunWithoutShutdown) {
  Save(L"tqala", std::wstring(L"0"));
  Save(L"tqalb", std::wstring(L"0"));
  Save(L"tqalc", std::wstring(L"1"));
  Formhome& form = Start();
  EXPECT_EQ(kTicked, form.Triads().State(3));
  EXPECT_FALSE(form.Triads().Enabled(1));
  EXPECT_FALSE(form.Triads().Enabled(2));
  EXPECT_EQ((std::vector<std::string>{"Alerter=4"}), recorder_.StartWrites());
  EXPECT_EQ(7u + 1u, recorder_.writes.size()) << "the information block and Alerter: the load "
                                                 "saves nothing it has just read";
  EXPECT_EQ(registry::Variant(std::wstring(L"1")), Saved(L"tqalc"));

  // The process is killed: no shutdown. The next start still finds the user's choice.
  recorder_.writes.clear();
  Formhome& again = Start();
  EXPECT_EQ(kTicked, again.Triads().State(3));
  EXPECT_EQ((std::vector<std::string>{"Alerter=4"}), recorder_.StartWrites());
}

TEST_F(FormhomeTest, ShutdownRunsOnceAndOnlyAfterTheLoadStep) {
  presetFile_.content = FormatPresetFile({L"细致优化"}, -1, testing::ChineseAnsiCodec());
  Save(L"tqalc", std::wstring(L"1"));
  access_ = std::make_unique<registry::RegistryAccess>(recorder_, testing::ChineseAnsiCodec(),
                                                       messages_, std::wstring(kProgramTitle));
  Formhome unloaded(*access_, presetFile_, testing::ChineseAnsiCodec(), messages_, host_);
  unloaded.Unload();
  EXPECT_TRUE(recorder_.writes.empty()) << "a window that never loaded saves nothing";
  EXPECT_EQ(0, presetFile_.writes);
  EXPECT_EQ(registry::Variant(std::wstring(L"1")), Saved(L"tqalc"));

  Formhome& form = Start();
  recorder_.writes.clear();
  form.Unload();
  form.Unload();
  EXPECT_EQ(170u, recorder_.writes.size());
  EXPECT_EQ(1, presetFile_.writes);
}

// A file that was not read whole is kept as TQSE.ini.bak before the shutdown replaces it, and
// left as it is when even that copy fails. A file that could not be read at all (held open by
// another program) is left as it is: the empty list is not written over it.
TEST_F(FormhomeTest, APresetFileNotReadWholeIsKeptBesideTheNewOne) {
  const std::string whole = FormatPresetFile({L"细致优化"}, 0, testing::ChineseAnsiCodec());
  const std::string damaged = "2\r\n\"a\"\r\n";
  const struct {
    std::string file;
    bool unreadable;
    bool backupPossible;
    std::optional<std::string> backup;
    std::string afterwards;
    int writes;
  } cases[] = {
      {whole, false, true, std::nullopt, whole, 1},
      {damaged, false, true, damaged, "1\r\n\"a\"\r\n-1\r\n", 1},
      {damaged, false, false, std::nullopt, damaged, 0},
      {whole, true, true, std::nullopt, whole, 0},
  };
  for (const auto& test : cases) {
    presetFile_.content = test.file;
    presetFile_.backup.reset();
    presetFile_.backupPossible = test.backupPossible;
    presetFile_.unreadable = test.unreadable;
    presetFile_.writes = 0;
    Formhome& form = Start();
    EXPECT_EQ(test.unreadable, form.Modes().Items().empty());
    form.Unload();
    EXPECT_EQ(test.backup, presetFile_.backup) << test.file;
    EXPECT_EQ(test.afterwards, presetFile_.content) << test.file;
    EXPECT_EQ(test.writes, presetFile_.writes) << test.file;
  }
}

// Once a damaged file has been kept and replaced, later writes replace only the program's own
// file: the copy keeps what the user had.
TEST_F(FormhomeTest, TheCopyOfADamagedFileIsMadeOnce) {
  presetFile_.content = testing::ChineseAnsiCodec().ToAnsi(
      std::wstring(L"2\r\n\"细致优化\"\r\n\"普通优化\"\r\n-1\r\n\"more\"\r\n"));
  const std::string original = *presetFile_.content;
  Formhome& form = Start();
  form.Modes().SetOption(2, true);
  form.Modes().ChooseItem(0);
  form.Modes().ChooseItem(1);
  form.Unload();
  EXPECT_EQ(1, presetFile_.backups);
  EXPECT_EQ(original, presetFile_.backup);
  EXPECT_EQ(FormatPresetFile({L"细致优化", L"普通优化"}, 1, testing::ChineseAnsiCodec()),
            presetFile_.content);
}

// The choices are saved as they change, each before the start type it leads to, and only what
// changed: a process killed right after a change brings that change back at the next start,
// without passing through the older choice.
TEST_F(FormhomeTest, ChoicesAreSavedAsTheyChangeSoAKillKeepsTheLatest) {
  presetFile_.content =
      FormatPresetFile({L"细致优化", L"普通优化"}, -1, testing::ChineseAnsiCodec());
  Formhome& first = Start();
  first.Modes().SetOption(2, true);
  first.Modes().ChooseItem(1);
  first.Unload();

  Formhome& second = Start();
  ASSERT_EQ(1, second.Modes().ListIndex());
  recorder_.writes.clear();
  second.Modes().ChooseItem(0);
  EXPECT_EQ(FormatPresetFile({L"细致优化", L"普通优化"}, 0, testing::ChineseAnsiCodec()),
            presetFile_.content)
      << "the new selection is saved";
  // Each of the five entries where the presets differ: 禁用 saved, 4 written, 自动 saved.
  std::vector<std::string> written;
  for (const auto& write : recorder_.writes) {
    written.push_back(write.name == "Start" ? "Start" : write.name + "=" + write.data.substr(0, 1));
  }
  std::vector<std::string> expected;
  for (int number : ServiceCatalogue::ReadingOrder()) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(number);
    if (entry.thorough != entry.ordinary) {
      auto value = [](int box, const char* text) {
        std::string stem;
        for (wchar_t c : ServiceCatalogue::BoxStem(box)) {
          stem += static_cast<char>(c);
        }
        return stem + "ChekValue=" + text;
      };
      expected.insert(expected.end(),
                      {value(entry.disabledBox, "1"), "Start", value(entry.automaticBox, "0")});
    }
  }
  EXPECT_EQ(expected, written);

  // Killed: no shutdown. The next start applies 细致优化 and nothing else.
  recorder_.writes.clear();
  Formhome& third = Start();
  EXPECT_EQ(0, third.Modes().ListIndex());
  const std::vector<std::string> starts = recorder_.StartWrites();
  EXPECT_EQ(56u, starts.size());
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(kTicked, third.Triads().State(entry.BoxOf(entry.thorough))) << entry.number;
    EXPECT_EQ(static_cast<int>(entry.thorough),
              services_.Start(std::string(entry.serviceKey.begin(), entry.serviceKey.end())));
  }
  for (const std::string& start : starts) {
    EXPECT_EQ(std::string::npos, start.find("=2")) << start << ": no older choice on the way";
  }
}

// The restore drops the preset selection and saves the unticked boxes as it goes, so the next
// start, killed or not in between, writes nothing over the start types it brought back.
TEST_F(FormhomeTest, ARestoreIsNotUndoneByTheNextStart) {
  NoServiceManager manager;
  class Yes final : public Confirmation {
   public:
    bool AskYesNo(std::wstring_view, std::wstring_view) override { return true; }
  } yes;
  services_.InstallAll(3);
  presetFile_.content =
      FormatPresetFile({L"细致优化", L"普通优化"}, -1, testing::ChineseAnsiCodec());
  Formhome& form = Start();
  MachineStartTypes machine(*access_, form.Triads(), manager);
  machine.RecordOriginals();
  form.Modes().SetOption(2, true);
  form.Modes().ChooseItem(0);
  machine.OnRestoreClick(form.Modes(), form.Choices(), yes, messages_);
  EXPECT_EQ(3, services_.Start("Alerter"));

  recorder_.writes.clear();
  Start();
  EXPECT_TRUE(recorder_.StartWrites().empty());
  EXPECT_EQ(3, services_.Start("Alerter"));
}

// TQSE.ini unreadable at the start, or held open so that it cannot be replaced: the restore
// cannot drop the preset selection, and a restore the next start would undo is not begun.
TEST_F(FormhomeTest, ARestoreThatCannotSaveThePresetListChangesNoService) {
  NoServiceManager manager;
  class Yes final : public Confirmation {
   public:
    bool AskYesNo(std::wstring_view, std::wstring_view) override { return true; }
  } yes;
  for (const bool unreadableAtStart : {false, true}) {
    services_.InstallAll(3);
    presetFile_.unreadable = false;
    presetFile_.writable = true;
    presetFile_.content = FormatPresetFile({L"细致优化"}, -1, testing::ChineseAnsiCodec());
    Formhome& chosen = Start();
    MachineStartTypes first(*access_, chosen.Triads(), manager);
    first.RecordOriginals();
    chosen.Modes().SetOption(2, true);
    chosen.Modes().ChooseItem(0);
    ASSERT_EQ(4, services_.Start("Alerter"));

    presetFile_.unreadable = unreadableAtStart;
    Formhome& form = Start();
    // Unreadable at the start, the file is not replaced even once it could be: what it selects
    // is not known.
    presetFile_.unreadable = false;
    presetFile_.writable = unreadableAtStart;
    MachineStartTypes machine(*access_, form.Triads(), manager);
    messages_.shown.clear();
    recorder_.writes.clear();
    machine.OnRestoreClick(form.Modes(), form.Choices(), yes, messages_);
    EXPECT_TRUE(recorder_.StartWrites().empty()) << unreadableAtStart;
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_NE(std::wstring::npos, messages_.shown[0].text.find(L"无法保存预设列表 TQSE.ini"));
    EXPECT_EQ(4, services_.Start("Alerter"));
  }
}

TEST_F(FormhomeTest, PresetFromTheFileComesFirstThenTheSavedStates) {
  presetFile_.content =
      FormatPresetFile({L"细致优化", L"普通优化"}, 1, testing::ChineseAnsiCodec());
  Save(L"tqalc", std::wstring(L"0"));  // Check3, which the preset ticks
  Formhome& form = Start();
  EXPECT_EQ(1, form.Modes().ListIndex());
  EXPECT_EQ(kUnticked, form.Triads().State(3));
  const std::vector<std::string> starts = recorder_.StartWrites();
  ASSERT_EQ(56u + 1u, starts.size());
  EXPECT_EQ("Alerter=4", starts.front());
  EXPECT_EQ("Alerter=2", starts.back()) << "the saved 0 unticks 禁用, which writes 2";
  EXPECT_EQ(2, services_.Start("Alerter"));
}

TEST_F(FormhomeTest, SavedModeRunsTheOptionHandlerOnlyWhenItSelects) {
  Save(L"tqxzza", std::wstring(L"False"));
  Save(L"tqxzzb", std::wstring(L"True"));
  Formhome& form = Start();
  EXPECT_TRUE(form.Modes().OptionSelected(2));
  EXPECT_FALSE(form.Modes().OptionSelected(1));
  EXPECT_TRUE(form.Modes().ListEnabled());

  Save(L"tqalc", std::wstring(L"1"));
  Save(L"tqxzza", std::wstring(L"True"));
  Save(L"tqxzzb", std::wstring(L"False"));
  Formhome& manual = Start();
  EXPECT_TRUE(manual.Modes().OptionSelected(1));
  EXPECT_EQ(kTicked, manual.Triads().State(3)) << "Option1 was selected already: nothing ran";
}

TEST_F(FormhomeTest, SavedTextsOtherThanTheWrittenOnesLeaveTheControlAlone) {
  Save(L"tqala", std::wstring(L"3"));
  Save(L"tqalb", std::wstring(L"yes"));
  Save(L"tqalc", std::wstring(L"1"), registry::kRegDword);
  Save(L"tqlga", std::wstring(L"-1"));
  Save(L"tqxzzb", std::wstring(L"1"));
  Formhome& form = Start();
  for (int box : {1, 2, 3, 4}) {
    EXPECT_EQ(kUnticked, form.Triads().State(box)) << "Check" << box;
  }
  EXPECT_TRUE(form.Modes().OptionSelected(1));
  EXPECT_TRUE(recorder_.StartWrites().empty());
}

TEST_F(FormhomeTest, PasswordGateRunsOnTheThirdTickOnly) {
  SetEnablePassword(1);
  Formhome& form = Start();
  EXPECT_FALSE(form.AcceptsInput());
  form.OnTimer2();
  form.OnTimer2();
  EXPECT_EQ(0, host_.prompts);
  form.OnTimer2();
  EXPECT_EQ(1, host_.prompts);
  EXPECT_TRUE(form.AcceptsInput());
  EXPECT_EQ(0, host_.closes);
  for (int tick = 0; tick < 40000; ++tick) {
    form.OnTimer2();
  }
  EXPECT_EQ(1, host_.prompts);
  EXPECT_EQ(32767, form.StartupCounter());
}

TEST_F(FormhomeTest, CancelledPromptClosesTheWindow) {
  SetEnablePassword(1);
  host_.acceptLogin = false;
  Formhome& form = Start();
  for (int tick = 0; tick < 3; ++tick) {
    form.OnTimer2();
  }
  EXPECT_EQ(1, host_.closes);
  EXPECT_FALSE(form.AcceptsInput());
}

TEST_F(FormhomeTest, WithoutAPasswordTheWindowComesToTheFront) {
  for (std::int32_t value : {0, 2}) {
    SetEnablePassword(value);
    Formhome& form = Start();
    for (int tick = 0; tick < 3; ++tick) {
      form.OnTimer2();
    }
    EXPECT_TRUE(form.AcceptsInput());
  }
  EXPECT_EQ(0, host_.prompts);
  EXPECT_EQ(2, host_.broughtToFront);
}

TEST_F(FormhomeTest, ShutdownSavesTheListAndEveryControlAndTheNextStartRestoresThem) {
  Formhome& form = Start();
  form.Modes().AddItems({L"细致优化", L"普通优化"});
  form.Modes().SetOption(2, true);
  form.Modes().ChooseItem(0);
  form.Triads().SetState(1, kGreyed);
  recorder_.writes.clear();
  form.Unload();

  EXPECT_EQ(FormatPresetFile({L"细致优化", L"普通优化"}, 0, testing::ChineseAnsiCodec()),
            presetFile_.content);
  int ticked = 0;
  for (int box : ServiceCatalogue::BoxNumbers()) {
    const registry::Variant saved = Saved(ServiceCatalogue::BoxStem(box));
    ticked += saved == registry::Variant(std::wstring(L"1")) ? 1 : 0;
  }
  EXPECT_EQ(56, ticked);
  EXPECT_EQ(registry::Variant(std::wstring(L"2")), Saved(L"tqala"));
  EXPECT_EQ(registry::Variant(std::wstring(L"False")), Saved(L"tqxzza"));
  EXPECT_EQ(registry::Variant(std::wstring(L"True")), Saved(L"tqxzzb"));
  EXPECT_EQ(170u, recorder_.writes.size());
  EXPECT_TRUE(recorder_.StartWrites().empty()) << "closing changes no service";

  Formhome& next = Start();
  EXPECT_EQ(0, next.Modes().ListIndex());
  EXPECT_TRUE(next.Modes().OptionSelected(2));
  EXPECT_EQ(kGreyed, next.Triads().State(1));
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(kTicked, next.Triads().State(entry.BoxOf(entry.thorough))) << entry.number;
  }
}

TEST_F(FormhomeTest, EmptyListIsSavedAsCountAndNoSelection) {
  Start().Unload();
  EXPECT_EQ(std::string("0\r\n-1\r\n"), presetFile_.content);
}

TEST_F(FormhomeTest, AFailedPresetFileWriteStillSavesTheControls) {
  presetFile_.content = "1\r\n\"keep\"\r\n-1\r\n";
  presetFile_.writable = false;
  Formhome& form = Start();
  form.Triads().SetState(3, kTicked);
  form.Unload();
  EXPECT_EQ(std::string("1\r\n\"keep\"\r\n-1\r\n"), presetFile_.content);
  EXPECT_EQ(registry::Variant(std::wstring(L"1")), Saved(L"tqalc"));
}

TEST_F(FormhomeTest, HoverHelpKeepsOneTextPerPage) {
  Formhome& form = Start();
  form.OnCaptionMouseMove(3);
  form.OnCaptionMouseMove(51);
  EXPECT_EQ(ServiceCatalogue::FindEntry(51)->hoverText, form.Description(2));
  EXPECT_EQ(ServiceCatalogue::FindEntry(3)->hoverText, form.Description(1));
  form.OnCaptionMouseMove(33);
  EXPECT_EQ(ServiceCatalogue::FindEntry(3)->hoverText, form.Description(1));
}

TEST_F(FormhomeTest, ChromeHandlersDoWhatTheirLabelsSay) {
  Formhome& form = Start();
  EXPECT_EQ(1, form.VisiblePage());
  form.OnLabel33Click();
  EXPECT_EQ(2, form.VisiblePage());
  form.OnLabel58Click();
  EXPECT_EQ(1, form.VisiblePage());

  recorder_.writes.clear();
  form.OnLblTaskCloseClick();
  ASSERT_EQ(1u, messages_.shown.size());
  EXPECT_EQ(L"系统服务优化完成，请重新启动计算机", messages_.shown[0].text);
  EXPECT_EQ(L"提示", messages_.shown[0].title);
  EXPECT_EQ(MessageIcon::kNone, messages_.shown[0].icon);
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_EQ(0, presetFile_.writes);

  form.OnLblCapClick(4);
  form.OnLblCapClick(5);
  form.OnLblCapClick(3);
  EXPECT_EQ(1, host_.gates);
  EXPECT_EQ((std::vector<std::wstring>{std::wstring(kBlogUrl)}), host_.pages);

  form.OnLabel162Click();
  EXPECT_EQ(1, host_.minimised);
  bool value = true;
  form.OnCmdEndValueChanged(value);
  EXPECT_EQ(1, host_.closes);
  form.OnTimer1();
  EXPECT_EQ((std::vector<std::pair<std::size_t, std::size_t>>{{50000, 100000}}), host_.trims);
}

}  // namespace
}  // namespace svctune
