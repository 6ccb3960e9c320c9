#include "registry_backend.h"

#include "registry/memory_registry.h"
#include "test_codec.h"

#ifdef _WIN32
#include "win/scratch_hives.h"
#endif

namespace svctune::testing {
namespace {

class MemoryBackend final : public RegistryBackend {
 public:
  MemoryBackend() : registry_(ChineseAnsiCodec()) {}
  registry::RegistryApi& Api() override { return registry_; }
  long OpenHandles() const override { return static_cast<long>(registry_.OpenHandleCount()); }

 private:
  registry::MemoryRegistry registry_;
};

}  // namespace

std::unique_ptr<RegistryBackend> RegistryBackend::Create(BackendKind kind) {
#ifdef _WIN32
  if (kind == BackendKind::kSystem) {
    return std::make_unique<ScratchHives>();
  }
#endif
  (void)kind;
  return std::make_unique<MemoryBackend>();
}

std::vector<BackendKind> AvailableBackends() {
#ifdef _WIN32
  return {BackendKind::kMemory, BackendKind::kSystem};
#else
  return {BackendKind::kMemory};
#endif
}

std::string BackendName(BackendKind kind) {
  return kind == BackendKind::kMemory ? "Memory" : "System";
}

}  // namespace svctune::testing
