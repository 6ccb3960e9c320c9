#pragma once

#include <string_view>

namespace svctune {

// The program's identity: its title (message boxes, the title label, "Product"), its version
// and the maker's details recorded in the program-information block at every start.
inline constexpr std::wstring_view kProgramTitle = L"Trevane 系统服务优化";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 0;
inline constexpr std::wstring_view kAuthor = L"Oren Vask";
inline constexpr std::wstring_view kEmail = L"oren.vask@trevane.example";
inline constexpr std::wstring_view kCompany = L"Hollin?Soft";
inline constexpr std::wstring_view kDownloadUrl = L"http://www.trevane.example/download/";
inline constexpr std::wstring_view kBlogUrl = L"http://blog.trevane.example/";

// The program's key: the information block written at every start and the start-up password
// store live here.
inline constexpr std::wstring_view kProgramKeyPath =
    L"HKEY_LOCAL_MACHINE\\Software\\Hollin Soft\\Pardell";

}  // namespace svctune
