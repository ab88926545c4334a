// The headless face end to end on the scripted database double: start-up,
// --once and its exit statuses, the scheduler refused, and the orderly stop on
// SIGTERM with a cycle running.
#include "shell/headless_service.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "config/cipher.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

using testsupport::ScriptedConnection;

std::filesystem::path ProgramDir(const std::string& name) {
  auto dir = testsupport::FreshDir(name);
  std::ofstream ini(dir / "Norvo2015.ini");
  auto line = [](const char* key, const char* value) {
    return std::string(key) + "=" + config::Encriptar(value, 1) + "\n";
  };
  ini << "[ODBC_ORIGEN]\n"
      << line("DSN", "QUORIX") << line("USR", "sa") << line("PSW", "pw")
      << "[ODBC_DESTINO]\n"
      << line("DSN", "VELMORA") << line("USR", "sa") << line("PSW", "pw")
      << line("DB", "VELMORA") << line("COLL", "Modern_Spanish_CI_AS")
      << "[OTROS]\nIntervalo de Actualizacion=1\n";
  return dir;
}

struct HeadlessServiceTest : ::testing::Test {
  HeadlessServiceTest() {
    ScriptBootstrap();
    wiring.startup.connect = [this](ProcessContext&, const std::string&, const std::string&,
                                    const std::string&) { return db; };
    wiring.cycles.switch_connection = [](ProcessContext&) {};  // keep the double
    wiring.cycles.send_problems = [this](const config::TInicio&,
                                         const ProblemList& problems) {
      mailed.push_back(problems);
    };
    wiring.out = &out;
  }
  // The bootstrap finds EMPRESAS with company 01 active in modality VENTA.
  void ScriptBootstrap() {
    db->OnPrefix("SELECT TOP 1 RAZON FROM CONFIGP")
        .Returns({{"RAZON", SQL_VARCHAR, 50, 0}}, {{"Acme"}});
    db->OnPrefix("if exists").Returns({{"EXISTE", SQL_INTEGER, 10, 0}}, {{"1"}});
    db->OnPrefix("SELECT TOP 1 * FROM EMPRESAS")
        .Returns({{"EMPRESA", SQL_CHAR, 2, 0}, {"MODALIDAD", SQL_CHAR, 5, 0}},
                 {{"01", "VENTA"}});
  }
  void ScriptConfiest(bool found) {
    std::vector<testsupport::ScriptedRow> rows;
    if (found) rows.push_back({"01", "VENTA", "001", "B01", "L1", "L2", "L3"});
    db->OnPrefix("SELECT TOP 1 * FROM CONFIEST")
        .Returns({{"EMPRESA", SQL_CHAR, 2, 0},
                  {"MODALIDAD", SQL_CHAR, 5, 0},
                  {"ESUCURSAL", SQL_CHAR, 3, 0},
                  {"EBODEGA", SQL_CHAR, 3, 0},
                  {"ELISTAVEN", SQL_CHAR, 2, 0},
                  {"ELISTACOM", SQL_CHAR, 2, 0},
                  {"ELISTAINT", SQL_CHAR, 2, 0}},
                 rows);
  }
  CommandLine Line(const std::string& dir_name) {
    CommandLine line;
    line.headless = true;
    line.home = ProgramDir(dir_name);
    return line;
  }

  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("headless-trace")};
  ProcessContext ctx{platform, trace};
  std::shared_ptr<ScriptedConnection> db = std::make_shared<ScriptedConnection>();
  ServiceWiring wiring;
  std::ostringstream out;
  std::vector<ProblemList> mailed;
};

TEST_F(HeadlessServiceTest, OnceReportsItsRunAndExitsByItsProblems) {
  ScriptConfiest(true);
  CommandLine line = Line("headless-once");
  line.once = "orders";
  int runs = 0;
  wiring.cycles.SECUENCIAPDA = [&](config::TInicio& ini, ProblemList& problems) {
    ++runs;
    EXPECT_EQ(ini.cSucursal, "001");
    problems.push_back("Problema -> disk full");
  };
  EXPECT_EQ(RunHeadless(ctx, line, wiring), kExitProblems);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(out.str(), "orders: 1 problem(s); first: Problema -> disk full\n");
  ASSERT_EQ(mailed.size(), 1u);
  EXPECT_TRUE(db->ended());
  EXPECT_FALSE(ctx.oLog.IsOpen());

  // A run without problems: exit 0 and no mail.
  db = std::make_shared<ScriptedConnection>();
  ScriptBootstrap();
  ScriptConfiest(true);
  ProcessContext again(platform, trace);
  line.once = "export";
  wiring.cycles.SECUENCIAPDA = nullptr;
  out.str("");
  EXPECT_EQ(RunHeadless(again, line, wiring), ui::kExitOk);
  EXPECT_EQ(out.str(), "export: 0 problem(s)\n");
  EXPECT_EQ(mailed.size(), 1u);
}

TEST_F(HeadlessServiceTest, EmptyModalityRefusesTheScheduler) {
  ScriptConfiest(false);  // no CONFIEST row: the modality is emptied
  EXPECT_EQ(RunHeadless(ctx, Line("headless-nomodality"), wiring), ui::kExitRefused);
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().text,
            "Modalidada vacía. Establéscala en Parámetros->Empresas y continúe");
  EXPECT_TRUE(db->ended());
}

TEST_F(HeadlessServiceTest, SigtermLetsTheRunningCycleFinishThenEndsInOrder) {
  ScriptConfiest(true);
  int runs = 0;
  bool finished = false;
  wiring.cycles.SECUENCIAPDA = [&](config::TInicio&, ProblemList&) {
    ++runs;
    std::raise(SIGTERM);  // arrives in the middle of the run
    finished = true;
  };
  EXPECT_EQ(RunHeadless(ctx, Line("headless-sigterm"), wiring), ui::kExitOk);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(finished);
  EXPECT_TRUE(db->ended());
  EXPECT_FALSE(ctx.oLog.IsOpen());
}

TEST_F(HeadlessServiceTest, MonitorStartsWithTheTraceOn) {
  ScriptConfiest(true);
  CommandLine line = Line("headless-monitor");
  line.once = "orders";
  line.monitor = true;
  EXPECT_EQ(RunHeadless(ctx, line, wiring), ui::kExitOk);
  EXPECT_TRUE(ctx.LMONITOREO);
  std::ifstream in(trace.FileName(1), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str().rfind("Entrando a revisar los pedidos ingresados\r\ngo\r\n", 0), 0u);
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

TEST_F(HeadlessServiceTest, OnceOrdersRunsTheRealImportInOneTransaction) {
  ScriptConfiest(true);
  CommandLine line = Line("headless-orders");
  line.once = "orders";
  wiring.cycles.SECUENCIAPDA = nullptr;  // the service's own order import
  EXPECT_EQ(RunHeadless(ctx, line, wiring), ui::kExitOk) << out.str();
  const auto& sent = db->statements();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "BEGIN TRANSACTION"), sent.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), "COMMIT TRANSACTION"), sent.end());
  EXPECT_EQ(std::find(sent.begin(), sent.end(), "ROLLBACK TRANSACTION"), sent.end());
  EXPECT_EQ(out.str(), "orders: 0 problem(s)\n");
}

}  // namespace
}  // namespace shell
