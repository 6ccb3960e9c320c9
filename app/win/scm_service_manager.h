#pragma once

#include <cstddef>

#include "optimizer/service_manager.h"

namespace svctune::win {

// The Service Control Manager of this machine, asked with read rights only. Each question
// opens the manager and the service and closes both before it returns.
class ScmServiceManager final : public ServiceManager {
 public:
  ServiceAnswer Query(std::wstring_view serviceKey, ServiceDetails& details) override;
  // One enumeration of the Win32 services (per-user instances among them) and their states.
  std::vector<std::pair<std::wstring, bool>> RunningStates() override;

  // Calls made to the manager so far (opens, queries, enumerations and closes).
  std::size_t Calls() const { return calls_; }

 private:
  std::size_t calls_ = 0;
};

}  // namespace svctune::win
