// The process-wide settings under their names, built once by main and passed
// down. The access layer's part (OODBC, LMONITOREO, the trace, the local tables
// in DEFATMP, the platform) is the db::Session it derives from.
#pragma once

#include <filesystem>
#include <string>

#include "config/log_file.h"
#include "config/tinicio.h"
#include "config/trace.h"
#include "db/session.h"
#include "orders/catalogue.h"
#include "ui/platform.h"

namespace shell {

struct ProcessContext : db::Session {
  ProcessContext(ui::Platform& platform, config::MonitorTrace& trace)
      : db::Session(platform, trace) {}

  config::TInicio ini;       // the configuration object (oIni)
  config::LogFile oLog;      // Log.txt, open from start-up to the end
  std::filesystem::path DEFABASES;
  std::string CNUMEROEMPRESA;  // active company, empty when there is none
  orders::Catalogue TABMACRO;  // the formula variable catalogue
  int DEF_REDON = 0;           // default rounding code of the formula evaluator
  std::string ARROBAE = "@E";  // numeric display picture of the grid
  // The access layer's alternative SQL forms and hint switch; always false.
  bool EN_LINUX = false;
  bool LVIAACCESS = false;

  const std::filesystem::path& DEFATMP() const { return locals.directory(); }
};

}  // namespace shell
