#include "params/page_queries.h"

#include "config/text.h"
#include "db/literals.h"

namespace params {

namespace {

// Characters of UTF-8 text (continuation bytes do not count).
size_t CountChars(const std::string& text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

}  // namespace

std::string FromText(const std::string& table, bool noLock) {
  return table + (noLock && CountChars(table) < 12 ? " WITH ( NOLOCK ) " : " ");
}

std::string ProbeQuery(const std::string& cursor, const std::string& from,
                       const std::vector<std::string>& key) {
  std::vector<std::string> ordering;
  for (const std::string& column : key) ordering.push_back(config::Trim(column));
  return "SELECT TOP 1 " + cursor + " FROM " + from + " ORDER BY " +
         config::Join(ordering, ",");
}

std::string PageQuery(const std::string& cursor, const std::string& from,
                      const std::string& condition, const std::vector<std::string>& key,
                      bool descending, bool distinct) {
  std::string sql = distinct ? "SELECT DISTINCT TOP 20 " : "SELECT TOP 20 ";
  sql += cursor + " FROM " + from;
  if (condition != kNoCondition) sql += " WHERE " + condition;
  std::vector<std::string> ordering;
  for (const std::string& column : key) {
    ordering.push_back(column + " " + (descending ? " DESC " : ""));
  }
  return sql + " ORDER BY " + config::Join(ordering, ",") + " OPTION ( FAST 20 ) ";
}

std::string ArmaWhere(const std::vector<std::string>& key, const std::string& op,
                      const std::vector<std::string>& literals) {
  std::string text;
  for (size_t m = 0; m < key.size() && m < literals.size(); ++m) {
    if (m > 0) text += " OR ";
    text += "( ";
    for (size_t i = 0; i < m; ++i) text += key[i] + "=" + literals[i] + " AND ";
    text += key[m] + op + literals[m] + ")";
  }
  return text + " ";
}

std::string BeyondKey(const std::vector<std::string>& key, const std::string& op,
                      const std::vector<std::string>& literals, const std::string& condition) {
  return " ( " + ArmaWhere(key, op, literals) + " ) AND " + condition;
}

std::string ValorCampo(const db::Value& value) {
  if (value.is_none()) return "''";
  return db::Literal(value);
}

std::string UpdateCellStatement(const std::string& table, const std::string& column,
                                const db::Value& value, const std::string& keyColumn,
                                const db::Value& key) {
  const std::string literal =
      value.is_text() ? db::QuoteText(config::Trim(value.text())) : db::Literal(value);
  return "UPDATE " + table + " SET " + column + "=" + literal + " WHERE " + keyColumn + "=" +
         ValorCampo(key) + " ";
}

}  // namespace params
