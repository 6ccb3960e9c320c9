#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "win/scm_service_manager.h"
#include "win/windows_version.h"

namespace svctune::win {
namespace {

TEST(SystemAnswers, TheVersionIsTheOneTheKernelPublishes) {
  // KUSER_SHARED_DATA, mapped read-only into every process: NtMajorVersion and NtMinorVersion.
  const auto* shared = reinterpret_cast<const volatile ULONG*>(0x7FFE0000);
  const WindowsVersion version = ReadWindowsVersion();
  EXPECT_EQ(shared[0x26C / sizeof(ULONG)], version.major);
  EXPECT_EQ(shared[0x270 / sizeof(ULONG)], version.minor);
  EXPECT_NE(0u, version.build);
}

TEST(SystemAnswers, OneEnumerationSaysWhatEachServiceQuerySays) {
  ScmServiceManager manager;
  const auto states = manager.RunningStates();
  ASSERT_FALSE(states.empty());
  std::size_t running = 0;
  for (const auto& [key, runs] : states) {
    ServiceDetails details;
    ASSERT_EQ(ServiceAnswer::kAnswered, manager.Query(key, details));
    EXPECT_EQ(details.running, runs) << std::string(key.begin(), key.end());
    running += runs ? 1 : 0;
  }
  EXPECT_GT(running, 0u) << "the service manager's own services run";
}

}  // namespace
}  // namespace svctune::win
