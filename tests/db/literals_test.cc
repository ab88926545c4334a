#include "db/literals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using db::Date;
using db::Value;

TEST(Literals, NacsbIsPlainDecimalThatKeepsTheValue) {
  struct Case {
    double in;
    const char* out;
  } cases[] = {
      {0, "0"},           {-0.0, "0"},          {3, "3"},
      {-42, "-42"},       {1.5, "1.5"},         {-0.25, "-0.25"},
      {0.1, "0.1"},       {0.0015, "0.0015"},   {1e-7, "0.0000001"},
      {1e20, "100000000000000000000"},          {123456.789, "123456.789"},
      {0.1 + 0.2, "0.30000000000000004"},       // keeps the exact double
      {std::numeric_limits<double>::quiet_NaN(), "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(db::NACSB(c.in), c.out) << c.in;
}

TEST(Literals, TranfesqlIsOdbcDateEscapeOrNull) {
  EXPECT_EQ(db::TRANFESQL(Date{}), "NULL");
  EXPECT_EQ(db::TRANFESQL(Date{2024, 3, 5}), "{d '2024-03-05'}");
  EXPECT_EQ(db::TRANFESQL(Date{987, 12, 31}), "{d '0987-12-31'}");
}

TEST(Literals, EveryKindOfValue) {
  struct Case {
    Value in;
    const char* out;
  } cases[] = {
      {Value::Text("01"), "'01'"},
      {Value::Text("AB  "), "'AB  '"},  // trailing blanks kept
      {Value::Text(""), "''"},
      {Value::Text("O'Brien"), "'O''Brien'"},
      {Value::Text("''"), "''''''"},
      {Value::Text("x'; DROP TABLE T; --"), "'x''; DROP TABLE T; --'"},
      {Value::Number(7), "7"},
      {Value::Number(-2.5), "-2.5"},
      {Value::DbNumber(1.5), "1.50000"},
      {Value::DbNumber(7), "7.00000"},
      {Value::DbNumber(-0.000001), "0.00000"},
      {Value::DbNumber(12.345678), "12.34568"},
      {Value::FromDate(Date{2023, 1, 16}), "{d '2023-01-16'}"},
      {Value::EmptyDate(), "NULL"},
      {Value::Logical(true), "1"},
      {Value::Logical(false), "0"},
      {Value(), "NULL"},
  };
  for (const auto& c : cases) EXPECT_EQ(db::Literal(c.in), c.out) << c.out;
}

TEST(Literals, QuotedAndBracketedNamesDoubleTheirCloser) {
  EXPECT_EQ(db::QuoteText("a'b'"), "'a''b'''");
  EXPECT_EQ(db::BracketName("EMPRESAS"), "[EMPRESAS]");
  EXPECT_EQ(db::BracketName("a]b"), "[a]]b]");
}

}  // namespace
