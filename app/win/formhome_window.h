#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/service_catalogue.h"
#include "optimizer/formhome.h"
#include "optimizer/machine_start_types.h"
#include "optimizer/service_list.h"
#include "win/scm_service_manager.h"
#include "win/shell_indirect_texts.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

class ProgressBarView;
class ServicesWindow;
class XPOptionView;

// What the main window needs from the rest of the program: the password prompt and the
// access gate are windows of their own.
struct FormhomeServices {
  // Runs the start-up password prompt modally over the main window.
  std::function<bool(HWND owner)> runLoginPrompt;
  // Opens (or brings up) the access gate in front of the password settings.
  std::function<void(HWND owner)> openAccessGate;
};

// The main window formhome: the two pages of the service list in gradient panels, the mode
// panel, the task area with its links, hover help and the close control. Behaviour lives in
// Formhome; this view creates the windows, turns messages into calls and shows the state.
class FormhomeWindow final : public FormhomeHost {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.formhome";
  // Another start of the program sends this registered message to the running window.
  static constexpr const wchar_t* kShowInstanceMessageName = L"svctune.formhome.ShowInstance";
  static UINT ShowInstanceMessage();

  // Control identifiers, also used by automation to find the controls.
  static constexpr int kCheckBase = 1000;    // + box number
  static constexpr int kCaptionBase = 2000;  // + catalogue number (Label1 ... Label57)
  static constexpr int kLabel33 = 2033;
  static constexpr int kLabel58 = 2058;
  static constexpr int kLabel59 = 2059;
  static constexpr int kLabel60 = 2060;
  static constexpr int kLabel162 = 2162;
  static constexpr int kLabel163 = 2163;
  static constexpr int kLabel164 = 2164;
  static constexpr int kLabel166 = 2166;
  static constexpr int kLblTaskClose = 2200;
  static constexpr int kLblCapBase = 2300;  // + element index (4 and 5)
  static constexpr int kOption1 = 3001;
  static constexpr int kOption2 = 3002;
  static constexpr int kXPCombo1 = 3003;
  static constexpr int kCmdEnd = 3004;
  static constexpr int kPicture1 = 4001;
  static constexpr int kPicture6 = 4006;
  static constexpr int kProgressBar1 = 4010;
  static constexpr int kPICTAsk = 4020;
  static constexpr int kImgTitle = 5000;
  static constexpr int kImageBase = 5000;  // + image number (Image1 ... Image5)
  static constexpr int kStatusLine = 2500;
  static constexpr int kRestoreLink = 2501;
  static constexpr int kExportLink = 2502;
  static constexpr int kServicesLink = 2503;

  FormhomeWindow(HINSTANCE instance, registry::RegistryAccess& registry,
                 PresetFileStore& presetFile, const AnsiCodec& codePage936,
                 MessagePresenter& messages, FormhomeServices services);
  ~FormhomeWindow() override;
  FormhomeWindow(const FormhomeWindow&) = delete;
  FormhomeWindow& operator=(const FormhomeWindow&) = delete;

  // Creates the window, runs the load step and shows the window. False when the window could
  // not be created.
  bool Create(int showCommand);
  HWND hwnd() const { return hwnd_; }

  // FormhomeHost.
  bool RunLoginPrompt() override;
  void BringToFront() override;
  void CloseWindow() override;
  void Minimize() override;
  void OpenAccessGate() override;
  void OpenWebPage(std::wstring_view url) override;
  void TrimWorkingSet(std::size_t minimumBytes, std::size_t maximumBytes) override;
  void StartStartupTimer() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TaskPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateFonts();
  bool CreateTaskPane();
  bool CreateModePanel();
  bool CreatePages();
  void CreatePage(int page, HWND panel);
  bool CreateBottomStrip();
  HWND AddLabel(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height,
                HFONT font, DWORD style = 0, DWORD exStyle = 0);
  HWND AddIcon(HWND parent, int id, int resource, int x, int y, int size);
  int Pixels(int twips) const;

  void ShowInstance();
  void OnCommand(int id, int code, HWND control);
  void OnLabelClick(int id);
  void ShowBox(int box);
  void ShowModes();
  void ShowChrome();
  HBRUSH ControlColour(HDC dc, HWND control);

  // What the machine really holds (formhome_machine.cpp): the status line, the captions'
  // colours, and the links that restore and export the start types.
  static constexpr UINT kMachineRefreshMessage = WM_APP + 1;
  static LRESULT CALLBACK ServiceHoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void WatchServiceHover(HWND box);
  bool CreateMachineChrome();
  void ReadMachine();
  void OnMachineBoxChanged(int box);
  void ShowMachineChanges();
  void ShowCaptionLook(int number);
  // The colour of a caption or of the status line, as what the machine holds decides it.
  COLORREF MachineTextColour(int id, COLORREF normal) const;
  void ShowStatus();
  static UINT_PTR CALLBACK ExportDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
  void OnServiceHover(int number, HWND control);
  void OnServiceLeave(int number);
  bool OnMachineLinkClick(int id);
  void ExportBackup();
  void OpenServicesWindow();

  HINSTANCE instance_;
  FormhomeServices services_;
  Formhome form_;
  MessagePresenter& messages_;
  const AnsiCodec& codePage936_;
  registry::RegistryAccess& registry_;
  ScmServiceManager serviceManager_;
  MachineStartTypes machine_;
  ShellIndirectTexts indirectTexts_;
  std::unique_ptr<ServicesWindow> servicesWindow_;  // "全部服务", made when first opened
  HWND statusLine_ = nullptr;
  StatusLine shownStatus_;
  bool machineRead_ = false;
  bool machineRefreshPosted_ = false;
  HWND hwnd_ = nullptr;
  HWND taskPane_ = nullptr;
  int dpi_ = 96;
  std::unique_ptr<ProgressBarView> progressBar1_;
  std::array<std::unique_ptr<ProgressBarView>, 2> pages_;  // Picture6, Picture1
  std::unique_ptr<XPOptionView> cmdEnd_;
  std::array<HWND, kHighestBoxNumber + 1> boxes_{};
  HWND option1_ = nullptr;
  HWND option2_ = nullptr;
  HWND xpCombo1_ = nullptr;
  std::array<HWND, 2> descriptions_{};
  std::array<std::wstring, 2> shownDescriptions_;
  std::vector<std::wstring> shownItems_;
  bool comboDropped_ = false;
  // Fonts, brushes and the title picture are the process's, shared by every main window.
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT titleFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  HBRUSH background_ = nullptr;
  HBRUSH taskBody_ = nullptr;
};

}  // namespace svctune::win
