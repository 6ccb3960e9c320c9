#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/check_box_artwork.h"
#include "ui/colour.h"
#include "win/scoped_gdi.h"

namespace svctune::testing {

HINSTANCE Instance();

// Dispatches every message waiting in this thread's queue.
void PumpMessages();
// Dispatches messages as they come for the given time.
void PumpFor(DWORD milliseconds);
// Dispatches messages until done() holds or the time is up; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds);

// A top-level window standing in for the host form. It records the WM_COMMAND messages it
// gets and answers WM_CTLCOLOREDIT with a brush of its own. Without a frame it is a plain
// popup window, which Wine shows and destroys without waiting for a window manager.
class HostForm {
 public:
  struct Command {
    int id;
    int code;
    HWND from;
  };

  HostForm(int width, int height, bool framed = false);
  ~HostForm();
  HostForm(const HostForm&) = delete;
  HostForm& operator=(const HostForm&) = delete;

  HWND hwnd() const { return hwnd_; }
  const std::vector<Command>& commands() const { return commands_; }
  HBRUSH editBrush() const { return editBrush_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::vector<Command> commands_;
  win::ScopedBrush editBrush_;
};

// A standard control (class, text, style) created as a child of parent.
HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 int x, int y, int width, int height);

// The pixels a window shows in its client area, read back from its DC (0x00RRGGBB).
PixelImage ReadWindow(HWND window);
// The pixels drawn by draw into a width x height memory DC first filled with fill (RGB).
PixelImage Render(int width, int height, std::uint32_t fill, const std::function<void(HDC)>& draw);

// An OLE colour (0x00BBGGRR) as a pixel (0x00RRGGBB).
constexpr std::uint32_t PixelOf(OleColour colour) {
  return static_cast<std::uint32_t>((RedOf(colour) << 16) | (GreenOf(colour) << 8) |
                                    BlueOf(colour));
}
// The largest difference of one colour channel between two pixels.
int ChannelDistance(std::uint32_t a, std::uint32_t b);

}  // namespace svctune::testing
