// The handler of unhandled errors, in force from process start: an uncaught
// exception (std::terminate) or a fatal signal (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT) writes Error.log into the program directory and ends the
// process with exit status 1. A second fatal error while one is being
// handled ends the process at once with status 1 and no report; so does a
// report that hangs (a watchdog alarm).
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "config/error_report.h"

namespace config {

// Installs the handler. `program_directory` is where Error.log goes; empty
// means the executable's directory until SetErrorReportDirectory says more.
// Called once, before start-up runs.
void ERRORSYS(const std::filesystem::path& program_directory = {});

// Where Error.log goes from now on (start-up calls it once cRuta is known).
void SetErrorReportDirectory(const std::filesystem::path& program_directory);

// Shown after Error.log was written and before the process ends: the desktop
// face sets it to show the error dialog (description line and call lines).
// Headless leaves it empty and the process quits at once.
using ErrorDialogHook = std::function<void(const ErrorRecord& error,
                                           const std::vector<StackFrame>& calls,
                                           const std::filesystem::path& error_log)>;
void SetErrorDialog(ErrorDialogHook hook);

// The open local tables for the "DBF's en uso" section.
using OpenTablesSource = std::function<std::vector<OpenLocalTable>()>;
void SetOpenTablesSource(OpenTablesSource source);

// The name of the local-table driver listed under "Linked RDDs".
inline constexpr const char* kLocalTableDriver = "SQLITE";

// Reports `error` with the calls active at this point, as the handler does,
// and ends the process with exit status 1.
[[noreturn]] void ReportFatalError(const ErrorRecord& error);

}  // namespace config
