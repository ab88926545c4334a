// Conditional groups: cutting, skipping, date reading and DIFF.
#include "orders/conditions.h"

#include <gtest/gtest.h>

namespace orders {
namespace {

TEST(ExtraeTest, CutsFourPartsAndShortGroups) {
  struct Case {
    std::string rest, a, b, c, v, after;
  };
  const Case cases[] = {
      {"[0,10,CAPRCO1,5][11,99,0,8]", "0", "10", "CAPRCO1", "5", "[11,99,0,8]"},
      {"[0,10,5]+3", "0", "10", "5", "", "+3"},
      {"[7]", "7", "", "", "", ""},
      {"[0,10,3,5", "0", "10", "3", "5", ""},
      {"[1,2,3,4,5]X", "1", "2", "3", "4", "5]X"},
  };
  for (const Case& c : cases) {
    const ConditionalGroup g = EXTRAE(c.rest);
    EXPECT_EQ(g.a, c.a) << c.rest;
    EXPECT_EQ(g.b, c.b) << c.rest;
    EXPECT_EQ(g.c, c.c) << c.rest;
    EXPECT_EQ(g.v, c.v) << c.rest;
    EXPECT_EQ(g.rest, c.after) << c.rest;
  }
  EXPECT_EQ(QUEDARESTO("[1,2,3,4][5,6,7,8]+2[9]"), "+2[9]");
  EXPECT_EQ(QUEDARESTO("[1,2"), "");
}

TEST(ConditionDatesTest, DateWordsAndReading) {
  const DateWords words{{2025, 6, 10}, {2025, 6, 1}, {2025, 7, 1}, {2025, 7, 31}};
  EXPECT_EQ(ReadConditionDate("F(HOY)", words), (db::Date{2025, 6, 10}));
  EXPECT_EQ(ReadConditionDate("f( fe+30 )", words), (db::Date{2025, 7, 1}));
  EXPECT_EQ(ReadConditionDate("F(FE)", words), (db::Date{2025, 6, 1}));
  EXPECT_EQ(ReadConditionDate("F(FUV)", words), (db::Date{2025, 7, 31}));
  EXPECT_EQ(ReadConditionDate("F(31/12/2024)", words), (db::Date{2024, 12, 31}));
  EXPECT_EQ(ReadConditionDate("F(31/02/24)", words), db::Date{});
  EXPECT_EQ(ReadConditionDate("F(NUNCA)", words), db::Date{});
  // An unreadable date is earlier than every date.
  EXPECT_TRUE(DateConditionHolds(EXTRAE("[F(X),F(HOY),F(FE),1]"), words));
  EXPECT_FALSE(DateConditionHolds(EXTRAE("[F(HOY),F(31/12/25),F(X),1]"), words));
  EXPECT_EQ(ExpandDiff("pp01ud*diff(fuv-fe)", words), "PP01UD*60");
  EXPECT_EQ(ExpandDiff("DIFF(HOY-FE+5)", words), "14");
  EXPECT_EQ(ExpandDiff("DIFF(FE+5)", words), "0");  // a date is no number
  EXPECT_EQ(ExpandDiff("5", words), "5");
  EXPECT_EQ(LeadingNumber(" -12.5abc"), -12.5);
  EXPECT_EQ(LeadingNumber("abc"), 0);
}

}  // namespace
}  // namespace orders
