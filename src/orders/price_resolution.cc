#include "orders/price_resolution.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "config/arithmetic.h"
#include "config/text.h"
#include "db/cursor.h"
#include "db/literals.h"
#include "db/lookups.h"
#include "orders/conditions.h"
#include "orders/formula_text.h"
#include "orders/rounding.h"

namespace orders {

namespace {

// The list row's fixed columns; value/formula pairs start after them.
constexpr size_t kFirstPairPosition = 29;  // counting from 1

std::string Key(const std::string& a, const std::string& b) { return a + '\x1f' + b; }

std::string Number(double n) { return db::NACSB(n); }

std::string DateText(const db::Date& d) {
  if (d.empty()) return "(empty)";
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "%02d/%02d/%04d", d.day, d.month, d.year);
  return buffer;
}

// The numbers of the list row are kept to six decimals.
db::Value SixDecimals(std::string raw, int) {
  return db::Value::Number(RoundHalfAway(std::strtod(raw.c_str(), nullptr), 6));
}

// The last three characters of a list identifier ("TABPP" + code); trailing
// blanks of a char column are not part of it.
std::string ListCode(const std::string& identifier) {
  std::string id = identifier;
  while (!id.empty() && id.back() == ' ') id.pop_back();
  return id.size() <= 3 ? id : id.substr(id.size() - 3);
}

}  // namespace

std::string VatFrom(const std::string& company) {
  return "MAEPR WITH (NOLOCK) INNER JOIN MAEPREM WITH (NOLOCK) ON MAEPR.KOPR=MAEPREM.KOPR AND "
         "MAEPREM.EMPRESA=" +
         db::QuoteText(company) + " ";
}

std::string ListPriceStatement(const std::string& product, const std::string& list) {
  return "SELECT TOP 1 TABPRE.*,TABPP.MELT,TABPP.ECUDEF01UD,TABPP.ECUDEF02UD FROM TABPRE WITH "
         "(NOLOCK) INNER JOIN TABPP WITH (NOLOCK) ON TABPRE.KOLT=TABPP.KOLT WHERE TABPRE.KOPR=" +
         db::QuoteText(product) + " AND TABPRE.KOLT=" + db::QuoteText(list);
}

db::Date SUMAMESALCLIENTE(const db::Date& date, long count, long days) {
  return AddDays(date, count * (days == 0 ? 30 : days));
}

DueDates CustomerDueDates(const db::Date& today, double diprve, double nuvecr, double diasvenci) {
  DueDates d{today, today, today};
  if (diprve != 0) {
    d.first_due = AddDays(d.issue, std::lround(diprve));
    d.last_due = d.first_due;
  }
  if (nuvecr != 0) {
    d.last_due = SUMAMESALCLIENTE(d.first_due, std::lround(nuvecr) - 1, std::lround(diasvenci));
  }
  return d;
}

bool PriceFormulaActive(const std::string& formula) {
  return HasNoCapitals(config::Trim(formula.substr(0, formula.find('#'))));
}

PriceResolver::PriceResolver(db::Session& session, FormulaEvaluator& evaluator, Clock clock)
    : session_(session),
      evaluator_(evaluator),
      clock_(clock ? std::move(clock) : Clock(LocalClock)) {}

void PriceResolver::set_cache_enabled(bool on) {
  cache_on_ = on;
  ClearCache();
}

void PriceResolver::ClearCache() {
  settings_.clear();
  customers_.clear();
  additional_taxes_.clear();
  vats_.clear();
  tax_rates_.clear();
  price_rows_.clear();
  discount_rows_.clear();
}

void PriceResolver::Failed(const std::string& statement) {
  if (!failed_) failed_statement_ = statement;
  failed_ = true;
}

bool PriceResolver::Seek(const std::string& table, db::SqlRow& row,
                         const std::vector<std::string>& keys,
                         const std::vector<std::string>& values, const std::string& columns,
                         bool& failed) {
  std::vector<db::Value> literals;
  for (const std::string& v : values) literals.push_back(db::Value::Text(v));
  const bool found = db::SEEKSQL(session_, table, row, keys, literals, columns);
  // A look-up whose query failed leaves a row without columns.
  failed = !found && row.empty();
  if (failed) Failed(db::SeekStatement(table, keys, literals, columns));
  return found;
}

