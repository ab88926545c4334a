#include "db/lookups.h"

#include <cstdlib>

#include "db/literals.h"

namespace db {

namespace {

constexpr const char* kHint = " WITH ( NOLOCK ) ";

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// A broken calling contract of SEEKSQL: stop message and end of the program.
[[noreturn]] void SeekContractBroken(Session& session, const std::string& text) {
  session.platform.Stop(text, "ERROR (seekSql)");
  session.platform.EndProgram(ui::kExitProgramError);
  std::abort();  // EndProgram does not return
}

}  // namespace

std::string SeekStatement(const std::string& table,
                          const std::vector<std::string>& keyColumns,
                          const std::vector<Value>& keyValues,
                          const std::string& columns) {
  // Long table texts are joins or carry their own hints.
  const std::string hint = table.size() > 10 ? "" : kHint;
  std::string condition;
  for (size_t i = 0; i < keyColumns.size() && i < keyValues.size(); ++i) {
    if (i > 0) condition += " AND ";
    condition += keyColumns[i] + "=" + Literal(keyValues[i]);
  }
  return "SELECT TOP 1 " + (columns.empty() ? std::string("*") : columns) + " FROM " +
         UpperName(table) + hint + " WHERE " + condition;
}

std::string TopStatement(const std::string& table, const std::string& orderBy,
                         const std::string& condition, const std::string& columns) {
  std::string sql = "SELECT TOP 1 " + (columns.empty() ? std::string("*") : columns) +
                    " FROM " + table +
                    (table.find("NOLOCK") == std::string::npos ? kHint : "");
  if (Blank(orderBy)) return sql;  // a condition without an ordering is not used
  if (Blank(condition)) return sql + " ORDER BY " + orderBy;
  return sql + " WHERE " + condition + " ORDER BY " + orderBy;
}

bool SEEKSQL(Session& session, const std::string& table, SqlRow& row,
             const std::vector<std::string>& keyColumns,
             const std::vector<Value>& keyValues, const std::string& columns) {
  if (!row.empty()) SeekContractBroken(session, "error en seek, TMAES no vacio");
  if (keyColumns.size() != keyValues.size()) {
    SeekContractBroken(session, "error en seek, claves y valores no coinciden");
  }
  for (size_t i = 0; i < keyValues.size(); ++i) {
    if (keyValues[i].is_none()) {
      SeekContractBroken(session, "error en seek, valor no soportado : " + keyColumns[i]);
    }
  }
  return SeekRow(session, SeekStatement(table, keyColumns, keyValues, columns), row);
}

bool SeekRow(Session& session, const std::string& sql, SqlRow& row) {
  Cursor cursor = session.AllocateStatement();
  if (!cursor) {
    session.platform.Information("SQLAllocStmt() - SeekSQL - SIN EXITO");
    return false;
  }
  session.Trace(sql);
  SQLRETURN rc = cursor->ExecDirect(sql);
  if (!Succeeded(rc)) {
    session.platform.Information("SQLAllocStmt() - SeekSQL - SIN EXITO 2 -> \r\n" + sql,
                                 StatusTitle(rc));
    return false;  // the handle is dropped with `cursor`
  }
  const bool found = Succeeded(cursor->Fetch());
  DescribeResult(cursor, row);
  for (SqlColumn& column : row) {
    if (column.kind == 'C' || column.kind == 'M' || column.kind == 'U') {
      column.empty_value = Value::Text("");
      column.value = column.empty_value;
    }
  }
  if (found) {
    VCT(row);
  } else {
    for (SqlColumn& column : row) {
      switch (column.kind) {
        case 'C': column.value = Value::Text(std::string(column.width, ' ')); break;
        case 'N': column.value = Value::DbNumber(0); break;
        case 'D': column.value = Value::EmptyDate(); break;
        case 'L': column.value = Value::Logical(false); break;
        default: column.value = Value::Text(""); break;
      }
      column.loaded = true;
    }
  }
  cursor->Free();
  return found;
}

bool TOPSQL(Session& session, const std::string& table, SqlRow& row,
            const std::string& orderBy, const std::string& condition,
            const std::string& columns, bool quiet) {
  return TopRow(session, TopStatement(table, orderBy, condition, columns), row, quiet);
}

bool TopRow(Session& session, const std::string& sql, SqlRow& row, bool quiet) {
  bool found = false;
  Cursor cursor = CREARCURSOR(session, row, sql, found, quiet);
  if (found) VCT(row);
  LIBERACURSOR(session, cursor);
  return found;
}

}  // namespace db
