#pragma once

#include "registry/registry_api.h"

namespace svctune::registry {

// A key handle closed when the object goes away. The predefined roots are never closed.
class ScopedKey {
 public:
  explicit ScopedKey(RegistryApi& api) : api_(api) {}
  ~ScopedKey() {
    if (handle_ != 0 && !(handle_ >= kClassesRoot && handle_ <= kDynData)) {
      api_.RegCloseKey(handle_);
    }
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  KeyHandle* Receive() { return &handle_; }
  KeyHandle get() const { return handle_; }

 private:
  RegistryApi& api_;
  KeyHandle handle_ = 0;
};

}  // namespace svctune::registry
