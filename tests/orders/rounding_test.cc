// REDONDEO: every code of the rounding table with its examples, 0 under every
// code, and decimal rounding half away from zero on the decimal value.
#include "orders/rounding.h"

#include <gtest/gtest.h>

namespace orders {
namespace {

struct Case {
  double x;
  const char* code;
  double expected;
};

TEST(RedondeoTest, EveryCodeOfTheTable) {
  const Case cases[] = {
      {2.675, "1", 2.68},     {1.005, "1", 1.01},     {-2.675, "1", -2.68},
      {2.25, "2", 2.3},       {2.24, "2", 2.2},       {2.5, "3", 3},
      {-2.5, "3", -3},        {2.4, "3", 2},          {1234, "4", 1235},
      {1230, "4", 1235},      {1234, "5", 1240},      {20, "5", 30},
      {7, "5", 10},           {3, "5", 10},           {-5, "5", 0},
      {1233, "6", 1230},      {1235, "6", 1235},      {1238, "6", 1235},
      {1.23456789, "7", 1.23456789},                  {1234, "8", 1300},
      {100, "8", 200},        {40, "8", 100},         {1234, "9", 1250},
      {1278, "9", 1290},      {1250, "9", 1250},      {2.1, "E", 3},
      {2.000000001, "E", 2},  {-2.5, "E", -2},        {2, "E", 2},
      {1.23456, "F", 1.2346}, {1.00005, "F", 1.0001}, {1.2345, "T", 1.235},
      // Codes outside the table round to a whole number.
      {5.4, "", 5},           {5.5, "x", 6},          {5.4, "e", 5},
      {5.4, "0", 5},          {5.5, "AB", 6},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(REDONDEO(c.x, c.code), c.expected) << c.x << " #" << c.code;
  }
}

TEST(RedondeoTest, ZeroUnderEveryCode) {
  for (const char* code : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "E", "F", "T", "", "z"}) {
    EXPECT_EQ(REDONDEO(0.0, code), 0.0) << code;
  }
}

TEST(RoundHalfAwayTest, DecimalValueRoundsHalfAwayFromZero) {
  EXPECT_DOUBLE_EQ(RoundHalfAway(2.675, 2), 2.68);
  EXPECT_DOUBLE_EQ(RoundHalfAway(1.005, 2), 1.01);
  EXPECT_DOUBLE_EQ(RoundHalfAway(-1.005, 2), -1.01);
  EXPECT_DOUBLE_EQ(RoundHalfAway(922.4806, 3), 922.481);
  EXPECT_DOUBLE_EQ(RoundHalfAway(0.125, 2), 0.13);
  EXPECT_DOUBLE_EQ(RoundHalfAway(1.0049, 2), 1.0);
  EXPECT_DOUBLE_EQ(RoundHalfAway(123456.123455, 5), 123456.12346);
}

}  // namespace
}  // namespace orders
