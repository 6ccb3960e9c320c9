#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "registry/registry_api.h"

namespace svctune {

// The start type of a service: the 32-bit value "Start" of its key.
enum class StartType : int { kAutomatic = 2, kManual = 3, kDisabled = 4 };

// One service of the built-in catalogue. The number is also the number of its caption label
// (Label1 ... Label57); it owns the check boxes Check(3n-2) to Check(3n), one per start type.
struct ServiceEntry {
  int number;
  int page;                      // 1 or 2
  std::wstring_view caption;     // display text only; never used as a key
  std::wstring_view serviceKey;  // key under SYSTEM\CurrentControlSet\Services
  int automaticBox;
  int manualBox;
  int disabledBox;
  StartType thorough;  // box ticked by "细致优化"
  StartType ordinary;  // box ticked by "普通优化"
  std::wstring_view hoverText;

  int BoxOf(StartType type) const;
};

// A check box of the catalogue: its entry and the start type it stands for.
struct BoxInfo {
  const ServiceEntry* entry;
  StartType type;
};

// Where a service's start type lives.
struct ServiceLocation {
  registry::KeyHandle root;
  std::wstring path;
  std::wstring valueName;
};

inline constexpr int kServiceCount = 56;
inline constexpr int kBoxCount = 168;
inline constexpr int kHighestBoxNumber = 171;

class ServiceCatalogue {
 public:
  // All 56 entries in catalogue order (1 to 57, without 33).
  static const std::array<ServiceEntry, kServiceCount>& Entries();
  static const ServiceEntry* FindEntry(int number);
  // The entry of a service key, in any letter case (as Windows matches service names); null
  // for a service outside the catalogue.
  static const ServiceEntry* FindEntryByKey(std::wstring_view serviceKey);

  // The box numbers 1 to 171 without 97 to 99, in increasing order.
  static const std::array<int, kBoxCount>& BoxNumbers();
  static std::optional<BoxInfo> FindBox(int boxNumber);
  // "Check12" and the like; anything else yields nothing.
  static std::optional<BoxInfo> FindBox(std::wstring_view controlName);

  // Settings stem of "Check<n>", "Option1" or "Option2"; empty for any other name.
  static std::wstring SettingsStem(std::wstring_view controlName);
  static std::wstring BoxStem(int boxNumber);

  static ServiceLocation LocationOf(const ServiceEntry& entry);

  // The entries in the reading order of the two pages (rows top to bottom, cells left to
  // right), the order in which the presets visit them.
  static const std::array<int, kServiceCount>& ReadingOrder();
  // Row (0-9) and column (0-2) of an entry on its page.
  static int RowOf(const ServiceEntry& entry);
  static int ColumnOf(const ServiceEntry& entry);
};

std::wstring_view StartTypeDigit(StartType type);

}  // namespace svctune
