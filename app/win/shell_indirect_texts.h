#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "optimizer/service_list.h"

namespace svctune::win {

// Indirect texts resolved as Explorer resolves them, by shlwapi's SHLoadIndirectString. It is
// looked up at run time from the system folder's shlwapi.dll: Windows XP has it only with
// Internet Explorer 7 or later, and then nothing is resolved.
class ShellIndirectTexts final : public IndirectTextResolver {
 public:
  ShellIndirectTexts();
  ~ShellIndirectTexts() override;
  ShellIndirectTexts(const ShellIndirectTexts&) = delete;
  ShellIndirectTexts& operator=(const ShellIndirectTexts&) = delete;

  std::optional<std::wstring> Resolve(const std::wstring& indirect) override;

 private:
  using LoadIndirectString = HRESULT(WINAPI*)(PCWSTR, PWSTR, UINT, void**);

  HMODULE shlwapi_ = nullptr;
  LoadIndirectString loadIndirectString_ = nullptr;
};

}  // namespace svctune::win
