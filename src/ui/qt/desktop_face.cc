#include "ui/qt/desktop_face.h"

#include <QApplication>
#include <QTimer>

#include <iostream>

#include "db/odbc_connection.h"
#include "export/sequencer.h"
#include "shell/headless_service.h"
#include "shell/order_cycle.h"
#include "shell/problem_mail.h"
#include "ui/qt/config_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_timer.h"

namespace qtface {

int RunDesktop(shell::ProcessContext& ctx, const shell::CommandLine& line,
               DesktopWiring wiring) {
  if (!wiring.configure) {
    wiring.configure = [](shell::ProcessContext& c, shell::CycleScheduler* scheduler) {
      db::OdbcConnectionChecker checker(c.platform);
      if (scheduler) {
        PIDECONFIG(c.ini, c.platform, checker, *scheduler);
      } else {
        PIDECONFIG(c.ini, c.platform, checker, static_cast<ui::Timer*>(nullptr));
      }
    };
  }
  if (!wiring.startup.incomplete_configuration) {
    wiring.startup.incomplete_configuration = [configure = wiring.configure](
                                                  shell::ProcessContext& c) {
      configure(c, nullptr);
    };
  }
  if (!wiring.startup.load_catalogue) {
    wiring.startup.load_catalogue = [](shell::ProcessContext& c) {
      orders::LLENATABMACRO(c, c.TABMACRO);
    };
  }
  const int status = shell::StartUp(ctx, shell::ProgramDirectory(line), wiring.startup);
  if (status != ui::kExitOk) return status;
  if (line.monitor) ctx.LMONITOREO = true;

  // The cycles as the headless face runs them; their summaries go to the
  // journal (standard error) as there.
  if (!wiring.cycles.SECUENCIAINSERT) {
    wiring.cycles.SECUENCIAINSERT = [&ctx](config::TInicio& ini,
                                           shell::ProblemList& problems) {
      std::cerr << exporter::SECUENCIAINSERT(ctx, ini, problems).Line() << std::endl;
    };
  }
  shell::OrderCycle order_cycle(ctx);
  if (!wiring.cycles.SECUENCIAPDA) {
    wiring.cycles.SECUENCIAPDA = [&order_cycle](config::TInicio& ini,
                                                shell::ProblemList& problems) {
      const orders::ImportSummary summary = order_cycle.Run(ini, problems);
      if (summary.orders > 0 || !problems.empty()) {
        std::cerr << shell::OrderSummaryLine(summary) << std::endl;
      }
    };
  }
  shell::ProblemMail mail(shell::ReadMailProgram(ctx.ini));
  if (!wiring.cycles.send_problems) {
    wiring.cycles.send_problems = [&mail](const config::TInicio& ini,
                                          const shell::ProblemList& problems) {
      mail.SendProblems(ini, problems);
    };
  }
  // The window exists only after the scheduler; the hook reaches it through
  // this pointer, and nothing runs a cycle before the window is up.
  MainWindow* window_ptr = nullptr;
  auto chained_last_run = wiring.cycles.on_last_run;
  wiring.cycles.on_last_run = [&window_ptr, chained_last_run](const std::string& time) {
    if (chained_last_run) chained_last_run(time);
    if (window_ptr) window_ptr->SetLastRun(time);
  };

  shell::CycleScheduler scheduler(
      ctx, [] { return std::make_unique<QtTimer>(); }, wiring.cycles);

  MainWindowHooks hooks;
  hooks.activate = [&scheduler] { scheduler.ACTIVAR(); };
  hooks.configure = [&ctx, &scheduler, configure = wiring.configure] {
    configure(ctx, &scheduler);
  };
  if (wiring.companies) {
    hooks.companies = [&ctx, companies = wiring.companies] { companies(ctx); };
  }
  MainWindow window(ctx, hooks);
  window_ptr = &window;
  window.show();
  if (shell::IsAutoArgument(line.argument)) {
    // Once the window is up and the event loop runs, as "Activar Interface".
    QTimer::singleShot(0, &window, [&scheduler] { scheduler.ACTIVAR(); });
  }
  QApplication::exec();
  window_ptr = nullptr;
  // The event loop may also end without the window's confirmation (the
  // session ending): the resources are ended all the same.
  if (!window.closing()) shell::Shutdown(ctx);
  return ui::kExitOk;
}

}  // namespace qtface
