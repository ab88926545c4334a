// The headless face: start-up, then the scheduler on the headless event loop
// until SIGTERM or SIGINT (exit 0), or one cycle for --once (exit 0 without
// problems, 3 with). SIGUSR1 toggles the monitoring trace between runs.
#pragma once

#include <filesystem>
#include <ostream>

#include "shell/command_line.h"
#include "shell/process_context.h"
#include "shell/scheduler.h"
#include "shell/startup.h"

namespace shell {

// Exit status of --once when the run recorded problems.
inline constexpr int kExitProblems = 3;

struct ServiceWiring {
  // The cycles and connection switch; main leaves the defaults.
  CycleHooks cycles;
  StartupHooks startup;
  // Where the one-line summary of --once goes.
  std::ostream* out = nullptr;
};

// Runs the headless face on `ctx` (built by main) and returns the exit status.
int RunHeadless(ProcessContext& ctx, const CommandLine& line, ServiceWiring wiring);

// The one-line summary of a run made with --once.
std::string OnceSummary(CycleKind kind, const CycleRun& run);

// "Comando correo" of section "OTROS": the program part of the mail command,
// empty when the key is absent.
std::string ReadMailProgram(const config::TInicio& ini);

}  // namespace shell
