// RESUECUSQL against the scripted database double: the value query texts, the
// direct computations, list references and their pass limit, conditional
// chains on a fixed clock, and dropped names. Every statement the evaluator
// composes goes through the T-SQL grammar check.
#include "orders/formula.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "orders/catalogue.h"
#include "orders/formula_source.h"
#include "orders_fixture.h"
#include "support/tsql_grammar.h"

namespace orders {
namespace {

using orderstest::ScriptedRow;
using orderstest::TabpreColumns;
using orderstest::TabpreRow;

const std::string kLayout = "SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK ) ";
const std::string kTabpreP1 = "TABPRE.KOPR='P1' AND TABPRE.KOLT='01P'";
const std::string kMaepremP1 = "MAEPREM.EMPRESA='01' AND MAEPREM.KOPR='P1'";

std::string ListSeek(const std::string& list, const std::string& product) {
  return "SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK )  WHERE KOLT='" + list + "' AND KOPR='" +
         product + "'";
}

// The built-in variables and a few of the ERP's own, ordered by code.
Catalogue TestCatalogue() {
  Catalogue c;
  for (const BuiltinVariable& b : BuiltinVariables()) {
    std::string code = b.code;
    c.push_back({code, b.name, b.group, 0});
  }
  c.push_back({"IVA", "IVA", kGroupValorPropio, 19});
  c.push_back({"FLETE", "Flete", kGroupPorProducto, 0});
  c.push_back({"DESCLI", "Descuento cliente", kGroupPorEntidad, 0});
  c.push_back({"RECZONA", "Recargo zona", kGroupPorZona, 0});
  c.push_back({"XDOC", "Valor documento", kGroupValorDocue, 0});
  c.push_back({"DTO01", "DTO01", kGroupPorTabpp, 0});
  std::sort(c.begin(), c.end(), [](auto& a, auto& b) { return a.code < b.code; });
  return c;
}

struct Step {
  int depth;
  FormulaStep step;
  std::string text;
};

class RecordingObserver : public FormulaObserver {
 public:
  void OnStep(int depth, FormulaStep step, const std::string& text) override {
    steps.push_back({depth, step, text});
  }
  std::vector<std::string> Texts(FormulaStep step) const {
    std::vector<std::string> out;
    for (const Step& s : steps) {
      if (s.step == step) out.push_back(s.text);
    }
    return out;
  }
  std::vector<Step> steps;
};

class FormulaTest : public orderstest::ScriptedSessionTest {
 protected:
  FormulaTest() {
    db_->On(kLayout).Returns(TabpreColumns(), {});
    context_.product = "P1";
    context_.list_code = "01P";
    context_.customer = "C1";
    context_.issue_date = {2025, 6, 10};
    context_.first_due_date = {2025, 7, 10};
    context_.last_due_date = {2025, 8, 9};
    evaluator_.set_observer(&observer_);
  }

  double Eval(const std::string& formula) { return evaluator_.RESUECUSQL(context_, formula); }

  void ScriptResult(const std::string& sql, std::vector<ScriptedRow> rows) {
    db_->On(sql).Returns({{"RESUL", SQL_NUMERIC, 38, 6}}, std::move(rows));
  }
  void ScriptListRow(const std::string& list, const std::string& product,
                     std::vector<ScriptedRow> rows) {
    db_->On(ListSeek(list, product)).Returns(TabpreColumns(), std::move(rows));
  }
  // The statements sent after the layout query.
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const std::string& s : db_->statements()) {
      if (s != kLayout) out.push_back(s);
    }
    return out;
  }

  ClockReading now_{{2025, 6, 10}, 9 * 3600 + 30 * 60};
  Catalogue catalogue_ = TestCatalogue();
  SessionFormulaSource source_{session_};
  FormulaEvaluator evaluator_{source_, catalogue_, "01", [this] { return now_; }};
  RecordingObserver observer_;
  PriceContext context_;
};

TEST_F(FormulaTest, DiscountFactorQueriesTheListRow) {
  const std::string sql =
      "SELECT 1.0*TABPRE.PP01UD*(1-10*.01) AS RESUL FROM TABPRE WHERE " + kTabpreP1;
  ScriptResult(sql, {{"900.000000"}});
  EXPECT_EQ(Eval("pp01ud*{10}#3"), 900);
  EXPECT_EQ(Sent(), std::vector<std::string>{sql});
  EXPECT_EQ(observer_.Texts(FormulaStep::kValueQuery), std::vector<std::string>{sql});
}

