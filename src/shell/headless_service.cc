#include "shell/headless_service.h"

#include <iostream>

#include "config/ini_file.h"
#include "export/sequencer.h"
#include "shell/monitoring.h"
#include "shell/order_cycle.h"
#include "shell/problem_mail.h"
#include "shell/startup.h"
#include "ui/headless/event_loop.h"

namespace shell {

std::string OnceSummary(CycleKind kind, const CycleRun& run) {
  std::string line = kind == CycleKind::kOrders ? "orders" : "export";
  if (!run.ran) return line + ": not run, the cycle was already running";
  line += ": " + std::to_string(run.problems.size()) + " problem(s)";
  if (!run.problems.empty()) line += "; first: " + run.problems.front();
  return line;
}

std::string ReadMailProgram(const config::TInicio& ini) {
  config::IniFile file(ini.IniPath());
  file.Load();
  return file.GetString(config::kSectionOther, "Comando correo");
}

int RunHeadless(ProcessContext& ctx, const CommandLine& line, ServiceWiring wiring) {
  std::ostream& out = wiring.out ? *wiring.out : std::cout;
  if (!wiring.startup.incomplete_configuration) {
    wiring.startup.incomplete_configuration = [](ProcessContext& c) {
      std::cerr << "quorix-velmora: the configuration in " << c.ini.IniPath().string()
                << " is incomplete; run: quorix-velmora --configure"
                << " --home " << c.ini.cRuta << "\n";
    };
  }
  if (!wiring.startup.load_catalogue) {
    wiring.startup.load_catalogue = [](ProcessContext& c) {
      orders::LLENATABMACRO(c, c.TABMACRO);
    };
  }
  const int status = StartUp(ctx, ProgramDirectory(line), wiring.startup);
  if (status != ui::kExitOk) return status;
  if (line.monitor) ctx.LMONITOREO = true;

  if (!wiring.cycles.SECUENCIAINSERT) {
    // The whole export; its summary is one line in the journal per cycle.
    wiring.cycles.SECUENCIAINSERT = [&ctx](config::TInicio& ini, ProblemList& problems) {
      std::cerr << exporter::SECUENCIAINSERT(ctx, ini, problems).Line() << std::endl;
    };
  }
  OrderCycle order_cycle(ctx);
  if (!wiring.cycles.SECUENCIAPDA) {
    wiring.cycles.SECUENCIAPDA = [&order_cycle](config::TInicio& ini, ProblemList& problems) {
      const orders::ImportSummary summary = order_cycle.Run(ini, problems);
      if (summary.orders > 0 || !problems.empty()) {
        std::cerr << OrderSummaryLine(summary) << std::endl;
      }
    };
  }
  ProblemMail mail(ReadMailProgram(ctx.ini));
  if (!wiring.cycles.send_problems) {
    wiring.cycles.send_problems = [&mail](const config::TInicio& ini,
                                          const ProblemList& problems) {
      mail.SendProblems(ini, problems);
    };
  }

  ui::EventLoop loop;
  if (!loop.ok()) {
    std::cerr << "quorix-velmora: " << loop.error() << "\n";
    Shutdown(ctx);
    return ui::kExitProgramError;
  }
  CycleScheduler scheduler(ctx, [&loop] { return loop.CreateTimer(); }, wiring.cycles);

  if (line.once) {
    const CycleKind kind = *line.once == "export" ? CycleKind::kExport : CycleKind::kOrders;
    const CycleRun run = scheduler.RunOnce(kind);
    out << OnceSummary(kind, run) << std::endl;
    Shutdown(ctx);
    return run.ran && run.problems.empty() ? ui::kExitOk : kExitProblems;
  }

  // Headless always starts the scheduler, as "AUTO" does on the desktop.
  if (!scheduler.ACTIVAR()) {
    Shutdown(ctx);
    return ui::kExitRefused;
  }
  loop.OnUserSignal([&ctx] { ToggleMonitoring(ctx); });
  const auto reason = loop.Run();
  Shutdown(ctx);
  if (reason == ui::EventLoop::EndReason::kError) {
    std::cerr << "quorix-velmora: " << loop.error() << "\n";
    return ui::kExitProgramError;
  }
  return ui::kExitOk;
}

}  // namespace shell
