#pragma once

namespace svctune::lamina {

// Screen pixels, as GetWindowRect and GetCursorPos report them.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ScreenRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

}  // namespace svctune::lamina
