// Price resolution: what the ERP's own price lists say a customer pays for a
// product. RESUELVEPRECIO picks the list (the customer's LVEN, else the
// company's default ELISTAVEN for the modality), the customer's due dates, the
// product's VAT and additional tax; PONEPRECIO works out the net unit price of
// the first unit and PONEDESC the list's discount percentages. Stored prices
// and discounts may be formulas, evaluated by the FormulaEvaluator when active
// (written in lower case).
//
// Within one import the look-ups whose answers cannot change inside the
// transaction (CONFIEST, MAEEN, TABIMPR/TABIM, MAEPR/MAEPREM, the product's
// rows of a list) are made once and reused; ClearCache() between imports.
// Failed look-ups are never kept.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/cursor.h"
#include "db/session.h"
#include "db/value.h"
#include "orders/clock.h"
#include "orders/formula.h"
#include "orders/price_context.h"

namespace orders {

// The problem text of an import abandoned for want of a settings row.
inline constexpr const char* kNoSettingsProblem =
    "Modalidad no existe para la empresa. Establéscala en Parámetros->Empresas y continúe";

// The FROM texts of the look-ups.
inline constexpr const char* kAdditionalTaxFrom =
    "TABIMPR INNER JOIN TABIM ON TABIM.KOIM=TABIMPR.KOIM AND TABIM.POIM<>0";
inline constexpr const char* kDiscountRowFrom = "TABPRE INNER JOIN TABPP ON TABPP.KOLT=TABPRE.KOLT";
// The FROM text of the VAT look-up for `company` (quoted).
std::string VatFrom(const std::string& company);
// The statement that reads a product's row of a list with its header columns
// (SEEKSQLMUL); its numbers are read to six decimals.
std::string ListPriceStatement(const std::string& product, const std::string& list);

enum class PriceStatus {
  kPriced,
  kNoSettingsRow,  // no CONFIEST row for the company and modality
  kLookupFailed,   // a look-up's query failed: the price is not known
};

struct ResolvedPrice {
  PriceStatus status = PriceStatus::kPriced;
  double price = 0;                   // net unit price of the first unit
  std::array<double, 4> discounts{};  // DCTO1 .. DCTO4
  std::string failed_statement;       // the look-up that failed (kLookupFailed)

  bool priced() const { return status == PriceStatus::kPriced; }
};

// The issue date and the first and last due dates of a customer's terms.
struct DueDates {
  db::Date issue, first_due, last_due;
};

// date + count x days; days of 0 count as 30.
db::Date SUMAMESALCLIENTE(const db::Date& date, long count, long days);

// Today as issue date; DIPRVE days to the first due date; NUVECR instalments
// DIASVENCI days apart up to the last.
DueDates CustomerDueDates(const db::Date& today, double diprve, double nuvecr, double diasvenci);

// True when a price formula is active: its text before any "#", blanks at the
// ends removed, holds no capital letter. A discount formula is tested whole
// (HasNoCapitals), rounding code included.
bool PriceFormulaActive(const std::string& formula);

// What an --explain-price tool is told, one step at a time. Without an
// observer none of these texts is composed.
enum class PriceStep {
  kSettings,       // the CONFIEST row used and its ELISTAVEN
  kList,           // the list chosen and why (customer LVEN or company default)
  kDates,          // issue, first and last due dates
  kAdditionalTax,  // the additional tax carried, or why none
  kVat,            // the VAT percentage
  kListRow,        // the product's row of the list found or not
  kListKind,       // MELT
  kBasePrice,      // ECUACION, ECUDEF01UD or the stored PP01UD, and why
  kTax,            // how the gross price became net
  kNetPrice,       // the net unit price
  kDiscount,       // one discount pair: column, source, percentage, slot
  kDiscounts,      // DCTO1 .. DCTO4
};

class PriceObserver {
 public:
  virtual ~PriceObserver() = default;
  virtual void OnPriceStep(PriceStep step, const std::string& text) = 0;
};

class PriceResolver {
 public:
  // `evaluator` evaluates active formulas; an empty clock reads the local one.
  PriceResolver(db::Session& session, FormulaEvaluator& evaluator, Clock clock = {});

  // Reuse of look-ups within one import (on by default); switching it off
  // also forgets everything kept.
  void set_cache_enabled(bool on);
  // Forgets every kept answer: called at the start of each import.
  void ClearCache();
  void set_observer(PriceObserver* observer) { observer_ = observer; }

  ResolvedPrice RESUELVEPRECIO(const std::string& modality, const std::string& product,
                               const std::string& customer, const std::string& customerBranch,
                               const std::string& company);

  // The net unit price of the context's product in its list; 0 without a row.
  double PONEPRECIO(const PriceContext& context, double vatPercent,
                    const std::optional<std::string>& additionalTaxCode);

  // DCTO1 .. DCTO4 of the context's product in its list; zeros without a row.
  std::array<double, 4> PONEDESC(const PriceContext& context);

 private:
  struct Customer {
    std::string lven;
    double diprve = 0, nuvecr = 0, diasvenci = 0;
  };
  struct PriceRow {
    bool found = false;
    double pp01ud = 0;
    std::string ecuacion, melt, ecudef01ud;
  };
  // A value/formula pair of a list row, from position 29 on.
  struct DiscountPair {
    bool discount = false;  // its OPERA character is blank
    std::string value_column;
    double value = 0;
    std::string formula;
  };

  // Each look-up: from the cache when kept, else from the database (kept
  // unless the query failed). Nothing for a failed query.
  std::optional<std::optional<std::string>> SettingsList(const std::string& company,
                                                         const std::string& modality);
  std::optional<Customer> CustomerRow(const std::string& customer, const std::string& branch);
  std::optional<std::optional<std::string>> AdditionalTax(const std::string& product);
  std::optional<double> VatPercent(const std::string& company, const std::string& product);
  std::optional<double> TaxRate(const std::string& code);
  std::optional<PriceRow> ListPriceRow(const std::string& list, const std::string& product);
  std::optional<std::vector<DiscountPair>> DiscountPairs(const std::string& list,
                                                         const std::string& product);

  // SEEKSQL that records a failed query (a row without columns).
  bool Seek(const std::string& table, db::SqlRow& row, const std::vector<std::string>& keys,
            const std::vector<std::string>& values, const std::string& columns, bool& failed);
  void Failed(const std::string& statement);
  void Report(PriceStep step, const std::string& text) {
    if (observer_) observer_->OnPriceStep(step, text);
  }

  db::Session& session_;
  FormulaEvaluator& evaluator_;
  Clock clock_;
  PriceObserver* observer_ = nullptr;
  bool cache_on_ = true;
  std::string failed_statement_;  // the first failed look-up of the current line
  bool failed_ = false;

  std::map<std::string, std::optional<std::string>> settings_;
  std::map<std::string, Customer> customers_;
  std::map<std::string, std::optional<std::string>> additional_taxes_;
  std::map<std::string, double> vats_;
  std::map<std::string, double> tax_rates_;
  std::map<std::string, PriceRow> price_rows_;
  std::map<std::string, std::vector<DiscountPair>> discount_rows_;
};

}  // namespace orders
