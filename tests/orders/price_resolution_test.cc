// Price resolution against the scripted database double: the look-up texts,
// the list chosen, due dates, net and gross lists, active and inactive
// formulas, discount pairs, the missing settings row, failed look-ups and the
// reuse of look-ups within one import.
#include "orders/price_resolution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "db/lookups.h"
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

std::string SettingsSeek(const std::string& company, const std::string& modality) {
  return "SELECT TOP 1 ESUCURSAL,EBODEGA,ELISTAVEN FROM CONFIEST WITH ( NOLOCK )  WHERE "
         "EMPRESA='" +
         company + "' AND MODALIDAD='" + modality + "'";
}
std::string CustomerSeek(const std::string& customer, const std::string& branch) {
  return "SELECT TOP 1 LVEN,DIPRVE,NUVECR,DIASVENCI,KOFUEN FROM MAEEN WITH ( NOLOCK )  WHERE "
         "KOEN='" +
         customer + "' AND SUEN='" + branch + "'";
}
std::string TaxSeek(const std::string& product) {
  return "SELECT TOP 1 TABIMPR.* FROM TABIMPR INNER JOIN TABIM ON TABIM.KOIM=TABIMPR.KOIM AND "
         "TABIM.POIM<>0 WHERE KOPR='" +
         product + "'";
}
std::string VatSeek(const std::string& product) {
  return "SELECT TOP 1 * FROM MAEPR WITH (NOLOCK) INNER JOIN MAEPREM WITH (NOLOCK) ON "
         "MAEPR.KOPR=MAEPREM.KOPR AND MAEPREM.EMPRESA='01'  WHERE MAEPR.KOPR='" +
         product + "'";
}
std::string PriceRowSeek(const std::string& product, const std::string& list) {
  return "SELECT TOP 1 TABPRE.*,TABPP.MELT,TABPP.ECUDEF01UD,TABPP.ECUDEF02UD FROM TABPRE WITH "
         "(NOLOCK) INNER JOIN TABPP WITH (NOLOCK) ON TABPRE.KOLT=TABPP.KOLT WHERE TABPRE.KOPR='" +
         product + "' AND TABPRE.KOLT='" + list + "'";
}
std::string DiscountSeek(const std::string& product, const std::string& list) {
  return "SELECT TOP 1 TABPRE.*,TABPP.OPERA FROM TABPRE INNER JOIN TABPP ON "
         "TABPP.KOLT=TABPRE.KOLT WHERE TABPRE.KOPR='" +
         product + "' AND TABPRE.KOLT='" + list + "'";
}
std::string RateSeek(const std::string& code) {
  return "SELECT TOP 1 POIM FROM TABIM WITH ( NOLOCK )  WHERE KOIM='" + code + "'";
}

// OPERA with the given characters from position 29 on.
std::string Opera(const std::string& from29) { return std::string(28, 'X') + from29; }

class PricingTest : public orderstest::ScriptedSessionTest {
 protected:
  PricingTest() {
    db_->On(kLayout).Returns(TabpreColumns(), {});
    resolver_.set_observer(&observer_);
  }

