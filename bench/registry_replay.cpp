#include "registry_replay.h"

#include <windows.h>

#include <algorithm>

namespace svctune::bench {
namespace {

using registry::KeyHandle;
using registry::Status;

bool IsRoot(KeyHandle key) {
  return key >= registry::kClassesRoot && key <= registry::kDynData;
}

std::string Text(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

void RecordingSeam::Record(std::vector<RegistryCall>* log) {
  log_ = log;
  open_.clear();
  slots_ = 0;
}

RegistryCall& RecordingSeam::Append(RegistryCall::Kind kind, KeyHandle key) {
  RegistryCall call;
  call.kind = kind;
  if (IsRoot(key)) {
    call.root = key;
  } else {
    const auto found = std::find_if(open_.rbegin(), open_.rend(),
                                    [key](const auto& entry) { return entry.first == key; });
    call.key = found != open_.rend() ? found->second : -1;
  }
  log_->push_back(std::move(call));
  return log_->back();
}

void RecordingSeam::Opened(Status status, const KeyHandle* result) {
  if (status != registry::kSuccess || result == nullptr || IsRoot(*result)) {
    return;
  }
  log_->back().result = slots_;
  open_.emplace_back(*result, slots_++);
}

Status RecordingSeam::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                                    std::uint32_t access, KeyHandle* result) {
  const Status status = inner_.RegOpenKeyExA(key, subKey, options, access, result);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kOpenKeyEx, key);
    call.subKey = Text(subKey);
    call.hasSubKey = subKey != nullptr;
    call.options = options;
    call.access = access;
    Opened(status, result);
  }
  return status;
}

Status RecordingSeam::RegOpenKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  const Status status = inner_.RegOpenKeyA(key, subKey, result);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kOpenKey, key);
    call.subKey = Text(subKey);
    call.hasSubKey = subKey != nullptr;
    Opened(status, result);
  }
  return status;
}

Status RecordingSeam::RegCreateKeyA(KeyHandle key, const char* subKey, KeyHandle* result) {
  const Status status = inner_.RegCreateKeyA(key, subKey, result);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kCreateKey, key);
    call.subKey = Text(subKey);
    call.hasSubKey = subKey != nullptr;
    Opened(status, result);
  }
  return status;
}

Status RecordingSeam::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                      const char* keyClass, std::uint32_t options,
                                      std::uint32_t access, KeyHandle* result,
                                      std::uint32_t* disposition) {
  const Status status =
      inner_.RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, result, disposition);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kCreateKeyEx, key);
    call.subKey = Text(subKey);
    call.hasSubKey = subKey != nullptr;
    call.valueName = Text(keyClass);
    call.hasValueName = keyClass != nullptr;
    call.options = options;
    call.access = access;
    call.hasDisposition = disposition != nullptr;
    Opened(status, result);
  }
  return status;
}

Status RecordingSeam::RegQueryValueExA(KeyHandle key, const char* valueName,
                                       std::uint32_t* reserved, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* dataSize) {
  const std::uint32_t bufferSize = dataSize != nullptr ? *dataSize : 0;
  const Status status = inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kQueryValueEx, key);
    call.valueName = Text(valueName);
    call.hasValueName = valueName != nullptr;
    call.hasType = type != nullptr;
    call.hasData = data != nullptr;
    call.hasDataSize = dataSize != nullptr;
    call.size = bufferSize;
  }
  return status;
}

Status RecordingSeam::RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t dataSize) {
  const Status status = inner_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kSetValueEx, key);
    call.valueName = Text(valueName);
    call.hasValueName = valueName != nullptr;
    call.type = type;
    call.hasData = data != nullptr;
    if (data != nullptr) {
      call.data.assign(reinterpret_cast<const char*>(data), dataSize);
    }
    call.size = dataSize;
  }
  return status;
}

Status RecordingSeam::RegDeleteValueA(KeyHandle key, const char* valueName) {
  const Status status = inner_.RegDeleteValueA(key, valueName);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kDeleteValue, key);
    call.valueName = Text(valueName);
    call.hasValueName = valueName != nullptr;
  }
  return status;
}

Status RecordingSeam::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  const Status status = inner_.RegDeleteKeyA(key, subKey);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kDeleteKey, key);
    call.subKey = Text(subKey);
    call.hasSubKey = subKey != nullptr;
  }
  return status;
}

