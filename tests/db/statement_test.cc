#include "db/statement.h"

#include <gtest/gtest.h>

#include "support/files.h"

#include <fstream>
#include <sstream>

#include "db/cursor.h"
#include "db_fixture.h"

namespace {

using dbtest::DbTest;

using testsupport::ReadFile;

TEST_F(DbTest, ExecuteSuccessLeavesTheErrorTextAlone) {
  Connect(env_.sqlite_dsn);
  std::string error = "unchanged";
  EXPECT_TRUE(db::EJECUTESQL(session_, "DROP TABLE IF EXISTS exec_t", &error));
  EXPECT_TRUE(db::EJECUTESQL(session_, "CREATE TABLE exec_t (a varchar(10))", &error));
  EXPECT_TRUE(db::EJECUTESQL(session_, "INSERT INTO exec_t VALUES ('x')"));
  EXPECT_EQ(error, "unchanged");
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(platform_.pointer_changes, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(DbTest, ExecuteFailureGivesTheDriverTextAndShowsNothing) {
  Connect(env_.sqlite_dsn);
  std::string error;
  EXPECT_FALSE(db::EJECUTESQL(session_, "INSERT INTO no_such_table VALUES (1)", &error));
  EXPECT_EQ(error, "[SQLite]no such table: no_such_table (1)");
  EXPECT_FALSE(db::EJECUTESQL(session_, "INSERT INTO no_such_table VALUES (1)"));
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(platform_.wait_depth, 0);

  // A long message is cut to 255 characters.
  const std::string name(300, 'n');
  EXPECT_FALSE(db::EJECUTESQL(session_, "SELECT * FROM " + name, &error));
  EXPECT_EQ(error.size(), 255u);
  EXPECT_EQ(error, ("[SQLite]no such table: " + name).substr(0, 255));
}

TEST_F(DbTest, MonitoringTracesEveryStatementBeforeItRuns) {
  Connect(env_.sqlite_dsn);
  Exec("SELECT 1");  // monitoring off: no trace
  EXPECT_EQ(trace_.current_number(), 0);

  session_.LMONITOREO = true;
  Exec("DROP TABLE IF EXISTS trace_t");
  EXPECT_FALSE(db::EJECUTESQL(session_, "INSERT INTO trace_missing VALUES (1)"));
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT 2 AS B", found);
  db::LIBERACURSOR(session_, cursor);

  const std::string trace = ReadFile(trace_.FileName(1));
  const size_t drop = trace.find("DROP TABLE IF EXISTS trace_t\r\ngo\r\n");
  const size_t insert = trace.find("INSERT INTO trace_missing VALUES (1)\r\ngo\r\n");
  const size_t select = trace.find("SELECT 2 AS B\r\ngo\r\n");
  ASSERT_NE(drop, std::string::npos) << trace;
  ASSERT_NE(insert, std::string::npos) << trace;
  ASSERT_NE(select, std::string::npos) << trace;
  EXPECT_LT(drop, insert);
  EXPECT_LT(insert, select);
  EXPECT_EQ(trace.find("SELECT 1"), std::string::npos);
}

TEST_F(DbTest, PostgresFailureTextAndStatementsThatTouchNoRow) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  Exec("CREATE TEMP TABLE exec_pg (a integer)");
  // An UPDATE or DELETE that matches nothing still ran.
  Exec("DELETE FROM exec_pg WHERE a = 1");
  Exec("UPDATE exec_pg SET a = 2 WHERE a = 1");
  std::string error;
  EXPECT_FALSE(db::EJECUTESQL(session_, "INSERT INTO exec_pg VALUES ('x')", &error));
  EXPECT_NE(error.find("invalid input syntax for type integer"), std::string::npos) << error;
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(DbTest, RowsAffectedAreReported) {
  QV_REQUIRE_PG();
  for (const std::string& dsn : {env_.sqlite_dsn, env_.pg_dsn}) {
    SCOPED_TRACE(dsn);
    Connect(dsn);
    Exec("DROP TABLE IF EXISTS rows_t");
    Exec("CREATE TABLE rows_t (a integer)");
    long rows = -1;
    EXPECT_TRUE(db::EJECUTESQL(session_, "INSERT INTO rows_t VALUES (1),(2),(3)", nullptr, &rows));
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(db::EJECUTESQL(session_, "UPDATE rows_t SET a = 9 WHERE a > 1", nullptr, &rows));
    EXPECT_EQ(rows, 2);
    EXPECT_TRUE(db::EJECUTESQL(session_, "UPDATE rows_t SET a = 9 WHERE a > 100", nullptr, &rows));
    EXPECT_EQ(rows, 0);
    EXPECT_FALSE(db::EJECUTESQL(session_, "UPDATE no_such_table SET a = 1", nullptr, &rows));
    EXPECT_EQ(rows, 0);
    session_.OODBC->End();
  }
}

TEST_F(DbTest, TransactionStatementsSpanLaterCalls) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  Exec("CREATE TEMP TABLE tx_pg (a integer)");
  Exec("BEGIN TRANSACTION");
  Exec("INSERT INTO tx_pg VALUES (1)");
  Exec("ROLLBACK TRANSACTION");
  Exec("INSERT INTO tx_pg VALUES (2)");
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT SUM(a) AS s, COUNT(*) AS n FROM tx_pg", found);
  ASSERT_TRUE(found);
  // SUM and COUNT of integers are bigints: digits as text.
  EXPECT_EQ(db::VCC(session_, row, "S").text(), "2");
  EXPECT_EQ(db::VCC(session_, row, "N").text(), "1");
  db::LIBERACURSOR(session_, cursor);
}

}  // namespace
