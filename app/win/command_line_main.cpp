#include "win/command_line_main.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <vector>

#include "deployment/command_run.h"
#include "program_info.h"
#include "text/unicode_text.h"
#include "win/advapi32_registry.h"
#include "win/code_page_codec.h"
#include "win/file_preset_store.h"
#include "win/formhome_window.h"
#include "win/instance_mark.h"
#include "win/scm_service_manager.h"
#include "win/shell_indirect_texts.h"
#include "win/system_error.h"

namespace svctune::win {
namespace {

constexpr unsigned kPresetFileCodePage = 936;
// A log on a share that another machine's run is writing to at the same moment: try again a
// little while.
constexpr int kLogAttempts = 20;
constexpr DWORD kLogRetryMilliseconds = 100;
// WriteConsoleW takes a limited amount at once on older systems.
constexpr std::size_t kConsoleChunk = 8 * 1024;

// The running program's file, in full.
std::wstring ModulePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      return std::wstring(path.data(), length);
    }
    path.resize(path.size() * 2);
  }
}

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

// The volume and the index of the file the path opens: the same for each of its names (short
// names, hard links, its streams). Nothing when it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  ScopedFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &information)) {
    return std::nullopt;
  }
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

// The path in full, in capitals, its folder in long names, without what the system drops
// after the file's name (trailing dots and blanks) or adds to it (a stream).
std::wstring ComparablePath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  }
  full = length > 0 && length < full.size() ? full.substr(0, length) : path;
  const std::size_t slash = full.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : full.substr(0, slash + 1);
  std::wstring name = full.substr(folder.size());
  name = name.substr(0, name.find(L':'));
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
    name.pop_back();
  }
  const DWORD longLength = GetLongPathNameW(folder.c_str(), nullptr, 0);
  if (longLength > 0) {
    std::wstring longFolder(longLength, L'\0');
    const DWORD written = GetLongPathNameW(folder.c_str(), &longFolder[0], longLength);
    if (written > 0 && written < longLength) {
      folder = longFolder.substr(0, written);
    }
  }
  std::wstring comparable = folder + name;
  CharUpperW(&comparable[0]);
  return comparable;
}

class WindowsCommandPlatform final : public CommandPlatform {
 public:
  Instance ClaimInstance() override {
    if (!AnotherInstanceRuns(mutex_)) {
      return Instance::kNone;
    }
    return FindWindowW(FormhomeWindow::kClassName, nullptr) != nullptr ? Instance::kWindow
                                                                       : Instance::kOther;
  }

  LogTime Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }

  FileRead ReadFile(const std::wstring& path, std::size_t limit) override {
    FileRead read;
    DWORD error = ERROR_SUCCESS;
    if (std::optional<std::string> bytes = ReadFirstBytes(path, limit, error)) {
      read.read = true;
      read.bytes = std::move(*bytes);
    } else {
      read.error = SystemErrorText(error);
    }
    return read;
  }

  bool WriteFile(const std::wstring& path, std::string_view bytes, std::wstring& error) override {
    return FilePresetStore(path).Write(bytes, error);
  }

  bool AppendToFile(const std::wstring& path, const std::function<std::string(bool empty)>& entry,
                    std::wstring& error) override {
    for (int attempt = 1;; ++attempt) {
      ScopedFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.valid()) {
        const DWORD status = GetLastError();
        if (status == ERROR_SHARING_VIOLATION && attempt < kLogAttempts) {
          Sleep(kLogRetryMilliseconds);
          continue;
        }
        error = SystemErrorText(status);
        return false;
      }
      LARGE_INTEGER size = {};
      if (!GetFileSizeEx(file.get(), &size)) {
        error = SystemErrorText(GetLastError());
        return false;
      }
      const std::string bytes = entry(size.QuadPart == 0);
      DWORD done = 0;
      if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                       nullptr) ||
          done != bytes.size() || !file.Close()) {
        error = SystemErrorText(GetLastError());
        return false;
      }
      return true;
    }
  }

  ServiceManager& Services() override { return services_; }
  IndirectTextResolver& IndirectTexts() override { return texts_; }

  std::wstring ProgramPath() override { return ModulePath(); }

  bool SameFile(const std::wstring& first, const std::wstring& second) override {
    const std::optional<FileIdentity> firstIdentity = IdentityOf(first);
    const std::optional<FileIdentity> secondIdentity = IdentityOf(second);
    if (firstIdentity && secondIdentity) {
      return *firstIdentity == *secondIdentity;
    }
    return ComparablePath(first) == ComparablePath(second);
  }

 private:
  ScopedKernelObject mutex_;
  ScmServiceManager services_;
  ShellIndirectTexts texts_;
};

