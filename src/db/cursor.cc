#include "db/cursor.h"

#include <sqlext.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace db {

namespace {

// Length in bytes of the UTF-8 sequence that starts with `c` (1 for a stray
// continuation byte, so that any byte string advances).
size_t SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c >> 5) == 0x6) return 2;
  if ((c >> 4) == 0xE) return 3;
  if ((c >> 3) == 0x1E) return 4;
  return 1;
}

// Cuts `text` to at most `width` characters; returns the characters kept.
size_t CutToWidth(std::string& text, size_t width) {
  size_t pos = 0;
  size_t chars = 0;
  while (pos < text.size() && chars < width) {
    size_t len = SequenceLength(static_cast<unsigned char>(text[pos]));
    if (pos + len > text.size()) break;  // incomplete sequence at the end
    pos += len;
    ++chars;
  }
  text.resize(pos);
  return chars;
}

size_t CountChars(const std::string& text) {
  size_t chars = 0;
  for (size_t pos = 0; pos < text.size(); ++chars) {
    pos += SequenceLength(static_cast<unsigned char>(text[pos]));
  }
  return chars;
}

Value Blanks(int width) { return Value::Text(std::string(std::max(width, 0), ' ')); }

// Converters of the type table. `raw` is already cut to the width.
Value PadText(std::string raw, int width) {
  size_t chars = CountChars(raw);
  if (chars < static_cast<size_t>(width)) raw.append(width - chars, ' ');
  return Value::Text(std::move(raw));
}

Value AsRead(std::string raw, int) { return Value::Text(std::move(raw)); }

Value Bit(std::string raw, int) {
  return Value::Logical(raw.empty() || raw[0] != '0');
}

Value Number(std::string raw, int) { return Value::DbNumber(EVALGETNUM(raw)); }

bool ReadDigits(const std::string& s, size_t from, size_t count, int& out) {
  out = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

// Characters 1-4, 6-7 and 9-10 as year, month and day; anything that is not
// a calendar date gives the empty date.
Value DateFromText(std::string raw, int) {
  int y = 0, m = 0, d = 0;
  if (raw.size() < 10 || !ReadDigits(raw, 0, 4, y) || !ReadDigits(raw, 5, 2, m) ||
      !ReadDigits(raw, 8, 2, d)) {
    return Value::EmptyDate();
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || m < 1 || m > 12 || d < 1) return Value::EmptyDate();
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  const int days = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
  if (d > days) return Value::EmptyDate();
  return Value::FromDate(Date{y, m, d});
}

int Capped(SQLULEN size) {
  return static_cast<int>(std::min<SQLULEN>(size, kMaxColumnWidth));
}

// The leading number of a text read as xBase VAL does: leading blanks, a sign,
// digits and one decimal point; anything else ends it. No digits gives 0.
double LeadingNumber(const char* p, const char* end) {
  while (p < end && *p == ' ') ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  const char* start = p;
  bool point = false, digits = false;
  for (; p < end; ++p) {
    if (*p >= '0' && *p <= '9') {
      digits = true;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  double value = 0.0;
  std::from_chars(start, p, value, std::chars_format::fixed);
  return negative ? -value : value;
}

double Round5(double v) {
  double r = std::round(v * 100000.0) / 100000.0;
  return std::isfinite(r) ? r : v;
}

// Loads column `index` of the current row from the driver.
void LoadColumn(SqlColumn& column, int index) {
  column.loaded = true;
  if (!column.statement || column.statement->freed()) {
    column.value = column.empty_value;  // released statement: nothing to read
    return;
  }
  // Room for `width` characters of UTF-8; numbers are read whole, never cut.
  const size_t bytes = static_cast<size_t>(column.width) * 4 + 1;
  std::string raw;
  bool is_null = false;
  SQLRETURN rc = column.statement->GetText(static_cast<SQLUSMALLINT>(index + 1), bytes,
                                           &raw, &is_null);
  if (!Succeeded(rc) || is_null) {
    column.value = column.empty_value;
    return;
  }
  if (column.kind != 'N') CutToWidth(raw, column.width);
  column.value = column.converter(std::move(raw), column.width);
}

}  // namespace

std::string UpperName(const std::string& name) {
  std::string out = name;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < out.size()) {
      // Latin-1 letters à..þ (except ÷) to À..Þ, as in ñ -> Ñ.
      unsigned char n = static_cast<unsigned char>(out[i + 1]);
      if (n >= 0xA0 && n <= 0xBE && n != 0xB7) out[i + 1] = static_cast<char>(n - 0x20);
      ++i;
    }
  }
  return out;
}

std::string StatusTitle(int status) {
  char title[32];
  std::snprintf(title, sizeof(title), "%10d", status);
  return title;
}

