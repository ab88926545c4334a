#include "orders/formula.h"

#include <algorithm>

#include "config/text.h"
#include "db/literals.h"
#include "orders/arithmetic.h"
#include "orders/conditions.h"
#include "orders/qualify.h"
#include "orders/rounding.h"

namespace orders {

namespace {

// The list fields whose formula lives in a column of another name.
constexpr std::pair<const char*, const char*> kFormulaColumns[] = {
    {"PP01UD", "ECUACION"}, {"PP02UD", "ECUACIONU2"}, {"MG01UD", "EMG01UD"},
    {"MG02UD", "EMG02UD"},  {"DTMA01UD", "EDTMA01UD"}, {"DTMA02UD", "EDTMA02UD"},
};

// The first TABPRE position (1-based) of the extra value/formula pairs.
constexpr size_t kFirstPairPosition = 29;

// The index of the formula column that goes with column `index`, or -1: the
// named formula columns, and for a value column of an extra pair the formula
// column that follows it.
int FormulaColumnOf(const ListRow& row, int index) {
  for (const auto& [field, formula] : kFormulaColumns) {
    if (row.names[index] == field) return row.IndexOf(formula);
  }
  const size_t position = static_cast<size_t>(index) + 1;
  if (position >= kFirstPairPosition && (position - kFirstPairPosition) % 2 == 0 &&
      static_cast<size_t>(index) + 1 < row.names.size()) {
    return index + 1;
  }
  return -1;
}

double NumberOf(const db::Value& v) {
  return v.is_text() ? LeadingNumber(v.text()) : v.number();
}

// The product master names that live in MAEPR, in the order of their query.
constexpr const char* kMasterNames[] = {"MAEPREM.RLUD", "MAEPREM.CAMICO", "MAEPREM.TTREPR",
                                        "MAEPREM.LTSUBIC", "MAEPREM.PESOUBIC"};

class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }

 private:
  int& depth_;
};

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ",") + item;
  return out;
}

const char* KindName(ConditionKind kind) {
  switch (kind) {
    case ConditionKind::kDate:
      return "date";
    case ConditionKind::kTime:
      return "time";
    case ConditionKind::kValue:
      break;
  }
  return "value";
}

}  // namespace

const char* StepName(FormulaStep step) {
  switch (step) {
    case FormulaStep::kSplit: return "formula";
    case FormulaStep::kDocumentValues: return "document values";
    case FormulaStep::kListPass: return "list references";
    case FormulaStep::kCondition: return "condition";
    case FormulaStep::kChains: return "conditional chains";
    case FormulaStep::kQualified: return "qualified";
    case FormulaStep::kValueQuery: return "value query";
    case FormulaStep::kQueryResult: return "query result";
    case FormulaStep::kDirect: return "direct computation";
    case FormulaStep::kRounded: return "rounded";
  }
  return "";
}

FormulaEvaluator::FormulaEvaluator(FormulaSource& source, const Catalogue& catalogue,
                                   std::string company, Clock clock)
    : source_(source),
      catalogue_(catalogue),
      company_(std::move(company)),
      clock_(clock ? std::move(clock) : Clock(LocalClock)) {}

const std::vector<std::string>& FormulaEvaluator::ExpandableFields() {
  if (fields_read_) return fields_;
  fields_ = {"PP01UD", "PP02UD", "RLUD", "MG01UD", "MG02UD", "DTMA01UD", "DTMA02UD"};
  const std::vector<std::string> columns = source_.ListColumns();
  for (size_t position = kFirstPairPosition; position <= columns.size(); position += 2) {
    fields_.push_back(columns[position - 1]);
  }
  // A layout that could not be read is asked again by the next evaluation.
  fields_read_ = !columns.empty();
  return fields_;
}

double FormulaEvaluator::RESUECUSQL(const PriceContext& context, const std::string& formula,
                                    const DocumentValues& values) {
  DepthGuard guard(depth_);
  const SplitFormula split = SACAECUREDON(formula);
  if (observer_) Report(FormulaStep::kSplit, split.expression + " #" + split.code);

  std::string expression = ReplaceDocumentValues(Upper(split.expression), values);
  if (observer_) Report(FormulaStep::kDocumentValues, expression);

  expression = EXPANDEMENORMAYOR(expression, context.product);
  if (expression.find('[') != std::string::npos) {
    expression = SACACORCHETES(context, expression);
    if (observer_) Report(FormulaStep::kChains, expression);
  }

  TableList tables;
  expression = CALIFICACAMPOS(catalogue_, expression, tables);
  expression = PlaceMasterValues(expression, context.product, split.code);
  // Average prices are not read: each counts as 1 (the longer names first).
  for (const char* name : {"MAEPREM.PMIFRS", "MAEPREM.PMSUC", "MAEPREM.PM"}) {
    expression = ReplaceAll(std::move(expression), name, "1");
  }
  if (observer_) Report(FormulaStep::kQualified, expression + " [" + Joined(tables) + "]");

  SourceConditions conditions = RowConditions(context, company_);
  if (expression.find("TABZO.") != std::string::npos) {
    std::optional<std::string> zone;
    if (!context.customer.empty()) {
      zone = source_.CustomerZone(context.customer, context.customer_branch);
    }
    conditions.push_back(ZoneCondition(zone.value_or("")));
  }

  double result = 0.0;
  if (NamesTableWithoutCondition(conditions, tables)) {
    // A value of a document in progress (EDO, DDO): pricing has no such
    // document, and a query naming it can only fail.
    if (observer_) Report(FormulaStep::kQueryResult, "names a document value: 0");
  } else if (const FromWhere fw = FROMWHERE(conditions, tables); !fw.from.empty()) {
    const std::string sql = ValueQuery(expression, fw);
    if (observer_) Report(FormulaStep::kValueQuery, sql);
    const std::optional<double> value = source_.QueryValue(sql);
    if (observer_) {
      Report(FormulaStep::kQueryResult, value ? db::NACSB(*value) : "no row: 0");
    }
    if (value) result = REDONDEO(*value, split.code);
  } else if (!expression.empty()) {
    double computed = 0.0;
    const bool ok = ComputeArithmetic(expression, &computed);
    if (observer_) {
      Report(FormulaStep::kDirect,
             expression + " = " + (ok ? db::NACSB(computed) : "not arithmetic: 0"));
    }
    if (ok) result = REDONDEO(RoundHalfAway(computed, 5), split.code);
  }
  if (observer_) Report(FormulaStep::kRounded, "#" + split.code + " " + db::NACSB(result));
  return result;
}

