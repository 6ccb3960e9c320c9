#include "gtest_notification.h"

#include <windows.h>

#include <cstdlib>

namespace testing::internal {

Notification::Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  // GoogleTest's own threads would wait forever on a missing event.
  if (event_ == nullptr) {
    std::abort();
  }
}

Notification::~Notification() {
  CloseHandle(event_);
}

void Notification::Notify() {
  SetEvent(event_);
}

void Notification::WaitForNotification() {
  WaitForSingleObject(event_, INFINITE);
}

}  // namespace testing::internal