TEST_F(FormulaTest, ProductMasterValuesComeFromMaeprAndMaepremStaysJoined) {
  const std::string master = "SELECT RLUD,CAMICO,TTREPR,LTSUBIC,PESOUBIC FROM MAEPR WHERE KOPR='P1' ";
  db_->On(master).Returns({{"RLUD", SQL_DOUBLE, 15, 0}, {"CAMICO", SQL_DOUBLE, 15, 0},
                           {"TTREPR", SQL_DOUBLE, 15, 0}, {"LTSUBIC", SQL_DOUBLE, 15, 0},
                           {"PESOUBIC", SQL_DOUBLE, 15, 0}},
                          {{"12", "2.4", "3", "1.5", "0.25"}});
  const std::string sql = "SELECT 1.0*TABPRE.PP01UD/12 AS RESUL FROM TABPRE,MAEPREM WHERE " +
                          kTabpreP1 + "  AND  " + kMaepremP1;
  ScriptResult(sql, {{"83.333333"}});
  EXPECT_DOUBLE_EQ(Eval("pp01ud/rlud"), 83.33333);
  // The other four take the formula's own rounding code ("1": two decimals).
  const std::string sql2 = "SELECT 1.0*2.4+3+1.5+0.25 AS RESUL FROM MAEPREM WHERE " + kMaepremP1;
  ScriptResult(sql2, {{"7.15"}});
  EXPECT_DOUBLE_EQ(Eval("camico+ttrepr+ltsubic+pesoubic#1"), 7.15);
  EXPECT_EQ(Sent(), (std::vector<std::string>{master, sql, master, sql2}));
}

TEST_F(FormulaTest, ProductWithoutMaeprRowReadsOnes) {
  const std::string sql = "SELECT 1.0*TABPRE.PP01UD/1 AS RESUL FROM TABPRE,MAEPREM WHERE " +
                          kTabpreP1 + "  AND  " + kMaepremP1;
  ScriptResult(sql, {{"1000"}});
  EXPECT_EQ(Eval("pp01ud/rlud"), 1000);
}

TEST_F(FormulaTest, ConstantsAveragePricesAndSourcesQualifyTheExpression) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"pp01ud*(1+iva/100)",
       "SELECT 1.0*TABPRE.PP01UD*(1+19.000/100) AS RESUL FROM TABPRE WHERE " + kTabpreP1},
      {"pm*2+flete", "SELECT 1.0*1*2+PDIMEN.FLETE AS RESUL FROM MAEPREM,PDIMEN WHERE " +
                         kMaepremP1 + "  AND PDIMEN.CODIGO='P1'"},
      {"pp01ud*{descli}",
       "SELECT 1.0*TABPRE.PP01UD*(1-PDIMCLI.DESCLI*.01) AS RESUL FROM TABPRE,PDIMCLI WHERE " +
           kTabpreP1 + "  AND PDIMCLI.CODIGO='C1'"},
  };
  for (const auto& [formula, sql] : cases) {
    ScriptResult(sql, {{"5"}});
    EXPECT_EQ(Eval(formula), 5) << formula;
    EXPECT_EQ(Sent().back(), sql) << formula;
  }
}

