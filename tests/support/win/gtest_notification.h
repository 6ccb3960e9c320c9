#pragma once

// GoogleTest's Notification for the win32 thread model of MinGW-w64, whose standard library
// has no std::mutex or std::condition_variable: a manual-reset event instead. Included ahead
// of every translation unit that sees GoogleTest (and GoogleTest's own), so that all of them
// agree on the class.
#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  // Lets every thread that waits, or will wait, go on.
  void Notify();
  // Blocks until Notify has been called.
  void WaitForNotification();

 private:
  void* event_;  // HANDLE, kept opaque so that this header needs no <windows.h>
};

}  // namespace testing::internal
