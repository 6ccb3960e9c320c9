#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "optimizer/services_window_model.h"
#include "registry/registry_access.h"

namespace svctune::win {

// The window "全部服务": a filter box, the virtual report list of every service, the selected
// services' details and the start types offered for them. Behaviour lives in
// ServicesWindowModel; this view creates the controls, passes the messages on and shows what
// the model says. One window at a time, beside the main window (which stays usable).
class ServicesWindow {
 public:
  static constexpr const wchar_t* kClassName = L"svctune.services";
  static constexpr const wchar_t* kTitle = L"全部服务";

  // Control identifiers, also used by automation to find the controls.
  static constexpr int kFilterLabel = 100;
  static constexpr int kFilter = 101;
  static constexpr int kList = 102;
  static constexpr int kDetails = 103;
  static constexpr int kChoiceBase = 110;  // + StartChoice, the buttons and the menu's items
  static constexpr int kRefusal = 120;
  static constexpr int kStatus = 121;
  // The timer that reads the machine's keys a part at a time.
  static constexpr UINT_PTR kReadTimer = 1;

  ServicesWindow(HINSTANCE instance, registry::RegistryAccess& registry,
                 IndirectTextResolver& texts, ServiceManager& services);
  ~ServicesWindow();
  ServicesWindow(const ServicesWindow&) = delete;
  ServicesWindow& operator=(const ServicesWindow&) = delete;

  // Opens the window with the machine read afresh, or brings the open one to the front.
  void Open();
  HWND hwnd() const { return hwnd_; }

  // Tab and the other dialog keys move between the open window's controls; true when the
  // message was one of them and has been handled.
  static bool HandleDialogKeys(MSG& message);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool CreateControls();
  HWND AddControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                  int id);
  void Layout();
  int Scaled(int pixels) const;

  LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
  void OnCommand(int id, int code);
  void OnContextMenu(LPARAM position);
  void OnChoice(int id);
  void OnReadTimer();
  void ReadSelection();

  void ShowRows();
  std::vector<std::wstring> CellsOnScreen() const;
  void ShowSelection();
  void ShowSortArrows();
  void ShowOffers();

  HINSTANCE instance_;
  registry::RegistryAccess& registry_;
  IndirectTextResolver& texts_;
  ServiceManager& services_;
  std::unique_ptr<ServicesWindowModel> model_;
  HWND hwnd_ = nullptr;
  HWND filter_ = nullptr;
  HWND list_ = nullptr;
  HWND details_ = nullptr;
  HWND refusal_ = nullptr;
  HWND status_ = nullptr;
  std::array<HWND, 4> choices_{};  // by StartChoice; null where the window offers no button
  HFONT font_ = nullptr;
  int dpi_ = 96;
  bool showingSelection_ = false;  // the view selects rows itself: no notification is read
  bool sortArrows_ = false;
};

}  // namespace svctune::win
