#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace svctune::automation {

using std::chrono::milliseconds;

// A program started for a test; terminated if it is still running when this goes away.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts the program with its folder as working folder.
  static std::optional<Process> Start(const std::wstring& program);

  DWORD id() const { return id_; }
  bool Running() const;
  // Waits for the program to end; its exit code, or nothing on timeout.
  std::optional<DWORD> WaitForExit(milliseconds timeout) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Polls until the condition holds or the time is up; pumps this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout);

// Visible top-level windows of a process, optionally with the given class and title.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr,
                                  const wchar_t* title = nullptr);
HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                           milliseconds timeout);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);

// Direct children of a window with the given class (and text, when given), in z-order.
std::vector<HWND> Children(HWND parent, const wchar_t* className, const wchar_t* text = nullptr);
// The descendant with the given control identifier, searching every level.
HWND FindDescendant(HWND root, int controlId);

// What a user does, as automation tools do it.
void ClickButton(HWND button);
// Posts the mouse messages of a left click: the caller waits for what the click causes, and
// a window the click opens modally does not hold it up.
void ClickAt(HWND window, int x, int y);
void Click(HWND window);
void TypeText(HWND edit, const std::wstring& text);
// Posts the key, so that a message box the key opens does not hold up the caller.
void PressKey(HWND window, UINT virtualKey);
// Chooses a combo box item as the user picking it from the list would.
void ChooseComboItem(HWND combo, int index);
// Asks a top-level window to close through its system menu (Alt+F4 does the same).
void SystemClose(HWND window);

int CheckState(HWND button);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);

// A message box the process shows: its window, title and text.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
};
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, milliseconds timeout);
// Presses the message box's OK button.
void Acknowledge(const MessageBoxInfo& box);

}  // namespace svctune::automation