std::string FormulaEvaluator::PlaceMasterValues(const std::string& expression,
                                                const std::string& product,
                                                const std::string& code) {
  const bool named = std::any_of(std::begin(kMasterNames), std::end(kMasterNames),
                                 [&](const char* name) {
                                   return expression.find(name) != std::string::npos;
                                 });
  if (!named) return expression;
  const std::optional<ProductMaster> master = source_.ProductMasterOf(product);
  std::string out = expression;
  for (size_t i = 0; i < std::size(kMasterNames); ++i) {
    std::string text = "1";
    if (master) {
      // RLUD keeps its five decimals; the others take the formula's rounding.
      text = db::NACSB(i == 0 ? RoundHalfAway((*master)[i], 5) : REDONDEO((*master)[i], code));
    }
    out = ReplaceAll(std::move(out), kMasterNames[i], text);
  }
  return out;
}

std::string FormulaEvaluator::EXPANDEMENORMAYOR(const std::string& input,
                                                const std::string& product) {
  ExpandableFields();
  std::string text = config::Trim(input);
  for (int pass = 1; pass <= kMaxListPasses; ++pass) {
    text = SACAPARLLAVE(text);
    auto [complete, out] = EVECTRADOC(product, text);
    text = std::move(out);
    if (observer_) {
      Report(FormulaStep::kListPass, std::to_string(pass) + ": " + text +
                                         (complete ? "" : " (formula brought in)"));
    }
    if (complete) return text;
  }
  if (observer_) Report(FormulaStep::kListPass, "still unresolved: the formula is blank");
  return " ";
}

std::pair<bool, std::string> FormulaEvaluator::EVECTRADOC(const std::string& product,
                                                          const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '<') {
      out += text[i++];
      continue;
    }
    const std::string list = Upper(text.substr(i + 1, 3));
    const size_t field_start = std::min(i + 5, text.size());
    const std::string field = EXTRAECAMPO(text, field_start);
    const ListRow row = source_.ListRowOf(list, product);
    const int index = field.empty() ? -1 : row.IndexOf(field);
    if (index < 0) return {true, Upper(out)};  // not a list column: cut here
    const size_t after = field_start + field.size();
    if (row.found) {
      const int formula_index = FormulaColumnOf(row, index);
      const std::string formula = formula_index < 0 ? "" : row.values[formula_index].text();
      const double value = NumberOf(row.values[index]);
      if (!config::IsBlank(formula) && (HasNoCapitals(formula) || value == 0)) {
        return {false, out + ARREGLAXX(fields_, formula, list) + text.substr(after)};
      }
      out += db::NACSB(value);
    } else {
      out += "0";
    }
    i = after;
  }
  return {true, Upper(out)};
}

std::string FormulaEvaluator::SACACORCHETES(const PriceContext& context,
                                            const std::string& text) {
  const size_t first = text.find('[');
  if (first == std::string::npos) return text;
  const ClockReading clock = clock_();
  const DateWords words = DateWordsOf(context, clock.today);
  std::string out = text.substr(0, first);
  std::string rest = text.substr(first);
  while (true) {
    const ConditionalGroup group = EXTRAE(rest);
    const ConditionKind kind = KindOf(group);
    bool holds = false;
    switch (kind) {
      case ConditionKind::kDate:
        holds = DateConditionHolds(group, words);
        break;
      case ConditionKind::kTime:
        holds = TimeConditionHolds(group, clock.seconds);
        break;
      case ConditionKind::kValue: {
        const double tested =
            RESUECUSQL(context, group.c,
                       DocumentValues{0, 0, context.Quantity1(), context.Quantity2(), 0});
        holds = LeadingNumber(group.a) <= tested && tested <= LeadingNumber(group.b);
        break;
      }
    }
    const bool last = group.rest.empty() || group.rest[0] != '[';
    if (observer_) {
      Report(FormulaStep::kCondition,
             std::string(KindName(kind)) + " [" + group.a + "," + group.b + "," + group.c +
                 "," + group.v + "] " + (holds ? "holds" : "does not hold") +
                 (holds ? ": value taken" : last ? ": last of its chain, value taken" : ""));
    }
    if (!holds && !last) {
      rest = group.rest;
      continue;
    }
    out += kind == ConditionKind::kDate ? ExpandDiff(group.v, words) : group.v;
    const std::string remaining = QUEDARESTO(group.rest);
    const size_t next = remaining.find('[');
    out += remaining.substr(0, next);
    if (next == std::string::npos) break;
    rest = remaining.substr(next);
  }
  return out;
}

}  // namespace orders
