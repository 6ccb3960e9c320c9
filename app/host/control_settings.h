#pragma once

#include <string>
#include <string_view>

#include "ui/property_bag.h"

namespace svctune::host {

// One control placed on a host window: its class, its instance name and its stored settings
// (the keys the host window keeps for it, such as "_extentx", "_extenty", "font", "caption").
struct ControlSettings {
  std::wstring progId;
  std::wstring name;
  PropertyBag bag;
};

// What the host shows when a control's library is not registered on this machine.
std::wstring MissingControlMessage(std::wstring_view progId);
// What the host shows when a control exists but could not be created or shown.
std::wstring FailedControlMessage(std::wstring_view progId, long result);

}  // namespace svctune::host
