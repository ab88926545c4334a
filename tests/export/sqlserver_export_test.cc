// A real export on SQL Server (only when QV_TEST_SQLSERVER is set): two fresh
// databases from schema/, a small ERP fixture, two whole export cycles.
#include <gtest/gtest.h>

#include <unistd.h>

#include "db/cursor.h"
#include "db/lookups.h"
#include "export/sequencer.h"
#include "support/odbc_test_env.h"
#include "support/sqlserver.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

struct SqlServerExportTest : ::testing::Test {
  void SetUp() override {
    QV_REQUIRE_SQLSERVER();
    std::string error;
    ASSERT_TRUE(testsupport::CreateSqlServerPair(session, std::to_string(getpid()), &pair,
                                                 &error))
        << error;
    ini.BaseDestino = pair.destination;
    ini.cCollation = "";
    ini.cEmpresa = "01";
    ini.cSucursal = "001";
    ini.cBodega = "B01";
    ini.cLista = "TABPP01P";
  }
  void TearDown() override {
    if (!pair.origin.empty()) testsupport::DropSqlServerPair(session, pair);
  }
  long Count(const std::string& table) {
    db::SqlRow row;
    db::TOPSQL(session, "[" + pair.destination + "].dbo." + table, row, "", "",
               "COUNT(*) AS N");
    return static_cast<long>(db::VCC(session, row, "N").number());
  }

  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("sqlserver-export")};
  db::Session session{platform, trace};
  testsupport::SqlServerPair pair;
  config::TInicio ini;
};

TEST_F(SqlServerExportTest, TwoCyclesOnAnEmptyErpRunCleanAndSettle) {
  std::vector<std::string> problems;
  const ExportSummary first = SECUENCIAINSERT(session, ini, problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(first.batches, 32);
  // Placeholder rows reach the destination once.
  EXPECT_EQ(Count("LINEAS"), 1);
  EXPECT_EQ(Count("SUBRUBROS"), 1);

  const ExportSummary second = SECUENCIAINSERT(session, ini, problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(second.inserted(), 0) << second.Line();
  EXPECT_EQ(Count("LINEAS"), 1);
}

}  // namespace
}  // namespace exporter
