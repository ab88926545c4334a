#include "db/cursor.h"

#include <gtest/gtest.h>

#include "db_fixture.h"

namespace {

using db::Date;
using db::SqlRow;
using db::Value;
using dbtest::DbTest;

Value Blanks(int n) { return Value::Text(std::string(n, ' ')); }
Value Num(double n) { return Value::DbNumber(n); }

TEST(DescribeColumn, TypeTable) {
  struct Case {
    SQLSMALLINT type;
    SQLULEN size;
    SQLSMALLINT scale;
    char kind;
    int width;
    int decimals;
    Value empty;
  } cases[] = {
      {SQL_CHAR, 2, 0, 'C', 2, 0, Blanks(2)},
      {SQL_VARCHAR, 30, 0, 'C', 30, 0, Blanks(30)},
      {SQL_VARCHAR, 500000, 0, 'C', 131072, 0, Blanks(131072)},
      {SQL_WVARCHAR, 4000, 0, 'C', 57, 0, Value::Text("")},
      {SQL_BIT, 1, 0, 'L', 1, 0, Value::Logical(false)},
      {SQL_NUMERIC, 18, 4, 'N', 19, 4, Num(0)},
      {SQL_DECIMAL, 10, 2, 'N', 19, 2, Num(0)},
      {SQL_INTEGER, 10, 0, 'N', 19, 0, Num(0)},
      {SQL_SMALLINT, 5, 0, 'N', 19, 0, Num(0)},
      {SQL_REAL, 7, 0, 'N', 19, 0, Num(0)},
      {SQL_TINYINT, 3, 0, 'N', 19, 0, Num(0)},
      {SQL_FLOAT, 15, 0, 'N', 19, 5, Num(0)},
      {SQL_DOUBLE, 15, 0, 'N', 19, 5, Num(0)},
      {SQL_TIMESTAMP, 23, 3, 'D', 23, 3, Value::EmptyDate()},
      {SQL_DATE, 10, 0, 'D', 10, 0, Value::EmptyDate()},
      {SQL_TIME, 8, 0, 'C', 8, 0, Blanks(8)},
      {SQL_LONGVARCHAR, 2147483647, 0, 'M', 131072, 0, Blanks(131072)},
      {SQL_LONGVARBINARY, 100, 0, 'M', 100, 0, Blanks(100)},
      {SQL_VARBINARY, 50, 0, 'U', 50, 0, Blanks(50)},
      {SQL_BINARY, 8, 0, 'U', 16, 0, Blanks(16)},  // row version: 16 hex digits
      {SQL_BINARY, 4, 0, 'U', 4, 0, Blanks(4)},
      {SQL_WCHAR, 10, 0, 'U', 30, 0, Blanks(30)},
      {SQL_WLONGVARCHAR, 1073741823, 0, 'U', 131072, 0, Blanks(131072)},
      {SQL_GUID, 36, 0, 'U', 108, 0, Blanks(108)},
      {SQL_BIGINT, 19, 0, 'U', 19, 0, Blanks(19)},
      {99, 5, 0, 'U', 5, 0, Blanks(5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    db::SqlColumn col = db::DescribeColumn("  razon ", c.type, c.size, c.scale, true);
    EXPECT_EQ(col.name, "RAZON");
    EXPECT_EQ(col.kind, c.kind);
    EXPECT_EQ(col.width, c.width);
    EXPECT_EQ(col.decimals, c.decimals);
    EXPECT_EQ(col.sql_type, c.type);
    EXPECT_TRUE(col.not_null);
    EXPECT_EQ(col.transfer_type, c.type == SQL_TIMESTAMP ? 11 : 1);
    EXPECT_TRUE(col.empty_value == c.empty);
    EXPECT_TRUE(col.value == c.empty);
    EXPECT_FALSE(col.loaded);
  }
}

TEST(Converters, TextDatesBitsAndNumbers) {
  auto text = db::DescribeColumn("A", SQL_VARCHAR, 6, 0, false).converter;
  EXPECT_EQ(text("ab", 6).text(), "ab    ");
  EXPECT_EQ(text("ñu", 6).text(), "ñu    ");  // widths count characters
  auto date = db::DescribeColumn("D", SQL_TIMESTAMP, 23, 3, false).converter;
  EXPECT_EQ(date("2023-01-16 14:30:00.000", 23).date(), (Date{2023, 1, 16}));
  EXPECT_EQ(date("2024-02-29", 10).date(), (Date{2024, 2, 29}));
  for (const char* bad : {"2023-02-29", "2023-13-01", "0000-01-01", "abcd-ef-gh", "2023-1-1", ""}) {
    EXPECT_TRUE(date(bad, 10) == Value::EmptyDate()) << bad;
  }
  auto bit = db::DescribeColumn("L", SQL_BIT, 1, 0, false).converter;
  EXPECT_TRUE(bit("1", 1).logical());
  EXPECT_TRUE(bit("-1", 1).logical());
  EXPECT_FALSE(bit("0", 1).logical());
  auto num = db::DescribeColumn("N", SQL_DOUBLE, 15, 0, false).converter;
  EXPECT_TRUE(num("1.5", 19) == Value::DbNumber(1.5));
  EXPECT_TRUE(num("1.5", 19).from_database());
}

TEST(Evalgetnum, Cases) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"1.5E-3", 0.0015},   {"12.345678", 12.34568}, {"  -3.25", -3.25},
      {"", 0},              {"abc", 0},              {"-", 0},
      {"7", 7},             {"+7", 7},               {"12.3.4", 12.3},
      {"-1.5E2", -150},     {"1.2345678901234567e+19", 1.2345678901234567e19},
      {"1.5e-3", 0.0015},   {"0.000004", 0},         {"0.000005", 0.00001},
      {"42abc", 42},        {".5", 0.5},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(db::EVALGETNUM(c.text), c.value) << c.text;
}

// One row of values and one of nulls, read through a real driver.
struct Expect {
  const char* column;
  Value value;
  Value null_value;
};

class CursorTest : public DbTest {
 protected:
  void CheckRows(const std::string& sql, const std::vector<Expect>& expected) {
    SqlRow row;
    bool found = false;
    db::Cursor cursor = db::CREARCURSOR(session_, row, sql, found);
    ASSERT_TRUE(cursor);
    ASSERT_TRUE(found);
    ASSERT_EQ(row.size(), expected.size());
    for (const auto& e : expected) {
      const Value& v = db::VCC(session_, row, e.column);
      EXPECT_TRUE(v == e.value) << e.column << ": [" << v.text() << "] " << v.number();
    }
    ASSERT_EQ(db::SKIPSQL(cursor, row), 1);
    for (const auto& e : expected) {
      const Value& v = db::VCC(session_, row, e.column);
      EXPECT_TRUE(v == e.null_value) << "null " << e.column << ": [" << v.text() << "]";
    }
    EXPECT_EQ(db::SKIPSQL(cursor, row), 0);
    db::LIBERACURSOR(session_, cursor);
    EXPECT_TRUE(platform_.messages.empty());
  }
};

TEST_F(CursorTest, SqliteTypes) {
  Connect(env_.sqlite_dsn);
  Exec("DROP TABLE IF EXISTS types_t");
  Exec("CREATE TABLE types_t (k integer, a varchar(30), b bit, c float, d double, "
       "f bigint, h timestamp, i date, j time, l text, m smallint, o tinyint, q char(4))");
  Exec("INSERT INTO types_t VALUES (1, 'ABC', 1, 1.5E-3, 12.345678, 12345678901, "
       "'2023-01-16 14:30:00.000', '2024-03-05', '14:30:00', 'memo', -2, 3, 'ñ')");
  Exec("INSERT INTO types_t (k) VALUES (2)");
  CheckRows("SELECT * FROM types_t ORDER BY k",
            {{"K", Num(1), Num(2)},
             {"A", Value::Text("ABC" + std::string(27, ' ')), Blanks(30)},
             {"B", Value::Logical(true), Value::Logical(false)},
             {"C", Num(0.0015), Num(0)},
             {"D", Num(12.34568), Num(0)},
             {"F", Value::Text("12345678901"), Blanks(20)},
             {"H", Value::FromDate({2023, 1, 16}), Value::EmptyDate()},
             {"I", Value::FromDate({2024, 3, 5}), Value::EmptyDate()},
             {"J", Value::Text("14:30:00"), Blanks(8)},
             {"L", Value::Text("memo"), Blanks(65536)},
             {"M", Num(-2), Num(0)},
             {"O", Num(3), Num(0)},
             {"Q", Value::Text("ñ   "), Blanks(4)}});
}

TEST_F(CursorTest, PostgresTypes) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  const std::string columns =
      "a varchar(30), b bool, c float8, d float8, e numeric(10,2), f bigint, g int4, "
      "h timestamp, i date, j time, l text, m int2, n float4, p uuid, q varchar(10)";
  Exec("CREATE TEMP TABLE types_pg (k int4, " + columns + ")");
  Exec("INSERT INTO types_pg VALUES (1, 'ABC', true, 1.5E-3, 12345678901234567890, 1234.5, "
       "9007199254740993, -7, '2023-01-16 14:30:00', '2024-03-05', '14:30:00', 'memo', 2, "
       "1.25, '550e8400-e29b-41d4-a716-446655440000', 'ñandú')");
  Exec("INSERT INTO types_pg (k, b) VALUES (2, false)");
  CheckRows("SELECT k, a, b, c, d, e, f, g, h, i, j, l, m, n, p, q FROM types_pg ORDER BY k",
            {{"K", Num(1), Num(2)},
             {"A", Value::Text("ABC" + std::string(27, ' ')), Blanks(30)},
             {"B", Value::Logical(true), Value::Logical(false)},
             {"C", Num(0.0015), Num(0)},
             {"D", Num(1.2345678901234567e19), Num(0)},
             {"E", Num(1234.5), Num(0)},
             {"F", Value::Text("9007199254740993"), Blanks(19)},  // bigint: digits as text
             {"G", Num(-7), Num(0)},
             {"H", Value::FromDate({2023, 1, 16}), Value::EmptyDate()},
             {"I", Value::FromDate({2024, 3, 5}), Value::EmptyDate()},
             {"J", Value::Text("14:30:00"), Blanks(8)},
             {"L", Value::Text("memo"), Blanks(8190)},
             {"M", Num(2), Num(0)},
             {"N", Num(1.25), Num(0)},
             {"P", Value::Text("550E8400-E29B-41D4-A716-446655440000"), Blanks(111)},
             {"Q", Value::Text("ñandú     "), Blanks(10)}});
}

