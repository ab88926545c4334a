// RAII owners of ODBC handles and the one place where driver diagnostics are
// read. Every handle is freed exactly once, by its owner.
#pragma once

#include <sql.h>
#include <sqlext.h>

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
Diagnostic FirstDiagnostic(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt);

// One statement handle, freed with SQL_DROP by Free() or the destructor.
class StatementHandle {
 public:
  // Allocates a statement on `dbc`; `rc` receives the allocation's result.
  // Returns null when the allocation did not succeed.
  static std::shared_ptr<StatementHandle> Allocate(SQLHDBC dbc, SQLRETURN* rc);

  explicit StatementHandle(SQLHSTMT handle) : handle_(handle) {}
  ~StatementHandle() { Free(); }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;

  SQLHSTMT get() const { return handle_; }
  bool freed() const { return handle_ == SQL_NULL_HSTMT; }
  void Free();

 private:
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

}  // namespace db
