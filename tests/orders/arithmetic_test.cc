// The direct computation: precedence, unary signs, parentheses, division by
// zero as 0 for that quotient, and texts that are not arithmetic.
#include "orders/arithmetic.h"

#include <gtest/gtest.h>

namespace orders {
namespace {

TEST(ComputeArithmeticTest, ValidExpressions) {
  const std::pair<const char*, double> cases[] = {
      {"1+2*3", 7},        {"(1+2)*3", 9},       {"10-4-3", 3},     {"100/10/5", 2},
      {"-5+2", -3},        {"+5", 5},            {"2*-3", -6},      {"-(2+3)*2", -10},
      {"--4", 4},          {"(1-10*.01)", 0.9},  {"1000*(1-10*.01)", 900},
      {"5.", 5},           {".5*4", 2},          {"1/0", 0},        {"5+1/0*3", 5},
      {"(600*2)*0.9", 1080}, {"1000*(1+19.000/100)", 1190},       {" 1 + 1 ", 2},
      {"10/(2-2)+1", 1},   {"0", 0},
  };
  for (const auto& [text, expected] : cases) {
    double result = -1;
    EXPECT_TRUE(ComputeArithmetic(text, &result)) << text;
    EXPECT_DOUBLE_EQ(result, expected) << text;
  }
}

TEST(ComputeArithmeticTest, InvalidExpressionsYieldZero) {
  for (const char* text : {"", "5*", "*5", "(1+2", "1+2)", "EDO.VANEDO*2", "1..2", "1,5",
                           "()", "2(3)", "1 2", ".", "5+-", "TABPRE.PP01UD"}) {
    double result = -1;
    EXPECT_FALSE(ComputeArithmetic(text, &result)) << text;
    EXPECT_EQ(result, 0.0) << text;
  }
}

TEST(ComputeArithmeticTest, DeepNestingIsRefusedNotACrash) {
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  double result = -1;
  EXPECT_FALSE(ComputeArithmetic(deep, &result));
  EXPECT_EQ(result, 0.0);
}

}  // namespace
}  // namespace orders
