// A session over the scripted database double, with a recording platform, a
// monitoring trace and local tables in the test's own folder, and the TABPRE
// layout of the schema (28 fixed columns and four extra value/formula pairs).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/trace.h"
#include "db/session.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace orderstest {

using testsupport::ScriptedConnection;
using testsupport::ScriptedRow;

inline std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

// TABPRE's columns in table order (schema/quorix.sql).
inline std::vector<db::ColumnDescription> TabpreColumns() {
  std::vector<db::ColumnDescription> cols = {
      {"KOLT", SQL_CHAR, 3, 0},        {"KOPR", SQL_CHAR, 13, 0},
      {"PP01UD", SQL_DOUBLE, 15, 0},   {"PP02UD", SQL_DOUBLE, 15, 0},
      {"MG01UD", SQL_DOUBLE, 15, 0},   {"MG02UD", SQL_DOUBLE, 15, 0},
      {"DTMA01UD", SQL_DOUBLE, 15, 0}, {"DTMA02UD", SQL_DOUBLE, 15, 0},
      {"RLUD", SQL_DOUBLE, 15, 0},     {"ECUACION", SQL_VARCHAR, 250, 0},
      {"ECUACIONU2", SQL_VARCHAR, 250, 0}, {"PM01UD", SQL_DOUBLE, 15, 0},
      {"PM02UD", SQL_DOUBLE, 15, 0},   {"PPUL01", SQL_DOUBLE, 15, 0},
      {"PPUL02", SQL_DOUBLE, 15, 0},   {"CAPRCO", SQL_DOUBLE, 15, 0},
      {"MONEDA", SQL_CHAR, 3, 0},      {"TIMO", SQL_CHAR, 1, 0},
      {"TAMO", SQL_DOUBLE, 15, 0},     {"REDON", SQL_CHAR, 1, 0},
      {"FEVIDE", SQL_TIMESTAMP, 23, 3}, {"FEVIHA", SQL_TIMESTAMP, 23, 3},
      {"FEULMO", SQL_TIMESTAMP, 23, 3}, {"KOFUULMO", SQL_CHAR, 3, 0},
      {"RECARGO", SQL_DOUBLE, 15, 0},  {"EXENTO", SQL_CHAR, 1, 0},
      {"OBSERVA", SQL_VARCHAR, 100, 0}, {"ESTADO", SQL_CHAR, 1, 0},
  };
  for (const char* n : {"01", "02", "03", "04"}) {
    cols.push_back({std::string("DTO") + n, SQL_DOUBLE, 15, 0});
    cols.push_back({std::string("EDTO") + n, SQL_VARCHAR, 250, 0});
  }
  return cols;
}

// A TABPRE row: every column NULL except the named ones.
inline ScriptedRow TabpreRow(const std::vector<std::pair<std::string, std::string>>& values) {
  const auto cols = TabpreColumns();
  ScriptedRow row(cols.size());
  for (const auto& [name, value] : values) {
    for (size_t i = 0; i < cols.size(); ++i) {
      if (cols[i].name == name) row[i] = value;
    }
  }
  return row;
}

class ScriptedSessionTest : public ::testing::Test {
 protected:
  ScriptedSessionTest()
      : dir_(testsupport::FreshDir(TestName())), trace_(dir_), session_(platform_, trace_) {
    session_.OODBC = db_;
    session_.locals.SetDirectory(dir_);
  }

  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_;
  std::shared_ptr<ScriptedConnection> db_ = std::make_shared<ScriptedConnection>();
};

}  // namespace orderstest
