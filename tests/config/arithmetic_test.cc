#include "config/arithmetic.h"

#include <gtest/gtest.h>

namespace config {
namespace {

TEST(SafeDivideTest, DivisionByZeroYieldsZero) {
  EXPECT_DOUBLE_EQ(SafeDivide(7.0, 2.0), 3.5);
  EXPECT_DOUBLE_EQ(SafeDivide(7.0, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(SafeDivide(-7.0, -0.0), 0.0);
  EXPECT_DOUBLE_EQ(SafeDivide(0.0, 0.0), 0.0);  // not NaN
  EXPECT_EQ(SafeDivide(7, 2), 3);
  EXPECT_EQ(SafeDivide(7, 0), 0);  // no SIGFPE
  EXPECT_DOUBLE_EQ(SafeDivide(7, 2.0), 3.5);
  static_assert(SafeDivide(1, 0) == 0);
}

}  // namespace
}  // namespace config
