// RAII owners of ODBC handles and the one place where driver diagnostics are
// read. Every handle is freed exactly once, by its owner.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>

#include "db/connection.h"

namespace db {

Diagnostic FirstDiagnostic(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt);

// One statement handle, freed with SQL_DROP by Free() or the destructor. The
// environment and connection handles are borrowed from the connection, for
// reading diagnostics.
class StatementHandle : public Statement {
 public:
  // Allocates a statement on `dbc`; `rc` receives the allocation's result.
  // Returns null when the allocation did not succeed.
  static std::shared_ptr<StatementHandle> Allocate(SQLHENV env, SQLHDBC dbc, SQLRETURN* rc);

  StatementHandle(SQLHENV env, SQLHDBC dbc, SQLHSTMT handle)
      : env_(env), dbc_(dbc), handle_(handle) {}
  ~StatementHandle() override { Free(); }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;

  SQLRETURN ExecDirect(const std::string& sql) override;
  SQLRETURN Fetch() override;
  SQLRETURN NumResultCols(SQLSMALLINT* count) override;
  SQLRETURN DescribeCol(SQLUSMALLINT column, ColumnDescription* out) override;
  SQLRETURN GetText(SQLUSMALLINT column, size_t max_bytes, std::string* text,
                    bool* is_null) override;
  SQLRETURN RowCount(SQLLEN* count) override { return SQLRowCount(handle_, count); }
  Diagnostic FirstDiagnostic() override;
  void Free() override;
  bool freed() const override { return handle_ == SQL_NULL_HSTMT; }

  SQLHSTMT get() const { return handle_; }

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

}  // namespace db
