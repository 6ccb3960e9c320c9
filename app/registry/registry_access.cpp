#include "registry/registry_access.h"

#include <cstring>
#include <limits>

#include "registry/scoped_key.h"

namespace svctune::registry {
namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
constexpr std::uint32_t kEnumNameBufferSize = 2000;
constexpr std::uint32_t kRegOptionNonVolatile = 0;

std::wstring_view TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

std::wstring Upper(std::wstring_view text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') {
      c = static_cast<wchar_t>(c - L'a' + L'A');
    }
  }
  return upper;
}

// Data of a text value: the bytes up to, not including, any terminating zero bytes. A value
// stored without a terminator keeps its last character.
std::string_view TextBytes(const std::vector<char>& buffer, std::size_t size) {
  std::string_view bytes(buffer.data(), size);
  while (!bytes.empty() && bytes.back() == '\0') {
    bytes.remove_suffix(1);
  }
  return bytes;
}

}  // namespace

std::wstring ToText(const Variant& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return std::to_wstring(*number);
  }
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    return *text;
  }
  return {};
}

std::optional<std::int32_t> ToNumber(const Variant& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return *number;
  }
  if (IsEmpty(value)) {
    return 0;
  }
  const std::wstring_view text = TrimBlanks(std::get<std::wstring>(value));
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
    negative = text[at] == L'-';
    ++at;
  }
  long long whole = 0;
  bool anyDigit = false;
  while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
    whole = whole * 10 + (text[at] - L'0');
    anyDigit = true;
    if (whole > (1LL << 32)) {
      return std::nullopt;
    }
    ++at;
  }
  // A fraction rounds half to even, as numeric conversion does.
  int firstDecimal = -1;
  bool restNonZero = false;
  if (at < text.size() && text[at] == L'.') {
    ++at;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
      if (firstDecimal < 0) {
        firstDecimal = text[at] - L'0';
      } else if (text[at] != L'0') {
        restNonZero = true;
      }
      anyDigit = true;
      ++at;
    }
  }
  if (!anyDigit || at != text.size()) {
    return std::nullopt;
  }
  if (firstDecimal > 5 || (firstDecimal == 5 && (restNonZero || whole % 2 == 1))) {
    ++whole;
  }
  const long long signedValue = negative ? -whole : whole;
  if (signedValue < std::numeric_limits<std::int32_t>::min() ||
      signedValue > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(signedValue);
}

RegistryAccess::RegistryAccess(RegistryApi& api, const AnsiCodec& codec, MessagePresenter& messages,
                               std::wstring programTitle)
    : api_(api), codec_(codec), messages_(messages), programTitle_(std::move(programTitle)) {}

KeyHandle RegistryAccess::RootFromName(std::wstring_view name) {
  if (name == L"HKEY_CLASSES_ROOT")
    return kClassesRoot;
  if (name == L"HKEY_CURRENT_USER")
    return kCurrentUser;
  if (name == L"HKEY_LOCAL_MACHINE")
    return kLocalMachine;
  if (name == L"HKEY_USERS")
    return kUsers;
  if (name == L"HKEY_PERFORMANCE_DATA")
    return kPerformanceData;
  if (name == L"HKEY_CURRENT_CONFIG")
    return kCurrentConfig;
  if (name == L"HKEY_DYN_DATA")
    return kDynData;
  return 0;
}

KeyHandle RegistryAccess::RootHandleFromName(std::wstring_view name) {
  const std::wstring upper = Upper(name);
  if (upper == L"HKEY_CLASSES_ROOT")
    return kClassesRoot;
  if (upper == L"HKEY_CURRENT_USER")
    return kCurrentUser;
  if (upper == L"HKEY_LOCAL_MACHINE")
    return kLocalMachine;
  if (upper == L"HKEY_USERS")
    return kUsers;
  if (upper == L"HKEY_CURRENT_CONFIG")
    return kCurrentConfig;
  return 0;
}

std::wstring RegistryAccess::RootNameFromHandle(KeyHandle root) {
  switch (root) {
    case kClassesRoot:
      return L"HKEY_CLASSES_ROOT";
    case kCurrentUser:
      return L"HKEY_CURRENT_USER";
    case kLocalMachine:
      return L"HKEY_LOCAL_MACHINE";
    case kUsers:
      return L"HKEY_USERS";
    case kCurrentConfig:
      return L"HKEY_CURRENT_CONFIG";
    default:
      return {};
  }
}

