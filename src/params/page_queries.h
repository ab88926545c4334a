// The statement texts of the SQL table grid: the FROM text with its hint, the
// probe that describes the columns, the page queries of 20 rows in key order,
// and the key conditions that continue a page below or above the held block.
// Every value placed in a text is a literal with embedded quotes doubled.
#pragma once

#include <string>
#include <vector>

#include "db/value.h"

namespace params {

inline constexpr const char* kNoCondition = " 2=2 ";
inline constexpr int kPageRows = 20;

// cFiltroEXT: the table text followed by " WITH ( NOLOCK ) " when hints are on
// and the text is shorter than 12 characters (a plain table name), else " ".
std::string FromText(const std::string& table, bool noLock);

// "SELECT TOP 1 " + cursor + " FROM " + from + " ORDER BY " + the key columns
// trimmed and joined by ",".
std::string ProbeQuery(const std::string& cursor, const std::string& from,
                       const std::vector<std::string>& key);

// "SELECT [DISTINCT ]TOP 20 " + cursor + " FROM " + from + (" WHERE " +
// condition unless it is exactly " 2=2 ") + " ORDER BY " + per key column the
// column, " " and "" or " DESC ", joined by "," + " OPTION ( FAST 20 ) ".
std::string PageQuery(const std::string& cursor, const std::string& from,
                      const std::string& condition, const std::vector<std::string>& key,
                      bool descending, bool distinct);

// ArmaWhere: the OR of one term per key column m, "( C1=V1 AND ... Cm<op>Vm)",
// joined by " OR ", followed by one blank. `literals` are ValorCampo texts.
std::string ArmaWhere(const std::vector<std::string>& key, const std::string& op,
                      const std::vector<std::string>& literals);

// The condition of the rows below (op ">") or above (op "<") a held key:
// " ( " + ArmaWhere + " ) AND " + the current condition.
std::string BeyondKey(const std::vector<std::string>& key, const std::string& op,
                      const std::vector<std::string>& literals, const std::string& condition);

// ValorCampo: a key value as a literal: text quoted as held (quotes doubled),
// a number as decimal text, a date by TRANFESQL, a logical as 1 or 0, no
// value as ''.
std::string ValorCampo(const db::Value& value);

// The in-place edit's statement: "UPDATE " + table + " SET " + column + "=" +
// the new value (a text trimmed and quoted, any other value as its literal) +
// " WHERE " + keyColumn + "=" + the key's literal + " ".
std::string UpdateCellStatement(const std::string& table, const std::string& column,
                                const db::Value& value, const std::string& keyColumn,
                                const db::Value& key);

}  // namespace params
