// A FormulaSource that keeps the answers of another within one import: a
// product's row of a list, a product's master values and a customer's zone
// cannot change inside the import's transaction. Value queries are always
// sent. Failed reads are never kept. Clear() between imports.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "orders/formula_source.h"

namespace orders {

class CachedFormulaSource : public FormulaSource {
 public:
  // `source` must outlive this object.
  explicit CachedFormulaSource(FormulaSource& source) : source_(source) {}

  // Reuse on or off (on by default); switching forgets everything kept.
  void set_enabled(bool on) {
    enabled_ = on;
    Clear();
  }
  void Clear();

  std::vector<std::string> ListColumns() override;
  ListRow ListRowOf(const std::string& list, const std::string& product) override;
  std::optional<ProductMaster> ProductMasterOf(const std::string& product) override;
  std::optional<std::string> CustomerZone(const std::string& customer,
                                          const std::string& branch) override;
  std::optional<double> QueryValue(const std::string& sql) override {
    return source_.QueryValue(sql);
  }

 private:
  FormulaSource& source_;
  bool enabled_ = true;
  std::optional<std::vector<std::string>> columns_;
  std::map<std::string, ListRow> rows_;
  std::map<std::string, std::optional<ProductMaster>> masters_;
  std::map<std::string, std::optional<std::string>> zones_;
};

}  // namespace orders
