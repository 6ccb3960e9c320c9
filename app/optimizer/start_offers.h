#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "optimizer/service_inventory.h"

namespace svctune {

// The Windows the program runs on, as the system reports it (RtlGetVersion).
struct WindowsVersion {
  std::uint32_t major = 5;
  std::uint32_t minor = 1;
  std::uint32_t build = 2600;

  // Windows Vista (6.0) and later start services delayed.
  bool HasDelayedStart() const { return major >= 6; }
};

// A service Windows cannot run without: it may not be disabled. The reason is shown to users;
// the source says where it comes from (docs/services.md has the whole account).
struct GuardEntry {
  std::wstring_view serviceKey;
  std::wstring_view reason;
  std::string_view source;
};

inline constexpr std::size_t kGuardEntries = 14;
const std::array<GuardEntry, kGuardEntries>& GuardList();
// The entry of a service key, in any letter case; null when it has none.
const GuardEntry* FindGuard(std::wstring_view serviceKey);

// The start types the list offers for a service.
enum class StartChoice { kAutomatic, kDelayedAutomatic, kManual, kDisabled };

// Whether a start type may be given to a service, and the reason shown where it is not.
struct StartOffer {
  bool offered = true;
  std::wstring refusal;
};

inline constexpr std::wstring_view kProtectedKeyText = L"受 Windows 保护";

// Not offered: anything for boot and system starts (0, 1), for per-user instances (their
// template is changed instead) and for keys Windows protects; 自动（延迟启动） before Windows
// Vista; 禁用 for the services of the guard list.
StartOffer OfferStart(const ServiceKeyRecord& record, StartChoice choice,
                      const WindowsVersion& version);

}  // namespace svctune
