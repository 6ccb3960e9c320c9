#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "optimizer/machine_start_types.h"
#include "optimizer/service_dependents.h"
#include "registry/registry_api.h"
#include "registry/scoped_key.h"
#include "text/ansi_codec.h"

namespace svctune {

// The bits of a service key's Type, as the service manager defines them.
inline constexpr std::uint32_t kDriverTypeBits = 0x0F;          // kernel 1, file system 2, 4, 8
inline constexpr std::uint32_t kWin32TypeBits = 0x30;           // own process 0x10, shared 0x20
inline constexpr std::uint32_t kUserServiceBit = 0x40;          // a per-user service template
inline constexpr std::uint32_t kUserServiceInstanceBit = 0x80;  // one user's instance of it

// The longest Description, ObjectName or ImagePath read; a longer one is left out.
inline constexpr std::uint32_t kMaxServiceTextBytes = 4096;

// One key under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services as the machine holds it.
// Texts are kept as stored: an indirect text ("@file.dll,-100") is not resolved here.
struct ServiceKeyRecord {
  std::wstring key;
  std::optional<std::uint32_t> type;  // a REG_DWORD of four bytes
  StartValue start;                   // never kNoService: the key is there
  std::optional<std::uint32_t> delayedAutostart;
  std::vector<std::wstring> dependsOn;  // DependOnService
  std::wstring displayName;
  std::wstring description;
  std::wstring objectName;  // the account it runs as
  std::wstring imagePath;
  bool hasTriggers = false;  // a TriggerInfo sub-key
  bool writeDenied = false;  // opening the key for KEY_SET_VALUE was refused with 5

  // Start 2 with DelayedAutostart set: what Windows Vista and later start after the others.
  bool DelayedStart() const;
};

// What a key is to the list of services.
enum class ServiceKind {
  kNotListed,        // a driver, or no service type at all
  kService,          // a Win32 service, own or shared process
  kPerUserTemplate,  // the template Windows makes each user's instance from
  kPerUserInstance,  // one user's instance ("Name_1a2b3c"), shown in its template's row
};
ServiceKind KindOf(const ServiceKeyRecord& record);
// The template key of a per-user instance: its key up to the last '_'.
std::wstring_view TemplateKeyOf(std::wstring_view instanceKey);

// Every service key of the machine, read once through the registry seam: what the status
// line's dependents, the list of services and /list are made from.
class ServiceInventory {
 public:
  ServiceInventory(std::vector<ServiceKeyRecord> records, bool complete);

  // What is read of each key.
  enum class Detail {
    kWhole,           // every value of ServiceKeyRecord, and the KEY_SET_VALUE probe
    kStartsAndNeeds,  // what the status line tells: start, delay, triggers, display name and
                      // DependOnService; the rest left empty and writeDenied false
  };

  // Walks the Services key once (at most kMaxServiceKeys keys) and reads each key's values.
  static ServiceInventory Read(registry::RegistryApi& api, const AnsiCodec& ansiCodePage,
                               Detail detail = Detail::kWhole);

  // Adds records read later; complete tells whether the whole inventory now is.
  void Add(std::vector<ServiceKeyRecord> more, bool complete);

  const std::vector<ServiceKeyRecord>& Records() const { return records_; }
  // False when not every key could be read (the Services key refused, or a limit reached).
  bool Complete() const { return complete_; }

  // The map of which services need which, made from these records.
  ServiceDependents Dependents() const;

 private:
  std::vector<ServiceKeyRecord> records_;
  bool complete_;
};

// Reads the Services key a part at a time, so that a window can show the keys read so far and
// read the rest between its messages.
class ServiceInventoryReader {
 public:
  ServiceInventoryReader(registry::RegistryApi& api, const AnsiCodec& ansiCodePage,
                         ServiceInventory::Detail detail = ServiceInventory::Detail::kWhole);

  // The records of up to `keys` more keys, in the order the Services key lists them.
  std::vector<ServiceKeyRecord> ReadMore(std::size_t keys);
  // Every key read, or the walk ended by a failure or the limit of kMaxServiceKeys.
  bool Done() const { return done_; }
  // False when not every key could be read.
  bool Complete() const { return complete_; }

 private:
  registry::RegistryApi& api_;
  const AnsiCodec& ansiCodePage_;
  ServiceInventory::Detail detail_;
  registry::ScopedKey services_;
  std::uint32_t index_ = 0;
  bool done_ = false;
  bool complete_ = true;
};

}  // namespace svctune
