// Reading 100,000 rows of 10 columns from PostgreSQL (psqlODBC) through the
// cursor (CREARCURSOR, VCC of every column, SKIPSQL) against a plain
// SQLFetch/SQLGetData loop over the same query on the same connection. The
// driver's own speed is the floor; the ratio of the two is the cursor's cost.
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "config/trace.h"
#include "db/cursor.h"
#include "db/odbc_connection.h"
#include "db/statement.h"
#include "support/odbc_test_env.h"

namespace {

constexpr int kRows = 100000;
constexpr const char* kQuery =
    "SELECT c1, c2, c3, c4, c5, c6, c7, c8, c9, c10 FROM bench_cursor ORDER BY c1";
const char* const kColumns[] = {"C1", "C2", "C3", "C4", "C5",
                                "C6", "C7", "C8", "C9", "C10"};

// A platform that shows nothing: the benchmark measures reading, not messages.
class QuietPlatform : public ui::Platform {
 public:
  void Message(ui::MessageKind, const std::string& text, const std::string&) override {
    last_message = text;
  }
  bool Ask(const std::string&, const std::string&) override { return false; }
  void WaitPointer(bool) override {}
  [[noreturn]] void EndProgram(int status) override { std::exit(status); }
  std::string last_message;
};

struct Fixture {
  QuietPlatform platform;
  config::MonitorTrace trace;
  db::Session session{platform, trace};
  std::shared_ptr<db::TOdbc> odbc;  // the session's connection, for the plain loop
  std::string problem;

  Fixture() : trace(testsupport::OdbcTestEnv::Get().temp_dir) {
    const auto& env = testsupport::OdbcTestEnv::Get();
    if (!env.pg_available) {
      problem = "PostgreSQL not available: " + env.pg_problem;
      return;
    }
    odbc = db::TOdbc::New(platform, env.pg_dsn, env.pg_user, env.pg_password);
    session.OODBC = odbc;
    if (!odbc->lSuccess) {
      problem = "cannot connect to " + env.pg_dsn;
      return;
    }
    std::string error;
    const char* setup[] = {
        "DROP TABLE IF EXISTS bench_cursor",
        "CREATE TABLE bench_cursor (c1 int4, c2 varchar(30), c3 numeric(12,2), c4 float8, "
        "c5 date, c6 timestamp, c7 bool, c8 char(10), c9 int2, c10 varchar(50))",
        "INSERT INTO bench_cursor SELECT g, 'name ' || g, g * 1.25, g / 7.0, "
        "DATE '2020-01-01' + (g % 1000), TIMESTAMP '2020-01-01 10:00' + g * INTERVAL '1 "
        "minute', g % 2 = 0, 'k' || (g % 1000), g % 300, 'a longer text value ' || g "
        "FROM generate_series(1, 100000) AS g",
        "ANALYZE bench_cursor",
    };
    for (const char* sql : setup) {
      if (!db::EJECUTESQL(session, sql, &error)) {
        problem = error;
        return;
      }
    }
  }
  ~Fixture() {
    if (session.OODBC) {
      db::EJECUTESQL(session, "DROP TABLE IF EXISTS bench_cursor");
      session.OODBC->End();
    }
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_Cursor(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.problem.empty()) {
    state.SkipWithError(f.problem.c_str());
    return;
  }
  for (auto _ : state) {
    db::SqlRow row;
    bool found = false;
    db::Cursor cursor = db::CREARCURSOR(f.session, row, kQuery, found);
    int rows = 0;
    for (bool on_row = found; on_row; on_row = db::SKIPSQL(cursor, row) == 1) {
      for (const char* name : kColumns) benchmark::DoNotOptimize(db::VCC(f.session, row, name));
      ++rows;
    }
    db::LIBERACURSOR(f.session, cursor);
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_PlainFetch(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.problem.empty()) {
    state.SkipWithError(f.problem.c_str());
    return;
  }
  char buffer[256];
  for (auto _ : state) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocStmt(f.odbc->hDbc, &stmt);
    SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(kQuery)), SQL_NTS);
    int rows = 0;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
      for (SQLUSMALLINT c = 1; c <= 10; ++c) {
        SQLLEN indicator = 0;
        SQLGetData(stmt, c, SQL_C_CHAR, buffer, sizeof(buffer), &indicator);
        benchmark::DoNotOptimize(buffer);
      }
      ++rows;
    }
    SQLFreeStmt(stmt, SQL_DROP);
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Cursor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
