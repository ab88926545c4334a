// Query cursor: a query is executed, its columns described into a row buffer
// (SqlRow), and the values of the current row fetched lazily, as a prefix of
// the row in ascending column order, converted to Values by the column's type.
//
// Failure styles: a statement that cannot be allocated or executed shows an
// information message ("SIN EXITO ...") and the cursor is empty; a column the
// row does not hold is a broken calling contract: stop message, program ends.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/session.h"
#include "db/value.h"

namespace db {

// An open cursor: owns its statement handle until LIBERACURSOR. Null when no
// statement could be opened.
using Cursor = std::shared_ptr<Statement>;

// Converts the driver's text of one value (already cut to the width, in
// characters) to a Value.
using Converter = Value (*)(std::string raw, int width);

struct SqlColumn {
  std::string name;        // trimmed, upper-cased
  char kind = 'U';         // C N D L M U
  int width = 0;           // transfer width in characters, at most 131072
  int decimals = 0;
  bool not_null = false;
  SQLSMALLINT sql_type = 0;
  int transfer_type = 1;   // 11 for date-time columns, 1 for all others
  Converter converter = nullptr;
  Value value;
  Cursor statement;        // the statement the column belongs to
  bool loaded = false;
  Value empty_value;
};

using SqlRow = std::vector<SqlColumn>;

inline constexpr int kMaxColumnWidth = 131072;

// Describes one result column as the cursor does (kind, width, decimals,
// converter, empty value) from its SQL type, described size and scale.
SqlColumn DescribeColumn(const std::string& name, SQLSMALLINT sql_type,
                         SQLULEN size, SQLSMALLINT scale, bool not_null);

// Appends one described column per result column of `cursor`.
void DescribeResult(const Cursor& cursor, SqlRow& row);

// A column name as rows hold it: upper case (ASCII and Latin-1 letters).
std::string UpperName(const std::string& name);

// A status code right-aligned in ten characters, the title of the "SIN EXITO"
// messages.
std::string StatusTitle(int status);

// Executes `sql` on the current connection and describes its columns into the
// empty `row`. `found` is set true when a first row exists (left unchanged when
// no statement could be allocated). Positioned on the first row, nothing loaded.
Cursor CREARCURSOR(Session& session, SqlRow& row, const std::string& sql,
                   bool& found, bool quiet = false);

// The named column's value in the current row (name compared upper-cased).
const Value& VCC(Session& session, SqlRow& row, const std::string& name);

// Loads every column of the current row in column order.
void VCT(SqlRow& row);

// Moves to the next row: 1 when there is one, 0 at the end.
int SKIPSQL(const Cursor& cursor, SqlRow& row);

// Releases the statement and restores the normal pointer.
void LIBERACURSOR(Session& session, Cursor& cursor);

// Numeric text (possibly with an upper-case exponent) to a number rounded to
// five decimals; text without digits gives 0.
double EVALGETNUM(const std::string& text);

}  // namespace db
