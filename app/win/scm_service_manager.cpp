#include "win/scm_service_manager.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace svctune::win {
namespace {

constexpr DWORD kMaxEnumerationBytes = 16 * 1024 * 1024;
// Services added between two askings make the answer bigger again; a few askings settle it.
constexpr int kEnumerationAttempts = 4;

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
  // The whole list in one answer: when the buffer is too small, it is made as big as the
  // answer says and the list is asked for again from its start. Resuming where a part ended
  // is not relied on: Wine leaves the resume handle where it was, and the list never ended.
  DWORD bytes = 16 * 1024;
  for (int attempt = 0; attempt < kEnumerationAttempts; ++attempt) {
    std::vector<std::uint64_t> buffer = Buffer(bytes);
    auto* services = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    DWORD needed = 0;
    DWORD returned = 0;
    DWORD resume = 0;
    ++calls_;
    if (EnumServicesStatusW(manager.get(), SERVICE_WIN32, SERVICE_STATE_ALL, services, bytes,
                            &needed, &returned, &resume)) {
      for (DWORD i = 0; i < returned; ++i) {
        if (services[i].lpServiceName != nullptr) {
          states.emplace_back(services[i].lpServiceName,
                              services[i].ServiceStatus.dwCurrentState == SERVICE_RUNNING);
        }
      }
      return states;
    }
    if (GetLastError() != ERROR_MORE_DATA || needed == 0 || needed > kMaxEnumerationBytes - bytes) {
      return {};
    }
    bytes += needed;
  }
  return {};
}

}  // namespace svctune::win
