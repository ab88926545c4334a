// The order cycle's pricing machinery for the life of the process: the formula
// evaluator over the database (its look-ups reused within one import), and the
// price resolver. Run() is one order import (SECUENCIAPDA).
#pragma once

#include <string>
#include <vector>

#include "orders/cached_formula_source.h"
#include "orders/formula.h"
#include "orders/formula_source.h"
#include "orders/order_import.h"
#include "orders/price_resolution.h"
#include "shell/process_context.h"

namespace shell {

class OrderCycle {
 public:
  // `ctx` must outlive the cycle; its catalogue and active company are read
  // as start-up left them.
  explicit OrderCycle(ProcessContext& ctx);

  orders::ImportSummary Run(const config::TInicio& ini, std::vector<std::string>& problems);

  orders::PriceResolver& resolver() { return resolver_; }

 private:
  ProcessContext& ctx_;
  orders::SessionFormulaSource source_;
  orders::CachedFormulaSource cached_;
  orders::FormulaEvaluator evaluator_;
  orders::PriceResolver resolver_;
};

// "orders: N pedidos, M lineas" (+ ", sin confirmar" when rolled back).
std::string OrderSummaryLine(const orders::ImportSummary& summary);

}  // namespace shell
