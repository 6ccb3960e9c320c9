#include "win/scm_service_manager.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace svctune::win {
namespace {

constexpr DWORD kMaxEnumerationBytes = 16 * 1024 * 1024;

class ScopedServiceHandle {
 public:
  ScopedServiceHandle(SC_HANDLE handle, std::size_t& calls) : handle_(handle), calls_(calls) {}
  ~ScopedServiceHandle() {
    if (handle_ != nullptr) {
      ++calls_;
      CloseServiceHandle(handle_);
    }
  }
  ScopedServiceHandle(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
  SC_HANDLE get() const { return handle_; }

 private:
  SC_HANDLE handle_;
  std::size_t& calls_;
};

// A buffer for the variable-sized answers, aligned for the structures they hold.
std::vector<std::uint64_t> Buffer(DWORD bytes) {
  return std::vector<std::uint64_t>((bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
}

}  // namespace

ServiceAnswer ScmServiceManager::Query(std::wstring_view serviceKey, ServiceDetails& details) {
  ++calls_;
  ScopedServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT), calls_);
  if (manager.get() == nullptr) {
    return ServiceAnswer::kManagerUnavailable;
  }
  const std::wstring name(serviceKey);
  ++calls_;
  ScopedServiceHandle service(
      OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG),
      calls_);
  if (service.get() == nullptr) {
    return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceAnswer::kNotInstalled
                                                          : ServiceAnswer::kManagerUnavailable;
  }

  ServiceDetails answer;
  SERVICE_STATUS status = {};
  ++calls_;
  if (!QueryServiceStatus(service.get(), &status)) {
    return ServiceAnswer::kManagerUnavailable;
  }
  answer.running = status.dwCurrentState == SERVICE_RUNNING;

  DWORD needed = 0;
  ++calls_;
  if (!QueryServiceConfigW(service.get(), nullptr, 0, &needed) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    std::vector<std::uint64_t> buffer = Buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    ++calls_;
    if (QueryServiceConfigW(service.get(), config, needed, &needed) &&
        config->lpDisplayName != nullptr) {
      answer.displayName = config->lpDisplayName;
    }
  }

  details = std::move(answer);
  return ServiceAnswer::kAnswered;
}

std::vector<std::pair<std::wstring, bool>> ScmServiceManager::RunningStates() {
  std::vector<std::pair<std::wstring, bool>> states;
  ++calls_;
  ScopedServiceHandle manager(
      OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE), calls_);
  if (manager.get() == nullptr) {
    return states;
  }
  DWORD resume = 0;
  DWORD bytes = 16 * 1024;
  for (;;) {
    std::vector<std::uint64_t> buffer = Buffer(bytes);
    auto* services = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    DWORD needed = 0;
    DWORD returned = 0;
    ++calls_;
    const BOOL done = EnumServicesStatusW(manager.get(), SERVICE_WIN32, SERVICE_STATE_ALL, services,
                                          bytes, &needed, &returned, &resume);
    const DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!done && error != ERROR_MORE_DATA) {
      return {};
    }
    for (DWORD i = 0; i < returned; ++i) {
      if (services[i].lpServiceName != nullptr) {
        states.emplace_back(services[i].lpServiceName,
                            services[i].ServiceStatus.dwCurrentState == SERVICE_RUNNING);
      }
    }
    if (done) {
      return states;
    }
    // More to come: the rest from where this part ended, in a bigger buffer when not even one
    // entry fitted.
    if (returned == 0) {
      if (needed <= bytes || needed > kMaxEnumerationBytes) {
        return {};
      }
      bytes = needed;
    }
  }
}

}  // namespace svctune::win
