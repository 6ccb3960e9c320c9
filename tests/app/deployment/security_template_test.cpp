#include "deployment/security_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/unicode_text.h"
#include "test_codec.h"

namespace svctune {
namespace {

std::string Utf16File(std::wstring_view text) {
  return "\xFF\xFE" + ToUtf16Le(text);
}

SecurityTemplate Parse(std::wstring_view text) {
  return ParseSecurityTemplate(Utf16File(text), testing::ChineseAnsiCodec());
}

constexpr std::wstring_view kPreamble =
    L"[Unicode]\r\nUnicode=yes\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n";

SecurityTemplate ServicesOnly(std::wstring_view lines) {
  return Parse(std::wstring(kPreamble) + L"[Service General Setting]\r\n" + std::wstring(lines));
}

std::string Narrow(const std::wstring& text) {
  return ToUtf8(text);
}

TEST(SecurityTemplate, IsWrittenInUtf16WithTheSectionsGroupPolicyReads) {
  const SecurityTemplateFile file =
      FormatSecurityTemplate({{L"Alerter", 4}, {L"AppMgmt", 3}, {L"Spooler", 2}});
  EXPECT_EQ(Utf16File(L"[Unicode]\r\nUnicode=yes\r\n"
                      L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n"
                      L"[Service General Setting]\r\n"
                      L"\"Alerter\",4,\"\"\r\n\"AppMgmt\",3,\"\"\r\n\"Spooler\",2,\"\"\r\n"),
            file.bytes);
  EXPECT_EQ(3u, file.written);
  EXPECT_TRUE(file.leftOut.empty());
}

TEST(SecurityTemplate, LeavesOutWhatTheTemplateCannotSayAndTellsWhich) {
  const SecurityTemplateFile file = FormatSecurityTemplate({{L"Alerter", 1},
                                                            {L"ALG", 4},
                                                            {L"Sl/ash", 3},
                                                            {L"Odd", 0},
                                                            {L"With\"Quote", 2},
                                                            {std::wstring(257, L'x'), 2},
                                                            {std::wstring(256, L'y'), 3}});
  EXPECT_EQ(2u, file.written);
  ASSERT_EQ(5u, file.leftOut.size());
  EXPECT_EQ(L"Alerter", file.leftOut[0].serviceKey);
  EXPECT_EQ(L"Sl/ash", file.leftOut[1].serviceKey);
  EXPECT_EQ(L"Odd", file.leftOut[2].serviceKey);

  // With nothing to set the file is still a template, without the empty section.
  const SecurityTemplateFile empty = FormatSecurityTemplate({{L"Alerter", 0}});
  EXPECT_EQ(Utf16File(kPreamble), empty.bytes);
  const SecurityTemplate read = ParseSecurityTemplate(empty.bytes, testing::ChineseAnsiCodec());
  EXPECT_TRUE(read.wellFormed);
  EXPECT_FALSE(read.hasServiceSection);
}

TEST(SecurityTemplate, ReadsBackEveryCatalogueServiceItWrote) {
  std::vector<ServiceStartType> machine;
  std::uint32_t start = 2;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    machine.push_back({std::wstring(entry.serviceKey), start});
    start = start == 4 ? 2 : start + 1;
  }
  const SecurityTemplate read =
      ParseSecurityTemplate(FormatSecurityTemplate(machine).bytes, testing::ChineseAnsiCodec());
  ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
  ASSERT_EQ(machine.size(), read.settings.size());
  for (std::size_t i = 0; i < machine.size(); ++i) {
    EXPECT_EQ(machine[i].serviceKey, read.settings[i].entry->serviceKey);
    EXPECT_EQ(machine[i].start, static_cast<int>(read.settings[i].type));
    EXPECT_FALSE(read.settings[i].hasDescriptor);
  }
  EXPECT_TRUE(read.skipped.empty());
}

// A template as secedit /export writes it: other sections around the services, descriptors in
// the third field, [Version] last.
TEST(SecurityTemplate, ReadsATemplateAsSeceditExportsIt) {
  const SecurityTemplate read = Parse(
      L"[Unicode]\r\nUnicode=yes\r\n"
      L"[System Access]\r\nMinimumPasswordAge = 0\r\nNewAdministratorName = \"Administrator\"\r\n"
      L"[Registry Values]\r\nMACHINE\\System\\CurrentControlSet\\Control\\Lsa\\NoLMHash=4,1\r\n"
      L"[Privilege Rights]\r\nSeNetworkLogonRight = *S-1-1-0,*S-1-5-32-544\r\n"
      L"[Service General Setting]\r\n"
      L"\"Alerter\",4,\"D:AR(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;CCLCSWLOCRRC;;;IU)S:(AU;FA;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;WD)\"\r\n"
      L"\"LanmanWorkstation\",2,\"D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)\"\r\n"
      L"\"Spooler\",3,\"\"\r\n"
      L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n");
  ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
  ASSERT_EQ(2u, read.settings.size());
  EXPECT_EQ(L"Alerter", read.settings[0].entry->serviceKey);
  EXPECT_EQ(StartType::kDisabled, read.settings[0].type);
  EXPECT_TRUE(read.settings[0].hasDescriptor);
  EXPECT_EQ(L"Spooler", read.settings[1].entry->serviceKey);
  EXPECT_EQ(StartType::kManual, read.settings[1].type);
  EXPECT_FALSE(read.settings[1].hasDescriptor);
  EXPECT_EQ(13, read.settings[1].line);
  ASSERT_EQ(1u, read.skipped.size());
  EXPECT_EQ(L"LanmanWorkstation", read.skipped[0].serviceName);
  EXPECT_EQ(TemplateSkipReason::kNotInCatalogue, read.skipped[0].reason);
  EXPECT_EQ(12, read.skipped[0].line);
}

TEST(SecurityTemplate, TakesWhatTheGrammarAllowsAndWhatTemplatesAreWrittenWith) {
  const SecurityTemplate read = Parse(
      L"; written by hand\r\n"
      L"[version]\r\n  Signature = \"$chicago$\"  \r\n"
      L"[ SERVICE general SETTING ]   ; start types only\r\n"
      L"\r\n"
      L"   ; a comment line\r\n"
      L"alerter,4,\r\n"
      L"\tBrowser , 3 , D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)\n"
      L"\"CryptSvc\" ,2, \"\" ; keep it running\r\n"
      L"ALG,4,;no descriptor\r\n");
  ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
  ASSERT_EQ(4u, read.settings.size());
  EXPECT_EQ(L"Alerter", read.settings[0].entry->serviceKey);
  EXPECT_FALSE(read.settings[0].hasDescriptor);
  EXPECT_EQ(L"Browser", read.settings[1].entry->serviceKey);
  EXPECT_TRUE(read.settings[1].hasDescriptor);
  EXPECT_EQ(L"CryptSvc", read.settings[2].entry->serviceKey);
  EXPECT_EQ(StartType::kAutomatic, read.settings[2].type);
  EXPECT_FALSE(read.settings[2].hasDescriptor);
  EXPECT_FALSE(read.settings[3].hasDescriptor);
}

// Windows writes service keys with blanks in them: a quoted name is taken as the key's text.
TEST(SecurityTemplate, AQuotedNameHoldsWhatAServiceKeyMayHold) {
  const std::vector<ServiceStartType> services = {
      {L"Microsoft SharePoint Workspace Audit Service", 4},
      {L"A,B", 4},
      {L"服务 名", 4},
      {L" x;y ", 4}};
  const SecurityTemplate read =
      ParseSecurityTemplate(FormatSecurityTemplate(services).bytes, testing::ChineseAnsiCodec());
  ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
  ASSERT_EQ(services.size(), read.skipped.size());
  for (std::size_t i = 0; i < services.size(); ++i) {
    EXPECT_EQ(services[i].serviceKey, read.skipped[i].serviceName);
    EXPECT_EQ(TemplateSkipReason::kNotInCatalogue, read.skipped[i].reason);
  }
}

TEST(SecurityTemplate, SkipsServicesItDoesNotManageAndStartModesItDoesNotSet) {
  const SecurityTemplate read = ServicesOnly(
      L"\"Alerter\",1,\"\"\r\n"
      L"\"Spooler\",0,\"\"\r\n"
      L"\"MadeUpSvc\",4,\"\"\r\n"
      L"\"Themes\",9,\"\"\r\n"
      L"\"ALG\",3,\"\"\r\n");
  ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
  ASSERT_EQ(1u, read.settings.size());
  EXPECT_EQ(L"ALG", read.settings[0].entry->serviceKey);
  ASSERT_EQ(4u, read.skipped.size());
  EXPECT_EQ(TemplateSkipReason::kUnsupportedMode, read.skipped[0].reason);
  EXPECT_EQ(1, read.skipped[0].mode);
  EXPECT_EQ(7, read.skipped[0].line);
  EXPECT_EQ(TemplateSkipReason::kUnsupportedMode, read.skipped[1].reason);
  EXPECT_EQ(TemplateSkipReason::kNotInCatalogue, read.skipped[2].reason);
  EXPECT_EQ(L"MadeUpSvc", read.skipped[2].serviceName);
  EXPECT_EQ(9, read.skipped[3].mode);
}

TEST(SecurityTemplate, RefusesFilesThatAreNoTemplateOrBreakTheGrammar) {
  const struct {
    std::wstring text;
    int line;
    std::wstring saying;
  } cases[] = {
      {L"", 0, L"signature"},
      {L"[Service General Setting]\r\n\"Alerter\",4,\"\"\r\n", 0, L"signature"},
      {L"[Version]\r\nsignature=\"$Windows NT$\"\r\n", 0, L"signature"},
      {L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=2\r\n", 3, L"Revision=2"},
      {L"Alerter,4,\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\n", 1, L"第一个节之前"},
      {L"[Version\r\n", 1, L"]"},
      {L"[]\r\n", 1, L"节名"},
      {L"[Version] x\r\n", 1, L"节名"},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(Narrow(expected.text));
    const SecurityTemplate read = Parse(expected.text);
    EXPECT_FALSE(read.wellFormed);
    EXPECT_EQ(expected.line, read.errorLine);
    EXPECT_NE(std::wstring::npos, read.error.find(expected.saying)) << Narrow(read.error);
  }

  const std::wstring badLines[] = {
      L"\"Alerter\",4",
      L"\"Alerter\"",
      L"Alerter 4 \"\"",
      L"\"Alerter,4,\"\"",
      L"\"Alerter\"x,4,\"\"",
      L"\"\",4,\"\"",
      L",4,\"\"",
      L"My Service,4,\"\"",
      L"Back\\Slash,4,\"\"",
      L"Sl/ash,4,\"\"",
      L"\"Back\\Slash\",4,\"\"",
      L"\"Sl/ash\",4,\"\"",
      L"\"Con\x7Ftrol\",4,\"\"",
      L"服务,4,\"\"",
      std::wstring(257, L'a') + L",4,\"\"",
      L"\"Alerter\",,\"\"",
      L"\"Alerter\",04,\"\"",
      L"\"Alerter\",\"4\",\"\"",
      L"\"Alerter\",x,\"\"",
      L"\"Alerter\",4,\"D:(A;;GA;;;BA)",
      L"\"Alerter\",4,\"D:\" extra",
      L"\"Alerter\",4,D:\"(A;;GA;;;BA)",
  };
  for (const std::wstring& line : badLines) {
    SCOPED_TRACE(Narrow(line));
    const SecurityTemplate read = ServicesOnly(L"\"ALG\",4,\"\"\r\n" + line + L"\r\n");
    EXPECT_FALSE(read.wellFormed);
    EXPECT_EQ(8, read.errorLine);
    EXPECT_FALSE(read.error.empty());
    EXPECT_TRUE(read.settings.empty()) << "nothing of an ill-formed file is applied";
    EXPECT_TRUE(read.skipped.empty());
  }
  // The longest name the grammar allows is still a name (and no catalogue service).
  EXPECT_TRUE(ServicesOnly(std::wstring(256, L'a') + L",4,\"\"\r\n").wellFormed);
}

TEST(SecurityTemplate, AServiceNamedTwiceMakesTheFileIllFormed) {
  const SecurityTemplate read =
      ServicesOnly(L"\"Alerter\",4,\"\"\r\n\"ALG\",4,\"\"\r\n\"ALERTER\",3,\"\"\r\n");
  EXPECT_FALSE(read.wellFormed);
  EXPECT_EQ(9, read.errorLine);
  EXPECT_NE(std::wstring::npos, read.error.find(L"第 7 行"));
  EXPECT_TRUE(read.settings.empty());
}

TEST(SecurityTemplate, ReadsEachEncodingATemplateCanBeSavedIn) {
  const std::wstring text =
      std::wstring(kPreamble) +
      L"; 服务的启动方式\r\n[Service General Setting]\r\n\"Alerter\",4,\"\"\r\n";
  const AnsiCodec& gbk = testing::ChineseAnsiCodec();
  const std::string bigEndian = [&] {
    std::string little = ToUtf16Le(text);
    for (std::size_t i = 0; i + 1 < little.size(); i += 2) {
      std::swap(little[i], little[i + 1]);
    }
    return "\xFE\xFF" + little;
  }();
  for (const std::string& bytes :
       {Utf16File(text), bigEndian, "\xEF\xBB\xBF" + ToUtf8(text), gbk.ToAnsi(text)}) {
    const SecurityTemplate read = ParseSecurityTemplate(bytes, gbk);
    ASSERT_TRUE(read.wellFormed) << Narrow(read.error);
    ASSERT_EQ(1u, read.settings.size());
    EXPECT_EQ(L"Alerter", read.settings[0].entry->serviceKey);
  }

  // UTF-16 without its byte-order mark reads as text full of zero characters.
  const SecurityTemplate unmarked = ParseSecurityTemplate(ToUtf16Le(text), gbk);
  EXPECT_FALSE(unmarked.wellFormed);
  EXPECT_EQ(1, unmarked.errorLine);
  const SecurityTemplate cut = ParseSecurityTemplate(Utf16File(text) + "x", gbk);
  EXPECT_FALSE(cut.wellFormed);
  EXPECT_EQ(0, cut.errorLine);
}

TEST(SecurityTemplate, RefusesAFileBeyondTheSizeLimitUnread) {
  std::string big =
      Utf16File(std::wstring(kPreamble) + L"[Service General Setting]\r\n\"Alerter\",4,\"\"\r\n");
  const std::size_t fits = kMaxSecurityTemplateBytes - big.size();
  big += ToUtf16Le(std::wstring(fits / 2, L' '));
  EXPECT_TRUE(ParseSecurityTemplate(big, testing::ChineseAnsiCodec()).wellFormed);
  big += "  ";
  const SecurityTemplate read = ParseSecurityTemplate(big, testing::ChineseAnsiCodec());
  EXPECT_FALSE(read.wellFormed);
  EXPECT_TRUE(read.settings.empty());
}

}  // namespace
}  // namespace svctune
