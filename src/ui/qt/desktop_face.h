// The desktop face: start-up, then the main window on the Qt event loop with
// the cycle scheduler on a Qt timer. Closing the window (after the exit
// confirmation) ends the run.
#pragma once

#include <functional>

#include "shell/command_line.h"
#include "shell/process_context.h"
#include "shell/scheduler.h"
#include "shell/startup.h"

namespace qtface {

struct DesktopWiring {
  // The cycles and connection switch; main leaves the defaults.
  shell::CycleHooks cycles;
  shell::StartupHooks startup;
  // PIDECONFIG(oIni): the configuration dialog, opened on an incomplete
  // configuration (no scheduler yet: null) and by the menu (the scheduler, to
  // hold its timer while the dialog is open). Empty: the Qt dialog.
  std::function<void(shell::ProcessContext&, shell::CycleScheduler*)> configure;
  // PARAM(oLog, oMainWindow, oIni, "EMPRESAS"): the company parameters window.
  std::function<void(shell::ProcessContext&)> companies;
};

// Runs the desktop face on `ctx` (built by main, on a Qt platform) and returns
// the exit status. A QApplication must exist.
int RunDesktop(shell::ProcessContext& ctx, const shell::CommandLine& line,
               DesktopWiring wiring = {});

}  // namespace qtface
