#include "win/app_windows.h"

#include <windows.h>

namespace svctune::win {
namespace {
int openWindows = 0;
}  // namespace

void TopLevelWindowOpened() {
  ++openWindows;
}

void TopLevelWindowClosed() {
  if (openWindows > 0 && --openWindows == 0) {
    PostQuitMessage(0);
  }
}

}  // namespace svctune::win