  void Settings(std::optional<std::string> list, const std::string& modality = "M1") {
    std::vector<ScriptedRow> rows;
    if (list) rows.push_back({"SUC", "BOD", *list});
    db_->On(SettingsSeek("01", modality))
        .Returns({{"ESUCURSAL", SQL_CHAR, 3, 0},
                  {"EBODEGA", SQL_CHAR, 3, 0},
                  {"ELISTAVEN", SQL_CHAR, 8, 0}},
                 rows);
  }
  void Customer(const std::string& lven, const std::string& diprve = "0",
                const std::string& nuvecr = "0", const std::string& diasvenci = "0") {
    db_->On(CustomerSeek("C1", "S1"))
        .Returns({{"LVEN", SQL_CHAR, 8, 0},
                  {"DIPRVE", SQL_DOUBLE, 15, 0},
                  {"NUVECR", SQL_DOUBLE, 15, 0},
                  {"DIASVENCI", SQL_DOUBLE, 15, 0},
                  {"KOFUEN", SQL_CHAR, 3, 0}},
                 {{lven, diprve, nuvecr, diasvenci, "V01"}});
  }
  // An additional tax: {KOIM, NOAPLICEN, POIM}, or none.
  void Tax(const std::string& product, std::optional<std::array<std::string, 3>> tax) {
    std::vector<ScriptedRow> rows;
    if (tax) rows.push_back({(*tax)[0], product, (*tax)[1]});
    db_->On(TaxSeek(product))
        .Returns({{"KOIM", SQL_CHAR, 3, 0},
                  {"KOPR", SQL_CHAR, 13, 0},
                  {"NOAPLICEN", SQL_VARCHAR, 50, 0}},
                 rows);
    if (tax) db_->On(RateSeek((*tax)[0])).Returns({{"POIM", SQL_DOUBLE, 15, 0}}, {{(*tax)[2]}});
  }
  void Vat(const std::string& product, const std::string& vat) {
    db_->On(VatSeek(product))
        .Returns({{"KOPR", SQL_CHAR, 13, 0},
                  {"POIVPR", SQL_DOUBLE, 15, 0},
                  {"EMPRESA", SQL_CHAR, 2, 0},
                  {"KOPR", SQL_CHAR, 13, 0}},
                 {{product, vat, "01", product}});
  }
  // The product's row of the list; no row when `melt` is empty.
  void PriceRow(const std::string& product, const std::string& list, const std::string& melt,
                const std::string& pp01ud, const std::string& ecuacion = "",
                const std::string& ecudef = "") {
    auto columns = TabpreColumns();
    columns.push_back({"MELT", SQL_CHAR, 1, 0});
    columns.push_back({"ECUDEF01UD", SQL_VARCHAR, 250, 0});
    columns.push_back({"ECUDEF02UD", SQL_VARCHAR, 250, 0});
    std::vector<ScriptedRow> rows;
    if (!melt.empty()) {
      ScriptedRow row = TabpreRow(
          {{"KOLT", list}, {"KOPR", product}, {"PP01UD", pp01ud}, {"ECUACION", ecuacion}});
      row.push_back(melt);
      row.push_back(ecudef);
      row.push_back(std::nullopt);
      rows.push_back(row);
    }
    db_->On(PriceRowSeek(product, list)).Returns(columns, rows);
  }
  // Pairs DTO01..DTO04 with their formulas EDTO01..EDTO04; no row without OPERA.
  void DiscountRow(const std::string& product, const std::string& list,
                   std::optional<std::string> opera, std::vector<std::string> values = {},
                   std::vector<std::string> formulas = {}) {
    auto columns = TabpreColumns();
    columns.push_back({"OPERA", SQL_VARCHAR, 150, 0});
    std::vector<ScriptedRow> rows;
    if (opera) {
      std::vector<std::pair<std::string, std::string>> named = {{"KOLT", list}, {"KOPR", product}};
      for (size_t i = 0; i < values.size(); ++i) {
        named.push_back({"DTO0" + std::to_string(i + 1), values[i]});
      }
      for (size_t i = 0; i < formulas.size(); ++i) {
        named.push_back({"EDTO0" + std::to_string(i + 1), formulas[i]});
      }
      ScriptedRow row = TabpreRow(named);
      row.push_back(*opera);
      rows.push_back(row);
    }
    db_->On(DiscountSeek(product, list)).Returns(columns, rows);
  }
  // A customer on the default list 01P, product P1 at 1000 net, VAT 19, no
  // additional tax, no discounts. Rules are tried in the order added, so a
  // test scripts its own answers first.
  void PlainWorld() {
    Settings("TABPP01P");
    Customer("");
    Tax("P1", std::nullopt);
    Vat("P1", "19");
    PriceRow("P1", "01P", "N", "1000");
    DiscountRow("P1", "01P", std::nullopt);
  }

  ResolvedPrice Resolve(const std::string& product = "P1") {
    return resolver_.RESUELVEPRECIO("M1", product, "C1", "S1", "01");
  }
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const std::string& s : db_->statements()) {
      if (s != kLayout) out.push_back(s);
    }
    return out;
  }
  std::vector<std::string> Steps(PriceStep step) const {
    std::vector<std::string> out;
    for (const auto& [s, text] : observer_.steps) {
      if (s == step) out.push_back(text);
    }
    return out;
  }

  struct Recorder : PriceObserver {
    void OnPriceStep(PriceStep step, const std::string& text) override {
      steps.push_back({step, text});
    }
    std::vector<std::pair<PriceStep, std::string>> steps;
  };

  Catalogue catalogue_ = [] {
    Catalogue c;
    for (const BuiltinVariable& b : BuiltinVariables()) c.push_back({b.code, b.name, b.group, 0});
    std::sort(c.begin(), c.end(), [](auto& a, auto& b) { return a.code < b.code; });
    return c;
  }();
  Clock clock_ = [] { return ClockReading{{2024, 3, 1}, 10 * 3600}; };
  SessionFormulaSource source_{session_};
  FormulaEvaluator evaluator_{source_, catalogue_, "01", clock_};
  PriceResolver resolver_{session_, evaluator_, clock_};
  Recorder observer_;
};

