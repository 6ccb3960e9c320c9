#include "optimizer/start_type_triads.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "recording_presenter.h"
#include "registry_backend.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

using testing::BackendKind;

constexpr std::int32_t kUntouched = testing::ServiceKeys::kUntouched;

class StartTypeTriadsTest : public ::testing::TestWithParam<BackendKind> {
 protected:
  StartTypeTriadsTest()
      : backend_(testing::RegistryBackend::Create(GetParam())),
        api_(backend_->Api()),
        services_(api_),
        access_(api_, testing::ChineseAnsiCodec(), messages_, L"svctune"),
        triads_(access_) {}

  void InstallService(const std::string& service) { services_.Install(service); }
  void ResetStart(const std::string& service) { services_.SetStart(service, kUntouched); }
  std::int32_t Start(const std::string& service) { return services_.Start(service); }

  std::unique_ptr<testing::RegistryBackend> backend_;
  registry::RegistryApi& api_;
  testing::ServiceKeys services_;
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_;
  StartTypeTriads triads_;
};

TEST_P(StartTypeTriadsTest, TickingDisabledWritesFourAndLocksThePartners) {
  InstallService("Alerter");
  triads_.Click(3);
  EXPECT_EQ(kTicked, triads_.State(3));
  EXPECT_EQ(4, Start("Alerter"));
  EXPECT_FALSE(triads_.Enabled(1));
  EXPECT_FALSE(triads_.Enabled(2));
  EXPECT_TRUE(triads_.Enabled(3));

  triads_.Click(1);
  EXPECT_EQ(kUnticked, triads_.State(1)) << "a disabled box ignores the user";

  triads_.Click(3);
  EXPECT_EQ(kUnticked, triads_.State(3));
  EXPECT_EQ(2, Start("Alerter"));
  EXPECT_TRUE(triads_.Enabled(1));
  EXPECT_TRUE(triads_.Enabled(2));
}

TEST_P(StartTypeTriadsTest, UntickingAutomaticWritesNothing) {
  InstallService("Alerter");
  triads_.Click(1);
  EXPECT_EQ(2, Start("Alerter"));
  ResetStart("Alerter");
  triads_.Click(1);
  EXPECT_EQ(kUntouched, Start("Alerter"));
  EXPECT_TRUE(triads_.Enabled(2));
  EXPECT_TRUE(triads_.Enabled(3));
}

TEST_P(StartTypeTriadsTest, EveryBoxWritesItsStartTypeUnderItsOwnServiceOnly) {
  services_.InstallAll();
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const std::string key(entry.serviceKey.begin(), entry.serviceKey.end());
    for (StartType type : {StartType::kAutomatic, StartType::kManual, StartType::kDisabled}) {
      const int box = entry.BoxOf(type);
      triads_.SetState(box, kTicked);
      EXPECT_EQ(static_cast<int>(type), Start(key)) << "Check" << box;
      ResetStart(key);
      triads_.SetState(box, kUnticked);
      EXPECT_EQ(type == StartType::kAutomatic ? kUntouched : 2, Start(key)) << "Check" << box;
      ResetStart(key);
    }
  }
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    EXPECT_EQ(kUntouched, Start(std::string(entry.serviceKey.begin(), entry.serviceKey.end())))
        << "no box writes to another service";
  }
}

TEST_P(StartTypeTriadsTest, CaptionIsNeverUsedAsTheKey) {
  InstallService("RemoteAccess");
  triads_.SetState(151, kTicked);
  EXPECT_EQ(4, Start("RemoteAccess"));
  EXPECT_EQ(-1, Start("RemoteAcc"));
}

TEST_P(StartTypeTriadsTest, GreyedIsHandledAsUnticked) {
  InstallService("Alerter");
  triads_.SetState(3, kTicked);
  triads_.SetState(3, kGreyed);
  EXPECT_EQ(kGreyed, triads_.State(3));
  EXPECT_EQ(2, Start("Alerter"));
  EXPECT_TRUE(triads_.Enabled(1));
  EXPECT_TRUE(triads_.Enabled(2));

  triads_.Click(3);
  EXPECT_EQ(kUnticked, triads_.State(3)) << "clicking a greyed box clears it";
}

