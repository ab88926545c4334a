#include "db/odbc_handles.h"

#include <cstring>
#include <vector>

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

std::shared_ptr<StatementHandle> StatementHandle::Allocate(SQLHENV env, SQLHDBC dbc,
                                                           SQLRETURN* rc) {
  SQLHSTMT handle = SQL_NULL_HSTMT;
  SQLRETURN result = SQLAllocStmt(dbc, &handle);
  if (rc) *rc = result;
  if (!Succeeded(result) || handle == SQL_NULL_HSTMT) return nullptr;
  return std::make_shared<StatementHandle>(env, dbc, handle);
}

SQLRETURN StatementHandle::ExecDirect(const std::string& sql) {
  return SQLExecDirect(handle_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                       static_cast<SQLINTEGER>(sql.size()));
}

SQLRETURN StatementHandle::Fetch() { return SQLFetch(handle_); }

SQLRETURN StatementHandle::NumResultCols(SQLSMALLINT* count) {
  return SQLNumResultCols(handle_, count);
}

SQLRETURN StatementHandle::DescribeCol(SQLUSMALLINT column, ColumnDescription* out) {
  SQLCHAR name[255 * 4 + 1] = {};  // 255 characters of UTF-8
  SQLSMALLINT name_length = 0;
  SQLRETURN rc = SQLDescribeCol(handle_, column, name, sizeof(name), &name_length,
                                &out->sql_type, &out->size, &out->scale, &out->nullable);
  out->name = reinterpret_cast<const char*>(name);
  return rc;
}

SQLRETURN StatementHandle::GetText(SQLUSMALLINT column, size_t max_bytes, std::string* text,
                                   bool* is_null) {
  // One buffer per thread, grown to the widest column read so far.
  thread_local std::vector<char> buffer;
  if (max_bytes == 0) max_bytes = 1;
  if (buffer.size() < max_bytes) buffer.resize(max_bytes);
  buffer[0] = '\0';
  SQLLEN indicator = 0;
  SQLRETURN rc = SQLGetData(handle_, column, SQL_C_CHAR, buffer.data(),
                            static_cast<SQLLEN>(max_bytes), &indicator);
  *is_null = Succeeded(rc) && indicator == SQL_NULL_DATA;
  if (!Succeeded(rc) || *is_null) {
    text->clear();
    return rc;
  }
  // The indicator gives the length unless the value was cut or its length is
  // unknown; the text then ends at the terminator.
  const size_t length = indicator >= 0 && static_cast<size_t>(indicator) < max_bytes
                            ? static_cast<size_t>(indicator)
                            : strnlen(buffer.data(), max_bytes);
  text->assign(buffer.data(), length);
  return rc;
}

Diagnostic StatementHandle::FirstDiagnostic() {
  return db::FirstDiagnostic(env_, dbc_, handle_);
}

void StatementHandle::Free() {
  if (handle_ == SQL_NULL_HSTMT) return;
  SQLFreeStmt(handle_, SQL_DROP);
  handle_ = SQL_NULL_HSTMT;
}

}  // namespace db
