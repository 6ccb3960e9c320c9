#include "service_keys.h"

#include "catalogue/service_catalogue.h"

namespace svctune::testing {
namespace {

std::string KeyOf(const std::string& service) {
  return "SYSTEM\\CurrentControlSet\\Services\\" + service;
}

}  // namespace

void ServiceKeys::Install(const std::string& service, std::int32_t start) {
  registry::KeyHandle key = 0;
  if (api_.RegCreateKeyA(registry::kLocalMachine, KeyOf(service).c_str(), &key) ==
      registry::kSuccess) {
    api_.RegSetValueExA(key, "Start", 0, registry::kRegDword,
                        reinterpret_cast<const std::uint8_t*>(&start), sizeof start);
    api_.RegCloseKey(key);
  }
}

void ServiceKeys::InstallAll(std::int32_t start) {
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    Install(std::string(entry.serviceKey.begin(), entry.serviceKey.end()), start);
  }
}

void ServiceKeys::SetStart(const std::string& service, std::int32_t start) {
  registry::KeyHandle key = 0;
  if (api_.RegOpenKeyExA(registry::kLocalMachine, KeyOf(service).c_str(), 0, registry::kKeyWrite,
                         &key) == registry::kSuccess) {
    api_.RegSetValueExA(key, "Start", 0, registry::kRegDword,
                        reinterpret_cast<const std::uint8_t*>(&start), sizeof start);
    api_.RegCloseKey(key);
  }
}

std::int32_t ServiceKeys::Start(const std::string& service) const {
  registry::KeyHandle key = 0;
  if (api_.RegOpenKeyExA(registry::kLocalMachine, KeyOf(service).c_str(), 0, registry::kKeyRead,
                         &key) != registry::kSuccess) {
    return -1;
  }
  std::int32_t value = -1;
  std::uint32_t type = 0;
  std::uint32_t size = sizeof value;
  const auto status = api_.RegQueryValueExA(key, "Start", nullptr, &type,
                                            reinterpret_cast<std::uint8_t*>(&value), &size);
  api_.RegCloseKey(key);
  return status == registry::kSuccess && type == registry::kRegDword ? value : -1;
}

bool ServiceKeys::Exists(const std::string& service) const {
  registry::KeyHandle key = 0;
  if (api_.RegOpenKeyExA(registry::kLocalMachine, KeyOf(service).c_str(), 0, registry::kKeyRead,
                         &key) != registry::kSuccess) {
    return false;
  }
  api_.RegCloseKey(key);
  return true;
}

}  // namespace svctune::testing