TEST_P(StartTypeTriadsTest, MissingServiceKeyIsNotCreated) {
  triads_.Click(101);
  EXPECT_EQ(kTicked, triads_.State(101));
  EXPECT_FALSE(triads_.Enabled(100));
  EXPECT_FALSE(triads_.Enabled(102));
  EXPECT_EQ(-1, Start("WudfSvc"));
  EXPECT_FALSE(services_.Exists("WudfSvc"));
}

TEST_P(StartTypeTriadsTest, ProgramSetsRunTheHandlerOnlyOnChangeEvenWhenDisabled) {
  InstallService("Alerter");
  triads_.SetState(3, kTicked);
  ResetStart("Alerter");
  triads_.SetState(3, kTicked);
  EXPECT_EQ(kUntouched, Start("Alerter")) << "setting the same state writes nothing";

  ASSERT_FALSE(triads_.Enabled(2));
  triads_.SetState(2, kTicked);
  EXPECT_EQ(3, Start("Alerter")) << "a disabled box set by program still runs its handler";
  EXPECT_FALSE(triads_.Enabled(3)) << "it locks its partners, the ticked 禁用 box among them";
}

TEST_P(StartTypeTriadsTest, ViewHearsOfEveryStateAndEnabledChange) {
  std::vector<int> changed;
  triads_.OnBoxChanged([&](int box) { changed.push_back(box); });
  triads_.SetState(6, kTicked);
  EXPECT_EQ((std::vector<int>{6, 4, 5}), changed);
  changed.clear();
  triads_.SetState(6, kTicked);
  triads_.SetEnabled(4, false);
  EXPECT_TRUE(changed.empty());
}

// What a template sets: one box ticked, its start type written by its own handler, whatever
// the triad held before, and nothing else written on the way.
TEST_P(StartTypeTriadsTest, TickOnlyLeavesOneBoxTickedWrittenOnceByItsHandler) {
  InstallService("helpsvc");
  const ServiceEntry& helpsvc = *ServiceCatalogue::FindEntry(13);
  std::vector<std::pair<int, StartType>> written;
  triads_.OnStartTypeWritten(
      [&](const ServiceEntry& entry, StartType type) { written.emplace_back(entry.number, type); });
  triads_.SetState(helpsvc.disabledBox, kTicked);
  triads_.SetState(helpsvc.automaticBox, kTicked);  // a preset can leave two ticked
  written.clear();
  ResetStart("helpsvc");

  triads_.TickOnly(helpsvc, StartType::kManual);
  EXPECT_EQ((std::vector<std::pair<int, StartType>>{{13, StartType::kManual}}), written);
  EXPECT_EQ(3, Start("helpsvc"));
  EXPECT_EQ(kTicked, triads_.State(helpsvc.manualBox));
  EXPECT_EQ(kUnticked, triads_.State(helpsvc.disabledBox));
  EXPECT_EQ(kUnticked, triads_.State(helpsvc.automaticBox));
  EXPECT_FALSE(triads_.Enabled(helpsvc.disabledBox));
  EXPECT_FALSE(triads_.Enabled(helpsvc.automaticBox));

  // Ticked already: written all the same, so the machine gets the start type again.
  ResetStart("helpsvc");
  triads_.TickOnly(helpsvc, StartType::kManual);
  EXPECT_EQ(3, Start("helpsvc"));
  EXPECT_EQ(2u, written.size());
}

INSTANTIATE_TEST_SUITE_P(Backends, StartTypeTriadsTest,
                         ::testing::ValuesIn(testing::AvailableBackends()),
                         [](const auto& info) { return testing::BackendName(info.param); });

}  // namespace
}  // namespace svctune
