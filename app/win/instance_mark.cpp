#include "win/instance_mark.h"

namespace svctune::win {

bool AnotherInstanceRuns(ScopedKernelObject& mutex) {
  mutex.Reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  const DWORD error = GetLastError();
  return mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

}  // namespace svctune::win
