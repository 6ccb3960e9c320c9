#pragma once

#include <windows.h>

#include "win/scoped_gdi.h"

namespace svctune::win {

// One copy of the program per machine: its settings and TQSE.ini are the machine's, not the
// session's. The mark is a Global\ mutex held for the life of the copy that took it.
inline constexpr const wchar_t* kInstanceMutexName = L"Global\\svctune.formhome.instance";

// Takes the mark into mutex; true when another copy holds it already. A mutex that exists but
// cannot be opened belongs to a copy in another session.
bool AnotherInstanceRuns(ScopedKernelObject& mutex);

}  // namespace svctune::win
