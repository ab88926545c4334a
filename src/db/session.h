// The access layer's view of the process-wide settings: the current connection
// OODBC, the monitoring switch and trace, the local-table directory and the
// platform for messages. The shell's process context owns one; tests build
// their own.
#pragma once

#include <filesystem>
#include <memory>

#include "config/trace.h"
#include "db/local_tables.h"
#include "ui/platform.h"

namespace db {

class TOdbc;

struct Session {
  Session(ui::Platform& platform, config::MonitorTrace& trace)
      : platform(platform), trace(trace) {}

  ui::Platform& platform;
  config::MonitorTrace& trace;
  std::shared_ptr<TOdbc> OODBC;  // the current connection
  bool LMONITOREO = false;       // monitoring trace on or off
  LocalTables locals;            // local tables in DEFATMP, by alias

  // Writes `text` to the monitoring trace when monitoring is on.
  void Trace(const std::string& text) {
    if (LMONITOREO) trace.ESCRIBETXT(text, 1);
  }
};

}  // namespace db
