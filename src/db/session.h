// The access layer's view of the process-wide settings: the current connection
// OODBC, the monitoring switch and trace, the local-table directory and the
// platform for messages. The shell's process context owns one; tests build
// their own.
#pragma once

#include <filesystem>
#include <memory>

#include "config/trace.h"
#include "db/connection.h"
#include "db/local_tables.h"
#include "ui/platform.h"

namespace db {

struct Session {
  Session(ui::Platform& platform, config::MonitorTrace& trace)
      : platform(platform), trace(trace) {}

  ui::Platform& platform;
  config::MonitorTrace& trace;
  std::shared_ptr<Connection> OODBC;  // the current connection: a TOdbc
  bool LMONITOREO = false;            // monitoring trace on or off
  LocalTables locals;                 // local tables in DEFATMP, by alias

  // A statement on the current connection; null when there is no connection
  // or the allocation fails.
  std::shared_ptr<Statement> AllocateStatement() {
    return OODBC ? OODBC->AllocateStatement(nullptr) : nullptr;
  }

  // Writes `text` to the monitoring trace when monitoring is on.
  void Trace(const std::string& text) {
    if (LMONITOREO) trace.ESCRIBETXT(text, 1);
  }
};

}  // namespace db
