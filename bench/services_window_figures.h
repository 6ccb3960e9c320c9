#pragma once

namespace svctune::bench {

// Figures of the window "全部服务" over the services of the machine the bench runs on (a prefix
// holding the Windows 10 set, made by scripts/bench.sh): opening it and painting its first
// screen against a bare enumeration of the same values, the working set it adds to the main
// window's, and its first screen over 5,000 synthetic service keys. Returns the exit code.
int ReportServicesWindow();

}  // namespace svctune::bench
