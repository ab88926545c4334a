#include "orders/qualify.h"

#include <algorithm>
#include <cstdio>

#include "config/text.h"
#include "db/literals.h"
#include "orders/formula_text.h"

namespace orders {

namespace {

struct GroupRule {
  const char* group;
  const char* prefix;  // written before the name
  const char* table;   // listed as a source; null for constants
};

// How each group writes a variable. "Valor_propio" is a constant (handled
// apart); every group not listed writes nothing.
constexpr GroupRule kGroupRules[] = {
    {kGroupPorProducto, "PDIMEN.", "PDIMEN"},   {kGroupPorEntidad, "PDIMCLI.", "PDIMCLI"},
    {kGroupPorTabpp, "TABPRE.", "TABPRE"},      {kGroupPorBodega, "TABPRE.", "TABPRE"},
    {kGroupPorMaepr, "MAEPREM.", "MAEPREM"},    {kGroupValorDocue, "EDO.", "EDO"},
    {kGroupValorDocud, "DDO.", "DDO"},          {kGroupPorMaeddo, "EDO->", "EDO"},
    {kGroupPorZona, "TABZO.", "TABZO"},
};

// A constant as a number with three decimals, blanks removed.
std::string ConstantText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%14.3f", value);
  return WithoutBlanks(buffer);
}

const std::string* ConditionOf(const SourceConditions& conditions, const std::string& table) {
  for (const SourceCondition& c : conditions) {
    if (c.table == table) return &c.condition;
  }
  return nullptr;
}

}  // namespace

std::string ARMALECUA(const Catalogue& catalogue, const std::string& name, TableList& tables) {
  const auto entry = std::find_if(catalogue.begin(), catalogue.end(),
                                  [&](const CatalogueEntry& e) { return e.code == name; });
  if (entry == catalogue.end()) return "";
  if (entry->group == kGroupValorPropio) return ConstantText(entry->value);
  for (const GroupRule& rule : kGroupRules) {
    if (entry->group != rule.group) continue;
    if (std::find(tables.begin(), tables.end(), rule.table) == tables.end()) {
      tables.push_back(rule.table);
    }
    return rule.prefix + name;
  }
  return "";
}

std::string CALIFICACAMPOS(const Catalogue& catalogue, const std::string& text,
                           TableList& tables) {
  return RewriteNames(WithoutBlanks(text), "+-/*()", [&](const std::string& name) {
    return ARMALECUA(catalogue, name, tables);
  });
}

SourceConditions RowConditions(const PriceContext& context, const std::string& company) {
  const std::string product = db::QuoteText(context.product);
  return {
      {"PDIMEN", "PDIMEN.CODIGO=" + product + " "},
      {"PDIMCLI", "PDIMCLI.CODIGO=" + db::QuoteText(context.customer) + " "},
      {"TABPRE", "TABPRE.KOPR=" + product + " AND TABPRE.KOLT=" +
                     db::QuoteText(context.list_code) + " "},
      {"MAEPREM", " MAEPREM.EMPRESA=" + db::QuoteText(company) + " AND MAEPREM.KOPR=" +
                      product + " "},
  };
}

SourceCondition ZoneCondition(const std::string& zone) {
  return {"TABZO", "TABZO.KOZO=" + db::QuoteText(zone) + " "};
}

FromWhere FROMWHERE(const SourceConditions& conditions, const TableList& tables) {
  FromWhere fw;
  for (const std::string& table : tables) {
    const std::string* condition = ConditionOf(conditions, table);
    if (!condition) continue;
    if (!fw.from.empty()) {
      fw.from += ",";
      fw.where += " AND ";
    }
    fw.from += table;
    fw.where += *condition;
  }
  return fw;
}

std::string ValueQuery(const std::string& expression, const FromWhere& fw) {
  return "SELECT 1.0*" + expression + " AS RESUL FROM " + fw.from + " WHERE " +
         config::Trim(fw.where);
}

bool NamesTableWithoutCondition(const SourceConditions& conditions, const TableList& tables) {
  return std::any_of(tables.begin(), tables.end(), [&](const std::string& t) {
    return ConditionOf(conditions, t) == nullptr;
  });
}

}  // namespace orders
