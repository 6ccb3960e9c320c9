#include "e2e_support.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace svctune::e2e {

// The repository's data folder, as the Windows side sees it.
namespace {

// A path of the build machine as the Windows side sees it, through drive Z:.
std::wstring OnDriveZ(const char* path) {
  std::wstring windows = L"Z:";
  for (const char* c = path; *c != '\0'; ++c) {
    windows += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  }
  return windows;
}

}  // namespace

std::wstring DataFile(const wchar_t* name) {
  const char* folder = std::getenv("SVCTUNE_DATA_DIR");
  return OnDriveZ(folder ? folder : ".") + L"\\" + name;
}

void ProtectedWindows10Keys::SetUp() {
  const char* program = std::getenv("SVCTUNE_PROTECT_KEYS");
  ASSERT_NE(nullptr, program) << "SVCTUNE_PROTECT_KEYS names protect-keys.exe";
  std::wstring commandLine = L"\"" + OnDriveZ(program) + L"\"";
  std::istringstream lines(ReadFile(DataFile(L"win10-services.txt")));
  int keys = 0;
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; fields.size() < 4 && std::getline(parts, field, '|');) {
      fields.push_back(field);
    }
    if (line.empty() || line[0] == '#' || fields.size() < 4 ||
        fields[3].find('P') == std::string::npos) {
      continue;
    }
    commandLine += L" SYSTEM\\CurrentControlSet\\Services\\" +
                   std::wstring(fields[0].begin(), fields[0].end());
    ++keys;
  }
  ASSERT_GT(keys, 0) << "no key of data/win10-services.txt is marked P";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info))
      << Utf8(commandLine);
  CloseHandle(info.hThread);
  DWORD exitCode = 1;
  if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &exitCode);
  }
  CloseHandle(info.hProcess);
  ASSERT_EQ(0u, exitCode) << Utf8(commandLine);
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

std::wstring TextOfFile(const std::wstring& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(936, 0, bytes.data(),
                                                           static_cast<int>(bytes.size()), &text[0],
                                                           static_cast<int>(text.size()))));
  return text;
}

// The XP start types of data/xp-services.reg, by service key.
std::map<std::wstring, DWORD> XpStartTypes() {
  std::istringstream lines(ReadFile(DataFile(L"xp-services.reg")));
  std::map<std::wstring, DWORD> starts;
  std::wstring service;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.rfind("[", 0) == 0) {
      service =
          std::wstring(line.begin() + static_cast<long>(line.rfind('\\')) + 1, line.end() - 1);
    } else if (line.rfind("\"Start\"=dword:", 0) == 0) {
      starts[service] = static_cast<DWORD>(std::stoul(line.substr(14), nullptr, 16));
    }
  }
  return starts;
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const LONG status =
      RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS && type == REG_DWORD ? std::optional<DWORD>(value) : std::nullopt;
}

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[512] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const LONG status =
      RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS && type == REG_SZ ? std::optional<std::wstring>(value)
                                                   : std::nullopt;
}

void WriteDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD value) {
  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                           &opened, nullptr));
  RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(opened);
}

void WriteText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                           &opened, nullptr));
  RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
}

std::wstring SettingsKey(const std::wstring& stem) {
  return L"SOFTWARE\\App" + stem + L"Chek\\" + stem + L"Chek";
}

std::optional<std::wstring> SavedState(const std::wstring& stem) {
  return ReadText(HKEY_LOCAL_MACHINE, SettingsKey(stem), (stem + L"ChekValue").c_str());
}

std::wstring KeyOf(const ServiceEntry& entry) {
  return std::wstring(entry.serviceKey);
}

DWORD StartOf(const std::wstring& service) {
  return ReadDword(HKEY_LOCAL_MACHINE, kServices + service, L"Start").value_or(0);
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                          static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return bytes;
}

void ForgetProgramState() {
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Hollin Soft");
  SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\exp1orer");
  for (int box : ServiceCatalogue::BoxNumbers()) {
    SHDeleteKeyW(HKEY_LOCAL_MACHINE,
                 (L"SOFTWARE\\App" + ServiceCatalogue::BoxStem(box) + L"Chek").c_str());
  }
  for (const wchar_t* option : {L"tqxzza", L"tqxzzb"}) {
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(L"SOFTWARE\\App") + option + L"Chek").c_str());
  }
  EXPECT_TRUE(CopyFileW(DataFile(L"TQSE.ini").c_str(), kPresetFile, FALSE));
  DeleteFileW(kPresetBackup);
}

std::wstring CellText(HWND list, int row, int column) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  const HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  constexpr int kChars = 260;
  wchar_t text[kChars] = {};
  if (process == nullptr) {
    return {};
  }
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + sizeof text, MEM_COMMIT, PAGE_READWRITE));
  if (remote != nullptr) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
    item.cchTextMax = kChars;
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, item.pszText, text, sizeof text - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// Runs a program of the prefix with arguments and waits for it to end.
bool RunAndWait(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  const bool ended = WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0;
  CloseHandle(info.hProcess);
  return ended;
}

