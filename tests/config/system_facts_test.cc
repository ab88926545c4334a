#include "config/system_facts.h"

#include <gtest/gtest.h>

namespace config {
namespace {

struct Probe {
  // A member function with parameters, to see how it is named.
  __attribute__((noinline)) std::vector<StackFrame> Capture(int, const std::string&) const {
    return DescribeCalls(CaptureCallAddresses());
  }
};

TEST(SystemFactsTest, CallsAreNamedWithSourceAndLine) {
  std::vector<StackFrame> frames = Probe().Capture(1, "x");
  ASSERT_GE(frames.size(), 2u);
  EXPECT_EQ(frames[0].function, "config::(anonymous namespace)::Probe::Capture");
  EXPECT_EQ(frames[0].module, "system_facts_test.cc");
  EXPECT_GT(frames[0].line, 0);
  EXPECT_EQ(frames[1].module, "system_facts_test.cc");
  EXPECT_NE(frames[1].function.find("CallsAreNamedWithSourceAndLine"), std::string::npos)
      << frames[1].function;
}

TEST(SystemFactsTest, ProcessAndSystemFigures) {
  SystemFacts facts = GatherSystemFacts(std::time(nullptr));
  EXPECT_EQ(facts.executable, std::filesystem::read_symlink("/proc/self/exe").string());
  ASSERT_TRUE(facts.executable_size.has_value());
  EXPECT_EQ(*facts.executable_size, std::filesystem::file_size(facts.executable));
  ASSERT_TRUE(facts.seconds_running.has_value());
  EXPECT_GE(*facts.seconds_running, 0);
  ASSERT_TRUE(facts.memory_in_use && facts.memory_peak && facts.memory_total);
  EXPECT_GT(*facts.memory_in_use, 0u);
  EXPECT_GE(*facts.memory_peak, *facts.memory_in_use);
  EXPECT_FALSE(facts.kernel_release.empty());
  EXPECT_FALSE(facts.compiler.empty());
  EXPECT_FALSE(facts.processes.empty());
}

}  // namespace
}  // namespace config
