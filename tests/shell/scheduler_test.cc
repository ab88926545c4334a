#include "shell/scheduler.h"

#include <gtest/gtest.h>

#include "support/files.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/odbc_connection.h"
#include "support/odbc_test_env.h"
#include "ui/manual_timer.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

using testsupport::ReadFile;

// A scheduler on a manual timer and a fake clock, with cycle bodies that
// record what happens in `events`.
struct SchedulerTest : ::testing::Test {
  SchedulerTest() {
    ctx.ini.cModalidad = "PDA";
    ctx.ini.nLapso = 1;
    ctx.ini.cRuta = dir.string() + "/";
    scheduler = std::make_unique<CycleScheduler>(ctx, [this] { return MakeTimer(); },
                                                 Hooks());
  }

  std::unique_ptr<ui::Timer> MakeTimer() {
    ++timers_made;
    auto made = std::make_unique<ui::ManualTimer>();
    timer = made.get();
    return made;
  }

  CycleHooks Hooks() {
    CycleHooks hooks;
    hooks.switch_connection = [this](ProcessContext&) { events.push_back("switch"); };
    hooks.SECUENCIAPDA = [this](config::TInicio& ini, ProblemList& problems) {
      EXPECT_EQ(&ini, &ctx.ini);
      EXPECT_TRUE(problems.empty());
      events.push_back("orders");
      if (inside_orders) inside_orders();
      problems.insert(problems.end(), orders_problems.begin(), orders_problems.end());
    };
    hooks.SECUENCIAINSERT = [this](config::TInicio&, ProblemList& problems) {
      EXPECT_TRUE(problems.empty());
      events.push_back("export");
      problems.insert(problems.end(), export_problems.begin(), export_problems.end());
    };
    hooks.send_problems = [this](const config::TInicio&, const ProblemList& problems) {
      std::string line = "mail";
      for (const auto& p : problems) line += ":" + p;
      events.push_back(line);
    };
    hooks.clock = [this] {
      std::tm t{};
      t.tm_hour = 7;
      t.tm_min = 5;
      t.tm_sec = seconds++;
      return t;
    };
    hooks.on_last_run = [this](const std::string& time) { events.push_back("last " + time); };
    return hooks;
  }

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) timer->Tick();
  }
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }

  std::filesystem::path dir = testsupport::FreshDir(
      ::testing::UnitTest::GetInstance()->current_test_info()->name());
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{dir};
  ProcessContext ctx{platform, trace};
  std::unique_ptr<CycleScheduler> scheduler;
  ui::ManualTimer* timer = nullptr;
  int timers_made = 0;
  int seconds = 0;
  std::vector<std::string> events;
  ProblemList orders_problems, export_problems;
  std::function<void()> inside_orders;
};

TEST_F(SchedulerTest, ActivationStartsOneTimerAndRefusesASecond) {
  ASSERT_TRUE(scheduler->ACTIVAR());
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->IsActive());
  EXPECT_EQ(timer->period(), std::chrono::milliseconds(18));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(events.empty()) << "activation runs nothing by itself";

  Ticks(2);
  EXPECT_FALSE(scheduler->ACTIVAR());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform.messages[0].title, "ATENCION");
  EXPECT_EQ(platform.messages[0].text, "El sistema ya esta trabajando...");
  EXPECT_EQ(timers_made, 1);
  EXPECT_EQ(scheduler->export_count(), 2) << "a second activation changes nothing";
}

TEST_F(SchedulerTest, EmptyOrBlankModalityIsRefused) {
  for (const char* modality : {"", " ", "   \t "}) {
    platform.messages.clear();
    ctx.ini.cModalidad = modality;
    EXPECT_FALSE(scheduler->ACTIVAR());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, ui::MessageKind::kStop);
    EXPECT_EQ(platform.messages[0].title, "ATENCION");
    EXPECT_EQ(platform.messages[0].text,
              "Modalidada vacía. Establéscala en Parámetros->Empresas y continúe");
  }
  EXPECT_EQ(timers_made, 0);
  EXPECT_FALSE(scheduler->activated());

  // The refusal leaves no timer behind: once the modality is set, it starts.
  ctx.ini.cModalidad = "PDA";
  platform.messages.clear();
  EXPECT_TRUE(scheduler->ACTIVAR());
  EXPECT_TRUE(platform.messages.empty());
}