// The colour of a label's text as the screen shows it: of the colours the window may use, the
// one nearest to the label's inkiest pixel (the one farthest from the background).
COLORREF InkOf(HWND label, const std::vector<COLORREF>& candidates) {
  RECT rect;
  GetWindowRect(label, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  auto distance = [](int r, int g, int b, COLORREF c) {
    return (r - GetRValue(c)) * (r - GetRValue(c)) + (g - GetGValue(c)) * (g - GetGValue(c)) +
           (b - GetBValue(c)) * (b - GetBValue(c));
  };
  const COLORREF background = RGB(236, 242, 252);
  int inkiest = -1;
  COLORREF ink = background;
  for (int i = 0; i < width * height; ++i) {
    const int r = (pixels[i] >> 16) & 0xFF;
    const int g = (pixels[i] >> 8) & 0xFF;
    const int b = pixels[i] & 0xFF;
    if (distance(r, g, b, background) > inkiest) {
      inkiest = distance(r, g, b, background);
      ink = RGB(r, g, b);
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  COLORREF nearest = candidates.front();
  for (COLORREF candidate : candidates) {
    if (distance(GetRValue(ink), GetGValue(ink), GetBValue(ink), candidate) <
        distance(GetRValue(ink), GetGValue(ink), GetBValue(ink), nearest)) {
      nearest = candidate;
    }
  }
  return nearest;
}

HWND SaveDialogNameBox(HWND dialog) {
  HWND name = nullptr;
  WaitUntil(
      [&] {
        name = FindDescendant(dialog, 0x47c);
        if (name == nullptr) {
          name = FindDescendant(dialog, 0x480);
        }
        if (name != nullptr && ClassOf(name) == L"ComboBoxEx32") {
          name = reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0));
        } else if (name != nullptr && ClassOf(name) != L"Edit") {
          name = FindWindowExW(name, nullptr, L"Edit", nullptr);
        }
        return name != nullptr;
      },
      seconds(10));
  return name;
}

// Puts the pointer on the middle of a window, as a user's mouse would.
void PointAt(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

namespace {

struct WindowSearch {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  search->found = search->found || owner == search->processId;
  return !search->found;
}

// Any top-level window of the process, shown or hidden.
bool HasWindow(DWORD processId) {
  WindowSearch search{processId, false};
  EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring FromOemCodePage(const std::string& bytes) {
  if (bytes.empty()) {
    return L"";
  }
  std::wstring text(bytes.size(), L'\0');
  const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                         &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

}  // namespace

CommandRun RunSvctune(const std::wstring& arguments, Output output) {
  CommandRun run;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  const std::wstring outputFile = L"C:\\svctune-output.txt";
  if (output == Output::kPipe) {
    if (!CreatePipe(&reader, &writer, &inherited, 0)) {
      ADD_FAILURE() << "no pipe";
      return run;
    }
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
  } else {
    writer = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writer;
  startup.hStdError = writer;
  PROCESS_INFORMATION info = {};
  std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\" " + arguments;
  const BOOL started = CreateProcessW(kProgram, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      L"C:\\", &startup, &info);
  CloseHandle(writer);
  if (!started) {
    ADD_FAILURE() << "svctune.exe did not start: error " << GetLastError();
    if (reader != nullptr) {
      CloseHandle(reader);
    }
    return run;
  }
  CloseHandle(info.hThread);
  std::string bytes;
  const DWORD begun = GetTickCount();
  for (;;) {
    run.windowSeen = run.windowSeen || HasWindow(info.dwProcessId);
    if (reader != nullptr) {
      DWORD available = 0;
      while (PeekNamedPipe(reader, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!::ReadFile(reader, buffer, sizeof buffer, &read, nullptr) || read == 0) {
          break;
        }
        bytes.append(buffer, read);
      }
    }
    if (WaitForSingleObject(info.hProcess, 10) == WAIT_OBJECT_0) {
      break;
    }
    if (GetTickCount() - begun > 120000) {
      ADD_FAILURE() << "svctune.exe did not end: " << Utf8(arguments);
      TerminateProcess(info.hProcess, 99);
      WaitForSingleObject(info.hProcess, 10000);
      break;
    }
  }
  GetExitCodeProcess(info.hProcess, &run.exitCode);
  CloseHandle(info.hProcess);
  if (reader != nullptr) {
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0) {
      bytes.append(buffer, read);
    }
    CloseHandle(reader);
  } else {
    bytes = ReadFile(outputFile);
    DeleteFileW(outputFile.c_str());
  }
  run.output = FromOemCodePage(bytes);
  run.bytes = bytes;
  EXPECT_FALSE(run.windowSeen) << "svctune.exe " << Utf8(arguments) << " made a window";
  return run;
}

}  // namespace svctune::e2e
