// One-row look-ups over the cursor: SEEKSQL (first row matching key values) and
// TOPSQL (first row of a table in an order). Both load every column and release
// their statement, so the row stays readable afterwards.
#pragma once

#include <string>
#include <vector>

#include "db/cursor.h"

namespace db {

// The statement SEEKSQL sends.
std::string SeekStatement(const std::string& table,
                          const std::vector<std::string>& keyColumns,
                          const std::vector<Value>& keyValues,
                          const std::string& columns = "");

// The statement TOPSQL sends.
std::string TopStatement(const std::string& table, const std::string& orderBy,
                         const std::string& condition, const std::string& columns = "*");

// The run of an already composed look-up statement, as SEEKSQL does it: one
// row fetched and every column loaded (a null of kind C, M or U is the empty
// text), or, without a row, every column blank by kind. Statement released.
bool SeekRow(Session& session, const std::string& sql, SqlRow& row);

// The run of an already composed statement as TOPSQL does it: the first row
// loaded when there is one (otherwise the columns keep their empty values).
bool TopRow(Session& session, const std::string& sql, SqlRow& row, bool quiet = false);

bool SEEKSQL(Session& session, const std::string& table, SqlRow& row,
             const std::vector<std::string>& keyColumns,
             const std::vector<Value>& keyValues, const std::string& columns = "");

bool TOPSQL(Session& session, const std::string& table, SqlRow& row,
            const std::string& orderBy = "", const std::string& condition = "",
            const std::string& columns = "*", bool quiet = false);

}  // namespace db
