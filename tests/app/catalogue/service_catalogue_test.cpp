#include "catalogue/service_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace svctune {
namespace {

const std::wstring kManualTail = L"（建议： 手动）";
const std::wstring kDisabledTail = L"（建议： 禁用）";

bool EndsWith(std::wstring_view text, std::wstring_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

TEST(ServiceCatalogue, HoldsFiftySixEntriesWithoutNumberThirtyThree) {
  const auto& entries = ServiceCatalogue::Entries();
  std::set<int> numbers;
  for (const ServiceEntry& entry : entries) {
    numbers.insert(entry.number);
    EXPECT_EQ(entry.number <= 30 ? 1 : 2, entry.page) << entry.number;
  }
  EXPECT_EQ(56u, numbers.size());
  EXPECT_EQ(1, *numbers.begin());
  EXPECT_EQ(57, *numbers.rbegin());
  EXPECT_EQ(0u, numbers.count(33));
  EXPECT_EQ(nullptr, ServiceCatalogue::FindEntry(33));
  EXPECT_EQ(L"Spooler", ServiceCatalogue::FindEntry(57)->serviceKey);
}

TEST(ServiceCatalogue, EachEntryOwnsItsThreeBoxesAndNoBoxNinetySevenToNinetyNine) {
  std::set<int> boxes;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const std::set<int> own = {entry.automaticBox, entry.manualBox, entry.disabledBox};
    EXPECT_EQ((std::set<int>{3 * entry.number - 2, 3 * entry.number - 1, 3 * entry.number}), own)
        << entry.number;
    EXPECT_EQ(3 * entry.number - 1, entry.manualBox) << "手动 is always the middle box";
    boxes.insert(own.begin(), own.end());
  }
  EXPECT_EQ(168u, boxes.size());
  EXPECT_EQ(std::vector<int>(boxes.begin(), boxes.end()),
            std::vector<int>(ServiceCatalogue::BoxNumbers().begin(),
                             ServiceCatalogue::BoxNumbers().end()));
  for (int absent : {0, 97, 98, 99, 172}) {
    EXPECT_FALSE(ServiceCatalogue::FindBox(absent)) << absent;
  }
  int ascending = 0;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    ascending += entry.automaticBox < entry.disabledBox ? 1 : 0;
  }
  EXPECT_EQ(29, ascending);
}

TEST(ServiceCatalogue, BoxesAreFoundByNumberAndByName) {
  const auto alerterDisabled = ServiceCatalogue::FindBox(L"Check3");
  ASSERT_TRUE(alerterDisabled);
  EXPECT_EQ(1, alerterDisabled->entry->number);
  EXPECT_EQ(StartType::kDisabled, alerterDisabled->type);

  const auto helpAutomatic = ServiceCatalogue::FindBox(39);
  ASSERT_TRUE(helpAutomatic);
  EXPECT_EQ(L"helpsvc", helpAutomatic->entry->serviceKey);
  EXPECT_EQ(StartType::kAutomatic, helpAutomatic->type);
  EXPECT_EQ(StartType::kDisabled, ServiceCatalogue::FindBox(L"Check37")->type);
  EXPECT_EQ(StartType::kManual, ServiceCatalogue::FindBox(L"Check170")->type);

  for (const wchar_t* name : {L"Check", L"Check0", L"Check03", L"check3", L"Check98", L"Check3x",
                              L"Option1", L"Check1000"}) {
    EXPECT_FALSE(ServiceCatalogue::FindBox(name)) << name;
  }
}

TEST(ServiceCatalogue, CaptionsDifferFromServiceKeysInFiveEntries) {
  std::set<int> differing;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (entry.caption != entry.serviceKey) {
      differing.insert(entry.number);
    }
  }
  EXPECT_EQ((std::set<int>{3, 10, 23, 51, 52}), differing);
  const ServiceLocation remote = ServiceCatalogue::LocationOf(*ServiceCatalogue::FindEntry(51));
  EXPECT_EQ(registry::kLocalMachine, remote.root);
  EXPECT_EQ(L"SYSTEM\\CurrentControlSet\\Services\\RemoteAccess", remote.path);
  EXPECT_EQ(L"Start", remote.valueName);
  EXPECT_EQ(L"SYSTEM\\CurrentControlSet\\Services\\CryptSvc",
            ServiceCatalogue::LocationOf(*ServiceCatalogue::FindEntry(10)).path);
  EXPECT_EQ(L"SYSTEM\\CurrentControlSet\\Services\\Netlogon",
            ServiceCatalogue::LocationOf(*ServiceCatalogue::FindEntry(23)).path);
}

