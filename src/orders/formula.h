// The formula evaluator (RESUECUSQL): a price-list formula is rewritten step by
// step into an arithmetic expression over qualified table columns, which one
// value query computes ("SELECT 1.0*" + expression + " AS RESUL FROM ..."), or
// which is computed directly when it names no table; the rounding code is then
// applied. A formula that cannot be evaluated yields 0.
//
// One evaluator serves a process: it keeps the list of expandable list fields
// (read from TABPRE's layout on the first evaluation that needs it). The
// database reads go through a FormulaSource, the catalogue is TABMACRO, and the
// clock gives today and the time of day for date and time conditions.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orders/catalogue.h"
#include "orders/clock.h"
#include "orders/formula_observer.h"
#include "orders/formula_source.h"
#include "orders/formula_text.h"
#include "orders/price_context.h"

namespace orders {

// A chain of list references still unresolved after this many passes ends the
// formula (two lists whose formulas refer to each other).
inline constexpr int kMaxListPasses = 20;

class FormulaEvaluator {
 public:
  // `company` is the active company (CNUMEROEMPRESA). An empty clock reads the
  // local clock. `source` and `catalogue` must outlive the evaluator.
  FormulaEvaluator(FormulaSource& source, const Catalogue& catalogue, std::string company,
                   Clock clock = {});

  // The observer told of every step from now on; null for none.
  void set_observer(FormulaObserver* observer) { observer_ = observer; }

  // The value of `formula` for `context`, with the document values given (all
  // 0 when pricing an order line).
  double RESUECUSQL(const PriceContext& context, const std::string& formula,
                    const DocumentValues& values = {});

  // `text` with every list reference "<L>field" resolved; a single blank when
  // references are still left after kMaxListPasses passes.
  std::string EXPANDEMENORMAYOR(const std::string& text, const std::string& product);

  // One pass over the list references of `text`: (complete, text). Not
  // complete when a referenced list brought in a formula of its own.
  std::pair<bool, std::string> EVECTRADOC(const std::string& product, const std::string& text);

  // `text` with every conditional chain replaced by its chosen value.
  std::string SACACORCHETES(const PriceContext& context, const std::string& text);

  // PP01UD, PP02UD, RLUD, MG01UD, MG02UD, DTMA01UD, DTMA02UD and the names of
  // TABPRE's columns at positions 29, 31, ...
  const std::vector<std::string>& ExpandableFields();

 private:
  void Report(FormulaStep step, const std::string& text) {
    if (observer_) observer_->OnStep(depth_, step, text);
  }
  std::string PlaceMasterValues(const std::string& expression, const std::string& product,
                                const std::string& code);

  FormulaSource& source_;
  const Catalogue& catalogue_;
  std::string company_;
  Clock clock_;
  FormulaObserver* observer_ = nullptr;
  std::vector<std::string> fields_;
  bool fields_read_ = false;
  int depth_ = -1;  // nesting of RESUECUSQL: 0 for the outer formula
};

}  // namespace orders
