#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "optimizer/preset_file.h"

namespace svctune::win {

// A file handle from CreateFile (INVALID_HANDLE_VALUE when missing), closed once.
class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle) : handle_(handle) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // False when the system could not close it (buffered data not written).
  bool Close() {
    const bool closed = handle_ == INVALID_HANDLE_VALUE || CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// TQSE.ini as a file. Writing goes to a temporary file in the same folder, which then
// replaces the file in one step: a failure on the way leaves the previous file as it was.
class FilePresetStore final : public PresetFileStore {
 public:
  explicit FilePresetStore(std::wstring path) : path_(std::move(path)) {}
  PresetFileRead Read() override;
  bool Write(std::string_view bytes, std::wstring& error) override;
  bool KeepBackup(std::wstring& error) override;

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// The file's first bytes, at most limit of them; nothing when it cannot be opened or read
// (error then holds the system's reason). Read with the widest sharing: another program holding
// the file open does not keep it from being read.
std::optional<std::string> ReadFirstBytes(const std::wstring& path, std::size_t limit,
                                          DWORD& error);

// The folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace svctune::win
