#include "optimizer/service_dependents.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "registry_backend.h"
#include "test_codec.h"

namespace svctune {
namespace {

using registry::KeyHandle;

// Against every registry the platform has: under Windows the system's, read through advapi32.
class ServiceDependentsTest : public ::testing::TestWithParam<testing::BackendKind> {
 protected:
  ServiceDependentsTest()
      : backend_(testing::RegistryBackend::Create(GetParam())), registry_(backend_->Api()) {}

  void Value(const std::string& service, const char* name, std::uint32_t type,
             const std::string& data) {
    KeyHandle key = 0;
    ASSERT_EQ(
        registry::kSuccess,
        registry_.RegCreateKeyA(registry::kLocalMachine,
                                (std::string(kServicesKeyPath) + "\\" + service).c_str(), &key));
    ASSERT_EQ(registry::kSuccess,
              registry_.RegSetValueExA(key, name, 0, type,
                                       reinterpret_cast<const std::uint8_t*>(data.data()),
                                       static_cast<std::uint32_t>(data.size())));
    registry_.RegCloseKey(key);
  }
  void Service(const std::string& service, std::int32_t start, const std::string& dependsOn = "",
               const std::wstring& displayName = L"") {
    Value(service, "Start", registry::kRegDword,
          std::string(reinterpret_cast<const char*>(&start), sizeof start));
    if (!dependsOn.empty()) {
      Value(service, "DependOnService", registry::kRegMultiSz, dependsOn);
    }
    if (!displayName.empty()) {
      Value(service, "DisplayName", registry::kRegSz,
            testing::ChineseAnsiCodec().ToAnsi(displayName) + '\0');
    }
  }
  ServiceDependents Read() {
    ServiceDependents map = ServiceDependents::Read(registry_, testing::ChineseAnsiCodec());
    if (backend_->OpenHandles() >= 0) {
      EXPECT_EQ(0, backend_->OpenHandles()) << "every key read is closed";
    }
    return map;
  }
  static std::vector<std::wstring> Keys(const std::vector<Dependent>& dependents) {
    std::vector<std::wstring> keys;
    for (const Dependent& dependent : dependents) {
      keys.push_back(dependent.key);
    }
    return keys;
  }

