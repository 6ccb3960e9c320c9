#pragma once

#include <windows.h>

#include <optional>

#include "scene/scene.h"

namespace svctune::com {

// One mouse message of a control's window, as a scene takes it: the action, the button (the
// pressed or released one; for a move, every button held), the Shift argument and the point
// in twips.
struct MouseInput {
  scene::MouseAction action;
  short button;
  short shift;
  double x;
  double y;
};

// Decodes a mouse message of a control's window, and captures the mouse while a button is
// held so that a press keeps receiving moves and its release outside the window. Any other
// message yields nothing.
std::optional<MouseInput> ReadMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives a decoded message to whatever takes the mouse like a scene does (a scene, or a model
// that passes it on to one).
template <typename Target>
void DeliverMouse(Target& target, const MouseInput& input) {
  switch (input.action) {
    case scene::MouseAction::kDown:
      target.MouseDown(input.button, input.shift, input.x, input.y);
      break;
    case scene::MouseAction::kMove:
      target.MouseMove(input.button, input.shift, input.x, input.y);
      break;
    case scene::MouseAction::kUp:
      target.MouseUp(input.button, input.shift, input.x, input.y);
      break;
  }
}

}  // namespace svctune::com
