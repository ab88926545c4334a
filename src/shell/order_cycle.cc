#include "shell/order_cycle.h"

namespace shell {

OrderCycle::OrderCycle(ProcessContext& ctx)
    : ctx_(ctx),
      source_(ctx),
      cached_(source_),
      evaluator_(cached_, ctx.TABMACRO, ctx.CNUMEROEMPRESA),
      resolver_(ctx, evaluator_) {}

orders::ImportSummary OrderCycle::Run(const config::TInicio& ini,
                                      std::vector<std::string>& problems) {
  cached_.Clear();  // what the evaluator read belongs to the previous import
  return orders::SECUENCIAPDA(ctx_, resolver_, ini, problems);
}

std::string OrderSummaryLine(const orders::ImportSummary& summary) {
  return "orders: " + std::to_string(summary.orders) + " pedidos, " +
         std::to_string(summary.lines) + " lineas" +
         (summary.committed ? "" : ", sin confirmar");
}

}  // namespace shell
