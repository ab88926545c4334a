// An optional observer of formula evaluation: it is told each rewriting step,
// so that a tool can show how a price came about. Without an observer the
// evaluator composes none of these texts.
#pragma once

#include <string>

namespace orders {

enum class FormulaStep {
  kSplit,           // expression and rounding code
  kDocumentValues,  // after the document values are placed
  kListPass,        // after one pass over the list references
  kCondition,       // a conditional group: its condition, whether it holds, the value taken
  kChains,          // after every conditional chain is resolved
  kQualified,       // the qualified expression and its source tables
  kValueQuery,      // the value query sent
  kQueryResult,     // what it returned
  kDirect,          // the direct computation and its result
  kRounded,         // the rounding code and the final value
};

// The step's name as a tool prints it.
const char* StepName(FormulaStep step);

class FormulaObserver {
 public:
  virtual ~FormulaObserver() = default;
  // `depth` is 0 for the formula itself and grows for the tested expression of
  // a value condition, which is evaluated as a formula of its own.
  virtual void OnStep(int depth, FormulaStep step, const std::string& text) = 0;
};

}  // namespace orders
