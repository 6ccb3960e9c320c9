#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "optimizer/machine_start_types.h"
#include "text/ansi_codec.h"

namespace svctune {

inline constexpr std::wstring_view kBackupDefaultName = L"服务启动方式备份.reg";

struct BackupFile {
  std::string bytes;                  // the file, in the code page given
  std::vector<std::wstring> leftOut;  // services whose key name cannot stand in a key line
};

// The services' start types as a registry file that regedit imports: REGEDIT4, one key line
// per service under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services with its "Start"
// value, lines ended by CR LF, text in the code page given (936 for the Chinese system the
// file is made for). Key lines have no escapes: a name holding a backslash (which would name
// a sub-key), a bracket or a control character cannot be written and is left out.
BackupFile FormatBackupFile(const std::vector<ServiceStartType>& services,
                            const AnsiCodec& codePage);

}  // namespace svctune
