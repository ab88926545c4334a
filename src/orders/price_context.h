// PriceContext: what price resolution hands to the formula evaluator for one
// line: the product, the list, the customer and the dates that formulas may
// test. Quantities are absent when pricing for the order import; an absent
// quantity counts as 0.
#pragma once

#include <optional>
#include <string>

#include "db/value.h"

namespace orders {

struct PriceContext {
  std::string product;          // KOPR
  std::string list_code;        // KOLT, three characters
  std::string customer;         // KOEN
  std::string customer_branch;  // SUEN, empty when none
  std::optional<double> quantity1;  // in the first unit
  std::optional<double> quantity2;  // in the second unit
  db::Date issue_date;              // _PASO_FEEMDO
  db::Date first_due_date;          // _PASO_FE01VEDO
  db::Date last_due_date;           // _PASO_FEULVEDO

  double Quantity1() const { return quantity1.value_or(0.0); }
  double Quantity2() const { return quantity2.value_or(0.0); }
};

}  // namespace orders
