#include "shell/scheduler.h"

#include <utility>

#include "config/text.h"
#include "db/odbc_connection.h"

namespace shell {

namespace {

constexpr const char* kEmptyModality =
    "Modalidada vacía. Establéscala en Parámetros->Empresas y continúe";
constexpr const char* kAlreadyWorking = "El sistema ya esta trabajando...";
constexpr const char* kOrdersTrace = "Entrando a revisar los pedidos ingresados";
constexpr const char* kExportTrace = "Entrando a revisar todas las tablas maestras";

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

// Holds an active timer stopped for the life of the object and starts it
// again at the end, also when a run leaves by an exception, so that a run
// never stops the scheduler.
class TimerHold {
 public:
  explicit TimerHold(ui::Timer* timer)
      : timer_(timer != nullptr && timer->IsActive() ? timer : nullptr) {
    if (timer_ != nullptr) timer_->Stop();
  }
  ~TimerHold() {
    if (timer_ != nullptr) timer_->Start(kCyclePeriod);
  }
  TimerHold(const TimerHold&) = delete;
  TimerHold& operator=(const TimerHold&) = delete;

 private:
  ui::Timer* timer_;
};

// Sets a busy flag for the life of the object.
class BusyFlag {
 public:
  explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyFlag() { flag_ = false; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

std::string FormatRunTime(const std::tm& when) {
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &when);
  return text;
}

CycleScheduler::CycleScheduler(ProcessContext& ctx, TimerFactory make_timer,
                               CycleHooks hooks)
    : ctx_(ctx), make_timer_(std::move(make_timer)), hooks_(std::move(hooks)) {}

CycleScheduler::~CycleScheduler() = default;

bool CycleScheduler::ACTIVAR() {
  if (config::IsBlank(ctx_.ini.cModalidad)) {
    ctx_.platform.Stop(kEmptyModality, "ATENCION");
    return false;
  }
  if (timer_ != nullptr) {
    ctx_.platform.Stop(kAlreadyWorking, "ATENCION");
    return false;
  }
  timer_ = make_timer_();
  orders_count_ = 0;
  export_count_ = 0;
  timer_->SetAction([this] { OnTick(); });
  timer_->Start(kCyclePeriod);
  return true;
}

void CycleScheduler::OnTick() {
  // nLapso is read afresh at every tick: a change made in the configuration
  // takes effect at the next tick. 64-bit so that x100 cannot overflow.
  ++orders_count_;
  if (orders_count_ >= static_cast<int64_t>(ctx_.ini.nLapso)) {
    RunFromTick(CycleKind::kOrders, orders_count_);
  }
  ++export_count_;
  if (export_count_ >= static_cast<int64_t>(ctx_.ini.nLapso) * kExportFactor) {
    RunFromTick(CycleKind::kExport, export_count_);
  }
}

void CycleScheduler::RunFromTick(CycleKind kind, int64_t& counter) {
  TimerHold hold(timer_.get());
  Revisar(kind, nullptr);
  counter = 0;
  StampLastRun();
}

void CycleScheduler::REVISARPDA() { Revisar(CycleKind::kOrders, nullptr); }

void CycleScheduler::REVISAR() { Revisar(CycleKind::kExport, nullptr); }

bool CycleScheduler::Revisar(CycleKind kind, ProblemList* problems_out) {
  const bool orders = kind == CycleKind::kOrders;
  bool& busy = orders ? orders_busy_ : export_busy_;
  if (busy) return false;
  BusyFlag flag(busy);

  if (hooks_.switch_connection) {
    hooks_.switch_connection(ctx_);
  } else {
    db::ODBCREMOTO(ctx_, ctx_.ini, "o");
  }
  ctx_.Trace(orders ? kOrdersTrace : kExportTrace);

  ProblemList problems;
  const CycleHooks::Cycle& cycle = orders ? hooks_.SECUENCIAPDA : hooks_.SECUENCIAINSERT;
  if (cycle) cycle(ctx_.ini, problems);
  if (!problems.empty() && hooks_.send_problems) hooks_.send_problems(ctx_.ini, problems);

  if (problems_out != nullptr) *problems_out = std::move(problems);
  return true;
}

CycleRun CycleScheduler::RunOnce(CycleKind kind) {
  TimerHold hold(timer_.get());
  CycleRun run;
  run.ran = Revisar(kind, &run.problems);
  if (run.ran) StampLastRun();
  return run;
}

void CycleScheduler::Suspend() {
  if (timer_ != nullptr) timer_->Stop();
}

void CycleScheduler::Resume() {
  if (timer_ != nullptr) timer_->Start(kCyclePeriod);
}

void CycleScheduler::StampLastRun() {
  last_run_ = FormatRunTime(hooks_.clock ? hooks_.clock() : LocalNow());
  if (hooks_.on_last_run) hooks_.on_last_run(last_run_);
}

}  // namespace shell
