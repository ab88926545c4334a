// EVALUA, the batch runner: runs one entity's statement list in order. The
// first element (the drop of the staging table) runs without looking at its
// result; the first failing work statement ends the batch with one problem
// line ("Problema -> " + driver text + " " + statement), also traced when
// monitoring is on; after success the staging table is dropped again.
// Rows written to destination tables are added up in an ExportSummary.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/session.h"
#include "export/batch_text.h"

namespace exporter {

struct TableCounts {
  long inserted = 0;
  long updated = 0;
};

// What one export cycle did.
struct ExportSummary {
  int batches = 0;
  int problems = 0;
  // Rows inserted and updated per destination table (only tables with rows).
  std::map<std::string, TableCounts> tables;

  long inserted() const;
  long updated() const;
  // Rows written (inserted + updated) to any of `tables_of_interest`.
  long RowsWritten(const std::vector<std::string>& tables_of_interest) const;
  // "export: N lotes, P problemas, X filas insertadas, Y actualizadas" and,
  // when rows were written, " (TABLE +i ~u, ...)".
  std::string Line() const;
};

// The destination table an INSERT INTO / UPDATE of "[db].dbo.TABLE" writes,
// and whether it inserts; empty for statements on staging tables.
struct DestinationWrite {
  std::string table;
  bool insert = false;
};
DestinationWrite ClassifyStatement(const std::string& statement);

void EVALUA(db::Session& session, const StatementList& statements,
            std::vector<std::string>& problems, ExportSummary* summary = nullptr);

}  // namespace exporter
