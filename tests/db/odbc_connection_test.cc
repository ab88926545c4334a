#include "db/odbc_connection.h"

#include <gtest/gtest.h>

#include "support/files.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "db/cursor.h"
#include "db_fixture.h"

namespace {

using dbtest::DbTest;

using testsupport::ReadFile;

TEST(ConnectionString, Rules) {
  struct Case {
    const char *dsn, *user, *password, *out;
  } cases[] = {
      {"ORIGEN", "sa", "x", "DSN=ORIGEN;UID=sa;PWD=x"},
      {"ORIGEN", "", "x", "DSN=ORIGEN;PWD=x"},   // no user: no UID part
      {"ORIGEN", "sa", "", "DSN=ORIGEN;UID=sa;PWD="},  // PWD always there
      {"", "sa", "x", "DSN=;UID=sa;PWD=x"},
      {"", "", "", "DSN=;PWD="},
      // Values that would end or open an attribute are braced.
      {"ORIGEN", "sa", "a;DSN=other", "DSN=ORIGEN;UID=sa;PWD={a;DSN=other}"},
      {"ORIGEN", "sa", "a}b", "DSN=ORIGEN;UID=sa;PWD={a}}b}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(db::TOdbc::ConnectionString(c.dsn, c.user, c.password), c.out);
  }
}

TEST_F(DbTest, ConnectTrimsAndTakesTheEchoedDataSourceName) {
  auto c = db::TOdbc::New(platform_, "  " + env_.sqlite_dsn + "  ", "  ", "  ");
  ASSERT_TRUE(c->lSuccess);
  EXPECT_EQ(c->cUser, "");
  EXPECT_EQ(c->cPassword, "");
  EXPECT_EQ(c->cConnect.rfind("DSN=" + env_.sqlite_dsn + ";", 0), 0u) << c->cConnect;
  EXPECT_EQ(c->cDSN, env_.sqlite_dsn);
  EXPECT_TRUE(c->aErrors.empty());
  EXPECT_NE(c->hEnv, static_cast<SQLHENV>(nullptr));
  EXPECT_NE(c->hDbc, static_cast<SQLHDBC>(nullptr));
  EXPECT_TRUE(platform_.messages.empty());
  c->End();
  EXPECT_EQ(c->hEnv, static_cast<SQLHENV>(nullptr));
  EXPECT_EQ(c->hDbc, static_cast<SQLHDBC>(nullptr));
  c->End();  // the second End changes nothing
  EXPECT_EQ(c->hDbc, static_cast<SQLHDBC>(nullptr));
}

TEST_F(DbTest, ConnectToPostgresEchoesItsName) {
  QV_REQUIRE_PG();
  Connect(env_.pg_dsn);
  EXPECT_EQ(Odbc()->cDSN, env_.pg_dsn);
  EXPECT_NE(Odbc()->cConnect.find("UID=" + env_.pg_user), std::string::npos);
}

TEST_F(DbTest, FailedConnectShowsTheAlertAndKeepsHandlesUntilEnd) {
  auto c = db::TOdbc::New(platform_, "qv_no_such_dsn", "sa", "s3cret");
  EXPECT_FALSE(c->lSuccess);
  ASSERT_EQ(c->aErrors.size(), 1u);
  EXPECT_EQ(c->aErrors[0].operation, "SQLDriverConnect error from TODbc:New()");
  EXPECT_EQ(c->aErrors[0].code, SQL_ERROR);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kAlert);
  EXPECT_EQ(platform_.messages[0].text, "SQLDriverConnect error from TODbc:New()\r\n[# -1]");
  EXPECT_EQ(platform_.messages[0].text.find("s3cret"), std::string::npos);
  EXPECT_EQ(c->cConnect, "");
  EXPECT_EQ(c->cDSN, "qv_no_such_dsn");
  EXPECT_NE(c->hDbc, static_cast<SQLHDBC>(nullptr));
  c->End();
  c->End();
  EXPECT_EQ(c->hDbc, static_cast<SQLHDBC>(nullptr));
  EXPECT_EQ(c->hEnv, static_cast<SQLHENV>(nullptr));
}

TEST_F(DbTest, StatementsCommitOnTheirOwn) {
  Connect(env_.sqlite_dsn);
  Exec("DROP TABLE IF EXISTS autocommit_t");
  Exec("CREATE TABLE autocommit_t (a integer)");
  Exec("INSERT INTO autocommit_t VALUES (7)");
  // A second connection sees the row at once.
  db::Session other(platform_, trace_);
  other.OODBC = db::TOdbc::New(platform_, env_.sqlite_dsn, "", "");
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(other, row, "SELECT a FROM autocommit_t", found);
  EXPECT_TRUE(found);
  EXPECT_EQ(db::VCC(other, row, "a").number(), 7);
  db::LIBERACURSOR(other, cursor);
  other.OODBC->End();
}

class FailedSwitch : public DbTest, public ::testing::WithParamInterface<const char*> {};

// A switch that cannot connect writes its Log.txt line with the password
// masked, and leaves the ended connection current, good only for failing.
TEST_P(FailedSwitch, LogsMaskedLineAndLeavesAnEndedConnection) {
  Connect(env_.sqlite_dsn);
  auto previous = Odbc();
  config::TInicio ini;
  ini.cRuta = dir_.string() + "/";
  ini.cDSN = GetParam();
  ini.cUser = "sa";
  ini.cPassword = "s3cret";
  ini.oODBC = previous;

  db::ODBCREMOTO(session_, ini, "o");

  EXPECT_EQ(previous->hDbc, static_cast<SQLHDBC>(nullptr));
  ASSERT_TRUE(session_.OODBC);
  EXPECT_NE(session_.OODBC, previous);
  EXPECT_FALSE(session_.OODBC->lSuccess);
  EXPECT_EQ(Odbc()->hDbc, static_cast<SQLHDBC>(nullptr));
  EXPECT_EQ(ini.oODBC, session_.OODBC);

  const std::string log = ReadFile(dir_ / "Log.txt");
  EXPECT_TRUE(std::regex_match(
      log, std::regex("Fallo de conexion: " + std::string(GetParam()) +
                      " sa \\*\\*\\*\\* -> \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n")))
      << log;
  EXPECT_EQ(log.find("s3cret"), std::string::npos);

  platform_.messages.clear();
  std::string error = "unchanged";
  EXPECT_FALSE(db::EJECUTESQL(session_, "SELECT 1", &error));
  EXPECT_EQ(error, "unchanged");
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(platform_.messages[0].text,
            "Sin exito en SQLAllocStmt() para EjecuteSQL() \r\nSELECT 1");

  db::SqlRow row;
  bool found = true;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT 1", found);
  EXPECT_FALSE(cursor);
  EXPECT_TRUE(found);  // left as the caller set it
  EXPECT_TRUE(row.empty());
  EXPECT_EQ(platform_.messages.back().text, "SIN EXITO (1)");
  EXPECT_EQ(platform_.messages.back().kind, ui::MessageKind::kInformation);
  db::LIBERACURSOR(session_, cursor);
}

INSTANTIATE_TEST_SUITE_P(DataSources, FailedSwitch,
                         ::testing::Values("qv_no_such_dsn", "qv_tds_closed"));

TEST_F(DbTest, SwitchesEndThePreviousConnectionEachTime) {
  config::TInicio ini;
  ini.cRuta = dir_.string() + "/";
  ini.cDSN = env_.sqlite_dsn;
  ini.cDSNDestino = env_.sqlite_dsn;

  db::ODBCREMOTO(session_, ini, "o");
  auto first = Odbc();
  ASSERT_TRUE(first && first->lSuccess);
  EXPECT_EQ(ini.oODBC, first);
  Exec("SELECT 1");

  db::ODBCREMOTO(session_, ini, "d");
  EXPECT_EQ(first->hDbc, static_cast<SQLHDBC>(nullptr));
  ASSERT_TRUE(session_.OODBC->lSuccess);
  EXPECT_NE(session_.OODBC, first);
  EXPECT_EQ(ini.oODBC, session_.OODBC);
  Exec("SELECT 1");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "Log.txt"));
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(DbTest, ConnectionCheckerOpensAndEndsAThrowAwayConnection) {
  db::OdbcConnectionChecker checker(platform_);
  EXPECT_TRUE(checker.CanConnect(env_.sqlite_dsn, "", ""));
  EXPECT_FALSE(checker.CanConnect("qv_no_such_dsn", "sa", "x"));
  EXPECT_EQ(platform_.messages.size(), 1u);  // the alert of the failed one

  auto c = db::TOdbc::New(platform_, env_.sqlite_dsn, "", "");
  std::shared_ptr<db::TOdbc> held = c;
  checker.EndConnection(held);
  EXPECT_FALSE(held);
  EXPECT_EQ(c->hDbc, static_cast<SQLHDBC>(nullptr));
}

}  // namespace
