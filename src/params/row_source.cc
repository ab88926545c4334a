#include "params/row_source.h"

#include "params/page_queries.h"

namespace params {

db::Cursor SqlRowSource::Open(const std::string& sql, const char* allocationMessage) {
  SQLRETURN rc = SQL_SUCCESS;
  db::Cursor cursor = session_.OODBC ? session_.OODBC->AllocateStatement(&rc) : nullptr;
  if (!cursor) {
    session_.platform.Information(allocationMessage, db::StatusTitle(rc));
    return nullptr;
  }
  session_.Trace(sql);
  rc = cursor->ExecDirect(sql);
  if (!db::Succeeded(rc) && rc != SQL_NO_DATA) {
    db::Diagnostic d = cursor->FirstDiagnostic();
    session_.platform.Information("SIN EXITO 2 -> \r\n" + d.message + "\r\n\r\n" + sql,
                                 db::StatusTitle(d.status));
    cursor->Free();
    return nullptr;
  }
  return cursor;
}

bool SqlRowSource::Describe(const std::string& probe, db::SqlRow& columns) {
  db::Cursor cursor = Open(probe, "SIN EXITO AL PARTIR");
  if (!cursor) return false;
  cursor->Fetch();
  db::DescribeResult(cursor, columns);
  // Text-like columns read as empty text when null, as a look-up has them.
  for (db::SqlColumn& column : columns) {
    if (column.kind == 'C' || column.kind == 'M' || column.kind == 'U') {
      column.empty_value = db::Value::Text("");
    }
    column.statement = nullptr;
    column.loaded = false;
  }
  cursor->Free();
  return true;
}

std::vector<GridValues> SqlRowSource::Page(const PageRequest& request, db::SqlRow& columns) {
  std::vector<GridValues> rows;
  db::Cursor cursor = Open(request.sql, "SIN EXITO");
  if (!cursor) return rows;
  // The described row is reused to read every fetched row.
  for (db::SqlColumn& column : columns) column.statement = cursor;
  int more = db::Succeeded(cursor->Fetch()) ? 1 : 0;
  while (more && rows.size() < static_cast<size_t>(kPageRows)) {
    for (db::SqlColumn& column : columns) column.loaded = false;
    db::VCT(columns);
    GridValues values;
    for (const db::SqlColumn& column : columns) values.push_back(column.value);
    rows.push_back(std::move(values));
    if (rows.size() < static_cast<size_t>(kPageRows)) more = db::SKIPSQL(cursor, columns);
  }
  cursor->Free();
  for (db::SqlColumn& column : columns) {
    column.statement = nullptr;
    column.loaded = false;
  }
  return rows;
}

}  // namespace params