void RegistryAccess::SplitRootPath(std::wstring& path, KeyHandle& root) {
  if (path.compare(0, 5, L"HKEY_") != 0 || path.back() == L'\\') {
    std::wstring message = L"Incorrect Format:";
    message += L"\n\n";
    message += path;
    messages_.Show(message, programTitle_, MessageIcon::kNone);
    root = 0;
    return;
  }
  const auto backslash = path.find(L'\\');
  if (backslash == std::wstring::npos) {
    root = RootFromName(path);
    path.clear();
    return;
  }
  root = RootFromName(std::wstring_view(path).substr(0, backslash));
  path.erase(0, backslash + 1);
}

void RegistryAccess::CreateKeyByPath(std::wstring path) {
  KeyHandle root = 0;
  SplitRootPath(path, root);
  if (root == 0) {
    return;
  }
  ScopedKey key(api_);
  api_.RegCreateKeyA(root, Ansi(path).c_str(), key.Receive());
}

void RegistryAccess::SetDwordByPath(std::wstring path, std::wstring_view valueName,
                                    std::int32_t value) {
  KeyHandle root = 0;
  SplitRootPath(path, root);
  if (root == 0) {
    return;
  }
  ScopedKey key(api_);
  if (api_.RegOpenKeyExA(root, Ansi(path).c_str(), 0, kKeyWrite, key.Receive()) == kSuccess) {
    WriteNumber(key.get(), valueName, kRegDword, value);
  }
}

void RegistryAccess::SetStringByPath(std::wstring path, std::wstring_view valueName,
                                     std::wstring_view text) {
  KeyHandle root = 0;
  SplitRootPath(path, root);
  if (root == 0) {
    return;
  }
  ScopedKey key(api_);
  if (api_.RegOpenKeyExA(root, Ansi(path).c_str(), 0, kKeyWrite, key.Receive()) == kSuccess) {
    WriteText(key.get(), valueName, kRegSz, text);
  }
}

Variant RegistryAccess::GetDwordByPath(std::wstring path, std::wstring_view valueName) {
  KeyHandle root = 0;
  SplitRootPath(path, root);
  if (root == 0) {
    return {};
  }
  ScopedKey key(api_);
  if (api_.RegOpenKeyExA(root, Ansi(path).c_str(), 0, kKeyRead, key.Receive()) != kSuccess) {
    return std::wstring(L"Error");
  }
  std::uint8_t buffer[4] = {};
  std::uint32_t type = kRegDword;
  std::uint32_t size = sizeof buffer;
  const Status status =
      api_.RegQueryValueExA(key.get(), Ansi(valueName).c_str(), nullptr, &type, buffer, &size);
  // Only a 4-byte number counts; the bytes of a short text are not a number.
  if (status != kSuccess || (type != kRegDword && type != kRegDwordBigEndian) ||
      size != sizeof buffer) {
    return std::wstring(L"Error");
  }
  std::int32_t number = 0;
  std::memcpy(&number, buffer, sizeof number);
  return number;
}

std::wstring RegistryAccess::BuildKeyPath(std::wstring_view base, std::wstring_view part1,
                                          std::wstring_view part2) {
  std::wstring path(base);
  for (std::wstring_view part : {part1, part2}) {
    if (part.empty()) {
      continue;
    }
    if (!path.empty()) {
      path += L'\\';
    }
    path += part;
  }
  for (auto doubled = path.find(L"\\\\"); doubled != std::wstring::npos;
       doubled = path.find(L"\\\\", doubled)) {
    path.erase(doubled, 1);
  }
  // Forward slashes become backslashes only now, so "//" stays a doubled separator.
  for (wchar_t& c : path) {
    if (c == L'/') {
      c = L'\\';
    }
  }
  return path;
}

Variant RegistryAccess::ReadSetting(std::wstring_view part1, std::wstring_view part2,
                                    std::wstring_view valueName, const std::wstring& defaultValue,
                                    KeyHandle root, std::wstring_view base, bool forWrite) {
  const std::wstring path = BuildKeyPath(base, part1, part2);
  ScopedKey key(api_);
  if (api_.RegOpenKeyExA(root, Ansi(path).c_str(), 0, forWrite ? kKeyAllSpecificRights : kKeyRead,
                         key.Receive()) != kSuccess) {
    return defaultValue;
  }
  Variant value;
  if (QueryValueTyped(key.get(), valueName, value) != kSuccess || IsEmpty(value)) {
    return defaultValue;
  }
  if (const auto* text = std::get_if<std::wstring>(&value); text && TrimBlanks(*text).empty()) {
    return defaultValue;
  }
  return value;
}

// A key that cannot be opened is not the caller's format fault: only a value that does not
// convert answers false.
bool RegistryAccess::WriteSetting(std::wstring_view part1, std::wstring_view part2,
                                  std::wstring_view valueName, const Variant& value, KeyHandle root,
                                  std::wstring_view base, std::uint32_t type) {
  return StoreSetting(part1, part2, valueName, value, root, base, type) != kValueDoesNotConvert;
}