TEST_F(CursorTest, NullBitReadsFalse) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  CheckRows("SELECT x FROM (VALUES (1, true), (2, NULL::bool)) AS v(k, x) ORDER BY k",
            {{"X", Value::Logical(true), Value::Logical(false)}});
}

// psqlODBC describes wide types only to Unicode applications, so a wide column
// is described here as a SQL Server driver would describe nvarchar, and read
// from the Unicode driver: 57 characters, cut or padded, and a null is empty.
TEST_F(CursorTest, WideVarcharReadsAs57Characters) {
  QV_REQUIRE_PG();
  Connect(env_.pgw_dsn);
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(
      session_, row,
      "SELECT k, repeat('x', 70)::varchar(100) AS long_x, repeat('ñ', 70)::varchar(100) AS "
      "long_n, 'short'::varchar(100) AS short_v, NULL::varchar(100) AS none FROM "
      "(VALUES (1)) AS v(k)",
      found);
  ASSERT_TRUE(found);
  for (size_t i = 1; i < row.size(); ++i) {
    db::SqlColumn wide = db::DescribeColumn(row[i].name, SQL_WVARCHAR, 100, 0, false);
    wide.statement = row[i].statement;
    row[i] = wide;
  }
  EXPECT_EQ(db::VCC(session_, row, "long_x").text(), std::string(57, 'x'));
  std::string n57;
  for (int i = 0; i < 57; ++i) n57 += "ñ";
  EXPECT_EQ(db::VCC(session_, row, "long_n").text(), n57);
  EXPECT_EQ(db::VCC(session_, row, "short_v").text(), "short" + std::string(52, ' '));
  EXPECT_TRUE(db::VCC(session_, row, "none") == Value::Text(""));
  db::LIBERACURSOR(session_, cursor);
}

