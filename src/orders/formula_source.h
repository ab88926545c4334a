// The database reads of formula evaluation, behind one small interface so that
// a cache can stand in front of them (within one import a list row, a
// product's master values or a customer's zone cannot change). Every read
// reports a failed query as the query layer does and then reads as not found.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "db/session.h"
#include "db/value.h"

namespace orders {

// A product's row of one price list (TABPRE): every column in table order.
struct ListRow {
  bool found = false;               // the product has a row in the list
  std::vector<std::string> names;   // upper case; empty when the look-up failed
  std::vector<db::Value> values;    // blank by kind when not found

  // Index of the column named `name`, or -1.
  int IndexOf(const std::string& name) const;
};

// MAEPR's RLUD, CAMICO, TTREPR, LTSUBIC and PESOUBIC of a product, in this order.
using ProductMaster = std::array<double, 5>;

class FormulaSource {
 public:
  virtual ~FormulaSource() = default;

  // The column names of TABPRE in table order; empty when they cannot be read.
  virtual std::vector<std::string> ListColumns() = 0;
  // The row of `product` in list `list`.
  virtual ListRow ListRowOf(const std::string& list, const std::string& product) = 0;
  // The product's master values; nothing without a row or when the query fails.
  virtual std::optional<ProductMaster> ProductMasterOf(const std::string& product) = 0;
  // The zone (ZOEN) of a customer's branch; nothing without a row.
  virtual std::optional<std::string> CustomerZone(const std::string& customer,
                                                  const std::string& branch) = 0;
  // The RESUL of the first row of a value query; nothing without a row or when
  // the query fails.
  virtual std::optional<double> QueryValue(const std::string& sql) = 0;
};

// The statement that reads a product's master values.
std::string ProductMasterStatement(const std::string& product);

// The reads over a session's current connection.
class SessionFormulaSource : public FormulaSource {
 public:
  explicit SessionFormulaSource(db::Session& session) : session_(session) {}

  std::vector<std::string> ListColumns() override;
  ListRow ListRowOf(const std::string& list, const std::string& product) override;
  std::optional<ProductMaster> ProductMasterOf(const std::string& product) override;
  std::optional<std::string> CustomerZone(const std::string& customer,
                                          const std::string& branch) override;
  std::optional<double> QueryValue(const std::string& sql) override;

 private:
  db::Session& session_;
};

}  // namespace orders
