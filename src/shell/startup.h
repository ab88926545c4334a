// Start-up of the service, in order: the configuration object, the
// incomplete-configuration path, Log.txt held open, the origin checks, the
// origin connection, the work directories, the active-company bootstrap and the
// catalogue load. Everything it refuses is reported (Log.txt line or message)
// and answered with exit status 2.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "shell/process_context.h"

namespace shell {

struct StartupHooks {
  // What the face does with an incomplete configuration (the desktop opens the
  // configuration dialog; the headless face tells the operator to run
  // --configure). Start-up ends afterwards either way.
  std::function<void(ProcessContext&)> incomplete_configuration;
  // Opens the origin connection. Empty: db::TOdbc::New over ODBC.
  std::function<std::shared_ptr<db::Connection>(ProcessContext&, const std::string& dsn,
                                                const std::string& user,
                                                const std::string& password)>
      connect;
  // Loads the formula variable catalogue (TABMACRO).
  std::function<void(ProcessContext&)> load_catalogue;
};

// Runs start-up on `ctx`. Returns ui::kExitOk when the face may start, or the
// exit status to end the process with (after Shutdown).
int StartUp(ProcessContext& ctx, const std::filesystem::path& program_dir,
            const StartupHooks& hooks);

// Ends the process's resources in order: Log.txt closed, connection ended.
void Shutdown(ProcessContext& ctx);

}  // namespace shell
