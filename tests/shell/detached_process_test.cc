#include "shell/detached_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace shell {
namespace {

TEST(DetachedProcessesTest, MissingProgramIsRefusedAndEndedOnesAreReaped) {
  DetachedProcesses processes;
  EXPECT_FALSE(processes.Launch({"qv-no-such-program-anywhere", "x"}));
  EXPECT_FALSE(processes.Launch({}));
  EXPECT_EQ(processes.pending(), 0u);
  ASSERT_TRUE(processes.Launch({"true"}));
  for (int i = 0; i < 500 && processes.pending() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    processes.Reap();
  }
  EXPECT_EQ(processes.pending(), 0u);
}

}  // namespace
}  // namespace shell
