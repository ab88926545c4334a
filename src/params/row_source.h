// Where the grid's rows come from. The grid composes every statement text and
// keeps the paging state; a row source runs the probe and the page queries.
// SqlRowSource runs them on the session's current connection; tests serve rows
// from memory through the structured half of the request.
#pragma once

#include <string>
#include <vector>

#include "db/cursor.h"
#include "db/session.h"
#include "db/value.h"

namespace params {

using GridValues = std::vector<db::Value>;  // one row, in the probe's column order

struct PageRequest {
  enum class From { kStart, kAfter, kBefore };
  std::string sql;           // the page query text
  From from = From::kStart;  // rows from the start, after or before `key`
  bool descending = false;
  std::vector<db::Value> key;  // the held key values (kAfter, kBefore)
};

class RowSource {
 public:
  virtual ~RowSource() = default;
  // Describes the result columns of the probe statement into the empty
  // `columns`; false when it could not run (the source has said why).
  virtual bool Describe(const std::string& probe, db::SqlRow& columns) = 0;
  // At most 20 rows of the page query, each with every column of `columns`.
  // A failure has been shown by the source and gives no rows.
  virtual std::vector<GridValues> Page(const PageRequest& request, db::SqlRow& columns) = 0;
};

// The source over the session's current connection. Messages: "SIN EXITO AL
// PARTIR" (probe not allocated), "SIN EXITO" (page not allocated), "SIN EXITO
// 2 -> " CR LF + driver's message + CR LF CR LF + statement (not executed).
class SqlRowSource : public RowSource {
 public:
  explicit SqlRowSource(db::Session& session) : session_(session) {}
  bool Describe(const std::string& probe, db::SqlRow& columns) override;
  std::vector<GridValues> Page(const PageRequest& request, db::SqlRow& columns) override;

 private:
  db::Cursor Open(const std::string& sql, const char* allocationMessage);
  db::Session& session_;
};

}  // namespace params
