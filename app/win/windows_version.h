#pragma once

#include "optimizer/start_offers.h"

namespace svctune::win {

// The version Windows really is, from ntdll's RtlGetVersion (looked up at run time), which
// answers truly whatever the manifest declares; Windows XP when it cannot be asked.
WindowsVersion ReadWindowsVersion();

}  // namespace svctune::win
