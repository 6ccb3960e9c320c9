#include "win/file_preset_store.h"

#include <windows.h>

#include <vector>

#include "win/system_error.h"

namespace svctune::win {
namespace {

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace

// Read with the widest sharing a reader can ask for, so that a program holding the file open
// (an editor, a backup tool, a virus scan) does not keep it from being read.
std::optional<std::string> ReadFirstBytes(const std::wstring& path, std::size_t limit,
                                          DWORD& error) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    error = GetLastError();
    return std::nullopt;
  }
  std::string bytes;
  std::vector<char> buffer(64 * 1024);
  while (bytes.size() < limit) {
    DWORD done = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr)) {
      error = GetLastError();
      return std::nullopt;
    }
    if (done == 0) {
      break;
    }
    bytes.append(buffer.data(), done);
  }
  if (bytes.size() > limit) {
    bytes.resize(limit);
  }
  return bytes;
}

PresetFileRead FilePresetStore::Read() {
  PresetFileRead read;
  DWORD error = ERROR_SUCCESS;
  // One byte past the limit tells the reader that the file was cut.
  std::optional<std::string> bytes = ReadFirstBytes(path_, kMaxPresetFileBytes + 1, error);
  if (!bytes) {
    read.outcome = error == ERROR_FILE_NOT_FOUND ? PresetFileRead::Outcome::kMissing
                                                 : PresetFileRead::Outcome::kFailed;
    read.error = SystemErrorText(error);
    return read;
  }
  read.outcome = PresetFileRead::Outcome::kRead;
  read.bytes = std::move(*bytes);
  return read;
}

bool FilePresetStore::KeepBackup(std::wstring& error) {
  const std::wstring backup = path_ + L".bak";
  if (CopyFileW(path_.c_str(), backup.c_str(), FALSE) == FALSE) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  return true;
}

bool FilePresetStore::Write(std::string_view bytes, std::wstring& error) {
  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(FolderOf(path_).c_str(), L"tqs", 0, temporary) == 0) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  bool written = false;
  {
    ScopedFile file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    written =
        file.valid() && bytes.size() <= MAXDWORD &&
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
        done == bytes.size() && FlushFileBuffers(file.get()) && file.Close();
  }
  // The reason is taken before the clean-up below can replace it.
  const DWORD failure = written && MoveFileExW(temporary, path_.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                            ? ERROR_SUCCESS
                            : GetLastError();
  if (failure == ERROR_SUCCESS) {
    return true;
  }
  DeleteFileW(temporary);
  error = SystemErrorText(failure);
  return false;
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return L".";
    }
    if (length < path.size()) {
      return FolderOf(std::wstring(path.data(), length));
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace svctune::win