// With a constant nLapso the export runs exactly on every 100th orders run,
// in the same tick and after it.
TEST_F(SchedulerTest, ExportRunsOnTheHundredthOrdersThresholdAfterTheOrders) {
  for (int lapso : {1, 3, 7}) {
    SCOPED_TRACE(lapso);
    ctx.ini.nLapso = lapso;
    scheduler = std::make_unique<CycleScheduler>(ctx, [this] { return MakeTimer(); },
                                                 Hooks());
    events.clear();
    ASSERT_TRUE(scheduler->ACTIVAR());

    Ticks(lapso * 100 - 1);
    EXPECT_EQ(Count("orders"), 99);
    EXPECT_EQ(Count("export"), 0);
    EXPECT_EQ(scheduler->orders_count(), lapso - 1);

    events.clear();
    seconds = 0;
    Ticks(1);
    EXPECT_EQ(events, (std::vector<std::string>{"switch", "orders", "last 07:05:00",
                                                "switch", "export", "last 07:05:01"}));
    EXPECT_EQ(scheduler->orders_count(), 0);
    EXPECT_EQ(scheduler->export_count(), 0);

    events.clear();
    Ticks(lapso * 100);
    EXPECT_EQ(Count("orders"), 100);
    EXPECT_EQ(Count("export"), 1);
    EXPECT_EQ(*(events.end() - 2), "export");
    EXPECT_EQ(events.back().rfind("last ", 0), 0u);
  }
}

TEST_F(SchedulerTest, NLapsoIsReadAtEveryTick) {
  ctx.ini.nLapso = 10;
  ASSERT_TRUE(scheduler->ACTIVAR());
  Ticks(4);
  EXPECT_EQ(Count("orders"), 0);

  // Lowered below the current count: the next tick runs the orders.
  ctx.ini.nLapso = 2;
  Ticks(1);
  EXPECT_EQ(Count("orders"), 1);
  EXPECT_EQ(scheduler->orders_count(), 0);
  Ticks(1);
  EXPECT_EQ(Count("orders"), 1);
  Ticks(1);
  EXPECT_EQ(Count("orders"), 2);

  // The export threshold follows too: 7 ticks counted, threshold now 200.
  EXPECT_EQ(scheduler->export_count(), 7);
  ctx.ini.nLapso = 0;  // 0 x 100: the next tick reaches both thresholds
  Ticks(1);
  EXPECT_EQ(Count("orders"), 3);
  EXPECT_EQ(Count("export"), 1);
}

