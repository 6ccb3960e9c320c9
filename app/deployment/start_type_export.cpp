#include "deployment/start_type_export.h"

#include <algorithm>

#include "optimizer/backup_file.h"
#include "text/unicode_text.h"

namespace svctune {

StartTypeExport ExportStartTypes(MachineStartTypes& machine, ExportFormat format,
                                 const AnsiCodec& codePage936,
                                 const ServiceInventory* everyService) {
  StartTypeExport result;
  std::vector<ServiceStartType> current = machine.CurrentStartTypes();
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    const bool read = std::any_of(current.begin(), current.end(), [&](const ServiceStartType& s) {
      return s.serviceKey == entry.serviceKey;
    });
    if (!read) {
      const bool missing = machine.ReadStart(entry).kind == StartValue::Kind::kNoService;
      result.skips.push_back({std::wstring(entry.serviceKey),
                              missing ? SkipReason::kNotOnMachine : SkipReason::kDamagedStartType,
                              0, 0});
    }
  }
  if (everyService != nullptr) {
    for (const ServiceKeyRecord& record : everyService->Records()) {
      const ServiceKind kind = KindOf(record);
      if ((kind != ServiceKind::kService && kind != ServiceKind::kPerUserTemplate) ||
          ServiceCatalogue::FindEntryByKey(record.key) != nullptr) {
        continue;
      }
      if (record.start.kind == StartValue::Kind::kNumber) {
        current.push_back({record.key, record.start.number});
      } else {
        result.skips.push_back({record.key, SkipReason::kDamagedStartType, 0, 0});
      }
    }
  }
  if (format == ExportFormat::kSecurityTemplate) {
    SecurityTemplateFile file = FormatSecurityTemplate(current);
    const std::vector<RunSkip> leftOut = SkipsOf(file);
    result.skips.insert(result.skips.end(), leftOut.begin(), leftOut.end());
    result.bytes = std::move(file.bytes);
    result.exported = file.written;
  } else {
    BackupFile file = FormatBackupFile(current, codePage936);
    for (const std::wstring& key : file.leftOut) {
      result.skips.push_back({key, SkipReason::kKeyNotWritable, 0, 0});
    }
    result.bytes = std::move(file.bytes);
    result.exported = current.size() - file.leftOut.size();
  }
  return result;
}

ExportFormat ExportFormatOf(std::wstring_view path, ExportFormat chosen) {
  const std::wstring name = AsciiUpper(path);
  const auto endsWith = [&](std::wstring_view ending) {
    return name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(),
                                                        ending.data(), ending.size()) == 0;
  };
  if (endsWith(L".INF")) {
    return ExportFormat::kSecurityTemplate;
  }
  if (endsWith(L".REG")) {
    return ExportFormat::kRegistryFile;
  }
  return chosen;
}

std::wstring ExportMessage(const StartTypeExport& file, ExportFormat format,
                           std::wstring_view path) {
  std::wstring message =
      L"已把 " + std::to_wstring(file.exported) + L" 项服务的启动方式导出到：" + std::wstring(path);
  if (format == ExportFormat::kSecurityTemplate && !file.skips.empty()) {
    message += L"\n\n以下 " + std::to_wstring(file.skips.size()) + L" 项服务未写入模板：";
    for (const RunSkip& skip : file.skips) {
      message += L"\n" + DescribeSkip(skip);
    }
  }
  return message;
}

}  // namespace svctune
