#pragma once

#include <optional>

namespace svctune::access {

// Mouse buttons as the mouse events report them: a sum of these values.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

struct WindowOffset {
  int dx = 0;
  int dy = 0;
};

// Moving a borderless window by dragging its title label. Positions are in the label's own
// coordinates, so after each move the grabbed point is under the pointer again.
class TitleDrag {
 public:
  // Remembers where a button went down on the label.
  void MouseDown(int x, int y) {
    downX_ = x;
    downY_ = y;
  }
  // How far the window moves for a pointer move over the label: only while the left button
  // alone is down.
  std::optional<WindowOffset> MouseMove(int button, int x, int y) const {
    if (button != kLeftButton) {
      return std::nullopt;
    }
    return WindowOffset{x - downX_, y - downY_};
  }

 private:
  int downX_ = 0;
  int downY_ = 0;
};

}  // namespace svctune::access
