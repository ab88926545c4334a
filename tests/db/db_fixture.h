// A session over one of the test data sources, with a recording platform and a
// monitoring trace in the test's own folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/trace.h"
#include "db/odbc_connection.h"
#include "db/session.h"
#include "db/statement.h"
#include "support/odbc_test_env.h"
#include "ui/recording_platform.h"

namespace dbtest {

inline std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

class DbTest : public ::testing::Test {
 protected:
  DbTest()
      : env_(testsupport::OdbcTestEnv::Get()),
        dir_(testsupport::FreshDir(TestName())),
        trace_(dir_),
        session_(platform_, trace_) {}
  ~DbTest() override {
    if (session_.OODBC) session_.OODBC->End();
  }

  // Makes a connection to `dsn` current; SQLite needs no user.
  void Connect(const std::string& dsn) {
    const bool pg = dsn != env_.sqlite_dsn;
    session_.OODBC = db::TOdbc::New(platform_, dsn, pg ? env_.pg_user : "",
                                    pg ? env_.pg_password : "");
    ASSERT_TRUE(session_.OODBC->lSuccess) << dsn;
  }

  // The current connection as the ODBC connection it is in these tests.
  std::shared_ptr<db::TOdbc> Odbc() const {
    return std::dynamic_pointer_cast<db::TOdbc>(session_.OODBC);
  }

  void Exec(const std::string& sql) {
    std::string error;
    ASSERT_TRUE(db::EJECUTESQL(session_, sql, &error)) << sql << "\n" << error;
  }

  const testsupport::OdbcTestEnv& env_;
  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_;
};

}  // namespace dbtest