std::optional<std::optional<std::string>> PriceResolver::SettingsList(const std::string& company,
                                                                      const std::string& modality) {
  const std::string key = Key(company, modality);
  if (auto it = settings_.find(key); it != settings_.end()) return it->second;
  db::SqlRow row;
  bool failed = false;
  std::optional<std::string> list;
  if (Seek("CONFIEST", row, {"EMPRESA", "MODALIDAD"}, {company, modality},
           "ESUCURSAL,EBODEGA,ELISTAVEN", failed)) {
    list = db::VCC(session_, row, "ELISTAVEN").text();
  }
  if (failed) return std::nullopt;
  if (cache_on_) settings_[key] = list;
  return list;
}

std::optional<PriceResolver::Customer> PriceResolver::CustomerRow(const std::string& customer,
                                                                  const std::string& branch) {
  const std::string key = Key(customer, branch);
  if (auto it = customers_.find(key); it != customers_.end()) return it->second;
  db::SqlRow row;
  bool failed = false;
  Seek("MAEEN", row, {"KOEN", "SUEN"}, {customer, branch}, "LVEN,DIPRVE,NUVECR,DIASVENCI,KOFUEN",
       failed);
  if (failed) return std::nullopt;
  // A customer that is not found reads as the blanks SEEKSQL gives.
  Customer c;
  c.lven = db::VCC(session_, row, "LVEN").text();
  c.diprve = db::VCC(session_, row, "DIPRVE").number();
  c.nuvecr = db::VCC(session_, row, "NUVECR").number();
  c.diasvenci = db::VCC(session_, row, "DIASVENCI").number();
  if (cache_on_) customers_[key] = c;
  return c;
}

std::optional<std::optional<std::string>> PriceResolver::AdditionalTax(const std::string& product) {
  if (auto it = additional_taxes_.find(product); it != additional_taxes_.end()) {
    return it->second;
  }
  db::SqlRow row;
  bool failed = false;
  std::optional<std::string> code;
  if (Seek(kAdditionalTaxFrom, row, {"KOPR"}, {product}, "TABIMPR.*", failed)) {
    const std::string excluded = Upper(db::VCC(session_, row, "NOAPLICEN").text());
    if (excluded.find("VENTAS") == std::string::npos) code = db::VCC(session_, row, "KOIM").text();
  }
  if (failed) return std::nullopt;
  if (cache_on_) additional_taxes_[product] = code;
  return code;
}

std::optional<double> PriceResolver::VatPercent(const std::string& company,
                                                const std::string& product) {
  const std::string key = Key(company, product);
  if (auto it = vats_.find(key); it != vats_.end()) return it->second;
  db::SqlRow row;
  bool failed = false;
  double vat = 0;
  if (Seek(VatFrom(company), row, {"MAEPR.KOPR"}, {product}, "", failed)) {
    vat = db::VCC(session_, row, "POIVPR").number();
  }
  if (failed) return std::nullopt;
  if (cache_on_) vats_[key] = vat;
  return vat;
}

std::optional<double> PriceResolver::TaxRate(const std::string& code) {
  if (auto it = tax_rates_.find(code); it != tax_rates_.end()) return it->second;
  db::SqlRow row;
  bool failed = false;
  double rate = 0;
  if (Seek("TABIM", row, {"KOIM"}, {code}, "POIM", failed)) {
    rate = db::VCC(session_, row, "POIM").number();
  }
  if (failed) return std::nullopt;
  if (cache_on_) tax_rates_[code] = rate;
  return rate;
}

std::optional<PriceResolver::PriceRow> PriceResolver::ListPriceRow(const std::string& list,
                                                                   const std::string& product) {
  const std::string key = Key(list, product);
  if (auto it = price_rows_.find(key); it != price_rows_.end()) return it->second;
  const std::string sql = ListPriceStatement(product, list);
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, sql, found);
  if (!cursor) {  // reported by the cursor
    Failed(sql);
    return std::nullopt;
  }
  PriceRow result;
  if (found) {
    for (db::SqlColumn& column : row) {
      if (column.kind == 'N') column.converter = SixDecimals;
    }
    db::VCT(row);
    result.found = true;
    result.pp01ud = db::VCC(session_, row, "PP01UD").number();
    result.ecuacion = db::VCC(session_, row, "ECUACION").text();
    result.melt = db::VCC(session_, row, "MELT").text();
    result.ecudef01ud = db::VCC(session_, row, "ECUDEF01UD").text();
  }
  db::LIBERACURSOR(session_, cursor);
  if (cache_on_) price_rows_[key] = result;
  return result;
}

