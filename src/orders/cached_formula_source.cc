#include "orders/cached_formula_source.h"

namespace orders {

namespace {
std::string Key(const std::string& a, const std::string& b) { return a + '\x1f' + b; }
}  // namespace

void CachedFormulaSource::Clear() {
  columns_.reset();
  rows_.clear();
  masters_.clear();
  zones_.clear();
}

std::vector<std::string> CachedFormulaSource::ListColumns() {
  if (columns_) return *columns_;
  std::vector<std::string> columns = source_.ListColumns();
  if (enabled_ && !columns.empty()) columns_ = columns;
  return columns;
}

ListRow CachedFormulaSource::ListRowOf(const std::string& list, const std::string& product) {
  const std::string key = Key(list, product);
  if (auto it = rows_.find(key); it != rows_.end()) return it->second;
  ListRow row = source_.ListRowOf(list, product);
  // A failed look-up leaves no columns: asked again next time.
  if (enabled_ && !row.names.empty()) rows_[key] = row;
  return row;
}

std::optional<ProductMaster> CachedFormulaSource::ProductMasterOf(const std::string& product) {
  if (auto it = masters_.find(product); it != masters_.end()) return it->second;
  std::optional<ProductMaster> master = source_.ProductMasterOf(product);
  // Without a row and after a failed query alike the values read as 1; both
  // are kept only when found, so a failure is asked again.
  if (enabled_ && master) masters_[product] = master;
  return master;
}

std::optional<std::string> CachedFormulaSource::CustomerZone(const std::string& customer,
                                                             const std::string& branch) {
  const std::string key = Key(customer, branch);
  if (auto it = zones_.find(key); it != zones_.end()) return it->second;
  std::optional<std::string> zone = source_.CustomerZone(customer, branch);
  if (enabled_ && zone) zones_[key] = zone;
  return zone;
}

}  // namespace orders
