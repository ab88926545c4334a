// The ODBC data sources the access-layer tests connect to, written into a
// private odbc.ini (ODBCINI) before the first ODBC call of the process:
//   qv_sqlite - SQLite 3 ODBC driver on a fresh file in a temporary folder;
//   qv_pg     - PostgreSQL through psqlODBC (ANSI driver);
//   qv_pgw    - PostgreSQL through psqlODBC (Unicode driver: wide column types).
// PostgreSQL is the server scripts/test starts (port QV_TEST_PG_PORT, user
// QV_TEST_PG_USER, database QV_TEST_PG_DB). Without it the PostgreSQL tests
// skip, unless QV_TEST_REQUIRE_PG=1 (set by scripts/test), where they fail.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

struct OdbcTestEnv {
  std::string sqlite_dsn = "qv_sqlite";
  std::string pg_dsn = "qv_pg";
  std::string pgw_dsn = "qv_pgw";
  std::string pg_user;
  std::string pg_password;
  std::filesystem::path sqlite_file;
  std::filesystem::path temp_dir;  // a private folder for this test process
  bool pg_available = false;
  std::string pg_problem;  // why PostgreSQL is not available

  // Sets the environment up once per process and returns it.
  static const OdbcTestEnv& Get();
};

// A fresh, empty folder under the process's temporary folder.
std::filesystem::path FreshDir(const std::string& name);

}  // namespace testsupport

// Inside a test: skips (or fails, under scripts/test) when PostgreSQL is absent.
#define QV_REQUIRE_PG()                                                        \
  do {                                                                         \
    const auto& qv_env_ = ::testsupport::OdbcTestEnv::Get();                   \
    if (!qv_env_.pg_available) {                                               \
      if (std::getenv("QV_TEST_REQUIRE_PG")) {                                 \
        FAIL() << "PostgreSQL required: " << qv_env_.pg_problem;               \
      }                                                                        \
      GTEST_SKIP() << "PostgreSQL not available: " << qv_env_.pg_problem;      \
    }                                                                          \
  } while (0)
