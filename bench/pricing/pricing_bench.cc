// One order import of 20 orders x 25 lines over 30 products and 5 customers,
// priced by the service's own machinery (session reads behind the formula
// cache, the evaluator, the price resolver), against the scripted database
// double. Measured with the reuse of look-ups within the import on and off:
// statements sent per line, pricing look-ups per line and lines per second.
// Before timing, one import in each mode checks that both write the same
// prices (the recorded line updates are compared).
//
// The time includes the double's rule matching and the import's local-table
// copies, which are the same in both modes; the difference between the modes
// is the cost of the look-ups that the reuse saves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/tinicio.h"
#include "config/trace.h"
#include "db/session.h"
#include "orders/cached_formula_source.h"
#include "orders/catalogue.h"
#include "orders/formula.h"
#include "orders/formula_source.h"
#include "orders/numbering.h"
#include "orders/order_import.h"
#include "orders/order_statements.h"
#include "orders/price_resolution.h"
#include "support/scripted_db.h"

namespace {

using testsupport::ScriptedConnection;
using testsupport::ScriptedRow;

constexpr int kOrders = 20;
constexpr int kLinesPerOrder = 25;
constexpr int kProducts = 30;
constexpr int kCustomers = 5;
constexpr int kSellers = 4;

// A platform that shows nothing: the benchmark measures the import.
class QuietPlatform : public ui::Platform {
 public:
  void Message(ui::MessageKind, const std::string&, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
  void WaitPointer(bool) override {}
  [[noreturn]] void EndProgram(int status) override { std::exit(status); }
};

std::string Product(int p) {
  char text[8];
  std::snprintf(text, sizeof text, "P%02d", p);
  return text;
}
std::string Customer(int c) { return "C" + std::to_string(c); }
std::string Seller(int s) { return "V0" + std::to_string(s + 1); }
std::string Number10(long n) {
  char text[16];
  std::snprintf(text, sizeof text, "%010ld", n);
  return text;
}
std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// Order i: seller i % 4 (the k-th order of its seller, k = i / 4, numbered
// from seller * 1000 + 1), customer i % 5.
int SellerOf(int order) { return order % kSellers; }
int CustomerOf(int order) { return order % kCustomers + 1; }
long NumberOf(int order) { return SellerOf(order) * 1000L + order / kSellers + 1; }
std::string OrderId(int order) { return "PED" + std::to_string(order + 1); }
int ProductOf(int order, int line) { return (order * 7 + line) % kProducts + 1; }

// The ERP's pricing data: customers 1 and 2 buy from the gross list 02P, the
// others from the company's default net list 01P. Every third product prices
// by a list reference (read from list VTA, computed directly), the next by a
// value query over its master values; every sixth carries an additional tax;
// discounts are stored (5) or a formula (3) or none.
double StoredPrice(int p) { return 100 + 10 * p; }
double Rlud(int p) { return p % 4 + 1; }
std::string PriceFormula(int p) {
  if (p % 3 == 0) return "<vta>pp01ud*0.9";
  if (p % 3 == 1) return "pp01ud/rlud#1";
  return "";
}

// TABPRE's columns in table order: 28 fixed, then four value/formula pairs.
std::vector<db::ColumnDescription> TabpreColumns() {
  std::vector<db::ColumnDescription> cols;
  const char* fixed[] = {"KOLT",   "KOPR",   "PP01UD", "PP02UD",     "MG01UD", "MG02UD",
                         "DTMA01UD", "DTMA02UD", "RLUD", "ECUACION", "ECUACIONU2", "PM01UD",
                         "PM02UD", "PPUL01", "PPUL02", "CAPRCO",     "MONEDA", "TIMO",
                         "TAMO",   "REDON",  "FEVIDE", "FEVIHA",     "FEULMO", "KOFUULMO",
                         "RECARGO", "EXENTO", "OBSERVA", "ESTADO"};
  for (const char* name : fixed) {
    const std::string n = name;
    const bool text = n == "KOLT" || n == "KOPR" || n == "ECUACION" || n == "ECUACIONU2" ||
                      n == "MONEDA" || n == "TIMO" || n == "REDON" || n == "KOFUULMO" ||
                      n == "EXENTO" || n == "OBSERVA" || n == "ESTADO";
    const bool date = n.rfind("FE", 0) == 0;
    if (date) {
      cols.push_back({n, SQL_TIMESTAMP, 23, 3});
    } else if (text) {
      cols.push_back({n, SQL_VARCHAR, 250, 0});
    } else {
      cols.push_back({n, SQL_DOUBLE, 15, 0});
    }
  }
  for (const char* n : {"01", "02", "03", "04"}) {
    cols.push_back({std::string("DTO") + n, SQL_DOUBLE, 15, 0});
    cols.push_back({std::string("EDTO") + n, SQL_VARCHAR, 250, 0});
  }
  return cols;
}

ScriptedRow TabpreRow(const std::vector<std::pair<std::string, std::string>>& values) {
  const auto cols = TabpreColumns();
  ScriptedRow row(cols.size());
  for (const auto& [name, value] : values) {
    for (size_t i = 0; i < cols.size(); ++i) {
      if (cols[i].name == name) row[i] = value;
    }
  }
  return row;
}

// Scripts one import: the staged orders and lines, the seller's numbers, and
// the pricing look-ups of every customer and product.
void ScriptWorld(ScriptedConnection& db) {
  // Headers as the import reads them back from its staging table.
  std::vector<ScriptedRow> headers;
  for (int i = 0; i < kOrders; ++i) {
    headers.push_back({OrderId(i), Customer(CustomerOf(i)), Seller(SellerOf(i))});
  }
  db.On("SELECT * FROM #PASO_PDAENCA")
      .Returns({{"ID_PEDIDO", SQL_VARCHAR, 30, 0}, {"ENDO", SQL_CHAR, 13, 0},
                {"KOFUDO", SQL_CHAR, 3, 0}},
               headers);
  // Each seller's greatest number so far, one answer per order in turn.
  for (int i = 0; i < kOrders; ++i) {
    db.On(orders::MaxNumberQuery(Seller(SellerOf(i))))
        .Returns({{"MAXNUDO", SQL_VARCHAR, 10, 0}}, {{Number10(NumberOf(i) - 1)}})
        .Once();
  }
  // Lines with their header's new number.
  std::vector<ScriptedRow> lines;
  for (int i = 0; i < kOrders; ++i) {
    for (int j = 0; j < kLinesPerOrder; ++j) {
      lines.push_back({OrderId(i), std::to_string(j + 1), Customer(CustomerOf(i)),
                       Product(ProductOf(i, j)), std::to_string(1 + (i + j) % 5),
                       std::to_string((i + j) % 3 * 5), "19", Number10(NumberOf(i)), "S1"});
    }
  }
  db.OnPrefix("INSERT INTO [ERP].dbo.PDAENCA").Affects(kOrders);
  db.OnPrefix("INSERT INTO [ERP].dbo.PDADETA").Affects(kOrders * kLinesPerOrder);
  db.OnPrefix("SELECT D.*,E.NUDO")
      .Returns({{"ID_PEDIDO", SQL_VARCHAR, 30, 0}, {"ID_DETALLE_PEDIDO", SQL_VARCHAR, 20, 0},
                {"ENDO", SQL_CHAR, 13, 0}, {"KOPR", SQL_CHAR, 13, 0},
                {"CAPRCO1", SQL_DOUBLE, 15, 0}, {"DCTOVEN", SQL_DOUBLE, 15, 0},
                {"POIVLI", SQL_DOUBLE, 15, 0}, {"NUDOENCA", SQL_CHAR, 10, 0},
                {"SUC_CLI", SQL_CHAR, 10, 0}},
               lines);

  // The company's settings and the customers.
  db.On("SELECT TOP 1 ESUCURSAL,EBODEGA,ELISTAVEN FROM CONFIEST WITH ( NOLOCK )  WHERE "
        "EMPRESA='01' AND MODALIDAD='VENTA'")
      .Returns({{"ESUCURSAL", SQL_CHAR, 3, 0}, {"EBODEGA", SQL_CHAR, 3, 0},
                {"ELISTAVEN", SQL_CHAR, 8, 0}},
               {{"SUC", "BOD", "TABPP01P"}});
  for (int c = 1; c <= kCustomers; ++c) {
    db.On("SELECT TOP 1 LVEN,DIPRVE,NUVECR,DIASVENCI,KOFUEN FROM MAEEN WITH ( NOLOCK )  WHERE "
          "KOEN='" + Customer(c) + "' AND SUEN='S1'")
        .Returns({{"LVEN", SQL_CHAR, 8, 0}, {"DIPRVE", SQL_DOUBLE, 15, 0},
                  {"NUVECR", SQL_DOUBLE, 15, 0}, {"DIASVENCI", SQL_DOUBLE, 15, 0},
                  {"KOFUEN", SQL_CHAR, 3, 0}},
                 {{c <= 2 ? "TABPP02P" : "", c % 2 ? "30" : "0", c % 2 ? "3" : "0", "30",
                   "V01"}});
  }
  db.On(orders::kTabpreLayoutQuery).Returns(TabpreColumns(), {});
  db.On("SELECT TOP 1 POIM FROM TABIM WITH ( NOLOCK )  WHERE KOIM='ILA'")
      .Returns({{"POIM", SQL_DOUBLE, 15, 0}}, {{"10"}});

  auto priceColumns = TabpreColumns();
  priceColumns.push_back({"MELT", SQL_CHAR, 1, 0});
  priceColumns.push_back({"ECUDEF01UD", SQL_VARCHAR, 250, 0});
  priceColumns.push_back({"ECUDEF02UD", SQL_VARCHAR, 250, 0});
  auto discountColumns = TabpreColumns();
  discountColumns.push_back({"OPERA", SQL_VARCHAR, 150, 0});

  for (int p = 1; p <= kProducts; ++p) {
    const std::string kopr = Product(p);
    std::vector<ScriptedRow> tax;
    if (p % 6 == 0) tax.push_back({"ILA", kopr, ""});
    db.On("SELECT TOP 1 TABIMPR.* FROM " + std::string(orders::kAdditionalTaxFrom) +
          " WHERE KOPR='" + kopr + "'")
        .Returns({{"KOIM", SQL_CHAR, 3, 0}, {"KOPR", SQL_CHAR, 13, 0},
                  {"NOAPLICEN", SQL_VARCHAR, 50, 0}},
                 tax);
    db.On("SELECT TOP 1 * FROM " + orders::VatFrom("01") + " WHERE MAEPR.KOPR='" + kopr + "'")
        .Returns({{"KOPR", SQL_CHAR, 13, 0}, {"POIVPR", SQL_DOUBLE, 15, 0},
                  {"EMPRESA", SQL_CHAR, 2, 0}, {"KOPR", SQL_CHAR, 13, 0}},
                 {{kopr, "19", "01", kopr}});
    // The master values the value-query formulas divide by.
    db.On(orders::ProductMasterStatement(kopr))
        .Returns({{"RLUD", SQL_DOUBLE, 15, 0}, {"CAMICO", SQL_DOUBLE, 15, 0},
                  {"TTREPR", SQL_DOUBLE, 15, 0}, {"LTSUBIC", SQL_DOUBLE, 15, 0},
                  {"PESOUBIC", SQL_DOUBLE, 15, 0}},
                 {{Num(Rlud(p)), "1", "1", "1", "1"}});
    // The reference list VTA that list-reference formulas read.
    db.On("SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK )  WHERE KOLT='VTA' AND KOPR='" + kopr + "'")
        .Returns(TabpreColumns(),
                 {TabpreRow({{"KOLT", "VTA"}, {"KOPR", kopr}, {"PP01UD", Num(StoredPrice(p) * 2)}})});
    for (const std::string list : {"01P", "02P"}) {
      ScriptedRow row = TabpreRow({{"KOLT", list},
                                   {"KOPR", kopr},
                                   {"PP01UD", Num(StoredPrice(p))},
                                   {"ECUACION", PriceFormula(p)}});
      row.push_back(list == "01P" ? "N" : "B");
      row.push_back(std::nullopt);
      row.push_back(std::nullopt);
      db.On(orders::ListPriceStatement(kopr, list)).Returns(priceColumns, {row});
      db.On("SELECT 1.0*TABPRE.PP01UD/" + Num(Rlud(p)) +
            " AS RESUL FROM TABPRE,MAEPREM WHERE TABPRE.KOPR='" + kopr + "' AND TABPRE.KOLT='" +
            list + "'  AND  MAEPREM.EMPRESA='01' AND MAEPREM.KOPR='" + kopr + "'")
          .Returns({{"RESUL", SQL_NUMERIC, 38, 6}}, {{Num(StoredPrice(p) / Rlud(p))}});
      std::vector<std::pair<std::string, std::string>> discount = {{"KOLT", list},
                                                                   {"KOPR", kopr}};
      if (p % 4 == 0) discount.push_back({"DTO01", "5"});
      if (p % 4 == 1) discount.push_back({"EDTO01", "2+1"});
      ScriptedRow drow = TabpreRow(discount);
      drow.push_back(std::string(28, 'X') + " ");
      db.On("SELECT TOP 1 TABPRE.*,TABPP.OPERA FROM " + std::string(orders::kDiscountRowFrom) +
            " WHERE TABPRE.KOPR='" + kopr + "' AND TABPRE.KOLT='" + list + "'")
          .Returns(discountColumns, {drow});
    }
  }
}

// Statements that pricing sends (the resolver's and the evaluator's reads).
bool IsPricingLookup(const std::string& sql) {
  static const char* const prefixes[] = {
      "SELECT TOP 1 ESUCURSAL", "SELECT TOP 1 LVEN", "SELECT TOP 1 TABIMPR.*",
      "SELECT TOP 1 * FROM MAEPR", "SELECT TOP 1 TABPRE.*", "SELECT TOP 1 POIM",
      "SELECT TOP 1 * FROM TABPRE", "SELECT RLUD", "SELECT 1.0*", "SELECT TOP 1 ZOEN"};
  for (const char* p : prefixes) {
    if (sql.rfind(p, 0) == 0) return true;
  }
  return false;
}

orders::Catalogue BuiltinCatalogue() {
  orders::Catalogue c;
  for (const auto& b : orders::BuiltinVariables()) c.push_back({b.code, b.name, b.group, 0});
  std::sort(c.begin(), c.end(), [](auto& a, auto& b) { return a.code < b.code; });
  return c;
}

// The service's pricing machinery over one session, as the order cycle wires
// it, with the reuse of look-ups on or off.
struct Service {
  explicit Service(bool reuse)
      : dir(std::filesystem::temp_directory_path() / "qv_pricing_bench"),
        trace(dir),
        session(platform, trace) {
    std::filesystem::create_directories(dir);
    session.locals.SetDirectory(dir);
    ini.cDSN = "ERP";
    ini.BaseDestino = "VEL";
    ini.cEmpresa = "01";
    ini.cModalidad = "VENTA";
    ini.cSucursal = "SU1";
    ini.cBodega = "BO1";
    cached.set_enabled(reuse);
    resolver.set_cache_enabled(reuse);
  }

