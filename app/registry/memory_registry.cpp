#include "registry/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace svctune::registry {
namespace {

constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kAllRights = kKeyAllSpecificRights | kDelete;
// Rights that change a key, refused under a key whose changes are denied.
constexpr std::uint32_t kChangingRights = kKeySetValue | kKeyCreateSubKey | 0x0020 | kDelete;
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::uint32_t kCreatedNewKey = 1;
constexpr std::uint32_t kOpenedExistingKey = 2;

std::uint32_t MapAccess(std::uint32_t access) {
  std::uint32_t rights = access & kAllRights;
  if (access & (kGenericAll | kMaximumAllowed)) {
    rights |= kAllRights;
  }
  if (access & kGenericRead) {
    rights |= kKeyRead & kKeyAllSpecificRights;
  }
  if (access & kGenericWrite) {
    rights |= kKeyWrite & kKeyAllSpecificRights;
  }
  return rights;
}

bool IsTextType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Names compare as the registry compares them: letters without regard to case.
std::wstring Fold(std::wstring_view name) {
  std::wstring folded(name);
  for (wchar_t& c : folded) {
    if (c >= L'a' && c <= L'z') {
      c = static_cast<wchar_t>(c - L'a' + L'A');
    }
  }
  return folded;
}

bool IsRoot(KeyHandle handle) {
  return handle == kClassesRoot || handle == kCurrentUser || handle == kLocalMachine ||
         handle == kUsers || handle == kCurrentConfig || handle == kDynData;
}

}  // namespace

struct MemoryRegistry::Key {
  KeyHandle root = 0;
  std::weak_ptr<Key> parent;
  std::wstring name;
  std::map<std::wstring, std::shared_ptr<Key>> children;  // by folded name
  std::map<std::wstring, Value> values;                   // by folded name
  bool deleted = false;

  std::vector<std::wstring> FoldedPath() const {
    std::vector<std::wstring> path;
    for (const Key* key = this; key != nullptr;) {
      auto up = key->parent.lock();
      if (!up) {
        break;
      }
      path.push_back(Fold(key->name));
      key = up.get();
    }
    std::reverse(path.begin(), path.end());
    return path;
  }
};

MemoryRegistry::MemoryRegistry(const AnsiCodec& codec) : codec_(codec) {
  for (KeyHandle root :
       {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig, kDynData}) {
    auto key = std::make_shared<Key>();
    key->root = root;
    roots_[root] = std::move(key);
  }
}

MemoryRegistry::~MemoryRegistry() = default;

Status MemoryRegistry::Resolve(KeyHandle handle, std::uint32_t neededAccess,
                               std::shared_ptr<Key>* key) const {
  if (IsRoot(handle)) {
    *key = roots_.at(handle);
    return kSuccess;
  }
  auto open = handles_.find(handle);
  if (open == handles_.end()) {
    return kInvalidHandle;
  }
  if (open->second.key->deleted) {
    return kKeyDeleted;
  }
  if ((open->second.access & neededAccess) != neededAccess) {
    return kAccessDenied;
  }
  *key = open->second.key;
  return kSuccess;
}

bool MemoryRegistry::ChangesDenied(const Key& key) const {
  const std::vector<std::wstring> path = key.FoldedPath();
  for (const auto& [root, denied] : deniedPaths_) {
    if (root == key.root && path.size() >= denied.size() &&
        std::equal(denied.begin(), denied.end(), path.begin())) {
      return true;
    }
  }
  return false;
}

Status MemoryRegistry::Walk(const std::shared_ptr<Key>& start, const char* subKey, bool create,
                            std::shared_ptr<Key>* found, bool* created) {
  *created = false;
  std::shared_ptr<Key> current = start;
  const std::wstring path = subKey ? codec_.FromAnsi(subKey) : std::wstring();
  if (!path.empty() && path.front() == L'\\') {
    return kBadPathname;
  }
  std::size_t begin = 0;
  while (begin < path.size()) {
    std::size_t end = path.find(L'\\', begin);
    if (end == std::wstring::npos) {
      end = path.size();
    }
    const std::wstring name = path.substr(begin, end - begin);
    begin = end + 1;
    if (name.empty()) {
      continue;
    }
    if (name.size() > kMaxKeyNameLength) {
      return kMoreData;
    }
    auto child = current->children.find(Fold(name));
    if (child != current->children.end()) {
      current = child->second;
      continue;
    }
    if (!create) {
      return kFileNotFound;
    }
    auto key = std::make_shared<Key>();
    key->root = current->root;
    key->parent = current;
    key->name = name;
    if (ChangesDenied(*key)) {
      return kAccessDenied;
    }
    current->children[Fold(name)] = key;
    current = key;
    *created = true;
  }
  *found = current;
  return kSuccess;
}

