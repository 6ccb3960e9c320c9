#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deployment/command_line.h"
#include "deployment/run_report.h"
#include "optimizer/machine_start_types.h"
#include "optimizer/service_inventory.h"
#include "text/ansi_codec.h"

namespace svctune {

// The file types "导出备份" offers, in the save dialog's order: odd ones registry files, even
// ones security templates; the first two of the catalogue's services, the last two of every
// service.
inline constexpr std::wstring_view kExportFileTypes[] = {
    L"注册表文件，目录中的 56 项 (*.reg)", L"安全模板，目录中的 56 项 (*.inf)",
    L"注册表文件，全部服务 (*.reg)", L"安全模板，全部服务 (*.inf)"};
// The services' current start types as a file: what "导出备份" and /export write.
struct StartTypeExport {
  std::string bytes;
  std::size_t exported = 0;
  // The services not in the file, and why: not on this machine, a start type that
  // cannot be read, or one the file cannot hold.
  std::vector<RunSkip> skips;
};

// A registry file (REGEDIT4 in code page 936) or a security template of every service of the
// catalogue that this machine has, read now; with everyService, then also every other service
// and per-user template it lists (its instances follow the template, drivers are not listed).
StartTypeExport ExportStartTypes(MachineStartTypes& machine, ExportFormat format,
                                 const AnsiCodec& codePage936,
                                 const ServiceInventory* everyService = nullptr);

// What a file chosen in the save dialog gets: a name ending in .inf or .reg (any letter case)
// says so itself; any other gets the type chosen in the dialog.
ExportFormat ExportFormatOf(std::wstring_view path, ExportFormat chosen);

// What the window says once the file is written. A template names the services it left out.
std::wstring ExportMessage(const StartTypeExport& file, ExportFormat format,
                           std::wstring_view path);

}  // namespace svctune