std::optional<std::vector<PriceResolver::DiscountPair>> PriceResolver::DiscountPairs(
    const std::string& list, const std::string& product) {
  const std::string key = Key(list, product);
  if (auto it = discount_rows_.find(key); it != discount_rows_.end()) return it->second;
  db::SqlRow row;
  bool failed = false;
  std::vector<DiscountPair> pairs;
  if (Seek(kDiscountRowFrom, row, {"TABPRE.KOPR", "TABPRE.KOLT"}, {product, list},
           "TABPRE.*,TABPP.OPERA", failed)) {
    const size_t n = row.size();
    const std::string opera = row.back().value.text();  // the last column
    // Position p = 27 + 2i is pair i; its OPERA character is the (28 + i)th.
    for (size_t p = kFirstPairPosition; p + 1 <= n; p += 2) {
      const size_t i = (p - 27) / 2;
      const size_t at = 28 + i - 1;
      DiscountPair pair;
      pair.discount = at >= opera.size() || opera[at] == ' ';
      pair.value_column = row[p - 1].name;
      pair.value = row[p - 1].value.number();
      pair.formula = row[p].value.text();
      pairs.push_back(std::move(pair));
    }
  }
  if (failed) return std::nullopt;
  if (cache_on_) discount_rows_[key] = pairs;
  return pairs;
}

ResolvedPrice PriceResolver::RESUELVEPRECIO(const std::string& modality, const std::string& product,
                                            const std::string& customer,
                                            const std::string& customerBranch,
                                            const std::string& company) {
  failed_ = false;
  failed_statement_.clear();
  ResolvedPrice result;

  const auto settings = SettingsList(company, modality);
  if (!settings) {
    result.status = PriceStatus::kLookupFailed;
    result.failed_statement = failed_statement_;
    return result;
  }
  if (!*settings) {
    if (observer_)
      Report(PriceStep::kSettings, "no CONFIEST row for EMPRESA " + db::QuoteText(company) +
                                       " and MODALIDAD " + db::QuoteText(modality));
    result.status = PriceStatus::kNoSettingsRow;
    return result;
  }
  std::string list = **settings;
  if (observer_)
    Report(PriceStep::kSettings, "CONFIEST EMPRESA " + db::QuoteText(company) + " MODALIDAD " +
                                     db::QuoteText(modality) + ": ELISTAVEN " +
                                     db::QuoteText(list));

  const Customer who = CustomerRow(customer, customerBranch).value_or(Customer{});
  if (!config::IsBlank(who.lven)) list = who.lven;
  if (observer_) {
    const std::string why = config::IsBlank(who.lven)
                                ? "the company's default ELISTAVEN (the customer has no LVEN)"
                                : "the customer's LVEN " + db::QuoteText(who.lven);
    if (observer_) Report(PriceStep::kList, ListCode(list) + " from " + why);
  }

  const DueDates dates = CustomerDueDates(clock_().today, who.diprve, who.nuvecr, who.diasvenci);
  if (observer_) {
    Report(PriceStep::kDates, "issue " + DateText(dates.issue) + ", first due " +
                                  DateText(dates.first_due) + ", last due " +
                                  DateText(dates.last_due));
  }

  const std::optional<std::string> tax = AdditionalTax(product).value_or(std::nullopt);
  const double vat = VatPercent(company, product).value_or(0.0);
  if (observer_) {
    Report(PriceStep::kAdditionalTax, tax ? "additional tax " + db::QuoteText(*tax)
                                          : "no additional tax (none, or NOAPLICEN names VENTAS)");
    Report(PriceStep::kVat, "VAT " + Number(vat) + "%");
  }

  PriceContext context;
  context.product = product;
  context.list_code = ListCode(list);
  context.customer = customer;
  context.customer_branch = customerBranch;
  context.issue_date = dates.issue;
  context.first_due_date = dates.first_due;
  context.last_due_date = dates.last_due;

  result.price = PONEPRECIO(context, vat, tax);
  result.discounts = PONEDESC(context);
  if (failed_) {
    result.status = PriceStatus::kLookupFailed;
    result.failed_statement = failed_statement_;
  }
  return result;
}