  std::unique_ptr<testing::RegistryBackend> backend_;
  registry::RegistryApi& registry_;
};

// Part of an XP machine: the server service needs Srv (a driver, no catalogue entry), the
// browser needs the server.
TEST_P(ServiceDependentsTest, NamesEveryServiceThatNeedsOneAutomaticOnesFirstThenTheNearer) {
  Service("Srv", 1);
  Service("lanmanserver", 2, std::string("SamSS\0Srv\0\0", 11), L"Server");
  Service("Browser", 2, std::string("LanmanWorkstation\0LanmanServer\0\0", 32),
          L"Computer Browser");
  Service("MadeUp", 3, std::string("SRV\0\0", 5), L"@%SystemRoot%\\system32\\madeup.dll,-100");
  Service("Fax", 4, std::string("lanmanserver\0\0", 14), L"传真");
  Service("Alone", 2);
  const ServiceDependents map = Read();
  EXPECT_TRUE(map.Complete());
  EXPECT_EQ(6u, map.ServiceCount());

  const std::vector<Dependent> ofSrv = map.Of(L"srv");
  EXPECT_EQ((std::vector<std::wstring>{L"lanmanserver", L"Browser", L"MadeUp", L"Fax"}),
            Keys(ofSrv));
  EXPECT_EQ(L"Server", ofSrv[0].name);
  EXPECT_EQ(L"Computer Browser", ofSrv[1].name);
  EXPECT_EQ(L"MadeUp", ofSrv[2].name) << "a resource reference is not shown as a name";
  EXPECT_EQ(L"传真", ofSrv[3].name);
  EXPECT_EQ(4, ofSrv[3].start);

  EXPECT_EQ((std::vector<std::wstring>{L"lanmanserver", L"Browser"}),
            Keys(map.AutomaticOf(L"Srv")));
  EXPECT_TRUE(map.Of(L"Alone").empty());
  EXPECT_TRUE(map.Of(L"NoSuchService").empty());
  EXPECT_EQ((std::vector<std::wstring>{L"lanmanserver", L"Browser", L"Fax"}),
            Keys(map.Of(L"SamSS")))
      << "a service without a key of its own is still needed";
}

TEST_P(ServiceDependentsTest, DependenciesThatLoopNameEachServiceOnceAndNeverTheServiceItself) {
  Service("A", 2, std::string("B\0\0", 3));
  Service("B", 3, std::string("C\0A\0\0", 5));
  Service("C", 2, std::string("A\0A\0\0", 5));
  Service("D", 2, std::string("D\0\0", 3));
  const ServiceDependents map = Read();
  EXPECT_EQ((std::vector<std::wstring>{L"C", L"B"}), Keys(map.Of(L"A")));
  EXPECT_EQ((std::vector<std::wstring>{L"A", L"C"}), Keys(map.Of(L"B")));
  EXPECT_TRUE(map.Of(L"D").empty());
}

TEST_P(ServiceDependentsTest, OddValuesAreReadAsTheServiceManagerWouldOrLeftAlone) {
  Service("Target", 3);
  // No terminating zero after the last name.
  Value("Unterminated", "DependOnService", registry::kRegMultiSz, std::string("X\0Target", 8));
  // The list ends at its first empty name.
  Value("EmptyInside", "DependOnService", registry::kRegMultiSz,
        std::string("X\0\0Target\0\0", 11));
  Value("OneName", "DependOnService", registry::kRegSz, std::string("Target\0", 7));
  Value("Binary", "DependOnService", registry::kRegBinary, std::string("Target\0\0", 8));
  Value("Empty", "DependOnService", registry::kRegMultiSz, "");
  Value("TextStart", "Start", registry::kRegSz, std::string("2\0", 2));
  Value("TextStart", "DependOnService", registry::kRegMultiSz, std::string("Target\0\0", 8));
  Value("ShortStart", "Start", registry::kRegDword, std::string("\x02\x00", 2));
  Value("ShortStart", "DependOnService", registry::kRegMultiSz, std::string("Target\0\0", 8));
  Value("LongName", "DependOnService", registry::kRegMultiSz,
        std::string(257, 'T') + std::string("\0Target\0\0", 9));
  const ServiceDependents map = Read();
  EXPECT_TRUE(map.Complete());
  const std::vector<Dependent> dependents = map.Of(L"Target");
  EXPECT_EQ((std::vector<std::wstring>{L"LongName", L"OneName", L"ShortStart", L"TextStart",
                                       L"Unterminated"}),
            Keys(dependents));
  for (const Dependent& dependent : dependents) {
    EXPECT_FALSE(dependent.start) << "a start type that is no 32-bit number is none";
  }
}

TEST_P(ServiceDependentsTest, OversizedListsCostBoundedWorkAndLeaveTheMapIncomplete) {
  Service("Target", 3);
  std::string huge;
  while (huge.size() <= kMaxDependOnServiceBytes) {
    huge += std::string("Target\0", 7);
  }
  Value("Huge", "DependOnService", registry::kRegMultiSz, huge + '\0');
  std::string many;
  for (int i = 0; i < 300; ++i) {
    many += "S" + std::to_string(i) + '\0';
  }
  Value("Many", "DependOnService", registry::kRegMultiSz, many + "Target" + '\0' + '\0');
  const ServiceDependents map = Read();
  EXPECT_FALSE(map.Complete());
  EXPECT_TRUE(map.Of(L"Target").empty());
  EXPECT_EQ((std::vector<std::wstring>{L"Many"}), Keys(map.Of(L"S255")));
  EXPECT_TRUE(map.Of(L"S256").empty());
  EXPECT_EQ(L"", DependentsStatusText(map.Of(L"Target"), map.Complete()));
}

TEST_P(ServiceDependentsTest, AMachineWhoseServicesCannotBeReadNamesNothing) {
  const ServiceDependents map = Read();
  EXPECT_FALSE(map.Complete());
  EXPECT_EQ(0u, map.ServiceCount());
  EXPECT_EQ(L"", DependentsStatusText(map.Of(L"Alerter"), map.Complete()));
}

TEST_P(ServiceDependentsTest, DisablingWarnsOfTheAutomaticServicesThatCanNoLongerStart) {
  Service("RpcSs", 4);
  Service("Dcom", 2, std::string("RpcSs\0\0", 7), L"DCOM Server");
  Service("Manual", 3, std::string("RpcSs\0\0", 7));
  Service("Chain", 2, std::string("Manual\0\0", 8));
  Service("Off", 4, std::string("RpcSs\0\0", 7));
  Service("Quiet", 4, std::string("Off\0\0", 5));
  const ServiceDependents map = Read();

  const std::vector<DisableWarning> warnings = DisableWarnings(map, {L"Quiet", L"RpcSs", L"Off"});
  ASSERT_EQ(1u, warnings.size());
  EXPECT_EQ(L"RpcSs", warnings[0].serviceKey);
  EXPECT_EQ((std::vector<std::wstring>{L"Dcom", L"Chain"}), warnings[0].automaticDependents);

  EXPECT_EQ(L"注意：自动启动的 DCOM Server、Chain 依赖此服务，禁用后它们无法启动",
            DisableWarningText(map.AutomaticOf(L"RpcSs")));
  EXPECT_EQ(L"", DisableWarningText(map.AutomaticOf(L"Off")));
  EXPECT_EQ(L"被依赖：DCOM Server、Chain、Manual、Off、Quiet",
            DependentsStatusText(map.Of(L"RpcSs"), map.Complete()));
  EXPECT_EQ(L"被依赖：无", DependentsStatusText(map.Of(L"Quiet"), map.Complete()));
}

INSTANTIATE_TEST_SUITE_P(Backends, ServiceDependentsTest,
                         ::testing::ValuesIn(testing::AvailableBackends()),
                         [](const auto& info) { return testing::BackendName(info.param); });

TEST(ServiceDependents, TheLimitsOfAListHoldForAMapBuiltFromRecordsToo) {
  std::vector<ServiceRecord> records(1);
  records[0].key = L"Many";
  for (std::size_t i = 0; i <= kMaxDependenciesPerService; ++i) {
    records[0].dependsOn.push_back(L"S" + std::to_wstring(i));
  }
  const ServiceDependents map(records);
  EXPECT_FALSE(map.Complete());
  EXPECT_EQ(1u, map.Of(L"S0").size());
  EXPECT_TRUE(map.Of(L"S" + std::to_wstring(kMaxDependenciesPerService)).empty());
}

}  // namespace
}  // namespace svctune