  // One import on a freshly scripted database; the double is returned for its
  // record of statements.
  std::shared_ptr<ScriptedConnection> Script() {
    auto db = std::make_shared<ScriptedConnection>();
    ScriptWorld(*db);
    session.OODBC = db;
    return db;
  }
  orders::ImportSummary Import(std::vector<std::string>& problems) {
    cached.Clear();  // as the order cycle does before each import
    return orders::SECUENCIAPDA(session, resolver, ini, problems, clock);
  }

  QuietPlatform platform;
  std::filesystem::path dir;
  config::MonitorTrace trace;
  db::Session session;
  config::TInicio ini;
  orders::Clock clock = [] { return orders::ClockReading{{2025, 6, 10}, 9 * 3600}; };
  orders::Catalogue catalogue = BuiltinCatalogue();
  orders::SessionFormulaSource source{session};
  orders::CachedFormulaSource cached{source};
  orders::FormulaEvaluator evaluator{cached, catalogue, "01", clock};
  orders::PriceResolver resolver{session, evaluator, clock};
};

std::vector<std::string> PriceUpdates(const std::vector<std::string>& statements) {
  std::vector<std::string> out;
  for (const auto& s : statements) {
    if (s.rfind("UPDATE #PASO_PDADETA SET NUDO", 0) == 0) out.push_back(s);
  }
  return out;
}

// One import in each mode on a fresh service: the line updates must be the
// same, every line priced and the import committed. Empty when they agree.
std::string CheckModesAgree() {
  std::vector<std::string> updates[2];
  for (int reuse = 0; reuse < 2; ++reuse) {
    Service service(reuse != 0);
    auto db = service.Script();
    std::vector<std::string> problems;
    const orders::ImportSummary summary = service.Import(problems);
    if (!summary.committed || !problems.empty()) {
      return "import not committed: " + (problems.empty() ? std::string() : problems[0]);
    }
    updates[reuse] = PriceUpdates(db->statements());
    if (updates[reuse].size() != static_cast<size_t>(kOrders * kLinesPerOrder)) {
      return "not every line was priced";
    }
  }
  if (updates[0] != updates[1]) return "prices differ between the modes";
  // The formulas did run: on the net list, a list-reference product (P03:
  // VTA's 260 x 0.9 = 234) and a value-query product (P01: 110 / 2 = 55).
  bool sawReference = false, sawValueQuery = false;
  for (const auto& u : updates[1]) {
    if (u.find("PPPRNE=234,") != std::string::npos) sawReference = true;
    if (u.find("PPPRNE=55,") != std::string::npos) sawValueQuery = true;
  }
  if (!sawReference || !sawValueQuery) return "the price formulas did not give the expected prices";
  return "";
}

void BM_OrderImport(benchmark::State& state) {
  const bool reuse = state.range(0) != 0;
  static const std::string disagreement = CheckModesAgree();
  if (!disagreement.empty()) {
    state.SkipWithError(disagreement.c_str());
    return;
  }
  Service service(reuse);
  double statements = 0, lookups = 0, lines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = service.Script();
    std::vector<std::string> problems;
    state.ResumeTiming();
    const orders::ImportSummary summary = service.Import(problems);
    state.PauseTiming();
    if (!summary.committed) {
      state.SkipWithError("import not committed");
      break;
    }
    lines += summary.lines;
    statements += db->statements().size();
    for (const auto& s : db->statements()) lookups += IsPricingLookup(s) ? 1 : 0;
    service.session.OODBC.reset();
    db.reset();
    state.ResumeTiming();
  }
  state.counters["stmts_per_line"] = statements / lines;
  state.counters["lookups_per_line"] = lookups / lines;
  state.counters["lines_per_s"] = benchmark::Counter(lines, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OrderImport)->ArgName("reuse")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
