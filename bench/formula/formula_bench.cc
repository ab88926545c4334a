// Direct computations per second: whole evaluations (RESUECUSQL) of example
// formulas that name no table, and the arithmetic alone. The evaluator reads
// from an in-memory source, so no database takes part.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "orders/arithmetic.h"
#include "orders/catalogue.h"
#include "orders/formula.h"

namespace {

class NoDatabase : public orders::FormulaSource {
 public:
  std::vector<std::string> ListColumns() override { return {"KOLT", "KOPR", "PP01UD"}; }
  orders::ListRow ListRowOf(const std::string&, const std::string&) override { return {}; }
  std::optional<orders::ProductMaster> ProductMasterOf(const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> CustomerZone(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<double> QueryValue(const std::string&) override { return std::nullopt; }
};

orders::Catalogue BuiltinCatalogue() {
  orders::Catalogue c;
  for (const auto& b : orders::BuiltinVariables()) c.push_back({b.code, b.name, b.group, 0});
  std::sort(c.begin(), c.end(), [](auto& a, auto& b) { return a.code < b.code; });
  return c;
}

const char* const kFormulas[] = {
    "1234#9", "1234#5", "2.1#E", "2.675#1", "{5}", "xyz+5", "5.4#",
    "[0,10,caprco1,5][11,99999,caprco1,8]",
    "[F(01/01/24),F(31/12/24),F(HOY),1000][F(01/01/25),F(31/12/25),F(HOY),1100]",
    "[H(08:00),H(12:00),H(AHORA),5][H(12:01),H(23:59),H(AHORA),7]",
};

void BM_Resuecusql(benchmark::State& state) {
  NoDatabase source;
  const orders::Catalogue catalogue = BuiltinCatalogue();
  orders::FormulaEvaluator evaluator(source, catalogue, "01", [] {
    return orders::ClockReading{{2025, 6, 10}, 9 * 3600 + 30 * 60};
  });
  orders::PriceContext context;
  context.product = "P1";
  context.list_code = "01P";
  context.issue_date = context.first_due_date = context.last_due_date = {2025, 6, 10};
  double sum = 0;
  for (auto _ : state) {
    for (const char* f : kFormulas) sum += evaluator.RESUECUSQL(context, f);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * std::size(kFormulas));
}
BENCHMARK(BM_Resuecusql);

void BM_ArithmeticOnly(benchmark::State& state) {
  const char* const expressions[] = {"1234", "2.675", "(1-5*.01)", "+5", "(600*2)*0.9",
                                     "1000*(1+19.000/100)", "-(2+3)*2/0+7"};
  double sum = 0;
  for (auto _ : state) {
    for (const char* e : expressions) {
      double r = 0;
      orders::ComputeArithmetic(e, &r);
      sum += r;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * std::size(expressions));
}
BENCHMARK(BM_ArithmeticOnly);

}  // namespace

BENCHMARK_MAIN();
