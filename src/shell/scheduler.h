// The cycle scheduler: once activated, a periodic timer on the face's event
// loop counts ticks; every nLapso ticks it runs the order import (REVISARPDA),
// every nLapso x 100 ticks the full export (REVISAR). Each run starts on a
// fresh origin connection with an empty problem list and mails the problems it
// collected. The timer is stopped for the whole of a run, so runs never overlap
// and ticks do not pile up behind a long run.
//
// Single-threaded: everything here runs on the thread of the event loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/tinicio.h"
#include "shell/process_context.h"
#include "ui/timer.h"

namespace shell {

inline constexpr std::chrono::milliseconds kCyclePeriod{18};
// The export threshold is this many orders thresholds.
inline constexpr int64_t kExportFactor = 100;

using ProblemList = std::vector<std::string>;

// What the runs do, injected so that each piece can be replaced in tests.
struct CycleHooks {
  using Cycle = std::function<void(config::TInicio&, ProblemList&)>;
  // SECUENCIAPDA(oIni, problems): one order import on the current connection.
  Cycle SECUENCIAPDA;
  // SECUENCIAINSERT(oIni, problems): one full export on the current connection.
  Cycle SECUENCIAINSERT;
  // The problem mail of a run that recorded problems (AGREGAALCORREO mode 2).
  std::function<void(const config::TInicio&, const ProblemList&)> send_problems;
  // Makes a fresh origin connection current before each run. Empty: the
  // scheduler uses db::ODBCREMOTO(ctx, ctx.ini, "o").
  std::function<void(ProcessContext&)> switch_connection;
  // The local time of day. Empty: the system clock.
  std::function<std::tm()> clock;
  // Told the last run time (hh:mm:ss) after every run, for the window to show.
  std::function<void(const std::string&)> on_last_run;
};

enum class CycleKind { kOrders, kExport };

// The outcome of a run started on demand.
struct CycleRun {
  bool ran = false;  // false: that cycle was already running (re-entrant call)
  ProblemList problems;
};

class CycleScheduler {
 public:
  using TimerFactory = std::function<std::unique_ptr<ui::Timer>()>;

  // `make_timer` is called once, by the first successful activation. `ctx`
  // must outlive the scheduler.
  CycleScheduler(ProcessContext& ctx, TimerFactory make_timer, CycleHooks hooks);
  ~CycleScheduler();
  CycleScheduler(const CycleScheduler&) = delete;
  CycleScheduler& operator=(const CycleScheduler&) = delete;

  // Starts the scheduler. A blank modality ("Modalidada vacía...") or a
  // second activation ("El sistema ya esta trabajando...") shows its stop box
  // and returns false; true when this call started the timer.
  bool ACTIVAR();

  // One run of the order import / of the export: refused at once while the
  // same run is in progress; otherwise switches the connection, writes the
  // trace line when monitoring, runs the cycle on a new problem list and mails
  // the list when it is not empty.
  void REVISARPDA();
  void REVISAR();

  // Runs one cycle now as a tick does when its threshold is reached (timer
  // stopped during the run when there is one, last run time set), without
  // touching the counters. For one-shot operation of the headless face.
  CycleRun RunOnce(CycleKind kind);

  // The configuration dialog holds the timer while it is open; the counters
  // keep their values. Both do nothing before activation.
  void Suspend();
  void Resume();

  bool activated() const { return timer_ != nullptr; }
  int64_t orders_count() const { return orders_count_; }
  int64_t export_count() const { return export_count_; }
  bool orders_busy() const { return orders_busy_; }
  bool export_busy() const { return export_busy_; }
  // hh:mm:ss of the end of the last run; empty until the first run.
  const std::string& last_run() const { return last_run_; }

 private:
  void OnTick();
  // One half of the tick action: timer off, run, counter to 0, last run
  // time, timer on again.
  void RunFromTick(CycleKind kind, int64_t& counter);
  // REVISARPDA / REVISAR; `problems` receives the run's list when given.
  bool Revisar(CycleKind kind, ProblemList* problems);
  void StampLastRun();

  ProcessContext& ctx_;
  TimerFactory make_timer_;
  CycleHooks hooks_;
  std::unique_ptr<ui::Timer> timer_;
  int64_t orders_count_ = 0;
  int64_t export_count_ = 0;
  bool orders_busy_ = false;
  bool export_busy_ = false;
  std::string last_run_;
};

// "hh:mm:ss" of a local time.
std::string FormatRunTime(const std::tm& when);

}  // namespace shell