TEST_F(PricingTest, LookUpTextsInOrderAndCustomerListOverDefault) {
  Settings("TABPP01P");
  Customer("TABPP05P");
  Tax("P1", std::array<std::string, 3>{"ILA", "", "10"});
  Vat("P1", "19");
  PriceRow("P1", "05P", "B", "1190");
  DiscountRow("P1", "05P", Opera(" "), {"5"});

  const ResolvedPrice r = Resolve();
  EXPECT_TRUE(r.priced());
  EXPECT_DOUBLE_EQ(r.price, 922.481);
  EXPECT_EQ(r.discounts, (std::array<double, 4>{5, 0, 0, 0}));
  const std::vector<std::string> expected = {SettingsSeek("01", "M1"),
                                             CustomerSeek("C1", "S1"),
                                             TaxSeek("P1"),
                                             VatSeek("P1"),
                                             PriceRowSeek("P1", "05P"),
                                             RateSeek("ILA"),
                                             DiscountSeek("P1", "05P")};
  EXPECT_EQ(Sent(), expected);
  EXPECT_EQ(Steps(PriceStep::kList),
            std::vector<std::string>{"05P from the customer's LVEN 'TABPP05P'"});

  // A quote in handheld data is doubled in every look-up (the rest of this
  // world is unscripted and reads as failed look-ups).
  Settings("TABPP0'P", "M''1");
  resolver_.RESUELVEPRECIO("M'1", "P'1", "C'1", "S1", "01");
  std::vector<std::string> all = db_->statements();
  const std::vector<std::string> quoted(all.end() - 6, all.end());
  EXPECT_EQ(quoted,
            (std::vector<std::string>{SettingsSeek("01", "M''1"), CustomerSeek("C''1", "S1"),
                                      TaxSeek("P''1"), VatSeek("P''1"),
                                      PriceRowSeek("P''1", "0''P"), DiscountSeek("P''1", "0''P")}));
  all.push_back(ListPriceStatement("P'1", "01P"));
  all.push_back(db::SeekStatement(VatFrom("0'1"), {"MAEPR.KOPR"}, {db::Value::Text("P'1")}));
  EXPECT_ALL_TSQL(all);
}

TEST_F(PricingTest, EmptyCustomerListTakesTheCompanyDefault) {
  for (const char* lven : {"", "        "}) {
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    db_->On(kLayout).Returns(TabpreColumns(), {});
    resolver_.ClearCache();
    Customer(lven);
    PlainWorld();
    const ResolvedPrice r = Resolve();
    EXPECT_EQ(r.price, 1000) << "'" << lven << "'";
    EXPECT_EQ(Sent().at(4), PriceRowSeek("P1", "01P"));
  }
}

TEST(DueDatesTest, CustomerTerms) {
  const db::Date march1{2024, 3, 1};
  struct Case {
    double diprve, nuvecr, diasvenci;
    db::Date first, last;
  } cases[] = {
      {0, 0, 0, march1, march1},
      {30, 0, 0, {2024, 3, 31}, {2024, 3, 31}},
      {30, 3, 0, {2024, 3, 31}, {2024, 5, 30}},  // two more steps of 30 days
      {30, 3, 15, {2024, 3, 31}, {2024, 4, 30}},
      {0, 2, 10, march1, {2024, 3, 11}},
      {0, 1, 10, march1, march1},
  };
  for (const Case& c : cases) {
    const DueDates d = CustomerDueDates(march1, c.diprve, c.nuvecr, c.diasvenci);
    EXPECT_EQ(d.issue, march1);
    EXPECT_EQ(d.first_due, c.first) << c.diprve << " " << c.nuvecr << " " << c.diasvenci;
    EXPECT_EQ(d.last_due, c.last) << c.diprve << " " << c.nuvecr << " " << c.diasvenci;
  }
  EXPECT_EQ(SUMAMESALCLIENTE(march1, 2, 0), (db::Date{2024, 4, 30}));
}