TEST(ServiceCatalogue, HoverTextsEndInTheRecommendationTheThoroughPresetFollows) {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const bool manual = EndsWith(entry.hoverText, kManualTail);
    EXPECT_TRUE(manual || EndsWith(entry.hoverText, kDisabledTail)) << entry.number;
    EXPECT_EQ(manual ? StartType::kManual : StartType::kDisabled, entry.thorough) << entry.number;
  }
  EXPECT_EQ(ServiceCatalogue::FindEntry(24)->hoverText, ServiceCatalogue::FindEntry(37)->hoverText);
  EXPECT_EQ(L' ', ServiceCatalogue::FindEntry(20)->hoverText.front());
  for (int number : {2, 7, 8, 9, 16}) {
    const std::wstring_view text = ServiceCatalogue::FindEntry(number)->hoverText;
    EXPECT_EQ(L' ', text[text.size() - kManualTail.size() - 1]) << number;
  }
}

TEST(ServiceCatalogue, OrdinaryPresetDiffersOnlyInFiveEntriesWhereItTicksAutomatic) {
  std::set<int> differing;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (entry.ordinary != entry.thorough) {
      differing.insert(entry.number);
      EXPECT_EQ(StartType::kAutomatic, entry.ordinary);
    }
  }
  EXPECT_EQ((std::set<int>{6, 16, 35, 42, 57}), differing);
}

struct StemRow {
  int number;
  const wchar_t* automatic;
  const wchar_t* manual;
  const wchar_t* disabled;
};

// The settings stems as the stored settings of earlier releases name them.
const StemRow kStems[] = {
    {1, L"tqala", L"tqalb", L"tqalc"},     {2, L"tqlga", L"tqlgb", L"tqlgc"},
    {3, L"tqfwya", L"tqfwyb", L"tqfwyc"},  {4, L"tqfwyd", L"tqfwye", L"tqfwyf"},
    {5, L"tqfwyg", L"tqfwyh", L"tqfwyi"},  {6, L"tqfwyj", L"tqfwyk", L"tqfwyl"},
    {7, L"tqfwym", L"tqfwyn", L"tqfwyo"},  {8, L"tqfwyp", L"tqfwyq", L"tqfwyr"},
    {9, L"tqfwys", L"tqfwyt", L"tqfwyu"},  {10, L"tqfwyv", L"tqfwyw", L"tqfwyy"},
    {11, L"tqfwyz", L"tqfwaa", L"tqfwab"}, {12, L"tqfwac", L"tqfwad", L"tqfwae"},
    {13, L"tqfwah", L"tqfwag", L"tqfwaf"}, {14, L"tqfwak", L"tqfwaj", L"tqfwai"},
    {15, L"tqfwan", L"tqfwam", L"tqfwal"}, {16, L"tqfwaq", L"tqfwap", L"tqfwao"},
    {17, L"tqfwat", L"tqfwas", L"tqfwar"}, {18, L"tqfwaw", L"tqfwav", L"tqfwau"},
    {19, L"tqfway", L"tqfwaz", L"tqfwba"}, {20, L"tqfwbb", L"tqfwbc", L"tqfwbd"},
    {21, L"tqfwbe", L"tqfwbf", L"tqfwbg"}, {22, L"tqfwbj", L"tqfwbi", L"tqfwbh"},
    {23, L"tqfwbm", L"tqfwbl", L"tqfwbk"}, {24, L"tqfwbp", L"tqfwbo", L"tqfwbn"},
    {25, L"tqfwbs", L"tqfwbr", L"tqfwbq"}, {26, L"tqfwbv", L"tqfwbu", L"tqfwbt"},
    {27, L"tqfwby", L"tqfwbx", L"tqfwbw"}, {28, L"tqfwcb", L"tqfwca", L"tqfwbz"},
    {29, L"tqfwce", L"tqfwcd", L"tqfwcc"}, {30, L"tqfwch", L"tqfwcg", L"tqfwcf"},
    {31, L"tqfwci", L"tqfwcj", L"tqfwck"}, {32, L"tqfwcl", L"tqfwcm", L"tqfwcn"},
    {34, L"tqfwco", L"tqfwcp", L"tqfwcq"}, {35, L"tqfwcr", L"tqfwcs", L"tqfwct"},
    {36, L"tqfwcu", L"tqfwcv", L"tqfwcw"}, {37, L"tqfwcx", L"tqfwcy", L"tqfwcz"},
    {38, L"tqfwda", L"tqfwdb", L"tqfwdc"}, {39, L"tqfwdd", L"tqfwde", L"tqfwdf"},
    {40, L"tqfwdi", L"tqfwdh", L"tqfwdg"}, {41, L"tqfwdl", L"tqfwdk", L"tqfwdj"},
    {42, L"tqfwdo", L"tqfwdn", L"tqfwdm"}, {43, L"tqfwdp", L"tqfwdq", L"tqfwdr"},
    {44, L"tqfwds", L"tqfwdt", L"tqfwdu"}, {45, L"tqfwdv", L"tqfwdw", L"tqfwdx"},
    {46, L"tqfwdy", L"tqfwdz", L"tqfwea"}, {47, L"tqfweb", L"tqfwec", L"tqfwed"},
    {48, L"tqfwee", L"tqfwef", L"tqfweg"}, {49, L"tqfwej", L"tqfwei", L"tqfweh"},
    {50, L"tqfwem", L"tqfwel", L"tqfwek"}, {51, L"tqfwep", L"tqfweo", L"tqfwen"},
    {52, L"tqfwes", L"tqfwer", L"tqfweq"}, {53, L"tqfwev", L"tqfweu", L"tqfwet"},
    {54, L"tqfwey", L"tqfwex", L"tqfwew"}, {55, L"tqfwfb", L"tqfwfa", L"tqfwez"},
    {56, L"tqfwfe", L"tqfwfd", L"tqfwfc"}, {57, L"tqfwfh", L"tqfwfg", L"tqfwff"},
};

