// Qualification of a formula expression: every variable name is written as
// its catalogue group says (a table column, a constant, or nothing), the
// source tables named are listed, and the value query is composed from the
// tables and their row conditions.
#pragma once

#include <string>
#include <vector>

#include "orders/catalogue.h"
#include "orders/price_context.h"

namespace orders {

// The source tables of variables, named in order of first use.
using TableList = std::vector<std::string>;

// `name` as its first catalogue entry's group writes it; the group's table is
// added to `tables` when not there yet. A name without an entry, or of a group
// that takes no part in evaluation, writes nothing.
std::string ARMALECUA(const Catalogue& catalogue, const std::string& name, TableList& tables);

// The expression without blanks, with every name written by ARMALECUA.
std::string CALIFICACAMPOS(const Catalogue& catalogue, const std::string& text,
                           TableList& tables);

// A source table and the condition that selects its one row for a context.
struct SourceCondition {
  std::string table;
  std::string condition;
};
using SourceConditions = std::vector<SourceCondition>;

// The row conditions of PDIMEN, PDIMCLI, TABPRE and MAEPREM, in this order,
// for `context` and the active company. Values are placed as literals.
SourceConditions RowConditions(const PriceContext& context, const std::string& company);

// The row condition of TABZO for a customer's zone ("" when none).
SourceCondition ZoneCondition(const std::string& zone);

struct FromWhere {
  std::string from;   // table names joined by ","
  std::string where;  // conditions joined by " AND "
};

// For each listed table, in order, its condition; a table without a condition
// (EDO, DDO) is left out of both.
FromWhere FROMWHERE(const SourceConditions& conditions, const TableList& tables);

// "SELECT 1.0*" + expression + " AS RESUL FROM " + from + " WHERE " + where.
std::string ValueQuery(const std::string& expression, const FromWhere& fromWhere);

// True when a listed table has no row condition: the expression names a value
// of a document in progress, which pricing does not have.
bool NamesTableWithoutCondition(const SourceConditions& conditions, const TableList& tables);

}  // namespace orders
