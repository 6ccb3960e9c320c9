#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "access/access_services.h"
#include "gate/passs.h"
#include "win/control_container.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The access gate passs: a borderless window framed by the skin control Vellum.CorvidForm,
// with three Lamina.Button controls and standard labels, entry boxes and a check box. There
// is one at a time; it owns itself and goes with its window.
class PasssWindow final : public PasssHost {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.passs";
  static constexpr const wchar_t* kCaption = L"设置登陆密码验证";

  // Control identifiers, also used by automation.
  static constexpr int kLabel1Base = 100;  // + index 0, 1, 2
  static constexpr int kText1 = 110;
  static constexpr int kText2 = 111;
  static constexpr int kCheck1 = 120;
  static constexpr int kLabel2 = 130;
  static constexpr int kLabel3 = 131;
  static constexpr int kLabel4 = 132;
  // Stand-ins shown in place of the flat buttons when their library is not registered.
  static constexpr int kCommandBase = 140;  // + 1, 2, 3

  // Opens the gate, or brings the open one to the front. The services outlive every window.
  static void Open(HINSTANCE instance, const access::AccessServices& services);
  // The open gate's window, or null.
  static HWND OpenWindow();

  // PasssHost.
  void ShowPasswordSettings() override;
  void Unload() override;
  void OpenInstructions() override;

 private:
  PasssWindow(HINSTANCE instance, const access::AccessServices& services);
  ~PasssWindow() override;

  bool Create();
  bool CreateControls();
  host::HostedControl* PlaceButton(int index, const RECT& rect);
  void ShowMissingControls();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  // Enter in Text1 checks the gate password, in Text2 stores the new one.
  void OnEnter(HWND entryBox);
  void OnCommandClick(int index);
  void Resize();
  void Sync();
  void ApplyFocus();
  void SetCommandVisible(int index, bool visible);
  int Pixels(int twips) const;

  HINSTANCE instance_;
  const access::AccessServices& services_;
  Passs model_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  std::unique_ptr<host::ControlContainer> controls_;
  host::HostedControl* corvidForm1_ = nullptr;
  host::HostedControl* commands_[4] = {};
  HWND standInCommands_[4] = {};
  std::wstring missing_;
  HWND label1_[3] = {};
  HWND text1_ = nullptr;
  HWND text2_ = nullptr;
  HWND check1_ = nullptr;
  HWND label2_ = nullptr;
  HWND label3_ = nullptr;
  HWND label4_ = nullptr;
  bool resizing_ = false;
  ScopedFont font_;
  ScopedFont linkFont_;
  ScopedFont symbolFont_;
  ScopedBrush body_;

  static PasssWindow* open_;
};

}  // namespace svctune::win
