// The table layouts of schema/: the destination's (velmora) and the ERP's
// (quorix), read from schema/<side>.sql, in the
// simple format those files keep (one column per line, "name TYPE ...").
// And the column list of a staging table, read from its create statement.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace testsupport {

struct ColumnLayout {
  std::string name;  // upper case
  std::string type;  // upper case, blanks removed; "" when not known
  friend bool operator==(const ColumnLayout&, const ColumnLayout&) = default;
};

// Columns of dbo.<table> in schema/velmora, in order; empty when absent.
std::vector<ColumnLayout> DestinationColumns(const std::string& table);
// Columns of dbo.<table> in schema/quorix, in order; empty when absent.
std::vector<ColumnLayout> OriginColumns(const std::string& table);

// The select list of "SELECT <items> INTO #PASO_..." : for an item
// "CAST(<expr> AS <type> )[ COLLATE c] AS <name>" its name and type; for any
// other item "<expr> AS <name>" its name and an empty type.
std::vector<ColumnLayout> StagingColumns(const std::string& create_statement);

// Names of the columns of dbo.<table> in schema/<side>.sql ("velmora" or
// "quorix") that an INSERT must give a value: NOT NULL and not an identity.
std::set<std::string> RequiredColumns(const std::string& side, const std::string& table);

// Normalised type text: upper case, blanks removed.
std::string NormalType(const std::string& type);

}  // namespace testsupport
