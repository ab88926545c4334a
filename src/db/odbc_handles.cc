#include "db/odbc_handles.h"

#include <cstring>

namespace db {

namespace {

// Buffers hold 256 characters; a character of UTF-8 takes up to four bytes.
constexpr int kDiagnosticChars = 256;
constexpr int kDiagnosticBytes = kDiagnosticChars * 4;

// The first `max_chars` characters of UTF-8 text (an incomplete sequence cut by
// the driver at the end of its buffer is dropped).
std::string CutChars(const char* text, size_t bytes, size_t max_chars) {
  size_t pos = 0;
  size_t chars = 0;
  while (pos < bytes && chars < max_chars) {
    unsigned char c = static_cast<unsigned char>(text[pos]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3
               : (c >> 3) == 0x1E ? 4 : 1;
    if (pos + len > bytes) break;
    pos += len;
    ++chars;
  }
  return std::string(text, pos);
}

}  // namespace

Diagnostic FirstDiagnostic(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt) {
  Diagnostic d;
  SQLCHAR state[kDiagnosticChars] = {};
  SQLCHAR message[kDiagnosticBytes] = {};
  SQLSMALLINT length = 0;
  d.status = SQLError(env, dbc, stmt, state, &d.native_error, message,
                      sizeof(message), &length);
  if (!Succeeded(d.status)) return d;
  const char* text = reinterpret_cast<const char*>(message);
  d.state = reinterpret_cast<const char*>(state);
  d.message = CutChars(text, strnlen(text, sizeof(message)), kDiagnosticChars - 1);
  return d;
}

std::shared_ptr<StatementHandle> StatementHandle::Allocate(SQLHDBC dbc, SQLRETURN* rc) {
  SQLHSTMT handle = SQL_NULL_HSTMT;
  SQLRETURN result = SQLAllocStmt(dbc, &handle);
  if (rc) *rc = result;
  if (!Succeeded(result) || handle == SQL_NULL_HSTMT) return nullptr;
  return std::make_shared<StatementHandle>(handle);
}

void StatementHandle::Free() {
  if (handle_ == SQL_NULL_HSTMT) return;
  SQLFreeStmt(handle_, SQL_DROP);
  handle_ = SQL_NULL_HSTMT;
}

}  // namespace db
