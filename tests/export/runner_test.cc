// The batch runner against the scripted database double: which statements run,
// the one problem line of a failed batch, the surviving staging table, and the
// rows counted per destination table.
#include "export/runner.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

using Statements = std::vector<std::string>;

struct RunnerTest : ::testing::Test {
  RunnerTest() { session.OODBC = db; }
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("runner-trace")};
  db::Session session{platform, trace};
  std::shared_ptr<testsupport::ScriptedConnection> db =
      std::make_shared<testsupport::ScriptedConnection>();
  std::vector<std::string> problems;
  ExportSummary summary;
};

const StatementList kBatch = {
    "DROP TABLE #PASO_ZONAS",
    "SELECT CAST('' AS VARCHAR(20) ) AS ID_ZONA INTO #PASO_ZONAS",
    "INSERT INTO [VELMORA].dbo.ZONAS SELECT * FROM #PASO_ZONAS",
    "UPDATE [VELMORA].dbo.ZONAS SET D = #PASO_ZONAS.D",
};

TEST_F(RunnerTest, SuccessRunsEverythingDropsAgainAndAddsNoProblem) {
  db->On("DROP TABLE #PASO_ZONAS").Fails("Cannot drop the table '#PASO_ZONAS'").Once();
  db->On(kBatch[2]).Affects(4);
  db->On(kBatch[3]).Affects(2);
  EVALUA(session, kBatch, problems, &summary);
  EXPECT_EQ(db->statements(),
            (Statements{kBatch[0], kBatch[1], kBatch[2], kBatch[3], kBatch[0]}));
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(summary.batches, 1);
  EXPECT_EQ(summary.tables["ZONAS"].inserted, 4);
  EXPECT_EQ(summary.tables["ZONAS"].updated, 2);
  EXPECT_EQ(summary.Line(),
            "export: 1 lotes, 0 problemas, 4 filas insertadas, 2 actualizadas (ZONAS +4 ~2)");
}

TEST_F(RunnerTest, FailingStatementEndsTheBatchWithOneProblemLine) {
  db->On(kBatch[2]).Fails("Invalid column name 'X'.");
  session.LMONITOREO = true;
  EVALUA(session, kBatch, problems, &summary);
  // The update after the failure never runs and the staging table is not
  // dropped: the next run of the builder drops it first.
  EXPECT_EQ(db->statements(), (Statements{kBatch[0], kBatch[1], kBatch[2]}));
  const std::string line = "Problema -> Invalid column name 'X'. " + kBatch[2];
  EXPECT_EQ(problems, (Statements{line}));
  EXPECT_EQ(summary.problems, 1);
  EXPECT_TRUE(platform.messages.empty());
  const std::string traced = testsupport::ReadFile(trace.FileName(1));
  EXPECT_NE(traced.find(line + "\r\ngo\r\n"), std::string::npos);
}

TEST_F(RunnerTest, AllocationFailureGivesAProblemLineWithAnEmptyErrorText) {
  db->FailAllocations(2);  // the first drop and the create
  EVALUA(session, kBatch, problems, &summary);
  EXPECT_EQ(problems, (Statements{"Problema ->  " + kBatch[1]}));
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[1].kind, ui::MessageKind::kStop);
}

TEST(ClassifyStatementTest, FindsTheDestinationTable) {
  const struct {
    std::string statement, table;
    bool insert;
  } cases[] = {
      {"INSERT INTO [VELMORA].dbo.ARTICULOS SELECT * FROM #PASO_ARTICULOS", "ARTICULOS", true},
      {"UPDATE [VEL]]MORA].dbo.CLIENTES SET A = #P.A", "CLIENTES", false},
      {"INSERT INTO #PASO_RUBROS SELECT 1", "", false},
      {"UPDATE #PASO_RUBROS SET ID=RTRIM(ID)", "", false},
      {"DELETE FROM [VELMORA].dbo.CUENTA_CORRIENTE", "", false},
  };
  for (const auto& c : cases) {
    const DestinationWrite write = ClassifyStatement(c.statement);
    EXPECT_EQ(write.table, c.table) << c.statement;
    if (!c.table.empty()) {
      EXPECT_EQ(write.insert, c.insert) << c.statement;
    }
  }
}

}  // namespace
}  // namespace exporter
