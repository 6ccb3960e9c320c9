#include "about_box.h"

#include <shellapi.h>

#include <string>

#include "about_text.h"
#include "com/server_module.h"
#include "version_text.h"
#include "vellum_resources.h"
#include "win/scoped_gdi.h"

namespace svctune::vellum {

namespace {

// State of one FrmAbout while it is shown.
struct AboutState {
  win::ScopedFont underlined;
  HFONT plain = nullptr;
  bool lineUnderlined = false;
};

std::wstring LibraryVersionLabel() {
  const HINSTANCE module = com::ServerModule::Instance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  const auto version = ParseFileVersion(static_cast<const unsigned char*>(bytes),
                                        found != nullptr ? SizeofResource(module, found) : 0);
  return VersionLabel(version.value_or(FileVersion{}));
}

void SetText(HWND dialog, int id, std::wstring_view text) {
  SetDlgItemTextW(dialog, id, std::wstring(text).c_str());
}

void UnderlineLink(HWND dialog, AboutState& state, bool underline) {
  if (state.lineUnderlined == underline || !state.underlined) {
    return;
  }
  state.lineUnderlined = underline;
  SendDlgItemMessageW(dialog, kAboutLbLine, WM_SETFONT,
                      reinterpret_cast<WPARAM>(underline ? state.underlined.get() : state.plain),
                      TRUE);
}

void OpenLink(HWND dialog) {
  wchar_t address[512] = {};
  GetDlgItemTextW(dialog, kAboutLbLine, address, 512);
  std::wstring folder = com::ServerModule::Path();
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
  ShellExecuteW(dialog, L"open", address, nullptr, folder.empty() ? nullptr : folder.c_str(),
                SW_SHOWNORMAL);
}

void Load(HWND dialog, AboutState& state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  HICON icon =
      static_cast<HICON>(LoadImageW(com::ServerModule::Instance(), MAKEINTRESOURCEW(kCorvidIcon),
                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  if (icon != nullptr) {
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendDlgItemMessageW(dialog, kAboutImg, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  SetWindowTextW(dialog, std::wstring(kAboutCaption).c_str());
  SetText(dialog, kAboutLbName, kProductLine);
  SetText(dialog, kAboutLblVersion, LibraryVersionLabel());
  SetText(dialog, kAboutLabel3, kAuthorLine);
  SetText(dialog, kAboutLabel4, kNoticeLine);
  SetText(dialog, kAboutLbLine, kWebAddress);
  SetText(dialog, IDOK, kCloseText);
  state.plain = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  LOGFONTW font{};
  if (state.plain != nullptr && GetObjectW(state.plain, sizeof font, &font) == sizeof font) {
    font.lfUnderline = TRUE;
    state.underlined = win::ScopedFont(CreateFontIndirectW(&font));
  }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      Load(dialog, *reinterpret_cast<AboutState*>(lParam));
      return TRUE;
    case WM_SETCURSOR:
      if (state != nullptr) {
        const HWND over = reinterpret_cast<HWND>(wParam);
        if (over == GetDlgItem(dialog, kAboutLbLine)) {
          UnderlineLink(dialog, *state, true);
        } else if (over == dialog) {
          UnderlineLink(dialog, *state, false);
        }
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kAboutLbLine && HIWORD(wParam) == STN_CLICKED) {
        OpenLink(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (state != nullptr) {
        SendDlgItemMessageW(dialog, kAboutLbLine, WM_SETFONT,
                            reinterpret_cast<WPARAM>(state->plain), FALSE);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner) {
  AboutState state;
  DialogBoxParamW(com::ServerModule::Instance(), MAKEINTRESOURCEW(kAboutDialog), owner, &AboutProc,
                  reinterpret_cast<LPARAM>(&state));
}

}  // namespace svctune::vellum
