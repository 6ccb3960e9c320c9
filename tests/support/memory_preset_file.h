#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "optimizer/preset_file.h"

namespace svctune::testing {

// TQSE.ini in memory, with the ways a real file fails: unreadable (held open without sharing),
// not replaceable (held open without delete sharing, read-only) and no room for the copy.
class MemoryPresetFile final : public PresetFileStore {
 public:
  PresetFileRead Read() override {
    if (unreadable) {
      return {PresetFileRead::Outcome::kFailed, {}, L"系统错误 32"};
    }
    return content ? PresetFileRead{PresetFileRead::Outcome::kRead, *content, {}}
                   : PresetFileRead{};
  }
  bool Write(std::string_view bytes, std::wstring& error) override {
    ++writes;
    if (!writable) {
      error = L"系统错误 5";
      return false;
    }
    content = std::string(bytes);
    return true;
  }
  bool KeepBackup(std::wstring& error) override {
    ++backups;
    if (!backupPossible) {
      error = L"系统错误 112";
      return false;
    }
    backup = content;
    return true;
  }

  std::optional<std::string> content;
  std::optional<std::string> backup;
  bool writable = true;
  bool backupPossible = true;
  bool unreadable = false;
  int writes = 0;
  int backups = 0;
};

}  // namespace svctune::testing