TEST_F(SchedulerTest, TimerIsInactiveDuringARunAndActiveAfter) {
  ASSERT_TRUE(scheduler->ACTIVAR());
  std::vector<bool> seen;
  inside_orders = [&] {
    seen.push_back(timer->IsActive());
    seen.push_back(timer->Tick());  // a tick queued before the stop: ignored
    seen.push_back(scheduler->orders_busy());
  };
  Ticks(1);
  EXPECT_EQ(seen, (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(timer->IsActive());
  EXPECT_EQ(timer->period(), std::chrono::milliseconds(18));
  EXPECT_FALSE(scheduler->orders_busy());
  EXPECT_EQ(Count("orders"), 1);
  EXPECT_EQ(scheduler->export_count(), 1) << "the ignored tick was not counted";
}

TEST_F(SchedulerTest, ARunningCycleRefusesToStartAgain) {
  int inner_runs = 0;
  inside_orders = [&] {
    if (inner_runs++ > 0) return;
    scheduler->REVISARPDA();
    CycleRun nested = scheduler->RunOnce(CycleKind::kOrders);
    EXPECT_FALSE(nested.ran);
    // The other cycle has its own flag.
    EXPECT_FALSE(scheduler->export_busy());
  };
  scheduler->REVISARPDA();
  EXPECT_EQ(inner_runs, 1);
  EXPECT_EQ(Count("orders"), 1);
  EXPECT_EQ(Count("switch"), 1);
  EXPECT_FALSE(scheduler->orders_busy());
}

TEST_F(SchedulerTest, TraceLinesOnlyWhenMonitoring) {
  scheduler->REVISARPDA();
  scheduler->REVISAR();
  EXPECT_EQ(trace.current_number(), 0);

  ctx.LMONITOREO = true;
  scheduler->REVISARPDA();
  scheduler->REVISAR();
  std::string text = ReadFile(trace.FileName(1));
  auto orders = text.find("Entrando a revisar los pedidos ingresados\r\ngo\r\n");
  auto exports = text.find("Entrando a revisar todas las tablas maestras\r\ngo\r\n");
  ASSERT_NE(orders, std::string::npos) << text;
  ASSERT_NE(exports, std::string::npos) << text;
  EXPECT_LT(orders, exports);
}

TEST_F(SchedulerTest, ProblemsAreMailedAndTheRunIsStillStamped) {
  ASSERT_TRUE(scheduler->ACTIVAR());
  Ticks(1);
  EXPECT_EQ(Count("mail"), 0);
  EXPECT_EQ(events.back(), "last 07:05:00");

  orders_problems = {"Problema -> a", "Problema -> b"};
  events.clear();
  Ticks(1);
  EXPECT_EQ(events, (std::vector<std::string>{"switch", "orders",
                                              "mail:Problema -> a:Problema -> b",
                                              "last 07:05:01"}));
  EXPECT_EQ(scheduler->last_run(), "07:05:01");
  EXPECT_TRUE(timer->IsActive()) << "problems never stop the scheduler";

  // Each run starts from an empty list (checked in the bodies).
  Ticks(1);
  EXPECT_EQ(Count("mail:Problema -> a:Problema -> b"), 2);
}

TEST_F(SchedulerTest, RunOnceRunsLikeATickAndReturnsTheProblems) {
  export_problems = {"Problema -> x SELECT 1"};
  CycleRun run = scheduler->RunOnce(CycleKind::kExport);
  EXPECT_TRUE(run.ran);
  EXPECT_EQ(run.problems, export_problems);
  EXPECT_EQ(events, (std::vector<std::string>{"switch", "export", "mail:Problema -> x SELECT 1",
                                              "last 07:05:00"}));

  run = scheduler->RunOnce(CycleKind::kOrders);
  EXPECT_TRUE(run.ran);
  EXPECT_TRUE(run.problems.empty());

  // With the scheduler running, the timer is held for the run and the counters
  // are left alone.
  ASSERT_TRUE(scheduler->ACTIVAR());
  ctx.ini.nLapso = 5;
  Ticks(2);
  bool active_inside = true;
  inside_orders = [&] { active_inside = timer->IsActive(); };
  scheduler->RunOnce(CycleKind::kOrders);
  EXPECT_FALSE(active_inside);
  EXPECT_TRUE(timer->IsActive());
  EXPECT_EQ(scheduler->orders_count(), 2);
}

TEST_F(SchedulerTest, SuspendedTicksAreNotCounted) {
  ctx.ini.nLapso = 5;
  ASSERT_TRUE(scheduler->ACTIVAR());
  Ticks(3);
  scheduler->Suspend();
  EXPECT_FALSE(timer->Tick());
  EXPECT_EQ(scheduler->orders_count(), 3);
  scheduler->Resume();
  Ticks(2);
  EXPECT_EQ(Count("orders"), 1);
}

// A cycle that ends by an exception (a fault on its way to the error report)
// leaves neither a busy flag set nor the timer stopped behind.
TEST_F(SchedulerTest, AnEscapingFaultLeavesTheSchedulerWorking) {
  ASSERT_TRUE(scheduler->ACTIVAR());
  inside_orders = [] { throw std::runtime_error("fault"); };
  EXPECT_THROW(timer->Tick(), std::runtime_error);
  EXPECT_FALSE(scheduler->orders_busy());
  EXPECT_TRUE(timer->IsActive());
  inside_orders = nullptr;
  Ticks(1);
  EXPECT_EQ(Count("orders"), 2);
}

// Without an injected switch, each run opens the origin anew through the
// connection layer; a failed connection is one Log.txt line and the run goes on.
TEST(SchedulerConnectionTest, EachRunOpensTheOriginAnew) {
  const auto& env = testsupport::OdbcTestEnv::Get();
  auto dir = testsupport::FreshDir("scheduler-odbc");
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{dir};
  ProcessContext ctx{platform, trace};
  ctx.ini.cRuta = dir.string() + "/";
  ctx.ini.cDSN = env.sqlite_dsn;
  ctx.ini.cUser = "u";
  ctx.ini.cPassword = "p";

  std::vector<std::shared_ptr<db::TOdbc>> seen;
  CycleHooks hooks;
  hooks.SECUENCIAPDA = [&](config::TInicio&, ProblemList&) {
    seen.push_back(std::dynamic_pointer_cast<db::TOdbc>(ctx.OODBC));
  };
  CycleScheduler scheduler(ctx, [] { return std::make_unique<ui::ManualTimer>(); }, hooks);

  scheduler.REVISARPDA();
  scheduler.REVISARPDA();
  ASSERT_EQ(seen.size(), 2u);
  ASSERT_TRUE(seen[0] && seen[1]);
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_TRUE(seen[0]->hDbc == SQL_NULL_HDBC) << "the previous connection was ended";
  EXPECT_TRUE(seen[1]->lSuccess);

  ctx.ini.cDSN = "qv_no_such_source";
  scheduler.REVISARPDA();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_FALSE(seen[2]->lSuccess);
  EXPECT_EQ(ReadFile(dir / "Log.txt").rfind("Fallo de conexion: qv_no_such_source u **** -> ", 0),
            0u);
}

}  // namespace
}  // namespace shell
