// The seam between the access layer and the database: a connection that hands
// out statements, and the statement calls the access layer makes (execute,
// fetch, describe, read a value as text, first diagnostic, free). TOdbc and
// StatementHandle implement it over ODBC; tests put a scripted double in its
// place to check the statements a cycle sends. Return codes are ODBC's, so both
// sides report outcomes the same way.
#pragma once

#include <sql.h>

#include <memory>
#include <string>

namespace db {

inline bool Succeeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// The first diagnostic record, read with state and message buffers of 256
// characters (so at most 255 characters of message).
struct Diagnostic {
  SQLRETURN status = SQL_ERROR;  // status of the diagnostic request itself
  std::string state;
  SQLINTEGER native_error = 0;
  std::string message;
};

// One result column as the driver describes it.
struct ColumnDescription {
  std::string name;
  SQLSMALLINT sql_type = 0;
  SQLULEN size = 0;
  SQLSMALLINT scale = 0;
  SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
};

class Statement {
 public:
  virtual ~Statement() = default;

  virtual SQLRETURN ExecDirect(const std::string& sql) = 0;
  virtual SQLRETURN Fetch() = 0;
  virtual SQLRETURN NumResultCols(SQLSMALLINT* count) = 0;
  // Column `column` (1-based); the description is filled as far as the
  // driver filled it, whatever the result.
  virtual SQLRETURN DescribeCol(SQLUSMALLINT column, ColumnDescription* out) = 0;
  // Column `column` (1-based) of the current row as text, in a buffer of
  // `max_bytes` bytes (terminator included), so at most max_bytes - 1 bytes
  // arrive. `is_null` is set when the value is NULL; `text` is then empty.
  virtual SQLRETURN GetText(SQLUSMALLINT column, size_t max_bytes, std::string* text,
                            bool* is_null) = 0;
  // Rows the last executed INSERT, UPDATE or DELETE affected (-1 when the
  // driver cannot tell).
  virtual SQLRETURN RowCount(SQLLEN* count) = 0;
  virtual Diagnostic FirstDiagnostic() = 0;
  // Releases the statement (SQL_DROP); harmless when called again.
  virtual void Free() = 0;
  virtual bool freed() const = 0;
};

class Connection {
 public:
  virtual ~Connection() = default;

  // Allocates a statement; `rc` (when given) receives the allocation's result.
  // Null when the allocation did not succeed.
  virtual std::shared_ptr<Statement> AllocateStatement(SQLRETURN* rc) = 0;
  // Ends the connection; harmless when called again.
  virtual void End() = 0;

  bool lSuccess = false;  // the connection was opened
};

}  // namespace db
