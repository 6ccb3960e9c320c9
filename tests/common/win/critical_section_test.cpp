#include "win/critical_section.h"

#include <gtest/gtest.h>

namespace svctune::win {
namespace {

struct Attempt {
  CriticalSection* section;
  bool entered;
};

DWORD WINAPI TryToEnter(LPVOID parameter) {
  auto* attempt = static_cast<Attempt*>(parameter);
  attempt->entered = attempt->section->TryEnter();
  if (attempt->entered) {
    attempt->section->Leave();
  }
  return 0;
}

// Whether a thread other than the caller could enter the section now.
bool AnotherThreadCanEnter(CriticalSection& section) {
  Attempt attempt{&section, false};
  HANDLE thread = CreateThread(nullptr, 0, TryToEnter, &attempt, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  if (thread == nullptr) {
    return false;
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return attempt.entered;
}

TEST(CriticalSectionTest, ALockKeepsOtherThreadsOutForTheLifeOfItsScope) {
  CriticalSection section;
  EXPECT_TRUE(AnotherThreadCanEnter(section));
  {
    const CriticalSectionLock lock(section);
    EXPECT_FALSE(AnotherThreadCanEnter(section));
  }
  EXPECT_TRUE(AnotherThreadCanEnter(section));
}

}  // namespace
}  // namespace svctune::win
