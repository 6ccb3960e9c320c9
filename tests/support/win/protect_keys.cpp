// protect-keys: makes keys under HKEY_LOCAL_MACHINE look like the service keys Windows 10
// protects from administrators: a DACL that denies KEY_SET_VALUE to Administrators and to
// Everyone, keeps full access for SYSTEM and Administrators otherwise and reading for Everyone.
// Run by the test program of the Windows 10 test machine as it starts (ProtectedWindows10Keys in
// tests/e2e/e2e_support.*): Wine keeps a key's security only in the running wineserver, never
// in the prefix's hive files.
//
// Usage: protect-keys KEY...   (paths under HKEY_LOCAL_MACHINE)
// Exit codes: 0 every key protected, 1 a key could not be protected, 2 wrong usage.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "registry/scoped_key.h"
#include "win/advapi32_registry.h"

namespace {

using svctune::registry::Advapi32Registry;
using svctune::registry::kLocalMachine;
using svctune::registry::kSuccess;
using svctune::registry::ScopedKey;

struct SidDeleter {
  void operator()(void* sid) const { FreeSid(sid); }
};
using ScopedSid = std::unique_ptr<void, SidDeleter>;

ScopedSid MakeSid(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD first, DWORD second) {
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &sid)) {
    return nullptr;
  }
  return ScopedSid(sid);
}

// The DACL Windows 10 gives its protected service keys, as far as administrators see it.
class ProtectingDacl {
 public:
  bool Build() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    admins_ = MakeSid(nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    system_ = MakeSid(nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0);
    everyone_ = MakeSid(world, 1, SECURITY_WORLD_RID, 0);
    if (!admins_ || !system_ || !everyone_)
      return false;
    DWORD size = sizeof(ACL);
    for (void* sid :
         {admins_.get(), everyone_.get(), system_.get(), admins_.get(), everyone_.get()}) {
      size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
    }
    buffer_.assign(size, 0);
    auto* acl = reinterpret_cast<PACL>(buffer_.data());
    return InitializeAcl(acl, size, ACL_REVISION) &&
           AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE, admins_.get()) &&
           AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE, everyone_.get()) &&
           AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, system_.get()) &&
           AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, admins_.get()) &&
           AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone_.get()) &&
           InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
  }

  PSECURITY_DESCRIPTOR Descriptor() { return &descriptor_; }

 private:
  ScopedSid admins_;
  ScopedSid system_;
  ScopedSid everyone_;
  std::vector<BYTE> buffer_;
  SECURITY_DESCRIPTOR descriptor_{};
};

bool Protect(Advapi32Registry& registry, ProtectingDacl& dacl, const char* path) {
  ScopedKey key(registry);
  long status =
      registry.RegOpenKeyExA(kLocalMachine, path, 0, READ_CONTROL | WRITE_DAC, key.Receive());
  if (status == kSuccess) {
    status = RegSetKeySecurity(reinterpret_cast<HKEY>(key.get()), DACL_SECURITY_INFORMATION,
                               dacl.Descriptor());
  }
  if (status != kSuccess) {
    std::fprintf(stderr, "protect-keys: HKLM\\%s: error %ld\n", path, status);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: protect-keys KEY...\n");
    return 2;
  }
  ProtectingDacl dacl;
  if (!dacl.Build()) {
    std::fprintf(stderr, "protect-keys: could not build the DACL: error %lu\n", GetLastError());
    return 1;
  }
  Advapi32Registry registry;
  bool all = true;
  for (int i = 1; i < argc; ++i) {
    all = Protect(registry, dacl, argv[i]) && all;
  }
  return all ? 0 : 1;
}
