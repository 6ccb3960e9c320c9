#include "deployment/start_type_export.h"

#include <gtest/gtest.h>

#include <string>

#include "program_info.h"
#include "recording_presenter.h"
#include "registry/memory_registry.h"
#include "service_keys.h"
#include "test_codec.h"

namespace svctune {
namespace {

// Every service starts manually but three: Alerter is missing, ALG's Start is text, AppMgmt
// starts at boot (0), which a template cannot set.
class StartTypeExportTest : public ::testing::Test {
 protected:
  StartTypeExportTest() {
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      if (entry.serviceKey != L"Alerter") {
        keys_.Install(std::string(entry.serviceKey.begin(), entry.serviceKey.end()), 3);
      }
    }
    keys_.SetStart("AppMgmt", 0);
    registry::KeyHandle key = 0;
    registry_.RegOpenKeyExA(registry::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\ALG", 0,
                            registry::kKeyWrite, &key);
    registry_.RegSetValueExA(key, "Start", 0, registry::kRegSz,
                             reinterpret_cast<const std::uint8_t*>("3"), 2);
    registry_.RegCloseKey(key);
  }

  registry::MemoryRegistry registry_{testing::ChineseAnsiCodec()};
  testing::ServiceKeys keys_{registry_};
  testing::RecordingPresenter messages_;
  registry::RegistryAccess access_{registry_, testing::ChineseAnsiCodec(), messages_,
                                   std::wstring(kProgramTitle)};
  StartTypeTriads triads_{access_};
  NoServiceManager manager_;
  MachineStartTypes machine_{access_, triads_, manager_};
};

TEST_F(StartTypeExportTest, ATemplateNamesEveryServiceItLeftOutAndWhy) {
  const StartTypeExport file =
      ExportStartTypes(machine_, ExportFormat::kSecurityTemplate, testing::ChineseAnsiCodec());
  EXPECT_EQ(53u, file.exported);
  EXPECT_EQ(0u, file.bytes.find("\xFF\xFE[\0U\0n\0i\0c\0o\0d\0e\0]\0", 0, 20));
  EXPECT_EQ(
      L"已把 53 项服务的启动方式导出到：C:\\a.inf\n\n以下 3 项服务未写入模板："
      L"\nAlerter：本机没有此服务\nALG：启动方式已损坏或无法读取\nAppMgmt：启动方式 0 不是 "
      L"2、3 或 4",
      ExportMessage(file, ExportFormat::kSecurityTemplate, L"C:\\a.inf"));
}

TEST_F(StartTypeExportTest, ARegistryFileHoldsEveryStartTypeAndSaysAsBefore) {
  const StartTypeExport file =
      ExportStartTypes(machine_, ExportFormat::kRegistryFile, testing::ChineseAnsiCodec());
  EXPECT_EQ(54u, file.exported) << "a start type of 0 is written back as it is";
  EXPECT_EQ(2u, file.skips.size());
  EXPECT_NE(std::string::npos,
            file.bytes.find("Services\\AppMgmt]\r\n\"Start\"=dword:00000000\r\n"));
  EXPECT_EQ(L"已把 54 项服务的启动方式导出到：C:\\b.reg",
            ExportMessage(file, ExportFormat::kRegistryFile, L"C:\\b.reg"));
}

// Every service: the catalogue's, then every other service and per-user template the
// inventory lists; drivers and per-user instances are not services to export.
TEST_F(StartTypeExportTest, EveryServiceAddsTheServicesAndTemplatesOutsideTheCatalogue) {
  const struct {
    const char* key;
    std::uint32_t type;
  } others[] = {{"MadeUpSvc", 0x10}, {"CDPUserSvc", 0x60}, {"CDPUserSvc_1a2b3c", 0xE0},
                {"WdBoot", 0x1},     {"Spooler", 0x110},   {"OddSvc", 0x20}};
  for (const auto& other : others) {
    keys_.Install(other.key, 4);
    registry::KeyHandle key = 0;
    registry_.RegOpenKeyExA(
        registry::kLocalMachine,
        (std::string("SYSTEM\\CurrentControlSet\\Services\\") + other.key).c_str(), 0,
        registry::kKeyWrite, &key);
    registry_.RegSetValueExA(key, "Type", 0, registry::kRegDword,
                             reinterpret_cast<const std::uint8_t*>(&other.type), 4);
    if (std::string(other.key) == "OddSvc") {
      registry_.RegSetValueExA(key, "Start", 0, registry::kRegBinary,
                               reinterpret_cast<const std::uint8_t*>("\4"), 1);
    }
    registry_.RegCloseKey(key);
  }
  const ServiceInventory inventory = ServiceInventory::Read(registry_, testing::ChineseAnsiCodec());
  const StartTypeExport file = ExportStartTypes(machine_, ExportFormat::kRegistryFile,
                                                testing::ChineseAnsiCodec(), &inventory);
  EXPECT_EQ(54u + 2u, file.exported) << "Spooler once, as the catalogue's";
  EXPECT_NE(std::string::npos, file.bytes.find("Services\\MadeUpSvc]\r\n\"Start\"=dword:00000004"));
  EXPECT_NE(std::string::npos, file.bytes.find("Services\\CDPUserSvc]\r\n"));
  for (const char* absent : {"CDPUserSvc_1a2b3c", "WdBoot"}) {
    EXPECT_EQ(std::string::npos, file.bytes.find(std::string("Services\\") + absent + "]"));
  }
  ASSERT_EQ(3u, file.skips.size());
  EXPECT_EQ(L"OddSvc：启动方式已损坏或无法读取", DescribeSkip(file.skips.back()));
}

TEST(ExportFormatOf, TheNamesExtensionDecidesAndOtherwiseTheTypeChosen) {
  const struct {
    std::wstring path;
    ExportFormat chosen;
    ExportFormat format;
  } cases[] = {
      {L"C:\\a.INF", ExportFormat::kRegistryFile, ExportFormat::kSecurityTemplate},
      {L"C:\\a.reg", ExportFormat::kSecurityTemplate, ExportFormat::kRegistryFile},
      {L"C:\\a.inf.txt", ExportFormat::kSecurityTemplate, ExportFormat::kSecurityTemplate},
      {L"C:\\a.inf.txt", ExportFormat::kRegistryFile, ExportFormat::kRegistryFile},
      {L"inf", ExportFormat::kRegistryFile, ExportFormat::kRegistryFile},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.format, ExportFormatOf(c.path, c.chosen));
  }
}

}  // namespace
}  // namespace svctune
