#pragma once

#include <string>

#include "optimizer/preset_file.h"

namespace svctune::win {

// TQSE.ini as a file. Writing goes to a temporary file in the same folder, which then
// replaces the file in one step: a failure on the way leaves the previous file as it was.
class FilePresetStore final : public PresetFileStore {
 public:
  explicit FilePresetStore(std::wstring path) : path_(std::move(path)) {}
  PresetFileRead Read() override;
  bool Write(std::string_view bytes) override;
  bool KeepBackup() override;

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// The folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace svctune::win
