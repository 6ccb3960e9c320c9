#pragma once

#include <string_view>

namespace svctune::vellum {

// The texts of the about box FrmAbout.
inline constexpr std::wstring_view kAboutCaption = L"关于 Corvid Quorra 控件";
inline constexpr std::wstring_view kProductLine = L"Corvid Quorra ActiveX 控件";
inline constexpr std::wstring_view kAuthorLine = L"作者：Oren Vask";
inline constexpr std::wstring_view kNoticeLine = L"Hollin Soft 版权所有，保留所有权利。";
inline constexpr std::wstring_view kWebAddress = L"http://www.trevane.example/";
inline constexpr std::wstring_view kCloseText = L"确定";

}  // namespace svctune::vellum
