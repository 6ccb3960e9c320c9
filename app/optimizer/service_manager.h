#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace svctune {

// What the Service Control Manager tells about one installed service.
struct ServiceDetails {
  std::wstring displayName;
  bool running = false;
};

enum class ServiceAnswer { kAnswered, kNotInstalled, kManagerUnavailable };

// Read-only questions to the Service Control Manager. The Windows implementation asks the
// system with read rights only; tests answer from a table. The services that depend on a
// service are read from the registry instead (ServiceDependents): Wine's manager cannot list
// them.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // Fills details for the service key when the manager knows the service.
  virtual ServiceAnswer Query(std::wstring_view serviceKey, ServiceDetails& details) = 0;
  // Every service the manager knows with whether it runs, asked once for all; nothing when the
  // manager does not answer.
  virtual std::vector<std::pair<std::wstring, bool>> RunningStates() { return {}; }
};

// A manager that answers nothing: the status line then names services by their keys.
class NoServiceManager final : public ServiceManager {
 public:
  ServiceAnswer Query(std::wstring_view, ServiceDetails&) override {
    return ServiceAnswer::kManagerUnavailable;
  }
};

}  // namespace svctune
