#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace svctune {

// What the Service Control Manager tells about one installed service.
struct ServiceDetails {
  std::wstring displayName;
  bool running = false;
  // Display names of the services that depend on this one, when the manager could list them.
  std::optional<std::vector<std::wstring>> dependents;
};

enum class ServiceAnswer { kAnswered, kNotInstalled, kManagerUnavailable };

// Read-only questions to the Service Control Manager. The Windows implementation asks the
// system with read rights only; tests answer from a table.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // Fills details for the service key when the manager knows the service.
  virtual ServiceAnswer Query(std::wstring_view serviceKey, ServiceDetails& details) = 0;
};

}  // namespace svctune