Status RecordingSeam::RegEnumKeyA(KeyHandle key, std::uint32_t index, char* name,
                                  std::uint32_t nameSize) {
  const Status status = inner_.RegEnumKeyA(key, index, name, nameSize);
  if (log_ != nullptr) {
    RegistryCall& call = Append(RegistryCall::kEnumKey, key);
    call.index = index;
    call.hasData = name != nullptr;
    call.size = nameSize;
  }
  return status;
}

Status RecordingSeam::RegCloseKey(KeyHandle key) {
  const Status status = inner_.RegCloseKey(key);
  if (log_ != nullptr) {
    Append(RegistryCall::kClose, key);
    const auto found = std::find_if(open_.rbegin(), open_.rend(),
                                    [key](const auto& entry) { return entry.first == key; });
    if (found != open_.rend()) {
      open_.erase(std::next(found).base());
    }
  }
  return status;
}

RegistryReplay::RegistryReplay(const std::vector<RegistryCall>& calls) : calls_(calls) {
  int slots = 0;
  buffers_.resize(calls.size());
  for (std::size_t i = 0; i < calls.size(); ++i) {
    slots = std::max(slots, calls[i].result + 1);
    buffers_[i].resize(std::max<std::uint32_t>(calls[i].size, 1));
  }
  keys_.resize(static_cast<std::size_t>(slots));
}

std::size_t RegistryReplay::Run() {
  const auto key = [this](const RegistryCall& call) {
    return call.key < 0
               ? reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(call.root)))
               : reinterpret_cast<HKEY>(keys_[static_cast<std::size_t>(call.key)]);
  };
  const auto text = [](bool present, const std::string& value) {
    return present ? value.c_str() : nullptr;
  };
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    const RegistryCall& call = calls_[i];
    HKEY opened = nullptr;
    BYTE* buffer = buffers_[i].data();
    switch (call.kind) {
      case RegistryCall::kOpenKeyEx:
        RegOpenKeyExA(key(call), text(call.hasSubKey, call.subKey), call.options, call.access,
                      &opened);
        break;
      case RegistryCall::kOpenKey:
        RegOpenKeyA(key(call), text(call.hasSubKey, call.subKey), &opened);
        break;
      case RegistryCall::kCreateKey:
        RegCreateKeyA(key(call), text(call.hasSubKey, call.subKey), &opened);
        break;
      case RegistryCall::kCreateKeyEx: {
        DWORD disposition = 0;
        RegCreateKeyExA(key(call), text(call.hasSubKey, call.subKey), 0,
                        const_cast<LPSTR>(text(call.hasValueName, call.valueName)), call.options,
                        call.access, nullptr, &opened,
                        call.hasDisposition ? &disposition : nullptr);
        break;
      }
      case RegistryCall::kQueryValueEx: {
        DWORD type = 0;
        DWORD size = call.size;
        RegQueryValueExA(key(call), text(call.hasValueName, call.valueName), nullptr,
                         call.hasType ? &type : nullptr, call.hasData ? buffer : nullptr,
                         call.hasDataSize ? &size : nullptr);
        break;
      }
      case RegistryCall::kSetValueEx:
        RegSetValueExA(key(call), text(call.hasValueName, call.valueName), 0, call.type,
                       call.hasData ? reinterpret_cast<const BYTE*>(call.data.data()) : nullptr,
                       call.size);
        break;
      case RegistryCall::kDeleteValue:
        RegDeleteValueA(key(call), text(call.hasValueName, call.valueName));
        break;
      case RegistryCall::kDeleteKey:
        RegDeleteKeyA(key(call), text(call.hasSubKey, call.subKey));
        break;
      case RegistryCall::kEnumKey:
        RegEnumKeyA(key(call), call.index, call.hasData ? reinterpret_cast<LPSTR>(buffer) : nullptr,
                    call.size);
        break;
      case RegistryCall::kClose:
        RegCloseKey(key(call));
        break;
    }
    if (call.result >= 0) {
      keys_[static_cast<std::size_t>(call.result)] = reinterpret_cast<std::uintptr_t>(opened);
    }
  }
  return calls_.size();
}

}  // namespace svctune::bench