// A handle that can be written to: a console, a file, a pipe. A GUI program started from a
// console may be handed the console's handles, which mean nothing in its own process.
bool Writable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void WriteTo(HANDLE handle, std::wstring_view text) {
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    for (std::size_t at = 0; at < text.size(); at += kConsoleChunk) {
      const std::wstring_view chunk = text.substr(at, kConsoleChunk);
      DWORD written = 0;
      if (!WriteConsoleW(handle, chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                         nullptr)) {
        return;
      }
    }
    return;
  }
  const UINT codePage = GetOEMCP();
  const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                      nullptr, nullptr);
  DWORD written = 0;
  ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Bytes for standard output as they are (a redirection gets the UTF-8 file); a console shows
// their text instead.
void WriteBytes(std::string_view bytes) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (Writable(output) && !GetConsoleMode(output, &mode)) {
    DWORD written = 0;
    ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return;
  }
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  WriteOutput(FromUtf8(bytes));
}

// Whether the process's window station is the one a user sees.
bool OnTheUsersDesktop() {
  HWINSTA station = GetProcessWindowStation();
  USEROBJECTFLAGS flags = {};
  return station != nullptr &&
         GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

std::vector<std::wstring> ProgramArguments() {
  std::vector<std::wstring> arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
  if (split == nullptr) {
    return arguments;
  }
  for (int i = 1; i < count; ++i) {
    arguments.emplace_back(split[i]);
  }
  LocalFree(split);
  return arguments;
}

bool WriteOutput(std::wstring_view text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (Writable(output)) {
    WriteTo(output, text);
    return true;
  }
  // A process already attached to a console (as Wine attaches a console's children) is refused
  // with ERROR_ACCESS_DENIED and writes to that console.
  const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
  if (!attached && GetLastError() != ERROR_ACCESS_DENIED) {
    return false;
  }
  ScopedFile console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  const bool written = console.valid();
  if (written) {
    WriteTo(console.get(), text);
  }
  if (attached) {
    FreeConsole();
  }
  return written;
}

int RunCommandLineMode(const std::vector<std::wstring>& arguments) {
  // No system message box either: a missing disk, a file that cannot be opened or a crash
  // would otherwise wait for a click that never comes.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  const CodePageCodec systemCodePage(CP_ACP);
  const CodePageCodec presetCodePage(kPresetFileCodePage);
  registry::Advapi32Registry systemRegistry;
  FilePresetStore presetFile(ProgramFolder() + L"\\TQSE.ini");
  WindowsCommandPlatform platform;
  const CommandOutcome outcome = RunCommandLine(arguments, systemRegistry, systemCodePage,
                                                presetFile, presetCodePage, platform);
  if (!outcome.bytes.empty()) {
    WriteBytes(outcome.bytes);
  }
  // Started from Explorer or a shortcut there is no console: a run that did not do what it was
  // asked says so in a message box, where someone sees it. A service's or a scheduled task's
  // invisible desktop gets none, since no one could answer it.
  if (!WriteOutput(outcome.printed) && outcome.exitCode != kExitDone && !outcome.printed.empty() &&
      OnTheUsersDesktop()) {
    const std::wstring title(kProgramTitle);
    std::wstring text = outcome.printed;
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
      text.pop_back();
    }
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }
  return outcome.exitCode;
}

}  // namespace svctune::win
