#include "optimizer/backup_file.h"

#include <cstdio>

#include "program_info.h"

namespace svctune {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool FitsKeyLine(const std::wstring& name) {
  if (name.empty()) {
    return false;
  }
  for (wchar_t c : name) {
    if (c < L' ' || c == L'\\' || c == L'[' || c == L']' || c == 0x7F) {
      return false;
    }
  }
  return true;
}

}  // namespace

BackupFile FormatBackupFile(const std::vector<ServiceStartType>& services,
                            const AnsiCodec& codePage) {
  BackupFile file;
  auto line = [&](std::wstring_view text) {
    file.bytes += codePage.ToAnsi(text);
    file.bytes += kLineEnd;
  };
  line(L"REGEDIT4");
  line(L"");
  line(L"; " + std::wstring(kProgramTitle) + L"：系统服务的启动方式（2 自动，3 手动，4 禁用）");
  line(L"");
  for (const ServiceStartType& service : services) {
    if (!FitsKeyLine(service.serviceKey)) {
      file.leftOut.push_back(service.serviceKey);
      continue;
    }
    char number[9];
    std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(service.start));
    line(L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\" + service.serviceKey + L"]");
    line(L"\"Start\"=dword:" + std::wstring(number, number + 8));
    line(L"");
  }
  return file;
}

}  // namespace svctune