SqlColumn DescribeColumn(const std::string& name, SQLSMALLINT sql_type, SQLULEN size,
                         SQLSMALLINT scale, bool not_null) {
  SqlColumn c;
  size_t first = name.find_first_not_of(' ');
  size_t last = name.find_last_not_of(' ');
  c.name = first == std::string::npos ? "" : UpperName(name.substr(first, last - first + 1));
  c.decimals = scale;
  c.not_null = not_null;
  c.sql_type = sql_type;
  c.width = Capped(size);
  switch (sql_type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
      c.kind = 'C';
      c.converter = PadText;
      c.empty_value = Blanks(c.width);
      break;
    case SQL_WVARCHAR:
      c.kind = 'C';
      c.width = 57;  // 19 x 3, whatever the described size
      c.converter = PadText;
      c.empty_value = Value::Text("");
      break;
    case SQL_BIT:
      c.kind = 'L';
      c.converter = Bit;
      c.empty_value = Value::Logical(false);
      break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      c.decimals = 5;
      [[fallthrough]];
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_REAL:
    case SQL_TINYINT:
      c.kind = 'N';
      c.width = 19;
      c.converter = Number;
      c.empty_value = Value::DbNumber(0);
      break;
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP:  // version 3 codes, should a driver send them
      c.transfer_type = SQL_TIMESTAMP;
      [[fallthrough]];
    case SQL_DATE:
    case SQL_TYPE_DATE:
      c.kind = 'D';
      c.converter = DateFromText;
      c.empty_value = Value::EmptyDate();
      break;
    case SQL_TIME:
    case SQL_TYPE_TIME:
      c.kind = 'C';
      c.converter = AsRead;
      c.empty_value = Blanks(c.width);
      break;
    case SQL_LONGVARCHAR:
    case SQL_LONGVARBINARY:
      c.kind = 'M';
      c.converter = AsRead;
      c.empty_value = Blanks(c.width);
      break;
    case SQL_BINARY:
      if (size == 8) c.width = 16;  // eight bytes as sixteen hexadecimal digits
      [[fallthrough]];
    case SQL_VARBINARY:
      c.kind = 'U';
      c.converter = AsRead;
      c.empty_value = Blanks(c.width);
      break;
    default:
      c.kind = 'U';
      if (sql_type < SQL_BIT) {  // wide char, wide long text, GUID...
        c.width = static_cast<int>(std::min<SQLULEN>(size * 3, kMaxColumnWidth));
      }
      c.converter = AsRead;
      c.empty_value = Blanks(c.width);
      break;
  }
  c.value = c.empty_value;
  return c;
}

void DescribeResult(const Cursor& cursor, SqlRow& row) {
  SQLSMALLINT count = 0;
  if (!Succeeded(cursor->NumResultCols(&count))) return;
  row.reserve(row.size() + count);
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(std::max<SQLSMALLINT>(count, 0)); ++i) {
    ColumnDescription d;
    cursor->DescribeCol(i, &d);
    SqlColumn column =
        DescribeColumn(d.name, d.sql_type, d.size, d.scale, d.nullable == SQL_NO_NULLS);
    column.statement = cursor;
    row.push_back(std::move(column));
  }
}

Cursor CREARCURSOR(Session& session, SqlRow& row, const std::string& sql, bool& found,
                   bool quiet) {
  session.platform.WaitPointer(true);  // stays on until LIBERACURSOR
  Cursor cursor = session.AllocateStatement();
  if (!cursor) {
    session.platform.Information("SIN EXITO (1)");
    return nullptr;
  }
  session.Trace(sql);
  SQLRETURN rc = cursor->ExecDirect(sql);
  if (!Succeeded(rc) && rc != SQL_NO_DATA) {
    Diagnostic d = cursor->FirstDiagnostic();
    if (!quiet) {
      session.platform.Information("SIN EXITO 2 -> \r\n" + d.message + "\r\n\r\n" + sql,
                                   StatusTitle(d.status));
    }
    found = false;
    cursor->Free();
    return nullptr;
  }
  found = Succeeded(cursor->Fetch());
  DescribeResult(cursor, row);
  return cursor;
}

const Value& VCC(Session& session, SqlRow& row, const std::string& name) {
  // Column names are held upper-cased, so a name already in upper case is
  // found as it is; only other names need the upper-casing.
  size_t target = 0;
  while (target < row.size() && row[target].name != name) ++target;
  if (target == row.size()) {
    const std::string upper = UpperName(name);
    target = 0;
    while (target < row.size() && row[target].name != upper) ++target;
  }
  if (target == row.size()) {
    const std::string wanted = UpperName(name);
    session.platform.Stop("ERROR en VCC(), campo no existe : " + wanted);
    session.platform.EndProgram(ui::kExitProgramError);
    std::abort();  // EndProgram does not return
  }
  SqlColumn& column = row[target];
  if (column.loaded) return column.value;
  // Columns are loaded as a prefix of the row: the driver hands out data
  // fetched column by column only in ascending order.
  size_t first = 0;
  while (first < target && row[first].loaded) ++first;
  for (size_t i = first; i <= target; ++i) LoadColumn(row[i], static_cast<int>(i));
  return column.value;
}

void VCT(SqlRow& row) {
  for (size_t i = 0; i < row.size(); ++i) LoadColumn(row[i], static_cast<int>(i));
}

int SKIPSQL(const Cursor& cursor, SqlRow& row) {
  for (SqlColumn& column : row) column.loaded = false;
  if (!cursor || cursor->freed()) return 0;
  return Succeeded(cursor->Fetch()) ? 1 : 0;
}

void LIBERACURSOR(Session& session, Cursor& cursor) {
  if (cursor) cursor->Free();
  session.platform.WaitPointer(false);
}

double EVALGETNUM(const std::string& text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  // An exponent, as drivers write floats ("1.5E-3", and "1.5e-3" as well).
  size_t e = text.find_first_of("Ee");
  if (e != std::string::npos) {
    double mantissa = LeadingNumber(begin, begin + e);
    double exponent = LeadingNumber(begin + e + 1, end);
    return Round5(mantissa * std::pow(10.0, exponent));
  }
  return Round5(LeadingNumber(begin, end));
}

}  // namespace db
