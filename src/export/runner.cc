#include "export/runner.h"

#include "db/statement.h"

namespace exporter {

long ExportSummary::inserted() const {
  long total = 0;
  for (const auto& [table, counts] : tables) total += counts.inserted;
  return total;
}

long ExportSummary::updated() const {
  long total = 0;
  for (const auto& [table, counts] : tables) total += counts.updated;
  return total;
}

long ExportSummary::RowsWritten(const std::vector<std::string>& tables_of_interest) const {
  long total = 0;
  for (const auto& name : tables_of_interest) {
    auto found = tables.find(name);
    if (found != tables.end()) total += found->second.inserted + found->second.updated;
  }
  return total;
}

std::string ExportSummary::Line() const {
  std::string line = "export: " + std::to_string(batches) + " lotes, " +
                     std::to_string(problems) + " problemas, " + std::to_string(inserted()) +
                     " filas insertadas, " + std::to_string(updated()) + " actualizadas";
  std::string changed;
  for (const auto& [table, counts] : tables) {
    if (counts.inserted == 0 && counts.updated == 0) continue;
    if (!changed.empty()) changed += ", ";
    changed += table + " +" + std::to_string(counts.inserted) + " ~" +
               std::to_string(counts.updated);
  }
  return changed.empty() ? line : line + " (" + changed + ")";
}

DestinationWrite ClassifyStatement(const std::string& statement) {
  DestinationWrite write;
  std::string rest;
  if (statement.rfind("INSERT INTO [", 0) == 0) {
    write.insert = true;
    rest = statement.substr(12);
  } else if (statement.rfind("UPDATE [", 0) == 0) {
    rest = statement.substr(7);
  } else {
    return write;
  }
  // Past the bracketed database name (a "]]" inside it is a doubled bracket).
  size_t i = 1;
  while (i < rest.size()) {
    if (rest[i] == ']' && i + 1 < rest.size() && rest[i + 1] == ']') {
      i += 2;
    } else if (rest[i] == ']') {
      break;
    } else {
      ++i;
    }
  }
  const std::string schema = "].dbo.";
  if (rest.compare(i, schema.size(), schema) != 0) return write;
  const size_t start = i + schema.size();
  write.table = rest.substr(start, rest.find_first_of(" \r\n(", start) - start);
  return write;
}

void EVALUA(db::Session& session, const StatementList& statements,
            std::vector<std::string>& problems, ExportSummary* summary) {
  if (summary) ++summary->batches;
  if (statements.empty()) return;
  db::EJECUTESQL(session, statements[0]);  // the staging table may not exist yet

  for (size_t i = 1; i < statements.size(); ++i) {
    std::string error;
    long rows = 0;
    if (!db::EJECUTESQL(session, statements[i], &error, &rows)) {
      const std::string line = "Problema -> " + error + " " + statements[i];
      problems.push_back(line);
      session.Trace(line);
      if (summary) ++summary->problems;
      return;  // the staging table stays for the next run to drop
    }
    if (summary && rows > 0) {
      const DestinationWrite write = ClassifyStatement(statements[i]);
      if (!write.table.empty()) {
        TableCounts& counts = summary->tables[write.table];
        (write.insert ? counts.inserted : counts.updated) += rows;
      }
    }
  }
  db::EJECUTESQL(session, statements[0]);
}

}  // namespace exporter