TEST(ServiceCatalogue, SettingsStemsFollowTheirSequence) {
  for (const StemRow& row : kStems) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(row.number);
    EXPECT_EQ(row.automatic, ServiceCatalogue::BoxStem(entry.automaticBox)) << row.number;
    EXPECT_EQ(row.manual, ServiceCatalogue::BoxStem(entry.manualBox)) << row.number;
    EXPECT_EQ(row.disabled, ServiceCatalogue::BoxStem(entry.disabledBox)) << row.number;
  }
  EXPECT_EQ(L"tqfwyw", ServiceCatalogue::SettingsStem(L"Check29"));
  EXPECT_EQ(L"tqfwyy", ServiceCatalogue::SettingsStem(L"Check30"));
  EXPECT_EQ(L"tqfwaw", ServiceCatalogue::SettingsStem(L"Check54"));
  EXPECT_EQ(L"tqfway", ServiceCatalogue::SettingsStem(L"Check55"));
  EXPECT_EQ(L"tqfwcn", ServiceCatalogue::SettingsStem(L"Check96"));
  EXPECT_EQ(L"tqfwco", ServiceCatalogue::SettingsStem(L"Check100"));
  EXPECT_EQ(L"tqfwfh", ServiceCatalogue::SettingsStem(L"Check171"));
  EXPECT_EQ(L"tqxzza", ServiceCatalogue::SettingsStem(L"Option1"));
  EXPECT_EQ(L"tqxzzb", ServiceCatalogue::SettingsStem(L"Option2"));
  EXPECT_EQ(L"", ServiceCatalogue::SettingsStem(L"Check97"));
  EXPECT_EQ(L"", ServiceCatalogue::SettingsStem(L"Option3"));

  std::set<std::wstring> stems;
  for (int box : ServiceCatalogue::BoxNumbers()) {
    stems.insert(ServiceCatalogue::BoxStem(box));
  }
  EXPECT_EQ(168u, stems.size()) << "no two boxes share a stem";
}

TEST(ServiceCatalogue, ReadingOrderFollowsThePagesRows) {
  const auto& order = ServiceCatalogue::ReadingOrder();
  EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), 56u);
  const ServiceEntry& first = *ServiceCatalogue::FindEntry(15);
  EXPECT_EQ(4, ServiceCatalogue::RowOf(first));
  EXPECT_EQ(0, ServiceCatalogue::ColumnOf(first));
  const ServiceEntry& spooler = *ServiceCatalogue::FindEntry(57);
  EXPECT_EQ(0, ServiceCatalogue::RowOf(spooler));
  EXPECT_EQ(0, ServiceCatalogue::ColumnOf(spooler));
  const ServiceEntry& wmi = *ServiceCatalogue::FindEntry(32);
  EXPECT_EQ(8, ServiceCatalogue::RowOf(wmi));
  EXPECT_EQ(1, ServiceCatalogue::ColumnOf(wmi));
  const ServiceEntry& ntlm = *ServiceCatalogue::FindEntry(30);
  EXPECT_EQ(9, ServiceCatalogue::RowOf(ntlm));
  EXPECT_EQ(0, ServiceCatalogue::ColumnOf(ntlm));
}

}  // namespace
}  // namespace svctune