TEST_F(DbTest, LoadsAPrefixOfTheRowInColumnOrder) {
  Connect(env_.sqlite_dsn);
  Exec("DROP TABLE IF EXISTS lazy_t");
  Exec("CREATE TABLE lazy_t (c1 integer, c2 integer, c3 integer, c4 integer, c5 integer, c6 integer)");
  Exec("INSERT INTO lazy_t VALUES (1, 2, 3, 4, 5, 6)");
  Exec("INSERT INTO lazy_t VALUES (10, 20, 30, 40, 50, 60)");
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT * FROM lazy_t ORDER BY c1", found);
  ASSERT_TRUE(found);
  auto loaded = [&] {
    std::vector<bool> flags;
    for (const auto& c : row) flags.push_back(c.loaded);
    return flags;
  };
  EXPECT_EQ(loaded(), std::vector<bool>(6, false));
  EXPECT_EQ(db::VCC(session_, row, "c5").number(), 5);
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, true, true, true, false}));
  EXPECT_EQ(row[2].value.number(), 3);
  EXPECT_EQ(db::VCC(session_, row, "C3").number(), 3);  // already loaded
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, true, true, true, false}));
  EXPECT_EQ(db::VCC(session_, row, "c6").number(), 6);

  ASSERT_EQ(db::SKIPSQL(cursor, row), 1);
  EXPECT_EQ(loaded(), std::vector<bool>(6, false));
  EXPECT_EQ(row[3].value.number(), 4);  // the old value stays until read again
  EXPECT_EQ(db::VCC(session_, row, "c2").number(), 20);
  EXPECT_EQ(loaded(), (std::vector<bool>{true, true, false, false, false, false}));
  db::VCT(row);
  EXPECT_EQ(loaded(), std::vector<bool>(6, true));
  EXPECT_EQ(row[5].value.number(), 60);
  EXPECT_EQ(db::SKIPSQL(cursor, row), 0);
  EXPECT_EQ(db::SKIPSQL(cursor, row), 0);
  db::LIBERACURSOR(session_, cursor);
}

