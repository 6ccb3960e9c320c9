#pragma once

namespace svctune::testing {

struct GuiObjectCounts {
  long gdi = 0;
  long user = 0;
  bool operator==(const GuiObjectCounts& other) const {
    return gdi == other.gdi && user == other.user;
  }
};

// The GDI and USER objects this process holds. Windows answers GetGuiResources; Wine answers
// 0 there, so under Wine the GDI objects are counted slot by slot in the process's handle
// table and the USER objects as the windows of this process.
GuiObjectCounts CurrentGuiObjectCounts();

}  // namespace svctune::testing
