#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "access/title_drag.h"
#include "win/scoped_gdi.h"

namespace svctune::access::win {

// Window class of the password windows (a borderless frame dragged by its title label).
inline constexpr wchar_t kAccessFormClass[] = L"SvctuneAccessForm";
// picBackground: the child that fills each window and holds all its controls.
inline constexpr int kPicBackgroundId = 100;

// The look and the plumbing the password windows share: a borderless window with a thin
// frame, the background picBackground, a title label that drags the window, fonts, and
// keyboard handling without a dialog manager (Tab and Shift+Tab between controls, Esc as
// cancel, Enter on a button clicks it, Enter in an entry box is a key press for the
// window). The derived windows place their controls and pass events to their models.
class AccessWindow {
 public:
  AccessWindow(const AccessWindow&) = delete;
  AccessWindow& operator=(const AccessWindow&) = delete;
  virtual ~AccessWindow();

  HWND hwnd() const { return hwnd_; }

 protected:
  AccessWindow() = default;

  // Creates the window hidden, centred on the work area, owned by owner (may be null), with
  // picBackground and the title label titleId showing caption across the top.
  bool CreateFrame(HWND owner, std::wstring_view caption, int width, int height, int titleId);
  // Controls inside picBackground. Entry boxes, buttons and check boxes join the tab order
  // in the order they are added.
  HWND AddLabel(std::wstring_view text, int id, const RECT& rect);
  HWND AddGroupBox(int id, const RECT& rect);
  // An entry box whose characters show as Wingdings symbols (as password characters where
  // the system has no Wingdings).
  HWND AddEntryBox(int id, const RECT& rect);
  HWND AddButton(std::wstring_view text, int id, const RECT& rect, bool isDefault);
  HWND AddCheckBox(std::wstring_view text, int id, const RECT& rect);

  // Shows the window in front and gives the focus to the requested control, else to the
  // first one of the tab order.
  void ShowInFront();
  // Puts the focus on control now, or as soon as the window is shown.
  void RequestFocus(HWND control);
  // Shows text in control unless it shows it already; the change is not reported back.
  void ShowText(HWND control, std::wstring_view text);
  static std::wstring TextOf(HWND control);
  // True while the window itself changes a control (its notifications are not the user's).
  bool Showing() const { return showing_; }
  void Destroy();
  // Destroys the window once the event being handled is over.
  void DestroyLater();

  // Events, in the window's terms.
  virtual void OnCommand(int id, int code) = 0;
  // A character typed in an entry box; a handler that consumes it sets keyAscii to 0.
  virtual void OnKeyPress(int id, int& keyAscii) = 0;
  // Esc anywhere in the window.
  virtual void OnCancelKey() = 0;
  // The window is asked to close (system close command, Alt+F4, WM_CLOSE).
  virtual void OnClose() = 0;
  virtual void OnTitleMouseDown(int button, int x, int y) = 0;
  virtual std::optional<WindowOffset> OnTitleMouseMove(int button, int x, int y) = 0;
  // The window is gone (WM_NCDESTROY); the object may delete itself here.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TitleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static AccessWindow* FromForm(HWND form);
  static bool RegisterClasses();

  LRESULT HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleTitleMessage(HWND title, UINT message, WPARAM wParam, LPARAM lParam);
  // Returns true when the key was handled and the control must not see it.
  bool HandleControlKey(HWND control, UINT message, WPARAM wParam);
  HWND AddControl(const wchar_t* className, std::wstring_view text, DWORD style, int id,
                  const RECT& rect, HFONT font, bool tabStop);
  void MoveFocus(HWND from, bool backwards);
  void PaintBackground(HWND background);
  void PaintTitle(HWND title);

  HWND hwnd_ = nullptr;
  HWND background_ = nullptr;
  std::vector<HWND> tabOrder_;
  HWND pendingFocus_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool showing_ = false;
  bool symbolFontPresent_ = false;
  svctune::win::ScopedFont uiFont_;
  svctune::win::ScopedFont titleFont_;
  svctune::win::ScopedFont symbolFont_;
  svctune::win::ScopedBrush faceBrush_;
};

}  // namespace svctune::access::win