KeyHandle MemoryRegistry::NewHandle(std::shared_ptr<Key> key, std::uint32_t access) {
  const KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = OpenKey{std::move(key), access};
  return handle;
}

Status MemoryRegistry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t,
                                     std::uint32_t access, KeyHandle* result) {
  if (result == nullptr) {
    return kInvalidParameter;
  }
  std::shared_ptr<Key> start;
  if (Status status = Resolve(key, 0, &start); status != kSuccess) {
    return status;
  }
  if (IsRoot(key) && (subKey == nullptr || *subKey == '\0')) {
    *result = key;
    return kSuccess;
  }
  std::shared_ptr<Key> found;
  bool created = false;
  if (Status status = Walk(start, subKey, false, &found, &created); status != kSuccess) {
    return status;
  }
  const std::uint32_t rights = MapAccess(access);
  if ((access & kMaximumAllowed) == 0 && (rights & kChangingRights) && ChangesDenied(*found)) {
    return kAccessDenied;
  }
  *result = NewHandle(found, ChangesDenied(*found) ? rights & ~kChangingRights : rights);
  return kSuccess;
}

Status MemoryRegistry::RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  if (result == nullptr) {
    return kInvalidParameter;
  }
  if (subKey == nullptr || *subKey == '\0') {
    *result = key;
    return kSuccess;
  }
  return RegOpenKeyExA(key, subKey, 0, kMaximumAllowed, result);
}

Status MemoryRegistry::RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  return RegCreateKeyExA(key, subKey, 0, nullptr, 0, kMaximumAllowed, result, nullptr);
}

Status MemoryRegistry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                       const char*, std::uint32_t, std::uint32_t access,
                                       KeyHandle* result, std::uint32_t* disposition) {
  if (reserved != 0 || result == nullptr) {
    return kInvalidParameter;
  }
  std::shared_ptr<Key> start;
  if (Status status = Resolve(key, 0, &start); status != kSuccess) {
    return status;
  }
  std::shared_ptr<Key> found;
  bool created = false;
  if (Status status = Walk(start, subKey, true, &found, &created); status != kSuccess) {
    return status;
  }
  const std::uint32_t rights = MapAccess(access);
  const bool denied = ChangesDenied(*found);
  if (denied && (access & kMaximumAllowed) == 0 && (rights & kChangingRights)) {
    return kAccessDenied;
  }
  *result = NewHandle(found, denied ? rights & ~kChangingRights : rights);
  if (disposition != nullptr) {
    *disposition = created ? kCreatedNewKey : kOpenedExistingKey;
  }
  return kSuccess;
}

std::vector<std::uint8_t> MemoryRegistry::AnsiData(const Value& value) const {
  if (!IsTextType(value.type)) {
    return value.bytes;
  }
  const std::string ansi = codec_.ToAnsi(value.text);
  return std::vector<std::uint8_t>(ansi.begin(), ansi.end());
}