Status RegistryAccess::StoreSetting(std::wstring_view part1, std::wstring_view part2,
                                    std::wstring_view valueName, const Variant& value,
                                    KeyHandle root, std::wstring_view base, std::uint32_t type) {
  const std::wstring path = BuildKeyPath(base, part1, part2);
  ScopedKey key(api_);
  const Status opened = api_.RegCreateKeyExA(root, Ansi(path).c_str(), 0, "", kRegOptionNonVolatile,
                                             kKeyAllSpecificRights, key.Receive(), nullptr);
  if (opened != kSuccess) {
    return opened;
  }
  return SetValueTyped(key.get(), valueName, type, value);
}

bool RegistryAccess::DeleteSetting(std::wstring_view part1, std::wstring_view part2,
                                   std::wstring_view valueName, KeyHandle root,
                                   std::wstring_view base) {
  const std::wstring path = BuildKeyPath(base, part1, part2);
  if (valueName.empty()) {
    return DeleteKeyTree(root, path);
  }
  ScopedKey key(api_);
  if (api_.RegCreateKeyExA(root, Ansi(path).c_str(), 0, "", kRegOptionNonVolatile,
                           kKeyAllSpecificRights, key.Receive(), nullptr) != kSuccess) {
    return false;
  }
  return api_.RegDeleteValueA(key.get(), Ansi(valueName).c_str()) == kSuccess;
}

bool RegistryAccess::DeleteKeyTree(KeyHandle root, const std::wstring& path) {
  // An empty path would name the root key itself, and the tree below it is not ours.
  if (path.empty()) {
    return false;
  }
  Status status = api_.RegDeleteKeyA(root, Ansi(path).c_str());
  if (status == kAccessDenied) {
    std::vector<std::wstring> names;
    std::vector<bool> hasChildren;
    EnumSubKeys(RootNameFromHandle(root), path, false, names, hasChildren);
    for (const std::wstring& name : names) {
      DeleteKeyTree(root, path + L'\\' + name);
    }
    status = api_.RegDeleteKeyA(root, Ansi(path).c_str());
  }
  return status == kSuccess;
}

Status RegistryAccess::QueryValueTyped(KeyHandle key, std::wstring_view valueName, Variant& value) {
  value = std::wstring();
  const std::string name = Ansi(valueName);
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;
  Status status = api_.RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (status != kSuccess) {
    return status;
  }
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegBinary: {
      std::vector<char> buffer(size, '\0');
      if (size > 0) {
        status = api_.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                       reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
        if (status != kSuccess) {
          value = std::monostate();
          return status;
        }
      }
      if (type == kRegBinary) {
        std::wstring hex;
        for (std::size_t i = 0; i < size; ++i) {
          const auto byte = static_cast<unsigned char>(buffer[i]);
          if (i > 0) {
            hex += L' ';
          }
          hex += kHexDigits[byte >> 4];
          hex += kHexDigits[byte & 0x0F];
        }
        value = std::move(hex);
      } else {
        value = codec_.FromAnsi(TextBytes(buffer, size));
      }
      return kSuccess;
    }
    case kRegDword:
    case kRegDwordBigEndian: {
      std::uint8_t buffer[4] = {};
      size = sizeof buffer;
      status = api_.RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer, &size);
      if (status == kSuccess) {
        std::int32_t number = 0;
        std::memcpy(&number, buffer, sizeof number);
        value = number;
      }
      return status;
    }
    default:
      return -1;
  }
}

Status RegistryAccess::WriteText(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                                 std::wstring_view text) {
  const std::string data = Ansi(text);
  return api_.RegSetValueExA(key, Ansi(valueName).c_str(), 0, type,
                             reinterpret_cast<const std::uint8_t*>(data.c_str()),
                             static_cast<std::uint32_t>(data.size() + 1));
}

Status RegistryAccess::WriteNumber(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                                   std::int32_t number) {
  std::uint8_t data[sizeof number];
  std::memcpy(data, &number, sizeof number);
  return api_.RegSetValueExA(key, Ansi(valueName).c_str(), 0, type, data, sizeof data);
}

Status RegistryAccess::SetValueTyped(KeyHandle key, std::wstring_view valueName, std::uint32_t type,
                                     const Variant& value) {
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      return WriteText(key, valueName, type, ToText(value));
    case kRegDword:
    case kRegDwordBigEndian: {
      const std::optional<std::int32_t> number = ToNumber(value);
      if (!number) {
        return kValueDoesNotConvert;
      }
      return WriteNumber(key, valueName, type, *number);
    }
    default:
      return kSuccess;
  }
}

