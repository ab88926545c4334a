#include "orders/formula_source.h"

#include "db/cursor.h"
#include "db/literals.h"
#include "db/lookups.h"

namespace orders {

namespace {

bool HasColumn(const db::SqlRow& row, const std::string& name) {
  for (const db::SqlColumn& c : row) {
    if (c.name == name) return true;
  }
  return false;
}

}  // namespace

int ListRow::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::string ProductMasterStatement(const std::string& product) {
  return "SELECT RLUD,CAMICO,TTREPR,LTSUBIC,PESOUBIC FROM MAEPR WHERE KOPR=" +
         db::QuoteText(product) + " ";
}

std::vector<std::string> SessionFormulaSource::ListColumns() {
  db::SqlRow row;
  db::TOPSQL(session_, "TABPRE", row);
  std::vector<std::string> names;
  for (const db::SqlColumn& c : row) names.push_back(c.name);
  return names;
}

ListRow SessionFormulaSource::ListRowOf(const std::string& list, const std::string& product) {
  db::SqlRow row;
  ListRow result;
  result.found = db::SEEKSQL(session_, "TABPRE", row, {"KOLT", "KOPR"},
                             {db::Value::Text(list), db::Value::Text(product)});
  for (const db::SqlColumn& c : row) {
    result.names.push_back(c.name);
    result.values.push_back(c.value);  // SEEKSQL loads every column
  }
  return result;
}

std::optional<ProductMaster> SessionFormulaSource::ProductMasterOf(const std::string& product) {
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, ProductMasterStatement(product), found);
  std::optional<ProductMaster> master;
  if (cursor && found) {
    master = ProductMaster{};
    const char* names[] = {"RLUD", "CAMICO", "TTREPR", "LTSUBIC", "PESOUBIC"};
    for (size_t i = 0; i < master->size(); ++i) {
      // A driver that leaves a column out: read as the neutral 1, like no row.
      (*master)[i] = HasColumn(row, names[i]) ? db::VCC(session_, row, names[i]).number() : 1.0;
    }
  }
  db::LIBERACURSOR(session_, cursor);
  return master;
}

std::optional<std::string> SessionFormulaSource::CustomerZone(const std::string& customer,
                                                              const std::string& branch) {
  db::SqlRow row;
  if (!db::SEEKSQL(session_, "MAEEN", row, {"KOEN", "SUEN"},
                   {db::Value::Text(customer), db::Value::Text(branch)}, "ZOEN") ||
      !HasColumn(row, "ZOEN")) {
    return std::nullopt;
  }
  return db::VCC(session_, row, "ZOEN").text();
}

std::optional<double> SessionFormulaSource::QueryValue(const std::string& sql) {
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, sql, found);
  std::optional<double> value;
  if (cursor && found && HasColumn(row, "RESUL")) value = db::VCC(session_, row, "RESUL").number();
  db::LIBERACURSOR(session_, cursor);
  return value;
}

}  // namespace orders
