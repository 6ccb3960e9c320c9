#include "optimizer/modes_and_presets.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "recording_presenter.h"
#include "recording_registry.h"
#include "registry_backend.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

using testing::BackendKind;

std::string KeyOf(const ServiceEntry& entry) {
  return std::string(entry.serviceKey.begin(), entry.serviceKey.end());
}

class ModesAndPresetsTest : public ::testing::TestWithParam<BackendKind> {
 protected:
  ModesAndPresetsTest()
      : backend_(testing::RegistryBackend::Create(GetParam())),
        recorder_(backend_->Api()),
        services_(backend_->Api()),
        access_(recorder_, testing::ChineseAnsiCodec(), messages_, L"svctune"),
        triads_(access_),
        modes_(triads_) {
    services_.InstallAll();
    modes_.AddItems({std::wstring(kThoroughPreset), std::wstring(kOrdinaryPreset), L"其他"});
    modes_.SetOption(2, true);
  }

  int TickedCount() const {
    int ticked = 0;
    for (int box : ServiceCatalogue::BoxNumbers()) {
      ticked += triads_.State(box) == kTicked ? 1 : 0;
    }
    return ticked;
  }

  std::unique_ptr<testing::RegistryBackend> backend_;
  testing::RecordingRegistry recorder_;
  testing::ServiceKeys services_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
  StartTypeTriads triads_;
  ModesAndPresets modes_;
};

TEST_P(ModesAndPresetsTest, ThoroughPresetTicksTheRecommendedBoxOfEveryEntryInReadingOrder) {
  modes_.ChooseItem(0);
  EXPECT_EQ(56, TickedCount());

  std::vector<std::string> expected;
  for (int number : ServiceCatalogue::ReadingOrder()) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(number);
    expected.push_back(KeyOf(entry) + "=" + std::to_string(static_cast<int>(entry.thorough)));
  }
  EXPECT_EQ(expected, recorder_.StartWrites());

  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(static_cast<int>(entry.thorough), services_.Start(KeyOf(entry)));
    for (int box : {entry.automaticBox, entry.manualBox, entry.disabledBox}) {
      const bool ticked = box == entry.BoxOf(entry.thorough);
      EXPECT_EQ(ticked ? kTicked : kUnticked, triads_.State(box)) << "Check" << box;
      EXPECT_EQ(ticked, triads_.Enabled(box)) << "Check" << box;
    }
  }
}

TEST_P(ModesAndPresetsTest, SwitchingToOrdinaryRewritesOnlyTheFiveDifferingEntries) {
  modes_.ChooseItem(0);
  recorder_.writes.clear();
  modes_.ChooseItem(1);
  EXPECT_EQ((std::vector<std::string>{"ClipSrv=2", "ClipSrv=2", "ImapiService=2", "ImapiService=2",
                                      "Spooler=2", "Spooler=2", "Themes=2", "Themes=2", "stisvc=2",
                                      "stisvc=2"}),
            recorder_.StartWrites());
  EXPECT_EQ(10u, recorder_.writes.size());
  EXPECT_EQ(56, TickedCount());
  for (int number : {6, 16, 35, 42, 57}) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(number);
    EXPECT_EQ(kTicked, triads_.State(entry.automaticBox));
    EXPECT_EQ(kUnticked, triads_.State(entry.disabledBox));
    EXPECT_TRUE(triads_.Enabled(entry.automaticBox));
    EXPECT_FALSE(triads_.Enabled(entry.manualBox)) << "the locked look is restored";
    EXPECT_FALSE(triads_.Enabled(entry.disabledBox));
  }

  // Back to thorough: ticking 禁用 writes 4; clearing 自动 writes nothing.
  recorder_.writes.clear();
  modes_.ChooseItem(0);
  EXPECT_EQ(5u, recorder_.StartWrites().size());
  for (int number : {6, 16, 35, 42, 57}) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(number);
    EXPECT_EQ(4, services_.Start(KeyOf(entry)));
    EXPECT_EQ(kUnticked, triads_.State(entry.automaticBox));
    EXPECT_FALSE(triads_.Enabled(entry.manualBox));
  }
}