void RegistryAccess::EnumSubKeys(std::wstring_view rootName, std::wstring_view path,
                                 bool withChildFlags, std::vector<std::wstring>& names,
                                 std::vector<bool>& hasChildren) {
  names.clear();
  hasChildren.clear();
  const KeyHandle root = RootHandleFromName(rootName);
  const std::wstring keyPath = BuildKeyPath(path, L"", L"");
  const std::string ansiPath = Ansi(keyPath);
  std::vector<char> buffer(kEnumNameBufferSize);
  for (std::uint32_t index = 0;; ++index) {
    ScopedKey key(api_);
    if (api_.RegOpenKeyExA(root, ansiPath.c_str(), 0, kKeyRead, key.Receive()) != kSuccess) {
      break;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    if (api_.RegEnumKeyA(key.get(), index, buffer.data(), kEnumNameBufferSize) != kSuccess) {
      break;
    }
    names.push_back(codec_.FromAnsi(std::string_view(buffer.data(), std::strlen(buffer.data()))));
  }
  if (!withChildFlags) {
    return;
  }
  for (const std::wstring& name : names) {
    const std::wstring childPath = keyPath.empty() ? name : keyPath + L'\\' + name;
    ScopedKey child(api_);
    bool childHasChildren = false;
    if (api_.RegOpenKeyExA(root, Ansi(childPath).c_str(), 0, kKeyRead, child.Receive()) ==
        kSuccess) {
      childHasChildren =
          api_.RegEnumKeyA(child.get(), 0, buffer.data(), kEnumNameBufferSize) == kSuccess;
    }
    hasChildren.push_back(childHasChildren);
  }
}

NumberReading RegistryAccess::ReadNumber(KeyHandle root, std::wstring_view path,
                                         std::wstring_view valueName, bool forWrite) {
  NumberReading reading;
  ScopedKey key(api_);
  reading.keyStatus = api_.RegOpenKeyExA(
      root, Ansi(path).c_str(), 0, forWrite ? kKeyAllSpecificRights : kKeyRead, key.Receive());
  if (reading.keyStatus != kSuccess) {
    return reading;
  }
  std::uint8_t buffer[4] = {};
  std::uint32_t type = kRegNone;
  std::uint32_t size = sizeof buffer;
  // A value longer than the buffer answers "more data", with its type.
  const Status status =
      api_.RegQueryValueExA(key.get(), Ansi(valueName).c_str(), nullptr, &type, buffer, &size);
  reading.valueFound = status == kSuccess || status == kMoreData;
  if (!reading.valueFound) {
    return reading;
  }
  reading.type = type;
  if (status == kSuccess && type == kRegDword && size == sizeof buffer) {
    std::uint32_t number = 0;
    std::memcpy(&number, buffer, sizeof number);
    reading.number = number;
  }
  return reading;
}

void RegistryAccess::SetKeyValue(KeyHandle root, std::wstring_view path,
                                 std::wstring_view valueName, const Variant& value,
                                 std::uint32_t type) {
  ScopedKey key(api_);
  // Writing only through a key that opened: a missing service key stays missing.
  if (api_.RegOpenKeyExA(root, Ansi(path).c_str(), 0, kKeyAllSpecificRights, key.Receive()) !=
      kSuccess) {
    return;
  }
  if (type == kRegSz) {
    WriteText(key.get(), valueName, kRegSz, ToText(value));
  } else if (type == kRegDword) {
    if (const std::optional<std::int32_t> number = ToNumber(value)) {
      WriteNumber(key.get(), valueName, kRegDword, *number);
    }
  }
}

Variant RegistryAccess::ReadStringValue(KeyHandle root, std::wstring_view path,
                                        std::wstring_view valueName) {
  ScopedKey key(api_);
  if (api_.RegOpenKeyA(root, Ansi(path).c_str(), key.Receive()) != kSuccess) {
    return {};
  }
  const std::string name = Ansi(valueName);
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;
  if (api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != kSuccess ||
      type != kRegSz) {
    return {};
  }
  std::vector<char> buffer(size + 1, '\0');
  if (size > 0 &&
      api_.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<std::uint8_t*>(buffer.data()), &size) != kSuccess) {
    return {};
  }
  return codec_.FromAnsi(std::string_view(buffer.data(), std::strlen(buffer.data())));
}

void RegistryAccess::WriteStringValue(KeyHandle root, std::wstring_view path,
                                      std::wstring_view valueName, std::wstring_view text) {
  ScopedKey key(api_);
  if (api_.RegCreateKeyA(root, Ansi(path).c_str(), key.Receive()) != kSuccess) {
    return;
  }
  WriteText(key.get(), valueName, kRegSz, text);
}

}  // namespace svctune::registry