TEST_F(FormulaTest, DirectComputations) {
  const std::pair<const char*, double> cases[] = {
      {"xyz+5", 5},    {"1234#9", 1250},  {"1234#5", 1240}, {"1234#4", 1235},
      {"1234#6", 1230}, {"1234#8", 1300}, {"2.1#E", 3},     {"2.675#1", 2.68},
      {"5#x", 5},      {"5.4#", 5},       {"{5}", 0.95},    {"10/0+3", 3},
      {"5*", 0},       {"(1+2", 0},       {"", 0},          {"  7 * 3  #3", 21},
      {"1/3", 0.33333}, {"xyz", 0},
  };
  for (const auto& [formula, expected] : cases) {
    EXPECT_DOUBLE_EQ(Eval(formula), expected) << formula;
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(FormulaTest, FormulaWithoutRoundingCodeIsCutAt120Characters) {
  // 60 terms "+1" make 120 characters; the ten after them are not evaluated.
  std::string formula;
  for (int i = 0; i < 60; ++i) formula += "+1";
  formula += "+100000000";
  ASSERT_EQ(formula.size(), 130u);
  EXPECT_EQ(Eval(formula), 60);
  EXPECT_EQ(Eval(formula + "#3"), 100000060);
}

TEST_F(FormulaTest, DocumentValuesAreReplacedFirst) {
  const DocumentValues values{100, 80, 3, 0.5, 40};
  EXPECT_DOUBLE_EQ(evaluator_.RESUECUSQL(context_, "vabrdo+vanedo+caprco1+caprco2+vaneli", values),
                   223.5);
  // Another document value is written against EDO, which pricing has no row
  // for: 0, and no statement is sent.
  EXPECT_EQ(Eval("xdoc+5"), 0);
  EXPECT_EQ(Eval("pp01ud+xdoc"), 0);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(FormulaTest, ValueQueryWithoutRowOrFailingGivesZero) {
  const std::string sql = "SELECT 1.0*TABPRE.PP01UD AS RESUL FROM TABPRE WHERE " + kTabpreP1;
  ScriptResult(sql, {});
  EXPECT_EQ(Eval("pp01ud"), 0);
  db_->On(sql).Fails("Invalid column name");
  // A rule added later does not win over the first: use another formula.
  const std::string sql2 = "SELECT 1.0*TABPRE.PP02UD AS RESUL FROM TABPRE WHERE " + kTabpreP1;
  db_->On(sql2).Fails("Invalid column name");
  EXPECT_EQ(Eval("pp02ud"), 0);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_NE(platform_.messages[0].text.find(sql2), std::string::npos);
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(FormulaTest, ValuesInStatementTextAreLiterals) {
  context_.product = "P'1";
  context_.list_code = "0'P";
  const std::string sql =
      "SELECT 1.0*TABPRE.PP01UD AS RESUL FROM TABPRE WHERE TABPRE.KOPR='P''1' AND "
      "TABPRE.KOLT='0''P'";
  ScriptResult(sql, {{"3"}});
  EXPECT_EQ(Eval("pp01ud"), 3);
  EXPECT_EQ(Sent(), std::vector<std::string>{sql});
}

TEST_F(FormulaTest, ZoneComesFromTheCustomersBranch) {
  db_->On("SELECT TOP 1 ZOEN FROM MAEEN WITH ( NOLOCK )  WHERE KOEN='C1' AND SUEN='S1'")
      .Returns({{"ZOEN", SQL_CHAR, 3, 0}}, {{"NOR"}});
  context_.customer_branch = "S1";
  const std::string sql =
      "SELECT 1.0*TABZO.RECZONA AS RESUL FROM TABZO WHERE TABZO.KOZO='NOR'";
  ScriptResult(sql, {{"4"}});
  EXPECT_EQ(Eval("reczona"), 4);
  // No customer: the empty zone, without a look-up.
  context_.customer.clear();
  const std::string empty = "SELECT 1.0*TABZO.RECZONA AS RESUL FROM TABZO WHERE TABZO.KOZO=''";
  ScriptResult(empty, {{"2"}});
  EXPECT_EQ(Eval("reczona"), 2);
  EXPECT_EQ(Sent().size(), 3u);
}

TEST_F(FormulaTest, ListReferenceReadsStoredValueOrBringsInActiveFormula) {
  // VTA holds an inactive formula and a stored 1000.
  ScriptListRow("VTA", "P1", {TabpreRow({{"KOLT", "VTA"}, {"KOPR", "P1"}, {"PP01UD", "1000"},
                                        {"ECUACION", "PP02UD*3"}})});
  EXPECT_DOUBLE_EQ(Eval("<VTA>PP01UD*0.9"), 900);
  // A product without a row in VTA reads 0.
  ScriptListRow("VTA", "P2", {});
  context_.product = "P2";
  EXPECT_EQ(Eval("<VTA>PP01UD*0.9+1"), 1);
}

TEST_F(FormulaTest, ActiveFormulaOfAnotherListIsExpandedOnTheNextPass) {
  ScriptListRow("VTA", "P1", {TabpreRow({{"KOLT", "VTA"}, {"KOPR", "P1"}, {"PP01UD", "1000"},
                                        {"PP02UD", "600"}, {"ECUACION", "pp02ud*2"}})});
  EXPECT_DOUBLE_EQ(Eval("<VTA>PP01UD*0.9"), 1080);
  EXPECT_EQ(observer_.Texts(FormulaStep::kListPass),
            (std::vector<std::string>{"1: (<VTA>pp02ud*2)*0.9 (formula brought in)",
                                      "2: (600*2)*0.9"}));
}

TEST_F(FormulaTest, ReferenceToAColumnTABPREDoesNotHaveCutsTheFormula) {
  ScriptListRow("VTA", "P1", {TabpreRow({{"PP01UD", "1000"}})});
  EXPECT_EQ(Eval("(7)<VTA>NOSUCH*2"), 7);
  EXPECT_EQ(Eval("7+<VTA>NOSUCH*2"), 0);  // "7+" is left: not arithmetic
}

TEST_F(FormulaTest, ListsReferringToEachOtherEndAfterTwentyPasses) {
  ScriptListRow("AAA", "P1", {TabpreRow({{"PP01UD", "5"}, {"ECUACION", "<bbb>pp01ud"}})});
  ScriptListRow("BBB", "P1", {TabpreRow({{"PP01UD", "5"}, {"ECUACION", "<aaa>pp01ud"}})});
  EXPECT_EQ(Eval("<AAA>PP01UD+1"), 0);
  EXPECT_EQ(Sent().size(), 20u);  // one look-up per pass
  EXPECT_EQ(observer_.Texts(FormulaStep::kListPass).back(),
            "still unresolved: the formula is blank");
}

TEST_F(FormulaTest, ValueConditionsTestTheQuantities) {
  EXPECT_EQ(Eval("[0,10,caprco1,5][11,99999,caprco1,8]"), 5);
  EXPECT_EQ(Eval("[1,10,caprco1,5][11,99999,caprco1,8]"), 8);
  context_.quantity1 = 12;
  EXPECT_EQ(Eval("[1,10,caprco1,5][11,99999,caprco1,8]"), 8);
  // Text around chains stays; a short group has an empty value.
  EXPECT_EQ(Eval("2*[0,10,0,5][11,20,0,8]+1"), 11);
  EXPECT_EQ(Eval("[0,10,5]3"), 3);
}

TEST_F(FormulaTest, DateConditionsOnAFixedClock) {
  const std::string formula =
      "[F(01/01/24),F(31/12/24),F(HOY),1000][F(01/01/25),F(31/12/25),F(HOY),1100]";
  now_.today = {2025, 6, 10};
  EXPECT_EQ(Eval(formula), 1100);
  now_.today = {2026, 6, 10};
  EXPECT_EQ(Eval(formula), 1100);  // no group holds: the last one's value
  now_.today = {2024, 3, 1};
  EXPECT_EQ(Eval(formula), 1000);
  // Due dates and DIFF: 30 days from the first to the last due date.
  EXPECT_EQ(Eval("[F(FE),F(FE+40),F(F1V),DIFF(FUV-F1V)*2][F(01/01/20),F(01/01/21),F(HOY),1]"),
            60);
  EXPECT_EQ(Eval("[F(FE+31),F(FE+40),F(F1V),5][F(01/01/20),F(01/01/21),F(HOY),1]"), 1);
}

TEST_F(FormulaTest, TimeConditionsOnAFixedClock) {
  const std::string formula = "[H(08:00),H(12:00),H(AHORA),5][H(12:01),H(23:59),H(AHORA),7]";
  now_.seconds = 9 * 3600 + 30 * 60;
  EXPECT_EQ(Eval(formula), 5);
  now_.seconds = 12 * 3600 + 30 * 60;
  EXPECT_EQ(Eval(formula), 7);
  EXPECT_EQ(Eval("[H(AHORA),H(AHORA),H(AHORA),3][H(00:00),H(00:01),H(AHORA),4]"), 3);
}

TEST_F(FormulaTest, ObserverSeesEveryStepAndNestedDepth) {
  EXPECT_EQ(Eval("xyz+[0,10,caprco1,5]#3"), 5);
  std::vector<FormulaStep> outer;
  bool nested = false;
  for (const Step& s : observer_.steps) {
    if (s.depth == 0) outer.push_back(s.step);
    nested = nested || s.depth == 1;
  }
  EXPECT_TRUE(nested);
  EXPECT_EQ(outer, (std::vector<FormulaStep>{
                       FormulaStep::kSplit, FormulaStep::kDocumentValues,
                       FormulaStep::kListPass, FormulaStep::kCondition, FormulaStep::kChains,
                       FormulaStep::kQualified, FormulaStep::kDirect, FormulaStep::kRounded}));
  EXPECT_EQ(observer_.Texts(FormulaStep::kChains), std::vector<std::string>{"XYZ+5"});
  EXPECT_EQ(observer_.Texts(FormulaStep::kQualified), (std::vector<std::string>{"0 []", "+5 []"}));  // the nested one first
}

TEST_F(FormulaTest, EveryComposedStatementIsTsql) {
  db_->On("SELECT TOP 1 ZOEN FROM MAEEN WITH ( NOLOCK )  WHERE KOEN='C1' AND SUEN=''")
      .Returns({{"ZOEN", SQL_CHAR, 3, 0}}, {{"NOR"}});
  context_.product = "P'1";
  for (const char* formula :
       {"pp01ud*{10}#3", "pp01ud/rlud", "pp01ud*(1+iva/100)", "pm*2+flete+descli",
        "camico+ttrepr+ltsubic+pesoubic#1", "reczona*-2", "<VTA>PP01UD*0.9+pp02ud",
        "dto01*{dto01}", "pp01ud/0", "xyz+[0,10,0,5]*pp01ud"}) {
    Eval(formula);
  }
  std::vector<std::string> statements = db_->statements();
  EXPECT_EQ(statements.size(), 14u);  // with the layout, MAEPR, MAEEN and VTA reads
  EXPECT_ALL_TSQL(statements);
}

}  // namespace
}  // namespace orders