TEST_P(ModesAndPresetsTest, ChoosingTheSamePresetAgainWritesNothing) {
  modes_.ChooseItem(1);
  recorder_.writes.clear();
  modes_.ChooseItem(1);
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_EQ(1, modes_.ListIndex());
}

TEST_P(ModesAndPresetsTest, ManualModeClearsEveryBoxAndResetsDisabledAndManualServices) {
  modes_.ChooseItem(1);
  recorder_.writes.clear();
  modes_.SetOption(1, true);
  EXPECT_FALSE(modes_.OptionSelected(2));
  EXPECT_FALSE(modes_.ListEnabled());
  EXPECT_EQ(1, modes_.ListIndex()) << "the list keeps its items and selection";
  EXPECT_EQ(0, TickedCount());
  for (int box : ServiceCatalogue::BoxNumbers()) {
    EXPECT_TRUE(triads_.Enabled(box)) << "Check" << box;
  }

  // Boxes are cleared by increasing number; only 手动 and 禁用 write, each the value 2.
  std::vector<std::string> expected;
  std::vector<int> boxes(ServiceCatalogue::BoxNumbers().begin(),
                         ServiceCatalogue::BoxNumbers().end());
  for (int box : boxes) {
    const BoxInfo info = *ServiceCatalogue::FindBox(box);
    if (box == info.entry->BoxOf(info.entry->ordinary) && info.type != StartType::kAutomatic) {
      expected.push_back(KeyOf(*info.entry) + "=2");
    }
  }
  EXPECT_EQ(expected, recorder_.StartWrites());
  for (int number : {6, 16, 35, 42, 57}) {
    EXPECT_EQ(2, services_.Start(KeyOf(*ServiceCatalogue::FindEntry(number))));
  }
}

TEST_P(ModesAndPresetsTest, OtherItemTextsAndTheChooseOptionChangeNoBox) {
  modes_.ChooseItem(2);
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_EQ(0, TickedCount());

  modes_.SetOption(1, true);
  triads_.SetState(3, kTicked);
  recorder_.writes.clear();
  modes_.SetOption(2, true);
  EXPECT_TRUE(modes_.ListEnabled());
  EXPECT_EQ(kTicked, triads_.State(3));
  EXPECT_TRUE(recorder_.writes.empty());
}

TEST_P(ModesAndPresetsTest, APresetLeavesEarlierTicksInPlace) {
  triads_.SetState(1, kTicked);
  modes_.ChooseItem(0);
  EXPECT_EQ(kTicked, triads_.State(1));
  EXPECT_EQ(kTicked, triads_.State(3));
  EXPECT_FALSE(triads_.Enabled(1));
  EXPECT_EQ(4, services_.Start("Alerter")) << "the preset's value is the last one written";
}

TEST_P(ModesAndPresetsTest, HandlersRunOnlyWhenTheSelectionChanges) {
  modes_.SetOption(1, true);
  triads_.SetState(3, kTicked);
  modes_.SetOption(1, true);
  EXPECT_EQ(kTicked, triads_.State(3)) << "an option already selected runs nothing";
  modes_.SetOption(2, false);
  EXPECT_TRUE(modes_.OptionSelected(1));

  modes_.SetOption(2, true);
  recorder_.writes.clear();
  EXPECT_TRUE(modes_.SetListIndex(-1));
  EXPECT_FALSE(modes_.SetListIndex(3));
  EXPECT_FALSE(modes_.SetListIndex(-2));
  EXPECT_TRUE(recorder_.writes.empty());
  EXPECT_TRUE(modes_.SetListIndex(0));
  EXPECT_EQ(55u, recorder_.StartWrites().size()) << "Check3 was ticked already";
  EXPECT_EQ(std::wstring(kThoroughPreset), modes_.ListText());

  recorder_.writes.clear();
  modes_.ClearList();
  EXPECT_EQ(-1, modes_.ListIndex());
  EXPECT_EQ(L"", modes_.ListText());
  EXPECT_TRUE(recorder_.writes.empty()) << "emptying the list chooses nothing";
}

INSTANTIATE_TEST_SUITE_P(Backends, ModesAndPresetsTest,
                         ::testing::ValuesIn(testing::AvailableBackends()),
                         [](const auto& info) { return testing::BackendName(info.param); });

}  // namespace
}  // namespace svctune
