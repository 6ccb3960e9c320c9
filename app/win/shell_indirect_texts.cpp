#include "win/shell_indirect_texts.h"

namespace svctune::win {
namespace {

// Display names and descriptions are far shorter; a longer text is cut here.
constexpr UINT kTextBufferSize = 2048;

}  // namespace

ShellIndirectTexts::ShellIndirectTexts() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  shlwapi_ = LoadLibraryW((std::wstring(folder, length) + L"\\shlwapi.dll").c_str());
  if (shlwapi_ == nullptr) {
    return;
  }
  // Through void (*)(): the one function type a cast may pass on to any other.
  loadIndirectString_ = reinterpret_cast<LoadIndirectString>(
      reinterpret_cast<void (*)()>(GetProcAddress(shlwapi_, "SHLoadIndirectString")));
}

ShellIndirectTexts::~ShellIndirectTexts() {
  if (shlwapi_ != nullptr) {
    FreeLibrary(shlwapi_);
  }
}

std::optional<std::wstring> ShellIndirectTexts::Resolve(const std::wstring& indirect) {
  if (loadIndirectString_ == nullptr) {
    return std::nullopt;
  }
  // "@%SystemRoot%\system32\x.dll,-123": the file's name is expanded first.
  const DWORD needed = ExpandEnvironmentStringsW(indirect.c_str(), nullptr, 0);
  if (needed == 0) {
    return std::nullopt;
  }
  std::wstring expanded(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(indirect.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) {
    return std::nullopt;
  }
  expanded.resize(written - 1);
  wchar_t text[kTextBufferSize] = {};
  if (FAILED(loadIndirectString_(expanded.c_str(), text, kTextBufferSize, nullptr))) {
    return std::nullopt;
  }
  text[kTextBufferSize - 1] = L'\0';
  if (text[0] == L'\0') {
    return std::nullopt;
  }
  return std::wstring(text);
}

}  // namespace svctune::win
