#include "support/odbc_test_env.h"

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace testsupport {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

std::filesystem::path g_temp_dir;

void RemoveTempDir() {
  std::error_code ignored;
  if (!g_temp_dir.empty()) std::filesystem::remove_all(g_temp_dir, ignored);
}

// Connects once to see whether the PostgreSQL data source answers.
bool ProbeConnection(const std::string& connection_string, std::string* problem) {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  SQLCHAR out[1024];
  SQLSMALLINT out_len = 0;
  SQLRETURN rc = SQLDriverConnect(
      dbc, nullptr,
      reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str())), SQL_NTS,
      out, sizeof out, &out_len, SQL_DRIVER_NOPROMPT);
  bool ok = rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
  if (ok) {
    SQLDisconnect(dbc);
  } else {
    SQLCHAR state[6] = {0}, message[512] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(SQL_HANDLE_DBC, dbc, 1, state, &native, message, sizeof message, &length);
    *problem = reinterpret_cast<char*>(message);
  }
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return ok;
}

OdbcTestEnv Build() {
  OdbcTestEnv env;
  std::string pattern =
      (std::filesystem::temp_directory_path() / "qv-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  env.temp_dir = pattern;
  g_temp_dir = env.temp_dir;
  std::atexit(RemoveTempDir);
  env.sqlite_file = env.temp_dir / "sqlite.db";

  const std::string host = EnvOr("QV_TEST_PG_HOST", "127.0.0.1");
  const std::string port = EnvOr("QV_TEST_PG_PORT", "55432");
  const std::string database = EnvOr("QV_TEST_PG_DB", "qvtest");
  env.pg_user = EnvOr("QV_TEST_PG_USER", "qv");
  env.pg_password = EnvOr("QV_TEST_PG_PASSWORD", "");

  const std::filesystem::path ini = env.temp_dir / "odbc.ini";
  std::ofstream out(ini);
  out << "[qv_sqlite]\nDriver=SQLite3\nDatabase=" << env.sqlite_file.string()
      << "\n\n";
  for (const auto& [dsn, driver] :
       {std::pair{"qv_pg", "PostgreSQL ANSI"}, std::pair{"qv_pgw", "PostgreSQL Unicode"}}) {
    out << "[" << dsn << "]\nDriver=" << driver << "\nServername=" << host
        << "\nPort=" << port << "\nDatabase=" << database
        // Booleans as SQL_BIT, the type SQL Server's bit columns report.
        << "\nBoolsAsChar=0\nUseDeclareFetch=0\n\n";
  }
  // A SQL Server data source whose port nothing listens on: connects fail.
  out << "[qv_tds_closed]\nDriver=FreeTDS\nServer=127.0.0.1\nPort=1\n"
         "TDS_Version=7.4\nClientCharset=UTF-8\n";
  out.close();
  setenv("ODBCINI", ini.c_str(), 1);

  env.pg_available = ProbeConnection(
      "DSN=qv_pg;UID=" + env.pg_user + ";PWD=" + env.pg_password, &env.pg_problem);
  return env;
}

}  // namespace

const OdbcTestEnv& OdbcTestEnv::Get() {
  static const OdbcTestEnv env = Build();
  return env;
}

std::filesystem::path FreshDir(const std::string& name) {
  const auto dir = OdbcTestEnv::Get().temp_dir / name;
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace testsupport