TEST_F(DbTest, WalksEveryRowToTheEnd) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  SqlRow row;
  bool found = false;
  db::Cursor cursor =
      db::CREARCURSOR(session_, row, "SELECT g AS n FROM generate_series(1, 250) AS g", found);
  std::vector<double> seen;
  for (bool on_row = found; on_row; on_row = db::SKIPSQL(cursor, row) == 1) {
    seen.push_back(db::VCC(session_, row, "N").number());
  }
  db::LIBERACURSOR(session_, cursor);
  ASSERT_EQ(seen.size(), 250u);
  EXPECT_EQ(seen.front(), 1);
  EXPECT_EQ(seen.back(), 250);
}

TEST_F(DbTest, PointerIsWaitingFromOpenToReleaseAndReleasedRowsStayReadable) {
  Connect(env_.sqlite_dsn);
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT 'x' AS a, 'y' AS b", found);
  ASSERT_TRUE(found);
  EXPECT_EQ(platform_.wait_depth, 1);
  EXPECT_EQ(db::VCC(session_, row, "a").text().substr(0, 1), "x");
  db::LIBERACURSOR(session_, cursor);
  EXPECT_EQ(platform_.wait_depth, 0);
  EXPECT_EQ(platform_.pointer_changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(db::VCC(session_, row, "a").text().substr(0, 1), "x");  // loaded before
  // A column not loaded before the release gives its empty value.
  EXPECT_TRUE(db::VCC(session_, row, "b") == row[1].empty_value);
  EXPECT_EQ(db::SKIPSQL(cursor, row), 0);
  db::LIBERACURSOR(session_, cursor);  // releasing again is harmless
}

TEST_F(DbTest, EmptyResultIsDescribedButNotFound) {
  Connect(env_.sqlite_dsn);
  SqlRow row;
  bool found = true;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT 1 AS a WHERE 1 = 0", found);
  EXPECT_TRUE(cursor);
  EXPECT_FALSE(found);
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(row[0].name, "A");
  db::LIBERACURSOR(session_, cursor);
}

TEST_F(DbTest, FailedQueryShowsSinExito2UnlessQuiet) {
  Connect(env_.sqlite_dsn);
  SqlRow row;
  bool found = true;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT * FROM no_such", found);
  EXPECT_FALSE(cursor);
  EXPECT_FALSE(found);
  EXPECT_TRUE(row.empty());
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform_.messages[0].title, "         0");
  EXPECT_EQ(platform_.messages[0].text,
            "SIN EXITO 2 -> \r\n[SQLite]no such table: no_such (1)\r\n\r\nSELECT * FROM no_such");
  db::LIBERACURSOR(session_, cursor);

  found = true;
  cursor = db::CREARCURSOR(session_, row, "SELECT * FROM no_such", found, /*quiet=*/true);
  EXPECT_FALSE(cursor);
  EXPECT_FALSE(found);
  EXPECT_EQ(platform_.messages.size(), 1u);
  db::LIBERACURSOR(session_, cursor);
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(DbTest, MissingColumnEndsTheProgram) {
  Connect(env_.sqlite_dsn);
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT 'x' AS razon", found);
  EXPECT_EQ(db::VCC(session_, row, "Razon").text().substr(0, 1), "x");
  try {
    db::VCC(session_, row, "nope");
    FAIL() << "the program should have ended";
  } catch (const ui::ProgramEnded& ended) {
    EXPECT_EQ(ended.status, ui::kExitProgramError);
  }
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(platform_.messages[0].text, "ERROR en VCC(), campo no existe : NOPE");
  db::LIBERACURSOR(session_, cursor);
}

}  // namespace