double PriceResolver::PONEPRECIO(const PriceContext& context, double vatPercent,
                                 const std::optional<std::string>& additionalTaxCode) {
  const PriceRow row = ListPriceRow(context.list_code, context.product).value_or(PriceRow{});
  if (!row.found) {
    if (observer_)
      Report(PriceStep::kListRow, "no row of product " + db::QuoteText(context.product) +
                                      " in list " + db::QuoteText(context.list_code) +
                                      ": net price 0");
    return 0;
  }
  if (observer_)
    Report(PriceStep::kListRow, "row of product " + db::QuoteText(context.product) + " in list " +
                                    db::QuoteText(context.list_code));

  // A stored formula is evaluated when active, or when there is no stored price.
  double base = 0;
  const bool no_stored_price = row.pp01ud == 0;
  const auto usable = [&](const std::string& formula) {
    return !config::IsBlank(formula) && (PriceFormulaActive(formula) || no_stored_price);
  };
  const auto why = [&](const std::string& formula) {
    return PriceFormulaActive(formula) ? std::string(" (active)")
                                       : std::string(" (inactive, but PP01UD is 0)");
  };
  if (usable(row.ecuacion)) {
    base = evaluator_.RESUECUSQL(context, row.ecuacion);
    if (observer_) {
      Report(PriceStep::kBasePrice, "ECUACION " + db::QuoteText(config::Trim(row.ecuacion)) +
                                        why(row.ecuacion) + " = " + Number(base));
    }
  } else if (usable(row.ecudef01ud)) {
    base = evaluator_.RESUECUSQL(context, row.ecudef01ud);
    if (observer_) {
      Report(PriceStep::kBasePrice, "ECUDEF01UD " + db::QuoteText(config::Trim(row.ecudef01ud)) +
                                        why(row.ecudef01ud) + " = " + Number(base));
    }
  } else {
    base = row.pp01ud;
    if (observer_)
      Report(PriceStep::kBasePrice,
             "stored PP01UD " + Number(base) + " (no formula, or only inactive ones)");
  }

  const std::string kind = config::Trim(row.melt);
  if (observer_) Report(PriceStep::kListKind, "MELT " + db::QuoteText(kind));
  double net = 0;
  if (kind == "N") {
    net = base;
    if (observer_) Report(PriceStep::kTax, "net list: the base price is net");
  } else if (kind == "B") {
    double rate = 0;
    if (additionalTaxCode) rate = TaxRate(*additionalTaxCode).value_or(0.0);
    net = RoundHalfAway(config::SafeDivide(base * 100, 100 + vatPercent + rate), 3);
    if (observer_) {
      Report(PriceStep::kTax,
             "gross list: " + Number(base) + " x 100 / (100 + VAT " + Number(vatPercent) +
                 (additionalTaxCode ? " + additional tax " + Number(rate) : std::string()) +
                 "), to three decimals");
    }
  } else {
    if (observer_) Report(PriceStep::kTax, "unknown list kind: no price");
  }
  if (observer_) Report(PriceStep::kNetPrice, Number(net));
  return net;
}

std::array<double, 4> PriceResolver::PONEDESC(const PriceContext& context) {
  std::array<double, 4> discounts{};
  const auto pairs = DiscountPairs(context.list_code, context.product);
  size_t taken = 0;
  if (pairs) {
    for (const DiscountPair& pair : *pairs) {
      if (!pair.discount) continue;
      const bool active = !config::IsBlank(pair.formula) && HasNoCapitals(pair.formula);
      const double percent = active ? evaluator_.RESUECUSQL(context, pair.formula) : pair.value;
      const bool placed = percent != 0 && taken < discounts.size();
      if (placed) discounts[taken++] = percent;
      if (observer_) {
        Report(PriceStep::kDiscount,
               pair.value_column + ": " +
                   (active ? "formula " + db::QuoteText(config::Trim(pair.formula))
                           : std::string("stored")) +
                   " = " + Number(percent) +
                   (placed ? " -> DCTO" + std::to_string(taken) : std::string(" (no place)")));
      }
    }
  }
  if (observer_) {
    Report(PriceStep::kDiscounts, Number(discounts[0]) + " " + Number(discounts[1]) + " " +
                                      Number(discounts[2]) + " " + Number(discounts[3]));
  }
  return discounts;
}

}  // namespace orders