TEST_F(PricingTest, CustomerTermsReachTheContext) {
  Customer("", "30", "3", "0");
  PlainWorld();
  Resolve();
  EXPECT_EQ(
      Steps(PriceStep::kDates),
      std::vector<std::string>{"issue 01/03/2024, first due 31/03/2024, last due 30/05/2024"});
}

TEST_F(PricingTest, NetAndGrossLists) {
  struct Case {
    const char* name;
    std::string melt, pp01ud;
    std::optional<std::array<std::string, 3>> tax;
    double price;
  } cases[] = {
      {"gross", "B", "1190", std::nullopt, 1000},
      {"gross with additional tax", "B", "1190", std::array<std::string, 3>{"ILA", "", "10"},
       922.481},
      {"tax not for sales", "B", "1190", std::array<std::string, 3>{"ILA", "ventas", "10"}, 1000},
      {"net", "N", "1000", std::array<std::string, 3>{"ILA", "", "10"}, 1000},
      {"list numbers read to six decimals", "N", "0.1234567", std::nullopt, 0.123457},
      {"unknown kind", "X", "1000", std::nullopt, 0},
      {"not in the list", "", "", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    resolver_.ClearCache();
    Tax("P1", c.tax);
    PriceRow("P1", "01P", c.melt, c.pp01ud);
    PlainWorld();
    const ResolvedPrice r = Resolve();
    EXPECT_TRUE(r.priced()) << c.name;
    EXPECT_DOUBLE_EQ(r.price, c.price) << c.name;
  }
}

TEST_F(PricingTest, ActiveAndInactivePriceFormulas) {
  struct Case {
    std::string pp01ud, ecuacion, ecudef;
    std::optional<std::string> query_result;  // the value query's answer, when one is sent
    double price;
    std::string source;  // start of the base price step
  } cases[] = {
      {"1000", "pp01ud*1.1#3", "", "1100", 1100, "ECUACION 'pp01ud*1.1#3' (active)"},
      {"1000", "PP01UD*1.1#3", "", std::nullopt, 1000, "stored PP01UD 1000"},
      {"0", "PP01UD*1.1+5#3", "", "5", 5, "ECUACION 'PP01UD*1.1+5#3' (inactive, but PP01UD is 0)"},
      {"1000", "", "pp01ud*2", "2000", 2000, "ECUDEF01UD 'pp01ud*2' (active)"},
      {"1000", "PP01UD", "PP01UD*2", std::nullopt, 1000, "stored PP01UD 1000"},
      {"1000", "  ", "", std::nullopt, 1000, "stored PP01UD 1000"},
      // The rounding code plays no part in a price formula's activity.
      {"1000", "450+50 #X", "", std::nullopt, 500, "ECUACION '450+50 #X' (active)"},
      {"1000", "450+A #3", "", std::nullopt, 1000, "stored PP01UD 1000"},
  };
  for (const Case& c : cases) {
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    db_->On(kLayout).Returns(TabpreColumns(), {});
    observer_.steps.clear();
    resolver_.ClearCache();
    PriceRow("P1", "01P", "N", c.pp01ud, c.ecuacion, c.ecudef);
    PlainWorld();
    if (c.query_result) {
      db_->OnPrefix("SELECT 1.0*").Returns({{"RESUL", SQL_NUMERIC, 38, 6}}, {{*c.query_result}});
    }
    const ResolvedPrice r = Resolve();
    EXPECT_DOUBLE_EQ(r.price, c.price) << c.ecuacion << " / " << c.ecudef;
    const auto base = Steps(PriceStep::kBasePrice);
    ASSERT_EQ(base.size(), 1u);
    EXPECT_EQ(base[0].substr(0, c.source.size()), c.source);
    size_t queries = 0;
    for (const std::string& s : Sent()) queries += s.rfind("SELECT 1.0*", 0) == 0;
    EXPECT_EQ(queries, c.query_result ? 1u : 0u) << c.ecuacion;
  }
}

TEST_F(PricingTest, DiscountPairs) {
  struct Case {
    const char* name;
    std::string opera;
    std::vector<std::string> values, formulas;
    std::array<double, 4> discounts;
  } cases[] = {
      {"X marks a non-discount pair", Opera(" X "), {"5", "7", "3"}, {}, {5, 3, 0, 0}},
      {"zero takes no place", Opera("   "), {"0", "4", "6"}, {}, {4, 6, 0, 0}},
      {"beyond OPERA counts as blank", Opera(""), {"1", "2", "3", "4"}, {}, {1, 2, 3, 4}},
      {"active formula", Opera("    "), {"9", "2"}, {"5+2", ""}, {7, 2, 0, 0}},
      {"rounding code T is a capital", Opera("    "), {"9"}, {"5+2#T"}, {9, 0, 0, 0}},
      {"inactive formula", Opera("    "), {"9"}, {"DTO01+1"}, {9, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    db_->On(kLayout).Returns(TabpreColumns(), {});
    resolver_.ClearCache();
    DiscountRow("P1", "01P", c.opera, c.values, c.formulas);
    PlainWorld();
    EXPECT_EQ(Resolve().discounts, c.discounts) << c.name;
  }
}

TEST_F(PricingTest, NoSettingsRowIsReportedAndNothingElseIsRead) {
  Settings(std::nullopt);
  const ResolvedPrice r = Resolve();
  EXPECT_EQ(r.status, PriceStatus::kNoSettingsRow);
  EXPECT_EQ(Sent(), std::vector<std::string>{SettingsSeek("01", "M1")});
}

TEST_F(PricingTest, FailedLookUpIsReportedInsteadOfEndingTheProgram) {
  for (const std::string& failing :
       {CustomerSeek("C1", "S1"), TaxSeek("P1"), VatSeek("P1"), PriceRowSeek("P1", "01P"),
        DiscountSeek("P1", "01P"), SettingsSeek("01", "M1")}) {
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    resolver_.ClearCache();
    db_->On(failing).Fails("Invalid column name");
    PlainWorld();
    const ResolvedPrice r = Resolve();
    EXPECT_EQ(r.status, PriceStatus::kLookupFailed) << failing;
    EXPECT_EQ(r.failed_statement, failing);
  }
  // A failed query is not kept: the next line asks again.
  const size_t before = db_->statements().size();
  Resolve();
  EXPECT_EQ(db_->statements().size(), before + 1);
}

TEST_F(PricingTest, SecondLineReusesEveryLookUp) {
  Customer("", "30", "3", "0");
  Tax("P1", std::array<std::string, 3>{"ILA", "", "10"});
  PriceRow("P1", "01P", "B", "1190", "pp01ud*1");
  DiscountRow("P1", "01P", Opera("  "), {"5", "3"});
  PlainWorld();
  Tax("P2", std::nullopt);
  Vat("P2", "19");
  PriceRow("P2", "01P", "N", "700");
  DiscountRow("P2", "01P", std::nullopt);
  db_->OnPrefix("SELECT 1.0*").Returns({{"RESUL", SQL_NUMERIC, 38, 6}}, {{"1190"}});

  const ResolvedPrice first = Resolve();
  const size_t after_first = Sent().size();
  const ResolvedPrice second = Resolve();
  EXPECT_EQ(Sent().size(), after_first + 1);  // only the formula's value query again
  EXPECT_EQ(Sent().back().rfind("SELECT 1.0*", 0), 0u);
  EXPECT_EQ(second.price, first.price);
  EXPECT_EQ(second.discounts, first.discounts);
  EXPECT_DOUBLE_EQ(first.price, 922.481);

  // Another product of the same customer: only the product's own look-ups.
  Resolve("P2");
  const std::vector<std::string> sent = Sent();
  EXPECT_EQ(std::vector<std::string>(sent.end() - 4, sent.end()),
            (std::vector<std::string>{TaxSeek("P2"), VatSeek("P2"), PriceRowSeek("P2", "01P"),
                                      DiscountSeek("P2", "01P")}));

  // Without the reuse every look-up is sent again, with the same result.
  resolver_.set_cache_enabled(false);
  const size_t before = Sent().size();
  const ResolvedPrice uncached = Resolve();
  EXPECT_EQ(Sent().size(), before + 8);
  EXPECT_EQ(uncached.price, first.price);
  EXPECT_EQ(uncached.discounts, first.discounts);
}

}  // namespace
}  // namespace orders