Status MemoryRegistry::RegQueryValueExA(KeyHandle key, const char* valueName,
                                        std::uint32_t* reserved, std::uint32_t* type,
                                        std::uint8_t* data, std::uint32_t* dataSize) {
  if ((data != nullptr && dataSize == nullptr) || reserved != nullptr) {
    return kInvalidParameter;
  }
  std::shared_ptr<Key> found;
  if (Status status = Resolve(key, kKeyQueryValue, &found); status != kSuccess) {
    return status;
  }
  const std::uint32_t room = dataSize ? *dataSize : 0;
  if (data == nullptr && dataSize != nullptr) {
    *dataSize = 0;
  }
  if (type != nullptr) {
    *type = kRegNone;
  }
  auto value = found->values.find(Fold(codec_.FromAnsi(valueName ? valueName : "")));
  if (value == found->values.end()) {
    return kFileNotFound;
  }
  const std::vector<std::uint8_t> bytes = AnsiData(value->second);
  const auto length = static_cast<std::uint32_t>(bytes.size());
  Status status = kSuccess;
  if (data != nullptr && length > 0) {
    if (length > room) {
      status = kMoreData;
    } else {
      std::memcpy(data, bytes.data(), length);
      // Like the system, terminate unterminated text when the buffer has room for it.
      if (IsTextType(value->second.type) && length < room && data[length - 1] != 0) {
        data[length] = 0;
      }
    }
  }
  if (type != nullptr) {
    *type = value->second.type;
  }
  if (dataSize != nullptr) {
    *dataSize = length;
  }
  return status;
}

Status MemoryRegistry::RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t,
                                      std::uint32_t type, const std::uint8_t* data,
                                      std::uint32_t dataSize) {
  if (data == nullptr && dataSize != 0) {
    return kInvalidParameter;
  }
  std::shared_ptr<Key> found;
  if (Status status = Resolve(key, kKeySetValue, &found); status != kSuccess) {
    return status;
  }
  if (ChangesDenied(*found)) {
    return kAccessDenied;
  }
  Value value;
  value.type = type;
  if (IsTextType(type)) {
    value.text = codec_.FromAnsi(std::string_view(reinterpret_cast<const char*>(data), dataSize));
  } else if (dataSize > 0) {
    value.bytes.assign(data, data + dataSize);
  }
  found->values[Fold(codec_.FromAnsi(valueName ? valueName : ""))] = std::move(value);
  return kSuccess;
}

Status MemoryRegistry::RegDeleteValueA(KeyHandle key, const char* valueName) {
  std::shared_ptr<Key> found;
  if (Status status = Resolve(key, kKeySetValue, &found); status != kSuccess) {
    return status;
  }
  if (ChangesDenied(*found)) {
    return kAccessDenied;
  }
  if (found->values.erase(Fold(codec_.FromAnsi(valueName ? valueName : ""))) == 0) {
    return kFileNotFound;
  }
  return kSuccess;
}

Status MemoryRegistry::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  std::shared_ptr<Key> start;
  if (Status status = Resolve(key, 0, &start); status != kSuccess) {
    return status;
  }
  std::shared_ptr<Key> target;
  bool created = false;
  if (Status status = Walk(start, subKey, false, &target, &created); status != kSuccess) {
    return status;
  }
  auto parent = target->parent.lock();
  if (!parent || !target->children.empty() || ChangesDenied(*target)) {
    return kAccessDenied;
  }
  parent->children.erase(Fold(target->name));
  target->deleted = true;
  return kSuccess;
}

Status MemoryRegistry::RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                                   std::uint32_t nameSize) {
  if (name == nullptr) {
    return kInvalidParameter;
  }
  std::shared_ptr<Key> found;
  if (Status status = Resolve(key, kKeyEnumerateSubKeys, &found); status != kSuccess) {
    return status;
  }
  if (index >= found->children.size()) {
    return kNoMoreItems;
  }
  auto child = std::next(found->children.begin(), index);
  const std::string ansi = codec_.ToAnsi(child->second->name);
  if (ansi.size() >= nameSize) {
    return kMoreData;
  }
  std::memcpy(name, ansi.c_str(), ansi.size() + 1);
  return kSuccess;
}

Status MemoryRegistry::RegCloseKey(KeyHandle key) {
  if (IsRoot(key)) {
    return kSuccess;
  }
  return handles_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

void MemoryRegistry::DenyChanges(KeyHandle root, std::string_view path) {
  std::vector<std::wstring> components;
  const std::wstring wide = codec_.FromAnsi(path);
  std::size_t begin = 0;
  while (begin <= wide.size()) {
    std::size_t end = wide.find(L'\\', begin);
    if (end == std::wstring::npos) {
      end = wide.size();
    }
    if (end > begin) {
      components.push_back(Fold(wide.substr(begin, end - begin)));
    }
    begin = end + 1;
  }
  deniedPaths_.emplace_back(root, std::move(components));
}

}  // namespace svctune::registry
