#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deployment/command_line.h"
#include "deployment/run_report.h"
#include "optimizer/machine_start_types.h"
#include "text/ansi_codec.h"

namespace svctune {

// The services' current start types as a file: what "导出备份" and /export write.
struct StartTypeExport {
  std::string bytes;
  std::size_t exported = 0;
  // The catalogue's services not in the file, and why: not on this machine, a start type that
  // cannot be read, or one the file cannot hold.
  std::vector<RunSkip> skips;
};

// A registry file (REGEDIT4 in code page 936) or a security template of every service of the
// catalogue that this machine has, read now.
StartTypeExport ExportStartTypes(MachineStartTypes& machine, ExportFormat format,
                                 const AnsiCodec& codePage936);

// What a file chosen in the save dialog gets: a name ending in .inf or .reg (any letter case)
// says so itself; any other gets the type chosen in the dialog.
ExportFormat ExportFormatOf(std::wstring_view path, ExportFormat chosen);

// What the window says once the file is written. A template names the services it left out.
std::wstring ExportMessage(const StartTypeExport& file, ExportFormat format,
                           std::wstring_view path);

}  // namespace svctune
